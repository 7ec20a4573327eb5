#include "exchange/xliff_writer.h"

#include "catalogue/safe_file.h"
#include "catalogue/xml_escape.h"
#include "exchange/outgoing_entries.h"
#include "resparse/res_extract.h"

#include <QFileInfo>

namespace {

void appendUnit(std::string &out, const OutgoingEntry &unit, qsizetype id, const ControlHints *hints)
{
    const ControlHint *hint = nullptr;
    if (hints) {
        const QString &original = unit.entry->original;
        const auto found = hints->constFind(original.contains(u'&') ? StripMnemonics(original) : original);
        if (found != hints->constEnd())
            hint = &*found;
    }
    out.append("      <trans-unit id=\"");
    out.append(std::to_string(id));
    out.push_back('"');
    const KeyList &keys = unit.entry->keys;
    if (!keys.isEmpty() && !keys.first().isEmpty())
        AppendMarkupAttribute(out, "resname", keys.first());
    if (!unit.translatable)
        out.append(" translate=\"no\"");
    if (hint && !hint->restype.isEmpty())
        AppendMarkupAttribute(out, "restype", hint->restype);
    if (hint && hint->maxWidthPx >= 0) {
        out.append(" maxwidth=\"");
        out.append(std::to_string(hint->maxWidthPx));
        out.append("\" size-unit=\"pixel\"");
    } else if (unit.maxWidth >= 0) {
        out.append(" maxwidth=\"");
        out.append(std::to_string(unit.maxWidth));
        out.append("\" size-unit=\"char\"");
    }
    if (unit.translated)
        out.append(" approved=\"yes\"");
    out.append(" xml:space=\"preserve\">\n        <source>");
    AppendMarkupText(out, unit.source);
    if (unit.translated) {
        out.append("</source>\n        <target state=\"translated\">");
        AppendMarkupText(out, unit.target);
        out.append("</target>\n");
    } else {
        out.append("</source>\n        <target state=\"needs-translation\"></target>\n");
    }
    if (!keys.isEmpty()) {
        out.append("        <note from=\"keys\">");
        AppendMarkupText(out, keys.toList().join(QStringLiteral(", ")));
        out.append("</note>\n");
    }
    out.append("      </trans-unit>\n");
}

} // namespace

bool WriteXliff(QIODevice &device, const std::vector<ExportFile> &files)
{
    ChunkedOutput output(device);
    std::string &out = output.buffer();
    out.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<xliff version=\"1.2\" xmlns=\"urn:oasis:names:tc:xliff:document:1.2\">\n");
    for (const ExportFile &file : files) {
        out.append("  <file");
        AppendMarkupAttribute(out, "original", file.name);
        out.append(" source-language=\"en\"");
        if (!file.language.isEmpty())
            AppendMarkupAttribute(out, "target-language", file.language);
        out.append(" datatype=\"plaintext\">\n"
                   "    <header>\n"
                   "      <tool tool-id=\"rendaro\" tool-name=\"Rendaro\"/>\n"
                   "    </header>\n"
                   "    <body>\n");
        qsizetype id = 0;
        ForEachOutgoing(file, [&](const OutgoingEntry &unit) {
            appendUnit(out, unit, ++id, file.controlHints);
            output.flushIfLarge();
        });
        out.append("    </body>\n  </file>\n");
    }
    out.append("</xliff>\n");
    return output.finish();
}

bool SaveXliff(const QString &path, const std::vector<ExportFile> &files, QString *error)
{
    return writeFileAtomically(path, [&](QIODevice &out) { return WriteXliff(out, files); }, error);
}
