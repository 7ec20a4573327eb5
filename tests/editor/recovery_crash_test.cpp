// The editor killed with SIGKILL and started again. Each case runs the real
// main window (CRendaroApp, as the rendaro program does) in a child process
// of this program: the child opens a file or a language folder, makes edits
// through the widgets (clicks, F2, typing, Enter, Ctrl+Z, the check box, a
// paste) and waits; the parent kills it 3 s later. A second child starts,
// answers Yes to the restore question through scripted prompts and saves;
// the parent then reads the saved files. XDG_STATE_HOME points at a
// temporary folder in every case.
//
// A child is this program run with --child and a list of steps:
//   answer=yes|no|ok      the next question's answer
//   folder=PATH           the next folder chooser's choice
//   open=FILE | start     start the editor on FILE, or on nothing
//   open-folder           File > Open Language Folder
//   edit=ORIGINAL=TEXT    type TEXT as ORIGINAL's translation
//   check=ORIGINAL        click ORIGINAL's check box
//   paste=TEXT            Edit > Paste of TEXT (tab-separated pairs)
//   undo                  Ctrl+Z
//   save                  File > Save
//   wait                  print READY and wait to be killed
// It prints every message box as "MESSAGE text" and ends with status 3 when
// a question had no answer scripted.

#include "app/main_frame.h"
#include "app/rendaro_app.h"
#include "catalogue/document.h"
#include "catalogue/entry_edits.h"
#include "editor/core/command_actions.h"
#include "editor/core/rendaro_view.h"
#include "recovery/journal_format.h"
#include "recovery/journal_store.h"
#include "test_support.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLineEdit>
#include <QProcess>
#include <QSettings>
#include <QStyle>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <cstring>

namespace {

// --- the child ----------------------------------------------------------------

class ChildPrompts : public UserPrompts {
public:
    QStringList answers;
    QStringList folders;
    bool unexpected = false;

    PromptAnswer message(QWidget *, const QString &text, const QString &, PromptIcon, PromptButtons buttons) override
    {
        print(text);
        if (buttons == PromptButtons::Ok)
            return PromptAnswer::Ok;
        if (answers.isEmpty()) {
            std::printf("UNEXPECTED %s\n", qPrintable(text));
            unexpected = true;
            return buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Cancel;
        }
        const QString answer = answers.takeFirst();
        return answer == u"yes" ? PromptAnswer::Yes
               : answer == u"no" ? PromptAnswer::No
               : answer == u"ok" ? PromptAnswer::Ok
                                 : PromptAnswer::Cancel;
    }
    int choose(QWidget *, const QString &text, const QString &, PromptIcon, const QStringList &, int escape) override
    {
        print(text);
        std::printf("UNEXPECTED %s\n", qPrintable(text));
        unexpected = true;
        return escape;
    }
    QString openFileName(QWidget *, const FileDialogRequest &) override { return QString(); }
    QString saveFileName(QWidget *, const FileDialogRequest &) override { return QString(); }
    QString folderName(QWidget *, const QString &, const QString &) override
    {
        return folders.isEmpty() ? QString() : folders.takeFirst();
    }
    // The language folder's file list: every file chosen.
    bool runDialog(QDialog &dialog) override
    {
        dialog.accept();
        return true;
    }

private:
    static void print(QString text)
    {
        text.replace(u'\n', QStringLiteral("\\n"));
        std::printf("MESSAGE %s\n", qPrintable(text));
        std::fflush(stdout);
    }
};

int rowOf(CReportCtrl *grid, const QString &original)
{
    for (int row = 0; row < grid->GetItemCount(); ++row) {
        if (grid->GetItemText(row, 0) == original)
            return row;
    }
    return -1;
}

void clickAt(CReportCtrl *grid, int row, int column, int x = -1)
{
    const QRect cell = grid->visualRect(grid->rowModel()->index(row, column));
    const QPoint point(x < 0 ? cell.center().x() : cell.left() + x, cell.center().y());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, point);
}

