// Step 2 of generate-and-pack: the catalogues of the chosen projects merged,
// per language, into one combined file for the translators.

#include "batch/generate_ziv_handler.h"

#include "batch/path_join.h"
#include "batch/worker_pool.h"
#include "catalogue/catalogue_reading.h"
#include "catalogue/document.h"
#include "catalogue/safe_file.h"

#include <QDir>
#include <QFileInfo>

bool CGenerateZIVHandler::SaveAllStrings(const QStringList &languages, const std::vector<int> &projects,
                                         const QString &outputFolder)
{
    if (IsActive() || outputFolder.isEmpty())
        return false;
    startResult();
    QDir().mkdir(outputFolder);  // one level; an existing folder is fine
    bool allWritten = true;
    DurableWriteBatch batch;
    std::vector<std::pair<QString, int>> combinedFiles;  // each path with its number in the batch
    for (const QString &language : languages) {
        // The master catalogue collects each distinct original of the files
        // read once (the language-folder rule decides which entry it keeps).
        // The files are read on the pool's threads, without their trees, and
        // merged here in project order as they come in; only the files of
        // one language are held at a time.
        m_document.CloseCatalogue(-1);
        std::vector<QString> paths;
        for (const int index : projects) {
            const QString path = CataloguePath(index, language);
            if (!path.isEmpty())
                paths.push_back(path);
        }
        std::vector<ReadCatalogue> reads(paths.size());
        {
            WorkerPool pool(m_workerThreads);
            std::vector<WorkerPool::Ticket> tickets;
            for (size_t i = 0; i < paths.size(); ++i) {
                tickets.push_back(pool.post([&reads, &paths, i] {
                    reads[i] = ReadCatalogueFile(paths[i], CatalogueParts::MergeItems, -1);
                }));
            }
            for (size_t i = 0; i < paths.size(); ++i) {
                pool.wait(tickets[i]);
                if (!m_document.MergeReadCatalogue(std::move(reads[i])) && QFileInfo::exists(paths[i]))
                    noteProblem(QStringLiteral("Can not read %1 (%2)").arg(paths[i], m_document.lastErrorText()));
            }
        }
        const QString combined = JoinPath(outputFolder, QStringLiteral("ALL_") + language + QStringLiteral(".xml"));
        int file = -1;
        if (!m_document.SaveCatalogue(0, combined, true, &batch, &file))
            file = -1;
        combinedFiles.push_back({combined, file});
    }
    // The combined files are put in place together, after one sync.
    batch.commit();
    for (const auto &[combined, file] : combinedFiles) {
        if (batch.written(file)) {
            noteWritten(combined);
        } else {
            noteProblem(QStringLiteral("Can not save %1").arg(combined));
            allWritten = false;
        }
    }
    // The master catalogue of the last language stays loaded.
    return allWritten;
}
