// What the commands write to: never a device, FIFO, socket or folder, never
// the untranslated strings over their own source, and failures that say
// which file and why.

#include "cli_run_helper.h"
#include "special_files.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

using WriteTargets = FolderTest;

const QByteArray kTwoStrings = languageFile("", {"<L from=\"One\" to=\"Eins\" key=\"K1\"/>", "<L from=\"Two\" to=\"\"/>"});

TEST_F(WriteTargets, NoCommandReplacesAFileThatIsNotRegular)
{
    const QString source = write("a.xml", kTwoStrings);
    ASSERT_TRUE(makeFifo(folder.path("fifo")));
    const int socket = makeSocket(folder.path("socket"));
    ASSERT_GE(socket, 0);
    QDir(folder.root()).mkdir("folder");
    QStringList targets = {folder.path("fifo"), folder.path("socket"), folder.path("folder")};
    if (makeNullDevice(folder.path("null")))
        targets << folder.path("null");
    for (const QString &target : targets) {
        const mode_t type = fileType(target);
        const QList<QStringList> commands = {
            {"resave", source, "-o", target},
            {"untranslated", source, "-o", target},
            {"export", "js", source, "-o", target},
            {"export", "php", source, "-o", target},
            {"import", target, source},
            {"extract", kResourceFixtures + "/resources64.dll", kResourceFixtures + "/resource.h", "--add-to", target},
        };
        for (const QStringList &command : commands) {
            const CliRun r = run(command);
            EXPECT_EQ(r.status, 1) << command.join(' ').toStdString();
            EXPECT_TRUE(r.err.startsWith("Can not save file. (" + target + ": it is a")) << r.err.toStdString();
            EXPECT_TRUE(r.err.contains(", not a regular file)")) << r.err.toStdString();
            EXPECT_EQ(fileType(target), type) << command.join(' ').toStdString();
        }
        const CliRun applied = run({"apply", source, target});
        EXPECT_EQ(applied.status, 1);
        EXPECT_TRUE(applied.err.startsWith("Can't apply to " + target + " (it is a")) << applied.err.toStdString();
        EXPECT_EQ(fileType(target), type);
    }
    ::close(socket);
    EXPECT_EQ(readBytes(source), kTwoStrings);
}

TEST_F(WriteTargets, UntranslatedStringsNeverReplaceTheirSource)
{
    const QString source = write("a.xml", kTwoStrings);
    QFile::link(source, folder.path("link.xml"));
    ASSERT_TRUE(QFile::link(source, folder.path("link.xml")) || QFile::exists(folder.path("link.xml")));
    ASSERT_EQ(::link(QFile::encodeName(source).constData(), QFile::encodeName(folder.path("hard.xml")).constData()), 0);
    for (const QString &output : {source, folder.path("link.xml"), folder.path("hard.xml")}) {
        const CliRun r = run({"untranslated", source, "-o", output});
        EXPECT_EQ(r.status, 1) << output.toStdString();
        EXPECT_EQ(r.err, "Can not save file. (" + output + ": it is the input file " + source + "; choose another output)\n");
    }
    EXPECT_EQ(run({"untranslated", folder.path("link.xml"), "-o", source}).status, 1);
    EXPECT_EQ(readBytes(source), kTwoStrings);
    // Another file is fine, and resave over its own file is the normal Save.
    EXPECT_EQ(run({"untranslated", source, "-o", folder.path("todo.xml")}).status, 0);
    EXPECT_EQ(run({"resave", source}).status, 0);
}

TEST_F(WriteTargets, SaveFailuresNameThePathAndTheReason)
{
    const QString source = write("a.xml", kTwoStrings);
    const QString missing = folder.path("no/such/out.xml");
    for (const QStringList &command : {QStringList{"resave", source, "-o", missing},
                                       QStringList{"untranslated", source, "-o", missing},
                                       QStringList{"export", "js", source, "-o", missing}}) {
        const CliRun r = run(command);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "Can not save file. (" + missing + ": No such file or directory)\n");
    }
    const QString longName = folder.path(QString(300, u'n'));
    const CliRun tooLong = run({"extract", kResourceFixtures + "/resources64.dll", kResourceFixtures + "/resource.h", "--add-to", longName});
    EXPECT_EQ(tooLong.status, 1);
    EXPECT_EQ(tooLong.err, "Can not save file. (" + longName + ": File name too long)\n");
}

TEST_F(WriteTargets, ExtractNamesTheFileItCouldNotRead)
{
    // A header that exists but cannot be read: without root a file we may
    // not read; root reads everything, but not memory at address zero.
    QString header = QStringLiteral("/proc/self/mem");
    if (!isRoot()) {
        header = write("resource.h", "#define IDS_X 101\n");
        QFile::setPermissions(header, QFileDevice::WriteOwner);
    }
    const CliRun r = run({"extract", kResourceFixtures + "/resources64.dll", header});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.startsWith("Can not open the header " + header + " (")) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains("executable")) << r.err.toStdString();

    const CliRun notExecutable = run({"extract", write("text.exe", "MZ but no more"), kResourceFixtures + "/resource.h"});
    EXPECT_EQ(notExecutable.err, "Not a Windows executable: " + folder.path("text.exe") + "\n");
}

} // namespace
