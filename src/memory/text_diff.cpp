#include "memory/text_diff.h"

#include <algorithm>
#include <cstdint>

std::vector<TextRange> DifferingRanges(const QString &reference, const QString &text, qsizetype maxCells)
{
    const qsizetype n = reference.size();
    const qsizetype m = text.size();
    if (reference == text || m == 0)
        return {};
    if (n == 0 || (n + 1) * (m + 1) > maxCells || n >= 0xFFFF || m >= 0xFFFF)
        return {{0, m}};

    // The full distance table, row by row: d(i, j) between the first i
    // units of the reference and the first j of the text.
    const qsizetype width = m + 1;
    std::vector<std::uint16_t> d(std::size_t((n + 1) * width));
    auto at = [&](qsizetype i, qsizetype j) -> std::uint16_t & { return d[std::size_t(i * width + j)]; };
    for (qsizetype j = 0; j <= m; ++j)
        at(0, j) = std::uint16_t(j);
    for (qsizetype i = 1; i <= n; ++i) {
        at(i, 0) = std::uint16_t(i);
        for (qsizetype j = 1; j <= m; ++j) {
            const int substitute = at(i - 1, j - 1) + (reference[i - 1] == text[j - 1] ? 0 : 1);
            at(i, j) = std::uint16_t(std::min({substitute, at(i - 1, j) + 1, at(i, j - 1) + 1}));
        }
    }

    // Back from the end, matches preferred; the text units reached by a
    // substitution or an insertion differ, and where the reference has
    // units the text lacks, the word at the gap is marked (so "file"
    // against "files" shows, though nothing of the text is new).
    std::vector<bool> differs(std::size_t(m), false);
    std::vector<qsizetype> gaps;  // before text[j], the reference has more
    qsizetype i = n, j = m;
    while (j > 0) {
        if (i > 0 && reference[i - 1] == text[j - 1] && at(i, j) == at(i - 1, j - 1)) {
            --i;
            --j;
        } else if (i > 0 && at(i, j) == at(i - 1, j - 1) + 1) {
            differs[std::size_t(--j)] = true;
            --i;
        } else if (at(i, j) == at(i, j - 1) + 1) {
            differs[std::size_t(--j)] = true;
        } else {
            if (gaps.empty() || gaps.back() != j)
                gaps.push_back(j);
            --i;
        }
    }
    if (i > 0)  // the reference starts with units the text lacks
        gaps.push_back(0);
    // A gap marks the word it touches, the one before it first.
    for (const qsizetype gap : gaps) {
        if (gap > 0 && text[gap - 1].isLetterOrNumber())
            differs[std::size_t(gap - 1)] = true;
        else if (gap < m && text[gap].isLetterOrNumber())
            differs[std::size_t(gap)] = true;
        else
            differs[std::size_t(gap > 0 ? gap - 1 : 0)] = true;
    }

    // A word with a change in it is marked whole: "Move" against "Copy",
    // not "M" and "ve".
    for (qsizetype k = 0; k < m;) {
        if (!text[k].isLetterOrNumber()) {
            ++k;
            continue;
        }
        qsizetype end = k;
        bool changed = false;
        for (; end < m && text[end].isLetterOrNumber(); ++end)
            changed = changed || differs[std::size_t(end)];
        if (changed)
            std::fill(differs.begin() + k, differs.begin() + end, true);
        k = end;
    }

    std::vector<TextRange> ranges;
    for (qsizetype k = 0; k < m; ++k) {
        if (!differs[std::size_t(k)])
            continue;
        if (!ranges.empty() && ranges.back().start + ranges.back().length == k)
            ++ranges.back().length;
        else
            ranges.push_back({k, 1});
    }
    return ranges;
}
