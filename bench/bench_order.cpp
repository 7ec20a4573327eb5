// The catalogue order of a large language file: the entry table's ordered
// walk (TextOrder) against a comparison sort of the originals.
//
//   bench_order FILE          (e.g. gen_langfile.py xml 1000000 FILE)

#include "catalogue/document.h"
#include "catalogue/text_order.h"
#include "helpers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_order FILE\n");
        return 2;
    }
    CRendaroDoc document;
    const int id = document.LoadCatalogue(QString::fromLocal8Bit(argv[1]), false);
    if (id < 0) {
        std::fprintf(stderr, "cannot read %s: %s\n", argv[1], qPrintable(document.lastErrorText()));
        return 1;
    }
    const EntryMap &entries = document.findCatalogue(id)->entries;
    std::vector<QStringView> originals;
    for (size_t number = 0; number < entries.size(); ++number)
        originals.emplace_back(entries.byNumber(number).original);

    const double comparison = bestOf(3, [&] {
        std::vector<const StringEntry *> sorted;
        for (size_t number = 0; number < entries.size(); ++number)
            sorted.push_back(&entries.byNumber(number));
        QElapsedTimer timer;
        timer.start();
        std::sort(sorted.begin(), sorted.end(),
                  [](const StringEntry *a, const StringEntry *b) { return OriginalLess(a->original, b->original); });
        return double(timer.nsecsElapsed()) / 1e6;
    });
    std::vector<std::uint32_t> order;
    const double radix = bestOf(3, [&] {
        QElapsedTimer timer;
        timer.start();
        order = TextOrder(originals);
        return double(timer.nsecsElapsed()) / 1e6;
    });
    // The first ordered visit of the table builds its order.
    QElapsedTimer timer;
    timer.start();
    size_t translated = 0;
    for (const auto &[original, entry] : entries)
        translated += entry.translation != original;
    const double walk = double(timer.nsecsElapsed()) / 1e6;
    const bool same = std::equal(order.begin(), order.end(), entries.begin(), entries.end(),
                                 [&](std::uint32_t number, const auto &item) { return &entries.byNumber(number) == &item.second; });
    std::printf("%zu originals: comparison sort %.0f ms, TextOrder %.0f ms, first ordered walk %.0f ms (%zu translated)%s\n",
                entries.size(), comparison, radix, walk, translated, same ? "" : "  ORDERS DIFFER");
    return same ? 0 : 1;
}
