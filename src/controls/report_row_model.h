#pragma once
// The rows of the report grid: one record per row owning the texts, the
// check state and the text and background colour of every cell. A colour of
// kDefaultColour stands for the palette's own (window text on window
// background), so rows follow a change of theme.

#include <QAbstractTableModel>
#include <QRgb>
#include <QString>
#include <QVarLengthArray>
#include <vector>

constexpr QRgb kDefaultColour = 0;  // fully transparent: "use the palette"

struct ReportCell {
    QString text;
    QRgb textColour = kDefaultColour;
    QRgb backColour = kDefaultColour;
};

struct ReportRow {
    QVarLengthArray<ReportCell, 2> cells;  // one per column
    bool checked = false;
};

class ReportRowModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ReportRowModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Columns: inserting one gives every row a default cell there.
    int insertColumn(int column, const QString &heading, Qt::Alignment alignment);
    Qt::Alignment columnAlignment(int column) const;
    void setCheckboxes(bool on);
    bool hasCheckboxes() const { return m_checkboxes; }

    // Rows.
    int rows() const { return int(m_rows.size()); }
    int columns() const { return int(m_headings.size()); }
    bool isValidRow(int row) const { return row >= 0 && row < rows(); }
    void insertRow(int row, const QString &firstText);
    // Replaces every row at once (one model reset, however many rows).
    void setRows(std::vector<ReportRow> &&rows);
    void removeAllRows();
    void removeRow(int row);
    // A row record with one default cell per column.
    ReportRow makeRow(const QString &firstText) const;

    QString text(int row, int column) const;
    void setText(int row, int column, const QString &text);
    bool isChecked(int row) const;
    void setChecked(int row, bool checked);
    QRgb backColour(int row, int column) const;
    QRgb textColour(int row, int column) const;
    // Row or column out of range stand for all rows or all columns.
    void setBackColour(int column, int row, QRgb colour);

private:
    void cellsChanged(int firstRow, int lastRow, int firstColumn, int lastColumn, const QList<int> &roles);

    std::vector<ReportRow> m_rows;
    QStringList m_headings;
    QList<Qt::Alignment> m_alignments;
    bool m_checkboxes = false;
};
