#pragma once
// View > Checks: a dock listing every warning of the shown file (check,
// original, message) in the file's order, filterable by check. Double-click
// or Enter on a warning selects its row in the grid; Ignore This Warning
// dismisses the one selected. The list follows every change of the entries
// (made again once the event loop is free, and only while it is shown).

#include "checks/ignore_marks.h"

#include <QAbstractTableModel>
#include <QDockWidget>
#include <QTimer>
#include <vector>

class CRendaroView;
class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

// The warnings the dock lists, one a row.
class WarningListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Row {
        QString checkId;
        QString checkName;
        QString original;
        QString message;
        IgnoreMark mark;
    };
    using QAbstractTableModel::QAbstractTableModel;
    void setRows(std::vector<Row> rows);
    const Row *rowAt(int row) const;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<Row> m_rows;
};

class CChecksDock : public QDockWidget {
    Q_OBJECT
public:
    explicit CChecksDock(CRendaroView &view, QWidget *parent = nullptr);

    QComboBox *checkChoice() const { return m_checkChoice; }
    QTableView *list() const { return m_list; }
    QPushButton *ignoreButton() const { return m_ignore; }
    const WarningListModel &model() const { return *m_model; }
    // Makes the list again now (it is made again by itself after changes).
    void refresh();

signals:
    void ignoreRequested(const IgnoreMark &mark);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void scheduleRefresh();
    void activate(const QModelIndex &index);
    void updateButtons();

    CRendaroView &m_view;
    QComboBox *m_checkChoice;
    QLabel *m_summary;
    QTableView *m_list;
    QPushButton *m_ignore;
    WarningListModel *m_model;
    QTimer m_refresh;
    bool m_stale = true;
};
