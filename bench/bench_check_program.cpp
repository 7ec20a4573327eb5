// rendaro-cli check --program on a 100,000-entry language file whose
// strings include every text of a DLL with 500 dialogs, as a whole process
// (goal: within 2 s), against check without the program.
//
//   make_dialogs_dll.sh /tmp/dialogs.dll /tmp/dialogs.h
//   bench_check_program /tmp/dialogs.dll /tmp/dialogs.h [RUNS]   (median of RUNS, default 5)

#include "helpers.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kEntries = 100000, kDialogs = 500;

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_check_program DLL HEADER [RUNS]\n");
        return 2;
    }
    const QString dll = QString::fromLocal8Bit(argv[1]), header = QString::fromLocal8Bit(argv[2]);
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("BenchDEU.xml"));
    if (!WriteDialogsLanguageFile(file, kEntries)) {
        std::fprintf(stderr, "can not write %s\n", qPrintable(file));
        return 1;
    }
    const QString cli = QStringLiteral(RENDARO_CLI_PATH);
    const QStringList withProgram = {QStringLiteral("check"), file, QStringLiteral("--program"), dll,
                                     QStringLiteral("--header"), header};
    const ProcessRun once = runProcess(QStringList{cli} + withProgram);
    const qsizetype fits = once.output.count("[fit]"), clashes = once.output.count("[accelerator-clash]");
    const double plain = medianProcessMs(cli, {QStringLiteral("check"), file}, runs, 1);
    const double program = medianProcessMs(cli, withProgram, runs, 1);
    std::printf("%d entries, %d dialogs, median of %d runs (%lld fit, %lld accelerator-clash warnings)\n", kEntries,
                kDialogs, runs, static_cast<long long>(fits), static_cast<long long>(clashes));
    std::printf("rendaro-cli check:                    %8.1f ms\n", plain);
    std::printf("rendaro-cli check --program --header: %8.1f ms  (goal <= 2000)\n", program);
    return program > 0 && program <= 2000 && fits > 0 ? 0 : 1;
}
