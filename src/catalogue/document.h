#pragma once
// The document: the list of loaded catalogues (index 0 is the master catalogue
// that language-folder mode merges into) and which one is shown. All catalogue
// operations of the program are members; none of them shows a message.

#include "catalogue/catalogue_disposal.h"
#include "catalogue/catalogue_types.h"

#include <functional>
#include <string>
#include <vector>

class DurableWriteBatch;
class ProgressReporter;
class QIODevice;
struct ReadCatalogue;
struct XmlElement;

class CRendaroDoc {
public:
    CRendaroDoc();
    ~CRendaroDoc();
    CRendaroDoc(const CRendaroDoc &) = delete;
    CRendaroDoc &operator=(const CRendaroDoc &) = delete;

    // --- model -------------------------------------------------------------
    int FindCatalogueIndex(int catalogueId) const;
    QString GetCataloguePath(int index) const;
    bool HasEntry(const QString &original, int catalogueId) const;
    QString GetTranslation(int catalogueId, const QString &original) const;
    bool SetTranslation(int catalogueId, const QString &original, const QString &translation, int translatable);
    int AddEntry(int catalogueId, const QString &original, const QString &translation, int translatable);
    EntryMap CopyEntries(int catalogueId) const;
    // Reads the entries again from the catalogue's elements; 0 (with the
    // reason in lastErrorText) when a catalogue held flat cannot read its
    // file again, which leaves it as it was.
    int RebuildEntries(int index);

    // --- language files ----------------------------------------------------
    // Failures leave the reason in lastErrorText().
    int LoadCatalogue(const QString &path, bool mergeIntoMaster);
    // The entries, keys and settings of a file without its element tree,
    // for commands that only read them (a save would write a fresh tree;
    // SelectCatalogue parses the file again). Returns the identifier or -1.
    int LoadCatalogueEntries(const QString &path);
    // LoadCatalogue(path, false) for a caller that saves the file again
    // (with its entries edited at most) and does nothing else with its
    // tree: a file of entry elements alone is held in a fraction of the
    // memory (CatalogueParts::FlatTreeAndEntries).
    int LoadCatalogueForSave(const QString &path);
    // LoadCatalogue(path, false) for the editor's shown file: a file of
    // entry elements alone is held flat (CatalogueParts::
    // FlatTreeAndOwnedEntries), and what needs its elements gets them: a
    // save that adds elements builds them first (ExpandFlatElements), Apply
    // To and RebuildEntries read the file as last saved (FullTreeOf).
    int LoadCatalogueForEditing(const QString &path);
    // The file's whole tree as last loaded or saved: the catalogue's own,
    // or, for a catalogue held flat, its file parsed again. Null (with the
    // reason in *reason) when that parse fails.
    static XmlDocumentPtr FullTreeOf(const CXMLStruct &catalogue, QString *reason);
    // The key attributes of the catalogue's elements in file order (what
    // the list of keys met holds for a catalogue read with its tree).
    static QStringList KeysInFileOrder(const CXMLStruct &catalogue);
    // Takes a catalogue read by ReadCatalogueFile (on any thread) under the
    // next identifier; -1 when the read failed (its reason then becomes
    // lastErrorText()).
    int AddReadCatalogue(ReadCatalogue &&read);
    // Merges the items of a MergeItems read into the master catalogue, as
    // LoadCatalogue(path, true) merges the file, without keeping the file's
    // catalogue; false when the read failed (nothing is merged then).
    bool MergeReadCatalogue(ReadCatalogue &&read);
    // The identifier the next catalogue added will get.
    int nextCatalogueId() const { return m_nextCatalogueId; }
    bool SaveCatalogue(int catalogueId, const QString &path, bool keepTree, DurableWriteBatch *batch = nullptr,
                       int *batchFile = nullptr);
    // SaveCatalogue for a catalogue of no document (or of one that no other
    // thread uses meanwhile): touches nothing but the catalogue and the file,
    // so files can be written on several threads. The reason of a failure
    // goes to *reason. With a batch, the file is only added to it (see
    // DurableWriteBatch) and its number there goes to *batchFile: it is in
    // place once the batch is committed.
    static bool WriteCatalogueFile(CXMLStruct &catalogue, const QString &path, bool keepTree, QString *reason,
                                   DurableWriteBatch *batch = nullptr, int *batchFile = nullptr);
    // WriteCatalogueFile(keepTree) of a catalogue whose tree has no element
    // below its root yet (a master collected by merging): the same bytes,
    // written straight from the entries without adding their elements to
    // the tree, which is left without them. For a catalogue let go after;
    // any other tree is written by WriteCatalogueFile.
    static bool WriteCollectedCatalogueFile(CXMLStruct &catalogue, const QString &path, QString *reason,
                                            DurableWriteBatch *batch = nullptr, int *batchFile = nullptr);
    void ReadEntries(int index, XmlElement *element, bool mergeIntoMaster, bool readCodeType);

