#include "catalogue/flat_elements.h"

#include "catalogue/xml_escape.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

// Decodes UTF-8 as an XML parser hands it over (well-formed) into out, which
// has room for one code unit per byte; returns the end. A sequence cut
// short or a stray byte becomes U+FFFD, as QString::fromUtf8 makes it.
char16_t *decodeUtf8(const unsigned char *in, const unsigned char *end, char16_t *out)
{
    while (in < end) {
        const unsigned c = *in;
        if (c < 0x80) {
            *out++ = char16_t(c);
            ++in;
            continue;
        }
        const int length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
        bool whole = length > 0 && end - in >= length;
        for (int i = 1; whole && i < length; ++i)
            whole = (in[i] & 0xC0) == 0x80;
        if (!whole) {
            *out++ = u'\uFFFD';
            ++in;
            continue;
        }
        char32_t code = c & (0x7F >> length);
        for (int i = 1; i < length; ++i)
            code = (code << 6) | (in[i] & 0x3F);
        in += length;
        if (code >= 0x10000) {
            code -= 0x10000;
            *out++ = char16_t(0xD800 + (code >> 10));
            *out++ = char16_t(0xDC00 + (code & 0x3FF));
        } else {
            *out++ = char16_t(code);
        }
    }
    return out;
}

constexpr std::size_t kTextBlockPage = std::size_t(2) << 20;

// Room for `units` code units; with `huge`, in huge pages (when the system
// gives them on request), so that filling it faults once a huge page.
char16_t *allocateBlock(std::size_t units, bool huge)
{
    const std::size_t bytes = units * sizeof(char16_t);
    if (!huge) {
        if (void *block = std::malloc(bytes))
            return static_cast<char16_t *>(block);
        throw std::bad_alloc();
    }
    const std::size_t rounded = (bytes + kTextBlockPage - 1) & ~(kTextBlockPage - 1);
    void *block = std::aligned_alloc(kTextBlockPage, rounded);
    if (!block)
        throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    madvise(block, rounded, MADV_HUGEPAGE);  // advice only
#endif
    return static_cast<char16_t *>(block);
}

} // namespace

void TextBlocks::FreeBlock::operator()(char16_t *block) const { std::free(block); }

QString TextBlocks::fromUtf8(const char *utf8)
{
    const std::size_t length = std::strlen(utf8);
    if (length == 0 || std::strcmp(utf8, "\xEF\xBB\xBF") == 0)
        return QString(QLatin1StringView(""));  // empty, not null, as a decoded value is
    // UTF-8 never takes fewer bytes than UTF-16 code units.
    if (length + 1 > m_left) {
        const bool huge = m_hugePages && !m_blocks.empty();
        const std::size_t units = std::max(huge ? kHugeBlockUnits : kBlockUnits, length + 1);
        m_blocks.emplace_back(allocateBlock(units, huge));
        m_next = m_blocks.back().get();
        m_left = units;
    }
    const auto *bytes = reinterpret_cast<const unsigned char *>(utf8);
    // A byte order mark that starts a value is dropped, as QString::fromUtf8
    // drops it (and every other read of the file does).
    const std::size_t skip = length >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF ? 3 : 0;
    char16_t *start = m_next;
    const std::size_t used = std::size_t(decodeUtf8(bytes + skip, bytes + length, start) - start);
    m_next[used] = u'\0';  // as a heap string is, for callers of utf16()
    m_next += used + 1;
    m_left -= used + 1;
    m_held += used + 1;
    return QString::fromRawData(reinterpret_cast<const QChar *>(start), qsizetype(used));
}

void appendFlatElement(std::string &out, const std::string &start, FlatShape shape, const StringEntry &entry,
                       const QString &key)
{
    const QString &to = entry.translatable ? entry.translation : entry.original;
    out.append(start);
    for (int i = 0; i < shape.count(); ++i) {
        switch (shape.at(i)) {
        case FlatAttribute::From:
            out.append(" from=\"");
            appendCatalogueText(out, entry.original);
            out.push_back('"');
            break;
        case FlatAttribute::To:
            out.append(" to=\"");
            appendCatalogueText(out, to);
            out.push_back('"');
            break;
        case FlatAttribute::Key:
            out.append(" key=\"");
            appendEscapedPlain(out, key, true);
            out.push_back('"');
            break;
        case FlatAttribute::IsTrans:
            if (!entry.translatable)
                out.append(" IsTrans=\"false\"");
            break;
        }
    }
    if (!shape.has(FlatAttribute::To)) {
        out.append(" to=\"");
        appendCatalogueText(out, to);
        out.push_back('"');
    }
    if (!entry.translatable && !shape.has(FlatAttribute::IsTrans))
        out.append(" IsTrans=\"false\"");
    out.append("/>\r\n");
}

void appendNewEntryElement(std::string &out, const std::string &start, const StringEntry &entry)
{
    out.append(start);
    out.append(" from=\"");
    appendCatalogueText(out, entry.original);
    out.append("\" to=\"");
    appendCatalogueText(out, entry.translation);
    out.push_back('"');
    if (!entry.keys.isEmpty()) {
        out.append(" key=\"");
        appendEscapedPlain(out, entry.keys.first(), true);
        out.push_back('"');
    }
    if (!entry.translatable)
        out.append(" IsTrans=\"false\"");
    out.append("/>\r\n");
}
