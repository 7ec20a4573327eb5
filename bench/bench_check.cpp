// rendaro-cli check with every check on a large language file, as a whole
// process, against rendaro-cli resave of the same file (goal: at most
// 1.5 x), and with the save-time errors alone for comparison.
//
//   bench_check FILE [RUNS]    (median of RUNS runs, default 5)
//
// FILE is a language file such as /work/shared/bench/gen_langfile.py makes:
//   gen_langfile.py xml 1000000 /tmp/ViewResDEU.xml

#include "helpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_check FILE [RUNS]\n");
        return 2;
    }
    const QString file = QString::fromLocal8Bit(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const QString cli = QStringLiteral(RENDARO_CLI_PATH);
    QTemporaryDir out;
    std::printf("%s: %.1f MB, median of %d runs\n", argv[1], double(QFileInfo(file).size()) / 1e6, runs);
    const double resave = medianProcessMs(cli, {QStringLiteral("resave"), file, QStringLiteral("-o"), out.filePath("out.xml")}, runs);
    const double check = medianProcessMs(cli, {QStringLiteral("check"), file}, runs, 1);
    const double errors = medianProcessMs(
        cli, {QStringLiteral("check"), file, QStringLiteral("--checks"), QStringLiteral("placeholders,escapes,length,empty")},
        runs, 1);
    const double json = medianProcessMs(cli, {QStringLiteral("check"), file, QStringLiteral("--json")}, runs, 1);
    std::printf("rendaro-cli resave:                 %8.1f ms\n", resave);
    std::printf("rendaro-cli check, every check:     %8.1f ms  (%.2f x resave, goal <= 1.5)\n", check, check / resave);
    std::printf("rendaro-cli check --json:           %8.1f ms  (%.2f x resave)\n", json, json / resave);
    std::printf("rendaro-cli check, the errors only: %8.1f ms  (%.2f x resave)\n", errors, errors / resave);
    return resave > 0 && check > 0 && check <= 1.5 * resave ? 0 : 1;
}
