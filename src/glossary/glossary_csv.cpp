#include "glossary/glossary_csv.h"

#include <QStringDecoder>

namespace {

struct CsvRow {
    QStringList fields;
    qsizetype line = 0;  // where the row starts
    QString error;       // an unterminated quote, text after a closing quote
};

// Splits text into rows of fields. Lines are counted as the file counts
// them, so a row holding a quoted line break names its first line.
class CsvSplitter {
public:
    CsvSplitter(QStringView text, QChar separator) : m_text(text), m_separator(separator) {}

    bool next(CsvRow &row)
    {
        row = CsvRow();
        if (m_at >= m_text.size())
            return false;
        row.line = m_line;
        QString field;
        bool quoted = false, afterQuote = false;
        while (m_at < m_text.size()) {
            const QChar c = m_text[m_at++];
            if (quoted) {
                if (c == u'"') {
                    if (m_at < m_text.size() && m_text[m_at] == u'"') {
                        field += u'"';
                        ++m_at;
                    } else {
                        quoted = false;
                        afterQuote = true;
                    }
                } else {
                    if (c == u'\n')
                        ++m_line;
                    field += c;
                }
                continue;
            }
            if (c == m_separator) {
                row.fields.append(field);
                field.clear();
                afterQuote = false;
            } else if (c == u'\n' || c == u'\r') {
                if (c == u'\r' && m_at < m_text.size() && m_text[m_at] == u'\n')
                    ++m_at;
                ++m_line;
                break;
            } else if (c == u'"' && field.isEmpty() && !afterQuote) {
                quoted = true;
            } else if (afterQuote) {
                if (!c.isSpace() && row.error.isEmpty())
                    row.error = QStringLiteral("text after a closing quote");
            } else {
                field += c;
            }
        }
        if (quoted)
            row.error = QStringLiteral("a quote is not closed");
        row.fields.append(field);
        return true;
    }

private:
    QStringView m_text;
    QChar m_separator;
    qsizetype m_at = 0;
    qsizetype m_line = 1;
};

enum CsvColumn { CsvSource, CsvTarget, CsvNote, CsvPos, CsvStatus, CsvCase, CsvColumnCount };

int columnOf(const QString &header)
{
    const QString name = header.trimmed().toLower();
    if (name == u"source" || name == u"term" || name == u"en" || name.startsWith(u"en-") || name.startsWith(u"en_"))
        return CsvSource;
    if (name == u"target" || name == u"translation")
        return CsvTarget;
    if (name == u"note" || name == u"notes" || name == u"comment" || name == u"definition")
        return CsvNote;
    if (name == u"pos" || name == u"part of speech" || name == u"partofspeech" || name == u"part-of-speech")
        return CsvPos;
    if (name == u"status")
        return CsvStatus;
    if (name == u"case" || name == u"case-sensitive" || name == u"case sensitive")
        return CsvCase;
    return -1;
}

bool parseFlag(const QString &value, bool *flag)
{
    const QString v = value.trimmed().toLower();
    if (v.isEmpty() || v == u"no" || v == u"false" || v == u"0") {
        *flag = false;
        return true;
    }
    if (v == u"yes" || v == u"true" || v == u"1") {
        *flag = true;
        return true;
    }
    return false;
}

QStringList splitTargets(const QString &field)
{
    QStringList targets;
    for (const QString &part : field.split(u'|')) {
        const QString term = part.trimmed();
        if (!term.isEmpty())
            targets.append(term);
    }
    return targets;
}

// The entry of one row; the reason it is bad otherwise.
QString readRow(const CsvRow &row, const int (&at)[CsvColumnCount], qsizetype headerSize, GlossaryEntry &entry)
{
    if (!row.error.isEmpty())
        return row.error;
    if (row.fields.size() > headerSize)
        return QStringLiteral("%1 fields, the header names %2").arg(row.fields.size()).arg(headerSize);
    auto field = [&](CsvColumn column) {
        const int i = at[column];
        return i >= 0 && i < row.fields.size() ? row.fields[i].trimmed() : QString();
    };
    entry.source = field(CsvSource);
    entry.targets = splitTargets(field(CsvTarget));
    entry.note = field(CsvNote);
    entry.partOfSpeech = field(CsvPos);
    entry.line = row.line;
    if (!ParseTermStatus(field(CsvStatus), &entry.status))
        return QStringLiteral("the status \"%1\" is not preferred, forbidden or do-not-translate").arg(field(CsvStatus));
    if (!parseFlag(field(CsvCase), &entry.caseSensitive))
        return QStringLiteral("the case flag \"%1\" is not yes or no").arg(field(CsvCase));
    if (entry.source.isEmpty() && entry.status != TermStatus::Forbidden)
        return QStringLiteral("no source term");
    if (entry.targets.isEmpty() && entry.status != TermStatus::DoNotTranslate)
        return QStringLiteral("no target term");
    return QString();
}

void appendCsvField(QString &out, const QString &value, QChar separator)
{
    const bool quote = value.contains(separator) || value.contains(u'"') || value.contains(u'\n')
                       || value.contains(u'\r') || value.startsWith(u' ') || value.endsWith(u' ');
    if (!quote) {
        out += value;
        return;
    }
    out += u'"';
    out += QString(value).replace(QStringLiteral("\""), QStringLiteral("\"\""));
    out += u'"';
}

} // namespace

