// rendaro-cli check --program: fit and accelerator-clash from the dialogs
// and menus of the dialog-layout test DLL, measured with the real fonts.

#include "cli_run_helper.h"
#include "fontmetrics/font_engine.h"
#include "test_support.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

using CheckProgramCli = FolderTest;

QByteArray germanDialogs()
{
    return languageFile("AllowLength=\"3.000000\" CodeType=\"CPlus2\"",
                        {"<L from=\"Delete all\" to=\"Alle Einträge unwiderruflich löschen\" key=\"IDS_1\"/>",
                         "<L from=\"OK\" to=\"OK\" key=\"IDS_2\"/>",
                         "<L from=\"Save&#9;Ctrl+S\" to=\"&amp;Speichern&#9;Strg+S\" key=\"IDS_3\"/>",
                         "<L from=\"Save &amp;As...\" to=\"&amp;Speichern unter...\" key=\"IDS_4\"/>",
                         "<L from=\"Small\" to=\"Klein\" key=\"IDS_5\"/>"});
}

TEST_F(CheckProgramCli, AddsFitAndAcceleratorClashAndNamesAProgramItCannotRead)
{
    if (ExtraFontFolders().isEmpty())
        GTEST_SKIP() << "the Wine fonts (fonts-wine) are not installed";
    const QString file = write("ProgDEU.xml", germanDialogs());
    const QString dll = kResourceFixtures + "/dialogs64.dll", header = kResourceFixtures + "/dialogs.h";

    CliRun r = run({"check", file, "--program", dll, "--header", header, "--checks", "fit,accelerator-clash"});
    EXPECT_EQ(r.status, 1) << r.out.toStdString() << r.err.toStdString();
    // The long text is too wide for both buttons showing "Delete all", at
    // 96 dpi already; the dialog whose face is missing is said to be
    // measured in another.
    static const QRegularExpression fit(
        QStringLiteral(R"(:4: warning: needs (\d+) px, "Delete all" \(IDC_DELETE_ALL in IDD_(OPTIONS|CLASSIC)\) has (\d+) px at 96 dpi \[fit\])"));
    int fitLines = 0;
    for (auto m = fit.globalMatch(r.out); m.hasNext();) {
        const QRegularExpressionMatch match = m.next();
        EXPECT_GT(match.captured(1).toInt(), match.captured(3).toInt());
        ++fitLines;
    }
    EXPECT_EQ(fitLines, 2) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(":6: warning: accelerator S is also used by \"&Speichern unter...\""))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(":7: warning: accelerator S is also used by \"&Speichern\tStrg+S\""));
    EXPECT_TRUE(r.out.contains("0 errors, 4 warnings")) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains("No Such Face Anywhere (measured in")) << r.err.toStdString();

    // Without --program neither check says anything.
    r = run({"check", file, "--checks", "fit,accelerator-clash"});
    EXPECT_EQ(r.status, 0) << r.out.toStdString();

    // A program that cannot be read is named; the other checks go on.
    r = run({"check", file, "--program", folder.path("missing.dll")});
    EXPECT_TRUE(r.err.contains("missing.dll")) << r.err.toStdString();
    EXPECT_FALSE(r.out.contains("[fit]"));
    EXPECT_TRUE(r.out.contains("[length]")) << r.out.toStdString();

    r = run({"check", file, "--header", header});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("--header goes with --program"));
}

} // namespace

namespace {

TEST_F(CheckProgramCli, XliffExportGivesRestypeAndThePixelWidthOfTheNarrowestControl)
{
    if (ExtraFontFolders().isEmpty())
        GTEST_SKIP() << "the Wine fonts (fonts-wine) are not installed";
    const QString file = write("ProgDEU.xml", germanDialogs());
    const QString out = folder.path("out.xlf");
    CliRun r = run({"xliff", "export", file, "-o", out, "--program", kResourceFixtures + "/dialogs64.dll"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QString xliff = QString::fromUtf8(readBytes(out));
    // "Delete all" is a 50-unit button in IDD_OPTIONS and a 60-unit one in
    // IDD_CLASSIC, both in 8-point Tahoma or MS Sans Serif (6 x 13 base
    // units): 75 px less the frame and the focused button's outline, 3 px a
    // side, is the narrower.
    EXPECT_TRUE(xliff.contains(QStringLiteral("resname=\"IDS_1\" restype=\"pushbutton\" maxwidth=\"69\" "
                                              "size-unit=\"pixel\"")))
        << xliff.toStdString();
    EXPECT_TRUE(xliff.contains(QStringLiteral("resname=\"IDS_3\" restype=\"menuitem\" maxwidth=\"")));
    EXPECT_TRUE(xliff.contains(QStringLiteral("resname=\"IDS_5\" restype=\"radio\" maxwidth=\"")));
    // --program goes with xliff export only.
    EXPECT_EQ(run({"po", "export", file, "-o", folder.path("out.po"), "--program", "x.dll"}).status, 2);
    // A program that cannot be read is named; the export goes on.
    r = run({"xliff", "export", file, "-o", out, "--program", folder.path("missing.dll")});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.err.contains("missing.dll"));
    EXPECT_TRUE(QString::fromUtf8(readBytes(out)).contains(QStringLiteral("size-unit=\"char\"")));
}

} // namespace
