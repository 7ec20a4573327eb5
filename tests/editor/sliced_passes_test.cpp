// The quick filter and search in slices: on a generated catalogue, a pass
// made in many slices shows the rows (finds the row, asks the questions) a
// plain scan of the entries gives; a newer filter wins over an older pass,
// entries changed under a pass are seen, the selection is kept, and Esc
// stops a search.

#include "gui_test_registry.h"
#include "catalogue/catalogue_counts.h"
#include "catalogue/document.h"
#include "catalogue/messages.h"
#include "editor/filter/filter_bar.h"
#include "editor/search/find_replace_dlg.h"
#include "editor_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <random>

namespace {

// Entries a slice may look at in the sliced runs: the catalogue takes
// dozens of slices.
constexpr size_t kSmallSlice = 64;
constexpr int kEntries = 2000;

// Words with non-ASCII letters in both cases and the Kelvin sign, which
// folds to "k".
const QStringList kWords = {"Open", "file",  "Save",         "Größe", "ÜBER",  "über", "Kelvin",
                            "\u212Aelvin",   "Print", "Data", "data",  "Öffnen", "Ǆungla", "keys"};

QString someWords(std::mt19937 &random, int count)
{
    QStringList words;
    for (int i = 0; i < count; ++i)
        words << kWords[int(random() % kWords.size())];
    return words.join(u' ');
}

// Untranslated, translated, not to be translated, a broken placeholder,
// and translated with a key, in a deterministic mix.
QList<QByteArray> generatedLines()
{
    std::mt19937 random(7);
    QList<QByteArray> lines;
    for (int i = 0; i < kEntries; ++i) {
        QString original = someWords(random, 3) + QStringLiteral(" %1").arg(i);
        QString translation = someWords(random, 2);
        QString extra;
        switch (random() % 5) {
        case 0: translation = original; break;
        case 1: break;
        case 2:
            translation = original;
            extra = QStringLiteral(" IsTrans=\"false\"");
            break;
        case 3: original += QStringLiteral(" %s"); break;
        case 4: extra = QStringLiteral(" key=\"IDS_%1\"").arg(i); break;
        }
        lines << QStringLiteral("<L from=\"%1\" to=\"%2\"%3/>").arg(original, translation, extra).toUtf8();
    }
    return lines;
}

struct FilterSetting {
    QString text;
    EntryFilterState state = EntryFilterState::All;
    bool matchCase = false;
    bool keys = false;
};

} // namespace

class SlicedPassesTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorFixture> f;
    CFilterBar *bar() const { return f->filter().filterBar(); }
    const CXMLStruct &catalogue() const { return *f->document.findCatalogue(f->view->currentCatalogueId()); }

    void openGenerated()
    {
        QVERIFY(f->open(f->writeLanguageFile("DEU.xml", generatedLines())));
        f->filter().OnFilter();
    }
    QStringList shown() const
    {
        QStringList originals;
        for (int row = 0; row < f->grid->GetItemCount(); ++row)
            originals << f->view->DisplayedToOriginal(row);
        return originals;
    }
    // The entries a filter shows, by a plain look at every entry in order.
    QStringList plainFilter(const FilterSetting &setting) const
    {
        const Qt::CaseSensitivity cs = setting.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
        QStringList originals;
        for (const auto &[original, entry] : catalogue().entries) {
            if (f->view->hideTranslated() && !entry.translation.isEmpty() && entry.translation != entry.original)
                continue;
            bool state = true;
            switch (setting.state) {
            case EntryFilterState::Untranslated: state = CatalogueCounts::isUntranslated(entry); break;
            case EntryFilterState::Problems: state = f->view->counts().hasProblem(entry); break;
            case EntryFilterState::NotTranslatable: state = entry.translatable == 0; break;
            default: break;
            }
            bool text = entry.original.contains(setting.text, cs) || entry.translation.contains(setting.text, cs);
            if (setting.keys) {
                for (const QString &key : entry.keys)
                    text = text || key.contains(setting.text, cs);
            }
            if (state && text)
                originals << original;
        }
        return originals;
    }
    void apply(const FilterSetting &setting)
    {
        bar()->matchCaseBox()->setChecked(setting.matchCase);
        bar()->keysBox()->setChecked(setting.keys);
        bar()->setState(setting.state);
        bar()->textField()->setText(setting.text);
        bar()->flush();
    }
    // The row Find Next selects from `selected` by a plain look at the
    // grid's texts, and the messages it shows (the wrap question answered Yes).
    int plainFind(const QString &text, bool matchCase, int selected, QStringList *messages) const
    {
        const QString needle = matchCase ? text : text.toLower();
        const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
        auto holds = [&](int row) {
            return f->grid->GetItemText(row, 0).contains(needle, cs) || f->grid->GetItemText(row, 1).contains(needle, cs);
        };
        for (int row = selected + 1; row < f->grid->GetItemCount(); ++row) {
            if (holds(row))
                return row;
        }
        *messages << messageText(MsgSearchWrap);
        for (int row = 0; row < std::max(selected, 0); ++row) {
            if (holds(row))
                return row;
        }
        *messages << messageText(MsgSearchFinished);
        return selected;
    }

