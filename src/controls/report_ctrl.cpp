#include "controls/report_ctrl.h"

#include "controls/column_share.h"
#include "controls/report_cell_delegate.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <QWheelEvent>

CReportCtrl::CReportCtrl(QWidget *parent)
    : QTableView(parent), m_model(new ReportRowModel(this)), m_delegate(new ReportCellDelegate(this)),
      m_editor(new QLineEdit(viewport()))
{
    // What screen readers read of a cell's marks.
    m_model->setCellNote([this](int row, int column) { return m_delegate->cellMark(m_model->index(row, column)); });
    setModel(m_model);
    setItemDelegate(m_delegate);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setSortingEnabled(false);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Rows tall enough for the editor, so it covers its cell exactly.
    verticalHeader()->setDefaultSectionSize(
        std::max(fontMetrics().height() + 8, m_editor->minimumSizeHint().height()));

    m_editor->hide();
    m_editor->installEventFilter(this);
}

CReportCtrl::~CReportCtrl()
{
    // Teardown is not an edit: nothing is committed.
    m_editRow = m_editColumn = -1;
    delete m_editor;  // it may live in the grid's parent
}

int CReportCtrl::InsertColumn(int column, const QString &heading, Qt::Alignment alignment, int width)
{
    EndEdit(true);
    column = m_model->insertColumn(column, heading, alignment);
    horizontalHeader()->resizeSection(column, width);
    return column;
}

void CReportCtrl::DisableHeaderClicks()
{
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setSortIndicatorShown(false);
}

