#include "batch/generate_ziv_handler.h"
#include "batch/path_join.h"
#include "catalogue/document.h"
#include "test_support.h"

namespace {

TEST(ProjectTable, BuiltInRowsFollowTheBranchLayout)
{
    const ProjectTable &table = BuiltInProjectTable();
    ASSERT_EQ(table.size(), 16u);
    int programs = 0, libraries = 0;
    for (size_t i = 0; i < 14; ++i) {
        const ProjectEntry &row = table[i];
        SCOPED_TRACE(row.name.toStdString());
        EXPECT_TRUE(row.sourcePath.startsWith("Exe/"));
        EXPECT_FALSE(row.sourcePath.mid(4).contains(u'/'));  // directly in the Exe folder
        programs += row.sourcePath.endsWith(".exe");
        libraries += row.sourcePath.endsWith(".dll");
        EXPECT_FALSE(row.headerPath.isEmpty());
        EXPECT_EQ(row.isDevicePack, 0);
    }
    EXPECT_EQ(programs, 13);
    EXPECT_EQ(libraries, 1);
    EXPECT_FALSE(IsModuleName(table[14].sourcePath));
    EXPECT_TRUE(table[14].headerPath.isEmpty());
    EXPECT_EQ(table[14].isDevicePack, 0);
    EXPECT_TRUE(table[15].sourcePath.startsWith("Exe/Device Pack/"));
    EXPECT_TRUE(IsModuleName(table[15].sourcePath));
    EXPECT_EQ(table[15].isDevicePack, 1);
}

TEST(ProjectTable, EnglishCataloguesLieInTheLanguageRoot)
{
    // The file Step 1 extends must be the file copied to create a missing
    // language, spelled the same on a case-sensitive file system.
    CRendaroDoc document;
    CGenerateZIVHandler handler(document);
    handler.SetBranchPath("/branch");
    handler.SetDevicePackPath("/device");
    const ProjectTable &table = BuiltInProjectTable();
    for (size_t i = 0; i < table.size(); ++i) {
        SCOPED_TRACE(table[i].name.toStdString());
        EXPECT_TRUE(table[i].name.endsWith("Res"));
        EXPECT_EQ(handler.ProjectPath(table[i].isDevicePack, table[i].englishCataloguePath),
                  handler.CataloguePath(int(i), "ENG"));
    }
    EXPECT_EQ(handler.CataloguePath(15, "DEU"), u"/device/Exe/Lang/DEU/VaultResDEU.xml");
    EXPECT_EQ(handler.CataloguePath(16, "DEU"), QString());
}

using ProjectTableFile = FolderTest;

TEST_F(ProjectTableFile, ReplacesTheBuiltInRows)
{
    const QString path = write("table.json", R"([
        {"name": "AlphaRes", "sourcePath": "Bin/Alpha.exe", "headerPath": "src/alpha/resource.h",
         "englishCataloguePath": "Exe/Lang/ENG/AlphaResENG.xml", "isDevicePack": false},
        {"name": "NotesRes", "sourcePath": "text/notes.txt", "headerPath": "",
         "englishCataloguePath": "Exe/Lang/ENG/NotesResENG.xml", "isDevicePack": 1}])");
    ProjectTable table;
    QString error;
    ASSERT_TRUE(LoadProjectTable(path, &table, &error)) << error.toStdString();
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0].name, u"AlphaRes");
    EXPECT_EQ(table[0].headerPath, u"src/alpha/resource.h");
    EXPECT_EQ(table[0].isDevicePack, 0);
    EXPECT_EQ(table[1].sourcePath, u"text/notes.txt");
    EXPECT_EQ(table[1].isDevicePack, 1);
}

TEST_F(ProjectTableFile, RefusesABadTableNamingTheFileAndTheRow)
{
    const QByteArray good = R"({"name": "AlphaRes", "sourcePath": "Bin/Alpha.exe", "headerPath": "h.h",
                               "englishCataloguePath": "Exe/Lang/ENG/AlphaResENG.xml", "isDevicePack": 0})";
    struct Case {
        QByteArray json;
        const char *expected;
    };
    const Case cases[] = {
        {"[" + good + ",", "not valid JSON"},
        {"{}", "not a JSON array"},
        {"[]", "holds no project"},
        {"[" + good + R"(, {"name": "BetaRes", "sourcePath": "b.exe", "englishCataloguePath": "e.xml", "isDevicePack": 0}])",
         "row 1: the field \"headerPath\" is missing"},
        {"[" + good + R"(, {"name": "BetaRes", "sourcePath": "b.exe", "headerPath": 5, "englishCataloguePath": "e.xml", "isDevicePack": 0}])",
         "row 1: the field \"headerPath\" is not a string"},
        {R"([{"name": "BetaRes", "sourcePath": "/abs/b.exe", "headerPath": "h", "englishCataloguePath": "e.xml", "isDevicePack": 0}])",
         "row 0: \"sourcePath\" is not a relative path"},
        {R"([{"name": "BetaRes", "sourcePath": "Exe\\b.exe", "headerPath": "h", "englishCataloguePath": "e.xml", "isDevicePack": 0}])",
         "row 0: \"sourcePath\" must be written with '/'"},
        {R"([{"name": "Beta/Res", "sourcePath": "b.exe", "headerPath": "h", "englishCataloguePath": "e.xml", "isDevicePack": 0}])",
         "row 0: \"name\" must be a non-empty file name"},
        {R"([{"name": "BetaRes", "sourcePath": "b.exe", "headerPath": "", "englishCataloguePath": "e.xml", "isDevicePack": 0}])",
         "row 0: \"headerPath\" must not be empty for a module"},
        {R"([{"name": "BetaRes", "sourcePath": "b.exe", "headerPath": "h", "englishCataloguePath": "e.xml", "isDevicePack": "yes"}])",
         "row 0: \"isDevicePack\" must be true, false, 0 or 1"},
        {"[" + good + ", 7]", "row 1: not a JSON object"},
        {"[" + good + ", " + good + "]", "row 1: the name \"AlphaRes\" is used twice"},
    };
    const QString path = folder.path("table.json");
    for (const Case &c : cases) {
        writeBytes(path, c.json);
        ProjectTable table = BuiltInProjectTable();
        QString error;
        EXPECT_FALSE(LoadProjectTable(path, &table, &error)) << c.json.constData();
        EXPECT_TRUE(error.startsWith("Project table " + path + ": ")) << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.expected))) << error.toStdString();
        EXPECT_EQ(table.size(), 16u);  // left as it was
    }
    QString error;
    ProjectTable table;
    EXPECT_FALSE(LoadProjectTable(folder.path("none.json"), &table, &error));
    EXPECT_TRUE(error.contains(folder.path("none.json")));
}

} // namespace
