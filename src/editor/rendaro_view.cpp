#include "editor/rendaro_view.h"
#include "editor/view_passes.h"

#include "catalogue/document.h"
#include "catalogue/messages.h"
#include "editor/command_actions.h"
#include "editor/filter_bar.h"
#include "editor/find_string_dialog.h"
#include "editor/view_recovery_state.h"
#include "export/script_table.h"

#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUndoStack>
#include <QVBoxLayout>

namespace {
CRendaroView *g_view = nullptr;
}

CRendaroView *theView() { return g_view; }

CRendaroView::CRendaroView(UserPrompts &prompts, QWidget *parent)
    : QWidget(parent), m_prompts(prompts), m_grid(new CReportCtrl(this)), m_findDialog(new CFindString(this)),
      m_undoStack(new QUndoStack(this)), m_recovery(std::make_unique<ViewRecovery>())
{
    m_filterBar = new CFilterBar(this);
    g_view = this;
    setupSpelling();  // first: it gives the grid its editor, which the connections below use
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_filterBar);
    layout->addWidget(m_grid);
    setFocusProxy(m_grid);
    m_filterBar->hide();
    setupSlicedWork();
    connect(m_filterBar, &CFilterBar::filterChanged, this, &CRendaroView::ApplyFilter);
    connect(m_filterBar, &CFilterBar::closed, this, [this] { m_grid->setFocus(Qt::OtherFocusReason); });
    // The grid reads its rows from the shown catalogue.
    m_rows.setReference(&m_referenceEntries);
    m_grid->SetRowSource(&m_rows);

    m_grid->setObjectName(QStringLiteral("translationGrid"));
    m_grid->setAccessibleName(tr("Translations"));
    m_grid->setFrameShape(QFrame::NoFrame);
    m_grid->InsertColumn(0, tr("Original (English)"), Qt::AlignLeft, 100);
    m_grid->InsertColumn(1, tr("Translation"), Qt::AlignLeft, 100);
    m_grid->EnableCheckboxes();
    m_grid->DisableHeaderClicks();
    m_grid->SetEditableColumn(1);
    m_grid->validateEdits = true;
    setupColumns();
    // The grid's two messages: the handlers run inside the grid's call.
    connect(m_grid, &CReportCtrl::checkChanged, this, [this](int row) { onCheckChanged(row); },
            Qt::DirectConnection);
    connect(m_grid, &CReportCtrl::editCommitted, this, &CRendaroView::onEditCommitted, Qt::DirectConnection);
    connect(m_grid, &CReportCtrl::editingChanged, this, &CRendaroView::updateCommandStates);
    connect(m_grid->rowModel(), &QAbstractItemModel::modelReset, this, &CRendaroView::updateCommandStates);
    connect(m_grid->rowModel(), &QAbstractItemModel::rowsInserted, this, &CRendaroView::updateCommandStates);
    // "showing R of N" follows every change of the rows.
    auto rowsShown = [this] { emit rowsShownChanged(rowsShownText()); };
    connect(m_grid->rowModel(), &QAbstractItemModel::modelReset, this, rowsShown);
    connect(m_grid->rowModel(), &QAbstractItemModel::rowsInserted, this, rowsShown);
    connect(m_grid->rowModel(), &QAbstractItemModel::rowsRemoved, this, rowsShown);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        m_clipboardHasText = !QApplication::clipboard()->text().isEmpty();
        updateCommandStates();
    });
    m_clipboardHasText = !QApplication::clipboard()->text().isEmpty();
    setupLiveCounts();
    setupDiskWatch();
    // Undo: `modified` and the title follow the stack's clean state.
    connect(m_undoStack, &QUndoStack::indexChanged, this, &CRendaroView::syncModified);
    connect(m_undoStack, &QUndoStack::cleanChanged, this, &CRendaroView::syncModified);
    connect(m_grid->editor(), &QLineEdit::textChanged, this, &CRendaroView::updateUndoActions);

    setAcceptDrops(true);
    // Keys are looked at before the grid, its editor and the menu shortcuts
    // see them (see handleKey); the grid's resizes come this way too.
    qApp->installEventFilter(this);
}

