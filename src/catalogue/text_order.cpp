#include "catalogue/text_order.h"

#include <algorithm>
#include <utility>

namespace {

struct Record {
    std::uint64_t high, low;  // eight code units from the current depth, first unit highest
    const char16_t *text;
    std::uint32_t size;
    std::uint32_t index;
};

// Four code units of a text from `from` on, packed so that comparing packs
// as numbers compares the units in order; a unit past the end counts as 0
// (the run's length decides between a text and its extension by zeros).
inline std::uint64_t packFour(const char16_t *text, size_t size, size_t from)
{
    std::uint64_t pack = 0;
    if (from + 4 <= size) {
        for (size_t i = from; i < from + 4; ++i)
            pack = (pack << 16) | text[i];
        return pack;
    }
    for (size_t i = from; i < from + 4; ++i)
        pack = (pack << 16) | (i < size ? text[i] : 0u);
    return pack;
}

inline void fill(Record &record, size_t depth)
{
    record.high = packFour(record.text, record.size, depth);
    record.low = packFour(record.text, record.size, depth + 4);
}

inline bool sameUnits(const Record &a, const Record &b) { return a.high == b.high && a.low == b.low; }

// Whether a's text orders before b's, both known to agree before `depth`;
// equal texts by their index.
bool lessFrom(const Record &a, const Record &b, size_t depth)
{
    const size_t common = std::min(a.size, b.size);
    for (size_t i = depth; i < common; ++i) {
        if (a.text[i] != b.text[i])
            return a.text[i] < b.text[i];
    }
    if (a.size != b.size)
        return a.size < b.size;
    return a.index < b.index;
}

// Runs this short are sorted by comparing texts: fetching the next units
// for every record would cost more than it saves.
constexpr size_t kShortRun = 16;

struct Segment {
    Record *first;
    Record *last;
    size_t depth;  // every text of the segment agrees on its units before this
};

void sortSegments(std::vector<Segment> &pending)
{
    while (!pending.empty()) {
        const Segment segment = pending.back();
        pending.pop_back();
        Record *const first = segment.first, *const last = segment.last;
        const size_t depth = segment.depth;
        if (size_t(last - first) <= kShortRun) {
            std::sort(first, last, [depth](const Record &a, const Record &b) { return lessFrom(a, b, depth); });
            continue;
        }
        for (Record *r = first; r != last; ++r)
            fill(*r, depth);
        std::sort(first, last, [](const Record &a, const Record &b) {
            return a.high != b.high ? a.high < b.high : a.low < b.low;
        });
        // Runs of equal units: texts that end within these units go first,
        // shortest first (each is a prefix of the longer ones, which only
        // add zeros here); the others go on at the next depth.
        const size_t next = depth + 8;
        for (Record *run = first; run != last;) {
            Record *end = run + 1;
            while (end != last && sameUnits(*run, *end))
                ++end;
            if (end - run > 1) {
                Record *rest = std::partition(run, end, [next](const Record &r) { return r.size <= next; });
                std::sort(run, rest, [](const Record &a, const Record &b) {
                    return a.size != b.size ? a.size < b.size : a.index < b.index;
                });
                if (end - rest > 1)
                    pending.push_back({rest, end, next});
            }
            run = end;
        }
    }
}

} // namespace

std::vector<std::uint32_t> TextOrder(const std::vector<QStringView> &texts)
{
    std::vector<Record> records(texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        records[i].text = reinterpret_cast<const char16_t *>(texts[i].data());
        records[i].size = std::uint32_t(texts[i].size());
        records[i].index = std::uint32_t(i);
    }
    std::vector<Segment> pending;
    pending.push_back({records.data(), records.data() + records.size(), 0});
    sortSegments(pending);
    std::vector<std::uint32_t> order(records.size());
    for (size_t i = 0; i < records.size(); ++i)
        order[i] = records[i].index;
    return order;
}
