#include "checks/ignore_marks.h"

#include "catalogue/safe_file.h"
#include "checks/check_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>

namespace {

const QString kSuffix = QStringLiteral(".rendaro-ignore");

const char kHeader[] =
    "# Rendaro: warnings dismissed as false alarms (\"Ignore This Warning\").\n"
    "# A mark dismisses its check's warning on the entry with this original while the\n"
    "# translation and the message are the same; it lapses when any of them changes.\n";

// A text as a JSON string literal, with invisible characters escaped so
// that they show in a diff.
QString quoted(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'"': out += QStringLiteral("\\\""); break;
        case u'\\': out += QStringLiteral("\\\\"); break;
        case u'\n': out += QStringLiteral("\\n"); break;
        case u'\r': out += QStringLiteral("\\r"); break;
        case u'\t': out += QStringLiteral("\\t"); break;
        default:
            if (IsInvisibleCharacter(c) || c.unicode() == 0x2028 || c.unicode() == 0x2029)
                out += QStringLiteral("\\u%1").arg(uint(c.unicode()), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += u'"';
    return out;
}

int hexValue(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

// The text of a JSON string literal that is all of `literal`; false when it
// is not one.
bool unquoted(QStringView literal, QString &text, QString &why)
{
    if (literal.size() < 2 || literal.front() != u'"' || literal.back() != u'"') {
        why = QStringLiteral("a text in double quotes expected");
        return false;
    }
    text.clear();
    for (qsizetype i = 1; i + 1 < literal.size(); ++i) {
        const QChar c = literal[i];
        if (c == u'"') {
            why = QStringLiteral("a double quote inside a text must be written \\\"");
            return false;
        }
        if (c != u'\\') {
            text += c;
            continue;
        }
        if (i + 2 >= literal.size()) {
            why = QStringLiteral("the text ends inside an escape");
            return false;
        }
        const QChar e = literal[++i];
        switch (e.unicode()) {
        case u'"': text += u'"'; break;
        case u'\\': text += u'\\'; break;
        case u'/': text += u'/'; break;
        case u'n': text += u'\n'; break;
        case u'r': text += u'\r'; break;
        case u't': text += u'\t'; break;
        case u'b': text += u'\b'; break;
        case u'f': text += u'\f'; break;
        case u'u': {
            int value = 0;
            for (int k = 1; k <= 4; ++k) {
                const int digit = i + k + 1 < literal.size() ? hexValue(literal[i + k]) : -1;
                if (digit < 0) {
                    why = QStringLiteral("\\u needs four hexadecimal digits");
                    return false;
                }
                value = value * 16 + digit;
            }
            text += QChar(char16_t(value));
            i += 4;
            break;
        }
        default:
            why = QStringLiteral("unknown escape \\%1").arg(e);
            return false;
        }
    }
    return true;
}

bool markLess(const IgnoreMark &a, const IgnoreMark &b)
{
    if (a.original != b.original)
        return a.original < b.original;
    if (a.checkId != b.checkId)
        return a.checkId < b.checkId;
    if (a.translation != b.translation)
        return a.translation < b.translation;
    return a.message < b.message;
}

bool isCheckId(QStringView id)
{
    if (id.isEmpty())
        return false;
    for (const QChar c : id) {
        if (!((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-' || c == u'_'))
            return false;
    }
    return true;
}

} // namespace

IgnoreMark IgnoreMarkFor(const Finding &finding)
{
    IgnoreMark mark;
    mark.checkId = finding.checkId();
    mark.message = finding.message;
    if (finding.entry) {
        mark.original = finding.entry->original;
        mark.translation = finding.entry->translation;
        if (!finding.entry->keys.isEmpty())
            mark.key = finding.entry->keys.first();
    }
    return mark;
}

QString IgnoreMarks::filePathFor(const QString &languagePath)
{
    QString path = languagePath;
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path + kSuffix;
}

QStringList IgnoreMarks::filePathsForFile(const QString &languageFile)
{
    return {filePathFor(languageFile), filePathFor(QFileInfo(languageFile).absolutePath())};
}

bool IgnoreMarks::read(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return parse(file.readAll(), error);
}

bool IgnoreMarks::parse(const QByteArray &bytes, QString *error)
{
    const QStringList lines = QString::fromUtf8(bytes).split(u'\n');
    std::vector<IgnoreMark> read;
    IgnoreMark current;
    bool inBlock = false;
    int blockLine = 0;
    QSet<QString> fields;
    QString why;
    int failedAt = 0;
    auto finishBlock = [&](int lineNumber) {
        if (!inBlock)
            return true;
        for (const char *field : {"original", "translation", "message"}) {
            if (!fields.contains(QString::fromLatin1(field))) {
                why = QStringLiteral("the mark of line %1 has no %2").arg(blockLine).arg(QString::fromLatin1(field));
                failedAt = lineNumber;
                return false;
            }
        }
        read.push_back(current);
        inBlock = false;
        return true;
    };
    for (qsizetype i = 0; i < lines.size() && failedAt == 0; ++i) {
        const int lineNumber = int(i) + 1;
        QString line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty()) {
            finishBlock(lineNumber);
            continue;
        }
        if (line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            if (!finishBlock(lineNumber))
                break;
            const QStringView id = QStringView(line).mid(1, line.size() - 2);
            if (!line.endsWith(u']') || !isCheckId(id)) {
                why = QStringLiteral("a check id in brackets expected, as in [end-punctuation]");
                failedAt = lineNumber;
                break;
            }
            current = IgnoreMark();
            current.checkId = id.toString();
            inBlock = true;
            blockLine = lineNumber;
            fields.clear();
            continue;
        }
        const qsizetype colon = line.indexOf(QStringLiteral(": "));
        if (!inBlock || colon < 0) {
            why = inBlock ? QStringLiteral("a line \"field: \\\"text\\\"\" expected")
                          : QStringLiteral("a mark starts with its check id in brackets, as in [end-punctuation]");
            failedAt = lineNumber;
            break;
        }
        const QString field = line.left(colon);
        QString *target = field == u"original" ? &current.original
                          : field == u"translation" ? &current.translation
                          : field == u"message" ? &current.message
                          : field == u"key" ? &current.key
                                            : nullptr;
        if (!target || fields.contains(field)) {
            why = target ? QStringLiteral("%1 given twice").arg(field) : QStringLiteral("unknown field %1").arg(field);
            failedAt = lineNumber;
            break;
        }
        if (!unquoted(QStringView(line).mid(colon + 2), *target, why)) {
            failedAt = lineNumber;
            break;
        }
        fields.insert(field);
    }
    if (failedAt == 0)
        finishBlock(int(lines.size()));
    if (failedAt != 0) {
        if (error)
            *error = QStringLiteral("line %1: %2").arg(failedAt).arg(why);
        return false;
    }
    for (const IgnoreMark &mark : read)
        add(mark);
    return true;
}

QByteArray IgnoreMarks::toBytes() const
{
    QString out = QString::fromLatin1(kHeader);
    for (const IgnoreMark &mark : marks()) {
        out += u'\n';
        out += u'[' + mark.checkId + QStringLiteral("]\n");
        if (!mark.key.isEmpty())
            out += QStringLiteral("key: ") + quoted(mark.key) + u'\n';
        out += QStringLiteral("original: ") + quoted(mark.original) + u'\n';
        out += QStringLiteral("translation: ") + quoted(mark.translation) + u'\n';
        out += QStringLiteral("message: ") + quoted(mark.message) + u'\n';
    }
    return out.toUtf8();
}

bool IgnoreMarks::write(const QString &path, QString *error) const
{
    if (m_count == 0) {
        QFile file(path);
        if (!file.exists() || file.remove())
            return true;
        if (error)
            *error = file.errorString();
        return false;
    }
    return writeFileAtomically(path, toBytes(), error);
}

bool IgnoreMarks::add(const IgnoreMark &mark)
{
    std::vector<IgnoreMark> &marks = m_byOriginal[mark.original];
    const auto same = std::find(marks.begin(), marks.end(), mark);
    if (same != marks.end()) {
        if (same->key.isEmpty())
            same->key = mark.key;
        return false;
    }
    marks.push_back(mark);
    ++m_count;
    return true;
}

bool IgnoreMarks::remove(const IgnoreMark &mark)
{
    const auto found = m_byOriginal.find(mark.original);
    if (found == m_byOriginal.end())
        return false;
    std::vector<IgnoreMark> &marks = *found;
    const auto same = std::find(marks.begin(), marks.end(), mark);
    if (same == marks.end())
        return false;
    marks.erase(same);
    if (marks.empty())
        m_byOriginal.erase(found);
    --m_count;
    return true;
}

void IgnoreMarks::addAll(const IgnoreMarks &other)
{
    for (const IgnoreMark &mark : other.marks())
        add(mark);
}

bool IgnoreMarks::matches(const Finding &finding) const
{
    if (finding.severity != Severity::Warning || !finding.entry || m_count == 0)
        return false;
    const auto found = m_byOriginal.constFind(finding.entry->original);
    if (found == m_byOriginal.constEnd())
        return false;
    const QString &id = finding.checkId();
    return std::any_of(found->begin(), found->end(), [&](const IgnoreMark &mark) {
        return mark.checkId == id && mark.translation == finding.entry->translation && mark.message == finding.message;
    });
}

std::vector<IgnoreMark> IgnoreMarks::marks() const
{
    std::vector<IgnoreMark> all;
    all.reserve(size_t(m_count));
    for (const std::vector<IgnoreMark> &marks : m_byOriginal)
        all.insert(all.end(), marks.begin(), marks.end());
    std::sort(all.begin(), all.end(), markLess);
    return all;
}

namespace {
bool changeMarks(const QString &path, const IgnoreMark &mark, bool adding, QString *error)
{
    IgnoreMarks marks;
    if (!marks.read(path, error))
        return false;
    const bool changed = adding ? marks.add(mark) : marks.remove(mark);
    return !changed || marks.write(path, error);
}
} // namespace

bool AddIgnoreMark(const QString &path, const IgnoreMark &mark, QString *error)
{
    return changeMarks(path, mark, true, error);
}

bool RemoveIgnoreMark(const QString &path, const IgnoreMark &mark, QString *error)
{
    return changeMarks(path, mark, false, error);
}
