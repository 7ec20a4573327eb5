#pragma once
// Translations coming back from a translation tool, checked as the editor
// checks an edit before anything touches a catalogue.

#include "exchange/exchange_types.h"

#include <vector>

class CRendaroDoc;
struct CXMLStruct;

// A unit as messages name it.
struct UnitReference {
    qsizetype line = 0;
    QString key;
    QString source;  // display form
};

struct ImportChange {
    QString original;     // memory form, as the catalogue holds it
    QString translation;  // memory form
    bool tooLong = false;  // kept, with a warning
    UnitReference unit;
};

struct ImportRefusal {
    UnitReference unit;
    QString reason;
};

// What an import does to one catalogue, worked out before anything changes.
struct ImportPlan {
    std::vector<ImportChange> changes;
    int unchanged = 0;                    // units that change nothing
    std::vector<ImportRefusal> refused;   // in unit order
    std::vector<UnitReference> unknown;   // originals the catalogue does not hold
    int tooLongCount() const;
    // "3 changed, 10 unchanged, 1 refused, 2 unknown"
    QString summary() const;
};

// line 12: "Open %s" (IDS_OPEN)
QString DescribeUnit(const UnitReference &unit);

// The units an import into the language file `fileName` takes: those of
// the sections named for it when the document has one (by name, or by the
// last part of a path), else those of every section. *language receives
// the language the chosen sections name (the first that names one).
std::vector<const ExchangeUnit *> UnitsForFile(const ExchangeDocument &document, const QString &fileName,
                                               QString *language = nullptr);

// Matches the units to the catalogue's entries by original (and, where an
// original comes back in several units, by key) and checks each
// translation: placeholders and line-break escapes as an edit (a refusal
// carries the check's message), length with a warning only. Empty
// translations and ones equal to the original or to the current
// translation change nothing; entries marked not to be translated take no
// translation; originals the catalogue lacks are never added. Without
// keysDecide (the master catalogue of a language folder, which takes the
// units of every file) keys are not looked at.
ImportPlan PlanImport(const CXMLStruct &catalogue, const std::vector<const ExchangeUnit *> &units,
                      bool keysDecide = true);

// Sets the planned translations through the entry edits; returns how many.
int ApplyImportPlan(CRendaroDoc &document, int catalogueId, const ImportPlan &plan);
