#include "batch/generate_language_files.h"
#include "catalogue/document.h"
#include "test_support.h"

namespace {

// An English file of one application and a tree of language folders in
// which a reference application has its files.
class GenerateLanguageFilesTest : public FolderTest {
protected:
    void SetUp() override
    {
        for (const char *dir : {"eng", "tree/lang/CHT/old", "tree/lang/DEU", "tree/lang/.svn", "tree/lang/ENG"})
            QDir(folder.root()).mkpath(dir);
        english = write("eng/ViewResENG.xml", englishBytes);
        write("tree/lang/CHT/VaridivUvaCHT.xml", languageFile("", {"<L from=\"Open\" to=\"開\"/>"}));
        write("tree/lang/DEU/VaridivUvaDEU.xml", languageFile("", {}));
        write("tree/lang/DEU/ViewResDEU.xml", "an older copy");
        write("tree/lang/.svn/VaridivUvaFRA.xml", languageFile("", {}));
        write("tree/lang/CHT/VaridivUvaCHT.XML", languageFile("", {}));
        write("tree/lang/CHT/VaridivUvaCHT.txt", "no .xml in the name");
        write("tree/lang/CHT/VaridivUvaViewResENG.xml", "holds the shown file's name");
        id = document.LoadCatalogue(english, false);
        ASSERT_GT(id, 0);
        document.SelectCatalogue(id);
    }

    LanguageFileGeneration generate()
    {
        return GenerateLanguageFiles(document, id, folder.path("tree"), LanguageFileName(english),
                                     LanguageFilePrefix(english));
    }

    // What saving the shown catalogue writes.
    QByteArray savedEnglishBytes()
    {
        const QString copy = folder.path("eng/expected.xml");
        EXPECT_TRUE(document.SaveCatalogue(id, copy, true));
        document.findCatalogue(id)->filePath = english;
        return readBytes(copy);
    }

