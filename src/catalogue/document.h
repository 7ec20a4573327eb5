#pragma once
// The document: the list of loaded catalogues (index 0 is the master catalogue
// that language-folder mode merges into) and which one is shown. All catalogue
// operations of the program are members; none of them shows a message.

#include "catalogue/catalogue_types.h"

#include <vector>

class ProgressReporter;
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
    int RebuildEntries(int index);

    // --- language files ----------------------------------------------------
    int LoadCatalogue(const QString &path, bool mergeIntoMaster);
    bool SaveCatalogue(int catalogueId, const QString &path, bool keepTree);
    void ReadEntries(int index, const XmlElement *element, bool mergeIntoMaster, bool readCodeType);

    // --- whole-catalogue operations ----------------------------------------
    void SelectCatalogue(int catalogueId);
    int CloseCatalogue(int catalogueId);
    bool SaveAllCatalogues(ProgressReporter *progress);
    bool ApplyTranslationsToFile(const QString &targetPath, int sourceId);
    void MergeElement(XmlElement *target, const XmlElement *source, XmlDocument *targetDocument);
    // Returns 1 (0 when the file cannot be read); *substituted counts the
    // translations taken over.
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
    // Why the last LoadCatalogue failed (for messages), empty after success.
    QString lastErrorText() const { return m_lastErrorText; }

private:
    int appendCatalogue(const QString &path, XmlDocumentPtr tree);
    void removeCatalogueAt(int index);
    // Entries found in the tree while saving, kept sorted for lookup.
    using WrittenSet = std::vector<const StringEntry *>;
    // Writes entry values into the tree. `decide` says which elements are
    // touched, `values` gives their translation and translatable state;
    // `written` collects the entries of `values` found (may be null).
    void ApplyEntriesToTree(XmlElement *element, const CXMLStruct &catalogue, const EntryMap &decide,
                            const EntryMap &values, WrittenSet *written);
    void AppendMissingEntries(CXMLStruct &catalogue, const WrittenSet &written, bool onlyUntranslated);

    std::vector<CXMLStruct> m_catalogues;
    int m_currentIndex = -1;
    int m_nextCatalogueId = 1;
    QString m_lastErrorText;
};

// The one document of a program (the editor or the command-line tool sets it).
CRendaroDoc *theDocument();
void setTheDocument(CRendaroDoc *document);
