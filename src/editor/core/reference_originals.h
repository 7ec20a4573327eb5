#pragma once
// Maps the texts shown in column 0 while a reference file is shown back to
// the originals they stand for, in constant time per row.
//
// A shown text is mapped by one pass over the reference entries in original
// order: whenever an entry's translation equals the current text, the text
// becomes that entry's original. Each pass step only moves forward, so the
// result of every possible start is computed once, from the last entry back
// to the first, and kept in a hash by start text.

#include "catalogue/entry_table.h"

#include <QHash>
#include <QString>

class ReferenceOriginals {
public:
    // Builds the map for these reference entries (empty: every text maps to itself).
    void build(const EntryMap &reference);
    void clear() { m_originalOf.clear(); }
    // The original a shown text stands for.
    QString originalOf(const QString &shown) const { return m_originalOf.value(shown, shown); }

private:
    QHash<QString, QString> m_originalOf;  // shown text -> original, where they differ
};
