#pragma once
// Tool > Checks...: which warnings are on for the shown file's language, one
// box a check (its rule in the tooltip). The errors, which block an edit
// and a save, are not offered.

#include "checks/check.h"
#include "checks/check_switches.h"

#include <QDialog>
#include <vector>

class QListWidget;

class CChecksDlg : public QDialog {
    Q_OBJECT
public:
    explicit CChecksDlg(QWidget *parent = nullptr);

    // The warnings offered for the language (a three-letter code, empty for
    // files whose name names none), ticked as the switches say.
    void setChecks(const QString &languageCode, const std::vector<CheckInfo> &warnings, const CheckSwitches &switches);
    bool isOn(const QString &checkId) const;
    QListWidget *list() const { return m_list; }

private:
    QListWidget *m_list;
};