CRendaroView::~CRendaroView()
{
    qApp->removeEventFilter(this);
    // The stack, a child, is cleared when it goes: this view must not hear of it.
    disconnect(m_undoStack, nullptr, this, nullptr);
    // A journal still here holds changes nobody let go: it stays on disk.
    m_recovery.reset();
    disconnect(m_grid->rowModel(), nullptr, this, nullptr);  // emptying the grid below
    m_grid->DeleteAllRows();
    m_grid->SetRowSource(nullptr);
    modified = false;
    currentPath.clear();
    if (CRendaroDoc *document = theDocument())
        document->CloseCatalogue(-1);
    if (g_view == this)
        g_view = nullptr;
}

void CRendaroView::UpdateTitle(const QString &path, bool isModified)
{
    QString format;
    if (currentCatalogueId == 0)
        format = isModified ? QStringLiteral("%1 - GLOBAL*[%2]") : QStringLiteral("%1 - GLOBAL[%2]");
    else
        format = isModified ? QStringLiteral("%1 - [%2*]") : QStringLiteral("%1 - [%2]");
    m_title = format.arg(messageText(MsgAppName), path);
    // Qt reads "[*]" in a window title as the modified mark: doubling it
    // shows it as it stands (a new file with changes is "Rendaro - [*]").
    QString shown = m_title;
    shown.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    window()->setWindowTitle(shown);
}

PromptAnswer CRendaroView::ask(const QString &text, PromptIcon icon, PromptButtons buttons)
{
    return m_prompts.message(this, text, messageText(MsgAppName), icon, buttons);
}

void CRendaroView::setModified()
{
    modified = true;
    UpdateTitle(currentPath, true);
}

bool CRendaroView::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Resize:
        if (watched == m_grid->viewport())
            fitColumns();
        break;
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress: {
        // Only keys meant for this view's window, not for dialogs it opened.
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == window())
            return handleKey(static_cast<QKeyEvent *>(event), event->type() == QEvent::ShortcutOverride);
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

// Ctrl+F and F3 search while a catalogue is shown, and after a text failed
// a check the arrow keys cannot leave its row; all before the grid and the
// shortcuts see the key.
bool CRendaroView::handleKey(QKeyEvent *event, bool isShortcutOverride)
{
    if (handleNavigationKey(event, isShortcutOverride) || handleSpellingKey(event, isShortcutOverride) ||
        handleSuggestionKey(event, isShortcutOverride))
        return true;
    const int key = event->key();
    if (currentCatalogueId >= 0 && key == Qt::Key_F && (event->modifiers() & Qt::ControlModifier)) {
        if (isShortcutOverride) {
            event->accept();
            return true;
        }
        OnSearch();
        return true;
    }
    if (key == Qt::Key_Escape && m_search) {
        if (isShortcutOverride) {
            event->accept();
            return true;
        }
        CancelSearch();
        return true;
    }
    if (currentCatalogueId >= 0 && key == Qt::Key_F3 && !searchText.isEmpty()) {
        if (isShortcutOverride) {
            event->accept();
            return true;
        }
        FindNext();
        return true;
    }
    if (!lastEditValid && (key == Qt::Key_Up || key == Qt::Key_Down))
        return !isShortcutOverride;
    return false;
}

void CRendaroView::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CRendaroView::dropEvent(QDropEvent *event)
{
    QStringList paths;
    for (const QUrl &url : event->mimeData()->urls())
        paths.append(url.isLocalFile() ? url.toLocalFile() : url.toString());
    event->acceptProposedAction();
    OnDropFiles(paths);
}

