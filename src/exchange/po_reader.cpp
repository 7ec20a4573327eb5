// The PO reader: gettext's syntax line by line (comments, msgctxt, msgid,
// msgid_plural, msgstr, msgstr[N], strings continued on following lines),
// obsolete "#~" messages skipped, the header read for its charset and
// language.

#include "exchange/exchange_reader.h"

#include <QList>

#include <cctype>

namespace {

struct PoMessage {
    qsizetype line = 0;  // of its first keyword
    bool hasContext = false, hasId = false, hasPlural = false, hasString = false;
    bool fuzzy = false;
    QByteArray context, id, plural;
    QList<QByteArray> strings;  // msgstr, or msgstr[0], msgstr[1], ...
    bool started() const { return hasContext || hasId; }
};

// Whether bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool isUtf8(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const auto *end = p + bytes.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int more;
        unsigned minimum;
        unsigned value;
        if ((c & 0xE0) == 0xC0) {
            more = 1, minimum = 0x80, value = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            more = 2, minimum = 0x800, value = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            more = 3, minimum = 0x10000, value = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= more)
            return false;
        for (int i = 1; i <= more; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            value = (value << 6) | (p[i] & 0x3F);
        }
        if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return false;
        p += more + 1;
    }
    return true;
}

class PoParser {
public:
    explicit PoParser(const QByteArray &bytes) : m_bytes(bytes) {}
    ExchangeDocument parse();

private:
    bool fail(const QString &reason, qsizetype line = -1)
    {
        if (m_error.isEmpty())
            m_error = QStringLiteral("line %1: %2").arg(line < 0 ? m_line : line).arg(reason);
        return false;
    }
    bool parseLine(QByteArrayView line);
    bool parseKeyword(QByteArrayView keyword, QByteArrayView rest);
    bool readString(QByteArrayView text, QByteArray &out);
    bool finishMessage();
    void takeHeader(const QString &header);

    const QByteArray &m_bytes;
    qsizetype m_line = 0;
    QString m_error;
    PoMessage m_message;
    QByteArray *m_continued = nullptr;  // the field a string line continues
    ExchangeSection m_section;
    QString m_charset;
    qsizetype m_badUtf8Line = -1;
};

bool PoParser::readString(QByteArrayView text, QByteArray &out)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i == text.size() || text[i] != '"')
        return fail(QStringLiteral("a quoted string is expected"));
    for (++i; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            for (++i; i < text.size() && (text[i] == ' ' || text[i] == '\t');)
                ++i;
            if (i == text.size())
                return true;
            if (text[i] != '"')
                return fail(QStringLiteral("text after the closing quote"));
            continue;  // another string on the same line continues this one
        }
        if (c != '\\') {
            out.append(c);
            continue;
        }
        if (++i == text.size())
            break;
        const char e = text[i];
        switch (e) {
        case 'n': out.append('\n'); break;
        case 't': out.append('\t'); break;
        case 'r': out.append('\r'); break;
        case 'a': out.append('\a'); break;
        case 'b': out.append('\b'); break;
        case 'f': out.append('\f'); break;
        case 'v': out.append('\v'); break;
        case '\\': case '"': case '\'': case '?': out.append(e); break;
        case 'x': {
            int value = 0, digits = 0;
            while (i + 1 < text.size() && digits < 2 && std::isxdigit(static_cast<unsigned char>(text[i + 1]))) {
                const char d = text[++i];
                value = value * 16 + (d <= '9' ? d - '0' : (d | 0x20) - 'a' + 10);
                ++digits;
            }
            if (digits == 0)
                return fail(QStringLiteral("\\x without hexadecimal digits"));
            out.append(char(value));
            break;
        }
        default:
            if (e >= '0' && e <= '7') {
                int value = e - '0', digits = 1;
                while (i + 1 < text.size() && digits < 3 && text[i + 1] >= '0' && text[i + 1] <= '7') {
                    value = value * 8 + (text[++i] - '0');
                    ++digits;
                }
                out.append(char(value));
                break;
            }
            return fail(QStringLiteral("unknown escape \\%1").arg(QChar(char16_t(uchar(e)))));
        }
    }
    return fail(QStringLiteral("the string is not closed"));
}

bool PoParser::parseKeyword(QByteArrayView keyword, QByteArrayView rest)
{
    PoMessage &m = m_message;
    if (keyword == "msgctxt" || keyword == "msgid") {
        if (m.hasString && !finishMessage())
            return false;
        const bool context = keyword == "msgctxt";
        if (m.hasId)
            return fail(QStringLiteral("%1 follows a msgid that has no msgstr").arg(QLatin1StringView(keyword)));
        if (context && m.hasContext)
            return fail(QStringLiteral("a second msgctxt"));
        if (!m.started())
            m.line = m_line;
        (context ? m.hasContext : m.hasId) = true;
        m_continued = context ? &m.context : &m.id;
    } else if (keyword == "msgid_plural") {
        if (!m.hasId || m.hasString || m.hasPlural)
            return fail(QStringLiteral("msgid_plural must follow a msgid"));
        m.hasPlural = true;
        m_continued = &m.plural;
    } else if (keyword == "msgstr" || keyword.startsWith("msgstr[")) {
        const bool indexed = keyword != "msgstr";
        if (!m.hasId)
            return fail(QStringLiteral("msgstr without a msgid"));
        if (indexed != m.hasPlural)
            return fail(indexed ? QStringLiteral("msgstr[N] without a msgid_plural")
                                : QStringLiteral("a message with msgid_plural needs msgstr[N]"));
        if (!indexed && m.hasString)
            return fail(QStringLiteral("a second msgstr"));
        if (indexed) {
            bool number = false;
            const QByteArrayView inside = keyword.sliced(7, keyword.size() - 7);
            const int index = inside.endsWith(']') ? QByteArrayView(inside.chopped(1)).toInt(&number) : -1;
            if (!number || index != m.strings.size())
                return fail(QStringLiteral("msgstr[%1] out of order").arg(QString::fromUtf8(inside.chopped(1))));
        }
        m.hasString = true;
        m.strings.append(QByteArray());
        m_continued = &m.strings.last();
    } else {
        return fail(QStringLiteral("unknown keyword \"%1\"").arg(QString::fromUtf8(keyword)));
    }
    return readString(rest, *m_continued);
}

