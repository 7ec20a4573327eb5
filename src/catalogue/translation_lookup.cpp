#include "catalogue/translation_lookup.h"

#include "catalogue/entry_table.h"
#include "catalogue/file_text.h"
#include "catalogue/hash_slots.h"
#include "catalogue/xml_parser.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <cstring>

namespace {

// What reading one file needs besides the lookup: a decoder of its own (so
// files can be read on several threads), taking every text as a whole, as
// QString::fromUtf8 takes it (a byte order mark at its start dropped).
struct LookupReading {
    TranslationLookup *lookup;
    QStringDecoder decoder{QStringDecoder::Utf8, QStringDecoder::Flag::Stateless};
};

} // namespace

// A start tag of the file: the element's real translation, if it has one.
// The two texts are decoded and unescaped straight into the buffer of texts,
// so an element makes no string of its own.
void TranslationLookup::readElement(void *context, const char *name, const char **attributes)
{
    if (std::strcmp(name, "Language") == 0)
        return;  // the settings element holds no string
    const char *from = nullptr, *to = nullptr;
    for (const char **a = attributes; a[0]; a += 2) {
        if (std::strcmp(a[0], "from") == 0)
            from = a[1];
        else if (std::strcmp(a[0], "to") == 0)
            to = a[1];
    }
    // No original, no `to` (the translation is then the original), an
    // empty one, or the very bytes of `from`: no real translation.
    if (!from || !to || !*from || !*to || std::strcmp(from, to) == 0)
        return;
    auto &reading = *static_cast<LookupReading *>(context);
    TranslationLookup &lookup = *reading.lookup;
    std::vector<char16_t> &texts = lookup.m_texts;
    const size_t start = texts.size();
    const QByteArrayView fromBytes(from), toBytes(to);
    texts.resize(start + size_t(fromBytes.size() + toBytes.size()));  // a byte gives at most one unit
    char16_t *const original = texts.data() + start;
    qsizetype originalSize =
        reading.decoder.appendToBuffer(reinterpret_cast<QChar *>(original), fromBytes) - reinterpret_cast<QChar *>(original);
    originalSize = UnescapeFromFileInPlace(original, originalSize);
    char16_t *const translation = original + originalSize;
    qsizetype translationSize = reading.decoder.appendToBuffer(reinterpret_cast<QChar *>(translation), toBytes)
                                - reinterpret_cast<QChar *>(translation);
    translationSize = UnescapeFromFileInPlace(translation, translationSize);
    texts.resize(start + size_t(originalSize + translationSize));
    // A text can still come out empty (a byte order mark alone).
    if (originalSize == 0 || translationSize == 0
        || QStringView(original, originalSize) == QStringView(translation, translationSize))
        texts.resize(start);  // no real translation after all
    else
        lookup.index(start, size_t(originalSize), size_t(translationSize));
}

bool TranslationLookup::read(const QString &path, QString *errorText)
{
    clear();
    // Sized once for what a file of this size holds (a line of a language
    // file is about a hundred bytes, its two texts about half of it).
    const qint64 bytes = std::min<qint64>(QFileInfo(path).size(), qint64(1) << 32);
    m_texts.reserve(size_t(bytes / 2));
    m_records.reserve(size_t(bytes / 100));
    QString reason;
    LookupReading reading{this};
    if (!xml_scan_file(path, &reason, &TranslationLookup::readElement, &reading)) {
        clear();
        if (errorText)
            *errorText = reason;
        return false;
    }
    return true;
}

void TranslationLookup::clear()
{
    m_texts.clear();
    m_records.clear();
    std::fill(m_index.begin(), m_index.end(), Slot());
}

void TranslationLookup::growIndex()
{
    if ((m_records.size() + 1) * 10 <= m_index.size() * 7)
        return;
    RehashSlots<Slot, &Slot::record>(m_index, std::max<size_t>(64, m_index.size() * 2));
}

bool TranslationLookup::add(QStringView original, QStringView translation)
{
    const size_t start = m_texts.size();
    m_texts.insert(m_texts.end(), reinterpret_cast<const char16_t *>(original.data()),
                   reinterpret_cast<const char16_t *>(original.data()) + original.size());
    m_texts.insert(m_texts.end(), reinterpret_cast<const char16_t *>(translation.data()),
                   reinterpret_cast<const char16_t *>(translation.data()) + translation.size());
    return index(start, size_t(original.size()), size_t(translation.size()));
}

bool TranslationLookup::index(size_t start, size_t originalSize, size_t translationSize)
{
    growIndex();
    const QStringView original(m_texts.data() + start, qsizetype(originalSize));
    const std::uint32_t hash = HashOriginal(original);
    const size_t mask = m_index.size() - 1;
    size_t at = hash & mask;
    for (; m_index[at].record != 0; at = (at + 1) & mask) {
        if (m_index[at].hash == hash && originalOf(m_records[m_index[at].record - 1]) == original) {
            m_texts.resize(start);
            return false;
        }
    }
    m_records.push_back({start, originalSize, start + originalSize, translationSize});
    m_index[at] = {hash, std::uint32_t(m_records.size())};
    return true;
}

QStringView TranslationLookup::find(QStringView original) const
{
    QStringView found;
    findMany(&original, 1, &found);
    return found;
}

void TranslationLookup::findMany(const QStringView *originals, size_t count, QStringView *found) const
{
    if (m_records.empty()) {
        std::fill(found, found + count, QStringView());
        return;
    }
    // In groups: hash every original and prefetch its home slot, then the
    // text of the first record of that hash, then compare (going on along
    // the probe sequence where two texts share a hash).
    constexpr size_t kGroup = 16;
    const size_t mask = m_index.size() - 1;
    for (size_t first = 0; first < count; first += kGroup) {
        const size_t n = std::min(kGroup, count - first);
        std::uint32_t hashes[kGroup];
        for (size_t i = 0; i < n; ++i) {
            hashes[i] = HashOriginal(originals[first + i]);
            __builtin_prefetch(&m_index[hashes[i] & mask]);
        }
        size_t starts[kGroup];
        for (size_t i = 0; i < n; ++i) {
            size_t at = hashes[i] & mask;
            while (m_index[at].record != 0 && m_index[at].hash != hashes[i])
                at = (at + 1) & mask;
            starts[i] = at;
            if (m_index[at].record != 0)
                __builtin_prefetch(m_texts.data() + m_records[m_index[at].record - 1].original);
        }
        for (size_t i = 0; i < n; ++i) {
            QStringView result;
            for (size_t at = starts[i]; m_index[at].record != 0; at = (at + 1) & mask) {
                const Record &record = m_records[m_index[at].record - 1];
                if (m_index[at].hash == hashes[i] && originalOf(record) == originals[first + i]) {
                    result = translationOf(record);
                    break;
                }
            }
            found[first + i] = result;
        }
    }
}
