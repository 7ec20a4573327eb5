// rendaro-cli preview: the dialogs of the dialog-layout test DLL drawn with
// a file's translations, read back as pictures and their pixels sampled.

#include "cli_run_helper.h"
#include "fontmetrics/font_engine.h"
#include "test_support.h"

#include <QImage>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

using PreviewCli = FolderTest;

constexpr QRgb kRed = 0xFFE00000;  // the frame of a control whose text does not fit

QByteArray germanOptions()
{
    return languageFile("AllowLength=\"3.000000\" CodeType=\"CPlus2\"",
                        {"<L from=\"Delete all\" to=\"Alle Einträge unwiderruflich löschen\" key=\"IDS_1\"/>",
                         "<L from=\"OK\" to=\"OK\" key=\"IDS_2\"/>",
                         "<L from=\"Options\" to=\"Optionen\" key=\"IDS_3\"/>",
                         "<L from=\"Save&#9;Ctrl+S\" to=\"&amp;Speichern&#9;Strg+S\" key=\"IDS_4\"/>"});
}

TEST_F(PreviewCli, DrawsADialogAtItsPixelSizeWithTheTooWideControlInRed)
{
    if (ExtraFontFolders().isEmpty())
        GTEST_SKIP() << "the Wine fonts (fonts-wine) are not installed";
    const QString file = write("ProgDEU.xml", germanOptions());
    const QString dll = kResourceFixtures + "/dialogs64.dll", header = kResourceFixtures + "/dialogs.h";
    const QString png = folder.path("options.png");
    const CliRun r = run({"preview", file, "--program", dll, "--header", header, "--dialog", "IDD_OPTIONS", "-o", png});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    // 220 x 140 units in 8-point Tahoma, whose base units are 6 x 13 at 96
    // dpi: 330 x 227.5 pixels, rounded up.
    EXPECT_TRUE(r.out.startsWith(png + ": IDD_OPTIONS, 330 x 228 px, ")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("  Alle Einträge unwiderruflich löschen: ")) << r.out.toStdString();
    QImage image(png);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(330, 228));
    // IDC_DELETE_ALL at 7, 7 and 50 x 14 units: 11, 11 (10.5 and 11.375)
    // and 75 x 23 pixels, framed in red; the OK button beside it at 90 is
    // the default button, framed in blue.
    for (const QPoint &at : {QPoint(11, 22), QPoint(12, 22), QPoint(85, 22), QPoint(40, 11), QPoint(40, 33)})
        EXPECT_EQ(image.pixel(at), kRed) << at.x() << "," << at.y();
    EXPECT_EQ(image.pixel(90, 22), qRgb(0, 120, 215));
    EXPECT_NE(image.pixel(10, 22), kRed);  // the frame lies on the control
    EXPECT_NE(image.pixel(13, 22), kRed);  // and is two pixels wide

    // By number, at 120 dpi: larger, and the same controls too small.
    const QString large = folder.path("large.png");
    const CliRun at120 = run({"preview", file, "--program", dll, "--dialog", "101", "--dpi", "120", "-o", large});
    ASSERT_EQ(at120.status, 0) << at120.err.toStdString();
    const QImage larger(large);
    EXPECT_GT(larger.width(), 330);
    EXPECT_TRUE(at120.out.contains(QStringLiteral(" %1 x %2 px, ").arg(larger.width()).arg(larger.height())));
    EXPECT_TRUE(at120.out.contains("101, ")) << at120.out.toStdString();  // no header: the number
}

TEST_F(PreviewCli, AllWritesEveryDialogAndMenuAndUsageIsChecked)
{
    if (ExtraFontFolders().isEmpty())
        GTEST_SKIP() << "the Wine fonts (fonts-wine) are not installed";
    const QString file = write("ProgDEU.xml", germanOptions());
    const QString dll = kResourceFixtures + "/dialogs64.dll", header = kResourceFixtures + "/dialogs.h";
    const QString out = folder.path("pictures");
    CliRun r = run({"preview", file, "--program", dll, "--header", header, "--all", "-o", out});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(QDir(out).entryList(QDir::Files, QDir::Name),
              QStringList({"IDD_CLASSIC.png", "IDD_MISSING_FONT.png", "IDD_OPTIONS.png", "menu_IDR_MAIN.png"}));
    for (const QString &name : QDir(out).entryList(QDir::Files))
        EXPECT_FALSE(QImage(out + "/" + name).isNull()) << name.toStdString();
    // The face the dialog asks for is missing: drawn in another, and said.
    EXPECT_TRUE(r.err.contains("No Such Face Anywhere is not installed; drawn in")) << r.err.toStdString();
    // The shared string is too wide in both dialogs showing it.
    EXPECT_EQ(r.out.count("Alle Einträge unwiderruflich löschen: "), 2) << r.out.toStdString();

    const QString png = folder.path("x.png");
    EXPECT_EQ(run({"preview", file, "--dialog", "IDD_OPTIONS", "-o", png}).status, 2);  // no program
    EXPECT_EQ(run({"preview", file, "--program", dll, "-o", png}).status, 2);  // neither --dialog nor --all
    EXPECT_EQ(run({"preview", file, "--program", dll, "--all", "--dialog", "101", "-o", png}).status, 2);
    EXPECT_EQ(run({"preview", file, "--program", dll, "--dialog", "101"}).status, 2);  // no -o
    EXPECT_EQ(run({"preview", file, "--program", dll, "--dialog", "101", "--dpi", "7", "-o", png}).status, 2);
    r = run({"preview", file, "--program", dll, "--header", header, "--dialog", "IDD_NONE", "-o", png});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("its dialogs: IDD_OPTIONS, IDD_CLASSIC, IDD_MISSING_FONT")) << r.err.toStdString();
    r = run({"preview", file, "--program", folder.path("missing.dll"), "--dialog", "101", "-o", png});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("missing.dll"));
    EXPECT_FALSE(QFile::exists(png));
}

// The program itself draws without a display.
TEST_F(PreviewCli, TheProgramNeedsNoDisplay)
{
    if (ExtraFontFolders().isEmpty())
        GTEST_SKIP() << "the Wine fonts (fonts-wine) are not installed";
    const QString file = write("ProgDEU.xml", germanOptions());
    const QString png = folder.path("classic.png");
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(environment);
    process.start(RENDARO_CLI_PATH, {"preview", file, "--program", kResourceFixtures + "/dialogs64.dll", "--header",
                                     kResourceFixtures + "/dialogs.h", "--dialog", "idd_classic", "-o", png});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    // 160 x 60 units in 8-point MS Sans Serif, 6 x 13 base units.
    EXPECT_EQ(QImage(png).size(), QSize(240, 98));
}

} // namespace