bool PoParser::parseLine(QByteArrayView line)
{
    qsizetype i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    line = line.sliced(i);
    if (line.isEmpty())
        return true;
    if (line[0] == '"') {
        if (!m_continued)
            return fail(QStringLiteral("a string without a keyword"));
        return readString(line, *m_continued);
    }
    if (line[0] == '#') {
        m_continued = nullptr;
        if (line.startsWith("#~"))
            return true;  // an obsolete message
        if (m_message.hasString && !finishMessage())
            return false;
        if (m_message.started())
            return fail(QStringLiteral("a comment inside a message"));
        if (line.startsWith("#,")) {
            for (const QByteArray &flag : line.sliced(2).toByteArray().split(',')) {
                if (flag.trimmed() == "fuzzy")
                    m_message.fuzzy = true;
            }
        }
        return true;
    }
    qsizetype end = 0;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '"')
        ++end;
    return parseKeyword(line.first(end), line.sliced(end));
}

void PoParser::takeHeader(const QString &header)
{
    for (const QString &field : header.split(u'\n')) {
        const qsizetype colon = field.indexOf(u':');
        if (colon < 0)
            continue;
        const QString name = field.left(colon).trimmed();
        const QString value = field.mid(colon + 1).trimmed();
        if (name.compare(QStringLiteral("Language"), Qt::CaseInsensitive) == 0) {
            m_section.language = value;
        } else if (name.compare(QStringLiteral("Content-Type"), Qt::CaseInsensitive) == 0) {
            const qsizetype at = value.indexOf(QStringLiteral("charset="), 0, Qt::CaseInsensitive);
            if (at >= 0)
                m_charset = value.mid(at + 8).section(u';', 0, 0).trimmed();
        }
    }
}

bool PoParser::finishMessage()
{
    PoMessage m = std::move(m_message);
    m_message = PoMessage();
    m_continued = nullptr;
    if (!m.started())
        return true;
    if (!m.hasString)
        return fail(QStringLiteral("the message has no msgstr"), m.line);
    for (const QByteArray *field : {&m.context, &m.id, &m.strings.first()}) {
        if (m_badUtf8Line < 0 && !isUtf8(*field))
            m_badUtf8Line = m.line;
    }
    if (!m.hasContext && m.id.isEmpty()) {
        takeHeader(QString::fromUtf8(m.strings.first()));
        return true;
    }
    ExchangeUnit unit;
    unit.line = m.line;
    unit.key = QString::fromUtf8(m.context);
    unit.source = QString::fromUtf8(m.id);
    unit.target = QString::fromUtf8(m.strings.first());
    if (m.hasPlural)
        unit.unusable = QStringLiteral("it has plural forms, which a language file cannot carry");
    else if (m.fuzzy)
        unit.unusable = QStringLiteral("it is marked fuzzy, not a finished translation");
    m_section.units.push_back(std::move(unit));
    return true;
}

ExchangeDocument PoParser::parse()
{
    QByteArrayView rest(m_bytes);
    if (rest.startsWith("\xEF\xBB\xBF"))
        rest = rest.sliced(3);
    while (m_error.isEmpty() && !rest.isEmpty()) {
        ++m_line;
        const qsizetype newline = rest.indexOf('\n');
        QByteArrayView line = newline < 0 ? rest : rest.first(newline);
        rest = newline < 0 ? QByteArrayView() : rest.sliced(newline + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        parseLine(line);
    }
    if (m_error.isEmpty())
        finishMessage();
    const QString charset = m_charset.toLower();
    if (m_error.isEmpty() && !charset.isEmpty() && charset != u"utf-8" && charset != u"utf8"
        && charset != u"ascii" && charset != u"us-ascii" && charset != u"charset")
        m_error = QStringLiteral("line 1: the file is in %1; only UTF-8 is read (convert it with msgconv "
                                 "--to-code=UTF-8)")
                      .arg(m_charset);
    if (m_error.isEmpty() && m_badUtf8Line >= 0)
        fail(QStringLiteral("the text is not valid UTF-8"), m_badUtf8Line);
    if (!m_error.isEmpty())
        return ExchangeDocument{{}, m_error};
    ExchangeDocument document;
    document.sections.push_back(std::move(m_section));
    return document;
}

} // namespace

ExchangeDocument ParsePo(const QByteArray &bytes)
{
    return PoParser(bytes).parse();
}
