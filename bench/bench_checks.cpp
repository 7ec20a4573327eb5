// The placeholder check on hostile texts, which once took time quadratic in
// their length, and a script table with many keys under one entry.
//
//   bench_checks [LENGTH]   (default 80000)

#include "checks/text_checks.h"
#include "catalogue/catalogue_types.h"
#include "export/script_table.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

double bestOfThree(const std::function<void()> &work)
{
    double best = 1e18;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    const int length = argc > 1 ? std::atoi(argv[1]) : 80000;
    const QString percents(length, u'%');
    const QString manyS = QStringLiteral("%s").repeated(length / 2);
    const QString manyD = QStringLiteral("%d").repeated(length / 2);
    bool ok = true;
    std::printf("text length %d\n", length);
    std::printf("check, %d x \"%%\" against itself:        %8.1f ms\n", length,
                bestOfThree([&] { ok = CheckPlaceholders(percents, percents, CodeTypeCpp).ok && ok; }));
    std::printf("check, %d x \"%%s\" against as many \"%%d\": %8.1f ms\n", length / 2,
                bestOfThree([&] { ok = !CheckPlaceholders(manyS, manyD, CodeTypeCpp).ok && ok; }));
    std::printf("check, %d x \"%%s\" against itself:       %8.1f ms\n", length / 2,
                bestOfThree([&] { ok = CheckPlaceholders(manyS, manyS, CodeTypeCpp).ok && ok; }));

    // One entry listing many keys, all of them in the keys list.
    StringEntry entry;
    entry.original = entry.translation = QStringLiteral("text");
    QStringList keys;
    for (int i = 0; i < length / 2; ++i)
        keys << QStringLiteral("IDS_%1").arg(i);
    entry.keys = keys;
    EntryMap entries;
    entries.emplace(entry.original, entry);
    qsizetype bytes = 0;
    std::printf("script table, one entry with %d keys:   %8.1f ms\n", length / 2,
                bestOfThree([&] { bytes = ScriptTableBytes(ScriptJavaScript, entries, keys).size(); }));
    return ok && bytes > 0 ? 0 : 1;
}
