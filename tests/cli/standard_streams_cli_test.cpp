// "-" as standard input and output, FIFOs as input, failed writes to
// standard output, and the command-line conventions (--help, --version, --).

#include "cli_run_helper.h"
#include "special_files.h"
#include "test_support.h"

#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

using StandardStreams = FolderTest;

const QByteArray kFile = languageFile("AllowLength=\"1.5\"", {"<L from=\"One\" to=\"Eins\" key=\"K1\"/>",
                                                             "<L from=\"Two\" to=\"\" key=\"K2\"/>"});

// A file larger than a pipe holds, so that a reader sees it in pieces.
QByteArray largeFile()
{
    QList<QByteArray> lines;
    for (int i = 0; i < 5000; ++i)
        lines << QStringLiteral("<L from=\"Text number %1\" to=\"Text %1\" key=\"K%1\"/>").arg(i).toUtf8();
    return languageFile("", lines);
}

TEST_F(StandardStreams, DashReadsStandardInput)
{
    const QString path = write("a.xml", kFile);
    for (const QStringList &command : {QStringList{"dump"}, QStringList{"check", "--json"}}) {
        const CliRun fromFile = run(command + QStringList{path});
        const CliRun fromInput = run(command + QStringList{"-"}, kFile);
        EXPECT_EQ(fromInput.status, fromFile.status) << fromInput.err.toStdString();
        EXPECT_EQ(fromInput.out, fromFile.out);
    }
    const CliRun broken = run({"dump", "-"}, "<Language>");
    EXPECT_EQ(broken.status, 1);
    EXPECT_TRUE(broken.err.startsWith("Can not open this file. (standard input: ")) << broken.err.toStdString();
}

TEST_F(StandardStreams, DashOutputWritesTheFileToStandardOutput)
{
    const QString path = write("a.xml", kFile);
    const struct {
        QStringList toFile, toOutput;
    } cases[] = {
        {{"resave", path, "-o", folder.path("out")}, {"resave", "-", "-o", "-"}},
        {{"untranslated", path, "-o", folder.path("out")}, {"untranslated", "-", "-o", "-"}},
        {{"export", "js", path, "-o", folder.path("out")}, {"export", "js", "-", "-o", "-"}},
        {{"export", "php", path, "-o", folder.path("out")}, {"export", "php", path, "-o", "-"}},
    };
    for (const auto &c : cases) {
        ASSERT_EQ(run(c.toFile).status, 0) << c.toFile.join(' ').toStdString();
        const CliRun piped = run(c.toOutput, kFile);
        EXPECT_EQ(piped.status, 0) << piped.err.toStdString();
        EXPECT_EQ(piped.outBytes, readBytes(folder.path("out"))) << c.toOutput.join(' ').toStdString();
    }
    // resave - without -o is a filter from standard input to standard output.
    EXPECT_EQ(run({"resave", "-"}, kFile).outBytes, run({"resave", path, "-o", "-"}).outBytes);
    EXPECT_EQ(readBytes(path), kFile);
    EXPECT_EQ(QDir(folder.root()).entryList(QDir::Files | QDir::Hidden), QStringList({"a.xml", "out"}));
}

TEST_F(StandardStreams, AFifoIsReadWholeAndNeverReplaced)
{
    const QString fifo = folder.path("fifo.xml");
    ASSERT_TRUE(makeFifo(fifo));
    const QByteArray bytes = largeFile();
    const QString copy = write("copy.xml", bytes);
    CliRun fromFifo;
    {
        FifoWriter writer(fifo, bytes);
        fromFifo = run({"dump", fifo});
    }
    EXPECT_EQ(fromFifo.status, 0) << fromFifo.err.toStdString();
    EXPECT_EQ(fromFifo.out, run({"dump", copy}).out);

    // Saving over it, or exporting, importing or adding to it, is refused
    // before anything is read.
    for (const QStringList &command :
         {QStringList{"resave", fifo}, QStringList{"resave", copy, "-o", fifo}, QStringList{"untranslated", copy, "-o", fifo},
          QStringList{"export", "js", copy, "-o", fifo}, QStringList{"import", fifo, copy}}) {
        const CliRun refused = run(command);
        EXPECT_EQ(refused.status, 1) << command.join(' ').toStdString();
        EXPECT_EQ(refused.err, "Can not save file. (" + fifo + ": it is a FIFO, not a regular file)\n")
            << command.join(' ').toStdString();
        EXPECT_EQ(fileType(fifo), mode_t(S_IFIFO));
    }
}

