#pragma once
// A language file's bytes as the merge sees them: its text as UTF-8
// (whatever the file's encoding), cut into the part before the root
// element, the root's start tag, the <L> elements, each with what stands
// before it (white space, comments, other elements), the rest of the root's
// content, its end tag and what follows. Every byte of the file belongs to
// exactly one part, so a file put together from its parts is the file.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <memory>
#include <vector>

// The encodings expat reads without help, as a file spells them.
enum class TextEncoding { Utf8, Utf16LE, Utf16BE, Latin1, Ascii };

struct FileEncoding {
    TextEncoding encoding = TextEncoding::Utf8;
    bool byteOrderMark = false;
    friend bool operator==(const FileEncoding &, const FileEncoding &) = default;
};

// The file's text as UTF-8 without a byte-order mark; false with the reason
// when the encoding is not one of the above or the bytes do not decode to
// exactly themselves again.
bool DecodeFileText(const QByteArray &bytes, QByteArray *utf8, FileEncoding *encoding, QString *reason);
// UTF-8 text in the file's encoding (with its byte-order mark); characters
// the encoding lacks are written as character references, which the markup
// allows in attribute values and text, where such characters occur.
QByteArray EncodeFileText(const QByteArray &utf8, const FileEncoding &encoding);

struct Span {
    qsizetype begin = 0;
    qsizetype end = 0;
    qsizetype size() const { return end - begin; }
};

// An attribute as a reader gives it (references decoded), UTF-8. The
// views point into the layout that holds the attribute.
struct LayoutAttribute {
    QByteArrayView name;
    QByteArrayView value;
};

// An element's attributes in file order.
class LayoutAttributes {
public:
    LayoutAttributes() = default;
    LayoutAttributes(const LayoutAttribute *first, std::size_t count) : m_first(first), m_count(count) {}
    const LayoutAttribute *begin() const { return m_first; }
    const LayoutAttribute *end() const { return m_first + m_count; }
    std::size_t size() const { return m_count; }
    const LayoutAttribute &operator[](std::size_t i) const { return m_first[i]; }

private:
    const LayoutAttribute *m_first = nullptr;
    std::size_t m_count = 0;
};

// The value of the named attribute, or null when the element has none.
const QByteArrayView *FindAttribute(const LayoutAttributes &attributes, QByteArrayView name);

struct LayoutElement {
    Span lead;                // after the previous element (or the root's start tag)
    Span element;             // start tag to end tag
    qsizetype startTagEnd = 0;
    LayoutAttributes attributes;
};

// A file read: it holds the text and the attributes' values its parts name,
// so it is moved, never copied.
struct LanguageFileLayout {
    LanguageFileLayout() = default;
    LanguageFileLayout(const LanguageFileLayout &) = delete;
    LanguageFileLayout &operator=(const LanguageFileLayout &) = delete;
    LanguageFileLayout(LanguageFileLayout &&) = default;
    LanguageFileLayout &operator=(LanguageFileLayout &&) = default;

    FileEncoding encoding;
    QByteArray text;          // UTF-8
    QByteArray lineEnd;       // the file's first line end, "\r\n" or "\n" (LF when it has none)
    Span prolog;              // before the root element
    Span rootStart;           // the root's start tag
    LayoutAttributes rootAttributes;
    bool rootIsEmpty = false;  // <Language .../>: no content, no end tag
    std::vector<LayoutElement> elements;
    Span contentTail;         // after the last element, before the root's end tag
    Span rootEnd;             // the root's end tag
    Span epilogue;            // after the root element

    QByteArrayView view(const Span &span) const { return QByteArrayView(text).sliced(span.begin, span.size()); }

    // Where the attributes and their values live: blocks that never move.
    std::vector<LayoutAttribute> attributeStore;
    std::vector<std::unique_ptr<char[]>> valueBlocks;
    std::size_t valueBlockUsed = 0, valueBlockSize = 0;
};

// Reads bytes as a language file: well-formed XML in one of the encodings
// above whose root is <Language>, without a DOCTYPE. False with the reason
// when they are not one. Without `attributes`, the elements' attributes are
// not kept (a check that a file is one, and of its elements).
bool ReadLanguageFileLayout(const QByteArray &bytes, LanguageFileLayout *layout, QString *reason,
                            bool attributes = true);

// Where the attributes of a start tag stand in it (offsets into the tag).
struct TagAttribute {
    qsizetype spaceBegin;  // the white space before the name
    qsizetype nameBegin;
    qsizetype nameEnd;
    qsizetype valueBegin;  // the opening quote
    qsizetype valueEnd;    // after the closing quote
};
struct TagShape {
    qsizetype nameEnd = 0;  // after the element's name
    std::vector<TagAttribute> attributes;
    qsizetype closeBegin = 0;  // the closing "/>" or ">"
    bool selfClosing = false;
};
// The shape of a well-formed start tag.
TagShape ShapeOfTag(QByteArrayView tag);
