// Step 3 of generate-and-pack: the translations of the translated combined
// files copied into the chosen projects' catalogues, on the calling thread
// or on a worker thread of the handler.

#include "batch/generate_ziv_handler.h"

#include "batch/path_join.h"
#include "catalogue/document.h"

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
    for (const QString &language : std::as_const(m_selectedLanguages)) {
        if (cancelled()) {
            addToLog(QStringLiteral("Cancelled"), false);
            break;
        }
        addToLog(QStringLiteral("Start processing %1").arg(language), true);
        if (!ImportLanguage(language))
            break;
        m_progress.fetch_add(1, std::memory_order_acq_rel);
    }
    m_active.store(false, std::memory_order_release);  // the worker's last action
    return 0;
}

bool CGenerateZIVHandler::ImportLanguage(const QString &language)
{
    const QString translatedPath =
        JoinPath(m_translatedXmlPath, QStringLiteral("ALL_") + language + QStringLiteral(".xml"));
    addToLog(QStringLiteral("Load Translated File %1").arg(translatedPath), false);
    const int translatedId = m_document.LoadCatalogue(translatedPath, false);
    if (translatedId < 0) {
        const QString problem = QStringLiteral("Can not read %1 (%2); no translation taken")
                                    .arg(translatedPath, m_document.lastErrorText());
        addToLog(problem, false);
        noteProblem(problem);
    }
    std::vector<int> loaded;  // project catalogues in load order
    for (const int index : std::as_const(m_selectedProjects)) {
        if (cancelled()) {
            // Nothing of this language has been written yet; it stays as it was.
            addToLog(QStringLiteral("Cancelled"), false);
            m_document.CloseCatalogue(-1);
            return false;
        }
        const QString path = CataloguePath(index, language);
        if (path.isEmpty())
            continue;
        addToLog(QStringLiteral("Load File %1").arg(path), false);
        const int id = m_document.LoadCatalogue(path, false);
        if (id < 0) {
            // Never written back: a file that cannot be read is not overwritten.
            const QString problem = QStringLiteral("Can not read %1 (%2); skipped").arg(path, m_document.lastErrorText());
            addToLog(problem, false);
            noteProblem(problem);
            continue;
        }
        loaded.push_back(id);
        if (translatedId >= 0)
            copyTranslations(translatedId, id);
    }
    addToLog(QStringLiteral("Save All Files"), false);
    // The translated combined file is input only: it is not written back.
    // Each project file is saved on its own, so one that cannot be written
    // does not keep the others from being saved.
    for (const int id : loaded) {
        const QString path = m_document.GetCataloguePath(m_document.FindCatalogueIndex(id));
        if (m_document.SaveCatalogue(id, path, true)) {
            noteWritten(path);
        } else {
            const QString problem = QStringLiteral("Can not save %1").arg(path);
            addToLog(problem, false);
            noteProblem(problem);
        }
    }
    m_document.CloseCatalogue(-1);
    return true;
}

void CGenerateZIVHandler::copyTranslations(int translatedId, int catalogueId)
{
    // A translation is taken only for a translatable entry, and only a real
    // one: an empty translation, or one equal to its original (an
    // untranslated combined entry), never overwrites a project's own.
    std::vector<std::pair<QString, QString>> changes;
    const CXMLStruct *catalogue = m_document.findCatalogue(catalogueId);
    for (const auto &[original, entry] : catalogue->entries) {
        if (!entry.translatable)
            continue;
        const QString translation = m_document.GetTranslation(translatedId, original);
        if (!translation.isEmpty() && translation != original && translation != entry.translation)
            changes.emplace_back(original, translation);
    }
    for (const auto &[original, translation] : changes)
        m_document.SetTranslation(catalogueId, original, translation, 1);
}
