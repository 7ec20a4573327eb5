#pragma once
// The application: owns the document and the main window, opens a file
// named on the command line, and shows the about box.

#include "catalogue/document.h"

#include <QObject>
#include <memory>

class CMainFrame;
class QSettings;
class UserPrompts;

class CRendaroApp : public QObject {
    Q_OBJECT
public:
    CRendaroApp(UserPrompts &prompts, QSettings &settings);
    ~CRendaroApp() override;

    // Creates and shows the main window; a file named by `files` (at most
    // one) is opened as the Open command does. False when start-up failed.
    bool InitInstance(const QStringList &files);
    void OnAppAbout();

    CMainFrame *mainFrame() const { return m_frame.get(); }
    CRendaroDoc &document() { return m_document; }

private:
    UserPrompts &m_prompts;
    QSettings &m_settings;
    CRendaroDoc m_document;
    std::unique_ptr<CMainFrame> m_frame;
};
