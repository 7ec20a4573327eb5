#pragma once
// The report grid: rows of cells with a check box per row, a background and
// text colour per cell, full-row selection and grid lines, and an in-place
// single-line editor for the cells of editable columns.
//
// Commits can be validated: with validateEdits set, a changed text is
// written into the cell and editCommitted is emitted (directly, so the
// parent's handler has run when the signal returns). The parent accepts by
// clearing keepEditing inside its handler; otherwise the editor stays open
// on the same cell with its text selected, and clicks in the grid are not
// acted on until the parent accepts or the user presses Esc.

#include "controls/report_cell_delegate.h"
#include "controls/report_row_model.h"

#include <QList>
#include <QTableView>
#include <functional>

class ColumnShare;
class QLineEdit;

class CReportCtrl : public QTableView {
    Q_OBJECT
public:
    // Bits of GetRowStates: exactly one of each pair is set.
    enum RowState {
        RowSelected = 0x02,
        RowUnselected = 0x04,
        RowChecked = 0x08,
        RowUnchecked = 0x10,
        RowFocused = 0x20,
        RowUnfocused = 0x40,
    };
    // The mouse action that changed a check box.
    enum class MouseCause { LeftDown, LeftDoubleClick, MiddleDown, MiddleDoubleClick, RightDown, RightDoubleClick };
    Q_ENUM(MouseCause)

    explicit CReportCtrl(QWidget *parent = nullptr);
    ~CReportCtrl() override;

    ReportRowModel *rowModel() const { return m_model; }
    QLineEdit *editor() const { return m_editor; }

    // Columns.
    int InsertColumn(int column, const QString &heading, Qt::Alignment alignment = Qt::AlignLeft, int width = 100);
    void DisableHeaderClicks();
    void EnableCheckboxes();
    void SetEditableColumn(int column);
    bool IsColumnEditable(int column) const;
    // The first of two columns keeps its share of the width (half at first,
    // then what the user drags it to); the second fills the rest.
    void KeepFirstColumnShare();
    // The columns' widths; setting them (as saved) sets the share.
    QList<int> columnWidths() const;
    void setColumnWidths(const QList<int> &widths);

    // Rows and cells.
    int GetItemCount() const { return m_model->rows(); }
    QString GetItemText(int row, int column) const { return m_model->text(row, column); }
    void SetItemText(int row, int column, const QString &text) { m_model->setText(row, column, text); }
    bool GetCheck(int row) const { return m_model->isChecked(row); }
    void SetCheck(int row, bool checked) { m_model->setChecked(row, checked); }
    // Ends any in-place edit, then inserts a row with default colours.
    void InsertRow(int row, const QString &firstText);
    // Rows shown from a row source (see ReportRowModel): the source is not
    // owned and must outlive the grid or be reset first.
    void SetRowSource(const ReportRowSource *source) { m_model->setSource(source); }
    // Ends any in-place edit (without commit) and replaces every row at once
    // by rows of these keys (keepOverrides: see ReportRowModel::setKeyedRows).
    void SetKeyedRows(std::vector<quint32> &&keys, bool keepOverrides = false);
    // Ends any in-place edit, then inserts a row of this key.
    void InsertKeyedRow(int row, quint32 key);
    quint32 GetRowKey(int row) const { return m_model->keyAt(row); }
    // Ends any in-place edit without commit and deletes every row; returns
    // how many there were.
    int DeleteAllRows();
    // Ends any in-place edit without commit and deletes the row.
    void DeleteItem(int row);
    // Ends any in-place edit with commit, then sets column 1 of the row.
    void SetCellText(int row, const QString &text);
    // A row outside the grid means every row, a column outside it every column.
    void SetCellBackground(int column, int row, QRgb colour);
    int GetRowStates(int row) const;
    void EnsureVisible(int row);
    // Clears the selection, then selects the row and makes it current.
    void SelectOnly(int row, int column = 0);
    // The lowest selected row, -1 when none is selected.
    int FirstSelectedRow() const;

    // Replaces the in-place editor by one of the caller's (such as one that
    // marks words); an open edit ends without commit. The grid owns it.
    void SetEditor(QLineEdit *editor);
    // A small mark of this style in the cells of `column` for which `mark`
    // gives a text (shown as the cell's tooltip and accessible description,
    // with the texts of the cell's other marks); an empty text, no mark. The
    // grid asks for the rows it paints; MarksChanged repaints them. Returns
    // the mark's id for RemoveCellMark.
    int AddCellMark(int column, CellMarkStyle style, std::function<QString(int row)> mark);
    void RemoveCellMark(int id);
    // Lines under stretches of the text in the cells of `column` (the
    // selected row's terms, say), each with its tooltip, also read out in
    // the cell's accessible description; see ReportCellDelegate. Returns
    // the id for RemoveCellUnderlines; MarksChanged repaints them.
    int AddCellUnderlines(int column, QRgb colour, std::function<QList<CellUnderline>(int row)> underlines);
    void RemoveCellUnderlines(int id);
    QList<CellUnderline> CellUnderlines(int row, int column) const;
    // Where the line under a stretch of a cell's text is drawn, in the
    // viewport's coordinates (empty when elided away).
    QRect CellUnderlineRect(int row, int column, const CellUnderline &underline) const;
    void MarksChanged();

    // In-place editing.
    bool StartEdit(int column, int row);
    bool EndEdit(bool commit);
    int editRow() const { return m_editRow; }
    int editColumn() const { return m_editColumn; }
    QString editStartText() const { return m_editStartText; }
    bool isEditing() const { return isValidCell(m_editRow, m_editColumn); }

    bool validateEdits = false;
    bool keepEditing = false;

signals:
    void checkChanged(int row, CReportCtrl::MouseCause cause);
    void editCommitted(int row, int column);
    // The in-place editor opened or closed.
    void editingChanged();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;

private:
    bool isValidCell(int row, int column) const;
    void handleMouseButton(QMouseEvent *event, bool doubleClick);
    bool isOnCheckBox(const QModelIndex &index, const QPoint &position) const;
    bool handleEditorKey(QKeyEvent *event);
    void moveEdit(int rowStep);
    QRect labelRect(int row, int column) const;
    void placeEditor();
    void closeEditor();

    ReportRowModel *m_model;
    ReportCellDelegate *m_delegate;
    ColumnShare *m_columnShare = nullptr;
    QLineEdit *m_editor;
    QList<int> m_editableColumns;
    int m_editRow = -1;
    int m_editColumn = -1;
    QString m_editStartText;
    bool m_swallowingMouse = false;  // a press was swallowed: so are its moves and release
};
