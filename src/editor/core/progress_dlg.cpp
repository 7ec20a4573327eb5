#include "editor/core/progress_dlg.h"

#include <QCoreApplication>
#include <QProgressDialog>

CProgressDlg::CProgressDlg(QWidget *owner, const QString &caption)
    : caption(caption), m_dialog(std::make_unique<QProgressDialog>(owner))
{
    m_dialog->setWindowModality(Qt::ApplicationModal);
    m_dialog->setCancelButton(nullptr);  // files are written one by one to the end
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setMinimumDuration(0);
    m_dialog->setMinimumWidth(420);
}

CProgressDlg::~CProgressDlg() = default;

void CProgressDlg::setTotal(int steps) { total = steps; }

void CProgressDlg::allowCancel() { m_dialog->setCancelButtonText(QObject::tr("Cancel")); }

bool CProgressDlg::cancelled() const { return m_dialog->wasCanceled(); }

void CProgressDlg::show()
{
    m_dialog->setWindowTitle(caption);
    m_dialog->setRange(0, 100);
    m_dialog->show();
    putFields();
}

void CProgressDlg::step(const QString &text)
{
    statusText = text;
    ++done;
    if (done >= total || !m_sinceUpdate.isValid() || m_sinceUpdate.elapsed() >= updateInterval)
        putFields();
}

void CProgressDlg::putFields()
{
    m_sinceUpdate.start();
    const QString wait = QStringLiteral("Please wait....");
    m_dialog->setLabelText(statusText.isEmpty() ? wait : statusText + u'\n' + wait);
    m_dialog->setValue(done < total && total > 0 ? done * 100 / total : 100);
    QCoreApplication::processEvents();  // when the value stayed, setValue did not
}
