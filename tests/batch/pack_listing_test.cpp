#include "branch_fixture.h"

namespace {

using PackListing = BranchTest;

TEST_F(PackListing, ListsTheProjectsWhoseFilesExist)
{
    writeAt(branch() + "/Exe/View.exe", "x");  // module and header: listed
    writeAt(branch() + "/Source/View/resource.h", "x");
    writeAt(branch() + "/Exe/Back.exe", "x");  // no header: not listed
    writeAt(branch() + "/Source/Setup/resource.h", "x");  // no module: not listed
    writeAt(branch() + "/Source/Tray/TrayStrings.txt", "a=b");  // a text file needs no header
    writeAt(branch() + "/Exe/Device Pack/Vault.dll", "x");
    writeAt(devicePack() + "/Source/Vault/resource.h", "x");  // the device pack's header
    EXPECT_EQ(handler.ListAvailableProjects(),
              (std::map<int, QString>{{0, "ViewRes"}, {14, "TrayRes"}, {15, "VaultRes"}}));

    // The device-pack header must lie in the device-pack folder.
    handler.SetDevicePackPath(branch());
    EXPECT_EQ(handler.ListAvailableProjects(), (std::map<int, QString>{{0, "ViewRes"}, {14, "TrayRes"}}));
    handler.SetDevicePackPath("");
    EXPECT_EQ(handler.ListAvailableProjects().count(15), 0u);
}

TEST_F(PackListing, LanguagesAreThreeCharacterFoldersNestedOnesFirst)
{
    const QString root = branch() + "/Exe/Lang";
    for (const char *dir : {"DEU/OLD", "ENG", "FR", "FRAN", ".svn/SVN", "ITA/.svn"})
        QDir(root).mkpath(dir);
    writeAt(root + "/JPN", "a file, not a folder");
    EXPECT_EQ(handler.ListLanguages(), QStringList({"OLD", "DEU", "ENG", "ITA"}));

    QStringList list = {"XYZ"};
    CGenerateZIVHandler::ScanLanguageFolders(root + "/", list);  // appends
    EXPECT_EQ(list, QStringList({"XYZ", "OLD", "DEU", "ENG", "ITA"}));

    handler.SetBranchPath(folder.path("no-branch"));
    EXPECT_TRUE(handler.ListLanguages().isEmpty());
}

} // namespace
