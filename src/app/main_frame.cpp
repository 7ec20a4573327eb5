#include "app/main_frame.h"

#include "app/app_icon.h"
#include "app/key_lock_panes.h"
#include "app/recent_files.h"
#include "app/toolbar_icons.h"
#include "app/window_state.h"
#include "catalogue/messages.h"
#include "controls/status_panes.h"
#include "editor/core/command_actions.h"
#include "editor/core/rendaro_view.h"
#include "editor/checks/checks_dock.h"
#include "editor/checks/checks_feature.h"
#include "editor/counts/live_counts.h"
#include "editor/editor_features.h"
#include "editor/filter/filter_bar.h"
#include "editor/filter/quick_filter.h"
#include "editor/glossary/glossary_feature.h"
#include "editor/glossary/terms_dock.h"
#include "editor/preview/preview_dock.h"
#include "editor/preview/preview_feature.h"
#include "editor/recovery/recovery_journal.h"
#include "editor/spelling/spelling_feature.h"
#include "editor/spelling/spelling_session.h"
#include "editor/memory/suggestions_dock.h"
#include "editor/core/user_prompts.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

CMainFrame::CMainFrame(UserPrompts &prompts, QSettings &settings, QWidget *parent)
    : QMainWindow(parent), m_prompts(prompts), m_settings(settings), m_commands(new CommandActions(this)),
      m_view(new CRendaroView(prompts, this)), m_features(std::make_unique<EditorFeatures>(*m_view, m_commands)),
      m_recentFiles(new RecentFileList(settings))
{
    setWindowIcon(rendaroIcon());
    setWindowTitle(messageText(MsgAppName));
    setCentralWidget(m_view);
    // The translation memory's suggestions, under the grid.
    m_suggestionsDock = new CSuggestionsDock(this);
    addDockWidget(Qt::BottomDockWidgetArea, m_suggestionsDock);
    // Every warning of the file, beside the suggestions; hidden at first.
    CChecksDock *checksDock = m_features->checks().dock();
    addDockWidget(Qt::BottomDockWidgetArea, checksDock);
    tabifyDockWidget(m_suggestionsDock, checksDock);
    m_suggestionsDock->raise();
    checksDock->hide();
    // The dialog or menu of the selected string, beside the grid and the
    // suggestions, the whole height; hidden at first.
    setCorner(Qt::TopRightCorner, Qt::RightDockWidgetArea);
    setCorner(Qt::BottomRightCorner, Qt::RightDockWidgetArea);
    CPreviewDock *previewDock = m_features->preview().dock();
    addDockWidget(Qt::RightDockWidgetArea, previewDock);
    previewDock->hide();
    previewDock->toggleViewAction()->setText(tr("&Preview"));
    // The terms of the selected string, beside the grid above the Preview;
    // hidden at first.
    CTermsDock *termsDock = m_features->glossary().dock();
    addDockWidget(Qt::RightDockWidgetArea, termsDock);
    termsDock->hide();
    termsDock->toggleViewAction()->setText(tr("Te&rms"));
    buildMenu();
    buildToolBar();
    buildStatusBar();
    // On the first start the suggestions get a third of the height (room for
    // five on a usual screen) and the grid the rest; later the saved layout.
    if (!RestoreWindowState(*this, *m_view->grid(), m_features->filter().filterBar(), settings))
        resizeDocks({m_suggestionsDock}, {height() / 3}, Qt::Vertical);
    m_commands->action(Command::ViewToolbar)->setChecked(!m_toolBar->isHidden());
    m_commands->action(Command::ViewStatusBar)->setChecked(!statusBar()->isHidden());

    m_commands->handle(Command::AppExit, this, &QWidget::close);
    m_view->bindCommands(*m_commands);
    m_features->setupMemory(settings, m_suggestionsDock);
    m_features->setSettings(&settings);
    connect(m_view, &CRendaroView::fileOpened, this, [this](const QString &path) { m_recentFiles->add(path); });
    connect(m_view, &CRendaroView::fileSavedAs, this, [this](const QString &path) { m_recentFiles->add(path); });
}

