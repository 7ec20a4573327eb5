#pragma once
// Three versions of one language file merged by entry: a common base and
// two sides, "ours" (the result takes its place) and "theirs".
//
// An <L> element of one version is found in another by its original (the
// `from` value); among several of one original by its key, then by order;
// an element whose original changed by its key; and what is left, between
// the same neighbours, by position (where the keys do not differ). Each
// attribute of a matched element, and each attribute of the root (the
// file's settings), is merged on its own: a change on one side is taken, the
// same change on both sides once, different changes are a conflict and
// ours' value stays. An element added on one side is kept at its place in
// that side's order; one removed on one side and changed on the other is a
// conflict, and ours' state (removed or kept) stays. An original changed on
// one side while the other translated the old one is taken with its
// translation reset to the new original, and reported.
//
// Every element neither side changed, and everything between elements,
// stays byte for byte as in ours; ours' encoding and line ends are kept.

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// Where an element stands in the merged file: its original and key as
// written there (plain values, references decoded; an empty key for none),
// and which of the elements with both it is, counted from 0.
struct EntryLocation {
    QString original;
    QString key;
    int occurrence = 0;
    friend bool operator==(const EntryLocation &, const EntryLocation &) = default;
};

struct LanguageFileLayout;
// The location of every element of a language file, in file order, or of
// the elements numbered in `elements`, in that order.
std::vector<EntryLocation> EntryLocations(const LanguageFileLayout &layout);
std::vector<EntryLocation> EntryLocations(const LanguageFileLayout &layout, const std::vector<int> &elements);

struct MergeConflict {
    enum class Kind {
        Attribute,  // an attribute of an element changed differently on both sides
        Setting,    // an attribute of the root element
        Removal,    // the element was removed on one side and changed on the other
    };
    Kind kind = Kind::Attribute;
    QString attribute;  // Attribute and Setting: the attribute's name
    // Attribute and Removal: the element in the merged file. A Removal whose
    // element ours removed has none (inFile false); `after` then names the
    // element it would follow (none: it would come first).
    bool inFile = true;
    EntryLocation location;
    std::optional<EntryLocation> after;
    // Attribute and Setting: the values (nullopt: the attribute is absent).
    // Removal: the element's markup in each version (nullopt: removed).
    std::optional<QString> base, ours, theirs;
};

// An original one side changed while the other translated the old one.
struct StaleTranslation {
    EntryLocation location;       // in the merged file
    QString oldOriginal;
    QString droppedTranslation;   // the other side's translation of the old original
    bool changedByTheirs = false;  // which side changed the original
};

struct LanguageMergeResult {
    // False when one of the versions is not a language file (the reason
    // says which and why; the caller merges the files as text), or the merge
    // failed (error).
    bool merged = false;
    QString notLanguageFile;
    QString error;
    QByteArray bytes;  // the merged file, in ours' encoding
    std::vector<MergeConflict> conflicts;
    std::vector<StaleTranslation> stale;
};

// Merges the three versions' bytes. An empty base (a file both sides
// added) counts as a language file without entries.
LanguageMergeResult MergeLanguageFiles(const QByteArray &base, const QByteArray &ours, const QByteArray &theirs);
