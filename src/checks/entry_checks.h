#pragma once
// The save-time checks of one entry (placeholders per the catalogue's code
// type, line-break escapes, length against the ratio, empty translation),
// shared by the check objects of the registry, the live counts and the
// editor's "next problem".

#include "checks/text_checks.h"

#include <vector>

enum class EntryCheck { Placeholder, Escape, Length, Empty };

struct EntryProblem {
    EntryCheck check;
    CheckResult result;  // message id and text
};

// Every check the pair fails: a placeholder failure stands alone (the other
// checks say nothing useful then); otherwise the escape, length and empty
// checks each report.
std::vector<EntryProblem> CheckEntry(const QString &original, const QString &translation, float lengthRatio,
                                     int codeType);

// Whether CheckEntry would report anything, without building messages.
bool EntryHasProblem(const QString &original, const QString &translation, float lengthRatio, int codeType);

// The longest translation the length check lets stand beside the original
// (the editor's "L of MAX characters"); 0 for a negative ratio, which lets
// no translation stand.
qsizetype MaxTranslationLength(const QString &original, float lengthRatio);
