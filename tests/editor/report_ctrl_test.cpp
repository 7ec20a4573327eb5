// The report grid on its own, with a parent that accepts or refuses edits.

#include "gui_test_registry.h"
#include "controls/report_ctrl.h"

#include <QAccessible>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace {

// Records the grid's two messages in order and answers commits as told.
struct Parent {
    explicit Parent(CReportCtrl &grid) : grid(grid)
    {
        QObject::connect(&grid, &CReportCtrl::editCommitted, &grid, [this](int row, int column) {
            events << QStringLiteral("commit %1,%2 %3").arg(row).arg(column).arg(this->grid.GetItemText(row, column));
            if (accept)
                this->grid.keepEditing = false;
        }, Qt::DirectConnection);
        QObject::connect(&grid, &CReportCtrl::checkChanged, &grid, [this](int row) {
            events << QStringLiteral("check %1 %2").arg(row).arg(this->grid.GetCheck(row));
        }, Qt::DirectConnection);
    }
    CReportCtrl &grid;
    bool accept = true;
    QStringList events;
};

// Keyed rows showing "nKEY" and "tKEY" (or a changed translation); odd
// keys checked unless told otherwise.
struct NumberRows : ReportRowSource {
    QString text(quint32 key, int column) const override
    {
        if (key >= limit)
            return QString();
        if (column == 1 && translations.contains(key))
            return translations.value(key);
        return (column == 0 ? QStringLiteral("n%1") : QStringLiteral("t%1")).arg(key);
    }
    bool isChecked(quint32 key) const override { return key < limit && (key % 2 == 1 || checked.contains(key)); }
    QRgb backColour(quint32 key, int column) const override { return key < limit && column == 1 ? colour : 0; }
    QHash<quint32, QString> translations;
    QSet<quint32> checked;
    quint32 limit = 100000;
    QRgb colour = qRgb(1, 2, 3);
};

} // namespace

class ReportCtrlTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CReportCtrl> grid;
    std::unique_ptr<Parent> parent;

    void click(int row, int column, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(grid->viewport(), button, Qt::NoModifier, cellCentre(row, column));
    }
    QPoint cellCentre(int row, int column) const
    {
        return grid->visualRect(grid->rowModel()->index(row, column)).center();
    }
    QPoint checkBoxCentre(int row) const
    {
        const QRect cell = grid->visualRect(grid->rowModel()->index(row, 0));
        return QPoint(cell.left() + grid->style()->pixelMetric(QStyle::PM_IndicatorWidth) / 2 + 3, cell.center().y());
    }
    void key(Qt::Key k) { QTest::keyClick(grid->editor(), k); }

