// Step 3 of generate-and-pack: the translations of the translated combined
// files copied into the chosen projects' catalogues, on the calling thread
// or on a worker thread of the handler.

#include "batch/generate_ziv_handler.h"

#include "batch/path_join.h"
#include "batch/worker_pool.h"
#include "catalogue/catalogue_reading.h"
#include "catalogue/document.h"
#include "catalogue/safe_file.h"
#include "catalogue/translation_lookup.h"

#include <algorithm>
#include <functional>
#include <utility>

bool CGenerateZIVHandler::StartImport()
{
    if (IsActive())
        return false;
    Wait();  // the thread of the previous import has ended; release it
    m_cancel.store(false, std::memory_order_release);
    m_active.store(true, std::memory_order_release);
    m_threadHandle = std::thread([this] { RunImport(); });
    return true;
}

void CGenerateZIVHandler::Cancel() { m_cancel.store(true, std::memory_order_release); }

void CGenerateZIVHandler::Wait()
{
    if (m_threadHandle.joinable() && m_threadHandle.get_id() != std::this_thread::get_id())
        m_threadHandle.join();
}

int CGenerateZIVHandler::RunImport()
{
    if (!IsActive())
        m_cancel.store(false, std::memory_order_release);  // a run on the caller's thread
    startResult();
    m_progress.store(0, std::memory_order_release);
    m_document.CloseCatalogue(-1);
    // One pool and one translation lookup for every language: the threads
    // go on from one language to the next, and the lookup keeps its room.
    WorkerPool pool(m_workerThreads);
    TranslationLookup translations;
    for (const QString &language : std::as_const(m_selectedLanguages)) {
        if (cancelled()) {
            addToLog(QStringLiteral("Cancelled"), false);
            break;
        }
        addToLog(QStringLiteral("Start processing %1").arg(language), true);
        if (!importLanguage(language, pool, translations))
            break;
        m_progress.fetch_add(1, std::memory_order_acq_rel);
    }
    m_active.store(false, std::memory_order_release);  // the worker's last action
    return 0;
}

namespace {

// Takes the real translations of the translated combined file into a
// project's catalogue, for translatable entries only: an empty translation,
// or one equal to its original, never overwrites a project's own (the
// lookup holds none). Each original is one entry, so the order does not
// matter.
void copyTranslations(const TranslationLookup &translations, CXMLStruct &catalogue)
{
    // In groups, so that the lookups overlap their memory reads.
    constexpr size_t kGroup = 64;
    EntryMap &entries = catalogue.entries;
    for (size_t first = 0; first < entries.size(); first += kGroup) {
        const size_t n = std::min(kGroup, entries.size() - first);
        QStringView originals[kGroup];
        QStringView found[kGroup];
        for (size_t i = 0; i < n; ++i)
            originals[i] = entries.byNumber(first + i).original;
        translations.findMany(originals, n, found);
        for (size_t i = 0; i < n; ++i) {
            StringEntry &entry = entries.byNumber(first + i);
            if (entry.translatable && !found[i].isNull() && found[i] != entry.translation)
                entry.translation = found[i].toString();
        }
    }
}

// The jobs of one language: when it goes, the jobs not started yet are
// dropped and the running ones waited for, since they use what the language
// holds (declare it after that).
class LanguageJobs {
public:
    explicit LanguageJobs(WorkerPool &pool) : m_pool(pool) {}
    LanguageJobs(const LanguageJobs &) = delete;
    LanguageJobs &operator=(const LanguageJobs &) = delete;
    ~LanguageJobs()
    {
        m_pool.dropPending();
        for (const WorkerPool::Ticket ticket : m_tickets) {
            try {
                m_pool.wait(ticket);
            } catch (...) {
                // what a job threw has been passed on where its result was needed
            }
        }
    }
    WorkerPool::Ticket post(std::function<void()> job)
    {
        m_tickets.push_back(m_pool.post(std::move(job)));
        return m_tickets.back();
    }
    void wait(WorkerPool::Ticket ticket) { m_pool.wait(ticket); }

private:
    WorkerPool &m_pool;
    std::vector<WorkerPool::Ticket> m_tickets;
};

} // namespace

