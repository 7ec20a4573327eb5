#include "catalogue/text_match.h"

namespace {

// One UTF-16 unit folded as Qt's case-insensitive matching folds units
// outside surrogate pairs; ASCII without a table look-up.
inline char16_t foldedUnit(char16_t unit)
{
    if (unit < 0x80)
        return unit >= u'A' && unit <= u'Z' ? char16_t(unit + 32) : unit;
    return char16_t(QChar::toCaseFolded(char32_t(unit)));
}

} // namespace

TextMatcher::TextMatcher(const QString &needle, Qt::CaseSensitivity caseSensitivity)
    : m_needle(needle), m_caseSensitivity(caseSensitivity), m_matcher(needle, Qt::CaseSensitive)
{
    if (caseSensitivity == Qt::CaseSensitive || needle.isEmpty())
        return;
    m_folded.reserve(needle.size());
    for (QChar unit : needle) {
        m_hasSurrogates = m_hasSurrogates || unit.isSurrogate();
        m_folded.append(QChar(foldedUnit(unit.unicode())));
    }
    m_first = m_folded.front().unicode();
    m_firstOther = m_first >= u'a' && m_first <= u'z' ? char16_t(m_first - 32) : m_first;
}

bool TextMatcher::isIn(QStringView text) const
{
    if (m_needle.isEmpty())
        return true;
    if (text.size() < m_needle.size())
        return false;
    if (m_caseSensitivity == Qt::CaseSensitive)
        return m_matcher.indexIn(text) >= 0;
    // A needle holding a surrogate is folded by code point; a needle
    // without one can only match units outside surrogate pairs, which fold
    // one by one.
    if (m_hasSurrogates)
        return text.contains(m_needle, Qt::CaseInsensitive);
    return isInFolded(text);
}

bool TextMatcher::isInFolded(QStringView text) const
{
    const qsizetype n = m_folded.size();
    const char16_t *units = text.utf16();
    const char16_t *folds = reinterpret_cast<const char16_t *>(m_folded.utf16());
    for (qsizetype i = 0, last = text.size() - n; i <= last; ++i) {
        const char16_t unit = units[i];
        // Most units differ from the needle's first in both cases; only
        // non-ASCII units need the table (K, the Kelvin sign, folds to k).
        if (unit != m_first && unit != m_firstOther && (unit < 0x80 || foldedUnit(unit) != m_first))
            continue;
        qsizetype j = 1;
        while (j < n && foldedUnit(units[i + j]) == folds[j])
            ++j;
        if (j == n)
            return true;
    }
    return false;
}