// Selects the row with a click, opens the editor with F2, replaces the text
// by typing and keeps it with Enter.
bool typeTranslation(CReportCtrl *grid, const QString &original, const QString &text)
{
    const int row = rowOf(grid, original);
    if (row < 0)
        return false;
    grid->EnsureVisible(row);
    clickAt(grid, row, 1);
    QTest::keyClick(grid, Qt::Key_F2);
    if (!grid->isEditing())
        return false;
    QTest::keyClick(grid->editor(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(grid->editor(), text);
    QTest::keyClick(grid->editor(), Qt::Key_Return);
    return !grid->isEditing();
}

int runChild(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QApplication::setApplicationName(QStringLiteral("Rendaro"));
    QSettings settings;
    ChildPrompts prompts;
    CRendaroApp rendaro(prompts, settings);
    auto fail = [](const QString &why) {
        std::printf("FAILED %s\n", qPrintable(why));
        return 4;
    };
    for (int i = 2; i < argc; ++i) {
        const QString step = QString::fromLocal8Bit(argv[i]);
        const QString name = step.section(u'=', 0, 0);
        const QString value = step.section(u'=', 1);
        CMainFrame *frame = rendaro.mainFrame();
        CReportCtrl *grid = frame ? frame->view()->grid() : nullptr;
        if (name == u"answer") {
            prompts.answers.append(value);
        } else if (name == u"folder") {
            prompts.folders.append(value);
        } else if (name == u"open" || name == u"start") {
            rendaro.InitInstance(name == u"open" ? QStringList{value} : QStringList());
            if (!QTest::qWaitForWindowExposed(rendaro.mainFrame()))
                return fail(QStringLiteral("the window was not shown"));
        } else if (!frame) {
            return fail(QStringLiteral("no window for ") + step);
        } else if (name == u"open-folder") {
            frame->commands()->action(Command::OpenLanguageFolder)->trigger();
        } else if (name == u"edit") {
            if (!typeTranslation(grid, value.section(u'=', 0, 0), value.section(u'=', 1)))
                return fail(step);
        } else if (name == u"check") {
            const int row = rowOf(grid, value);
            if (row < 0)
                return fail(step);
            clickAt(grid, row, 0, grid->style()->pixelMetric(QStyle::PM_IndicatorWidth) / 2 + 3);
        } else if (name == u"paste") {
            QApplication::clipboard()->setText(QString(value).replace(QStringLiteral("\\t"), QStringLiteral("\t")));
            QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
        } else if (name == u"undo") {
            QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
        } else if (name == u"save") {
            frame->commands()->action(Command::FileSave)->trigger();
        } else if (name == u"wait") {
            std::printf("TITLE %s\nREADY\n", qPrintable(frame->windowTitle()));
            std::fflush(stdout);
            return app.exec();  // until killed
        } else {
            return fail(QStringLiteral("unknown step ") + step);
        }
    }
    std::printf("DONE\n");
    return prompts.unexpected || !prompts.answers.isEmpty() ? 3 : 0;
}

// --- the parent ---------------------------------------------------------------

struct ChildResult {
    int status = -1;
    QStringList messages;
    QString output;
};

} // namespace

class RecoveryCrashTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> folder;

    QString path(const QString &name) const { return folder->filePath(name); }
    QString journals() const { return path("state/rendaro/recovery"); }
    QStringList journalFiles(const QString &suffix = ".journal") const
    {
        QStringList files;
        for (const QString &name : QDir(journals()).entryList(QDir::Files))
            if (name.endsWith(suffix))
                files.append(QDir(journals()).filePath(name));
        return files;
    }
    QString writeFile(const QString &name, const QList<QByteArray> &lines)
    {
        QDir().mkpath(QFileInfo(path(name)).absolutePath());
        writeBytes(path(name), languageFile("AllowLength=\"2.000000\" CodeType=\"CPlus2\"", lines));
        return path(name);
    }
    static EntryState entry(const QString &file, const QString &original)
    {
        CRendaroDoc document;
        return ReadEntryState(document, document.LoadCatalogue(file, false), original);
    }

    void startChild(QProcess &child, const QStringList &steps)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_STATE_HOME", path("state"));
        environment.insert("XDG_CONFIG_HOME", path("config"));
        environment.insert("RENDARO_TEST_STATE_HOME", "1");
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), QStringList{"--child"} + steps);
        QVERIFY2(child.waitForStarted(), qPrintable(child.errorString()));
    }
    // Starts a child that makes its edits and waits; returns once it said READY.
    void startEditor(QProcess &child, const QStringList &steps)
    {
        startChild(child, steps + QStringList{"wait"});
        QByteArray output;
        QElapsedTimer timer;
        timer.start();
        while (!output.contains("READY\n") && timer.elapsed() < 60000) {
            if (!child.waitForReadyRead(1000) && child.state() != QProcess::Running)
                break;
            output += child.readAllStandardOutput();
        }
        QVERIFY2(output.contains("READY\n"), output.constData());
        QVERIFY2(output.contains("*"), output.constData());  // the title shows unsaved changes
    }
    static void kill(QProcess &child)
    {
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    }
    // Edits, 3 seconds, SIGKILL.
    void editAndKill(const QStringList &steps)
    {
        QProcess child;
        startEditor(child, steps);
        QTest::qSleep(3000);
        kill(child);
    }
    ChildResult runToEnd(const QStringList &steps)
    {
        QProcess child;
        ChildResult result;
        startChild(child, steps);
        if (!child.waitForFinished(60000))
            child.kill();
        result.output = QString::fromLocal8Bit(child.readAllStandardOutput());
        result.status = child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
        for (const QString &line : result.output.split(u'\n')) {
            if (line.startsWith("MESSAGE "))
                result.messages.append(line.mid(8));
        }
        return result;
    }
    static QString questionStart(const QString &target, int count)
    {
        return QStringLiteral("Rendaro was closed without saving %1. Restore the %2 unsaved changes from ")
            .arg(JournalTargetPath(target))
            .arg(count);
    }

