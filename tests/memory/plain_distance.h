#pragma once
// The plain dynamic-programming edit distance: the definition that the
// bit-parallel distance and the bag bounds are held to.

#include "memory/tm_text.h"

#include <algorithm>
#include <cstddef>
#include <vector>

inline std::size_t plainDistance(const std::vector<TmUnit> &a, const std::vector<TmUnit> &b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}
