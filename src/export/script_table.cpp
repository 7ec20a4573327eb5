#include "export/script_table.h"

#include "catalogue/safe_file.h"

#include <QHash>
#include <string>
#include <vector>

namespace {

void appendCharRef(std::string &out, char32_t codePoint)
{
    static const char hex[] = "0123456789abcdef";
    char digits[8];
    int n = 0;
    do {
        digits[n++] = hex[codePoint & 0xF];
        codePoint >>= 4;
    } while (codePoint != 0);
    out.append("&#x");
    for (int pad = n; pad < 4; ++pad)
        out.push_back('0');
    while (n > 0)
        out.push_back(digits[--n]);
    out.push_back(';');
}

// Appends the ASCII form of text (see AsciiWithCharRefs).
void appendAscii(std::string &out, const QString &text)
{
    const qsizetype size = text.size();
    const QChar *data = text.constData();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = data[i].unicode();
        if (c == 0)
            break;
        if (c < 0x7F) {
            out.push_back(char(c));
        } else if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(data[i + 1].unicode())) {
            appendCharRef(out, QChar::surrogateToUcs4(c, data[i + 1].unicode()));
            ++i;
        } else if (QChar::isSurrogate(c)) {
            appendCharRef(out, 0xFFFD);  // what UTF-8 conversion makes of a lone half
        } else {
            appendCharRef(out, c);  // DEL (U+007F) included, so the output stays printable
        }
    }
}

// A translation as the table shows it: the apostrophe delimits the strings,
// and the entities a translator typed are shown as their characters.
QString tableText(const QString &translation)
{
    if (!translation.contains(u'\'') && !translation.contains(u'&'))
        return translation;
    QString text = translation;
    text.replace(QStringLiteral("'"), QStringLiteral("&#39;"));
    text.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return text;
}

} // namespace

QByteArray AsciiWithCharRefs(const QString &text)
{
    std::string out;
    appendAscii(out, text);
    return QByteArray::fromStdString(out);
}

QByteArray ScriptTableBytes(int kind, const EntryMap &entries, const QStringList &keys)
{
    const bool php = kind == ScriptPhp;
    // Entries listing each key, in entry order; an entry counts once per key
    // however often it lists it. With this index the table costs one lookup
    // per key of the list instead of a pass over every entry.
    QHash<QString, std::vector<const StringEntry *>> byKey;
    byKey.reserve(keys.size());
    for (const auto &[original, entry] : entries) {
        for (qsizetype k = 0; k < entry.keys.size(); ++k) {
            if (!entry.keys.first(k).contains(entry.keys[k]))
                byKey[entry.keys[k]].push_back(&entry);
        }
    }
    std::string out = php ? "<?php\r\n$V=array(\r\n" : "langTrans = {\r\n";
    out.reserve(size_t(keys.size()) * 64);
    const char *middle = php ? "'=>'" : "': '";
    bool first = true;
    for (const QString &key : keys) {
        const auto found = byKey.constFind(key);
        if (found == byKey.constEnd())
            continue;
        for (const StringEntry *entry : found.value()) {
            if (!first)
                out.append(",\r\n");
            first = false;
            out.push_back('\'');
            appendAscii(out, key);
            out.append(middle);
            appendAscii(out, tableText(entry->translation));
            out.push_back('\'');
        }
    }
    out.append(php ? ",\r\n);\r\n?>\r\n" : "\r\n};\r\n");
    return QByteArray::fromStdString(out);
}

bool WriteScriptTable(const QString &path, int kind, const EntryMap &entries, const QStringList &keys)
{
    return writeFileAtomically(path, ScriptTableBytes(kind, entries, keys));
}
