// Fuzz target: arbitrary bytes as a language file. Loading, saving and
// reloading must never crash, what a save writes must load again, and it
// must load as the same catalogue: the same originals with the same
// translations and marks, the same keys list, AllowLength and CodeType.
//
// Left out of that comparison, because the file format reads them
// differently on purpose:
// - entity text inside a value: a text holding "&lt;", "&gt;", "&quot;" or
//   "&amp;" as characters is written escaped once and read back unescaped
//   twice, so it returns as "<" and the like;
// - line breaks and their backslash escapes: a raw CR or LF in a value (from
//   a character reference) is written as "/r" or "/n" and read back as the
//   two-character escape "\r" or "\n".
//   Both are exactly the texts that UnescapeFromFile(EscapeForFile(text))
//   changes; a file holding any such text is only loaded again.
// - the translation of a string marked not to be translated, which is saved
//   as its original;
// - AllowLength, which is written with six decimals: the ratio read back is
//   the first one after that rounding;
// - the key list of an entry whose original occurs more than once: the save
//   gives every element of that original the winning translation, which can
//   change which element wins on the next load, and with it whose keys the
//   entry keeps.

#include "catalogue/document.h"
#include "catalogue/file_text.h"
#include "catalogue/xml_tree.h"

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what, const QString &detail = QString())
{
    std::fprintf(stderr, "round trip changed %s %s\n", what, qUtf8Printable(detail));
    std::abort();
}

bool readsBackTheSame(const QString &text) { return UnescapeFromFile(EscapeForFile(text)) == text; }

// Elements that carry an original; more than the entries when one repeats.
size_t countOriginals(const XmlElement *element)
{
    size_t count = 0;
    for (; element; element = element->nextSibling) {
        if (element->name != u"Language" && !xml_element_attribute_text(element, QStringLiteral("from")).isEmpty())
            ++count;
        count += countOriginals(element->firstChild);
    }
    return count;
}

void compareCatalogues(const CXMLStruct &first, const CXMLStruct &again, bool compareEntryKeys)
{
    if (first.keys != again.keys)
        fail("the keys list");
    if (first.codeType != again.codeType)
        fail("CodeType");
    const float ratio = ParseLengthRatio(FormatLengthRatio(first.lengthRatio));
    if (!(ratio == again.lengthRatio || (std::isnan(ratio) && std::isnan(again.lengthRatio))))
        fail("AllowLength", FormatLengthRatio(first.lengthRatio));
    if (first.entries.size() != again.entries.size())
        fail("the number of entries");
    for (const auto &[original, entry] : first.entries) {
        const auto found = again.entries.find(original);
        if (found == again.entries.end())
            fail("the originals, losing", original);
        const StringEntry &reread = found->second;
        // A string not to be translated is saved with its original as translation.
        if (reread.translation != (entry.translatable ? entry.translation : original))
            fail("the translation of", original);
        if (reread.translatable != entry.translatable)
            fail("the mark of", original);
        if (compareEntryKeys && reread.keys != entry.keys)
            fail("the keys of", original);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    static QTemporaryDir folder;
    const QString in = folder.filePath(QStringLiteral("in.xml"));
    const QString out = folder.filePath(QStringLiteral("out.xml"));
    {
        QFile file(in);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    CRendaroDoc document;
    const int id = document.LoadCatalogue(in, true);
    if (id < 0)
        return 0;
    const CXMLStruct &first = *document.findCatalogue(id);
    const bool originalsRepeat = countOriginals(first.tree ? first.tree->root : nullptr) != first.entries.size();
    bool stable = true;
    for (const auto &[original, entry] : first.entries)
        stable = stable && readsBackTheSame(original) && readsBackTheSame(entry.translation);
    if (!document.SaveCatalogue(id, out, true))
        std::abort();  // a writable temporary folder must take the save
    CRendaroDoc again;
    const int againId = again.LoadCatalogue(out, false);
    if (againId < 0)
        std::abort();  // a saved file must always be readable
    if (stable)
        compareCatalogues(*document.findCatalogue(id), *again.findCatalogue(againId), !originalsRepeat);
    return 0;
}
