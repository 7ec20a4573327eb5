// A 10,000-entry glossary against a 100,000-entry German language file:
// rendaro-cli check --glossary as a whole process (goal: under 1 s), with
// plain check for comparison, and the terms of one row found in-process
// (goal: under 1 ms a row).
//
//   bench_glossary [RUNS]    (median of RUNS runs, default 5)

#include "generate_language_file.h"
#include "glossary/glossary_files.h"
#include "glossary/term_matcher.h"
#include "helpers.h"

#include "catalogue/catalogue_reading.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <random>

namespace {

// The generator's words as terms (one-, two- and three-word terms of them),
// and the rest made-up words, so that most words of the file hit the index
// and most of the glossary never occurs.
Glossary makeGlossary(int entries)
{
    const char *const words[] = {"Open", "Save", "file", "folder", "settings", "Cancel", "device", "network",
                                 "password", "update", "Delete", "selected", "items", "recording", "camera",
                                 "schedule", "Warning", "connection", "failed"};
    const char *const targets[] = {"Öffnen", "Speichern", "Datei", "Ordner", "Einstellungen", "Abbrechen",
                                   "Gerät", "Netzwerk", "Kennwort", "Aktualisierung", "Löschen", "ausgewählte",
                                   "Elemente", "Aufnahme", "Kamera", "Zeitplan", "Warnung", "Verbindung",
                                   "fehlgeschlagen"};
    const int count = int(std::size(words));
    Glossary glossary;
    glossary.language = QStringLiteral("de");
    std::mt19937 random(7);
    auto add = [&](QString source, QString target, TermStatus status = TermStatus::Preferred) {
        GlossaryEntry entry;
        entry.source = std::move(source);
        entry.targets = {std::move(target)};
        entry.status = status;
        glossary.entries.push_back(std::move(entry));
    };
    for (int i = 0; i < count; ++i)
        add(QString::fromUtf8(words[i]).toLower(), QString::fromUtf8(targets[i]));
    for (int i = 0; i < count; ++i)
        for (int j = 0; j < count && int(glossary.entries.size()) < 400; ++j)
            add(QString::fromUtf8(words[i]).toLower() + u' ' + QString::fromUtf8(words[j]).toLower(),
                QString::fromUtf8(targets[i]) + u' ' + QString::fromUtf8(targets[j]));
    add(QStringLiteral("file"), QStringLiteral("File"), TermStatus::Forbidden);
    while (int(glossary.entries.size()) < entries) {
        const int n = int(glossary.entries.size());
        QString word = QStringLiteral("term%1x").arg(n);
        if (random() % 3 == 0)
            word += QStringLiteral(" part%1").arg(random() % 1000);
        add(word, QStringLiteral("Begriff%1").arg(n));
    }
    return glossary;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QTemporaryDir folder;
    folder.setAutoRemove(qEnvironmentVariableIsEmpty("BENCH_KEEP"));
    const QString file = folder.filePath(QStringLiteral("ViewResDEU.xml"));
    const QString glossaryPath = folder.filePath(QStringLiteral("terms.csv"));
    if (!generateLanguageFile(file, 100000)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return 1;
    }
    const Glossary glossary = makeGlossary(10000);
    QString error;
    if (!WriteGlossaryFile(glossaryPath, glossary, &error)) {
        std::fprintf(stderr, "cannot write the glossary: %s\n", qPrintable(error));
        return 1;
    }
    const QString cli = QStringLiteral(RENDARO_CLI_PATH);
    if (!folder.autoRemove())
        std::printf("files kept in %s\n", qPrintable(folder.path()));
    const double plain = medianProcessMs(cli, {QStringLiteral("check"), file}, runs, 1);
    const double withGlossary =
        medianProcessMs(cli, {QStringLiteral("check"), file, QStringLiteral("--glossary"), glossaryPath}, runs, 1);

    // The terms of each row, in-process, after the index is built.
    ReadCatalogue read = ReadCatalogueFile(file, CatalogueParts::Entries, 0);
    WordStems english(QStringLiteral("en_US"));
    QElapsedTimer timer;
    timer.start();
    const TermIndex index(glossary, english);
    const double indexMs = double(timer.nsecsElapsed()) / 1e6;
    qint64 slowest = 0, total = 0, found = 0;
    for (size_t i = 0; i < read.catalogue.entries.size(); ++i) {
        timer.restart();
        found += qint64(index.find(read.catalogue.entries.byNumber(i).original, english).size());
        const qint64 ns = timer.nsecsElapsed();
        total += ns;
        slowest = std::max(slowest, ns);
    }
    const double rows = double(read.catalogue.entries.size());
    std::printf("100,000 entries, 10,000 glossary entries, median of %d runs\n", runs);
    std::printf("rendaro-cli check:                %8.1f ms\n", plain);
    std::printf("rendaro-cli check --glossary:     %8.1f ms  (goal < 1000)\n", withGlossary);
    std::printf("index of the glossary:            %8.1f ms\n", indexMs);
    std::printf("terms of a row: mean %.2f us, slowest %.1f us (first sight of its words included; goal < 1000); "
                "%lld terms found\n",
                double(total) / rows / 1e3, double(slowest) / 1e3, static_cast<long long>(found));
    return withGlossary > 0 && withGlossary < 1000 && slowest < 1000000 ? 0 : 1;
}
