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
#include <memory>
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

// The jobs of one language: when it goes, its jobs are waited for (those
// dropped by a cancel count as done), since they use what the language
// holds (declare it after that).
class LanguageJobs {
public:
    explicit LanguageJobs(WorkerPool &pool) : m_pool(pool) {}
    LanguageJobs(const LanguageJobs &) = delete;
    LanguageJobs &operator=(const LanguageJobs &) = delete;
    ~LanguageJobs()
    {
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
    // Drops every job of the pool not started yet (this language's and the
    // next one's).
    void dropPending() { m_pool.dropPending(); }

private:
    WorkerPool &m_pool;
    std::vector<WorkerPool::Ticket> m_tickets;
};

} // namespace

// One language of the import, from the posting of its reads to the placing
// of its files.
struct CGenerateZIVHandler::LanguageImport {
    explicit LanguageImport(WorkerPool &pool, TranslationLookup &lookup) : translations(lookup), jobs(pool) {}

    TranslationLookup &translations;
    QString translatedPath;
    std::vector<QString> paths;
    bool translatedRead = false;
    QString translatedError;
    std::vector<ReadCatalogue> reads;
    std::vector<QString> saveFailures;
    std::vector<int> batchFiles;
    // The project files are written beside their targets and put in place
    // together, one sync for all of them (see DurableWriteBatch).
    DurableWriteBatch batch;
    WorkerPool::Ticket translatedTicket = 0;
    std::vector<WorkerPool::Ticket> tickets;
    LanguageJobs jobs;  // after what its jobs use: it goes first
};

int CGenerateZIVHandler::RunImport()
{
    if (!IsActive())
        m_cancel.store(false, std::memory_order_release);  // a run on the caller's thread
    startResult();
    m_progress.store(0, std::memory_order_release);
    m_document.CloseCatalogue(-1);
    // One pool for every language, and two translation lookups used by
    // turns: the files of the next language are read while this one's are
    // saved with its lookup, and each lookup keeps its room from one
    // language to the one after next.
    WorkerPool pool(m_workerThreads);
    TranslationLookup translations[2];
    const qsizetype count = m_selectedLanguages.size();
    std::unique_ptr<LanguageImport> current =
        count > 0 ? beginLanguage(m_selectedLanguages[0], pool, translations[0]) : nullptr;
    for (qsizetype k = 0; k < count; ++k) {
        if (cancelled()) {
            pool.dropPending();  // the reads of this language
            addToLog(QStringLiteral("Cancelled"), false);
            break;
        }
        addToLog(QStringLiteral("Start processing %1").arg(m_selectedLanguages[k]), true);
        std::unique_ptr<LanguageImport> next;
        auto readNext = [&] {
            if (k + 1 < count)
                next = beginLanguage(m_selectedLanguages[k + 1], pool, translations[(k + 1) % 2]);
        };
        if (!importLanguage(*current, readNext))
            break;
        current = std::move(next);
        m_progress.fetch_add(1, std::memory_order_acq_rel);
    }
    current.reset();  // its jobs are done or dropped before the pool goes
    m_active.store(false, std::memory_order_release);  // the worker's last action
    return 0;
}

bool CGenerateZIVHandler::ImportLanguage(const QString &language)
{
    WorkerPool pool(m_workerThreads);
    TranslationLookup translations;
    std::unique_ptr<LanguageImport> import = beginLanguage(language, pool, translations);
    return importLanguage(*import, [] {});
}

std::unique_ptr<CGenerateZIVHandler::LanguageImport>
CGenerateZIVHandler::beginLanguage(const QString &language, WorkerPool &pool, TranslationLookup &translations)
{
    // Every file of the language is read on the pool's threads; nothing is
    // logged or noted until importLanguage takes the results in order.
    auto import = std::make_unique<LanguageImport>(pool, translations);
    LanguageImport &l = *import;
    l.translatedPath = JoinPath(m_translatedXmlPath, QStringLiteral("ALL_") + language + QStringLiteral(".xml"));
    for (const int index : std::as_const(m_selectedProjects)) {
        const QString path = CataloguePath(index, language);
        if (!path.isEmpty())
            l.paths.push_back(path);
    }
    l.reads.resize(l.paths.size());
    l.saveFailures.resize(l.paths.size());
    l.batchFiles.assign(l.paths.size(), -1);
    // The translated combined file is input only: only its real
    // translations are read, into a lookup that the save jobs share, and it
    // is never written back.
    l.translatedTicket = l.jobs.post([&l] { l.translatedRead = l.translations.read(l.translatedPath, &l.translatedError); });
    for (size_t i = 0; i < l.paths.size(); ++i) {
        l.tickets.push_back(l.jobs.post([&l, i] {
            l.reads[i] = ReadCatalogueFile(l.paths[i], CatalogueParts::FlatTreeAndEntries, -1);
        }));
    }
    return import;
}

bool CGenerateZIVHandler::importLanguage(LanguageImport &l, const std::function<void()> &afterSavesPosted)
{
    // The log and the results follow the files in project order, as if they
    // were read one after another here. Nothing is written before "Save All
    // Files", so a cancelled language stays as it was; then every project
    // file is saved on the pool (each on its own: one that cannot be written
    // does not keep the others from being saved) and let go.
    addToLog(QStringLiteral("Load Translated File %1").arg(l.translatedPath), false);
    l.jobs.wait(l.translatedTicket);
    if (!l.translatedRead) {
        const QString problem =
            QStringLiteral("Can not read %1 (%2); no translation taken").arg(l.translatedPath, l.translatedError);
        addToLog(problem, false);
        noteProblem(problem);
    }
    std::vector<size_t> loaded;  // project files read, in project order
    for (size_t i = 0; i < l.paths.size(); ++i) {
        if (cancelled()) {
            // Nothing of this language has been written yet; it stays as it was.
            l.jobs.dropPending();
            addToLog(QStringLiteral("Cancelled"), false);
            return false;
        }
        addToLog(QStringLiteral("Load File %1").arg(l.paths[i]), false);
        l.jobs.wait(l.tickets[i]);
        if (!l.reads[i].ok) {
            // Never written back: a file that cannot be read is not overwritten.
            const QString problem =
                QStringLiteral("Can not read %1 (%2); skipped").arg(l.paths[i], l.reads[i].errorText);
            addToLog(problem, false);
            noteProblem(problem);
            continue;
        }
        loaded.push_back(i);
    }

    addToLog(QStringLiteral("Save All Files"), false);
    std::vector<WorkerPool::Ticket> saves;
    for (const size_t i : loaded) {
        saves.push_back(l.jobs.post([&l, i] {
            CXMLStruct &catalogue = l.reads[i].catalogue;
            copyTranslations(l.translations, catalogue);
            CRendaroDoc::WriteCatalogueFile(catalogue, l.paths[i], true, &l.saveFailures[i], &l.batch,
                                            &l.batchFiles[i]);
            l.reads[i] = ReadCatalogue();  // let go on this thread
        }));
    }
    // The next language's files are read while these are saved and put in
    // place.
    afterSavesPosted();
    for (const WorkerPool::Ticket ticket : saves)
        l.jobs.wait(ticket);
    l.batch.commit();
    for (const size_t i : loaded) {
        if (l.batch.written(l.batchFiles[i])) {
            noteWritten(l.paths[i]);
        } else {
            const QString problem = QStringLiteral("Can not save %1").arg(l.paths[i]);
            addToLog(problem, false);
            noteProblem(problem);
        }
    }
    return true;
}
