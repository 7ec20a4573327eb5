#include "branch_fixture.h"
#include "cli/cli_run_helper.h"

namespace {

// rendaro-cli pack over a branch with ViewRes (the test program View.exe)
// and BackRes (catalogues only), in German and English.
class PackCli : public BranchTest {
protected:
    void SetUp() override
    {
        BranchTest::SetUp();
        installView();
        writeCatalogue("ViewRes", "ENG", {R"(<L from="Hello" to="Hello"/>)"});
        writeCatalogue("ViewRes", "DEU", {R"(<L from="Hello" to="Hallo"/>)"});
        writeCatalogue("BackRes", "DEU", {R"(<L from="Back" to="Back"/>)"});
    }
    QStringList pack(const QString &command, const QStringList &more = {}) const
    {
        return QStringList({"pack", command, "--branch", branch()}) + more;
    }
};

TEST_F(PackCli, ListShowsTheProjectsAndLanguages)
{
    const CliRun r = run(pack("list"));
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Projects:\n  0 ViewRes\nLanguages:\n  DEU\n  ENG\n");
    EXPECT_TRUE(run({"help"}).out.contains("rendaro-cli pack list|add-strings|combine|import"));
}

TEST_F(PackCli, UsageErrors)
{
    const QStringList wrong[] = {
        {"pack"},
        {"pack", "unpack", "--branch", branch()},
        {"pack", "list"},                                         // no branch
        pack("list", {"--project", "ViewRes"}),                   // list takes no selection
        pack("combine"),                                          // no --out
        pack("import", {"--out", folder.root()}),                 // --out is combine's
        pack("import", {"--from"}),                               // no value
        pack("list", {"--branch", branch()}),                     // twice
        pack("add-strings", {"--verbose", "yes"}),
        pack("combine", {"--out", folder.root(), "--threads", "0"}),  // at least one
        pack("import", {"--from", folder.root(), "--threads", "two"}),
        pack("list", {"--threads", "2"}),                        // only combine and import read many files
    };
    for (const QStringList &args : wrong) {
        const CliRun r = run(args);
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith("usage: rendaro-cli pack")) << r.err.toStdString();
    }
}

TEST_F(PackCli, AStepThatCannotRunExitsWithOne)
{
    const QString table = write("table.json", "[{\"name\": \"AlphaRes\"}]");
    CliRun r = run(pack("list", {"--projects", table}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Project table " + table + ": row 0: the field \"sourcePath\" is missing\n");

    r = run({"pack", "list", "--branch", folder.path("nowhere")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Not a folder: " + folder.path("nowhere") + "\n");
    r = run(pack("combine", {"--out", folder.path("out"), "--project", "NoRes"}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "No project NoRes in the project table\n");
    r = run(pack("combine", {"--out", folder.path("out"), "--language", "FRA"}));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.startsWith("No language folder FRA under ")) << r.err.toStdString();
    r = run(pack("add-strings", {"--project", "BackRes"}));  // Back.exe is missing
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "BackRes: its module, header or text file is missing; skipped\n");
    EXPECT_FALSE(QFileInfo::exists(folder.path("out")));
}

TEST_F(PackCli, AddStringsCombineAndImport)
{
    CliRun r = run(pack("add-strings"));
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "ViewRes: 8 new strings, 2 files updated, 0 created\n");
    EXPECT_EQ(translationIn(catalogue("ViewRes", "DEU"), "Open the file"), u"Open the file");

    const QString out = folder.path("out");
    r = run(pack("combine", {"--out", out, "--project", "ViewRes", "--project", "BackRes", "--language", "DEU"}));
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, out + "/ALL_DEU.xml\n");
    EXPECT_EQ(entryCount(out + "/ALL_DEU.xml"), 10);

    writeAt(out + "/ALL_DEU.xml", languageFile("", {R"(<L from="Back" to="Zurück"/>)", R"(<L from="Exit" to="Beenden"/>)"}));
    r = run(pack("import", {"--from", out, "--project", "ViewRes", "--project", "BackRes", "--language", "DEU",
                            "--threads", "1"}));
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Start processing DEU\nLoad Translated File " + out + "/ALL_DEU.xml\nLoad File " +
                         catalogue("ViewRes", "DEU") + "\nLoad File " + catalogue("BackRes", "DEU") +
                         "\nSave All Files\n1 of 1 languages imported, 2 files written\n");
    EXPECT_TRUE(r.err.isEmpty());  // no progress when standard error is no terminal
    EXPECT_EQ(translationIn(catalogue("BackRes", "DEU"), "Back"), QString::fromUtf8("Zurück"));
    EXPECT_EQ(translationIn(catalogue("ViewRes", "DEU"), "Exit"), u"Beenden");
    EXPECT_EQ(translationIn(catalogue("ViewRes", "DEU"), "Hello"), u"Hallo");
}

TEST_F(PackCli, ImportNamesWhatItCouldNotRead)
{
    const QString out = folder.path("out");
    QDir().mkpath(out);
    writeCatalogue("BackRes", "DEU", {"<L from="});
    const CliRun r = run(pack("import", {"--from", out, "--project", "ViewRes", "--project", "BackRes", "--language", "DEU"}));
    EXPECT_EQ(r.status, 1);
    const QStringList problems = r.err.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(problems.size(), 2) << r.err.toStdString();
    EXPECT_TRUE(problems[0].startsWith("Can not read " + out + "/ALL_DEU.xml"));
    EXPECT_TRUE(problems[1].startsWith("Can not read " + catalogue("BackRes", "DEU")));
    EXPECT_TRUE(r.out.contains("\n" + problems[1] + "\n"));  // in the log as well
    EXPECT_EQ(readBytes(catalogue("BackRes", "DEU")), languageFile("", {"<L from="}));
}

TEST_F(PackCli, ImportDrawsItsProgressOnATerminal)
{
    const QString out = folder.path("out");
    QDir().mkpath(out);
    writeAt(out + "/ALL_DEU.xml", languageFile("", {R"(<L from="Back" to="Zurück"/>)"}));
    writeAt(out + "/ALL_ENG.xml", languageFile("", {}));
    QString outText, errText;
    QTextStream outStream(&outText), errStream(&errText);
    CliStreams io{outStream, errStream, true};
    ASSERT_EQ(runCli(pack("import", {"--from", out}), io), 0);
    errStream.flush();
    // Each log line first clears the progress line, which is then drawn again.
    EXPECT_TRUE(errText.startsWith("\r\033[K[0/2] DEU\r\033[K[0/2] DEU")) << errText.toStdString();
    EXPECT_TRUE(errText.contains("[1/2] ENG"));
    EXPECT_TRUE(errText.endsWith("[1/2] ENG\r\033[K")) << errText.toStdString();
    outStream.flush();
    EXPECT_TRUE(outText.endsWith("2 of 2 languages imported, 2 files written\n")) << outText.toStdString();
}

} // namespace
