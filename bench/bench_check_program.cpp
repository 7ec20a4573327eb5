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

QByteArray entry(const QString &from, const QString &to, int key)
{
    return QStringLiteral("   <L from=\"%1\" to=\"%2\" key=\"IDS_%3\"/>\r\n")
        .arg(from.toHtmlEscaped(), to.toHtmlEscaped())
        .arg(key)
        .toUtf8();
}

// The dialogs' texts (as make_dialogs_dll.sh writes them) with German
// translations, some longer than their controls, then generated strings.
bool writeFile(const QString &path)
{
    QByteArray out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\r\n\r\n<Language "
                     "AllowLength=\"5.000000\" CodeType=\"CPlus2\">\r\n";
    int key = 0;
    for (int d = 1; d <= kDialogs; ++d) {
        const QString n = QString::number(d);
        const QStringList pairs = {
            "Apply " + n, "&Übernehmen " + n, "Cancel", "Abbrechen",
            "Show item " + n, "Element " + n + " &anzeigen", "Enable feature " + n, "Funktion " + n + " &einschalten",
            "Small " + n, "&Klein " + n, "Large " + n, "&Groß " + n, "Group " + n, "Gruppe " + n,
            "This note " + n + " explains what the options of this dialog do.",
            "Dieser Hinweis " + n + " erklärt, was die Optionen dieses Dialogfelds bewirken, ausführlich.",
            "Name " + n + ":", "&Bezeichnung " + n + ":", "Centred " + n, "Zentriert " + n,
            "Apply to all files " + n, "Auf alle Dateien anwenden " + n};
        for (qsizetype i = 0; i + 1 < pairs.size(); i += 2) {
            if (d > 1 && pairs[i] == u"Cancel")
                continue;
            out += entry(pairs[i], pairs[i + 1], ++key);
        }
    }
    for (int i = key; i < kEntries; ++i)
        out += entry(QStringLiteral("Generated string %1").arg(i), QStringLiteral("Erzeugte Zeichenkette %1").arg(i), ++key);
    out += "</Language>\r\n";
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size();
}

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
    if (!writeFile(file)) {
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
