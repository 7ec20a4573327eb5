#pragma once
// Pre-translation: the untranslated, translatable entries of a catalogue
// filled from the translation memory. A suggestion goes in only when it
// passes the checks an edit must pass against the entry's own original
// (placeholders in the catalogue's style, line-break escapes); otherwise the
// next suggestion is tried, and an entry whose suggestions all fail is left
// out and named.

#include "catalogue/catalogue_types.h"
#include "checks/text_checks.h"
#include "memory/translation_memory.h"

#include <vector>

class ProgressReporter;

// The checks a suggestion must pass to be put in for `original`.
CheckResult CheckSuggestion(const QString &original, const QString &translation, int codeType);

struct PreTranslationFill {
    QString original;
    QString translation;
    int score = 0;
};

struct PreTranslationRefusal {
    QString original;
    QString translation;  // the best suggestion, which failed
    CheckResult check;    // why
};

struct PreTranslationPlan {
    std::vector<PreTranslationFill> fills;       // in catalogue order
    std::vector<PreTranslationRefusal> leftOut;  // in catalogue order
    bool cancelled = false;  // the user stopped it: nothing is to be filled
};

// Whether an entry is one that pre-translation fills.
bool NeedsTranslation(const StringEntry &entry);

// What pre-translation would put into the catalogue's entries, using
// suggestions scoring at least minScore; the catalogue is not changed.
// Progress, when given, counts the entries looked up and may be cancelled
// between steps (the plan is then empty and says so).
PreTranslationPlan PlanPreTranslation(const CXMLStruct &catalogue, const TranslationMemory &memory, int minScore,
                                      ProgressReporter *progress = nullptr);

// "N filled, M left out by the checks".
QString PreTranslationSummary(const PreTranslationPlan &plan);
