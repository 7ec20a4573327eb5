#pragma once
// "Generate new string And Pack": the dialog of the three-step pipeline
// over a branch tree (and an optional device-pack tree).
//   Step 1 adds the new strings of the chosen projects to their English
//          files and applies them to the chosen languages;
//   Step 2 writes the combined file of each chosen language;
//   Step 3 imports the translated combined files, on the handler's worker
//          thread, while a 333 ms timer shows its log and progress.
// Steps 1 and 2 run on the user-interface thread. The dialog owns the
// pipeline's document and handler; the editor's document is never touched.
// UpdateControlStates, applied on every timer tick, is the one rule that
// enables the controls.
//
// Closing the dialog while the import runs asks whether to stop it; when
// the answer is yes the import is told to stop before its next file and the
// dialog waits for the worker before it closes (languages already imported
// stay, the one in progress is left as it was).

#include "batch/generate_ziv_handler.h"
#include "catalogue/document.h"

#include <QDialog>
#include <QHash>
#include <QTimer>

class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class UserPrompts;

class CGenerateZIVDlg : public QDialog {
    Q_OBJECT
public:
    // Control numbers, for tests and for the enabling rule.
    enum ControlId {
        ProjectListId = 1000,
        LanguageListId = 1001,
        BranchEditId = 1009,
        GeneratedEditId = 1010,
        TranslatedEditId = 1011,
        DevicePackEditId = 1012,
        ChooseBranchId = 1019,
        BrowseId = 1020,
        AddNewStringsId = 1021,
        ToggleProjectsId = 1022,
        SaveAllStringsId = 1023,
        ChooseGeneratedId = 1024,
        ChooseTranslatedId = 1025,
        ImportId = 1026,
        ToggleLanguagesId = 1027,
        ChooseDevicePackId = 1028,
        ProgressBarId = 1029,
        LogEditId = 1030,
        ExitId = 1,
    };

    CGenerateZIVDlg(UserPrompts &prompts, ProjectTable table, QWidget *parent = nullptr);
    ~CGenerateZIVDlg() override;

    QWidget *control(int id) const { return m_controls.value(id); }
    QListWidget *projectList() const { return m_projectList; }
    QListWidget *languageList() const { return m_languageList; }
    CGenerateZIVHandler &handler() { return m_handler; }
    bool isRunning() const { return m_running; }
    // Every file a step of this dialog wrote (the editor reloads the one it shows).
    const QStringList &writtenFiles() const { return m_writtenFiles; }

    // The enabling rule: with busy true only the branch edits, their
    // choosers and Exit can be used.
    void UpdateControlStates(bool busy);
    // One tick of the 333 ms timer.
    void OnTimer();

    void OnBrowse();
    void OnToggleProjects();
    void OnToggleLanguages();
    void OnAddNewStrings();   // Step 1
    void OnSaveAllStrings();  // Step 2
    void StartImport();       // Step 3

    void done(int result) override;

private:
    QPushButton *addButton(int id, const QString &text);
    QLineEdit *addEdit(int id, const QString &path);
    QListWidget *addList(int id);
    void chooseFolder(const QString &prompt, QString &member);
    void readEdits();
    void writeEdits();
    QStringList selectedLanguages() const;
    std::vector<int> selectedProjects() const;
    void followSelection(QListWidget *list, bool &allSelected, int toggleId);
    void toggleSelection(QListWidget *list, bool &allSelected, int toggleId);
    void takeStepResult(QStringList &problems);
    void reportProblems(const QStringList &problems);
    void finishImport();

    UserPrompts &m_prompts;
    QString m_branchPath;
    QString m_devicePackPath;
    QString m_generatedXmlPath;
    QString m_translatedXmlPath;
    QStringList m_languages;
    bool m_allProjectsSelected = true;
    bool m_allLanguagesSelected = true;
    bool m_running = false;
    QStringList m_writtenFiles;

    QHash<int, QWidget *> m_controls;
    QListWidget *m_projectList = nullptr;
    QListWidget *m_languageList = nullptr;
    QProgressBar *m_progressBar = nullptr;
    QPlainTextEdit *m_logEdit = nullptr;
    QTimer m_timer;

    // The pipeline's own document; the handler, declared after it, is
    // destroyed first and waits for its worker.
    CRendaroDoc m_document;
    CGenerateZIVHandler m_handler;
};
