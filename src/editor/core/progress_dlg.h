#pragma once
// Progress of a long operation on the whole folder (saving or loading every
// file), in Qt's progress dialog: a caption, a bar from 0 to 100, the text of
// the current step and "Please wait....". The dialog blocks the program's
// other windows while it is shown. Steps reach the dialog at most every
// `updateInterval` milliseconds (and at the end); each update lets the
// program handle its pending events, so the windows repaint while the work
// goes on without a repaint for every small file.

#include "catalogue/progress_reporter.h"

#include <QElapsedTimer>
#include <QString>
#include <memory>

class QProgressDialog;
class QWidget;

class CProgressDlg : public ProgressReporter {
public:
    CProgressDlg(QWidget *owner, const QString &caption);
    ~CProgressDlg() override;

    void setTotal(int steps) override;
    void show() override;
    void step(const QString &text) override;
    void allowCancel() override;
    bool cancelled() const override;

    QProgressDialog *dialog() const { return m_dialog.get(); }

    QString caption;
    QString statusText;
    int total = 1;
    int done = 0;
    int updateInterval = 50;

private:
    void putFields();
    std::unique_ptr<QProgressDialog> m_dialog;
    QElapsedTimer m_sinceUpdate;
};
