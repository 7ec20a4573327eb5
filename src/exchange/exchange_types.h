#pragma once
// What goes out to translation tools and what comes back, independent of
// the format (XLIFF 1.2 or gettext PO).

#include "catalogue/entry_table.h"

#include <QHash>
#include <QString>
#include <vector>

// What the program's dialogs say about a text (keyed by the text without
// accelerator marks): the kind of control showing it as an XLIFF restype
// ("pushbutton", "checkbox", "label", "menuitem", ...) and the width in
// pixels at 96 dpi of the narrowest control showing it (-1: no control).
struct ControlHint {
    QString restype;
    int maxWidthPx = -1;
};
using ControlHints = QHash<QString, ControlHint>;

// One language file going out: its entries in entry order (the order of
// the file), each with its translation and not-to-be-translated mark.
struct ExportFile {
    QString name;                        // XLIFF <file original>, PO project
    QString language;                    // BCP 47 tag; empty when unknown
    const EntryMap *entries = nullptr;
    // Where this holds an original, its translation and mark are the ones
    // sent (the master catalogue of a language folder, holding the edits
    // that Save would write into every file). May be null.
    const EntryMap *current = nullptr;
    float lengthRatio = 2.0f;
    // From the program the file translates; null without one.
    const ControlHints *controlHints = nullptr;
};

// One text for translation as it came back, texts in display form.
struct ExchangeUnit {
    QString key;     // XLIFF resname, PO msgctxt; empty when none
    QString source;  // the original
    QString target;  // the translation; empty when there is none
    qsizetype line = 0;  // where the unit starts in its file
    // Why the target cannot be taken whatever it holds ("marked fuzzy",
    // a plural form, inline code); empty when it can.
    QString unusable;
};

// The units of one language file (an XLIFF <file>; a PO file has one).
struct ExchangeSection {
    QString original;  // the language file's name, as exported
    QString language;  // as the exchange file names it; empty when it does not
    std::vector<ExchangeUnit> units;
};

// A whole XLIFF or PO file as read.
struct ExchangeDocument {
    std::vector<ExchangeSection> sections;
    QString error;  // "line 12: ..." when the file could not be read; nothing else is then set
    bool ok() const { return error.isEmpty(); }
};