void CReportCtrl::EnableCheckboxes()
{
    EndEdit(true);
    m_model->setCheckboxes(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setShowGrid(true);
}

void CReportCtrl::SetEditableColumn(int column)
{
    if (!m_editableColumns.contains(column))
        m_editableColumns.append(column);
}

bool CReportCtrl::IsColumnEditable(int column) const { return m_editableColumns.contains(column); }

void CReportCtrl::InsertRow(int row, const QString &firstText)
{
    EndEdit(true);
    m_model->insertRow(row, firstText);
}

void CReportCtrl::SetKeyedRows(std::vector<quint32> &&keys, bool keepOverrides)
{
    EndEdit(false);
    m_model->setKeyedRows(std::move(keys), keepOverrides);
}

void CReportCtrl::InsertKeyedRow(int row, quint32 key)
{
    EndEdit(true);
    m_model->insertKeyedRow(row, key);
}

int CReportCtrl::DeleteAllRows()
{
    EndEdit(false);
    const int count = m_model->rows();
    m_model->removeAllRows();
    return count;
}

void CReportCtrl::DeleteItem(int row)
{
    EndEdit(false);
    m_model->removeRow(row);
}

void CReportCtrl::SetCellText(int row, const QString &text)
{
    EndEdit(true);
    m_model->setText(row, 1, text);
}

void CReportCtrl::SetCellBackground(int column, int row, QRgb colour) { m_model->setBackColour(column, row, colour); }

int CReportCtrl::GetRowStates(int row) const
{
    int states = m_model->isChecked(row) ? RowChecked : RowUnchecked;
    const bool selected = m_model->isValidRow(row) && selectionModel()->isRowSelected(row, QModelIndex());
    states |= selected ? RowSelected : RowUnselected;
    states |= m_model->isValidRow(row) && currentIndex().row() == row ? RowFocused : RowUnfocused;
    return states;
}

void CReportCtrl::EnsureVisible(int row)
{
    if (m_model->isValidRow(row))
        scrollTo(m_model->index(row, std::max(0, currentIndex().column())), QAbstractItemView::EnsureVisible);
}

void CReportCtrl::SelectOnly(int row, int column)
{
    if (!m_model->isValidRow(row))
        return;
    selectionModel()->setCurrentIndex(m_model->index(row, std::clamp(column, 0, std::max(0, m_model->columns() - 1))),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int CReportCtrl::FirstSelectedRow() const
{
    int first = -1;
    for (const QItemSelectionRange &range : selectionModel()->selection()) {
        if (first < 0 || range.top() < first)
            first = range.top();
    }
    return first;
}

void CReportCtrl::SetEditor(QLineEdit *editor)
{
    EndEdit(false);
    delete m_editor;
    m_editor = editor;
    m_editor->setParent(viewport());
    m_editor->hide();
    m_editor->installEventFilter(this);
    verticalHeader()->setDefaultSectionSize(
        std::max(fontMetrics().height() + 8, m_editor->minimumSizeHint().height()));
}

int CReportCtrl::AddCellMark(int column, CellMarkStyle style, std::function<QString(int row)> mark)
{
    const int id = m_delegate->addCellMark(column, style, std::move(mark));
    MarksChanged();
    return id;
}

void CReportCtrl::RemoveCellMark(int id)
{
    m_delegate->removeCellMark(id);
    MarksChanged();
}

int CReportCtrl::AddCellUnderlines(int column, QRgb colour, std::function<QList<CellUnderline>(int row)> underlines)
{
    const int id = m_delegate->addCellUnderlines(column, colour, std::move(underlines));
    MarksChanged();
    return id;
}

void CReportCtrl::RemoveCellUnderlines(int id)
{
    m_delegate->removeCellUnderlines(id);
    MarksChanged();
}

QList<CellUnderline> CReportCtrl::CellUnderlines(int row, int column) const
{
    return m_delegate->cellUnderlines(m_model->index(row, column));
}

QRect CReportCtrl::CellUnderlineRect(int row, int column, const CellUnderline &underline) const
{
    const QModelIndex index = m_model->index(row, column);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    return m_delegate->underlineRect(option, index, underline);
}

void CReportCtrl::MarksChanged() { viewport()->update(); }

bool CReportCtrl::isValidCell(int row, int column) const
{
    return IsColumnEditable(column) && m_model->isValidRow(row) && column >= 0 && column < m_model->columns();
}

bool CReportCtrl::StartEdit(int column, int row)
{
    if (!isValidCell(row, column))
        return false;
    if (row == m_editRow && column == m_editColumn)
        return true;
    EndEdit(true);
    // The parent may have changed the rows while handling that commit.
    if (!isValidCell(row, column))
        return false;

    keepEditing = true;
    m_editStartText = m_model->text(row, column);
    m_editRow = row;
    m_editColumn = column;
    SelectOnly(row, column);
    scrollTo(m_model->index(row, column), QAbstractItemView::EnsureVisible);

    m_editor->setAlignment(m_model->columnAlignment(column) | Qt::AlignVCenter);
    m_editor->setFont(font());
    m_editor->setAccessibleName(m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
    m_editor->setText(m_editStartText);
    // The editor lives beside the grid in its parent, where assistive tools
    // find it among the window's widgets; a grid without a parent keeps it
    // in its own viewport.
    QWidget *host = parentWidget() ? parentWidget() : viewport();
    if (m_editor->parentWidget() != host)
        m_editor->setParent(host);
    placeEditor();
    m_editor->show();
    m_editor->selectAll();
    m_editor->setFocus(Qt::OtherFocusReason);
    emit editingChanged();
    return true;
}

bool CReportCtrl::EndEdit(bool commit)
{
    if (!isEditing())
        return false;
    const int row = m_editRow;
    const int column = m_editColumn;
    const QString text = m_editor->text();
    const QString cellText = m_model->text(row, column);
    bool changed;
    if (validateEdits)
        changed = commit && (text != m_editStartText || text != cellText);
    else
        changed = commit && text != cellText;

    if (changed) {
        m_model->setText(row, column, text);
        emit editCommitted(row, column);
        if (!keepEditing)
            m_model->settleRow(row);  // the source holds the accepted text now
    } else {
        keepEditing = false;
    }

    // The handler may have closed this edit or changed the rows.
    if (validateEdits && keepEditing && row == m_editRow && column == m_editColumn && isEditing()) {
        m_editor->selectAll();
        m_editor->setFocus(Qt::OtherFocusReason);
        return true;
    }
    closeEditor();
    return changed;
}

void CReportCtrl::closeEditor()
{
    const bool wasOpen = m_editRow >= 0 || m_editColumn >= 0;
    const bool hadFocus = m_editor->hasFocus();
    m_editRow = m_editColumn = -1;
    m_editor->hide();
    if (hadFocus)
        setFocus(Qt::OtherFocusReason);
    if (wasOpen)
        emit editingChanged();
}

QRect CReportCtrl::labelRect(int row, int column) const
{
    const QModelIndex index = m_model->index(row, column);
    QRect rect = visualRect(index);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = rect;
    const QRect check = m_delegate->checkBoxRect(option, index);
    if (!check.isEmpty())
        rect.setLeft(check.right() + 1);
    return rect;
}

void CReportCtrl::placeEditor()
{
    if (!isEditing())
        return;
    // Over the cell, clipped to the visible part of the rows.
    const QRect visible = labelRect(m_editRow, m_editColumn).intersected(viewport()->rect());
    const QPoint offset = viewport()->mapTo(m_editor->parentWidget(), QPoint(0, 0));
    m_editor->setGeometry(visible.translated(offset));
    m_editor->raise();
}

void CReportCtrl::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    placeEditor();
}

void CReportCtrl::updateGeometries()
{
    QTableView::updateGeometries();
    placeEditor();
}

bool CReportCtrl::isOnCheckBox(const QModelIndex &index, const QPoint &position) const
{
    if (!index.isValid() || index.column() != 0 || !m_model->hasCheckboxes())
        return false;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    return m_delegate->checkBoxRect(option, index).contains(position);
}

void CReportCtrl::mousePressEvent(QMouseEvent *event) { handleMouseButton(event, false); }

void CReportCtrl::mouseDoubleClickEvent(QMouseEvent *event) { handleMouseButton(event, true); }

void CReportCtrl::handleMouseButton(QMouseEvent *event, bool doubleClick)
{
    const Qt::MouseButton button = event->button();
    if (button != Qt::LeftButton && button != Qt::MiddleButton && button != Qt::RightButton) {
        event->ignore();
        return;
    }
    const QPoint position = event->position().toPoint();
    const QModelIndex hit = indexAt(position);
    const int row = hit.isValid() ? hit.row() : -1;
    const int column = hit.isValid() ? hit.column() : -1;
    const bool wasChecked = m_model->isChecked(row);
    const bool wasEditing = isEditing();

    EndEdit(true);

    const bool left = button == Qt::LeftButton;
    const bool wasSelectedAndFocused =
        left && row >= 0 && (GetRowStates(row) & (RowSelected | RowFocused)) == (RowSelected | RowFocused);

    if (validateEdits && keepEditing && isEditing()) {
        // A refused edit is still open: the click is not acted on.
        m_swallowingMouse = true;
        event->accept();
        return;
    }
    m_swallowingMouse = false;
    // The view's own handling: selection and the current row. A double
    // click selects as a press does.
    if (doubleClick) {
        QMouseEvent press(QEvent::MouseButtonPress, event->position(), event->scenePosition(),
                          event->globalPosition(), button, event->buttons(), event->modifiers());
        QTableView::mousePressEvent(&press);
    } else {
        QTableView::mousePressEvent(event);
    }
    if (left && isOnCheckBox(hit, position))
        m_model->setChecked(row, !wasChecked);

    bool handled = false;
    if (m_model->isValidRow(row) && m_model->isChecked(row) != wasChecked) {
        SelectOnly(row, column);
        MouseCause cause;
        if (button == Qt::LeftButton)
            cause = doubleClick ? MouseCause::LeftDoubleClick : MouseCause::LeftDown;
        else if (button == Qt::MiddleButton)
            cause = doubleClick ? MouseCause::MiddleDoubleClick : MouseCause::MiddleDown;
        else
            cause = doubleClick ? MouseCause::RightDoubleClick : MouseCause::RightDown;
        emit checkChanged(row, cause);
        m_model->settleRow(row);
        handled = true;
    }
    if (left && IsColumnEditable(column) && !handled && !wasEditing && wasSelectedAndFocused)
        StartEdit(column, row);
}

void CReportCtrl::mouseMoveEvent(QMouseEvent *event)
{
    if (m_swallowingMouse)
        return;
    QTableView::mouseMoveEvent(event);
}

void CReportCtrl::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_swallowingMouse) {
        m_swallowingMouse = false;
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

void CReportCtrl::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        event->accept();  // the space bar never toggles a check box
        return;
    }
    if (event->key() == Qt::Key_F2 && event->modifiers() == Qt::NoModifier && currentIndex().isValid()) {
        // Keyboard users open the editor on the current row's editable cell.
        for (int column = 0; column < m_model->columns(); ++column) {
            if (IsColumnEditable(column)) {
                StartEdit(column, currentIndex().row());
                break;
            }
        }
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void CReportCtrl::wheelEvent(QWheelEvent *event)
{
    EndEdit(true);
    QTableView::wheelEvent(event);
}

void CReportCtrl::moveEdit(int rowStep)
{
    const int row = m_editRow + rowStep;
    const int column = m_editColumn;
    EndEdit(true);
    if (StartEdit(column, row))
        EnsureVisible(row);
}

bool CReportCtrl::handleEditorKey(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
        const int row = m_editRow;
        const int next = m_editColumn + 1 < m_model->columns() ? m_editColumn + 1 : 0;
        EndEdit(true);
        StartEdit(next, row);
        return true;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        EndEdit(true);
        return true;
    case Qt::Key_Escape:
        EndEdit(false);
        return true;
    case Qt::Key_Up:
        if (m_editRow > 0)
            moveEdit(-1);
        return true;  // on the first row nothing happens and the edit stays open
    case Qt::Key_Down:
        if (m_editRow < m_model->rows() - 1)
            moveEdit(1);
        return true;
    default:
        return false;
    }
}

void CReportCtrl::KeepFirstColumnShare()
{
    if (!m_columnShare)
        m_columnShare = new ColumnShare(*this);
}

QList<int> CReportCtrl::columnWidths() const
{
    QList<int> widths;
    for (int column = 0; column < m_model->columnCount(); ++column)
        widths.append(columnWidth(column));
    return widths;
}

void CReportCtrl::setColumnWidths(const QList<int> &widths)
{
    if (m_columnShare)
        m_columnShare->setWidths(widths);
}

bool CReportCtrl::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_editor && isEditing()) {
        if (event->type() == QEvent::KeyPress)
            return handleEditorKey(static_cast<QKeyEvent *>(event));
        if (event->type() == QEvent::Wheel) {
            EndEdit(true);
            QWheelEvent *wheel = static_cast<QWheelEvent *>(event);
            QTableView::wheelEvent(wheel);
            return true;
        }
    }
    return QTableView::eventFilter(watched, event);
}
