// Each feature of the editor built with the core alone, none of the others:
// what it does needs nothing but the core's interface (its check state, its
// rows, its steps and signals). A feature that goes before the view takes
// its key handler and save guard along.

#include "gui_test_registry.h"
#include "editor_fixture.h"

#include "dialogfit/fake_measurer.h"
#include "editor/glossary/glossary_feature.h"
#include "editor/preview/preview_feature.h"
#include "editor/preview/program_resources_dlg.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QUndoStack>

class FeaturesAloneTest : public QObject {
    Q_OBJECT

private:
    // The document, the prompts and the core view, without features.
    struct Core {
        Core()
        {
            setTheDocument(&document);
            view = new CRendaroView(prompts);
            view->bindCommands(commands);
            view->resize(800, 600);
            view->show();
        }
        ~Core()
        {
            delete view;
            setTheDocument(nullptr);
        }
        bool open(const QString &path) { return view->OpenPath(path) == CRendaroView::OpenResult::Opened; }
        int rowOf(const QString &original) const
        {
            for (int row = 0; row < view->grid()->GetItemCount(); ++row) {
                if (view->DisplayedToOriginal(row) == original)
                    return row;
            }
            return -1;
        }
        void edit(const QString &original, const QString &text)
        {
            CReportCtrl *grid = view->grid();
            QVERIFY(grid->StartEdit(1, rowOf(original)));
            grid->editor()->setText(text);
            QTest::keyClick(grid->editor(), Qt::Key_Return);
        }

        CRendaroDoc document;
        ScriptedPrompts prompts;
        CommandActions commands;
        CRendaroView *view = nullptr;
    };