CMainFrame::~CMainFrame()
{
    // The features go first; the view closes the document's catalogues
    // while the window still exists.
    m_features.reset();
    delete m_view;
}

void CMainFrame::buildMenu()
{
    CommandActions &c = *m_commands;
    auto add = [&c](QMenu *menu, std::initializer_list<Command> commands) {
        for (Command command : commands)
            menu->addAction(c.action(command));
    };
    QMenuBar *bar = menuBar();

    m_fileMenu = bar->addMenu(tr("&File"));
    add(m_fileMenu, {Command::FileNew, Command::FileOpen, Command::OpenLanguageFolder, Command::FileSave,
                     Command::FileSaveAs, Command::SaveNonTranslated, Command::SaveAsJs, Command::SaveAsPhp});
    m_fileMenu->addSeparator();
    add(m_fileMenu, {Command::ApplyTo, Command::ImportString, Command::GenerateAll});
    add(m_fileMenu, {Command::ExportForTranslation, Command::ImportTranslations, Command::ResolveConflicts});
    m_fileMenu->addSeparator();
    m_recentEnd = m_fileMenu->addSeparator();
    add(m_fileMenu, {Command::AppExit});
    connect(m_fileMenu, &QMenu::aboutToShow, this, &CMainFrame::updateRecentFileMenu);

    QMenu *edit = bar->addMenu(tr("&Edit"));
    add(edit, {Command::EditUndo});
    add(edit, {Command::EditRedo});
    add(edit, {Command::EditCut, Command::EditCopy, Command::EditPaste});
    edit->addSeparator();
    add(edit, {Command::Search});
    add(edit, {Command::FindReplace});
    add(edit, {Command::Filter});
    edit->addSeparator();
    add(edit, {Command::IgnoreWarning});

    QMenu *view = bar->addMenu(tr("&View"));
    add(view, {Command::ViewToolbar, Command::ViewStatusBar});
    view->addAction(m_suggestionsDock->toggleViewAction());
    view->addAction(m_features->checks().dock()->toggleViewAction());
    view->addAction(m_features->preview().dock()->toggleViewAction());
    view->addAction(m_features->glossary().dock()->toggleViewAction());
    view->addSeparator();
    add(view, {Command::HideTranslated, Command::ReplaceOriginal});

    QMenu *go = bar->addMenu(tr("&Go"));
    add(go, {Command::NextUntranslated, Command::PreviousUntranslated});
    go->addSeparator();
    add(go, {Command::NextProblem, Command::PreviousProblem});
    go->addSeparator();
    add(go, {Command::NextWarning, Command::PreviousWarning});
    go->addSeparator();
    add(go, {Command::NextMisspelling, Command::PreviousMisspelling});
    view->addSeparator();
    add(view, {Command::ConsistencyReport});

    QMenu *tool = bar->addMenu(tr("Tool"));
    add(tool, {Command::AddNewString, Command::GenerateZiv, Command::Settings, Command::Checks,
               Command::ProgramResources, Command::Glossary, Command::AddTerm});
    tool->addSeparator();
    add(tool, {Command::TranslationMemory, Command::PreTranslate});

    QMenu *help = bar->addMenu(tr("&Help"));
    add(help, {Command::AppAbout});

    for (QMenu *menu : {m_fileMenu, edit, view, go, tool, help})
        connect(menu, &QMenu::aboutToShow, m_commands, &CommandActions::aboutToShowMenu);
    updateRecentFileMenu();
}

void CMainFrame::updateRecentFileMenu()
{
    qDeleteAll(m_recentActions);
    m_recentActions.clear();
    const QStringList &files = m_recentFiles->files();
    if (files.isEmpty()) {
        auto *placeholder = new QAction(tr("Recent File"), m_fileMenu);
        placeholder->setEnabled(false);
        m_recentActions.append(placeholder);
    }
    for (int i = 0; i < files.size(); ++i) {
        auto *action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(files[i]), m_fileMenu);
        connect(action, &QAction::triggered, this, [this, i] { OpenRecentFile(i); });
        m_recentActions.append(action);
    }
    m_fileMenu->insertActions(m_recentEnd, m_recentActions);
}

