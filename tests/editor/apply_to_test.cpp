// Apply To: the command's enabled state, the target list and its buttons,
// and OK over the list; the "File" chooser it uses.

#include "gui_test_registry.h"
#include "app/main_frame.h"
#include "batch_dialogs/apply_to_dlg.h"
#include "editor/core/command_actions.h"
#include "batch_dialogs/file_choose_dlg.h"
#include "editor_fixture.h"
#include "special_files.h"
#include "test_support.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

namespace {

// A scripted "File" dialog: types `path` and presses OK.
std::function<bool(QDialog &)> typePath(const QString &path)
{
    return [path](QDialog &dialog) {
        auto &chooser = static_cast<CFileChooseDlg &>(dialog);
        chooser.pathEdit()->setText(path);
        chooser.accept();
        return true;
    };
}

} // namespace

class ApplyToTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorFixture> f;
    std::unique_ptr<CApplyToDlg> dialog;
    QString shown;

    void clickRow(int row)
    {
        QTreeWidget *list = dialog->fileList();
        const QRect rect = list->visualItemRect(list->topLevelItem(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    }
    void add(const QString &path)
    {
        f->prompts.onDialog(typePath(path));
        dialog->button(1001)->click();
    }

private slots:
    void init()
    {
        f = std::make_unique<EditorFixture>();
        shown = f->writeLanguageFile("ENG.xml",
                                     {R"(<L from="Yes" to="Yes"/>)", R"(<L from="Brand" to="Brand" IsTrans="false"/>)"},
                                     "AllowLength=\"1.500000\" CodeType=\"QT\"");
        QVERIFY(f->open(shown));
        dialog = std::make_unique<CApplyToDlg>(f->prompts, *f->view);
        dialog->show();
    }
    void cleanup()
    {
        dialog.reset();
        QVERIFY(f->prompts.scriptUsed());
        f.reset();
    }

    void commandNeedsASingleFileShown()
    {
        QSettings settings(f->path("settings.ini"), QSettings::IniFormat);
        CMainFrame frame(f->prompts, settings);
        CRendaroView *view = frame.view();
        QAction *applyTo = frame.commands()->action(Command::ApplyTo);
        QVERIFY(!applyTo->isEnabled());  // nothing shown
        view->PasteText("pasted");  // a new catalogue, but no file to apply
        QVERIFY(view->currentCatalogueId() >= 1);
        emit frame.commands()->aboutToShowMenu();
        QVERIFY(!applyTo->isEnabled());
        f->prompts.answer(PromptAnswer::No);  // the pasted string is not saved
        QCOMPARE(view->OpenPath(shown), CRendaroView::OpenResult::Opened);
        QVERIFY(applyTo->isEnabled());
        view->ShowLanguageFolder(QFileInfo(shown).absolutePath(), {shown});  // the master of a language folder
        emit frame.commands()->aboutToShowMenu();
        QVERIFY(!applyTo->isEnabled());
        view->ResetView();
        QCOMPARE(view->OpenPath(shown), CRendaroView::OpenResult::Opened);
        emit frame.commands()->aboutToShowMenu();
        QVERIFY(applyTo->isEnabled());

        // The command shows the dialog, with an empty list each time.
        QString caption;
        int rowCount = -1;
        f->prompts.onDialog([&](QDialog &shownDialog) {
            caption = shownDialog.windowTitle();
            rowCount = static_cast<CApplyToDlg &>(shownDialog).fileList()->topLevelItemCount();
            return false;
        });
        applyTo->trigger();
        QCOMPARE(caption, QStringLiteral("Apply to..."));
        QCOMPARE(rowCount, 0);
    }

    void addRefusesPathsHoldingTheOpenFilesPath()
    {
        QCOMPARE(dialog->fileList()->headerItem()->text(0), QStringLiteral("XML File"));
        add(shown);
        add(shown + ".bak");
        add(f->path("other.xml"));
        add(QString());  // no check of any kind beyond the open file's path
        add(f->path("other.xml"));
        QCOMPARE(dialog->rows(), QStringList({f->path("other.xml"), QString(), f->path("other.xml")}));
        // A cancelled chooser adds nothing.
        f->prompts.onDialog([](QDialog &) { return false; });
        dialog->button(1001)->click();
        QCOMPARE(dialog->rows().size(), 3);
    }

    void deleteAndEditWorkOnTheRowLastClicked()
    {
        for (const char *name : {"a.xml", "b.xml", "c.xml", "d.xml"})
            add(f->path(name));
        dialog->button(1002)->click();  // nothing clicked yet
        dialog->button(1004)->click();  // no chooser either
        QCOMPARE(dialog->rows().size(), 4);

        clickRow(1);
        QCOMPARE(dialog->selectedRow(), 1);
        dialog->button(1002)->click();
        dialog->button(1002)->click();  // the row that moved up goes too
        QCOMPARE(dialog->rows(), QStringList({f->path("a.xml"), f->path("d.xml")}));
        QCOMPARE(dialog->selectedRow(), 1);

        // Edit presets the chooser with the row and stores what it returns.
        QString preset;
        f->prompts.onDialog([&preset](QDialog &shownDialog) {
            auto &chooser = static_cast<CFileChooseDlg &>(shownDialog);
            preset = chooser.pathEdit()->text();
            chooser.pathEdit()->setText(QStringLiteral("edited.xml"));
            chooser.accept();
            return true;
        });
        dialog->button(1004)->click();
        QCOMPARE(preset, f->path("d.xml"));
        QCOMPARE(dialog->rows(), QStringList({f->path("a.xml"), "edited.xml"}));

        // The keyboard moves the mark as a click does.
        dialog->fileList()->setFocus();
        QTest::keyClick(dialog->fileList(), Qt::Key_Up);
        QCOMPARE(dialog->selectedRow(), 0);

        dialog->button(1003)->click();
        QVERIFY(dialog->rows().isEmpty());
        QCOMPARE(dialog->selectedRow(), 0);  // kept: the next Delete has nothing to remove
        dialog->button(1002)->click();
        QVERIFY(dialog->rows().isEmpty());
    }

    void addFilesScansAFolderTree()
    {
        QDir(f->path("tree/.svn")).mkpath(".");
        QDir(f->path("tree/sub")).mkpath(".");
        for (const char *name : {"tree/a.xml.bak", "tree/A.XML", "tree/.svn/x.xml", "tree/sub/b.xml", "tree/z.xml"})
            writeBytes(f->path(name), "x");
        f->prompts.chooseFile(f->path("tree"));
        dialog->button(1005)->click();
        const QStringList found = {f->path("tree/a.xml.bak"), f->path("tree/sub/b.xml"), f->path("tree/z.xml")};
        QCOMPARE(dialog->rows(), found);
        QCOMPARE(f->prompts.fileDialogs.last().caption, QStringLiteral("Please select directory to find XML files."));
        QCOMPARE(f->prompts.fileDialogs.last().startFolder, QDir::currentPath());
        f->prompts.chooseFile(f->path("tree"));
        dialog->button(1005)->click();  // the same folder again adds nothing
        f->prompts.chooseFile(QString());
        dialog->button(1005)->click();  // cancelled
        QCOMPARE(dialog->rows(), found);
    }

    void okAppliesToEveryRowAndReportsEachFailure()
    {
        const QString target =
            f->writeLanguageFile("DEU.xml", {R"(<L from="Yes" to="Ja"/>)", R"(<L from="Brand" to="Marke"/>)"});
        const QString notXml = f->path("broken.xml");
        writeBytes(notXml, "<Language><L from=");
        const QString fifo = f->path("pipe.xml");
        QVERIFY(makeFifo(fifo));
        const QByteArray shownBefore = fileBytes(shown);
        // The open file itself, here reached through a link, is harmless.
        const QString shownAgain = f->path("link.xml");
        QVERIFY(QFile::link(shown, shownAgain));
        add(notXml);
        add(fifo);
        add(target);
        f->prompts.onDialog(typePath(shownAgain));
        clickRow(2);
        dialog->button(1004)->click();  // the open file is reached through Edit
        add(f->path("missing.xml"));
        QCOMPARE(dialog->rows(), QStringList({notXml, fifo, shownAgain, f->path("missing.xml")}));
        add(target);
        f->prompts.messages.clear();

        QSignalSpy accepted(dialog.get(), &QDialog::accepted);
        dialog->button(1)->click();
        const QList<ShownMessage> shownMessages = f->prompts.messages;
        QCOMPARE(shownMessages.size(), 4);
        QVERIFY(shownMessages[0].text.startsWith("Can't apply to " + notXml + "\n\n"));
        QCOMPARE(shownMessages[1].text, "Can't apply to " + fifo + "\n\nit is a FIFO, not a regular file");
        QVERIFY(shownMessages[2].text.startsWith("Can't apply to " + f->path("missing.xml") + "\n\n"));
        QCOMPARE(shownMessages[3].text, QStringLiteral("Complete!"));
        for (const ShownMessage &message : shownMessages) {
            QCOMPARE(message.caption, QStringLiteral("Rendaro"));
            QCOMPARE(message.icon, PromptIcon::Exclamation);
        }
        QCOMPARE(accepted.count(), 1);

        QCOMPARE(fileBytes(shown), shownBefore);
        // The target keeps its translations and takes the marks and settings.
        CRendaroDoc reader;
        const int id = reader.LoadCatalogue(target, false);
        QVERIFY(id >= 0);
        QCOMPARE(reader.GetTranslation(id, "Yes"), QStringLiteral("Ja"));
        QCOMPARE(reader.findCatalogue(id)->entries.at("Brand").translatable, 0);
        QCOMPARE(reader.findCatalogue(id)->codeType, 1);
    }

    void emptyListCompletesAtOnce()
    {
        dialog->button(1)->click();
        QCOMPARE(f->prompts.takeTexts(), QStringList({"Complete!"}));
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
    }

    void fileChooserKeepsItsValueUntilOk()
    {
        CFileChooseDlg chooser(f->prompts);
        QCOMPARE(chooser.windowTitle(), QStringLiteral("File"));
        chooser.SetFilePath("first.xml");
        QCOMPARE(chooser.pathEdit()->text(), QStringLiteral("first.xml"));
        chooser.pathEdit()->setText("typed.xml");
        f->prompts.chooseFile(QString());  // Browse File cancelled: the member's value comes back
        chooser.browseButton()->click();
        QCOMPARE(chooser.pathEdit()->text(), QStringLiteral("first.xml"));
        QCOMPARE(f->prompts.fileDialogs.last().filter, QStringLiteral("XML Files (*.xml)"));
        QCOMPARE(f->prompts.fileDialogs.last().startFolder, QCoreApplication::applicationFilePath());
        f->prompts.chooseFile("/picked/file.xml");
        chooser.browseButton()->click();
        QCOMPARE(chooser.pathEdit()->text(), QStringLiteral("/picked/file.xml"));
        chooser.pathEdit()->setText("no/such/file.xml");  // OK takes the text unchecked
        chooser.accept();
        QCOMPARE(chooser.GetFilePath(), QStringLiteral("no/such/file.xml"));
    }
};

RENDARO_GUI_TEST(ApplyToTest)
#include "apply_to_test.moc"
