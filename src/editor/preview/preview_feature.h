#pragma once
// The program a language file translates, and the Preview of its dialogs
// and menus. Tool > Program Resources... links the shown file or folder to
// a program and resource header (program_links.h); the checks judge
// against it (EditorFeatures hands addCheckOptions to the checks feature),
// and View > Preview draws the dialog or menu holding the selected string
// with the current translations (unsaved edits, and the text being typed
// in place), the selected control outlined, every control whose text does
// not fit framed in red. The pictures come from the core's ProgramPreview,
// the verdicts from the same DialogLayout the fit check asks.

#include "checks/check_registry.h"
#include "dialogfit/program_preview.h"
#include "editor/core/rendaro_view.h"
#include "editor/preview/program_links.h"
#include "editor/preview/preview_dock.h"

#include <QObject>
#include <QPointer>
#include <memory>

class CommandActions;
class QLineEdit;
class QSettings;

class PreviewFeature : public QObject {
    Q_OBJECT
public:
    PreviewFeature(CRendaroView &view, CommandActions *commands);
    ~PreviewFeature() override;

    // Links are kept in `settings` (the main window's); without settings,
    // as long as the feature lives.
    void setSettings(QSettings *settings);
    ProgramLinks &links() { return m_links; }
    // The link of what is shown (empty when none).
    const ProgramLink &shownLink() const { return m_link; }
    // The checks' options "program" and "header" for a shown file or folder.
    void addCheckOptions(const CheckTarget &target, QVariantMap &options) const;

    // The dock (View > Preview); the main window places it.
    CPreviewDock *dock() const { return m_dock; }
    // Where the selected string is shown (dialogs, then menus), and which
    // of them the dock draws (-1: none).
    const std::vector<ShownPlace> &places() const { return m_owners; }
    int chosenPlace() const { return m_chosen; }
    void choosePlace(int index);
    // The dialog drawn, or null (a menu, or nothing).
    const DialogPreview *shownDialog() const;
    // The control (or menu item) outlined, -1 when none.
    int outlinedControl() const { return m_outlined; }
    // How many pictures were drawn so far (the benchmark waits on it).
    quint64 pictures() const { return m_pictures; }

    void OnProgramResources();

signals:
    // The link of the shown file or folder changed: the checks are made again.
    void linkChanged();

private:
    void shownChanged();
    void loadProgram();
    void followSelection();
    void redraw();
    void controlClicked(QPoint at);
    void lineActivated(int line);
    void selectControl(int control);
    QString shownPath() const;
    void updateCommandStates();

    CRendaroView &m_view;
    CommandActions *m_commands;
    QPointer<CPreviewDock> m_dock;
    QLineEdit *m_editor;
    ProgramLinks m_links;
    ProgramLink m_link;
    bool m_programStale = true;  // what is shown changed since the program was read
    QString m_problem;           // why nothing can be drawn
    std::unique_ptr<ProgramPreview> m_preview;
    QString m_original;                // the selected row's original
    std::vector<ShownPlace> m_owners;  // where it is shown
    int m_chosen = -1;
    int m_outlined = -1;
    quint64 m_pictures = 0;
};
