#include "checks/text_checks.h"

#include "catalogue/catalogue_types.h"
#include "catalogue/messages.h"

#include <QHash>

#include <algorithm>
#include <unordered_map>
#include <vector>

CheckResult CheckResult::fail(int id, const QString &argument)
{
    return {false, id, formatMessage(id, argument)};
}

bool IsTooLong(const QString &original, const QString &translation, float ratio)
{
    return float(original.size()) * ratio < float(translation.size());
}

CheckResult CheckLength(const QString &original, const QString &translation, float ratio)
{
    if (!IsTooLong(original, translation, ratio))
        return CheckResult::pass();
    return {false, MsgTooLong, messageText(MsgTooLong)};
}

namespace {
bool isConversion(QChar c) { return QStringView(u"cdieEfgGosuxXpn").contains(c); }
bool isFlag(QChar c) { return QStringView(u"-+#0123456789*.hlL").contains(c); }
} // namespace

QStringView FindPlaceholder(int codeType, QStringView text, qsizetype from)
{
    if (codeType != CodeTypeCpp && codeType != CodeTypeQt)
        return {};
    for (qsizetype p = text.indexOf(u'%', from); p >= 0; p = text.indexOf(u'%', p + 1)) {
        qsizetype length = 0;
        if (codeType == CodeTypeCpp) {
            // A placeholder runs from the "%" over flag characters to a
            // conversion letter. The two sets share no character, so it is
            // enough to look at the first character after the flags; and
            // since "%" is no flag, that look never passes the next "%",
            // which keeps a whole scan linear.
            qsizetype end = p + 1;
            while (end < text.size() && isFlag(text[end]))
                ++end;
            if (end < text.size() && isConversion(text[end]))
                length = end - p + 1;
        } else if (p + 1 < text.size() && text[p + 1] >= u'0' && text[p + 1] <= u'9') {
            length = 2;  // "%12" is the placeholder "%1"
        }
        if (length > 0)
            return text.mid(p, length);
    }
    return {};
}

QString PlaceholderScanner::NextPlaceholder(int codeType, const QString &text)
{
    const QStringView found = FindPlaceholder(codeType, text, position);
    if (found.isEmpty())
        return QString();
    position = found.data() - text.constData();
    return found.toString();
}

namespace {
struct Placeholder {
    QString text;
    qsizetype position;
};

std::vector<Placeholder> scanAll(const QString &text, int codeType)
{
    std::vector<Placeholder> found;
    PlaceholderScanner scanner;
    for (;;) {
        const QString placeholder = scanner.NextPlaceholder(codeType, text);
        if (placeholder.isEmpty())
            return found;
        found.push_back({placeholder, scanner.position});
        scanner.position += 1;
    }
}

// The first value of a sorted list at or above `from`, or -1.
qsizetype firstAtOrAfter(const std::vector<qsizetype> &sorted, qsizetype from)
{
    const auto it = std::lower_bound(sorted.begin(), sorted.end(), from);
    return it == sorted.end() ? -1 : *it;
}
} // namespace

CheckResult CheckPlaceholders(const QString &original, const QString &translation, int codeType)
{
    std::vector<Placeholder> wanted = scanAll(original, codeType);
    const std::vector<Placeholder> present = scanAll(translation, codeType);

    // Find each placeholder of the original in the translation, in order:
    // the first occurrence of its text at or after a moving point. A
    // placeholder's text can only occur where the scan of the translation
    // finds that same placeholder (the text ends at the first character that
    // is no flag), so the occurrences of each text are its scan positions,
    // looked up instead of searched for.
    QHash<QString, std::vector<qsizetype>> occurrences;
    for (const Placeholder &p : present)
        occurrences[p.text].push_back(p.position);
    static const std::vector<qsizetype> none;
    qsizetype from = -1;
    int missing = -1;
    qsizetype missingFrom = -1;
    for (size_t i = 0; i < wanted.size(); ++i) {
        const auto found = occurrences.constFind(wanted[i].text);
        const qsizetype at = firstAtOrAfter(found == occurrences.constEnd() ? none : *found, from + 1);
        if (at < 0 && missing == -1) {
            missing = int(i);
            missingFrom = from;
        } else {
            wanted[i].position = at;
            from = at;
        }
    }

    // Placeholders of the translation that match none of those positions:
    // for each, the first placeholder of the original from a cursor on whose
    // position equals it. The indexes of the original's placeholders by
    // position answer that without walking the list.
    std::unordered_map<qsizetype, std::vector<qsizetype>> indexesAt;
    for (size_t k = 0; k < wanted.size(); ++k)
        indexesAt[wanted[k].position].push_back(qsizetype(k));
    std::vector<Placeholder> extra;
    qsizetype next = 0;
    for (const Placeholder &found : present) {
        const auto at = indexesAt.find(found.position);
        const qsizetype k = at == indexesAt.end() ? -1 : firstAtOrAfter(at->second, next);
        if (k >= 0)
            next = k + 1;
        else
            extra.push_back(found);
    }

    if (!extra.empty() && (missing == -1 || extra.front().position < missingFrom))
        return CheckResult::fail(MsgRemovePlaceholder, extra.front().text);
    // Both a missing and a later extra placeholder (typically one typed in
    // place of another): naming the one the original needs helps more.
    if (missing >= 0)
        return CheckResult::fail(MsgPutPlaceholder, wanted[size_t(missing)].text);
    return CheckResult::pass();
}

CheckResult CheckEscapeSequences(const QString &original, const QString &translation)
{
    // Counted in this order, each removed once counted, so by the time \r\n
    // is counted its halves are gone.
    static const QString tokens[] = {QStringLiteral("\\r"), QStringLiteral("\\n"), QStringLiteral("\\r\\n")};
    QString a = original;
    QString b = translation;
    for (const QString &token : tokens) {
        const qsizetype inOriginal = a.count(token);
        const qsizetype inTranslation = b.count(token);
        a.remove(token);
        b.remove(token);
        if (inOriginal > inTranslation)
            return CheckResult::fail(MsgPutPlaceholder, token);
        if (inOriginal < inTranslation)
            return CheckResult::fail(MsgRemovePlaceholder, token);
    }
    return CheckResult::pass();
}
