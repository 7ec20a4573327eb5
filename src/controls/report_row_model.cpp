#include "controls/report_row_model.h"

#include <QBrush>
#include <QColor>
#include <algorithm>

bool ReportRowModel::RowOverride::isEmpty() const
{
    if (checked)
        return false;
    return std::all_of(cells.begin(), cells.end(), [](const CellOverride &cell) { return cell.bits == 0; });
}

ReportRowModel::ReportRowModel(QObject *parent) : QAbstractTableModel(parent) {}

int ReportRowModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : rows(); }

int ReportRowModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : columns(); }

QVariant ReportRowModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !isValidRow(index.row()) || index.column() >= columns())
        return QVariant();
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return text(index.row(), column);
    case Qt::CheckStateRole:
        if (m_checkboxes && column == 0)
            return isChecked(index.row()) ? Qt::Checked : Qt::Unchecked;
        return QVariant();
    case Qt::BackgroundRole: {
        const QRgb colour = backColour(index.row(), column);
        return colour == kDefaultColour ? QVariant() : QVariant(QBrush(QColor::fromRgb(colour)));
    }
    case Qt::TextAlignmentRole:
        return int(columnAlignment(column) | Qt::AlignVCenter);
    case Qt::AccessibleDescriptionRole:
        if (m_note) {
            const QString note = m_note(index.row(), column);
            return note.isEmpty() ? QVariant() : QVariant(note);
        }
        return QVariant();
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
    m_columnBack.insert(m_columnBack.begin() + column, std::nullopt);
    for (auto &[key, row] : m_overrides) {
        if (column < row.cells.size())
            row.cells.insert(column, CellOverride());
    }
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
    if (!m_keys.empty() && columns() > 0)
        cellsChanged(0, rows() - 1, 0, 0, {Qt::CheckStateRole});
}

void ReportRowModel::setSource(const ReportRowSource *source)
{
    m_source = source;
    sourceChanged();
}

void ReportRowModel::sourceChanged()
{
    if (!m_keys.empty() && columns() > 0)
        cellsChanged(0, rows() - 1, 0, columns() - 1, {});
}

void ReportRowModel::rowChanged(int row)
{
    if (isValidRow(row) && columns() > 0)
        cellsChanged(row, row, 0, columns() - 1, {});
}

void ReportRowModel::insertRow(int row, const QString &firstText)
{
    row = std::clamp(row, 0, rows());
    const quint32 key = m_nextOwnKey++;
    beginInsertRows(QModelIndex(), row, row);
    m_keys.insert(m_keys.begin() + row, key);
    if (columns() > 0 && !firstText.isEmpty()) {
        CellOverride &cell = cellOverrideFor(key, 0);
        cell.text = firstText;
        cell.bits |= HasText;
    }
    endInsertRows();
}

void ReportRowModel::insertKeyedRow(int row, quint32 key)
{
    row = std::clamp(row, 0, rows());
    beginInsertRows(QModelIndex(), row, row);
    m_keys.insert(m_keys.begin() + row, key);
    endInsertRows();
}

void ReportRowModel::setKeyedRows(std::vector<quint32> &&keys, bool keepOverrides)
{
    beginResetModel();
    m_keys = std::move(keys);
    if (!keepOverrides) {
        m_overrides.clear();
        std::fill(m_columnBack.begin(), m_columnBack.end(), std::nullopt);
    }
    endResetModel();
}

void ReportRowModel::removeAllRows()
{
    if (m_keys.empty() && m_overrides.empty())
        return;
    beginResetModel();
    m_keys.clear();
    m_keys.shrink_to_fit();
    m_overrides.clear();
    std::fill(m_columnBack.begin(), m_columnBack.end(), std::nullopt);
    endResetModel();
}

void ReportRowModel::removeRow(int row)
{
    if (!isValidRow(row))
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_overrides.erase(m_keys[size_t(row)]);
    m_keys.erase(m_keys.begin() + row);
    endRemoveRows();
}

int ReportRowModel::rowOfKey(quint32 key) const
{
    const auto found = std::find(m_keys.rbegin(), m_keys.rend(), key);
    return found == m_keys.rend() ? -1 : int(m_keys.rend() - found) - 1;
}

QString ReportRowModel::sourceText(quint32 key, int column) const
{
    return isSourceKey(key) ? m_source->text(key, column) : QString();
}

bool ReportRowModel::sourceChecked(quint32 key) const { return isSourceKey(key) && m_source->isChecked(key); }

QRgb ReportRowModel::sourceBack(quint32 key, int column) const
{
    if (column >= 0 && size_t(column) < m_columnBack.size() && m_columnBack[size_t(column)])
        return *m_columnBack[size_t(column)];
    return isSourceKey(key) ? m_source->backColour(key, column) : kDefaultColour;
}

const ReportRowModel::CellOverride *ReportRowModel::cellOverride(quint32 key, int column) const
{
    if (m_overrides.empty())
        return nullptr;
    const auto found = m_overrides.find(key);
    if (found == m_overrides.end() || column < 0 || column >= found->second.cells.size())
        return nullptr;
    return &found->second.cells[column];
}