    // --- whole-catalogue operations ----------------------------------------
    // False (with the reason in lastErrorText) for an unknown identifier or
    // a file that cannot be parsed again; the current catalogue then stays.
    bool SelectCatalogue(int catalogueId);
    int CloseCatalogue(int catalogueId);
    // Empties the master catalogue (entries, keys, tree); it stays in place.
    void EmptyMasterCatalogue();
    // Hands out the master catalogue as it is (entries, keys, tree, settings,
    // path) and leaves it empty as EmptyMasterCatalogue does, so that it can
    // be written (WriteCatalogueFile) and freed on another thread while the
    // document goes on.
    CXMLStruct TakeMasterCatalogue();
    // Writes every file of the folder; a file that fails does not stop the
    // others. False when any failed; lastErrorText names each with its reason.
    bool SaveAllCatalogues(ProgressReporter *progress);
    bool ApplyTranslationsToFile(const QString &targetPath, int sourceId);
    void MergeElement(XmlElement *target, const XmlElement *source, XmlDocument *targetDocument);
    // Returns 1, or 0 when the target is unknown or the file cannot be read
    // (the reason in lastErrorText); *substituted counts the translations
    // taken over.
    int ImportTranslationsFromFile(int targetId, const QString &path, int *substituted = nullptr);
    static void NormalizeStringPair(QString &a, QString &b);

    // --- script export -----------------------------------------------------
    // Writes the catalogue as a JavaScript (kind 1) or PHP (kind 2) string table.
    bool ExportCatalogueScript(int kind, int catalogueId, const QString &path);

    // --- state -------------------------------------------------------------
    const std::vector<CXMLStruct> &catalogues() const { return m_catalogues; }
    CXMLStruct *catalogueAt(int index);
    const CXMLStruct *catalogueAt(int index) const;
    CXMLStruct *findCatalogue(int catalogueId);
    const CXMLStruct *findCatalogue(int catalogueId) const;
    int currentIndex() const { return m_currentIndex; }
    // The catalogueId of the current catalogue, -1 when none is current.
    int currentCatalogueId() const;
    // Why the last failing operation failed (for messages), empty after a
    // success of the operations that report this way.
    QString lastErrorText() const { return m_lastErrorText; }

private:
    int appendCatalogue(const QString &path, XmlDocumentPtr tree);
    void removeCatalogueAt(int index);
    bool fail(const QString &reason);
    CXMLStruct takeMasterContent();
    // Entries of the catalogue found in the tree while saving, by entry number.
    using WrittenSet = std::vector<unsigned char>;
    // Writes entry values into the tree. `decide` says which elements are
    // touched, `values` gives their translation and translatable state;
    // `written` marks the entries of `values` found (may be null). When the
    // two differ, the entries of `decide` take the values written. `cursor`
    // (may be null) follows the entry numbers of `decide` through the
    // document to spare lookups.
    static void ApplyEntriesToTree(XmlElement *element, const CXMLStruct &catalogue, EntryMap &decide,
                                   const EntryMap &values, WrittenSet *written, size_t *cursor = nullptr);
    static void AppendMissingEntries(CXMLStruct &catalogue, const WrittenSet &written, bool onlyUntranslated);
    // WriteCatalogueFile(keepTree) of a catalogue read flat (its tree holds
    // the root alone; the children are catalogue.flat): the same bytes.
    // Gives a catalogue held flat the elements of its root in its tree,
    // each holding its entry's values (what a save of the tree would put
    // in it), and lets the flat form go.
    static void ExpandFlatElements(CXMLStruct &catalogue);
    static bool WriteFlatCatalogueFile(CXMLStruct &catalogue, const QString &path, QString *reason,
                                       DurableWriteBatch *batch, int *batchFile);
    // Writes the file of a catalogue whose tree holds no child of its root:
    // the tree with the root's settings put in, writeChildren's bytes
    // between the root's start and end tags.
    static bool WriteAroundRoot(CXMLStruct &catalogue, const QString &path, QString *reason,
                                DurableWriteBatch *batch, int *batchFile,
                                const std::function<bool(QIODevice &)> &writeChildren);
    // The elements a save adds for entries, written straight to device.
    static bool WriteNewEntryElements(QIODevice &device, const std::string &start,
                                      const std::vector<const StringEntry *> &entries);
    // The entries a save appends, in the order it appends them.
    static std::vector<const StringEntry *> missingEntries(const CXMLStruct &catalogue, const WrittenSet &written,
                                                           bool onlyUntranslated);
    // ApplyEntriesToTree of a catalogue's own entries into its tree, the
    // root's children split between two threads; elements that need an
    // attribute added or removed are done afterwards on this thread.
    static void ApplyOwnEntriesOnTwoThreads(CXMLStruct &catalogue, WrittenSet &written);

    std::vector<CXMLStruct> m_catalogues;
    CatalogueDisposal m_disposal;  // after the catalogues: goes first, waiting for what it frees
    int m_currentIndex = -1;
    int m_nextCatalogueId = 1;
    QString m_lastErrorText;
};

// A catalogue whose root has at least this many children has its entries
// put into its tree on two threads when it is saved (16,384 unless set).
// Both ways give the same tree; tests set it to hold them to that.
void SetTwoThreadApplyFrom(int children);

// The one document of a program (the editor or the command-line tool sets it).
CRendaroDoc *theDocument();
void setTheDocument(CRendaroDoc *document);