void CMainFrame::OpenRecentFile(int index)
{
    const QStringList &files = m_recentFiles->files();
    if (index < 0 || index >= files.size())
        return;
    const QString path = files[index];
    // A file that cannot be opened any more leaves the list.
    if (m_view->OpenPath(path) == CRendaroView::OpenResult::Failed)
        m_recentFiles->remove(path);
}

void CMainFrame::buildToolBar()
{
    m_toolBar = addToolBar(tr("Toolbar"));
    m_toolBar->setObjectName(QStringLiteral("mainToolBar"));
    m_toolBar->setIconSize(QSize(16, 16));
    const std::initializer_list<Command> groups[] = {
        {Command::FileNew, Command::FileOpen, Command::FileSave},
        {Command::EditCut, Command::EditCopy, Command::EditPaste},
        {Command::AppAbout},
    };
    bool first = true;
    for (const auto &group : groups) {
        if (!first)
            m_toolBar->addSeparator();
        first = false;
        for (Command command : group) {
            QAction *action = m_commands->action(command);
            action->setIcon(toolbarIcon(command, *style()));
            m_toolBar->addAction(action);
        }
    }
    QAction *toggle = m_commands->action(Command::ViewToolbar);
    toggle->setChecked(true);
    m_commands->handle(Command::ViewToolbar, m_toolBar, &QWidget::setVisible);
    connect(m_toolBar, &QToolBar::visibilityChanged, toggle, &QAction::setChecked);
}

void CMainFrame::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    m_messagePane = new QLabel(messageText(MsgReady), bar);
    // On a narrow window the message gives way first, so the counts and the
    // panes beside them stay whole; its tool tip keeps the whole text.
    m_messagePane->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bar->addWidget(m_messagePane, 1);
    // The view's messages (a search that wrapped) and its live counts.
    connect(m_view, &CRendaroView::statusMessage, m_messagePane, [this](const QString &text) {
        m_messagePane->setText(text.isEmpty() ? messageText(MsgReady) : text);
        m_messagePane->setToolTip(text);
    });
    auto *lengthPane = new CEditLengthPane(bar);
    bar->addPermanentWidget(lengthPane);
    LiveCounts &counts = m_features->counts();
    connect(&counts, &LiveCounts::editLengthChanged, lengthPane, &CEditLengthPane::showLength);
    // "showing R of N": the rows Hide Translated Item and the filter leave.
    auto *rowsPane = new CRowsShownPane(bar);
    bar->addPermanentWidget(rowsPane);
    QuickFilter &filter = m_features->filter();
    connect(&filter, &QuickFilter::rowsShownChanged, rowsPane, [rowsPane](const QString &text) { rowsPane->showText(text); });
    rowsPane->showText(filter.rowsShownText());
    auto *countsPane = new CCountsPane(bar);
    bar->addPermanentWidget(countsPane);
    connect(&counts, &LiveCounts::countsChanged, countsPane, [countsPane](const QString &text) { countsPane->showText(text); });
    countsPane->showText(counts.countsText());
    auto *spellingPane = new CSpellingPane(bar);
    bar->addPermanentWidget(spellingPane);
    // The dictionary in a few words; why spelling is off in the tooltip.
    SpellingFeature &spelling = m_features->spelling();
    connect(&spelling, &SpellingFeature::spellingStatusChanged, spellingPane, [&spelling, spellingPane](const QString &text) {
        spellingPane->showText(spelling.spelling()->statusBrief(), text);
    });
    addKeyLockPanes(bar);
    QAction *toggle = m_commands->action(Command::ViewStatusBar);
    toggle->setChecked(true);
    m_commands->handle(Command::ViewStatusBar, bar, &QWidget::setVisible);
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    if (!m_features->recovery().PromptClose()) {
        event->ignore();
        return;
    }
    SaveWindowState(*this, *m_view->grid(), m_features->filter().filterBar(), m_settings);
    event->accept();
}