ReportRowModel::CellOverride &ReportRowModel::cellOverrideFor(quint32 key, int column)
{
    RowOverride &row = m_overrides[key];
    if (row.cells.size() <= column)
        row.cells.resize(std::max(column + 1, columns()));
    return row.cells[column];
}

void ReportRowModel::dropIfEmpty(quint32 key)
{
    const auto found = m_overrides.find(key);
    if (found != m_overrides.end() && found->second.isEmpty())
        m_overrides.erase(found);
}

QString ReportRowModel::text(int row, int column) const
{
    if (!isValidRow(row) || column < 0 || column >= columns())
        return QString();
    const quint32 key = m_keys[size_t(row)];
    const CellOverride *cell = cellOverride(key, column);
    return cell && (cell->bits & HasText) ? cell->text : sourceText(key, column);
}

void ReportRowModel::setText(int row, int column, const QString &text)
{
    if (!isValidRow(row) || column < 0 || column >= columns())
        return;
    const quint32 key = m_keys[size_t(row)];
    if (isSourceKey(key) && sourceText(key, column) == text) {
        if (m_overrides.count(key)) {
            CellOverride &cell = cellOverrideFor(key, column);
            cell.bits &= ~HasText;
            cell.text.clear();
            dropIfEmpty(key);
        }
    } else {
        CellOverride &cell = cellOverrideFor(key, column);
        cell.text = text;
        cell.bits |= HasText;
    }
    cellsChanged(row, row, column, column, {Qt::DisplayRole, Qt::EditRole});
}

bool ReportRowModel::isChecked(int row) const
{
    if (!isValidRow(row))
        return false;
    const quint32 key = m_keys[size_t(row)];
    if (!m_overrides.empty()) {
        const auto found = m_overrides.find(key);
        if (found != m_overrides.end() && found->second.checked)
            return *found->second.checked;
    }
    return sourceChecked(key);
}

void ReportRowModel::setChecked(int row, bool checked)
{
    if (!isValidRow(row) || isChecked(row) == checked)
        return;
    const quint32 key = m_keys[size_t(row)];
    if (isSourceKey(key) && sourceChecked(key) == checked) {
        m_overrides[key].checked.reset();
        dropIfEmpty(key);
    } else {
        m_overrides[key].checked = checked;
    }
    cellsChanged(row, row, 0, 0, {Qt::CheckStateRole});
}

QRgb ReportRowModel::backColour(int row, int column) const
{
    if (!isValidRow(row) || column < 0 || column >= columns())
        return kDefaultColour;
    const quint32 key = m_keys[size_t(row)];
    const CellOverride *cell = cellOverride(key, column);
    return cell && (cell->bits & HasBack) ? cell->back : sourceBack(key, column);
}

void ReportRowModel::setBackColour(int column, int row, QRgb colour)
{
    if (m_keys.empty() || columns() == 0)
        return;
    const bool allRows = !isValidRow(row);
    const bool allColumns = column < 0 || column >= columns();
    const int firstColumn = allColumns ? 0 : column, lastColumn = allColumns ? columns() - 1 : column;
    if (allRows) {
        // One colour for the whole column: the rows' own colours there go.
        for (int c = firstColumn; c <= lastColumn; ++c)
            m_columnBack[size_t(c)] = colour;
        for (auto it = m_overrides.begin(); it != m_overrides.end();) {
            for (int c = firstColumn; c <= lastColumn && c < it->second.cells.size(); ++c)
                it->second.cells[c].bits &= ~HasBack;
            it = it->second.isEmpty() ? m_overrides.erase(it) : std::next(it);
        }
        cellsChanged(0, rows() - 1, firstColumn, lastColumn, {Qt::BackgroundRole});
        return;
    }
    const quint32 key = m_keys[size_t(row)];
    for (int c = firstColumn; c <= lastColumn; ++c) {
        CellOverride &cell = cellOverrideFor(key, c);
        cell.back = colour;
        cell.bits |= HasBack;
    }
    cellsChanged(row, row, firstColumn, lastColumn, {Qt::BackgroundRole});
}

void ReportRowModel::settleRow(int row)
{
    if (!isValidRow(row))
        return;
    const quint32 key = m_keys[size_t(row)];
    const auto found = m_overrides.find(key);
    if (found == m_overrides.end() || !isSourceKey(key))
        return;
    RowOverride &record = found->second;
    for (int column = 0; column < record.cells.size(); ++column) {
        CellOverride &cell = record.cells[column];
        if ((cell.bits & HasText) && cell.text == sourceText(key, column)) {
            cell.bits &= ~HasText;
            cell.text.clear();
        }
    }
    if (record.checked && *record.checked == sourceChecked(key))
        record.checked.reset();
    dropIfEmpty(key);
}

void ReportRowModel::cellsChanged(int firstRow, int lastRow, int firstColumn, int lastColumn,
                                  const QList<int> &roles)
{
    emit dataChanged(index(firstRow, firstColumn), index(lastRow, lastColumn), roles);
}

void ReportRowModel::setCellNote(std::function<QString(int row, int column)> note)
{
    m_note = std::move(note);
}
