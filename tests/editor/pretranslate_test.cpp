// Tool > Pre-translate: untranslated rows filled from the memory (exact
// matches by default), a suggestion failing a check left out and named, the
// filled rows yellow, all of it one undo step; and what it says when there
// is no memory to use.

#include "gui_test_registry.h"
#include "editor/memory/pretranslate_dlg.h"
#include "memory_fixture.h"

#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

class PreTranslateTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MemoryFixture> m;
    EditorFixture &f() const { return m->f; }
    QRgb colour(const QString &original) const
    {
        return f().grid->rowModel()->backColour(f().rowOf(original), 1);
    }
    void preTranslate(int minimumScore)
    {
        f().prompts.onDialog([minimumScore](QDialog &dialog) {
            auto &ask = static_cast<CPreTranslateDlg &>(dialog);
            [&] { QCOMPARE(ask.minimumScore(), 100); }();  // the default: exact matches only
            ask.scoreBox()->setValue(minimumScore);
            dialog.accept();
            return true;
        });
        f().memory().OnPreTranslate();
    }

private slots:
    void cleanup()
    {
        if (m)
            QVERIFY(m->f.prompts.scriptUsed());
        m.reset();
    }

    void fillsExactMatchesLeavesOutCheckFailuresAndUndoesInOneStep()
    {
        m = std::make_unique<MemoryFixture>();
        QVERIFY(f().open(m->shown));
        preTranslate(100);
        QCOMPARE(f().prompts.messages.size(), 1);
        QCOMPARE(f().prompts.messages[0].text,
                 QStringLiteral("2 filled, 1 left out by the checks:\n\"Copy %s\" (Please put \"%s\" in String.)"));
        QCOMPARE(f().prompts.messages[0].icon, PromptIcon::Exclamation);
        QVERIFY(f().prompts.progressLog.startsWith("[Pre-translate]"));
        QCOMPARE(f().storedTranslation("Delete %s file?"), QStringLiteral("%s Datei löschen?"));
        QCOMPARE(f().storedTranslation("Open the file"), QStringLiteral("Datei öffnen"));
        QCOMPARE(f().storedTranslation("Copy %s"), QStringLiteral("Copy %s"));
        QCOMPARE(f().storedTranslation("Nothing alike here"), QStringLiteral("Nothing alike here"));
        QCOMPARE(colour("Delete %s file?"), kMarkedColour);
        QCOMPARE(colour("Open the file"), kMarkedColour);
        QCOMPARE(f().grid->GetItemText(f().rowOf("Open the file"), 1), QStringLiteral("Datei öffnen"));
        QCOMPARE(colour("Copy %s"), kUntranslatedColour);
        // "Save" was too long before and is still.
        QCOMPARE(f().counts().countsText(), QStringLiteral("5 strings, 2 untranslated, 1 problem"));

        QCOMPARE(m->stack().count(), 1);
        QCOMPARE(m->stack().undoText(), QStringLiteral("Pre-translate"));
        f().run(Command::EditUndo);
        QCOMPARE(f().storedTranslation("Delete %s file?"), QStringLiteral("Delete %s file?"));
        QCOMPARE(f().storedTranslation("Open the file"), QStringLiteral("Open the file"));
        QCOMPARE(colour("Open the file"), kUntranslatedColour);
        QVERIFY(!f().view->isModified());
        f().run(Command::EditRedo);
        QCOMPARE(f().storedTranslation("Open the file"), QStringLiteral("Datei öffnen"));
        QVERIFY(f().view->isModified());
    }

    void aLowerMinimumTakesNearMatches()
    {
        m = std::make_unique<MemoryFixture>();
        // Only the near original is in the memory for this row.
        const QString other = f().writeLanguageFile("FRA.xml", {R"(<L from="Delete %s files" to="Delete %s files"/>)"});
        QVERIFY(f().open(other));
        preTranslate(100);
        QCOMPARE(f().prompts.takeTexts(), QStringList{"0 filled, 0 left out by the checks"});
        QCOMPARE(m->stack().count(), 0);
        preTranslate(85);
        QCOMPARE(f().prompts.takeTexts(), QStringList{"1 filled, 0 left out by the checks"});
        QCOMPARE(f().storedTranslation("Delete %s files"), QStringLiteral("%s Dateien löschen?"));
    }

    void cancelledChangesNothing()
    {
        m = std::make_unique<MemoryFixture>();
        QVERIFY(f().open(m->shown));
        QSignalSpy status(f().view, &CRendaroView::statusMessage);
        f().prompts.cancelProgressAfter = 1;  // the user presses Cancel at the first step
        preTranslate(100);
        QVERIFY(f().prompts.progressLog.contains("cancel offered"));
        QCOMPARE(f().prompts.takeTexts(), QStringList());  // no summary
        QCOMPARE(status.last()[0].toString(), QStringLiteral("Pre-translate cancelled; nothing was changed."));
        QCOMPARE(f().storedTranslation("Open the file"), QStringLiteral("Open the file"));
        QCOMPARE(m->stack().count(), 0);
        QVERIFY(!f().view->isModified());
    }

    void saysWhenThereIsNoMemory()
    {
        m = std::make_unique<MemoryFixture>(false);
        QVERIFY(f().open(m->shown));
        f().memory().OnPreTranslate();
        QCOMPARE(f().prompts.takeTexts(),
                 QStringList{"No translation memory is set. Choose its files and folders with Tool > Translation "
                             "Memory..."});
        QCOMPARE(m->stack().count(), 0);
    }
};

RENDARO_GUI_TEST(PreTranslateTest)
#include "pretranslate_test.moc"