void CRendaroView::bindCommands(CommandActions &commands)
{
    m_commands = &commands;
    commands.handle(Command::FileNew, this, &CRendaroView::OnFileNew);
    commands.handle(Command::FileOpen, this, &CRendaroView::OnFileOpen);
    commands.handle(Command::FileSave, this, &CRendaroView::OnFileSave);
    commands.handle(Command::FileSaveAs, this, &CRendaroView::OnFileSaveAs);
    commands.handle(Command::SaveNonTranslated, this, &CRendaroView::OnSaveNonTranslated);
    commands.handle(Command::EditCut, this, &CRendaroView::OnEditCut);
    commands.handle(Command::EditCopy, this, &CRendaroView::OnEditCopy);
    commands.handle(Command::EditPaste, this, &CRendaroView::OnEditPaste);
    commands.handle(Command::Search, this, &CRendaroView::OnSearch);
    commands.handle(Command::HideTranslated, this, &CRendaroView::OnHideTranslated);
    commands.handle(Command::ImportString, this, &CRendaroView::OnImportString);
    commands.handle(Command::OpenLanguageFolder, this, &CRendaroView::OnOpenLanguageFolder);
    commands.handle(Command::ReplaceOriginal, this, &CRendaroView::OnReplaceOriginal);
    commands.handle(Command::Settings, this, &CRendaroView::OnSettings);
    commands.handle(Command::SaveAsJs, this, [this] { OnExportScript(ScriptJavaScript); });
    commands.handle(Command::SaveAsPhp, this, [this] { OnExportScript(ScriptPhp); });
    commands.handle(Command::GenerateAll, this, &CRendaroView::OnGenerateAll);
    commands.handle(Command::AddNewString, this, &CRendaroView::OnAddNewString);
    commands.handle(Command::GenerateZiv, this, &CRendaroView::OnGenerateZiv);
    // Navigation and the consistency report.
    commands.handle(Command::NextUntranslated, this, &CRendaroView::OnNextUntranslated);
    commands.handle(Command::PreviousUntranslated, this, &CRendaroView::OnPreviousUntranslated);
    commands.handle(Command::NextProblem, this, &CRendaroView::OnNextProblem);
    commands.handle(Command::PreviousProblem, this, &CRendaroView::OnPreviousProblem);
    commands.handle(Command::ConsistencyReport, this, &CRendaroView::OnConsistencyReport);
    commands.handle(Command::NextMisspelling, this, &CRendaroView::OnNextMisspelling);
    commands.handle(Command::PreviousMisspelling, this, &CRendaroView::OnPreviousMisspelling);
    // Undo, redo, find and replace.
    commands.handle(Command::EditUndo, this, &CRendaroView::OnEditUndo);
    commands.handle(Command::EditRedo, this, &CRendaroView::OnEditRedo);
    commands.handle(Command::FindReplace, this, &CRendaroView::OnFindReplace);
    commands.handle(Command::Filter, this, &CRendaroView::OnFilter);
    commands.handle(Command::ExportForTranslation, this, &CRendaroView::OnExportForTranslation);
    commands.handle(Command::ImportTranslations, this, &CRendaroView::OnImportTranslations);
    connect(&commands, &CommandActions::aboutToShowMenu, this, &CRendaroView::updateCommandStates);
    updateCommandStates();
}

void CRendaroView::updateCommandStates()
{
    if (!m_commands)
        return;
    const bool editing = m_grid->isEditing();
    m_commands->action(Command::Search)->setEnabled(m_grid->GetItemCount() > 0);
    m_commands->action(Command::EditCut)->setEnabled(editing);
    m_commands->action(Command::EditCopy)->setEnabled(editing);
    m_commands->action(Command::EditPaste)->setEnabled(m_clipboardHasText);
    QAction *hide = m_commands->action(Command::HideTranslated);
    hide->setEnabled(currentCatalogueId >= 0);
    hide->setChecked(hideTranslated);
    m_commands->action(Command::ImportString)->setEnabled(currentCatalogueId >= 0);
    m_commands->action(Command::GenerateAll)->setEnabled(currentCatalogueId > 0);
    // Apply To is the frame's command; it needs a single file shown (not
    // strings pasted after New, which have no file to apply).
    m_commands->action(Command::ApplyTo)->setEnabled(currentCatalogueId >= 1 && !currentPath.isEmpty());
    // Navigation and the consistency report.
    const bool hasRows = m_grid->GetItemCount() > 0;
    for (Command command : {Command::NextUntranslated, Command::PreviousUntranslated, Command::NextProblem,
                            Command::PreviousProblem, Command::NextMisspelling, Command::PreviousMisspelling})
        m_commands->action(command)->setEnabled(hasRows);
    m_commands->action(Command::ConsistencyReport)->setEnabled(currentCatalogueId == 0);
    updateUndoActions();
    m_commands->action(Command::FindReplace)->setEnabled(currentCatalogueId >= 0);
    m_commands->action(Command::Filter)->setEnabled(currentCatalogueId >= 0);
    m_commands->action(Command::ExportForTranslation)->setEnabled(currentCatalogueId >= 0);
    m_commands->action(Command::ImportTranslations)->setEnabled(currentCatalogueId >= 0);
    updateMemoryCommandStates();
}
