#include "exchange/po_writer.h"

#include "catalogue/safe_file.h"
#include "catalogue/xml_escape.h"
#include "exchange/language_tags.h"
#include "exchange/outgoing_entries.h"

#include <QDateTime>
#include <cstdio>

namespace {

// One quoted PO string: backslash, quote, line breaks and tab as C escapes.
void appendQuoted(std::string &out, QStringView text)
{
    out.push_back('"');
    qsizetype run = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const char *escape = nullptr;
        switch (c) {
        case u'\\': escape = "\\\\"; break;
        case u'"': escape = "\\\""; break;
        case u'\n': escape = "\\n"; break;
        case u'\r': escape = "\\r"; break;
        case u'\t': escape = "\\t"; break;
        default:
            if (c >= 0x20)
                continue;
        }
        appendUtf8(out, text.mid(run, i - run));
        if (escape) {
            out.append(escape);
        } else {
            // Any other control character, which no language file can
            // hold but a pasted string might, as an octal escape.
            char octal[8];
            std::snprintf(octal, sizeof octal, "\\%03o", unsigned(c));
            out.append(octal);
        }
        run = i + 1;
    }
    appendUtf8(out, text.mid(run));
    out.push_back('"');
}

// keyword "text", or, for a text with a line break before its end,
// keyword "" and one line per line of the text: the form gettext's own
// tools write, so that msgcat --no-wrap gives the file back unchanged.
void appendField(std::string &out, const char *keyword, QStringView text)
{
    out.append(keyword);
    out.push_back(' ');
    const qsizetype firstBreak = text.indexOf(u'\n');
    if (firstBreak < 0 || firstBreak == text.size() - 1) {
        appendQuoted(out, text);
        out.push_back('\n');
        return;
    }
    out.append("\"\"\n");
    while (!text.isEmpty()) {
        const qsizetype lineBreak = text.indexOf(u'\n');
        const qsizetype length = lineBreak < 0 ? text.size() : lineBreak + 1;
        appendQuoted(out, text.left(length));
        out.push_back('\n');
        text = text.mid(length);
    }
}

// An extracted comment; line breaks would end it, so they become spaces.
void appendComment(std::string &out, QString text)
{
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    out.append("#. ");
    appendUtf8(out, text);
    out.push_back('\n');
}

void appendHeader(std::string &out, const ExportFile &file)
{
    QString name = file.name;
    name.replace(u'\r', u' ').replace(u'\n', u' ');
    out.append("# ");
    appendUtf8(out, name);
    out.append(", exported by Rendaro for translation.\n");
    const QString date = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd HH:mm+0000"));
    const QString fields = QStringLiteral("Project-Id-Version: %1\n"
                                          "PO-Revision-Date: %2\n"
                                          "Last-Translator: \n"
                                          "Language-Team: \n"
                                          "Language: %3\n"
                                          "MIME-Version: 1.0\n"
                                          "Content-Type: text/plain; charset=UTF-8\n"
                                          "Content-Transfer-Encoding: 8bit\n"
                                          "X-Generator: Rendaro\n")
                               .arg(name, date, PoLanguageName(file.language));
    appendField(out, "msgid", u"");
    appendField(out, "msgstr", fields);
}

bool startsOrEndsWithBreak(const QString &text, bool atStart)
{
    return !text.isEmpty() && (atStart ? text.front() : text.back()) == u'\n';
}

void appendMessage(std::string &out, const OutgoingEntry &unit)
{
    out.push_back('\n');
    const KeyList &keys = unit.entry->keys;
    if (!keys.isEmpty())
        appendComment(out, QStringLiteral("keys: ") + keys.toList().join(QStringLiteral(", ")));
    if (unit.maxWidth >= 0)
        appendComment(out, QStringLiteral("maximum length: %1 characters").arg(unit.maxWidth));
    // gettext refuses a translation that starts or ends with a line break
    // where its original does not (or the other way round); such a
    // translation stays in the language file and the message goes out
    // untranslated, so the file passes msgfmt --check.
    const bool breaksDiffer = unit.translated
        && (startsOrEndsWithBreak(unit.source, true) != startsOrEndsWithBreak(unit.target, true)
            || startsOrEndsWithBreak(unit.source, false) != startsOrEndsWithBreak(unit.target, false));
    if (breaksDiffer)
        appendComment(out, QStringLiteral("The current translation is not included: it starts or ends with a "
                                          "line break where the original does not, or the other way round."));
    if (!keys.isEmpty() && !keys.first().isEmpty())
        appendField(out, "msgctxt", keys.first());
    appendField(out, "msgid", unit.source);
    appendField(out, "msgstr", breaksDiffer ? QString() : unit.target);
}

} // namespace

bool WritePo(QIODevice &device, const ExportFile &file)
{
    ChunkedOutput output(device);
    std::string &out = output.buffer();
    appendHeader(out, file);
    ForEachOutgoing(file, [&](const OutgoingEntry &unit) {
        if (!unit.translatable)
            return;
        appendMessage(out, unit);
        output.flushIfLarge();
    });
    return output.finish();
}

bool SavePo(const QString &path, const ExportFile &file, QString *error)
{
    return writeFileAtomically(path, [&](QIODevice &out) { return WritePo(out, file); }, error);
}
