#pragma once
// The rows of the report grid. A row is a key: the model keeps one number
// per row and asks a row source for what a keyed row shows, so a grid of a
// million rows costs four bytes a row and filling it copies no text. Rows
// inserted with a text of their own (insertRow) have no source behind them.
//
// Changes made through the model (a text, a check box, a background) are
// kept beside the keys, per row key, and shown in place of what the source
// says; a change back to the source's value drops the override. A colour of
// kDefaultColour stands for the palette's own (window text on window
// background), so rows follow a change of theme.

#include <QAbstractTableModel>
#include <QRgb>
#include <QString>
#include <QVarLengthArray>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

constexpr QRgb kDefaultColour = 0;  // fully transparent: "use the palette"

// What keyed rows show. Keys below ReportRowModel::kOwnKeys are the
// source's (an entry number, say), each on one row at most; a key the
// source no longer knows shows empty cells.
class ReportRowSource {
public:
    virtual ~ReportRowSource() = default;
    virtual QString text(quint32 key, int column) const = 0;
    virtual bool isChecked(quint32 key) const = 0;
    virtual QRgb backColour(quint32 key, int column) const = 0;
};

class ReportRowModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Rows inserted with a text of their own get keys from here up.
    static constexpr quint32 kOwnKeys = 0x80000000u;

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

    // The source of keyed rows (not owned; null: keyed rows are empty).
    void setSource(const ReportRowSource *source);
    // The source's cells changed in a way the model cannot see (a new
    // reference text, new settings): every shown cell is read again.
    void sourceChanged();
    // The source's cells of one row changed.
    void rowChanged(int row);

    // Rows.
    int rows() const { return int(m_keys.size()); }
    int columns() const { return int(m_headings.size()); }
    bool isValidRow(int row) const { return row >= 0 && row < rows(); }
    // A row of its own showing firstText in column 0.
    void insertRow(int row, const QString &firstText);
    // A row showing what the source gives for `key`.
    void insertKeyedRow(int row, quint32 key);
    // Replaces every row at once (one model reset, however many rows). The
    // overrides go, unless kept: a filter showing other rows of the same
    // source keeps what was changed in them.
    void setKeyedRows(std::vector<quint32> &&keys, bool keepOverrides = false);
    void removeAllRows();
    void removeRow(int row);
    quint32 keyAt(int row) const { return isValidRow(row) ? m_keys[size_t(row)] : kNoKey; }
    const std::vector<quint32> &keys() const { return m_keys; }
    // The last row with this key, -1 when none has it.
    int rowOfKey(quint32 key) const;
    static constexpr quint32 kNoKey = 0xffffffffu;

    // Whether a row key has a text, check box or colour of its own beside
    // what the source shows (a caller reading the source directly, to scan
    // many rows fast, reads such a row through text() instead).
    bool hasOverride(quint32 key) const { return !m_overrides.empty() && m_overrides.count(key) != 0; }
    QString text(int row, int column) const;
    void setText(int row, int column, const QString &text);
    bool isChecked(int row) const;
    void setChecked(int row, bool checked);
    QRgb backColour(int row, int column) const;
    // Row or column out of range stand for all rows or all columns.
    void setBackColour(int column, int row, QRgb colour);
    // Drops the row's overrides that equal what the source shows now (after
    // the source's data caught up with a change made in the grid).
    void settleRow(int row);

    // A note on cells (the texts of their marks: the misspelled words of a
    // translation, its warnings), read out as the cell's accessible
    // description; empty: none. The grid's delegate draws the marks.
    void setCellNote(std::function<QString(int row, int column)> note);

private:
    std::function<QString(int row, int column)> m_note;
    enum OverrideBit : quint8 { HasText = 1, HasBack = 2 };
    struct CellOverride {
        QString text;
        QRgb back = kDefaultColour;
        quint8 bits = 0;
    };
    struct RowOverride {
        QVarLengthArray<CellOverride, 2> cells;
        std::optional<bool> checked;
        bool isEmpty() const;
    };

    bool isSourceKey(quint32 key) const { return m_source && key < kOwnKeys; }
    QString sourceText(quint32 key, int column) const;
    bool sourceChecked(quint32 key) const;
    QRgb sourceBack(quint32 key, int column) const;
    const CellOverride *cellOverride(quint32 key, int column) const;
    CellOverride &cellOverrideFor(quint32 key, int column);
    void dropIfEmpty(quint32 key);
    void cellsChanged(int firstRow, int lastRow, int firstColumn, int lastColumn, const QList<int> &roles);

    std::vector<quint32> m_keys;
    std::unordered_map<quint32, RowOverride> m_overrides;
    std::vector<std::optional<QRgb>> m_columnBack;  // a background set for every row of a column
    const ReportRowSource *m_source = nullptr;
    quint32 m_nextOwnKey = kOwnKeys;
    QStringList m_headings;
    QList<Qt::Alignment> m_alignments;
    bool m_checkboxes = false;
};