    const QByteArray englishBytes = languageFile(
        "", {"<L from=\"Open\" to=\"Open\" key=\"K1\"/>", "<L from=\"Save\" to=\"Save\" key=\"K2\"/>",
             "<L from=\"Cancel\" to=\"Cancel\" key=\"K3\"/>", "<L from=\"Exit\" to=\"Exit\" key=\"K4\"/>"});
    QString english;
    CRendaroDoc document;
    int id = -1;
};

TEST(LanguageFilePrefix, NameThroughTheFirstResAfterTheLastSlash)
{
    EXPECT_EQ(LanguageFilePrefix("/a/b/ViewResENG.xml"), u"ViewRes");
    EXPECT_EQ(LanguageFilePrefix("MailResDEU.xml"), u"MailRes");
    EXPECT_EQ(LanguageFilePrefix("/x/ResViewResENG.xml"), u"Res");
    EXPECT_EQ(LanguageFilePrefix("/Resources/ViewENG.xml"), u"");  // "Res" of a folder does not count
    EXPECT_EQ(LanguageFilePrefix("/x/viewresENG.xml"), u"");       // case-sensitive
    EXPECT_EQ(LanguageFileName("/a/b/ViewResENG.xml"), u"ViewResENG.xml");
}

TEST_F(GenerateLanguageFilesTest, WritesACopyBesideEveryReferenceFile)
{
    const QByteArray expected = savedEnglishBytes();
    const LanguageFileGeneration result = generate();
    const QString lang = folder.path("tree/lang");
    EXPECT_EQ(result.written, QStringList({lang + "/CHT/ViewResCHT.xml", lang + "/DEU/ViewResDEU.xml"}));
    EXPECT_TRUE(result.failed.empty());
    EXPECT_TRUE(result.skipped.isEmpty());
    for (const QString &path : result.written)
        EXPECT_EQ(readBytes(path), expected) << path.toStdString();
    // The .svn folder, the upper-case extension, the name without ".xml" and
    // the name holding the shown file's name give nothing.
    EXPECT_FALSE(QFile::exists(lang + "/.svn/ViewResFRA.xml"));
    EXPECT_FALSE(QFile::exists(lang + "/CHT/ViewResCHT.XML"));
    EXPECT_FALSE(QFile::exists(lang + "/CHT/ViewResCHT.txt"));
    EXPECT_FALSE(QFile::exists(lang + "/CHT/ViewResViewResENG.xml"));
    EXPECT_EQ(readBytes(lang + "/CHT/VaridivUvaViewResENG.xml"), QByteArray("holds the shown file's name"));
}

TEST_F(GenerateLanguageFilesTest, TheShownFileKeepsItsPathAndIsNeverOverwritten)
{
    // The shown file lies in the tree, beside a reference file whose copy
    // would take its name.
    const QString shown = write("tree/lang/ENG/ViewResENG.xml", englishBytes);
    write("tree/lang/ENG/VaridivUvaENG.xml", languageFile("", {}));
    CRendaroDoc doc;
    const int shownId = doc.LoadCatalogue(shown, false);
    doc.SelectCatalogue(shownId);
    ASSERT_TRUE(doc.SetTranslation(shownId, "Open", "not saved yet", 1));
    const LanguageFileGeneration result =
        GenerateLanguageFiles(doc, shownId, folder.path("tree"), "ViewResENG.xml", "ViewRes");
    EXPECT_EQ(result.skipped, QStringList({shown}));
    EXPECT_EQ(result.written.size(), 2);
    EXPECT_EQ(readBytes(shown), englishBytes);
    // Save still writes to the shown file, not to the last copy.
    EXPECT_EQ(doc.findCatalogue(shownId)->filePath, shown);
    EXPECT_EQ(doc.currentCatalogueId(), shownId);
    EXPECT_EQ(doc.catalogues().size(), 2u);
}

TEST_F(GenerateLanguageFilesTest, NoPrefixOrNoCatalogueWritesNothing)
{
    EXPECT_TRUE(GenerateLanguageFiles(document, id, folder.path("tree"), "ViewENG.xml", "").written.isEmpty());
    EXPECT_TRUE(GenerateLanguageFiles(document, 99, folder.path("tree"), "ViewResENG.xml", "ViewRes").written.isEmpty());
    EXPECT_TRUE(GenerateLanguageFiles(document, 0, folder.path("tree"), "ViewResENG.xml", "ViewRes").written.isEmpty());
    EXPECT_EQ(readBytes(folder.path("tree/lang/DEU/ViewResDEU.xml")), QByteArray("an older copy"));
}

TEST_F(GenerateLanguageFilesTest, ACopyThatCannotBeWrittenIsReportedWithItsReason)
{
    QDir(folder.root()).mkpath("tree/lang/CHT/ViewResCHT.xml");  // a folder where the copy should go
    const LanguageFileGeneration result = generate();
    EXPECT_EQ(result.written, QStringList({folder.path("tree/lang/DEU/ViewResDEU.xml")}));
    ASSERT_EQ(result.failed.size(), 1u);
    EXPECT_EQ(result.failed[0].path, folder.path("tree/lang/CHT/ViewResCHT.xml"));
    EXPECT_FALSE(result.failed[0].reason.isEmpty());
    EXPECT_EQ(document.findCatalogue(id)->filePath, english);
}

TEST_F(GenerateLanguageFilesTest, AutoImportFillsFromTheOtherFilesOfTheFolderInOrder)
{
    const QString cht = folder.path("tree/lang/CHT/");
    for (const char *name : {"VaridivUvaCHT.XML", "VaridivUvaCHT.txt", "VaridivUvaViewResENG.xml"})
        QFile::remove(cht + name);
    // Name order, ignoring case: adminResCHT, BackResCHT, VaridivUvaCHT.
    write("tree/lang/CHT/BackResCHT.xml", languageFile("", {"<L from=\"Open\" to=\"第二\"/>", "<L from=\"Cancel\" to=\"取消\"/>",
                                                             "<L from=\"Save\" to=\"\"/>"}));
    write("tree/lang/CHT/adminResCHT.xml", languageFile("", {"<L from=\"Open\" to=\"打開\"/>", "<L from=\"Save\" to=\"Save\"/>",
                                                              "<L from=\"Cancel\" to=\"Cancel\"/>"}));
    write("tree/lang/CHT/ViewResCHT.xml.bak", languageFile("", {"<L from=\"Exit\" to=\"bak\"/>"}));
    write("tree/lang/CHT/old/OldResCHT.xml", languageFile("", {"<L from=\"Exit\" to=\"old\"/>"}));
    write("tree/lang/CHT/readme.txt", "not a language file");
    const LanguageFileGeneration generation = generate();
    ASSERT_EQ(generation.written.size(), 2);

    const size_t before = document.catalogues().size();
    const AutoImportResult result = AutoImportGeneratedFile(document, generation.written[0]);
    EXPECT_TRUE(result.loaded);
    EXPECT_TRUE(result.saved);
    ASSERT_EQ(result.sources.size(), 3u);
    EXPECT_EQ(result.sources[0].path, cht + "adminResCHT.xml");
    EXPECT_EQ(result.sources[0].substituted, 1);  // Open
    EXPECT_EQ(result.sources[1].path, cht + "BackResCHT.xml");
    EXPECT_EQ(result.sources[1].substituted, 1);  // Cancel; Open is taken already
    EXPECT_EQ(result.sources[2].path, cht + "VaridivUvaCHT.xml");
    EXPECT_EQ(result.sources[2].substituted, 0);
    EXPECT_EQ(result.substituted, 2);
    EXPECT_EQ(result.unreadable, QStringList({cht + "readme.txt"}));
    EXPECT_EQ(document.catalogues().size(), before);

    CRendaroDoc check;
    const int generated = check.LoadCatalogue(generation.written[0], false);
    EXPECT_EQ(check.GetTranslation(generated, "Open"), u"打開");
    EXPECT_EQ(check.GetTranslation(generated, "Cancel"), u"取消");
    EXPECT_EQ(check.GetTranslation(generated, "Save"), u"Save");
    EXPECT_EQ(check.GetTranslation(generated, "Exit"), u"Exit");  // neither the .bak nor a subfolder is read
    // The shown catalogue is untouched.
    EXPECT_EQ(document.GetTranslation(id, "Open"), u"Open");
    EXPECT_EQ(document.findCatalogue(id)->filePath, english);
}

TEST_F(GenerateLanguageFilesTest, AGeneratedFileThatCannotBeLoadedIsReportedAndLeftAlone)
{
    const LanguageFileGeneration generation = generate();
    ASSERT_EQ(generation.written.size(), 2);
    writeBytes(generation.written[0], "<Language>broken");
    const int other = document.LoadCatalogue(folder.path("tree/lang/CHT/VaridivUvaCHT.xml"), false);
    const size_t before = document.catalogues().size();

    const AutoImportResult failed = AutoImportGeneratedFile(document, generation.written[0]);
    EXPECT_FALSE(failed.loaded);
    EXPECT_FALSE(failed.saved);
    EXPECT_FALSE(failed.error.isEmpty());
    EXPECT_TRUE(failed.sources.empty());
    EXPECT_EQ(readBytes(generation.written[0]), QByteArray("<Language>broken"));
    // Nothing was closed: not the shown catalogue, not any other.
    EXPECT_EQ(document.catalogues().size(), before);
    EXPECT_EQ(document.currentCatalogueId(), id);
    EXPECT_GE(document.FindCatalogueIndex(other), 0);

    const AutoImportResult next = AutoImportGeneratedFile(document, generation.written[1]);
    EXPECT_TRUE(next.loaded);
    EXPECT_TRUE(next.saved);
    EXPECT_EQ(document.catalogues().size(), before);
}

} // namespace
