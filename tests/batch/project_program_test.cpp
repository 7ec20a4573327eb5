// The program of a language file of a branch tree, as the project table
// gives it.

#include "batch/project_program.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

TEST(ProjectProgram, AFileOfABranchNamesItsProjectsModuleAndHeader)
{
    const ProjectTable &table = BuiltInProjectTable();
    std::optional<ProjectProgram> found = ProgramOfLanguageFile("/branch/Exe/Lang/DEU/ViewResDEU.xml", table);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->project, QStringLiteral("ViewRes"));
    EXPECT_EQ(found->program, QStringLiteral("/branch/Exe/View.exe"));
    EXPECT_EQ(found->header, QStringLiteral("/branch/Source/View/resource.h"));
    // The DLL row; the language folder's name in any case.
    found = ProgramOfLanguageFile("/b/exe/lang/fra/MailResFRA.xml", table);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->program, QStringLiteral("/b/Exe/MailCore.dll"));

    // Not in a branch's language folder, no such project, a text-file
    // project, a name of another language: nothing.
    EXPECT_FALSE(ProgramOfLanguageFile("/branch/Lang/DEU/ViewResDEU.xml", table));
    EXPECT_FALSE(ProgramOfLanguageFile("/branch/Exe/Lang/DEUT/ViewResDEUT.xml", table));
    EXPECT_FALSE(ProgramOfLanguageFile("/branch/Exe/Lang/DEU/OtherResDEU.xml", table));
    EXPECT_FALSE(ProgramOfLanguageFile("/branch/Exe/Lang/DEU/TrayResDEU.xml", table));
    EXPECT_FALSE(ProgramOfLanguageFile("/branch/Exe/Lang/DEU/ViewResFRA.xml", table));
    EXPECT_FALSE(ProgramOfLanguageFile("ViewResDEU.xml", table));
}

TEST(ProjectProgram, ADevicePackModuleIsGivenOnlyWhenItIsThere)
{
    QTemporaryDir pack;
    const QString file = pack.filePath("Exe/Lang/DEU/VaultResDEU.xml");
    EXPECT_FALSE(ProgramOfLanguageFile(file, BuiltInProjectTable()));
    ASSERT_TRUE(QDir().mkpath(pack.filePath("Exe/Device Pack")));
    QFile module(pack.filePath("Exe/Device Pack/Vault.dll"));
    ASSERT_TRUE(module.open(QIODevice::WriteOnly));
    module.close();
    const std::optional<ProjectProgram> found = ProgramOfLanguageFile(file, BuiltInProjectTable());
    ASSERT_TRUE(found);
    EXPECT_EQ(found->program, QDir::cleanPath(pack.filePath("Exe/Device Pack/Vault.dll")));
    EXPECT_EQ(found->header, QDir::cleanPath(pack.filePath("Source/Vault/resource.h")));
}

} // namespace
