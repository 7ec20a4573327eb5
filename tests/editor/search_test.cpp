// Find dialog, Search, F3 and the wrap question.

#include "gui_test_registry.h"
#include "catalogue/messages.h"
#include "editor/search/find_string_dialog.h"
#include "editor_fixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

class SearchTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorFixture> f;

    // Rows 0..7: "Row 0" .. "Row 7", translations "Zeile 0" .. ; row 5 also
    // holds "Needle" in its translation.
    void openRows()
    {
        QList<QByteArray> lines;
        for (int i = 0; i < 8; ++i) {
            const QByteArray n = QByteArray::number(i);
            lines << "<L from=\"Row " + n + "\" to=\"" + (i == 5 ? "Needle" : "Row " + n) + "\"/>";
        }
        QVERIFY(f->open(f->writeLanguageFile("DEU.xml", lines)));
        f->run(Command::HideTranslated);
        QCOMPARE(f->grid->GetItemCount(), 8);
    }
    // The next Find dialog gets this text and Match Case state, then OK.
    void findWith(const QString &text, bool matchCase)
    {
        f->prompts.onDialog([text, matchCase](QDialog &dialog) {
            auto &find = static_cast<CFindString &>(dialog);
            find.textEdit()->setText(text);
            find.matchCaseBox()->setChecked(matchCase);
            find.accept();
            return true;
        });
    }

private slots:
    void init() { f = std::make_unique<EditorFixture>(); }
    void cleanup() { f.reset(); }

    void selectedRowItselfIsNeverExamined()
    {
        openRows();
        f->grid->SelectOnly(5);
        findWith("needle", false);
        f->prompts.answer(PromptAnswer::Yes);
        f->search().OnSearch();
        QCOMPARE(f->prompts.takeTexts(), QStringList({messageText(MsgSearchWrap), "Search finished."}));
        QCOMPARE(f->grid->FirstSelectedRow(), 5);
    }

    void wrapNoEndsQuietlyAndYesSearchesFromTheTop()
    {
        openRows();
        f->grid->SelectOnly(6);
        findWith("Needle", true);
        f->prompts.answer(PromptAnswer::No);
        f->search().OnSearch();
        QCOMPARE(f->prompts.messages.size(), 1);
        QCOMPARE(f->prompts.messages[0].icon, PromptIcon::Information);
        QCOMPARE(f->prompts.messages[0].buttons, PromptButtons::YesNo);
        QCOMPARE(f->grid->FirstSelectedRow(), 6);
        f->prompts.messages.clear();
        // F3 searches again; this time the wrap goes on from the top.
        f->prompts.answer(PromptAnswer::Yes);
        QTest::keyClick(f->grid, Qt::Key_F3);
        QCOMPARE(f->prompts.messages.size(), 1);
        QCOMPARE(f->grid->FirstSelectedRow(), 5);
        QVERIFY(f->prompts.scriptUsed());
    }

    void noSelectionStartsAtTheFirstRow()
    {
        openRows();
        f->grid->clearSelection();
        findWith("Row 0", true);
        f->search().OnSearch();
        QVERIFY(f->prompts.messages.isEmpty());
        QCOMPARE(f->grid->FirstSelectedRow(), 0);
        QCOMPARE(f->grid->GetRowStates(0) & CReportCtrl::RowFocused, int(CReportCtrl::RowFocused));
    }

    void matchCaseAndLowerCasedSearchText()
    {
        openRows();
        f->grid->clearSelection();
        findWith("NEEDLE", true);
        f->prompts.answer(PromptAnswer::No);
        f->search().OnSearch();
        QCOMPARE(f->prompts.takeTexts(), QStringList({messageText(MsgSearchWrap)}));
        QCOMPARE(f->grid->FirstSelectedRow(), -1);

        f->grid->clearSelection();
        findWith("NEEDLE", false);
        f->search().OnSearch();
        QVERIFY(f->prompts.messages.isEmpty());
        QCOMPARE(f->grid->FirstSelectedRow(), 5);  // found in the translation column
        QCOMPARE(f->search().searchText(), QStringLiteral("needle"));

        // Ctrl+F opens the dialog with the text as it is now stored.
        QString shownText;
        bool shownMatchCase = true;
        f->prompts.onDialog([&](QDialog &dialog) {
            auto &find = static_cast<CFindString &>(dialog);
            shownText = find.textEdit()->text();
            shownMatchCase = find.matchCaseBox()->isChecked();
            return false;
        });
        QTest::keyClick(f->grid, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(shownText, QStringLiteral("needle"));
        QVERIFY(!shownMatchCase);
    }

    void cancelKeepsTheDialogValues()
    {
        openRows();
        f->search().findDialog()->text = "kept";
        f->prompts.onDialog([](QDialog &dialog) {
            static_cast<CFindString &>(dialog).textEdit()->setText("typed");
            dialog.reject();
            return false;
        });
        f->search().OnSearch();
        QCOMPARE(f->search().findDialog()->text, QStringLiteral("kept"));
        QVERIFY(f->search().searchText().isEmpty());
        // An empty text ends the command without searching.
        findWith(QString(), false);
        f->search().OnSearch();
        QVERIFY(f->prompts.messages.isEmpty());
    }
};

RENDARO_GUI_TEST(SearchTest)
#include "search_test.moc"
