#pragma once
// Plain value types of the in-memory catalogue.

#include <QList>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>

struct XmlDocument;

// One original text of a language file with its translation.
struct StringEntry {
    QString translation;
    QString original;
    QStringList keys;         // resource keys under which the original occurs
    int translatable = 1;     // 0: marked IsTrans="false", not to be translated
    QList<int> catalogueIds;  // the catalogue whose file supplied the entry
};

// Entries ordered by original, comparing UTF-16 code units exactly.
using EntryMap = std::map<QString, StringEntry>;

// Releases a tree with xml_document_free when the last catalogue sharing it goes.
struct XmlDocumentDeleter {
    void operator()(XmlDocument *document) const;
};
using XmlDocumentPtr = std::shared_ptr<XmlDocument>;
XmlDocumentPtr makeDocumentPtr(XmlDocument *document);

enum CodeType { CodeTypeCpp = 0, CodeTypeQt = 1 };

// One loaded language file. Copies share the element tree.
struct CXMLStruct {
    virtual ~CXMLStruct() = default;

    XmlDocumentPtr tree;       // the file's tree, rewritten in place on save
    EntryMap entries;
    QStringList keys;          // every key attribute met while reading, file order
    QString filePath;
    int catalogueId = -1;
    float lengthRatio = 2.0f;  // AllowLength
    int codeType = CodeTypeCpp;
};
