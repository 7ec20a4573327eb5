#include "editor/core/rendaro_view.h"

#include "catalogue/document.h"
#include "catalogue/messages.h"
#include "controls/underlined_line_edit.h"
#include "editor/core/command_actions.h"
#include "editor/core/view_private.h"

#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTimer>
#include <QUndoStack>
#include <QVBoxLayout>

CRendaroView::CRendaroView(UserPrompts &prompts, QWidget *parent)
    : QWidget(parent), m_prompts(prompts), m_grid(new CReportCtrl(this)), m_layout(new QVBoxLayout(this)),
      m_undoStack(new QUndoStack(this))
{
    // The in-place editor can underline stretches of its text (spelling
    // marks its words); it is given first, as the connections below use it.
    m_grid->SetEditor(new CUnderlinedLineEdit);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addWidget(m_grid);
    setFocusProxy(m_grid);
    m_filterTimer = new QTimer(this);
    m_filterTimer->setSingleShot(true);
    connect(m_filterTimer, &QTimer::timeout, this, &CRendaroView::continueFilterPass);
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
    m_grid->KeepFirstColumnShare();
    m_grid->validateEdits = true;
    // The grid's two messages: the handlers run inside the grid's call.
    connect(m_grid, &CReportCtrl::checkChanged, this, [this](int row) { onCheckChanged(row); },
            Qt::DirectConnection);
    connect(m_grid, &CReportCtrl::editCommitted, this, &CRendaroView::onEditCommitted, Qt::DirectConnection);
    connect(m_grid, &CReportCtrl::editingChanged, this, &CRendaroView::updateCommandStates);
    connect(m_grid->rowModel(), &QAbstractItemModel::modelReset, this, &CRendaroView::updateCommandStates);
    connect(m_grid->rowModel(), &QAbstractItemModel::rowsInserted, this, &CRendaroView::updateCommandStates);
    connect(m_grid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { emit selectionChanged(m_grid->FirstSelectedRow()); });
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        m_clipboardHasText = !QApplication::clipboard()->text().isEmpty();
        updateCommandStates();
    });
    m_clipboardHasText = !QApplication::clipboard()->text().isEmpty();
    // Undo: `modified` and the title follow the stack's clean state.
    connect(m_undoStack, &QUndoStack::indexChanged, this, &CRendaroView::syncModified);
    connect(m_undoStack, &QUndoStack::cleanChanged, this, &CRendaroView::syncModified);
    connect(m_grid->editor(), &QLineEdit::textChanged, this, &CRendaroView::updateUndoActions);

    setAcceptDrops(true);
    // Keys are looked at before the grid, its editor and the menu shortcuts
    // see them (see handleKey).
    qApp->installEventFilter(this);
}

CRendaroView::~CRendaroView()
{
    qApp->removeEventFilter(this);
    // The stack, a child, is cleared when it goes: this view must not hear of it.
    disconnect(m_undoStack, nullptr, this, nullptr);
    disconnect(m_grid->rowModel(), nullptr, this, nullptr);  // emptying the grid below
    m_grid->DeleteAllRows();
    m_grid->SetRowSource(nullptr);
    m_modified = false;
    m_path.clear();
    if (CRendaroDoc *document = theDocument())
        document->CloseCatalogue(-1);
}

const CXMLStruct *CRendaroView::shownCatalogue() const
{
    const CRendaroDoc *document = theDocument();
    return document ? document->findCatalogue(m_catalogueId) : nullptr;
}

QStringList CRendaroView::shownFiles() const
{
    QStringList files;
    if (m_catalogueId == 0 && theDocument()) {
        for (const CXMLStruct &catalogue : theDocument()->catalogues()) {
            if (catalogue.catalogueId >= 1 && !catalogue.filePath.isEmpty())
                files.append(catalogue.filePath);
        }
    } else if (m_catalogueId >= 1 && !m_path.isEmpty()) {
        files.append(m_path);
    }
    return files;
}

void CRendaroView::UpdateTitle(const QString &path, bool isModified)
{
    QString format;
    if (m_catalogueId == 0)
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
    m_modified = true;
    UpdateTitle(m_path, true);
}

void CRendaroView::addKeyHandler(QObject *owner, KeyHandler handler)
{
    m_keyHandlers.emplace_back(owner, std::move(handler));
}

void CRendaroView::addBar(QWidget *bar) { m_layout->insertWidget(m_layout->indexOf(m_grid), bar); }

bool CRendaroView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        // Only keys meant for this view's window, not for dialogs it opened.
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == window())
            return handleKey(static_cast<QKeyEvent *>(event), event->type() == QEvent::ShortcutOverride);
    }
    return QWidget::eventFilter(watched, event);
}

// The features' keys (Ctrl+F, Ctrl+K, F7, ...) come first; after a text
// failed a check the arrow keys cannot leave its row.
bool CRendaroView::handleKey(QKeyEvent *event, bool isShortcutOverride)
{
    for (const auto &[owner, handler] : m_keyHandlers) {
        if (owner && handler(event, isShortcutOverride))
            return true;
    }
    const int key = event->key();
    if (!m_lastEditValid && (key == Qt::Key_Up || key == Qt::Key_Down))
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
    commands.handle(Command::HideTranslated, this, &CRendaroView::OnHideTranslated);
    commands.handle(Command::Settings, this, &CRendaroView::OnSettings);
    commands.handle(Command::EditUndo, this, &CRendaroView::OnEditUndo);
    commands.handle(Command::EditRedo, this, &CRendaroView::OnEditRedo);
    connect(&commands, &CommandActions::aboutToShowMenu, this, &CRendaroView::updateCommandStates);
    updateCommandStates();
}

void CRendaroView::updateCommandStates()
{
    if (m_commands) {
        const bool editing = m_grid->isEditing();
        m_commands->action(Command::EditCut)->setEnabled(editing);
        m_commands->action(Command::EditCopy)->setEnabled(editing);
        m_commands->action(Command::EditPaste)->setEnabled(m_clipboardHasText);
        QAction *hide = m_commands->action(Command::HideTranslated);
        hide->setEnabled(m_catalogueId >= 0);
        hide->setChecked(m_hideTranslated);
        updateUndoActions();
    }
    emit commandStatesChanged();
}
