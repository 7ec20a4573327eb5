#pragma once
// Plain value types of the in-memory catalogue.

#include <QList>
#include <QVarLengthArray>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <algorithm>
#include <cstdint>
#include <cstring>

struct XmlDocument;

// One original text of a language file with its translation.
struct StringEntry {
    QString translation;
    QString original;
    QStringList keys;         // resource keys under which the original occurs
    int translatable = 1;     // 0: marked IsTrans="false", not to be translated
    // The catalogue whose file supplied the entry (one element; inline so
    // that a large catalogue does not pay an allocation per entry).
    QVarLengthArray<int, 1> catalogueIds;
};

// Orders originals by their UTF-16 code units, exactly and case-sensitively.
// Inline, because a large catalogue makes millions of these comparisons.
struct CodeUnitLess {
    bool operator()(const QString &a, const QString &b) const noexcept
    {
        const char16_t *x = reinterpret_cast<const char16_t *>(a.constData());
        const char16_t *y = reinterpret_cast<const char16_t *>(b.constData());
        const size_t n = size_t(std::min(a.size(), b.size()));
        size_t i = 0;
        // Skip the common prefix four code units at a time.
        for (; i + 4 <= n; i += 4) {
            std::uint64_t u, v;
            std::memcpy(&u, x + i, sizeof u);
            std::memcpy(&v, y + i, sizeof v);
            if (u != v)
                break;
        }
        for (; i < n; ++i) {
            if (x[i] != y[i])
                return x[i] < y[i];
        }
        return a.size() < b.size();
    }
};
using EntryMap = std::map<QString, StringEntry, CodeUnitLess>;

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
