#include "app/rendaro_app.h"

#include "app/about_dlg.h"
#include "app/main_frame.h"
#include "editor/core/command_actions.h"
#include "editor/core/rendaro_view.h"
#include "editor/editor_features.h"
#include "editor/recovery/recovery_journal.h"
#include "editor/core/user_prompts.h"

#include <QFileInfo>

CRendaroApp::CRendaroApp(UserPrompts &prompts, QSettings &settings) : m_prompts(prompts), m_settings(settings)
{
    setTheDocument(&m_document);
}

CRendaroApp::~CRendaroApp()
{
    m_frame.reset();  // the view closes its catalogues while the document exists
    setTheDocument(nullptr);
}

bool CRendaroApp::InitInstance(const QStringList &files)
{
    m_frame = std::make_unique<CMainFrame>(m_prompts, m_settings);
    m_frame->commands()->handle(Command::AppAbout, this, &CRendaroApp::OnAppAbout);
    m_frame->show();
    m_frame->view()->setFocus();
    if (!files.isEmpty())
        m_frame->view()->OpenPath(QFileInfo(files.first()).absoluteFilePath());
    else
        m_frame->features().recovery().OfferRecoveryAtStart();  // unsaved work an editor left behind
    return true;
}

void CRendaroApp::OnAppAbout()
{
    CAboutDlg dialog(m_frame.get());
    m_prompts.runDialog(dialog);
}
