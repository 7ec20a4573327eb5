// The glossary in the editor, end to end through the real widgets: a shared
// glossary.csv beside the file gives the selected row's underlined terms,
// the Terms dock's lines and the term warnings of the checks; a glossary
// chosen in Tool > Glossary... is kept per language; a change on disk is
// read again; Alt+N puts a target term in with the capital its place
// needs; Add Term appends to a CSV and to a TBX and keeps the rest.
// Inflections come from Debian's en_US and de_DE dictionaries
// (scripts/install-deps.sh).

#include "gui_test_registry.h"
#include "editor/checks/checks_dock.h"
#include "editor/glossary/add_term_dlg.h"
#include "editor/glossary/glossary_dlg.h"
#include "editor/glossary/glossary_feature.h"
#include "editor_fixture.h"
#include "glossary/glossary_files.h"
#include "test_support.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSaveFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

namespace {

const QList<QByteArray> kGlossaryRows = {
    R"(<L from="Open the camera list" to="Öffne die Kamera-Liste"/>)",
    R"(<L from="Save the &amp;files" to="Speichere die Dateien"/>)",
    R"(<L from="Delete files" to="Löschen"/>)",
    R"(<L from="Open file" to="Open file"/>)",
    R"(<L from="Other" to="Anderes"/>)",
};

const QByteArray kGlossaryCsv = "source,target,note,status,owner\n"
                        "file,Datei,a file on disk,,docs\n"
                        "camera list,Kameraliste,,,video\n"
                        "camera,Kamera,,,video\n"
                        "open,öffnen,,,\n"
                        ",Kamera-Liste,,forbidden,video\n";

// A file written as an editor saves it: a new file put in place.
void replaceGlossaryFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    QVERIFY(file.commit());
}

} // namespace

class GlossaryEditorTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorFixture> f;
    std::unique_ptr<QTemporaryDir> settingsFolder;
    std::unique_ptr<QSettings> settings;
    QString deu, csv;

    GlossaryFeature &glossary() const { return f->features->glossary(); }
    CTermsDock &dock() const { return *glossary().dock(); }
    void select(const QString &original) { QVERIFY(f->view->SelectOriginal(original)); }
    // "check: original" of every term warning the Checks dock lists.
    QStringList termWarnings() const
    {
        CChecksDock *checks = f->features->checks().dock();
        checks->refresh();
        QStringList found;
        for (int row = 0; row < checks->model().rowCount(); ++row) {
            const WarningListModel::Row *warning = checks->model().rowAt(row);
            if (warning->checkId.contains(QStringLiteral("term")))
                found.append(warning->checkId + ": " + warning->original);
        }
        found.sort();
        return found;
    }
    QStringList dockLines() const
    {
        QStringList lines;
        for (int i = 0; i < dock().termList()->topLevelItemCount(); ++i)
            lines.append(QStringList{dock().cellText(i, 0), dock().cellText(i, 1), dock().cellText(i, 2),
                                     dock().cellText(i, 3)}
                             .join(u'|'));
        return lines;
    }
    void altKey(int number)
    {
        QWidget *target = f->grid->isEditing() ? static_cast<QWidget *>(f->grid->editor()) : f->grid;
        QTest::keyClick(target, Qt::Key(Qt::Key_0 + number), Qt::AltModifier);
    }

