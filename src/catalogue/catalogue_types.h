#pragma once
// Plain value types of the in-memory catalogue.

#include "catalogue/entry_table.h"
#include "catalogue/flat_elements.h"
#include "catalogue/string_entry.h"

#include <QString>
#include <QStringList>
#include <memory>

struct XmlDocument;

// Releases a tree with xml_document_free when the last catalogue sharing it goes.
struct XmlDocumentDeleter {
    void operator()(XmlDocument *document) const;
};
using XmlDocumentPtr = std::shared_ptr<XmlDocument>;
XmlDocumentPtr makeDocumentPtr(XmlDocument *document);

enum CodeType { CodeTypeCpp = 0, CodeTypeQt = 1 };

// One loaded language file. Copies share the element tree; moving one is
// cheap and keeps the addresses of its entries.
struct CXMLStruct {
    XmlDocumentPtr tree;       // the file's tree, rewritten in place on save
    // The root's children, when the file was read without them (the tree
    // then holds the root alone; see CatalogueParts::FlatTreeAndEntries).
    std::shared_ptr<FlatElements> flat;
    // The blocks the entries' texts live in, when read flat (see TextBlocks):
    // kept as long as the entries, whatever becomes of the elements.
    std::shared_ptr<const TextBlocks> texts;
    EntryMap entries;
    QStringList keys;          // every key attribute met while reading, file order
    QString filePath;
    int catalogueId = -1;
    float lengthRatio = 2.0f;  // AllowLength
    int codeType = CodeTypeCpp;
};