    std::unique_ptr<QTemporaryDir> folder;
    QString deu;
    std::unique_ptr<Core> core;

private slots:
    void init()
    {
        folder = std::make_unique<QTemporaryDir>();
        deu = folder->filePath("DEU.xml");
        QFile file(deu);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                   "<Language AllowLength=\"2.000000\" CodeType=\"CPlus2\">\r\n"
                   "<L from=\"Open\" to=\"Open\"/>\r\n"
                   "<L from=\"Save %s\" to=\"Sichern\"/>\r\n"
                   "<L from=\"Quit\" to=\"Beenden\"/>\r\n"
                   "</Language>\r\n");
        file.close();
        core = std::make_unique<Core>();
        QVERIFY(core->open(deu));
        emit core->commands.action(Command::HideTranslated)->triggered();  // every row shown
    }
    void cleanup()
    {
        QVERIFY(core->prompts.scriptUsed());
        core.reset();
    }

    void searchAndReplaceAlone()
    {
        SearchFeature search(*core->view, &core->commands);
        search.setSearch(QStringLiteral("beenden"), false);
        search.FindNext();
        QCOMPARE(core->view->grid()->FirstSelectedRow(), core->rowOf("Quit"));
    }

    void quickFilterAlone()
    {
        QuickFilter filter(*core->view, &core->commands);
        filter.filterBar()->textField()->setText(QStringLiteral("sichern"));
        filter.filterBar()->flush();
        QCOMPARE(core->view->grid()->GetItemCount(), 1);
        // Problems reads the core's own check state (the missing %s).
        filter.ClearFilter();
        filter.filterBar()->setState(EntryFilterState::Problems);
        QCOMPARE(core->view->grid()->GetItemCount(), 1);
        QCOMPARE(core->view->DisplayedToOriginal(0), QStringLiteral("Save %s"));
        // Changed follows the core's changes and their undo.
        filter.filterBar()->setState(EntryFilterState::All);
        core->edit("Open", "Öffnen");
        QCOMPARE(int(filter.changedEntries().size()), 1);
        core->view->undoStack()->undo();
        QVERIFY(filter.changedEntries().empty());
    }

    void navigationAndCountsAlone()
    {
        Navigation navigation(*core->view, &core->commands);
        LiveCounts counts(*core->view);
        QCOMPARE(counts.countsText(), QStringLiteral("3 strings, 1 untranslated, 1 problem"));
        navigation.OnNextProblem();
        QCOMPARE(core->view->grid()->FirstSelectedRow(), core->rowOf("Save %s"));
        core->edit("Save %s", "%s sichern");
        QCOMPARE(counts.countsText(), QStringLiteral("3 strings, 1 untranslated, 0 problems"));
    }

    void recoveryJournalAlone()
    {
        RecoveryJournal recovery(*core->view);
        core->edit("Open", "Öffnen");
        QVERIFY(recovery.flushJournal());
        const QString journal = recovery.journalPath();
        QVERIFY(QFile::exists(journal));
        core->view->undoStack()->undo();  // back at the state saved
        QVERIFY(!QFile::exists(journal));
    }

    void featuresThatGoTakeTheirHooksAlong()
    {
        {
            SearchFeature search(*core->view, &core->commands);
            DiskWatch watch(*core->view);
        }
        // Ctrl+F opens no Find dialog, and a save asks no guard.
        QTest::keyClick(core->view->grid(), Qt::Key_F, Qt::ControlModifier);
        core->edit("Save %s", "%s sichern");
        emit core->commands.action(Command::FileSave)->triggered();
        QCOMPARE(core->prompts.takeTexts(), QStringList({QStringLiteral("Save OK")}));
        QVERIFY(!core->view->isModified());
    }

    void previewAlone()
    {
        SetTextMeasurerMaker([] { return std::make_shared<FakeMeasurer>(); });
        {
            PreviewFeature preview(*core->view, &core->commands);
            const QString fixtures = QStringLiteral(RENDARO_TESTS_DIR "/resparse/fixtures");
            core->prompts.onDialog([fixtures](QDialog &dialog) {
                static_cast<CProgramResourcesDlg &>(dialog).programEdit()->setText(fixtures + "/dialogs64.dll");
                return true;
            });
            emit core->commands.action(Command::ProgramResources)->triggered();
            preview.dock()->show();
            core->view->PasteText(QStringLiteral("OK\tGut"));
            QVERIFY(core->view->SelectOriginal(QStringLiteral("OK")));
            // The OK button of dialog 101, whose button beside it shows the
            // program's own text.
            QCOMPARE(preview.dock()->placeChoice()->itemText(0), QStringLiteral("101"));
            QCOMPARE(preview.dock()->controlList()->item(1)->text(), QStringLiteral("Gut: fits"));
            QCOMPARE(preview.dock()->controlList()->item(0)->text(), QStringLiteral("Delete all: fits"));
            QVERIFY(!preview.dock()->canvas()->picture().isNull());
        }
        SetTextMeasurerMaker({});
    }

    void glossaryAlone()
    {
        QFile shared(folder->filePath("glossary.csv"));
        QVERIFY(shared.open(QIODevice::WriteOnly));
        shared.write("source,target\nopen,öffnen\n");
        shared.close();
        {
            GlossaryFeature glossary(*core->view, &core->commands);
            QVERIFY(core->view->SelectOriginal(QStringLiteral("Open")));
            QCOMPARE(glossary.insertable(), QStringList{QStringLiteral("öffnen")});
            QCOMPARE(core->view->grid()->CellUnderlines(core->rowOf("Open"), 0).size(), 1);
            QVERIFY(glossary.insertTerm(1));
            QCOMPARE(core->view->grid()->editor()->text(), QStringLiteral("Öffnen"));
            QTest::keyClick(core->view->grid()->editor(), Qt::Key_Escape);
        }
        // Gone, it takes its underlines and keys along.
        QVERIFY(core->view->grid()->CellUnderlines(core->rowOf("Open"), 0).isEmpty());
        QTest::keyClick(core->view->grid(), Qt::Key_1, Qt::AltModifier);
        QVERIFY(!core->view->grid()->isEditing());
    }
};

RENDARO_GUI_TEST(FeaturesAloneTest)
#include "features_alone_test.moc"