GlossaryRead ReadGlossaryCsv(const QByteArray &bytes, QChar separator)
{
    GlossaryRead read;
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        read.error = QStringLiteral("the file is not UTF-8 text");
        return read;
    }
    QStringView view(text);
    if (view.startsWith(QChar(0xfeff)))
        view = view.mid(1);
    CsvSplitter splitter(view, separator);
    CsvRow row;
    if (!splitter.next(row) || !row.error.isEmpty()) {
        read.error = row.error.isEmpty() ? QStringLiteral("the file is empty: a header row names the columns")
                                         : QStringLiteral("line 1: %1").arg(row.error);
        return read;
    }
    int at[CsvColumnCount];
    std::fill(std::begin(at), std::end(at), -1);
    for (qsizetype i = 0; i < row.fields.size(); ++i) {
        const int column = columnOf(row.fields[i]);
        if (column >= 0 && at[column] < 0)
            at[column] = int(i);
    }
    if (at[CsvSource] < 0 || at[CsvTarget] < 0) {
        read.error = QStringLiteral("line 1: the header row names no %1 column (source,target,note,pos,status,case)")
                         .arg(at[CsvSource] < 0 ? QStringLiteral("source") : QStringLiteral("target"));
        return read;
    }
    const qsizetype headerSize = row.fields.size();
    while (splitter.next(row)) {
        if (row.fields.size() == 1 && row.fields[0].trimmed().isEmpty() && row.error.isEmpty())
            continue;  // an empty line
        GlossaryEntry entry;
        const QString problem = readRow(row, at, headerSize, entry);
        if (problem.isEmpty())
            read.glossary.entries.push_back(std::move(entry));
        else
            read.problems.append(QStringLiteral("line %1: %2").arg(row.line).arg(problem));
    }
    return read;
}

QByteArray WriteGlossaryCsv(const Glossary &glossary, QChar separator)
{
    QString out;
    const QString s(separator);
    out += QStringLiteral("source") + s + QStringLiteral("target") + s + QStringLiteral("note") + s
           + QStringLiteral("pos") + s + QStringLiteral("status") + s + QStringLiteral("case") + u'\n';
    for (const GlossaryEntry &entry : glossary.entries) {
        appendCsvField(out, entry.source, separator);
        out += separator;
        appendCsvField(out, entry.targets.join(u'|'), separator);
        out += separator;
        appendCsvField(out, entry.note, separator);
        out += separator;
        appendCsvField(out, entry.partOfSpeech, separator);
        out += separator;
        out += TermStatusName(entry.status);
        out += separator;
        out += entry.caseSensitive ? QStringLiteral("yes") : QStringLiteral("no");
        out += u'\n';
    }
    return out.toUtf8();
}

QByteArray AppendGlossaryCsvRow(const QByteArray &bytes, const GlossaryEntry &entry, QChar separator, QString *error)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        *error = QStringLiteral("the file is not UTF-8 text");
        return QByteArray();
    }
    QStringView view(text);
    if (view.startsWith(QChar(0xfeff)))
        view = view.mid(1);
    CsvSplitter splitter(view, separator);
    CsvRow header;
    if (!splitter.next(header) || !header.error.isEmpty()) {
        *error = QStringLiteral("the file has no header row naming its columns");
        return QByteArray();
    }
    // The new row's fields in the file's own columns; columns the glossary
    // does not know stay empty.
    QStringList fields(header.fields.size());
    int known = 0;
    for (qsizetype i = 0; i < header.fields.size(); ++i) {
        QString value;
        switch (columnOf(header.fields[i])) {
        case CsvSource:
            value = entry.source;
            break;
        case CsvTarget:
            value = entry.targets.join(u'|');
            break;
        case CsvNote:
            value = entry.note;
            break;
        case CsvPos:
            value = entry.partOfSpeech;
            break;
        case CsvStatus:
            value = TermStatusName(entry.status);
            break;
        case CsvCase:
            value = entry.caseSensitive ? QStringLiteral("yes") : QStringLiteral("no");
            break;
        default:
            continue;
        }
        fields[i] = value;
        ++known;
    }
    if (known == 0) {
        *error = QStringLiteral("the header row names no source or target column");
        return QByteArray();
    }
    QString row;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            row += separator;
        appendCsvField(row, fields[i], separator);
    }
    // The file's own line ends; a last line without one gets one first.
    const bool crlf = text.contains(QStringLiteral("\r\n"));
    const QString end = crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QByteArray out = bytes;
    if (!out.isEmpty() && !out.endsWith('\n'))
        out.append(end.toUtf8());
    out.append((row + end).toUtf8());
    return out;
}
