#pragma once
// The root's children of a language file read without its tree (see
// CatalogueParts::FlatTreeAndEntries). Each is an empty element of one
// entry, held as the entry's number and the order of its attributes: all
// a save needs to write the element as it would write the element of a
// tree. A 300,000-string file then needs a couple of megabytes for its
// elements instead of the tree's fifty.

#include "catalogue/string_entry.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// The attributes an element of an entry may have.
enum class FlatAttribute : std::uint8_t { From = 0, To = 1, Key = 2, IsTrans = 3 };

// The attributes of one element in document order (each at most once).
class FlatShape {
public:
    // False when the attribute is in the shape already.
    bool add(FlatAttribute attribute)
    {
        if (has(attribute))
            return false;
        m_bits = std::uint16_t(m_bits | (unsigned(attribute) << (2 * count() + 3)) | (1u << (11 + unsigned(attribute))));
        m_bits = std::uint16_t((m_bits & ~7u) | unsigned(count() + 1));
        return true;
    }
    int count() const { return m_bits & 7; }
    FlatAttribute at(int i) const { return FlatAttribute((m_bits >> (2 * i + 3)) & 3); }
    bool has(FlatAttribute attribute) const { return m_bits & (1u << (11 + unsigned(attribute))); }
    // The attributes once a save has written the element (see
    // appendFlatElement): an IsTrans only while the entry is not to be
    // translated, a `to` always; what the element lacked comes last.
    FlatShape afterSave(bool translatable) const
    {
        FlatShape saved;
        for (int i = 0; i < count(); ++i) {
            if (at(i) != FlatAttribute::IsTrans || !translatable)
                saved.add(at(i));
        }
        saved.add(FlatAttribute::To);
        if (!translatable)
            saved.add(FlatAttribute::IsTrans);
        return saved;
    }

private:
    // Bits 0-2: the count; 3-10: the attributes, two bits each; 11-14: which
    // attributes are present.
    std::uint16_t m_bits = 0;
};

// The texts of a catalogue read flat, decoded into large blocks instead of
// a heap string each: a string's own allocation costs about as much again
// as an average text of a language file. The strings refer to the blocks
// (QString::fromRawData), so they, and every copy of them, must not outlive
// the blocks; a string that is changed gets a copy of its own first.
class TextBlocks {
public:
    // With hugePages, the blocks after the first are huge pages (where the
    // system gives them on request), which the texts of a large file fill
    // without a fault per page. Left to the heap otherwise, which a command
    // may have made ready for the whole file.
    explicit TextBlocks(bool hugePages = false) : m_hugePages(hugePages) {}
    TextBlocks(const TextBlocks &) = delete;
    TextBlocks &operator=(const TextBlocks &) = delete;
    // The UTF-8 text (well-formed, as an XML parser gives it) as a string
    // in the blocks.
    QString fromUtf8(const char *utf8);
    // The UTF-16 code units the blocks hold (the texts' and their ends').
    std::size_t unitsHeld() const { return m_held; }

private:
    struct FreeBlock {
        void operator()(char16_t *block) const;
    };
    static constexpr std::size_t kBlockUnits = std::size_t(1) << 17;
    static constexpr std::size_t kHugeBlockUnits = std::size_t(1) << 20;
    bool m_hugePages = false;
    std::size_t m_held = 0;
    std::vector<std::unique_ptr<char16_t[], FreeBlock>> m_blocks;
    char16_t *m_next = nullptr;
    std::size_t m_left = 0;
};

// The keys an entry dropped when a later element replaced it, by entry
// number. Few entries have any, and every element asks, so a bit per entry
// answers most of them before the map would hash.
class DisplacedKeys {
public:
    void add(std::uint32_t entry, const QStringList &keys)
    {
        if (entry / 64 >= m_marked.size())
            m_marked.resize(entry / 64 + 1, 0);
        m_marked[entry / 64] |= std::uint64_t(1) << (entry % 64);
        m_keys[entry] += keys;
    }
    // The keys entry dropped, or null.
    const QStringList *find(std::uint32_t entry) const
    {
        if (entry / 64 >= m_marked.size() || !(m_marked[entry / 64] & (std::uint64_t(1) << (entry % 64))))
            return nullptr;
        const auto found = m_keys.find(entry);
        return found == m_keys.end() ? nullptr : &found->second;
    }

private:
    std::vector<std::uint64_t> m_marked;
    std::unordered_map<std::uint32_t, QStringList> m_keys;
};

struct FlatElements {
    QString name;                        // every element's name
    std::vector<std::uint32_t> entries;  // each element's entry number
    std::vector<FlatShape> shapes;       // each element's attributes
    // Each element's key: its place among its entry's keys, or with
    // kLooseKey set, its place in looseKeys (a key its entry does not hold);
    // 0 for an element without one. A later element may replace the entry
    // the keys were collected in: the keys dropped so stay in
    // displacedKeys, and the places count them first, then the entry's own.
    static constexpr std::uint32_t kLooseKey = std::uint32_t(1) << 31;
    std::vector<std::uint32_t> keys;
    // How many entries the read made: entries beyond them (added since)
    // have no element here.
    std::size_t entriesRead = 0;
    DisplacedKeys displacedKeys;
    std::vector<QString> looseKeys;

    // The key of an element of `entry` (whose shape has one).
    const QString &key(std::size_t element, const StringEntry &entry) const
    {
        qsizetype place = keys[element];
        if (keys[element] & kLooseKey)
            return looseKeys[keys[element] & ~kLooseKey];
        if (const QStringList *displaced = displacedKeys.find(entries[element])) {
            if (place < displaced->size())
                return displaced->at(place);
            place -= displaced->size();
        }
        return entry.keys.at(place);
    }

};

// Appends one element as the tree writer writes a child of the root (three
// spaces, the start tag, "/>", CR LF), after a save has put the entry into
// it: its `from` and `to` hold the entry's texts (`to` the original when
// the entry is not to be translated), IsTrans="false" only when it is not;
// the attributes keep their order, and a `to` or IsTrans the element lacks
// comes after them. `key` is the element's own key (when the shape has
// one). `start` is "   <" and the element's name as UTF-8.
void appendFlatElement(std::string &out, const std::string &start, FlatShape shape, const StringEntry &entry,
                       const QString &key);

// Appends the element a save adds for an entry that has none: from, to
// (the entry's translation), its first key, IsTrans="false" when it is not
// to be translated.
void appendNewEntryElement(std::string &out, const std::string &start, const StringEntry &entry);