private slots:
    void init()
    {
        grid = std::make_unique<CReportCtrl>();
        grid->InsertColumn(0, "Original (English)");
        grid->InsertColumn(1, "Translation");
        grid->EnableCheckboxes();
        grid->DisableHeaderClicks();
        grid->SetEditableColumn(1);
        grid->validateEdits = true;
        for (int row = 0; row < 4; ++row) {
            grid->InsertRow(row, QStringLiteral("o%1").arg(row));
            grid->SetItemText(row, 1, QStringLiteral("t%1").arg(row));
        }
        grid->resize(400, 300);
        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        parent = std::make_unique<Parent>(*grid);
    }
    void cleanup()
    {
        parent.reset();
        grid.reset();
    }

    void firstClickSelectsSecondClickEdits()
    {
        click(2, 1);
        QVERIFY(!grid->isEditing());
        QCOMPARE(grid->GetRowStates(2), CReportCtrl::RowSelected | CReportCtrl::RowFocused | CReportCtrl::RowUnchecked);
        click(2, 1);
        QVERIFY(grid->isEditing());
        QCOMPARE(grid->editRow(), 2);
        QCOMPARE(grid->editColumn(), 1);
        QVERIFY(grid->editor()->isVisible());
        QCOMPARE(grid->editor()->selectedText(), QStringLiteral("t2"));
        QCOMPARE(grid->editStartText(), QStringLiteral("t2"));
        // A click on the column that cannot be edited opens nothing.
        key(Qt::Key_Escape);
        click(2, 0);
        QVERIFY(!grid->isEditing());
    }

    void unchangedEnterClosesWithoutMessage()
    {
        QVERIFY(grid->StartEdit(1, 1));
        key(Qt::Key_Return);
        QVERIFY(!grid->isEditing());
        QVERIFY(parent->events.isEmpty());
        QVERIFY(!grid->keepEditing);
    }

    void acceptedEditThenCheckBoxOfAnotherRow()
    {
        QVERIFY(grid->StartEdit(1, 0));
        grid->editor()->setText("new");
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, checkBoxCentre(3));
        QCOMPARE(parent->events, QStringList({"commit 0,1 new", "check 3 1"}));
        QVERIFY(!grid->isEditing());
        QVERIFY(grid->GetCheck(3));
        QCOMPARE(grid->GetRowStates(3) & (CReportCtrl::RowSelected | CReportCtrl::RowFocused),
                 CReportCtrl::RowSelected | CReportCtrl::RowFocused);
        // The space bar never toggles a check box.
        QTest::keyClick(grid.get(), Qt::Key_Space);
        QVERIFY(grid->GetCheck(3));
    }

    void refusedEditStaysOpenAndSwallowsClicks()
    {
        parent->accept = false;
        QVERIFY(grid->StartEdit(1, 1));
        grid->editor()->setText("bad");
        key(Qt::Key_Return);
        QVERIFY(grid->isEditing());
        QCOMPARE(grid->editor()->selectedText(), QStringLiteral("bad"));
        QCOMPARE(grid->GetItemText(1, 1), QStringLiteral("bad"));  // written into the cell all the same

        // A click elsewhere commits again but neither selects nor toggles.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, checkBoxCentre(3));
        QVERIFY(!grid->GetCheck(3));
        QCOMPARE(grid->FirstSelectedRow(), 1);
        QCOMPARE(parent->events, QStringList({"commit 1,1 bad", "commit 1,1 bad"}));
        QVERIFY(grid->isEditing());

        // Esc closes it; the cell keeps the refused text.
        key(Qt::Key_Escape);
        QVERIFY(!grid->isEditing());
        QCOMPARE(grid->GetItemText(1, 1), QStringLiteral("bad"));
        QCOMPARE(parent->events.size(), 2);
    }

    void arrowKeysMoveTheEditor()
    {
        QVERIFY(grid->StartEdit(1, 0));
        key(Qt::Key_Up);  // first row: the edit stays where it is
        QVERIFY(grid->isEditing());
        QCOMPARE(grid->editRow(), 0);
        key(Qt::Key_Down);
        QCOMPARE(grid->editRow(), 1);
        grid->SetCheck(1, true);
        QCOMPARE(grid->GetRowStates(1), CReportCtrl::RowChecked | CReportCtrl::RowSelected | CReportCtrl::RowFocused);
        QVERIFY(parent->events.isEmpty());

        // With a refusing parent Down commits twice, then moves on; the old
        // cell shows the refused text.
        parent->accept = false;
        grid->editor()->setText("bad");
        key(Qt::Key_Down);
        QCOMPARE(parent->events, QStringList({"commit 1,1 bad", "commit 1,1 bad"}));
        QCOMPARE(grid->editRow(), 2);
        QCOMPARE(grid->GetItemText(1, 1), QStringLiteral("bad"));
        QCOMPARE(grid->editor()->text(), QStringLiteral("t2"));
        grid->EndEdit(false);
        QVERIFY(grid->StartEdit(1, 3));
        key(Qt::Key_Down);  // last row
        QCOMPARE(grid->editRow(), 3);
    }

    void tabGoesToTheNextColumn()
    {
        QVERIFY(grid->StartEdit(1, 2));
        grid->editor()->setText("x");
        key(Qt::Key_Tab);  // column 0 cannot be edited: the editor closes
        QCOMPARE(parent->events, QStringList({"commit 2,1 x"}));
        QVERIFY(!grid->isEditing());
    }

    void wheelEndsTheEdit()
    {
        QVERIFY(grid->StartEdit(1, 2));
        grid->editor()->setText("w");
        QWheelEvent wheel(QPointF(5, 5), grid->viewport()->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid->viewport(), &wheel);
        QCOMPARE(parent->events, QStringList({"commit 2,1 w"}));
        QVERIFY(!grid->isEditing());
    }

    void startEditRejectsCellsOutsideTheGrid()
    {
        QVERIFY(!grid->StartEdit(0, 1));   // column 0 is not editable
        QVERIFY(!grid->StartEdit(1, 4));   // no row 4
        QVERIFY(!grid->StartEdit(1, -1));
        QVERIFY(!grid->EndEdit(true));
        QCOMPARE(grid->editRow(), -1);
        QCOMPARE(grid->editColumn(), -1);
    }

    void deleteAllRowsEndsTheEditWithoutCommit()
    {
        QVERIFY(grid->StartEdit(1, 1));
        grid->editor()->setText("lost");
        QCOMPARE(grid->DeleteAllRows(), 4);
        QCOMPARE(grid->GetItemCount(), 0);
        QVERIFY(!grid->isEditing());
        QVERIFY(!grid->editor()->isVisible());
        QVERIFY(parent->events.isEmpty());
    }

    void cellBackgroundsWithWholeRowsAndColumns()
    {
        const QRgb red = qRgb(250, 81, 81), blue = qRgb(0, 0, 255);
        grid->SetCellBackground(-1, 1, red);
        QCOMPARE(grid->rowModel()->backColour(1, 0), red);
        QCOMPARE(grid->rowModel()->backColour(1, 1), red);
        QCOMPARE(grid->rowModel()->backColour(0, 0), kDefaultColour);
        grid->SetCellBackground(1, -1, blue);
        for (int row = 0; row < 4; ++row)
            QCOMPARE(grid->rowModel()->backColour(row, 1), blue);
        QCOMPARE(grid->rowModel()->backColour(1, 0), red);
        const QModelIndex cell = grid->rowModel()->index(2, 1);
        QCOMPARE(cell.data(Qt::BackgroundRole).value<QBrush>().color(), QColor(blue));
        QVERIFY(!grid->rowModel()->index(2, 0).data(Qt::BackgroundRole).isValid());  // the palette's
    }

    void headerClicksDoNothing()
    {
        QHeaderView *header = grid->horizontalHeader();
        QVERIFY(!header->sectionsClickable());
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(header->sectionPosition(0) + 10, header->height() / 2));
        for (int row = 0; row < 4; ++row)
            QCOMPARE(grid->GetItemText(row, 0), QStringLiteral("o%1").arg(row));
    }

    void keyedRowsReadTheSourceInOneReset()
    {
        NumberRows source;
        grid->SetRowSource(&source);
        QSignalSpy resets(grid->rowModel(), &QAbstractItemModel::modelReset);
        QSignalSpy inserts(grid->rowModel(), &QAbstractItemModel::rowsInserted);
        std::vector<quint32> keys;
        for (quint32 key = 0; key < 1000; ++key)
            keys.push_back(999 - key);
        grid->SetKeyedRows(std::move(keys));
        QCOMPARE(resets.size(), 1);
        QCOMPARE(inserts.size(), 0);
        QCOMPARE(grid->GetItemCount(), 1000);
        QCOMPARE(grid->GetItemText(0, 0), QStringLiteral("n999"));
        QCOMPARE(grid->GetItemText(999, 1), QStringLiteral("t0"));
        QVERIFY(grid->GetCheck(0));  // odd keys are checked
        QCOMPARE(grid->rowModel()->backColour(1, 1), source.colour);
        QCOMPARE(grid->rowModel()->rowOfKey(990), 9);

        // A text set in the grid shows over the source's; setting the
        // source's own text again drops it.
        grid->SetItemText(1, 1, "mine");
        QCOMPARE(grid->GetItemText(1, 1), QStringLiteral("mine"));
        grid->SetItemText(1, 1, "t998");
        source.translations[998] = "changed";
        QCOMPARE(grid->GetItemText(1, 1), QStringLiteral("changed"));

        // The source catching up with a grid change settles the row.
        grid->SetCheck(1, true);
        source.checked.insert(998);
        grid->rowModel()->settleRow(1);
        source.checked.remove(998);
        QVERIFY(!grid->GetCheck(1));

        // Overrides follow their key through a filter's new rows, and go
        // with a fresh fill.
        grid->SetItemText(2, 1, "kept");
        grid->SetKeyedRows({5, 997}, true);
        QCOMPARE(grid->GetItemText(1, 1), QStringLiteral("kept"));
        QCOMPARE(grid->GetItemText(0, 0), QStringLiteral("n5"));
        grid->SetKeyedRows({997});
        QCOMPARE(grid->GetItemText(0, 1), QStringLiteral("t997"));

        // Rows of their own mix with keyed rows; a key the source no longer
        // knows shows nothing.
        grid->InsertRow(0, "own");
        QCOMPARE(grid->GetItemText(0, 0), QStringLiteral("own"));
        QCOMPARE(grid->GetItemText(0, 1), QString());
        QVERIFY(grid->GetRowKey(0) >= ReportRowModel::kOwnKeys);
        source.limit = 10;
        QCOMPARE(grid->GetItemText(1, 0), QString());
        grid->SetRowSource(nullptr);
    }

    void accessibleCellsAndEditor()
    {
        grid->SetCheck(2, true);
        QAccessibleInterface *table = QAccessible::queryAccessibleInterface(grid.get());
        QVERIFY(table);
        QCOMPARE(table->role(), QAccessible::Table);
        QAccessibleTableInterface *cells = table->tableInterface();
        QVERIFY(cells);
        QCOMPARE(cells->rowCount(), 4);
        QCOMPARE(cells->columnDescription(1), QStringLiteral("Translation"));
        QAccessibleInterface *original = cells->cellAt(2, 0);
        QCOMPARE(original->text(QAccessible::Name), QStringLiteral("o2"));
        QVERIFY(original->state().checkable);
        QVERIFY(original->state().checked);
        QVERIFY(!cells->cellAt(1, 0)->state().checked);
        QCOMPARE(cells->cellAt(1, 1)->text(QAccessible::Name), QStringLiteral("t1"));

        QVERIFY(grid->StartEdit(1, 1));
        QAccessibleInterface *editor = QAccessible::queryAccessibleInterface(grid->editor());
        QCOMPARE(editor->role(), QAccessible::EditableText);
        QCOMPARE(editor->text(QAccessible::Name), QStringLiteral("Translation"));
        QCOMPARE(editor->text(QAccessible::Value), QStringLiteral("t1"));
    }

    // Marks of two kinds in one column: each cell's tooltip and accessible
    // description carry the texts of every mark it has, one a line; a mark
    // removed takes its texts along.
    void marksOfSeveralKindsInOneCell()
    {
        const int misspelled = grid->AddCellMark(1, CellMarkStyle{qRgb(170, 0, 0), CellMarkCorner::TopRight},
                                                 [](int row) { return row == 1 ? QStringLiteral("Misspelled: Tt") : QString(); });
        const int warned = grid->AddCellMark(1, CellMarkStyle{qRgb(0, 90, 200), CellMarkCorner::BottomRight},
                                             [](int row) { return row >= 1 ? QStringLiteral("Warning %1").arg(row) : QString(); });
        auto description = [this](int row, int column) {
            return grid->rowModel()->data(grid->rowModel()->index(row, column), Qt::AccessibleDescriptionRole).toString();
        };
        QCOMPARE(description(0, 1), QString());
        QCOMPARE(description(1, 1), QStringLiteral("Misspelled: Tt\nWarning 1"));
        QCOMPARE(description(2, 1), QStringLiteral("Warning 2"));
        QCOMPARE(description(1, 0), QString());  // marks belong to their column
        grid->RemoveCellMark(misspelled);
        QCOMPARE(description(1, 1), QStringLiteral("Warning 1"));
        grid->RemoveCellMark(warned);
        QCOMPARE(description(2, 1), QString());
        grid->viewport()->repaint();  // painting marks of no kind left
    }
    // Lines under stretches of a cell's text: drawn under those letters
    // only, in the given colour (the selection's text colour on a selected
    // row), their tooltips read out with the cell; an elided stretch has
    // no line.
    void underlinesUnderStretchesOfTheText()
    {
        const QRgb blue = qRgb(0, 0, 255);
        grid->setColumnWidth(0, 320);  // room for the whole of row 2
        grid->SetItemText(2, 0, QStringLiteral("Open the camera list now"));
        grid->SetItemText(3, 0, QStringLiteral("x") + QString(300, u'y') + QStringLiteral(" camera"));
        const int id = grid->AddCellUnderlines(0, blue, [](int row) {
            if (row == 2)
                return QList<CellUnderline>{{9, 11, QStringLiteral("camera list: Kameraliste")}};
            if (row == 3)
                return QList<CellUnderline>{{302, 6, QStringLiteral("camera: Kamera")}};
            return QList<CellUnderline>();
        });
        const CellUnderline term{9, 11, QStringLiteral("camera list: Kameraliste")};
        QCOMPARE(grid->CellUnderlines(2, 0), QList<CellUnderline>{term});
        QVERIFY(grid->CellUnderlines(2, 1).isEmpty());  // underlines belong to their column
        QCOMPARE(grid->rowModel()->data(grid->rowModel()->index(2, 0), Qt::AccessibleDescriptionRole).toString(),
                 term.toolTip);
        const QRect line = grid->CellUnderlineRect(2, 0, term);
        const QRect cell = grid->visualRect(grid->rowModel()->index(2, 0));
        QVERIFY(!line.isEmpty());
        QVERIFY(cell.contains(line));
        // "Open the " stands before the line, " now" after it.
        const QFontMetrics metrics(grid->font());
        QVERIFY(line.left() - cell.left() >= metrics.horizontalAdvance(QStringLiteral("Open the ")));
        QVERIFY2(qAbs(line.width() - metrics.horizontalAdvance(QStringLiteral("camera list"))) <= 2,
                 qPrintable(QStringLiteral("%1 %2").arg(line.width()).arg(metrics.horizontalAdvance(QStringLiteral("camera list")))));
        QVERIFY(grid->CellUnderlineRect(3, 0, {302, 6, QString()}).isEmpty());  // elided

        grid->SelectOnly(0);
        QImage picture = grid->viewport()->grab().toImage();
        const int y = line.center().y();
        auto blueAt = [&](int x) { return picture.pixel(x, y) == blue; };
        QVERIFY(blueAt(line.left()) && blueAt(line.center().x()) && blueAt(line.right()));
        QVERIFY(!blueAt(line.left() - 3) && !blueAt(line.right() + 3));
        // On the selected row the line takes the selection's text colour.
        grid->SelectOnly(2);
        picture = grid->viewport()->grab().toImage();
        QCOMPARE(QColor(picture.pixel(line.center().x(), y)), grid->palette().color(QPalette::HighlightedText));
        grid->RemoveCellUnderlines(id);
        QVERIFY(grid->CellUnderlines(2, 0).isEmpty());
    }
};

RENDARO_GUI_TEST(ReportCtrlTest)
#include "report_ctrl_test.moc"
