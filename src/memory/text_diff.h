#pragma once
// Which parts of a text differ from another text, for showing a
// suggestion's original with the differences from the row's original
// marked.

#include <QString>
#include <vector>

struct TextRange {
    qsizetype start;
    qsizetype length;
    friend bool operator==(const TextRange &a, const TextRange &b)
    {
        return a.start == b.start && a.length == b.length;
    }
};

// The ranges of `text` (UTF-16 code units, in order, not touching) that a
// shortest edit from `reference` to `text` inserts or changes, or next to
// which it deletes, widened to whole words (runs of letters and digits). Texts whose
// product of lengths passes `maxCells` are not aligned: the whole of
// `text` is one range unless the two are equal.
std::vector<TextRange> DifferingRanges(const QString &reference, const QString &text,
                                       qsizetype maxCells = 4'000'000);
