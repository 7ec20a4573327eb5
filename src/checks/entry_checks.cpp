#include "checks/entry_checks.h"

#include "catalogue/messages.h"

#include <cmath>
#include <limits>

namespace {
// Placeholders start with '%' and the escapes with a backslash; a pair
// without either character on both sides passes those checks, which is
// nearly every entry, so the full checks run only where they can fail.
bool mayHavePlaceholders(const QString &original, const QString &translation)
{
    return original.contains(u'%') || translation.contains(u'%');
}

bool mayHaveEscapes(const QString &original, const QString &translation)
{
    return original.contains(u'\\') || translation.contains(u'\\');
}

// Whether both texts hold the same placeholders in the same order, which
// the placeholder check always passes; found without building strings.
bool samePlaceholders(QStringView original, QStringView translation, int codeType)
{
    qsizetype inOriginal = 0, inTranslation = 0;
    for (;;) {
        const QStringView a = FindPlaceholder(codeType, original, inOriginal);
        const QStringView b = FindPlaceholder(codeType, translation, inTranslation);
        if (a != b)
            return false;
        if (a.isEmpty())
            return true;
        inOriginal = a.data() - original.data() + a.size();
        inTranslation = b.data() - translation.data() + b.size();
    }
}
} // namespace

std::vector<EntryProblem> CheckEntry(const QString &original, const QString &translation, float lengthRatio,
                                     int codeType)
{
    std::vector<EntryProblem> problems;
    if (mayHavePlaceholders(original, translation)) {
        CheckResult placeholders = CheckPlaceholders(original, translation, codeType);
        if (!placeholders.ok) {
            problems.push_back({EntryCheck::Placeholder, std::move(placeholders)});
            return problems;
        }
    }
    if (mayHaveEscapes(original, translation)) {
        CheckResult escapes = CheckEscapeSequences(original, translation);
        if (!escapes.ok)
            problems.push_back({EntryCheck::Escape, std::move(escapes)});
    }
    CheckResult length = CheckLength(original, translation, lengthRatio);
    if (!length.ok)
        problems.push_back({EntryCheck::Length, std::move(length)});
    if (translation.isEmpty())
        problems.push_back({EntryCheck::Empty, {false, MsgEnterString, messageText(MsgEnterString)}});
    return problems;
}

bool EntryHasProblem(const QString &original, const QString &translation, float lengthRatio, int codeType)
{
    if (translation.isEmpty() || IsTooLong(original, translation, lengthRatio))
        return true;
    // Equal texts (every untranslated entry) pass the escape and placeholder checks.
    if (translation == original)
        return false;
    if (mayHaveEscapes(original, translation) && !CheckEscapeSequences(original, translation).ok)
        return true;
    return mayHavePlaceholders(original, translation) && !samePlaceholders(original, translation, codeType)
           && !CheckPlaceholders(original, translation, codeType).ok;
}

qsizetype MaxTranslationLength(const QString &original, float lengthRatio)
{
    // The same float product as IsTooLong, so the two never disagree.
    const float limit = float(original.size()) * lengthRatio;
    if (std::isnan(limit) || limit >= float(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (limit < 0)
        return 0;
    qsizetype length = qsizetype(limit);
    while (length > 0 && float(length) > limit)
        --length;
    while (float(length + 1) <= limit)
        ++length;
    return length;
}
