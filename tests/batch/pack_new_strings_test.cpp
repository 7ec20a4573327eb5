#include "branch_fixture.h"

namespace {

// Step 1 over the test program View.exe (ViewRes, row 0). Its texts are
// File, Open...<TAB>Ctrl+O, Exit, Options, Name:, OK, Hello, Open the file
// and "Line one<LF>Line two".
class PackNewStrings : public BranchTest {
protected:
    void SetUp() override
    {
        BranchTest::SetUp();
        installView();
        english = writeCatalogue("ViewRes", "ENG", {R"(<L from="Hello" to="Hello" key="IDS_HELLO"/>)",
                                                   R"(<L from="Quit" to="Quit" key="IDS_QUIT"/>)"});
        german = writeCatalogue("ViewRes", "DEU", {R"(<L from="Hello" to="Hallo" key="IDS_HELLO"/>)",
                                                  R"(<L from="Quit" to="Beenden" key="IDS_QUIT"/>)"});
        QDir().mkpath(branch() + "/Exe/Lang/FRA");  // a language folder without the project's file
        handler.SetSelectedLanguages({"ENG", "DEU", "FRA", "ITA"});  // ITA has no folder at all
    }
    QString english, german;
};

TEST_F(PackNewStrings, NewTextsReachTheEnglishFileAndEveryLanguage)
{
    ASSERT_TRUE(handler.AddNewStrings(0));
    const PackStepResult result = handler.LastResult();
    EXPECT_EQ(result.stringsAdded, 8);  // Hello was there already
    EXPECT_TRUE(result.problems.isEmpty()) << result.problems.join('\n').toStdString();

    EXPECT_EQ(entryCount(english), 10);
    EXPECT_EQ(translationIn(english, "Open..."), u"Open...");  // accelerator hint cut
    EXPECT_EQ(translationIn(english, "Line one\\nLine two"), u"Line one\\nLine two");  // memory form
    const QByteArray englishBytes = readBytes(english);
    EXPECT_TRUE(englishBytes.contains("   <L from=\"Quit\" to=\"Quit\" key=\"IDS_QUIT\"/>\r\n   <L from=\"Exit\""))
        << "new strings follow the file's own ones";

    // The existing language file keeps its translations and gains the rest.
    EXPECT_EQ(translationIn(german, "Hello"), u"Hallo");
    EXPECT_EQ(translationIn(german, "Quit"), u"Beenden");
    EXPECT_EQ(translationIn(german, "Open the file"), u"Open the file");
    EXPECT_EQ(entryCount(german), 10);

    // A language without the project's file gets a copy of the English file
    // that already holds the new strings.
    const QString french = catalogue("ViewRes", "FRA");
    EXPECT_EQ(readBytes(french), englishBytes);
    EXPECT_EQ(result.created, QStringList({french}));
    EXPECT_EQ(result.written, QStringList({english, german}));
    EXPECT_FALSE(QFileInfo::exists(branch() + "/Exe/Lang/ITA"));
    EXPECT_TRUE(document.catalogues().size() == 1 && document.catalogues()[0].entries.empty());

    ASSERT_TRUE(handler.AddNewStrings(0));  // a second run finds nothing new
    EXPECT_EQ(handler.LastResult().stringsAdded, 0);
    EXPECT_EQ(entryCount(german), 10);
}

TEST_F(PackNewStrings, AnUnreadableLanguageFileIsNamedAndLeftAlone)
{
    writeAt(german, "<Language><L from=");
    ASSERT_TRUE(handler.AddNewStrings(0));
    const PackStepResult result = handler.LastResult();
    EXPECT_EQ(result.problems, QStringList({"Can not apply to " + german}));
    EXPECT_EQ(readBytes(german), QByteArray("<Language><L from="));
    EXPECT_EQ(entryCount(english), 10);  // the other files are still done
    EXPECT_EQ(entryCount(catalogue("ViewRes", "FRA")), 10);
}

TEST_F(PackNewStrings, NothingHappensWithoutTheHeaderOrTheEnglishFile)
{
    const QByteArray englishBefore = readBytes(english);
    QFile::remove(branch() + "/Source/View/resource.h");
    ASSERT_TRUE(handler.AddNewStrings(0));
    EXPECT_EQ(handler.LastResult().problems.size(), 1);
    EXPECT_EQ(readBytes(english), englishBefore);
    EXPECT_FALSE(QFileInfo::exists(catalogue("ViewRes", "FRA")));

    copyTo(kPackFixtures + "/resource.h", branch() + "/Source/View/resource.h");
    QFile::remove(english);
    ASSERT_TRUE(handler.AddNewStrings(0));
    EXPECT_TRUE(handler.LastResult().problems.value(0).startsWith("Can not read " + english));
    EXPECT_FALSE(QFileInfo::exists(english));
    EXPECT_FALSE(QFileInfo::exists(catalogue("ViewRes", "FRA")));
    EXPECT_EQ(entryCount(german), 2);

    EXPECT_FALSE(handler.AddNewStrings(16));  // beyond the table
    EXPECT_FALSE(handler.AddNewStrings(-1));
}

TEST_F(PackNewStrings, TheDevicePackProjectUsesTheDevicePackFolder)
{
    copyTo(kPackFixtures + "/Vault.dll", branch() + "/Exe/Device Pack/Vault.dll");
    copyTo(kPackFixtures + "/resource.h", devicePack() + "/Source/Vault/resource.h");
    const QString vaultEnglish =
        writeAt(cataloguePath(devicePack(), "VaultRes", "ENG"), languageFile("", {R"(<L from="Hello" to="Hello"/>)"}));
    const QString vaultGerman =
        writeAt(cataloguePath(devicePack(), "VaultRes", "DEU"), languageFile("", {R"(<L from="Hello" to="Hallo"/>)"}));
    ASSERT_TRUE(handler.AddNewStrings(15));
    EXPECT_EQ(handler.LastResult().stringsAdded, 1);
    EXPECT_EQ(translationIn(vaultEnglish, "Device settings"), u"Device settings");
    EXPECT_EQ(translationIn(vaultGerman, "Device settings"), u"Device settings");
    EXPECT_EQ(translationIn(vaultGerman, "Hello"), u"Hallo");
    EXPECT_EQ(entryCount(english), 2);  // the branch's files are not touched
}

// Step 1 of the text-file project (TrayRes, row 14).
class PackTextSource : public BranchTest {
protected:
    void SetUp() override
    {
        BranchTest::SetUp();
        english = writeCatalogue("TrayRes", "ENG", {R"(<L from="Old" to="Old"/>)"});
        handler.SetSelectedLanguages({"ENG", "DEU"});
        QDir().mkpath(branch() + "/Exe/Lang/DEU");
    }
    QString source() const { return branch() + "/Source/Tray/TrayStrings.txt"; }
    QString english;
};

TEST_F(PackTextSource, ValuesFollowTheLastEqualsSign)
{
    writeAt(source(), "a=b=c\nempty=\nno value on this line\n\xC3\x9C" "ber=\xC3\x9C" "ber\nlast=No line end");
    ASSERT_TRUE(handler.AddNewStrings(14));
    EXPECT_EQ(handler.LastResult().stringsAdded, 3);
    EXPECT_EQ(entryCount(english), 4);
    EXPECT_EQ(translationIn(english, "c"), u"c");
    EXPECT_EQ(translationIn(english, QString::fromUtf8("\xC3\x9C" "ber")), u"\u00DCber");
    EXPECT_EQ(translationIn(english, "No line end"), u"No line end");
    EXPECT_EQ(entryCount(catalogue("TrayRes", "DEU")), 4);  // created as a copy
}

TEST_F(PackTextSource, CrLfLineEndsLeaveAnEscapedCrInEveryValue)
{
    writeAt(source(), "A=Hello\r\nB=x=y\r\n");
    ASSERT_TRUE(handler.AddNewStrings(14));
    EXPECT_EQ(translationIn(english, "Hello\\r"), u"Hello\\r");
    EXPECT_EQ(translationIn(english, "y\\r"), u"y\\r");
    EXPECT_EQ(entryCount(english), 3);
}

TEST_F(PackTextSource, AnEmptyOrMissingSourceChangesNothing)
{
    const QByteArray before = readBytes(english);
    EXPECT_TRUE(handler.AddNewStrings(14));
    writeAt(source(), "");
    EXPECT_TRUE(handler.AddNewStrings(14));
    EXPECT_EQ(readBytes(english), before);
    EXPECT_FALSE(QFileInfo::exists(catalogue("TrayRes", "DEU")));

    QFile::remove(english);
    EXPECT_FALSE(handler.AddNewStrings(14));  // the English file cannot be read
}

} // namespace
