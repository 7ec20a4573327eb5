#include "catalogue/checks.h"

#include "catalogue/catalogue_types.h"
#include "catalogue/messages.h"

#include <algorithm>
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

QString PlaceholderScanner::NextPlaceholder(int codeType, const QString &text)
{
    if (codeType != CodeTypeCpp && codeType != CodeTypeQt)
        return QString();
    static const QStringView conversions = u"cdieEfgGosuxXpn";
    static const QStringView flags = u"-+#0123456789*.hlL";
    for (qsizetype p = text.indexOf(u'%', position); p >= 0; p = text.indexOf(u'%', p + 1)) {
        const QStringView rest = QStringView(text).mid(p + 1);
        qsizetype length = 0;
        if (codeType == CodeTypeCpp) {
            qsizetype d = 0;
            while (d < rest.size() && !conversions.contains(rest[d]))
                ++d;
            if (d < rest.size()) {
                const QStringView prefix = rest.left(d);
                if (std::all_of(prefix.begin(), prefix.end(), [](QChar c) { return flags.contains(c); }))
                    length = d + 2;
            }
        } else if (!rest.isEmpty() && rest[0] >= u'0' && rest[0] <= u'9') {
            length = 2;  // "%12" is the placeholder "%1"
        }
        if (length > 0) {
            position = p;
            return text.mid(p, length);
        }
    }
    return QString();
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
} // namespace

CheckResult CheckPlaceholders(const QString &original, const QString &translation, int codeType)
{
    std::vector<Placeholder> wanted = scanAll(original, codeType);

    // Find each placeholder of the original in the translation, in order.
    qsizetype from = -1;
    int missing = -1;
    qsizetype missingFrom = -1;
    for (size_t i = 0; i < wanted.size(); ++i) {
        const qsizetype at = translation.indexOf(wanted[i].text, from + 1);
        if (at < 0 && missing == -1) {
            missing = int(i);
            missingFrom = from;
        } else {
            wanted[i].position = at;
            from = at;
        }
    }

    // Placeholders of the translation that match none of those positions.
    std::vector<Placeholder> extra;
    size_t next = 0;
    for (const Placeholder &found : scanAll(translation, codeType)) {
        size_t k = next;
        while (k < wanted.size() && wanted[k].position != found.position)
            ++k;
        if (k < wanted.size())
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