private slots:
    void init() { folder = std::make_unique<QTemporaryDir>(); }
    void cleanup() { folder.reset(); }

    void editsToAFileSurviveAKill()
    {
        const QString deu = writeFile("DEU.xml", {R"(<L from="Open" to="Open"/>)", R"(<L from="Close" to="Close"/>)",
                                                  R"(<L from="Save" to="Save"/>)"});
        editAndKill({"open=" + deu, "edit=Open=Öffnen", "edit=Close=Schließen", "check=Save", "paste=New\\tNeu"});
        QCOMPARE(journalFiles().size(), 1);

        const ChildResult restored = runToEnd({"answer=yes", "open=" + deu, "save"});
        QVERIFY2(restored.status == 0, qPrintable(restored.output));
        QCOMPARE(restored.messages.size(), 2);
        QVERIFY2(restored.messages[0].startsWith(questionStart(deu, 4)), qPrintable(restored.messages[0]));
        QCOMPARE(restored.messages[1], QStringLiteral("Save OK"));
        QCOMPARE(entry(deu, "Open").translation, QStringLiteral("Öffnen"));
        QCOMPARE(entry(deu, "Close").translation, QStringLiteral("Schließen"));
        QCOMPARE(entry(deu, "Save").translatable, 0);
        QCOMPARE(entry(deu, "New").translation, QStringLiteral("Neu"));
        QVERIFY(journalFiles().isEmpty());  // saved: nothing left to recover
    }

    void editsToALanguageFolderSurviveAKill()
    {
        const QString a = writeFile("Lang/DEU/a.xml", {R"(<L from="Open" to="Open"/>)", R"(<L from="Exit" to="Exit"/>)"});
        const QString b = writeFile("Lang/DEU/b.xml", {R"(<L from="Open" to="Open"/>)", R"(<L from="Help" to="Help"/>)"});
        editAndKill({"start", "answer=ok", "folder=" + path("Lang"), "open-folder", "edit=Open=Öffnen",
                     "edit=Help=Hilfe"});
        // Started with no file, the editor offers the folder left behind.
        const ChildResult restored = runToEnd({"answer=yes", "start", "save"});
        QVERIFY2(restored.status == 0, qPrintable(restored.output));
        QVERIFY2(restored.messages.value(0).startsWith(questionStart(path("Lang"), 2)), qPrintable(restored.output));
        QCOMPARE(entry(a, "Open").translation, QStringLiteral("Öffnen"));
        QCOMPARE(entry(a, "Exit").translation, QStringLiteral("Exit"));
        QCOMPARE(entry(b, "Open").translation, QStringLiteral("Öffnen"));
        QCOMPARE(entry(b, "Help").translation, QStringLiteral("Hilfe"));
    }

    void undoAfterEditsSurvivesAKill()
    {
        const QString deu = writeFile("DEU.xml", {R"(<L from="Open" to="Open"/>)", R"(<L from="Close" to="Close"/>)"});
        editAndKill({"open=" + deu, "edit=Open=Öffnen", "edit=Close=Zu", "undo"});
        const ChildResult restored = runToEnd({"answer=yes", "open=" + deu, "save"});
        QVERIFY2(restored.status == 0, qPrintable(restored.output));
        QVERIFY2(restored.messages.value(0).startsWith(questionStart(deu, 1)), qPrintable(restored.output));
        QCOMPARE(entry(deu, "Open").translation, QStringLiteral("Öffnen"));
        QCOMPARE(entry(deu, "Close").translation, QStringLiteral("Close"));
    }

    void aJournalCutInItsLastRecordRestoresTheRecordsBefore()
    {
        const QString deu = writeFile("DEU.xml", {R"(<L from="Open" to="Open"/>)", R"(<L from="Close" to="Close"/>)"});
        editAndKill({"open=" + deu, "edit=Open=Öffnen", "edit=Close=Zu"});
        const QStringList files = journalFiles();
        QCOMPARE(files.size(), 1);
        const std::vector<qint64> ends = ReadJournalFile(files[0]).recordEnds;
        QCOMPARE(ends.size(), size_t(3));  // the header and two edits
        QFile journal(files[0]);
        QVERIFY(journal.resize((ends[1] + ends[2]) / 2));

        const ChildResult restored = runToEnd({"answer=yes", "open=" + deu, "save"});
        QVERIFY2(restored.status == 0, qPrintable(restored.output));
        QVERIFY2(restored.messages.value(0).startsWith(questionStart(deu, 1)), qPrintable(restored.output));
        QVERIFY2(restored.messages.value(1).contains("cut short"), qPrintable(restored.output));
        QCOMPARE(entry(deu, "Open").translation, QStringLiteral("Öffnen"));
        QCOMPARE(entry(deu, "Close").translation, QStringLiteral("Close"));
    }

    void twoEditorsKeepTwoJournalsAndARunningOnesIsNeverOffered()
    {
        const QString deu = writeFile("DEU.xml", {R"(<L from="Open" to="Open"/>)"});
        const QString fra = writeFile("FRA.xml", {R"(<L from="Open" to="Open"/>)"});
        QProcess first, second;
        startEditor(first, {"open=" + deu, "edit=Open=Öffnen"});
        startEditor(second, {"open=" + fra, "edit=Open=Ouvrir"});
        QTest::qSleep(2500);  // both journals written
        QStringList targets;
        for (const QString &file : journalFiles())
            targets.append(ReadJournalFile(file).header.target);
        targets.sort();
        QCOMPARE(targets, QStringList({JournalTargetPath(deu), JournalTargetPath(fra)}));

        // A third editor on the first file is not offered its journal: a
        // question would end it with status 3.
        const ChildResult third = runToEnd({"open=" + deu});
        QVERIFY2(third.status == 0, qPrintable(third.output));
        QVERIFY(third.messages.isEmpty());

        kill(first);
        kill(second);
        const ChildResult restored = runToEnd({"answer=yes", "open=" + fra, "save"});
        QVERIFY2(restored.status == 0, qPrintable(restored.output));
        QCOMPARE(entry(fra, "Open").translation, QStringLiteral("Ouvrir"));
        QCOMPARE(journalFiles().size(), 1);  // the first file's, still left behind
    }
};

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0)
        return runChild(argc, argv);
    QApplication app(argc, argv);
    RecoveryCrashTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "recovery_crash_test.moc"
