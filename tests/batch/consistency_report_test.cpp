#include "batch/consistency_report.h"
#include "catalogue/document.h"
#include "test_support.h"

namespace {

class ConsistencyReportTest : public FolderTest {
protected:
    void SetUp() override
    {
        QDir(folder.root()).mkpath("sub");
        write("a.xml", languageFile("", {"<L from=\"Cancel\" to=\"Abbrechen\"/>", "<L from=\"OK\" to=\"OK\"/>",
                                         "<L from=\"Save\" to=\"Speichern\"/>"}));
        write("b.xml", languageFile("", {"<L from=\"Save\" to=\"Speichern\"/>", "<L from=\"Cancel\" to=\"Abbruch\"/>",
                                         "<L from=\"OK\" to=\"Gut\"/>"}));
        // Untranslated, empty and not-to-be-translated entries are no
        // different translations.
        write("c.xml", languageFile("", {"<L from=\"Cancel\" to=\"Abbrechen\"/>", "<L from=\"Save\" to=\"\"/>",
                                         "<L from=\"OK\" to=\"Okay\" IsTrans=\"false\"/>", "<L from=\"Open\" to=\"Open\"/>"}));
        write("sub/d.xml", languageFile("", {"<L from=\"Save\" to=\"Sichern\"/>", "<L from=\"Open\" to=\"Öffnen\"/>"}));
    }
};

TEST_F(ConsistencyReportTest, ListsEveryOriginalTranslatedDifferently)
{
    write("broken.xml", "<Language>");
    const ConsistencyReport report = ConsistencyReportForFolder(folder.root());
    const QString r = folder.root() + "/";
    EXPECT_EQ(report.files, QStringList({r + "a.xml", r + "b.xml", r + "c.xml", r + "sub/d.xml"}));
    ASSERT_EQ(report.unreadable.size(), 1u);
    EXPECT_EQ(report.unreadable[0].path, r + "broken.xml");
    ASSERT_EQ(report.items.size(), 2u);

    const ConsistencyItem &cancel = report.items[0];
    EXPECT_EQ(cancel.original, u"Cancel");
    ASSERT_EQ(cancel.translations.size(), 2u);
    EXPECT_EQ(cancel.translations[0].translation, u"Abbrechen");
    EXPECT_EQ(cancel.translations[0].files, QStringList({r + "a.xml", r + "c.xml"}));
    EXPECT_EQ(cancel.translations[1].translation, u"Abbruch");
    EXPECT_EQ(cancel.translations[1].files, QStringList({r + "b.xml"}));

    const ConsistencyItem &save = report.items[1];
    EXPECT_EQ(save.original, u"Save");
    ASSERT_EQ(save.translations.size(), 2u);
    EXPECT_EQ(save.translations[0].files, QStringList({r + "a.xml", r + "b.xml"}));
    EXPECT_EQ(save.translations[1].translation, u"Sichern");
    EXPECT_EQ(save.translations[1].files, QStringList({r + "sub/d.xml"}));
}

TEST_F(ConsistencyReportTest, LanguageFolderModeReportsTheLoadedFilesAsSaved)
{
    CRendaroDoc document;
    for (const char *name : {"a.xml", "b.xml"})
        ASSERT_GT(document.LoadCatalogue(folder.path(name), true), 0);
    EXPECT_EQ(BuildConsistencyReport(document).items.size(), 1u);  // Cancel
    // Save All writes the master's translation into every file: then they agree.
    ASSERT_TRUE(document.SaveAllCatalogues(nullptr));
    EXPECT_TRUE(BuildConsistencyReport(document).items.empty());
    EXPECT_TRUE(ConsistencyReportForFolder(folder.path("missing")).items.empty());
}

} // namespace
