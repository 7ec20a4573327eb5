#pragma once
// The generate-and-pack pipeline over a branch tree:
//   Step 1 (AddNewStrings): new texts of a project's module (or text file)
//          into its English catalogue, then into its catalogue of every
//          chosen language (missing ones are created as copies of English);
//   Step 2 (SaveAllStrings): per language, the catalogues of all chosen
//          projects merged into one combined file "ALL_" + language + ".xml";
//   Step 3 (RunImport): per language, the translations of the translated
//          combined file copied into the chosen projects' catalogues.
//
// The handler works on the document it is given, never on theDocument():
// every step closes all catalogues of that document as it goes, so it must
// be a document of the pipeline's own, not the one the editor shows. Step 3
// may run on a worker thread (StartImport); while it runs, only the worker
// uses that document, the inputs cannot be changed and Steps 1 and 2 refuse
// to run. Log(), Progress(), IsActive() and LastResult() may be read from
// any thread at any time.

#include "batch/project_table.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class CRendaroDoc;
class TranslationLookup;
class WorkerPool;

// What the last step did, for callers that report it (the dialog shows only
// Step 3's log).
struct PackStepResult {
    int stringsAdded = 0;   // Step 1: new strings in the English catalogue
    QStringList written;    // files written (updated in place or created by a save)
    QStringList created;    // Step 1: language files created as copies of the English one
    QStringList problems;   // files that could not be read, copied or written
};

class CGenerateZIVHandler {
public:
    explicit CGenerateZIVHandler(CRendaroDoc &document, ProjectTable table = BuiltInProjectTable());
    // Cancels a running import and waits for its thread.
    ~CGenerateZIVHandler();
    CGenerateZIVHandler(const CGenerateZIVHandler &) = delete;
    CGenerateZIVHandler &operator=(const CGenerateZIVHandler &) = delete;

    // --- inputs (refused, returning false, while an import runs) ------------
    bool SetBranchPath(const QString &path) { return setInput(m_branchPath, path); }
    bool SetDevicePackPath(const QString &path) { return setInput(m_devicePackPath, path); }
    bool SetSelectedProjects(const std::vector<int> &indices) { return setInput(m_selectedProjects, indices); }
    bool SetSelectedLanguages(const QStringList &languages) { return setInput(m_selectedLanguages, languages); }
    bool SetTranslatedXmlPath(const QString &path) { return setInput(m_translatedXmlPath, path); }
    // The threads that read and write the files of Steps 2 and 3: 0 (the
    // default) as many as the machine runs at once, 1 none beside the
    // step's own thread; never more than QThread::idealThreadCount(). The
    // files and the log come out the same whatever the number.
    bool SetWorkerThreads(int threads) { return setInput(m_workerThreads, threads); }
    QString branchPath() const { return m_branchPath; }
    QString devicePackPath() const { return m_devicePackPath; }
    const ProjectTable &projectTable() const { return m_table; }

    // --- listing -------------------------------------------------------------
    // Table index → name of each project whose module and header (or text
    // file) exist, in table order.
    std::map<int, QString> ListAvailableProjects() const;
    // The three-character folder names below the branch's language root.
    QStringList ListLanguages() const;
    // Appends the three-character folders below folder, each after the ones
    // nested in it; ".svn" and names of other lengths are skipped.
    static void ScanLanguageFolders(const QString &folder, QStringList &list);

    // --- paths ---------------------------------------------------------------
    // The device-pack folder (isDevicePack 1) or the branch, joined with "Exe/Lang".
    QString LanguageRoot(int isDevicePack) const;
    // The device-pack folder or the branch, joined with relative.
    QString ProjectPath(int isDevicePack, const QString &relative) const;
    // The catalogue of table row `index` in `language`.
    QString CataloguePath(int index, const QString &language) const;

    // --- Step 1 --------------------------------------------------------------
    // Adds the new texts of project `index` to its English catalogue and
    // applies that to every selected language. False when the index is not
    // in the table, a text-file project's English catalogue cannot be read,
    // or an import is running.
    bool AddNewStrings(int index);
    bool AddNewStringsFromText(int index);
    // Pushes catalogue `catalogueId` into the project's file of every
    // selected language; a missing file becomes a copy of the English one.
    void ApplyToLanguages(int isDevicePack, const QString &name, int catalogueId);

    // --- Step 2 --------------------------------------------------------------
    // Writes outputFolder/ALL_<language>.xml for every language. False when
    // an import is running or a combined file could not be written.
    bool SaveAllStrings(const QStringList &languages, const std::vector<int> &projects,
                        const QString &outputFolder);

    // --- Step 3 --------------------------------------------------------------
    // The import over the selected languages and projects, on the calling
    // thread; returns 0. Do not call it while a worker runs.
    int RunImport();
    // One language of the import; false when it was cancelled before its
    // files were written (none of them is then).
    bool ImportLanguage(const QString &language);
    // Starts RunImport on a worker thread; false when one is running.
    bool StartImport();
    // Asks a running import to stop before its next file.
    void Cancel();
    // Waits until the worker thread (if any) has ended.
    void Wait();
    bool IsActive() const { return m_active.load(std::memory_order_acquire); }
    // Languages finished by the current (or last) import.
    int Progress() const { return m_progress.load(std::memory_order_acquire); }
    // A copy of the log text: "Start processing L", then one line per file,
    // lines separated by "\r\n"; replaced for every language.
    QString Log() const;
    // Called on the importing thread with every line added to the log; set
    // it while no import runs.
    void SetLogListener(std::function<void(const QString &line)> listener);

    PackStepResult LastResult() const;

private:
    template <typename T>
    bool setInput(T &input, const T &value)
    {
        if (IsActive())
            return false;  // the worker reads the inputs while it runs
        input = value;
        return true;
    }
    const ProjectEntry *row(int index) const;
    bool cancelled() const { return m_cancel.load(std::memory_order_acquire); }
    void startResult();
    void noteWritten(const QString &path);
    void noteCreated(const QString &path);
    void noteProblem(const QString &text);
    void addToLog(const QString &line, bool replace);
    int addTexts(int catalogueId, const QStringList &texts);
    void saveEnglishAndApply(const ProjectEntry &project, int catalogueId, const QString &englishPath);
    struct LanguageImport;
    // Posts the reads of a language's files (the translated combined file
    // into `translations`) on the pool.
    std::unique_ptr<LanguageImport> beginLanguage(const QString &language, WorkerPool &pool,
                                                  TranslationLookup &translations);
    // Takes the reads in project order, saves the files and puts them in
    // place; afterSavesPosted runs once the saves are posted (the next
    // language's reads go then). False when cancelled before the saves.
    bool importLanguage(LanguageImport &import, const std::function<void()> &afterSavesPosted);

    CRendaroDoc &m_document;
    const ProjectTable m_table;

    std::atomic<bool> m_active{false};
    std::atomic<bool> m_cancel{false};
    std::thread m_threadHandle;
    QString m_branchPath;
    QString m_devicePackPath;
    std::vector<int> m_selectedProjects;
    QStringList m_selectedLanguages;
    QString m_translatedXmlPath;
    int m_workerThreads = 0;
    std::atomic<int> m_progress{0};

    mutable std::mutex m_mutex;  // guards m_log and m_result
    QString m_log;
    PackStepResult m_result;
    std::function<void(const QString &)> m_logListener;
};