bool CGenerateZIVHandler::ImportLanguage(const QString &language)
{
    WorkerPool pool(m_workerThreads);
    TranslationLookup translations;
    return importLanguage(language, pool, translations);
}

bool CGenerateZIVHandler::importLanguage(const QString &language, WorkerPool &pool, TranslationLookup &translations)
{
    // Every file of the language is read on the pool's threads; the log and
    // the results follow the files in project order, as if they were read
    // one after another here. Nothing is written before "Save All Files",
    // so a cancelled language stays as it was; then every project file is
    // saved on the pool (each on its own: one that cannot be written does
    // not keep the others from being saved) and let go.
    const QString translatedPath =
        JoinPath(m_translatedXmlPath, QStringLiteral("ALL_") + language + QStringLiteral(".xml"));
    std::vector<QString> paths;
    for (const int index : std::as_const(m_selectedProjects)) {
        const QString path = CataloguePath(index, language);
        if (!path.isEmpty())
            paths.push_back(path);
    }
    bool translatedRead = false;
    QString translatedError;
    std::vector<ReadCatalogue> reads(paths.size());
    std::vector<QString> saveFailures(paths.size());
    std::vector<int> batchFiles(paths.size(), -1);
    // The project files are written beside their targets and put in place
    // together, one sync for all of them (see DurableWriteBatch).
    DurableWriteBatch batch;
    LanguageJobs jobs(pool);  // after what its jobs use: it goes first

    // The translated combined file is input only: only its real
    // translations are read, into a lookup that the save jobs share (and
    // that the next language reads its file into), and it is never written
    // back.
    const WorkerPool::Ticket translatedTicket = jobs.post([&] {
        translatedRead = translations.read(translatedPath, &translatedError);
    });
    std::vector<WorkerPool::Ticket> tickets;
    for (size_t i = 0; i < paths.size(); ++i) {
        tickets.push_back(jobs.post([&reads, &paths, i] {
            reads[i] = ReadCatalogueFile(paths[i], CatalogueParts::TreeAndEntries, -1);
        }));
    }

    addToLog(QStringLiteral("Load Translated File %1").arg(translatedPath), false);
    jobs.wait(translatedTicket);
    if (!translatedRead) {
        const QString problem =
            QStringLiteral("Can not read %1 (%2); no translation taken").arg(translatedPath, translatedError);
        addToLog(problem, false);
        noteProblem(problem);
    }
    std::vector<size_t> loaded;  // project files read, in project order
    for (size_t i = 0; i < paths.size(); ++i) {
        if (cancelled()) {
            // Nothing of this language has been written yet; it stays as it was.
            addToLog(QStringLiteral("Cancelled"), false);
            return false;
        }
        addToLog(QStringLiteral("Load File %1").arg(paths[i]), false);
        jobs.wait(tickets[i]);
        if (!reads[i].ok) {
            // Never written back: a file that cannot be read is not overwritten.
            const QString problem = QStringLiteral("Can not read %1 (%2); skipped").arg(paths[i], reads[i].errorText);
            addToLog(problem, false);
            noteProblem(problem);
            continue;
        }
        loaded.push_back(i);
    }

    addToLog(QStringLiteral("Save All Files"), false);
    tickets.clear();
    for (const size_t i : loaded) {
        tickets.push_back(jobs.post([&reads, &paths, &batch, &batchFiles, &saveFailures, &translations, i] {
            CXMLStruct &catalogue = reads[i].catalogue;
            copyTranslations(translations, catalogue);
            CRendaroDoc::WriteCatalogueFile(catalogue, paths[i], true, &saveFailures[i], &batch, &batchFiles[i]);
            reads[i] = ReadCatalogue();  // let go on this thread
        }));
    }
    for (const WorkerPool::Ticket ticket : tickets)
        jobs.wait(ticket);
    batch.commit();
    for (const size_t i : loaded) {
        if (batch.written(batchFiles[i])) {
            noteWritten(paths[i]);
        } else {
            const QString problem = QStringLiteral("Can not save %1").arg(paths[i]);
            addToLog(problem, false);
            noteProblem(problem);
        }
    }
    return true;
}
