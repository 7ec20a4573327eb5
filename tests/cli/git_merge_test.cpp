// rendaro-cli as git's merge driver and diff text conversion, set up by
// git-setup, in a real repository: branches that a line merge would make
// conflict merge by entry, a real conflict leaves ours' value and the
// conflicts file, and git diff shows entries.

#include "cli_run_helper.h"
#include "merge/merge_conflicts.h"
#include "test_support.h"

#include <QProcess>
#include <QProcessEnvironment>

namespace {

const QByteArray kGitRoot = "AllowLength=\"2.000000\" CodeType=\"CPlus2\"";

struct GitRan {
    int status = -1;
    QString out, err;
};

} // namespace

class GitMerge : public FolderTest {
protected:
    void SetUp() override
    {
        // A home of its own: neither the user's git configuration nor ours is touched.
        environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home.root());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path(QStringLiteral(".config")));
        environment.insert(QStringLiteral("GIT_CONFIG_NOSYSTEM"), QStringLiteral("1"));
        environment.insert(QStringLiteral("GIT_AUTHOR_NAME"), QStringLiteral("Test"));
        environment.insert(QStringLiteral("GIT_AUTHOR_EMAIL"), QStringLiteral("test@example.org"));
        environment.insert(QStringLiteral("GIT_COMMITTER_NAME"), QStringLiteral("Test"));
        environment.insert(QStringLiteral("GIT_COMMITTER_EMAIL"), QStringLiteral("test@example.org"));
        ASSERT_EQ(git({"init", "-q", "-b", "main"}).status, 0);
        QDir(folder.root()).mkdir(QStringLiteral("lang"));
    }
    GitRan start(const QString &program, const QStringList &args)
    {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(folder.root());
        process.start(program, args);
        GitRan ran;
        if (!process.waitForFinished(120000))
            return ran;
        ran.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        ran.out = QString::fromUtf8(process.readAllStandardOutput());
        ran.err = QString::fromUtf8(process.readAllStandardError());
        return ran;
    }
    GitRan git(std::initializer_list<const char *> args)
    {
        QStringList list;
        for (const char *arg : args)
            list << QString::fromUtf8(arg);
        return start(QStringLiteral("git"), list);
    }
    void commit(const char *message)
    {
        ASSERT_EQ(git({"add", "-A"}).status, 0);
        const GitRan done = git({"commit", "-q", "-m", message});
        ASSERT_EQ(done.status, 0) << done.err.toStdString();
    }
    QString file() const { return folder.path(QStringLiteral("lang/ViewResDEU.xml")); }

    TempFolder home;
    QProcessEnvironment environment;
};

