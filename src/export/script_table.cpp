#include "export/script_table.h"

#include "catalogue/safe_file.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

void appendCharRef(QByteArray &out, char32_t codePoint)
{
    static const char hex[] = "0123456789abcdef";
    char buffer[16] = {'&', '#', 'x'};
    char digits[8];
    int n = 0;
    do {
        digits[n++] = hex[codePoint & 0xF];
        codePoint >>= 4;
    } while (codePoint != 0);
    int at = 3;
    for (int pad = n; pad < 4; ++pad)
        buffer[at++] = '0';
    while (n > 0)
        buffer[at++] = digits[--n];
    buffer[at++] = ';';
    out.append(buffer, at);
}

// How a text is written: as it stands, or as the inside of a script string
// literal delimited by apostrophes.
enum class Quoting { None, JavaScript, Php };

// Appends the ASCII form of text (see AsciiWithCharRefs). Runs of plain
// characters are gathered in a small buffer and appended in one go.
//
// Inside a literal nothing may end the string early: an apostrophe is
// written \', and a backslash \\, except where it starts one of the
// line-break escapes \n and \r of the memory form, which are written as
// they stand (JavaScript reads them as line breaks, PHP keeps them as
// typed). JavaScript also takes no raw line break inside a literal, so CR
// and LF become \r and \n there. A text without apostrophes, raw line
// breaks or other backslashes is written exactly as without quoting.
void appendAscii(QByteArray &out, const QString &text, Quoting quoting = Quoting::None)
{
    const qsizetype size = text.size();
    const char16_t *data = reinterpret_cast<const char16_t *>(text.constData());
    char run[256];
    int runLength = 0;
    auto put = [&](char c) {
        run[runLength++] = c;
        if (runLength == int(sizeof run)) {
            out.append(run, runLength);
            runLength = 0;
        }
    };
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = data[i];
        if (c == 0)
            break;
        if (c < 0x7F) {
            if (quoting != Quoting::None) {
                if (c == u'\\') {
                    const bool lineBreakEscape = i + 1 < size && (data[i + 1] == u'n' || data[i + 1] == u'r');
                    put('\\');
                    put(lineBreakEscape ? char(data[++i]) : '\\');
                    continue;
                }
                if (c == u'\'') {
                    put('\\');
                    put('\'');
                    continue;
                }
                if (quoting == Quoting::JavaScript && (c == u'\n' || c == u'\r')) {
                    put('\\');
                    put(c == u'\n' ? 'n' : 'r');
                    continue;
                }
            }
            put(char(c));
            continue;
        }
        if (runLength) {
            out.append(run, runLength);
            runLength = 0;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(data[i + 1])) {
            appendCharRef(out, QChar::surrogateToUcs4(c, data[i + 1]));
            ++i;
        } else if (QChar::isSurrogate(c)) {
            appendCharRef(out, 0xFFFD);  // what UTF-8 conversion makes of a lone half
        } else {
            appendCharRef(out, c);  // DEL (U+007F) included, so the output stays printable
        }
    }
    if (runLength)
        out.append(run, runLength);
}

// A translation as the table shows it: the apostrophe delimits the strings,
// and the entities a translator typed are shown as their characters.
QString tableText(const QString &translation)
{
    if (!translation.contains(u'\'') && !translation.contains(u'&'))
        return translation;
    QString text = translation;
    text.replace(QStringLiteral("'"), QStringLiteral("&#39;"));
    text.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return text;
}

// The distinct keys of the list, numbered 1..n in the order they first
// occur: a flat open-addressing table over the list's own strings (a file
// of a million keys would make a million hash nodes otherwise).
class KeySlots {
public:
    explicit KeySlots(const QStringList &keys) : m_keys(keys)
    {
        size_t capacity = 16;
        while (capacity * 7 < size_t(keys.size()) * 10)  // at most 70 % full
            capacity *= 2;
        m_cells.resize(capacity);
    }

    int count() const { return m_count; }

    // The slot of keys[i], numbered now when the key is new.
    int add(qsizetype i)
    {
        const QString &key = m_keys[i];
        const std::uint32_t hash = HashOriginal(key);
        Cell &cell = probe(key, hash);
        if (cell.index == 0)
            cell = {hash, std::uint32_t(i) + 1, ++m_count};
        return cell.slot;
    }

    // The slot of key, or 0 when the list does not hold it.
    int find(QStringView key) const { return const_cast<KeySlots *>(this)->probe(key, HashOriginal(key)).slot; }

private:
    struct Cell {
        std::uint32_t hash = 0;
        std::uint32_t index = 0;  // place in the list + 1; 0 marks an empty cell
        int slot = 0;
    };

