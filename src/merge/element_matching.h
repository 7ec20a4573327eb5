#pragma once
// Which <L> element of one version of a language file is which of another.

#include "merge/file_layout.h"

#include <vector>

inline constexpr int kUnmatched = -1;

struct ElementMatching {
    std::vector<int> bOfA;  // per element of a: its element in b, or kUnmatched
    std::vector<int> aOfB;
};

// Matches the elements of a listed in `aElements` with those of b listed in
// `bElements` (both in file order): first by original, and among several
// of one original by key, then in order; then what is left by key; then,
// with byPosition, what is left between the same matched neighbours, in
// order, where the two keys do not differ.
ElementMatching MatchElements(const LanguageFileLayout &a, const std::vector<int> &aElements,
                              const LanguageFileLayout &b, const std::vector<int> &bElements, bool byPosition);

// Every element's number, 0 to count - 1.
std::vector<int> AllElements(const LanguageFileLayout &layout);
