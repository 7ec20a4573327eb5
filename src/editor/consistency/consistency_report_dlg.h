#pragma once
// The consistency report of a language folder: every original that the
// loaded files translate differently, with each translation under it and
// the files holding that translation. Double-clicking a row, pressing Enter
// on it or Select closes the dialog with that row's original chosen, for
// the view to select in the grid.

#include "batch/consistency_report.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class CConsistencyReportDlg : public QDialog {
    Q_OBJECT
public:
    // `folder` is the language folder: files are shown relative to it.
    // `unsavedNote` adds that edits not yet saved are not compared.
    CConsistencyReportDlg(const ConsistencyReport &report, const QString &folder, bool unsavedNote,
                          QWidget *parent = nullptr);

    QTreeWidget *tree() const { return m_tree; }
    QLabel *summary() const { return m_summary; }
    QPushButton *selectButton() const { return m_select; }

    // Closes the dialog with the original of the item (or of its parent)
    // chosen; an item that belongs to no original does nothing.
    void chooseItem(QTreeWidgetItem *item);
    QString chosenOriginal;  // set by chooseItem

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fill(const ConsistencyReport &report, const QString &folder);

    QLabel *m_summary;
    QTreeWidget *m_tree;
    QPushButton *m_select;
};