private slots:
    void init() { f = std::make_unique<EditorFixture>(); }
    void cleanup()
    {
        QVERIFY(f->prompts.scriptUsed());
        f.reset();
    }

    void filterInSlicesShowsWhatAPlainScanShows()
    {
        openGenerated();
        const QList<FilterSetting> settings = {
            {"o"},
            {"ope"},  // narrows the rows of "o"
            {"op"},   // wider again: every entry
            {"über"},
            {"über", EntryFilterState::All, true},
            {"K"},  // also the Kelvin sign's words
            {"\u212A", EntryFilterState::All, true},
            {"IDS_1", EntryFilterState::All, false, true},
            {"", EntryFilterState::Untranslated},
            {"e", EntryFilterState::Problems},
            {"", EntryFilterState::NotTranslatable},
            {"DATA", EntryFilterState::Untranslated},
            {""},
        };
        int inSlices = 0;
        for (size_t limit : {size_t(0), kSmallSlice}) {
            f->view->slices().unitLimit = limit;
            for (bool hide : {true, false}) {
                if (f->view->hideTranslated() != hide)
                    f->run(Command::HideTranslated);
                for (const FilterSetting &setting : settings) {
                    apply(setting);
                    inSlices += f->view->isFiltering() ? 1 : 0;
                    QTRY_VERIFY(!f->view->isFiltering());
                    QCOMPARE(shown(), plainFilter(setting));
                }
            }
        }
        QVERIFY(inSlices >= 10);  // most passes of the sliced runs went on from the event loop
    }

    // Every row shown for the first time puts the table in order, in
    // slices too; the selection goes, as a refill drops it.
    void hideTranslatedItemInSlices()
    {
        openGenerated();
        QVERIFY(!catalogue().entries.isOrdered());
        f->view->slices().unitLimit = kSmallSlice;
        f->grid->SelectOnly(1);
        f->run(Command::HideTranslated);
        QVERIFY(f->view->isFiltering());
        QTRY_VERIFY(!f->view->isFiltering());
        QVERIFY(catalogue().entries.isOrdered());
        QCOMPARE(f->grid->GetItemCount(), kEntries);
        QCOMPARE(shown(), plainFilter({}));
        QCOMPARE(f->grid->FirstSelectedRow(), -1);
        f->run(Command::HideTranslated);
        QTRY_VERIFY(!f->view->isFiltering());
        QCOMPARE(shown(), plainFilter({}));
        QVERIFY(f->grid->GetItemCount() < kEntries);
    }

    void aNewerFilterWinsOverAnOlderPass()
    {
        openGenerated();
        f->view->slices().unitLimit = kSmallSlice;
        QSignalSpy resets(f->grid->rowModel(), &QAbstractItemModel::modelReset);
        QSignalSpy status(f->view, &CRendaroView::statusMessage);
        apply({"a"});
        QVERIFY(f->view->isFiltering());
        QCOMPARE(resets.count(), 0);  // the rows wait for the pass
        QCOMPARE(status.takeFirst().at(0).toString(), QStringLiteral("Filtering the rows..."));
        apply({"Größe"});
        QTRY_VERIFY(!f->view->isFiltering());
        QCOMPARE(resets.count(), 1);  // the older pass never showed its rows
        QCOMPARE(shown(), plainFilter({"Größe"}));
        QVERIFY(!shown().isEmpty());
        QCOMPARE(status.last().at(0).toString(), QString());  // back to the idle text
    }

    void entriesChangedUnderAPassAreSeen()
    {
        openGenerated();
        f->run(Command::HideTranslated);  // every row
        f->view->slices().unitLimit = kSmallSlice;
        // A translatable entry tested in the first slice; its new
        // translation holds the text after that.
        size_t number = 0;
        while (catalogue().entries.byNumber(number).translatable == 0)
            ++number;
        QVERIFY(number < kSmallSlice);
        const QString first = catalogue().entries.byNumber(number).original;
        apply({"Zebra"});
        QVERIFY(f->view->isFiltering());
        const int row = f->rowOf(first);
        QVERIFY(row >= 0);
        f->editTranslation(row, QStringLiteral("Zebra") + (first.endsWith("%s") ? " %s" : ""));
        QCOMPARE(f->storedTranslation(first).left(5), QStringLiteral("Zebra"));
        QTRY_VERIFY(!f->view->isFiltering());
        QCOMPARE(shown(), QStringList({first}));
    }

    void theSelectedRowStaysSelected()
    {
        openGenerated();
        f->run(Command::HideTranslated);
        f->view->slices().unitLimit = kSmallSlice;
        const QStringList rows = plainFilter({"über"});
        QVERIFY(rows.size() > 3);
        // The row selected when the rows arrive counts, not the one
        // selected when the pass began.
        f->grid->SelectOnly(f->rowOf(rows[0]));
        apply({"über"});
        QVERIFY(f->view->isFiltering());
        f->grid->SelectOnly(f->rowOf(rows[2]));
        QTRY_VERIFY(!f->view->isFiltering());
        QCOMPARE(shown(), rows);
        QCOMPARE(f->grid->FirstSelectedRow(), 2);
    }

    void searchInSlicesFindsWhatAPlainScanFinds()
    {
        openGenerated();
        f->run(Command::HideTranslated);
        const int count = f->grid->GetItemCount();
        QCOMPARE(count, kEntries);
        // One row's own original, searched for from the row after it: only
        // the rows before the selection (searched after the question) hold it.
        const int third = count / 3;
        const QString thirdText = f->grid->GetItemText(third, 0);
        int inSlices = 0;
        for (size_t limit : {size_t(0), kSmallSlice}) {
            f->view->slices().unitLimit = limit;
            for (const QString &text : {QStringLiteral("ÖFFNEN"), QStringLiteral("kelvin"), QStringLiteral("%s 1999"),
                                        QStringLiteral("Data 7"), QStringLiteral("Nowhere"), thirdText}) {
                for (bool matchCase : {false, true}) {
                    for (int selected : {-1, 0, third + 1, count / 2, count - 1}) {
                        if (selected < 0)
                            f->grid->clearSelection();
                        else
                            f->grid->SelectOnly(selected);
                        QStringList expectedMessages;
                        const int expected = plainFind(text, matchCase, selected, &expectedMessages);
                        if (expectedMessages.contains(messageText(MsgSearchWrap)))
                            f->prompts.answer(PromptAnswer::Yes);
                        f->search().setSearch(text, matchCase);
                        f->search().FindNext();
                        inSlices += f->search().isSearching() ? 1 : 0;
                        QTRY_VERIFY(!f->search().isSearching());
                        QCOMPARE(f->prompts.takeTexts(), expectedMessages);
                        QCOMPARE(f->grid->FirstSelectedRow(), expected);
                    }
                }
            }
        }
        QVERIFY(inSlices >= 20);
    }

    void escStopsASearch()
    {
        openGenerated();
        f->run(Command::HideTranslated);
        f->view->slices().unitLimit = kSmallSlice;
        f->grid->SelectOnly(3);
        f->grid->setFocus();
        QSignalSpy status(f->view, &CRendaroView::statusMessage);
        f->search().setSearch(QStringLiteral("Nowhere"), f->search().matchCase());
        f->search().FindNext();
        QVERIFY(f->search().isSearching());
        QVERIFY(status.last().at(0).toString().startsWith(QStringLiteral("Searching... ")));
        QTest::keyClick(f->grid, Qt::Key_Escape);
        QVERIFY(!f->search().isSearching());
        QCOMPARE(status.last().at(0).toString(), QStringLiteral("Search stopped."));
        QTest::qWait(50);
        QCOMPARE(f->prompts.takeTexts(), QStringList());  // no wrap question
        QCOMPARE(f->grid->FirstSelectedRow(), 3);
    }

    void aChangeOfTheRowsStopsASearch()
    {
        openGenerated();
        f->run(Command::HideTranslated);
        f->view->slices().unitLimit = kSmallSlice;
        f->search().setSearch(QStringLiteral("Nowhere"), f->search().matchCase());
        f->search().FindNext();
        QVERIFY(f->search().isSearching());
        QSignalSpy status(f->view, &CRendaroView::statusMessage);
        f->view->RefreshGrid();  // the rows again: their numbers may no longer hold
        QVERIFY(!f->search().isSearching());
        QCOMPARE(status.last().at(0).toString(), QStringLiteral("Search stopped: the rows changed."));
        QTest::qWait(50);
        QCOMPARE(f->prompts.takeTexts(), QStringList());
    }

    void replaceFindsItsRowInSlices()
    {
        openGenerated();
        f->run(Command::HideTranslated);
        f->view->slices().unitLimit = kSmallSlice;
        // The text: the whole translation of an untranslated row well past
        // the middle (the original's own number makes it rare); the row
        // expected: the first from the middle on whose translation (not
        // ticked) holds it, by a plain look.
        const int count = f->grid->GetItemCount();
        QString find;
        for (int row = count / 2 + 300; row < count && find.isEmpty(); ++row) {
            const StringEntry *entry = f->view->RowEntry(row);
            if (entry->translatable != 0 && entry->translation == entry->original && !entry->original.contains(u'%'))
                find = entry->translation;
        }
        QVERIFY(!find.isEmpty());
        int expected = -1;
        for (int i = 0; i < count && expected < 0; ++i) {
            const int row = (count / 2 + i) % count;
            const StringEntry *entry = f->view->RowEntry(row);
            if (entry->translatable != 0 && entry->translation.contains(find, Qt::CaseInsensitive))
                expected = row;
        }
        QVERIFY(expected > count / 2 + int(kSmallSlice));  // found after the first slice
        const QString original = f->view->DisplayedToOriginal(expected);
        f->grid->SelectOnly(count / 2);
        f->prompts.onDialog([find](QDialog &dialog) {
            auto &replace = static_cast<CFindReplaceDlg &>(dialog);
            replace.findEdit()->setText(find);
            replace.replaceEdit()->setText(QStringLiteral("Weite"));
            replace.replaceButton()->click();
            return false;
        });
        f->search().OnFindReplace();
        QVERIFY(f->search().isSearching());
        QTRY_VERIFY(!f->search().isSearching());
        QCOMPARE(f->grid->FirstSelectedRow(), expected);
        QCOMPARE(f->storedTranslation(original), QStringLiteral("Weite"));
        QCOMPARE(f->prompts.takeTexts(), QStringList());
    }
};

RENDARO_GUI_TEST(SlicedPassesTest)
#include "sliced_passes_test.moc"
