#pragma once
// Reading a language file apart from any document, so that several files
// can be read at once on worker threads; a document then takes what was
// read (CRendaroDoc::AddReadCatalogue, MergeReadCatalogue). A read touches
// nothing but what it returns: every file gets its own tree, names and
// strings.

#include "catalogue/catalogue_types.h"
#include "catalogue/flat_elements.h"

#include <cstdint>
#include <memory>
#include <vector>

struct XmlElement;

// What a read keeps.
enum class CatalogueParts {
    // The element tree (to save the file in place), the entries, the keys
    // and the settings: what LoadCatalogue keeps.
    TreeAndEntries,
    // The entries, keys and settings without the tree: for reading,
    // looking up, checking and exporting. The entries equal those of a
    // load with the tree.
    Entries,
    // Only what a merge into the master catalogue takes from each element.
    MergeItems,
    // What TreeAndEntries keeps, in far less memory for a file whose root
    // holds only empty elements of entries, all of one name (a language
    // file as saved): the tree then holds the root alone, and the
    // catalogue's `flat` the elements (flat_elements.h), and the list of
    // every key met is left empty (the elements' keys are found among
    // their entries'). Any other file is
    // read as TreeAndEntries. Only saving knows the flat elements, so this
    // is for commands that save the file as it was read, with its entries
    // edited at most.
    FlatTreeAndEntries,
    // FlatTreeAndEntries for a file that stays open to be edited: the
    // entries' texts are strings of their own, as any read's, so copies of
    // them (undo, the memory, search results) may outlive the catalogue.
    FlatTreeAndOwnedEntries,
};

// What merging a file into the master takes from one element: the entry the
// element reads as on its own (its key, not those of later elements with
// the same original) and whether its `to` differs from its original (an
// empty `to` counts as different), which decides whether it replaces a
// stored untranslated entry.
struct MergeItem {
    StringEntry entry;
    bool toDiffers = false;
};

struct ReadCatalogue {
    bool ok = false;
    QString errorText;     // why the file could not be read
    CXMLStruct catalogue;  // empty for MergeItems; filePath is the path read
    std::vector<MergeItem> mergeItems;  // MergeItems: one per element with an original, in document order
};

// Reads the file at path. The entries of a TreeAndEntries or Entries read
// name catalogueId as the catalogue they came from (a document that takes
// the catalogue under another identifier renames them); merge items name
// none until merged.
ReadCatalogue ReadCatalogueFile(const QString &path, CatalogueParts parts, int catalogueId);

// The merge items of a file in pieces: those of all pieces, in order, are
// what ReadCatalogueFile(path, MergeItems) gives. When the file is large
// (SetThreadedReadFrom) and can be cut between two children of its root
// (an ASCII-compatible encoding, no document type declaration), it is
// parsed in up to `threads` pieces at once, each as the file's head (up to
// the end of the root's start tag), its share of the root's children and
// the root's end tag. When any piece is not well-formed so (a cut inside a
// comment, say), or the file is not, the file is read whole, as
// ReadCatalogueFile reads it (then with the reason of a failure).
//
// With textBlocks, the texts of the pieces read at once are kept in blocks
// (see TextBlocks) that come with the items: the strings, and every copy of
// them, must not outlive `blocks`. A reader that keeps most texts anyway
// saves a heap string each so.
struct ReadCatalogueItems {
    bool ok = false;
    QString errorText;
    std::vector<std::vector<MergeItem>> pieces;
    std::vector<std::unique_ptr<TextBlocks>> blocks;
};
ReadCatalogueItems ReadCatalogueItemsOnThreads(const QString &path, int threads, bool textBlocks = false);

// Reads the entries as CatalogueParts::Entries does and, into lines, the
// line in the file of the element each entry number holds the values of
// (the element that made the entry, or the later one that replaced it): a
// side table for the commands that name lines, so that entries need no
// room for it.
ReadCatalogue ReadCatalogueFileWithLines(const QString &path, int catalogueId, std::vector<std::uint32_t> &lines);

// Files of at least this many bytes have their entries read on a second
// thread while the parser builds the tree (4 MiB unless set). Both ways give
// the same catalogue and tree; tests set it to hold them to that.
void SetThreadedReadFrom(qint64 bytes);

// Reads the elements of a tree (element and everything below it, in
// document order) into catalogue, and into master when it is given, by the
// rules of LoadCatalogue.
void ReadEntriesFromTree(CXMLStruct &catalogue, EntryMap *master, XmlElement *element, bool readCodeType);

// Merges items into a master catalogue's entries, in order, by the rule of
// language-folder mode (see LoadCatalogue).
void MergeItemsIntoMaster(EntryMap &master, std::vector<MergeItem> &&items);
