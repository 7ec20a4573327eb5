#include "controls/report_row_model.h"

#include <QBrush>
#include <QColor>

ReportRowModel::ReportRowModel(QObject *parent) : QAbstractTableModel(parent) {}

int ReportRowModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : rows(); }

int ReportRowModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : columns(); }

QVariant ReportRowModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !isValidRow(index.row()) || index.column() >= columns())
        return QVariant();
    const ReportRow &row = m_rows[size_t(index.row())];
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return column < row.cells.size() ? row.cells[column].text : QString();
    case Qt::CheckStateRole:
        if (m_checkboxes && column == 0)
            return row.checked ? Qt::Checked : Qt::Unchecked;
        return QVariant();
    case Qt::BackgroundRole: {
        const QRgb colour = backColour(index.row(), column);
        return colour == kDefaultColour ? QVariant() : QVariant(QBrush(QColor::fromRgb(colour)));
    }
    case Qt::ForegroundRole: {
        const QRgb colour = textColour(index.row(), column);
        return colour == kDefaultColour ? QVariant() : QVariant(QBrush(QColor::fromRgb(colour)));
    }
    case Qt::TextAlignmentRole:
        return int(columnAlignment(column) | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

QVariant ReportRowModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section >= 0 && section < columns()) {
        if (role == Qt::DisplayRole)
            return m_headings[section];
        if (role == Qt::TextAlignmentRole)
            return int(m_alignments[section] | Qt::AlignVCenter);
        return QVariant();
    }
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return section + 1;
    return QVariant();
}

Qt::ItemFlags ReportRowModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_checkboxes && index.column() == 0)
        flags |= Qt::ItemIsUserCheckable;  // the grid toggles it; the flag tells assistive tools
    return flags;
}

int ReportRowModel::insertColumn(int column, const QString &heading, Qt::Alignment alignment)
{
    column = std::clamp(column, 0, columns());
    beginInsertColumns(QModelIndex(), column, column);
    m_headings.insert(column, heading);
    m_alignments.insert(column, alignment);
    for (ReportRow &row : m_rows)
        row.cells.insert(std::min<qsizetype>(column, row.cells.size()), ReportCell());
    endInsertColumns();
    return column;
}

Qt::Alignment ReportRowModel::columnAlignment(int column) const
{
    return column >= 0 && column < columns() ? m_alignments[column] : Qt::AlignLeft;
}

void ReportRowModel::setCheckboxes(bool on)
{
    if (m_checkboxes == on)
        return;
    m_checkboxes = on;
    if (!m_rows.empty() && columns() > 0)
        cellsChanged(0, rows() - 1, 0, 0, {Qt::CheckStateRole});
}

ReportRow ReportRowModel::makeRow(const QString &firstText) const
{
    ReportRow row;
    row.cells.resize(std::max(columns(), 1));
    row.cells[0].text = firstText;
    return row;
}

void ReportRowModel::insertRow(int row, const QString &firstText)
{
    row = std::clamp(row, 0, rows());
    beginInsertRows(QModelIndex(), row, row);
    m_rows.insert(m_rows.begin() + row, makeRow(firstText));
    endInsertRows();
}

void ReportRowModel::setRows(std::vector<ReportRow> &&rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    for (ReportRow &row : m_rows) {
        if (row.cells.size() < columns())
            row.cells.resize(columns());
    }
    endResetModel();
}

void ReportRowModel::removeAllRows()
{
    if (m_rows.empty())
        return;
    beginResetModel();
    m_rows.clear();
    m_rows.shrink_to_fit();
    endResetModel();
}

void ReportRowModel::removeRow(int row)
{
    if (!isValidRow(row))
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

QString ReportRowModel::text(int row, int column) const
{
    if (!isValidRow(row))
        return QString();
    const ReportRow &record = m_rows[size_t(row)];
    return column >= 0 && column < record.cells.size() ? record.cells[column].text : QString();
}

void ReportRowModel::setText(int row, int column, const QString &text)
{
    if (!isValidRow(row) || column < 0 || column >= columns())
        return;
    ReportRow &record = m_rows[size_t(row)];
    if (record.cells.size() <= column)
        record.cells.resize(columns());
    record.cells[column].text = text;
    cellsChanged(row, row, column, column, {Qt::DisplayRole, Qt::EditRole});
}

bool ReportRowModel::isChecked(int row) const { return isValidRow(row) && m_rows[size_t(row)].checked; }

void ReportRowModel::setChecked(int row, bool checked)
{
    if (!isValidRow(row) || m_rows[size_t(row)].checked == checked)
        return;
    m_rows[size_t(row)].checked = checked;
    cellsChanged(row, row, 0, 0, {Qt::CheckStateRole});
}

QRgb ReportRowModel::backColour(int row, int column) const
{
    if (!isValidRow(row))
        return kDefaultColour;
    const ReportRow &record = m_rows[size_t(row)];
    return column >= 0 && column < record.cells.size() ? record.cells[column].backColour : kDefaultColour;
}

QRgb ReportRowModel::textColour(int row, int column) const
{
    if (!isValidRow(row))
        return kDefaultColour;
    const ReportRow &record = m_rows[size_t(row)];
    return column >= 0 && column < record.cells.size() ? record.cells[column].textColour : kDefaultColour;
}

void ReportRowModel::setBackColour(int column, int row, QRgb colour)
{
    if (m_rows.empty() || columns() == 0)
        return;
    const bool allRows = !isValidRow(row);
    const bool allColumns = column < 0 || column >= columns();
    const int firstRow = allRows ? 0 : row, lastRow = allRows ? rows() - 1 : row;
    const int firstColumn = allColumns ? 0 : column, lastColumn = allColumns ? columns() - 1 : column;
    for (int r = firstRow; r <= lastRow; ++r) {
        ReportRow &record = m_rows[size_t(r)];
        if (record.cells.size() < columns())
            record.cells.resize(columns());
        for (int c = firstColumn; c <= lastColumn; ++c)
            record.cells[c].backColour = colour;
    }
    cellsChanged(firstRow, lastRow, firstColumn, lastColumn, {Qt::BackgroundRole});
}

void ReportRowModel::cellsChanged(int firstRow, int lastRow, int firstColumn, int lastColumn,
                                  const QList<int> &roles)
{
    emit dataChanged(index(firstRow, firstColumn), index(lastRow, lastColumn), roles);
}
