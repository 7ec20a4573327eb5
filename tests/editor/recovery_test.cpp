// The editor's recovery journal, in-process: every change of the shown
// file (edits, check boxes, pastes, settings, undo and redo) is recorded;
// saving or letting the changes go removes the journal; a journal left
// behind is offered when its file is opened (or at start-up) and restores
// as unsaved changes, one undo step; what no longer fits is named.

#include "gui_test_registry.h"
#include "catalogue/document.h"
#include "catalogue/entry_edits.h"
#include "editor/core/max_length_setting_dlg.h"
#include "editor_fixture.h"
#include "recovery/journal_store.h"
#include "recovery/journal_writer.h"
#include "recovery/process_identity.h"

#include <QDateTime>
#include <QLineEdit>
#include <QLocale>
#include <QStyle>
#include <QTest>
#include <QUndoStack>

class RecoveryTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> state;
    std::unique_ptr<EditorFixture> f;
    QString deu;

    std::vector<JournalRecord> journalRecords()
    {
        if (!f->recovery().flushJournal())
            return {};
        return ReadJournalFile(f->recovery().journalPath()).records;
    }
    // A journal of `target` as an editor killed after these records leaves it.
    QString leftBehind(const QString &target, const std::function<void(JournalWriter &)> &records)
    {
        const ProcessIdentity self = CurrentProcessIdentity();
        JournalHeader header;
        header.target = JournalTargetPath(target);
        header.pid = self.pid;
        header.startTicks = self.startTicks;
        header.bootId = self.bootId;
        EnsureRecoveryFolder(RecoveryFolder(), nullptr);
        auto writer = JournalWriter::create(RecoveryFolder(), header, nullptr);
        records(*writer);
        return writer->path();
    }
    QString question(const QString &path, int count, const QString &journal) const
    {
        return QStringLiteral("Rendaro was closed without saving %1. Restore the %2 unsaved changes from %3?")
            .arg(JournalTargetPath(path))
            .arg(count)
            .arg(QLocale().toString(QFileInfo(journal).lastModified(), QLocale::ShortFormat));
    }
    QStringList journalFiles() const
    {
        return QDir(RecoveryFolder()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

private slots:
    void init()
    {
        state = std::make_unique<QTemporaryDir>();
        qputenv("XDG_STATE_HOME", QFile::encodeName(state->path()));
        f = std::make_unique<EditorFixture>();
        deu = f->writeLanguageFile("DEU.xml", {
            R"(<L from="Open" to="Open"/>)",
            R"(<L from="Save" to="Save"/>)",
            R"(<L from="Close" to="Close"/>)",
            R"(<L from="Help" to="Hilfe"/>)",
        });
    }
    void cleanup()
    {
        f.reset();
        state.reset();
    }

    void everyKindOfChangeIsJournalled()
    {
        QVERIFY(f->open(deu));
        QVERIFY(f->recovery().journalPath().isEmpty());  // made at the first change
        f->editTranslation(f->rowOf("Open"), "Öffnen");
        QVERIFY(!f->recovery().journalPath().isEmpty());
        const QRect cell = f->grid->visualRect(f->grid->rowModel()->index(f->rowOf("Save"), 0));
        QTest::mouseClick(f->grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(cell.left() + f->grid->style()->pixelMetric(QStyle::PM_IndicatorWidth) / 2 + 3,
                                 cell.center().y()));
        f->view->PasteText("New\tNeu");
        f->prompts.onDialog([](QDialog &dialog) {
            auto &settings = static_cast<CMaxLengthSettingDlg &>(dialog);
            settings.ratioEdit()->setText("3");
            settings.accept();
            return true;
        });
        f->run(Command::Settings);
        f->run(Command::EditUndo);  // the settings
        f->run(Command::EditUndo);  // the paste: the addition taken back

        const std::vector<JournalRecord> records = journalRecords();
        QCOMPARE(records.size(), size_t(6));
        QCOMPARE(records[0].type, JournalRecordType::Set);
        QCOMPARE(records[0].original, QStringLiteral("Open"));
        QCOMPARE(records[0].translation, QStringLiteral("Öffnen"));
        QCOMPARE(records[1].type, JournalRecordType::Set);
        QCOMPARE(records[1].translatable, 0);
        QCOMPARE(records[2].type, JournalRecordType::Add);
        QCOMPARE(records[2].translation, QStringLiteral("Neu"));
        QCOMPARE(records[3].type, JournalRecordType::Settings);
        QCOMPARE(records[3].lengthRatio, 3.0f);
        QCOMPARE(records[4].type, JournalRecordType::Settings);
        QCOMPARE(records[4].lengthRatio, 2.0f);
        QCOMPARE(records[5].type, JournalRecordType::Remove);
        QCOMPARE(records[5].original, QStringLiteral("New"));
    }

    void theJournalGoesWithTheUnsavedChanges()
    {
        QVERIFY(f->open(deu));
        f->editTranslation(f->rowOf("Open"), "Öffnen");
        QString path = f->recovery().journalPath();
        QVERIFY(QFile::exists(path));
        f->run(Command::EditUndo);  // back at the file's state
        QVERIFY(!QFile::exists(path));
        f->run(Command::EditRedo);  // and changed again: a new journal
        path = f->recovery().journalPath();
        QVERIFY(QFile::exists(path));
        f->run(Command::FileSave);
        QVERIFY(!QFile::exists(path));
        QVERIFY(f->recovery().journalPath().isEmpty());

        f->editTranslation(f->rowOf("Close"), "Schließen");
        path = f->recovery().journalPath();
        f->prompts.answer(PromptAnswer::No);  // save the changes? No
        QVERIFY(f->recovery().PromptClose());
        QVERIFY(!QFile::exists(path));
        QVERIFY(journalFiles().isEmpty());

        // Strings pasted after New have no file to be restored into.
        f->prompts.answer(PromptAnswer::No);   // save the changes?
        f->prompts.answer(PromptAnswer::Yes);  // close the file shown?
        f->run(Command::FileNew);
        f->view->PasteText("One\tEins");
        QVERIFY(f->view->isModified());
        QVERIFY(f->recovery().journalPath().isEmpty());
    }

    void aJournalLeftBehindIsRestoredAsOneUndoStep()
    {
        const QString left = leftBehind(deu, [](JournalWriter &w) {
            w.appendEntry(JournalRecordType::Set, "Open", "Öffnen", 1);
            w.appendEntry(JournalRecordType::Set, "Close", "Schließen", 1);
            w.appendEntry(JournalRecordType::Add, "New", "Neu", 1);
        });
        const QString asked = question(deu, 3, left);
        f->prompts.answer(PromptAnswer::Yes);
        QVERIFY(f->open(deu));
        QCOMPARE(f->prompts.takeTexts(), QStringList{asked});
        QCOMPARE(f->storedTranslation("Open"), QStringLiteral("Öffnen"));
        QCOMPARE(f->storedTranslation("New"), QStringLiteral("Neu"));
        QCOMPARE(f->view->title(), QStringLiteral("Rendaro - [%1*]").arg(deu));
        QCOMPARE(f->grid->rowModel()->backColour(f->rowOf("Open"), 1), kMarkedColour);
        QVERIFY(f->rowOf("New") >= 0);
        // Nothing was written to the file.
        CRendaroDoc disk;
        QCOMPARE(disk.GetTranslation(disk.LoadCatalogue(deu, false), "Open"), QStringLiteral("Open"));
        // The journal left behind is gone; this editor's own holds the changes.
        QVERIFY(!QFile::exists(left));
        QCOMPARE(journalRecords().size(), size_t(3));

        QCOMPARE(f->view->undoStack()->count(), 1);
        QCOMPARE(f->view->undoStack()->undoText(), QStringLiteral("Restore"));
        f->run(Command::EditUndo);
        QCOMPARE(f->storedTranslation("Open"), QStringLiteral("Open"));
        QVERIFY(!ReadEntryState(f->document, f->view->currentCatalogueId(), "New").existed);
        QVERIFY(!f->view->isModified());
        f->run(Command::EditRedo);
        QCOMPARE(f->storedTranslation("Close"), QStringLiteral("Schließen"));

        // Saved, the file holds them.
        f->run(Command::FileSave);
        CRendaroDoc saved;
        const int id = saved.LoadCatalogue(deu, false);
        QCOMPARE(saved.GetTranslation(id, "Open"), QStringLiteral("Öffnen"));
        QCOMPARE(saved.GetTranslation(id, "New"), QStringLiteral("Neu"));
    }

    void declinedJournalsAreSetAside()
    {
        const QString left =
            leftBehind(deu, [](JournalWriter &w) { w.appendEntry(JournalRecordType::Set, "Open", "Öffnen", 1); });
        f->prompts.answer(PromptAnswer::No);
        QVERIFY(f->open(deu));
        QCOMPARE(f->storedTranslation("Open"), QStringLiteral("Open"));
        QVERIFY(!f->view->isModified());
        QCOMPARE(journalFiles(), QStringList{QFileInfo(left).completeBaseName() + ".discarded"});
        // Not offered again.
        f->prompts.answer(PromptAnswer::Yes);  // close the file shown?
        QVERIFY(f->open(deu));
        QVERIFY(f->prompts.scriptUsed());
    }

    void whatNoLongerFitsIsNamed()
    {
        leftBehind(deu, [](JournalWriter &w) {
            w.appendEntry(JournalRecordType::Set, "Open", "Öffnen", 1);
            w.appendEntry(JournalRecordType::Set, "Exit", "Beenden", 1);  // not in the file any more
        });
        f->prompts.answer(PromptAnswer::Yes);
        QVERIFY(f->open(deu));
        const QStringList texts = f->prompts.takeTexts();
        QCOMPARE(texts.size(), 2);
        QVERIFY(texts[0].contains("Restore the 1 unsaved changes"));
        QCOMPARE(texts[1], QStringLiteral("1 changes were left out: the file no longer holds these strings:\n\"Exit\""));
        QCOMPARE(f->storedTranslation("Open"), QStringLiteral("Öffnen"));
    }

    void aCutJournalRestoresItsCompleteRecords()
    {
        const QString left = leftBehind(deu, [](JournalWriter &w) {
            w.appendEntry(JournalRecordType::Set, "Open", "Öffnen", 1);
            w.appendEntry(JournalRecordType::Set, "Close", "Schließen", 1);
        });
        QFile file(left);
        QVERIFY(file.resize(file.size() - 5));
        f->prompts.answer(PromptAnswer::Yes);
        QVERIFY(f->open(deu));
        const QStringList texts = f->prompts.takeTexts();
        QCOMPARE(texts.size(), 2);
        QVERIFY(texts[0].contains("Restore the 1 unsaved changes"));
        QVERIFY(texts[1].contains("cut short"));
        QCOMPARE(f->storedTranslation("Open"), QStringLiteral("Öffnen"));
        QCOMPARE(f->storedTranslation("Close"), QStringLiteral("Close"));
    }

    void aJournalOfARunningEditorIsNeverOffered()
    {
        const ProcessIdentity self = CurrentProcessIdentity();
        JournalHeader header;
        header.target = JournalTargetPath(deu);
        header.pid = self.pid;
        EnsureRecoveryFolder(RecoveryFolder(), nullptr);
        auto running = JournalWriter::create(RecoveryFolder(), header, nullptr);
        running->appendEntry(JournalRecordType::Set, "Open", "Öffnen", 1);
        QVERIFY(running->flush());
        QVERIFY(f->open(deu));  // a question would fail the test
        QCOMPARE(f->storedTranslation("Open"), QStringLiteral("Open"));
        QVERIFY(QFile::exists(running->path()));
    }

    void atStartUpTheLatestFileLeftBehindIsOffered()
    {
        const QString fra = f->writeLanguageFile("FRA.xml", {R"(<L from="Open" to="Open"/>)"});
        const QString older =
            leftBehind(fra, [](JournalWriter &w) { w.appendEntry(JournalRecordType::Set, "Open", "Ouvrir", 1); });
        QFile olderFile(older);
        olderFile.open(QIODevice::ReadWrite);
        olderFile.setFileTime(QDateTime::currentDateTime().addSecs(-600), QFileDevice::FileModificationTime);
        olderFile.close();
        const QString newer = leftBehind(deu, [](JournalWriter &w) {
            w.appendEntry(JournalRecordType::Set, "Open", "Öffnen", 1);
            w.appendEntry(JournalRecordType::Set, "Save", "Sichern", 1);
        });
        leftBehind(f->path("gone.xml"), [](JournalWriter &w) { w.appendEntry(JournalRecordType::Set, "A", "B", 1); });

        f->prompts.answer(PromptAnswer::No);   // DEU: no
        f->prompts.answer(PromptAnswer::Yes);  // FRA: yes
        f->recovery().OfferRecoveryAtStart();
        const QStringList texts = f->prompts.takeTexts();
        QCOMPARE(texts.size(), 2);
        QVERIFY(texts[0].startsWith(question(deu, 2, newer).section(" from ", 0, 0)));
        QVERIFY(texts[1].startsWith(question(fra, 1, older).section(" from ", 0, 0)));
        QCOMPARE(f->view->currentPath(), fra);
        QCOMPARE(f->storedTranslation("Open"), QStringLiteral("Ouvrir"));
        QVERIFY(f->view->isModified());
        // DEU's was set aside; the missing file's is kept for rendaro-cli.
        QVERIFY(QFile::exists(QString(newer).replace(".journal", ".discarded")));
        QCOMPARE(journalFiles().filter(".journal").size(), 2);  // gone.xml's and this editor's own
    }
};

RENDARO_GUI_TEST(RecoveryTest)
#include "recovery_test.moc"
