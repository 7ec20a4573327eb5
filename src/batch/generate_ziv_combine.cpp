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
#include <memory>
#include <vector>

namespace {

// The project files of one language, read on the pool's threads.
struct LanguageReads {
    std::vector<QString> paths;
    std::vector<ReadCatalogue> reads;
    std::vector<WorkerPool::Ticket> tickets;
};

} // namespace

bool CGenerateZIVHandler::SaveAllStrings(const QStringList &languages, const std::vector<int> &projects,
                                         const QString &outputFolder)
{
    if (IsActive() || outputFolder.isEmpty())
        return false;
    startResult();
    QDir().mkdir(outputFolder);  // one level; an existing folder is fine
    bool allWritten = true;
    DurableWriteBatch batch;
    const qsizetype count = languages.size();
    // Each combined file's path, the reason it could not be written, and its
    // number in the batch (-1 when it could not be added).
    std::vector<QString> combinedFiles(static_cast<size_t>(count)), failures(static_cast<size_t>(count));
    std::vector<int> batchFiles(static_cast<size_t>(count), -1);
    std::vector<CXMLStruct> masters(static_cast<size_t>(count));  // handed to the save jobs
    // The project files are read without their trees on the pool's threads
    // and merged here in project order as they come in; the files of the
    // next language are posted before this one is merged, so that the
    // threads read on while the master is merged, and each language's
    // master is written and freed by a job of its own. At most the files of
    // two languages are held at a time.
    WorkerPool pool(m_workerThreads);
    auto postReads = [&](const QString &language) {
        auto next = std::make_unique<LanguageReads>();
        for (const int index : projects) {
            const QString path = CataloguePath(index, language);
            if (!path.isEmpty())
                next->paths.push_back(path);
        }
        next->reads.resize(next->paths.size());
        LanguageReads *files = next.get();
        for (size_t i = 0; i < files->paths.size(); ++i) {
            files->tickets.push_back(pool.post([files, i] {
                files->reads[i] = ReadCatalogueFile(files->paths[i], CatalogueParts::MergeItems, -1);
            }));
        }
        return next;
    };
    std::vector<WorkerPool::Ticket> saves;
    std::unique_ptr<LanguageReads> current = count > 0 ? postReads(languages[0]) : nullptr;
    for (qsizetype k = 0; k < count; ++k) {
        // The master catalogue collects each distinct original of the files
        // read once (the language-folder rule decides which entry it keeps).
        m_document.CloseCatalogue(-1);
        std::unique_ptr<LanguageReads> next = k + 1 < count ? postReads(languages[k + 1]) : nullptr;
        for (size_t i = 0; i < current->paths.size(); ++i) {
            pool.wait(current->tickets[i]);
            if (!m_document.MergeReadCatalogue(std::move(current->reads[i])) && QFileInfo::exists(current->paths[i]))
                noteProblem(
                    QStringLiteral("Can not read %1 (%2)").arg(current->paths[i], m_document.lastErrorText()));
        }
        current = std::move(next);
        const size_t n = size_t(k);
        combinedFiles[n] = JoinPath(outputFolder, QStringLiteral("ALL_") + languages[k] + QStringLiteral(".xml"));
        if (k + 1 == count) {
            // The master catalogue of the last language stays loaded.
            if (!m_document.SaveCatalogue(0, combinedFiles[n], true, &batch, &batchFiles[n]))
                batchFiles[n] = -1;
            continue;
        }
        masters[n] = m_document.TakeMasterCatalogue();
        saves.push_back(pool.post([&, n] {
            CRendaroDoc::WriteCollectedCatalogueFile(masters[n], combinedFiles[n], &failures[n], &batch, &batchFiles[n]);
            masters[n] = CXMLStruct();  // let go on this thread
        }));
    }
    for (const WorkerPool::Ticket ticket : saves)
        pool.wait(ticket);
    // The combined files are put in place together, after one sync.
    batch.commit();
    for (size_t n = 0; n < combinedFiles.size(); ++n) {
        if (batch.written(batchFiles[n])) {
            noteWritten(combinedFiles[n]);
        } else {
            noteProblem(QStringLiteral("Can not save %1").arg(combinedFiles[n]));
            allWritten = false;
        }
    }
    return allWritten;
}