private slots:
    void init()
    {
        settingsFolder = std::make_unique<QTemporaryDir>();
        settings = std::make_unique<QSettings>(settingsFolder->filePath("rendaro.ini"), QSettings::IniFormat);
        f = std::make_unique<EditorFixture>();
        f->features->setSettings(settings.get());
        deu = f->writeLanguageFile("ViewResDEU.xml", kGlossaryRows);
        csv = f->path("glossary.csv");
        QVERIFY(writeBytes(csv, kGlossaryCsv));
        QVERIFY(f->open(deu));
        f->run(Command::HideTranslated);  // every row
    }
    void cleanup()
    {
        QVERIFY(f->prompts.scriptUsed());
        f.reset();
        settings.reset();
    }

    void aSharedGlossaryGivesUnderlinesTermsAndWarnings()
    {
        QCOMPARE(glossary().files(), QStringList{QFileInfo(csv).absoluteFilePath()});
        QVERIFY(f->commands.action(Command::Glossary)->isEnabled());
        QVERIFY(f->commands.action(Command::AddTerm)->isEnabled());
        dock().show();

        // The longest term at a place: "camera list", not "camera" in it.
        select("Open the camera list");
        const int row = f->rowOf("Open the camera list");
        QCOMPARE(dockLines(), QStringList({"open|öffnen (Alt+1)||preferred",
                                           "camera list|Kameraliste (Alt+2)||preferred"}));
        QCOMPARE(f->grid->CellUnderlines(row, 0),
                 QList<CellUnderline>({{0, 4, "open: öffnen"}, {9, 11, "camera list: Kameraliste"}}));
        QVERIFY(f->grid->CellUnderlines(row, 1).isEmpty());
        QVERIFY(f->grid->CellUnderlines(f->rowOf("Other"), 0).isEmpty());  // the selected row's only
        // Inflected and past the accelerator; the note in the tooltip.
        select("Save the &files");
        QCOMPARE(dockLines(), QStringList{"file|Datei (Alt+1)|a file on disk|preferred"});
        QCOMPARE(f->grid->CellUnderlines(f->rowOf("Save the &files"), 0),
                 QList<CellUnderline>({{9, 6, "file: Datei (a file on disk)"}}));
        // A screen reader reads each line as a sentence.
        QCOMPARE(dock().termList()->topLevelItem(0)->data(0, Qt::AccessibleTextRole).toString(),
                 QStringLiteral("file: Datei, Alt+1, preferred. Note: a file on disk"));
        select("Other");
        QVERIFY(dockLines().isEmpty());
        QCOMPARE(dock().note()->text(), QStringLiteral("No glossary term in this string."));

        // The term checks judge with the same glossary: "Dateien" holds
        // "Datei"; "Löschen" holds none; "Kamera-Liste" is forbidden and
        // no "Kameraliste".
        QCOMPARE(termWarnings(), QStringList({"forbidden-term: Open the camera list", "term: Delete files",
                                              "term: Open the camera list"}));
    }

    void aChangeOnDiskIsReadAgainAndABadGlossaryIsNamed()
    {
        select("Other");
        QVERIFY(dockLines().isEmpty());
        QSignalSpy changed(&glossary(), &GlossaryFeature::glossaryChanged);
        replaceGlossaryFile(csv, kGlossaryCsv + "other,Andere,,,\nfile,Akte,,forbidden,\n");
        QTRY_COMPARE(dockLines(), QStringList{"other|Andere (Alt+1)||preferred"});
        QCOMPARE(changed.size(), 1);
        // "Anderes" is an inflected "Andere"; no translation holds "Akte".
        QCOMPARE(termWarnings(), QStringList({"forbidden-term: Open the camera list", "term: Delete files",
                                              "term: Open the camera list"}));
        select("Delete files");
        QCOMPARE(dockLines(), QStringList({"file|Datei (Alt+1)|a file on disk|preferred", "file|Akte||forbidden"}));

        // A glossary beside it that cannot be read is named; the CSV's terms stay.
        QSignalSpy status(f->view, &CRendaroView::statusMessage);
        QVERIFY(writeBytes(f->path("glossary.tbx"), "<martif><text><body><termEntry>"));
        QTRY_COMPARE(glossary().files().size(), 2);
        QVERIFY(glossary().problems().join(u' ').contains(QStringLiteral("glossary.tbx cannot be read")));
        bool named = false;
        for (const QList<QVariant> &message : status)
            named = named || message.first().toString().contains(QStringLiteral("glossary.tbx"));
        QVERIFY(named);
        QVERIFY(dock().note()->text().contains(QStringLiteral("glossary.tbx")));
        QCOMPARE(dockLines().size(), 2);
        QCOMPARE(termWarnings().size(), 3);
    }

    void glossariesChosenPerLanguageAreKept()
    {
        const QString chosen = f->path("chosen.tbx");
        Glossary terms;
        terms.language = QStringLiteral("de");
        GlossaryEntry other;
        other.source = QStringLiteral("other");
        other.targets = {QStringLiteral("Sonstiges")};
        terms.entries.push_back(other);
        QString error;
        QVERIFY(WriteGlossaryFile(chosen, terms, &error));
        QString shared;
        f->prompts.chooseFile(chosen);
        f->prompts.onDialog([&shared](QDialog &dialog) {
            auto &choice = static_cast<CGlossaryDlg &>(dialog);
            shared = choice.sharedLabel()->text();
            choice.addButton()->click();
            return true;
        });
        f->run(Command::Glossary);
        QVERIFY(shared.contains(QStringLiteral("glossary.csv")));
        QCOMPARE(settings->value("Glossary/Files").toMap().value("DEU").toStringList(), QStringList{chosen});
        QCOMPARE(glossary().files(), QStringList({QFileInfo(chosen).absoluteFilePath(), QFileInfo(csv).absoluteFilePath()}));
        select("Other");
        QCOMPARE(dockLines(), QStringList{"other|Sonstiges (Alt+1)||preferred"});
        QCOMPARE(termWarnings().last(), QStringLiteral("term: Other"));

        // Another language's files are its own; removing gives the shared one alone.
        QVERIFY(glossary().chosenFiles("FRA").isEmpty());
        f->prompts.onDialog([](QDialog &dialog) {
            auto &choice = static_cast<CGlossaryDlg &>(dialog);
            choice.fileList()->setCurrentRow(0);
            choice.removeButton()->click();
            return true;
        });
        f->run(Command::Glossary);
        QCOMPARE(glossary().files(), QStringList{QFileInfo(csv).absoluteFilePath()});
        QVERIFY(dockLines().isEmpty());
    }

    void altNumberPutsATermInWithTheCapitalItsPlaceNeeds()
    {
        // Terms of "Open file": open (öffnen) Alt+1, file (Datei) Alt+2.
        struct Case {
            const char *text;
            int from, length;  // the cursor, or the selection
            int key;
            const char *expected;
        } cases[] = {
            {"", 0, 0, 1, "Öffnen"},
            {"Die Datei ", 10, 0, 1, "Die Datei öffnen"},
            {"Gespeichert. ", 13, 0, 1, "Gespeichert. Öffnen"},
            {"Fertig! „", 9, 0, 1, "Fertig! „Öffnen"},
            {"Bitte  jetzt", 6, 0, 1, "Bitte öffnen jetzt"},
            {"Die Akte", 4, 4, 2, "Die Datei"},
            {"Datei schließen", 6, 9, 1, "Datei öffnen"},
            {"unverändert", 0, 0, 3, "unverändert"},  // no third term
        };
        const int row = f->rowOf("Open file");
        for (const Case &c : cases) {
            QVERIFY(f->grid->StartEdit(1, row));
            QLineEdit *editor = f->grid->editor();
            editor->setText(QString::fromUtf8(c.text));
            editor->setSelection(c.from, c.length);
            altKey(c.key);
            QCOMPARE(editor->text(), QString::fromUtf8(c.expected));
            QTest::keyClick(editor, Qt::Key_Escape);
        }
        // Without an editor: an untranslated string starts with the term, a
        // translated one gets it at its end.
        select("Open file");
        altKey(2);
        QVERIFY(f->grid->isEditing());
        QCOMPARE(f->grid->editor()->text(), QStringLiteral("Datei"));
        QTest::keyClick(f->grid->editor(), Qt::Key_Return);
        QCOMPARE(f->storedTranslation("Open file"), QStringLiteral("Datei"));
        select("Open file");
        altKey(1);
        QCOMPARE(f->grid->editor()->text(), QStringLiteral("Datei öffnen"));
    }

    void addTermAppendsToACsvAndATbxKeepingTheRest()
    {
        const QString tbx = f->path("chosen.tbx");
        const QByteArray tbxBefore = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- the team's terms -->\n"
                                     "<martif type=\"TBX-Basic\" xml:lang=\"en\"><text>\n  <body>\n"
                                     "    <termEntry id=\"t1\"><langSet xml:lang=\"en\"><tig><term>other</term></tig>"
                                     "</langSet><langSet xml:lang=\"de\"><tig><term>Sonstiges</term></tig></langSet>"
                                     "</termEntry>\n  </body>\n</text></martif>\n";
        QVERIFY(writeBytes(tbx, tbxBefore));
        glossary().setChosenFiles("DEU", {tbx});
        f->features->setSettings(settings.get());  // read the choice again
        dock().show();

        struct Case {
            QString file;
            const char *original;
            bool fromEditor;  // the target is the in-place editor's selection
            const char *proposedSource, *proposedTarget;
            const char *source, *target;  // as added
        } cases[] = {
            // The editor's selected word; the source typed over the proposal.
            {csv, "Delete files", true, "Delete files", "löschen", "delete", "löschen"},
            // Words selected in the dialog's original and translation.
            {tbx, "Other", false, "Other", "Anderes", "Other", "Ander"},
        };
        for (const Case &c : cases) {
            const QByteArray before = fileBytes(c.file);
            select(QString::fromUtf8(c.original));
            if (c.fromEditor) {
                QVERIFY(f->grid->StartEdit(1, f->rowOf(c.original)));
                f->grid->editor()->setText(QStringLiteral("Dateien löschen"));
                f->grid->editor()->setSelection(8, 7);
            }
            QString source, target, original;
            f->prompts.onDialog([&](QDialog &dialog) {
                auto &add = static_cast<CAddTermDlg &>(dialog);
                source = add.sourceEdit()->text();
                target = add.targetEdit()->text();
                original = add.originalEdit()->text();
                if (c.fromEditor) {
                    add.sourceEdit()->setText(QStringLiteral("delete"));
                } else {
                    add.originalEdit()->setSelection(0, 5);
                    add.translationEdit()->setSelection(0, 5);
                }
                add.noteEdit()->setText(QStringLiteral("to remove, \"for good\""));
                add.fileChoice()->setCurrentIndex(add.fileChoice()->findData(QFileInfo(c.file).absoluteFilePath()));
                return add.okButton()->isEnabled();
            });
            emit f->commands.action(Command::AddTerm)->triggered();
            QCOMPARE(original, QString::fromUtf8(c.original));
            QCOMPARE(source, QString::fromUtf8(c.proposedSource));  // a short original is taken whole
            QCOMPARE(target, QString::fromUtf8(c.proposedTarget));
            const QByteArray after = fileBytes(c.file);
            const GlossaryRead read = ReadGlossaryFile(c.file, QStringLiteral("de"));
            QVERIFY2(read.ok(), qPrintable(read.error));
            const GlossaryEntry &added = read.glossary.entries.back();
            QCOMPARE(added.source, QString::fromUtf8(c.source));
            QCOMPARE(added.targets, QStringList{QString::fromUtf8(c.target)});
            QCOMPARE(added.note, QStringLiteral("to remove, \"for good\""));
            if (c.file == csv) {
                QVERIFY(after.startsWith(before));
                QCOMPARE(after.mid(before.size()), QByteArray("delete,löschen,\"to remove, \"\"for good\"\"\",preferred,\n"));
            } else {
                const qsizetype body = before.lastIndexOf("  </body>");
                QVERIFY(after.startsWith(before.left(body)));
                QVERIFY(after.endsWith(before.mid(body)));
            }
            if (f->grid->isEditing())
                QTest::keyClick(f->grid->editor(), Qt::Key_Escape);
        }
        // The dock and the underlines know them at once.
        select("Delete files");
        QCOMPARE(dockLines(), QStringList({"delete|löschen (Alt+1)|to remove, \"for good\"|preferred",
                                           "file|Datei (Alt+2)|a file on disk|preferred"}));
        QCOMPARE(f->grid->CellUnderlines(f->rowOf("Delete files"), 0).size(), 2);
        select("Other");
        QCOMPARE(dockLines(), QStringList({"other|Sonstiges (Alt+1)||preferred",
                                           "Other|Ander (Alt+2)|to remove, \"for good\"|preferred"}));
        QCOMPARE(settings->value("Glossary/AddTo").toMap().value("DEU").toString(), QFileInfo(tbx).absoluteFilePath());
    }
};

RENDARO_GUI_TEST(GlossaryEditorTest)
#include "glossary_editor_test.moc"
