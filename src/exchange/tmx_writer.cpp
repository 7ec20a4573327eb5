#include "exchange/tmx_writer.h"

#include "catalogue/safe_file.h"
#include "catalogue/xml_escape.h"
#include "exchange/outgoing_entries.h"

namespace {

void appendTmxProp(std::string &out, const char *type, QStringView value)
{
    out.append("      <prop type=\"");
    out.append(type);
    out.append("\">");
    AppendMarkupText(out, value);
    out.append("</prop>\n");
}

// A unit: the texts in memory form, so that the line-break escapes and the
// placeholders are text to every tool and come back exactly as they went.
void appendTmxUnit(std::string &out, const OutgoingEntry &unit, const ExportFile &file)
{
    const KeyList &keys = unit.entry->keys;
    out.append("    <tu");
    if (!keys.isEmpty() && !keys.first().isEmpty())
        AppendMarkupAttribute(out, "tuid", keys.first());
    out.append(">\n");
    appendTmxProp(out, "x-file", file.name);
    if (keys.size() > 1)
        appendTmxProp(out, "x-keys", keys.toList().join(QStringLiteral(", ")));
    out.append("      <tuv xml:lang=\"en-US\"><seg>");
    AppendMarkupText(out, unit.entry->original);
    out.append("</seg></tuv>\n      <tuv");
    AppendMarkupAttribute(out, "xml:lang", file.language);
    out.append("><seg>");
    AppendMarkupText(out, unit.translation);
    out.append("</seg></tuv>\n    </tu>\n");
}

bool isTmxUnit(const OutgoingEntry &unit) { return unit.translatable && unit.translated; }

} // namespace

qsizetype TmxUnitCount(const ExportFile &file)
{
    qsizetype count = 0;
    ForEachOutgoing(file, [&](const OutgoingEntry &unit) { count += isTmxUnit(unit) ? 1 : 0; });
    return count;
}

bool WriteTmx(QIODevice &device, const std::vector<ExportFile> &files, const TmxWriteOptions &options)
{
    const QDateTime date = options.creationDate.isValid() ? options.creationDate : QDateTime::currentDateTimeUtc();
    ChunkedOutput output(device);
    std::string &out = output.buffer();
    out.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tmx version=\"1.4\">\n  <header");
    AppendMarkupAttribute(out, "creationtool", u"Rendaro");
    AppendMarkupAttribute(out, "creationtoolversion", options.toolVersion.isEmpty() ? QStringLiteral("0") : options.toolVersion);
    // A language file's string is a block of text: a label, a message of
    // several sentences, lines.
    AppendMarkupAttribute(out, "segtype", u"block");
    AppendMarkupAttribute(out, "o-tmf", u"Rendaro language file");
    AppendMarkupAttribute(out, "adminlang", kTmxSourceLanguage);
    AppendMarkupAttribute(out, "srclang", kTmxSourceLanguage);
    AppendMarkupAttribute(out, "datatype", u"plaintext");
    AppendMarkupAttribute(out, "creationdate", date.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")));
    out.append("/>\n  <body>\n");
    for (const ExportFile &file : files) {
        ForEachOutgoing(file, [&](const OutgoingEntry &unit) {
            if (!isTmxUnit(unit))
                return;
            appendTmxUnit(out, unit, file);
            output.flushIfLarge();
        });
    }
    out.append("  </body>\n</tmx>\n");
    return output.finish();
}

bool SaveTmx(const QString &path, const std::vector<ExportFile> &files, const TmxWriteOptions &options,
             QString *error)
{
    return writeFileAtomically(path, [&](QIODevice &out) { return WriteTmx(out, files, options); }, error);
}