TEST_F(GitMerge, BranchesMergeByEntryAndDiffShowsEntries)
{
    const QByteArray open = R"(<L from="Open" to="Open" key="IDS_OPEN"/>)";
    const QByteArray save = R"(<L from="Save" to="Save" key="IDS_SAVE"/>)";
    const QByteArray close = R"(<L from="Close" to="Close" key="IDS_CLOSE"/>)";
    write(QStringLiteral("lang/ViewResDEU.xml"), languageFile(kGitRoot, {open, save, close}));
    write(QStringLiteral("lang/ViewResFRA.xml"), languageFile(kGitRoot, {open}));
    write(QStringLiteral("notes.xml"), "<notes>not a language file</notes>\n");
    commit("base");

    const GitRan setup = start(QStringLiteral(RENDARO_CLI_PATH), {QStringLiteral("git-setup")});
    ASSERT_EQ(setup.status, 0) << setup.err.toStdString();
    EXPECT_TRUE(setup.out.contains("Added to " + folder.root() + "/.gitattributes: /lang/*.xml merge=rendaro diff=rendaro"))
        << setup.out.toStdString();
    EXPECT_EQ(readBytes(folder.path(QStringLiteral(".gitattributes"))), "/lang/*.xml merge=rendaro diff=rendaro\n");
    EXPECT_TRUE(git({"config", "--local", "merge.rendaro.driver"}).out.contains(" merge %O %A %B --name %P"));
    // Run again: nothing is added twice.
    const GitRan again = start(QStringLiteral(RENDARO_CLI_PATH), {QStringLiteral("git-setup")});
    EXPECT_TRUE(again.out.contains("Already in")) << again.out.toStdString();
    EXPECT_EQ(readBytes(folder.path(QStringLiteral(".gitattributes"))), "/lang/*.xml merge=rendaro diff=rendaro\n");
    commit("attributes");

    // Two branches change neighbouring lines, which a line merge calls a conflict.
    ASSERT_EQ(git({"checkout", "-q", "-b", "translate"}).status, 0);
    write(QStringLiteral("lang/ViewResDEU.xml"),
          languageFile(kGitRoot, {R"(<L from="Open" to="Öffnen" key="IDS_OPEN"/>)", save, close}));
    commit("translate Open");
    ASSERT_EQ(git({"checkout", "-q", "main"}).status, 0);
    ASSERT_EQ(git({"checkout", "-q", "-b", "develop"}).status, 0);
    write(QStringLiteral("lang/ViewResDEU.xml"),
          languageFile(kGitRoot, {open, R"(<L from="Save all" to="Save all" key="IDS_SAVE"/>)", close,
                               R"(<L from="Help" to="Help" key="IDS_HELP"/>)"}));
    commit("develop");
    ASSERT_EQ(git({"checkout", "-q", "translate"}).status, 0);
    const GitRan merged = git({"merge", "--no-edit", "develop"});
    EXPECT_EQ(merged.status, 0) << merged.out.toStdString() << merged.err.toStdString();
    const QByteArray both = languageFile(kGitRoot, {R"(<L from="Open" to="Öffnen" key="IDS_OPEN"/>)",
                                                 R"(<L from="Save all" to="Save all" key="IDS_SAVE"/>)", close,
                                                 R"(<L from="Help" to="Help" key="IDS_HELP"/>)"});
    EXPECT_EQ(readBytes(file()), both);
    EXPECT_TRUE(git({"status", "--porcelain"}).out.isEmpty());

    // A real conflict: ours' value stays, the conflicts file lists it.
    ASSERT_EQ(git({"checkout", "-q", "-b", "other", "main"}).status, 0);
    write(QStringLiteral("lang/ViewResDEU.xml"),
          languageFile(kGitRoot, {R"(<L from="Open" to="Aufmachen" key="IDS_OPEN"/>)", save, close}));
    commit("other translation");
    ASSERT_EQ(git({"checkout", "-q", "translate"}).status, 0);
    const GitRan conflicting = git({"merge", "--no-edit", "other"});
    EXPECT_NE(conflicting.status, 0);
    EXPECT_TRUE(conflicting.out.contains("Conflict: \"Open\" (IDS_OPEN) to: base \"Open\", ours \"Öffnen\", theirs "
                                         "\"Aufmachen\""))
        << conflicting.out.toStdString() << conflicting.err.toStdString();
    EXPECT_EQ(readBytes(file()), both);
    ConflictsFile listed;
    QString error;
    ASSERT_TRUE(ReadConflictsFile(ConflictsFilePath(file()), &listed, &error)) << error.toStdString();
    EXPECT_EQ(listed.file, "ViewResDEU.xml");
    ASSERT_EQ(listed.conflicts.size(), 1u);
    EXPECT_EQ(listed.conflicts[0].theirs, "Aufmachen");
    ASSERT_EQ(git({"merge", "--abort"}).status, 0);

    // git diff shows the entries that changed, not XML lines.
    const GitRan diff = git({"diff", "main", "translate", "--", "lang/ViewResDEU.xml"});
    EXPECT_EQ(diff.status, 0) << diff.err.toStdString();
    EXPECT_TRUE(diff.out.endsWith("@@ -1,3 +1,4 @@\n"
                                  "-IDS_OPEN\tOpen\tOpen\n"
                                  "-IDS_SAVE\tSave\tSave\n"
                                  "+IDS_OPEN\tOpen\tÖffnen\n"
                                  "+IDS_SAVE\tSave all\tSave all\n"
                                  " IDS_CLOSE\tClose\tClose\n"
                                  "+IDS_HELP\tHelp\tHelp\n"))
        << diff.out.toStdString();
    EXPECT_FALSE(diff.out.contains("<L "));
}

TEST_F(GitMerge, GlobalSetUpWritesTheUsersConfiguration)
{
    const GitRan setup = start(QStringLiteral(RENDARO_CLI_PATH), {QStringLiteral("git-setup"), QStringLiteral("--global")});
    ASSERT_EQ(setup.status, 0) << setup.err.toStdString();
    const QByteArray config = readBytes(home.path(QStringLiteral(".gitconfig")));
    EXPECT_TRUE(config.contains("[merge \"rendaro\"]")) << config.toStdString();
    EXPECT_TRUE(config.contains("textconv = '" RENDARO_CLI_PATH "' dump --lines"));
    // Without language files yet, the user is told what to add.
    EXPECT_TRUE(setup.out.contains("No language file found")) << setup.out.toStdString();

    // Outside a repository, only --global can set anything up.
    TempFolder outside;
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(outside.root());
    process.start(QStringLiteral(RENDARO_CLI_PATH), {QStringLiteral("git-setup")});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(process.readAllStandardError().contains("is not in a git repository"));
}
