// Replace Original English: another file's translations shown in column 0,
// and every handler that needs a row's original mapping the shown text back.

#include "gui_test_registry.h"
#include "catalogue/messages.h"
#include "editor/core/reference_originals.h"
#include "editor_fixture.h"
#include "test_support.h"

#include <QDialog>
#include <QRandomGenerator>
#include <QTest>

namespace {

// The mapping by its definition: one pass over the reference entries in
// original order, the text becoming an entry's original whenever it equals
// that entry's translation.
QString mapByWalking(const EntryMap &reference, QString text)
{
    for (const auto &[original, entry] : reference) {
        if (entry.translation == text)
            text = original;
    }
    return text;
}

} // namespace

class ReferenceTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorFixture> f;
    QString reference;

    void openShown()
    {
        QVERIFY(f->open(f->writeLanguageFile("DEU.xml", {
            R"(<L from="Hello %s" to="Hello %s"/>)",
            R"(<L from="Open" to="Open"/>)",
            R"(<L from="Quit" to="Quit"/>)",
        })));
    }
    void replaceWith(const QString &path)
    {
        f->prompts.chooseFile(path);
        f->reference().OnReplaceOriginal();
        QVERIFY(f->prompts.scriptUsed());
    }

private slots:
    void init()
    {
        f = std::make_unique<EditorFixture>();
        reference = f->writeLanguageFile("FRA.xml", {
            R"(<L from="Hello %s" to="Bonjour"/>)",
            R"(<L from="Open" to="Ouvrir"/>)",
            R"(<L from="Only French" to="Seulement"/>)",
        });
    }
    void cleanup() { f.reset(); }

    void mapEqualsThePassOverTheEntriesOnRandomData()
    {
        // Texts from a small alphabet, so that translations repeat, equal
        // other originals and form chains.
        QRandomGenerator random(20240611);
        const QStringList alphabet = {"a", "b", "c", "ab", "ba", "bc", "ca", "abc"};
        for (int round = 0; round < 3000; ++round) {
            EntryMap entries;
            const int count = int(random.bounded(0, 9));
            for (int i = 0; i < count; ++i) {
                StringEntry entry;
                entry.original = alphabet[random.bounded(alphabet.size())];
                entry.translation = random.bounded(6) == 0 ? QString() : alphabet[random.bounded(alphabet.size())];
                entries.emplace(entry.original, entry);
            }
            ReferenceOriginals map;
            map.build(entries);
            for (const QString &text : alphabet + QStringList({"", "zz"}))
                QCOMPARE(map.originalOf(text), mapByWalking(entries, text));
        }
    }

    void referenceTextsAreShownAndTheFileIsClosed()
    {
        openShown();
        replaceWith(reference);
        QCOMPARE(f->prompts.fileDialogs[0].startFolder, QCoreApplication::applicationFilePath());
        QCOMPARE(f->grid->GetItemText(0, 0), QStringLiteral("Bonjour"));
        QCOMPARE(f->grid->GetItemText(1, 0), QStringLiteral("Ouvrir"));
        QCOMPARE(f->grid->GetItemText(2, 0), QStringLiteral("Quit"));
        QCOMPARE(f->view->currentPath(), f->path("DEU.xml"));
        // Neither kept loaded nor merged into the master.
        QCOMPARE(f->document.catalogues().size(), size_t(2));
        QVERIFY(f->document.catalogueAt(0)->entries.empty());
        QVERIFY(f->prompts.messages.isEmpty());
    }

    void handlersWorkOnTheOriginals()
    {
        openShown();
        replaceWith(reference);
        // An edit is checked against the original's placeholder.
        f->editTranslation(0, "Hallo %s");
        QVERIFY(f->prompts.messages.isEmpty());
        QCOMPARE(f->storedTranslation("Hello %s"), QStringLiteral("Hallo %s"));
        // The check box.
        f->grid->SetCheck(1, true);
        emit f->grid->checkChanged(1, CReportCtrl::MouseCause::LeftDown);
        QCOMPARE(f->storedTranslatable("Open"), 0);
        // Paste knows the row's original, and takes a new original that
        // happens to equal a shown reference text.
        f->view->PasteText("Open\tAuf\r\nOuvrir\tÖffnen");
        QCOMPARE(f->storedTranslation("Open"), QStringLiteral("Open"));
        QCOMPARE(f->storedTranslation("Ouvrir"), QStringLiteral("Öffnen"));
        // The save-time check: "Bonjour" holds no placeholder, the original does.
        f->grid->SetItemText(2, 1, "Beenden");
        f->prompts.messages.clear();
        QVERIFY(f->view->ValidateAllRows());
        QVERIFY(f->prompts.messages.isEmpty());
        // Search stays on the shown texts.
        f->search().setSearch("ouvrir", false);
        f->grid->clearSelection();
        f->search().FindNext();
        QCOMPARE(f->grid->FirstSelectedRow(), 1);
    }

    void unreadableReferenceTurnsTheDisplayOff()
    {
        openShown();
        replaceWith(reference);
        replaceWith(f->path("missing.xml"));
        QCOMPARE(f->prompts.messages.size(), 1);
        QVERIFY(f->prompts.messages[0].text.startsWith(messageText(MsgCannotOpen) + "\n\n"));
        QVERIFY(f->view->referenceEntries().empty());
        QCOMPARE(f->grid->GetItemText(0, 0), QStringLiteral("Hello %s"));
        // Cancelling the dialog changes nothing.
        replaceWith(reference);
        f->prompts.chooseFile(QString());
        f->reference().OnReplaceOriginal();
        QCOMPARE(f->grid->GetItemText(0, 0), QStringLiteral("Bonjour"));
    }

    void savingALanguageFolderLeavesTheReferenceFileAlone()
    {
        const QString folder = f->path("lang");
        QDir().mkpath(folder);
        writeBytes(folder + "/DEU.xml", languageFile("", {R"(<L from="Open" to="Open"/>)"}));
        f->openFolder(folder);
        replaceWith(reference);
        const QByteArray before = fileBytes(reference);
        QCOMPARE(f->grid->GetItemText(0, 0), QStringLiteral("Ouvrir"));
        f->editTranslation(0, "Öffnen");
        f->run(Command::FileSave);
        QCOMPARE(fileBytes(reference), before);
        QVERIFY(fileBytes(folder + "/DEU.xml").contains(R"(to="Öffnen")"));
        QVERIFY(!f->document.catalogueAt(0)->entries.contains("Only French"));
    }
};

RENDARO_GUI_TEST(ReferenceTest)
#include "reference_test.moc"
