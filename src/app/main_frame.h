#pragma once
// The main window: menu, toolbar and status bar around the editor view.
// Closing it asks the view whether unsaved changes may go.

#include <QMainWindow>
#include <memory>

class CommandActions;
class CRendaroView;
class EditorFeatures;
class CSuggestionsDock;
class QLabel;
class QMenu;
class QSettings;
class QToolBar;
class RecentFileList;
class UserPrompts;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(UserPrompts &prompts, QSettings &settings, QWidget *parent = nullptr);
    ~CMainFrame() override;

    CRendaroView *view() const { return m_view; }
    EditorFeatures &features() const { return *m_features; }
    CommandActions *commands() const { return m_commands; }
    RecentFileList &recentFiles() const { return *m_recentFiles; }
    QToolBar *toolBar() const { return m_toolBar; }
    QMenu *fileMenu() const { return m_fileMenu; }
    QLabel *messagePane() const { return m_messagePane; }
    CSuggestionsDock *suggestionsDock() const { return m_suggestionsDock; }

    // Opens the n-th file of the recent-file list (0 is the most recent).
    void OpenRecentFile(int index);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenu();
    void buildToolBar();
    void buildStatusBar();
    void updateRecentFileMenu();

    UserPrompts &m_prompts;
    QSettings &m_settings;
    CommandActions *m_commands;
    CRendaroView *m_view;
    std::unique_ptr<EditorFeatures> m_features;  // destroyed before the view
    std::unique_ptr<RecentFileList> m_recentFiles;
    QToolBar *m_toolBar = nullptr;
    QMenu *m_fileMenu = nullptr;
    QAction *m_recentEnd = nullptr;  // separator after the recent files
    QList<QAction *> m_recentActions;
    QLabel *m_messagePane = nullptr;
    CSuggestionsDock *m_suggestionsDock = nullptr;
};