TEST_F(StandardStreams, AFailedWriteToStandardOutputIsAnError)
{
    const QString path = write("a.xml", kFile);
    for (const QStringList &command : {QStringList{"dump", path}, QStringList{"check", path}, QStringList{"--version"},
                                       QStringList{"resave", path, "-o", "-"}, QStringList{"dump", "--help"}}) {
        QFile full("/dev/full");
        ASSERT_TRUE(full.open(QIODevice::WriteOnly));
        QString err;
        QTextStream out(&full), errStream(&err);
        CliStreams io{out, errStream};
        EXPECT_EQ(runCli(command, io), 1) << command.join(' ').toStdString();
        errStream.flush();
        EXPECT_TRUE(err.endsWith("Can not write to standard output: No space left on device\n")) << err.toStdString();
    }

    // The real program, with its standard output on a full device.
    QProcess process;
    process.setStandardOutputFile("/dev/full");
    process.start(RENDARO_CLI_PATH, {"dump", path});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(process.readAllStandardError().contains("Can not write to standard output"));
}

TEST_F(StandardStreams, TheRealProgramReadsAndWritesItsStandardStreams)
{
    QProcess process;
    process.start(RENDARO_CLI_PATH, {"resave", "-"});
    ASSERT_TRUE(process.waitForStarted(30000));
    const QByteArray bytes = largeFile();
    process.write(bytes);
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_EQ(process.readAllStandardOutput(), run({"resave", write("big.xml", bytes), "-o", "-"}).outBytes);
}

TEST_F(StandardStreams, HelpVersionAndTheEndOfOptions)
{
    const CliRun version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(QRegularExpression("^rendaro-cli \\d+\\.\\d+").match(version.out).hasMatch()) << version.out.toStdString();

    const CliRun help = run({"dump", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("usage: rendaro-cli dump FILE [--lines]\nPrints the catalogue")) << help.out.toStdString();
    const CliRun exportHelp = run({"export", "js", "-h"});
    EXPECT_EQ(exportHelp.status, 0);
    EXPECT_TRUE(exportHelp.out.startsWith("usage: rendaro-cli export js|php FILE -o OUT\n"
                                          "       rendaro-cli export js|php --folder DIR\n"))
        << exportHelp.out.toStdString();

    // Options are options; after -- everything is a file.
    WorkingFolder working(folder.root());
    write("-x.xml", kFile);
    const CliRun option = run({"dump", "-x.xml"});
    EXPECT_EQ(option.status, 2);
    EXPECT_TRUE(option.err.startsWith("unknown option -x.xml")) << option.err.toStdString();
    EXPECT_EQ(run({"dump", "--", "-x.xml"}).out, run({"dump", folder.path("-x.xml")}).out);
    EXPECT_EQ(run({"resave", "-o", "--help.xml", "--", "-x.xml"}).status, 0);
    EXPECT_EQ(readBytes(folder.path("--help.xml")), run({"resave", "-o", "-", "--", "-x.xml"}).outBytes);
    const CliRun named = run({"dump", "--", "--help"});
    EXPECT_EQ(named.status, 1);
    EXPECT_TRUE(named.err.startsWith("Can not open this file. (--help")) << named.err.toStdString();
    EXPECT_EQ(run({"resave", "-o"}).status, 2);
    EXPECT_EQ(run({"check", "a.xml", "--spelling", "--", "b.xml"}).status, 2);  // two files to spell-check
}

} // namespace