    // The cell holding key, or the empty cell where it would go.
    Cell &probe(QStringView key, std::uint32_t hash)
    {
        const size_t mask = m_cells.size() - 1;
        for (size_t at = hash & mask;; at = (at + 1) & mask) {
            Cell &cell = m_cells[at];
            if (cell.index == 0 || (cell.hash == hash && QStringView(m_keys[cell.index - 1]) == key))
                return cell;
        }
    }

    const QStringList &m_keys;
    std::vector<Cell> m_cells;
    int m_count = 0;
};

} // namespace

QByteArray AsciiWithCharRefs(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    appendAscii(out, text);
    return out;
}

QByteArray ScriptTableBytes(int kind, const EntryMap &entries, const QStringList &keys)
{
    const bool php = kind == ScriptPhp;

    // The table is one row per (key of the list, entry listing that key), keys
    // in list order and entries in map order. Rather than pass over every
    // entry for every key, number the distinct keys of the list (slots 1..n),
    // collect the entries listing each slot in entry order, and then walk the
    // list once. Everything is linear in the sizes of the two lists.
    KeySlots slotOfKey(keys);
    std::vector<int> listSlots(size_t(keys.size()));
    for (qsizetype i = 0; i < keys.size(); ++i)
        listSlots[size_t(i)] = slotOfKey.add(i);
    const int slotCount = slotOfKey.count();

    // (slot, entry) for each entry and each distinct key of it that the list
    // holds; an entry listing a key twice counts once. lastEntry[slot]
    // remembers the last entry that listed a slot, so a repeated key of one
    // entry is dropped without searching its key list. Entries are taken in
    // the table's own numbering, which needs no sorting; only the few slots
    // that several entries list are put in original order below.
    std::vector<std::pair<int, const StringEntry *>> listed;
    listed.reserve(size_t(keys.size()));
    std::vector<const StringEntry *> lastEntry(size_t(slotCount) + 1, nullptr);
    for (size_t number = 0; number < entries.size(); ++number) {
        const StringEntry &entry = entries.byNumber(number);
        for (const QString &key : entry.keys) {
            const int slot = slotOfKey.find(key);
            if (slot == 0 || lastEntry[size_t(slot)] == &entry)
                continue;
            lastEntry[size_t(slot)] = &entry;
            listed.emplace_back(slot, &entry);
        }
    }

    // Counting sort by slot: the entries of slot s are
    // bySlot[slotStart[s] .. slotStart[s + 1]), then in original order.
    std::vector<size_t> slotStart(size_t(slotCount) + 2, 0);
    for (const auto &item : listed)
        ++slotStart[size_t(item.first) + 1];
    for (size_t s = 1; s < slotStart.size(); ++s)
        slotStart[s] += slotStart[s - 1];
    std::vector<const StringEntry *> bySlot(listed.size());
    {
        std::vector<size_t> next(slotStart);
        for (const auto &item : listed)
            bySlot[next[size_t(item.first)]++] = item.second;
    }
    for (size_t slot = 1; slot + 1 < slotStart.size(); ++slot) {
        if (slotStart[slot + 1] - slotStart[slot] > 1) {
            std::sort(bySlot.begin() + qsizetype(slotStart[slot]), bySlot.begin() + qsizetype(slotStart[slot + 1]),
                      [](const StringEntry *a, const StringEntry *b) { return OriginalLess(a->original, b->original); });
        }
    }

    QByteArray out(php ? "<?php\r\n$V=array(\r\n" : "langTrans = {\r\n");
    out.reserve(qsizetype(keys.size()) * 64 + 64);
    const char *middle = php ? "'=>'" : "': '";
    const Quoting quoting = php ? Quoting::Php : Quoting::JavaScript;
    bool first = true;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const size_t slot = size_t(listSlots[size_t(i)]);
        for (size_t at = slotStart[slot]; at < slotStart[slot + 1]; ++at) {
            if (!first)
                out.append(",\r\n", 3);
            first = false;
            out.append('\'');
            appendAscii(out, keys[i], quoting);
            out.append(middle, 4);
            appendAscii(out, tableText(bySlot[at]->translation), quoting);
            out.append('\'');
        }
    }
    out.append(php ? ",\r\n);\r\n?>\r\n" : "\r\n};\r\n");
    return out;
}

bool WriteScriptTable(const QString &path, int kind, const EntryMap &entries, const QStringList &keys,
                      QString *error)
{
    return writeFileAtomically(path, ScriptTableBytes(kind, entries, keys), error);
}
