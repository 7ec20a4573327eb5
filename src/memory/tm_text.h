#pragma once
// Texts as the translation memory compares them: a sequence of 32-bit
// units, one per UTF-16 code unit, except that a placeholder ("%s", "%.2f",
// "%1") and a line-break escape ("\n", "\r", "\r\n") is one unit each, so
// that a changed placeholder costs one edit, not two or three.
//
// The comparison form also drops what a translator does not care about when
// looking for an earlier translation: white space at either end (and runs
// of it inside, which count as one space), trailing punctuation
// (". : ! ? ; , ..." and their full-width forms), accelerator marks ("&File",
// a trailing "(&F)"), and case.

#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

using TmUnit = std::uint32_t;

// Units above the last Unicode code point stand for the tokens; all fit in
// 21 bits, so three of them pack into one 64-bit key.
constexpr TmUnit kTmTokenBase = 0x110000;
constexpr TmUnit kTmTextStart = kTmTokenBase + 1;  // boundary marks of the n-grams
constexpr TmUnit kTmTextEnd = kTmTokenBase + 2;
constexpr TmUnit kTmUnitLimit = 0x200000;

// The text as units, exactly (case, "&" and white space kept).
std::vector<TmUnit> TmRawUnits(QStringView text);
// The comparison form as units (see above).
std::vector<TmUnit> TmComparisonUnits(QStringView text);

// The words of a comparison form: maximal runs of letters and digits, as
// ranges [begin, end) into the units.
struct TmWord {
    std::size_t begin;
    std::size_t end;
};
std::vector<TmWord> TmWords(const std::vector<TmUnit> &units);

// Whether two unit sequences have a word in common: equal words, or words
// where the shorter (three letters at least) starts the longer or both
// start with the same four letters ("file" and "files", "delete" and
// "deleted").
bool TmShareWord(const std::vector<TmUnit> &a, const std::vector<TmWord> &aWords, const std::vector<TmUnit> &b,
                 const std::vector<TmWord> &bWords);
