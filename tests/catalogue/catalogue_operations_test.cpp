#include "catalogue/document.h"
#include "catalogue/progress_reporter.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

class RecordingProgress : public ProgressReporter {
public:
    void setTotal(int steps) override { total = steps; }
    void show() override { shown = true; }
    void step(const QString &text) override { steps << text; }
    int total = 0;
    bool shown = false;
    QStringList steps;
};

class Operations : public FolderTest {
protected:
    CRendaroDoc document;
};

TEST_F(Operations, ApplyToAppendsMissingStringsAndKeepsTranslations)
{
    const QString source = write("eng.xml", languageFile("AllowLength=\"1.5\" CodeType=\"QT\"",
                                                         {"<L from=\"One\" to=\"One\" key=\"K1\"/>",
                                                          "<L from=\"Two\" to=\"Two\" key=\"K2\" IsTrans=\"false\"/>",
                                                          "<L from=\"Three\" to=\"Three\" key=\"K3\"/>",
                                                          "<L from=\"Four &amp; more\" to=\"x\" key=\"K4\"/>",
                                                          "<L from=\"Five\" to=\"Five\" IsTrans=\"false\"/>"}));
    const QString target = write("deu.xml", languageFile("AllowLength=\"2.000000\" CodeType=\"CPlus2\"",
                                                         {"<L from=\"One\" to=\"Eins\" key=\"K1\"/>",
                                                          "<L from=\"Two\" to=\"Zwei\" key=\"K2\"/>",
                                                          "<L from=\"Three\" to=\"Drei\" key=\"K3\" IsTrans=\"false\"/>"}));
    const int id = document.LoadCatalogue(source, true);
    EXPECT_TRUE(document.ApplyTranslationsToFile(target, id));
    EXPECT_EQ(readBytes(target),
              languageFile("AllowLength=\"1.500000\" CodeType=\"QT\"",
                           {"<L from=\"One\" to=\"Eins\" key=\"K1\"/>",
                            "<L from=\"Two\" to=\"Two\" key=\"K2\" IsTrans=\"false\"/>",
                            "<L from=\"Three\" to=\"Drei\" key=\"K3\"/>",
                            "<L from=\"Four &amp; more\" to=\"Four &amp; more\" key=\"K4\"/>",
                            "<L from=\"Five\" to=\"Five\" IsTrans=\"false\"/>"}));
    // The temporary catalogue is gone again.
    EXPECT_EQ(document.catalogues().size(), 2u);
}

TEST_F(Operations, ApplyToItselfOrToBadTargetsChangesNothing)
{
    const QByteArray bytes = languageFile("", {"<L from=\"One\" to=\"Eins\"/>"});
    const QString source = write("a.xml", bytes);
    const QString broken = write("broken.xml", "<Language>");
    const int id = document.LoadCatalogue(source, true);
    EXPECT_TRUE(document.ApplyTranslationsToFile(source, id));
    EXPECT_EQ(readBytes(source), bytes);
    EXPECT_FALSE(document.ApplyTranslationsToFile(broken, id));
    EXPECT_EQ(readBytes(broken), QByteArray("<Language>"));
    EXPECT_FALSE(document.ApplyTranslationsToFile(folder.path("missing.xml"), id));
    EXPECT_FALSE(document.ApplyTranslationsToFile(source, 42));
}

TEST_F(Operations, ApplyAfterSaveDoesNotEscapeTwice)
{
    const QString source = write("a.xml", languageFile("", {"<L from=\"A &amp; B\" to=\"A &amp; B\"/>"}));
    const QString target = write("b.xml", languageFile("", {}));
    const int id = document.LoadCatalogue(source, true);
    document.SetTranslation(id, "A & B", "A und B", 1);
    ASSERT_TRUE(document.SaveCatalogue(id, source, true));
    ASSERT_TRUE(document.ApplyTranslationsToFile(target, id));
    // The saved source now carries its settings, and they travel too.
    EXPECT_EQ(readBytes(target), languageFile("AllowLength=\"2.000000\" CodeType=\"CPlus2\"",
                                              {"<L from=\"A &amp; B\" to=\"A &amp; B\"/>"}));
}

TEST_F(Operations, SaveAllWritesMasterValuesIntoEveryFile)
{
    const QString one = write("one.xml", languageFile("AllowLength=\"3\"", {"<L from=\"A\" to=\"A\"/>", "<L from=\"B\" to=\"Be\"/>"}));
    const QString two = write("two.xml", languageFile("", {"<L from=\"A\" to=\"A\" key=\"K\"/>"}));
    document.LoadCatalogue(one, true);
    document.LoadCatalogue(two, true);
    document.SetTranslation(0, "A", "Ah", 1);
    document.AddEntry(0, "C", "Ce", 1);  // only in the master: appended nowhere
    RecordingProgress progress;
    ASSERT_TRUE(document.SaveAllCatalogues(&progress));
    EXPECT_EQ(progress.total, 4);
    EXPECT_TRUE(progress.shown);
    EXPECT_EQ(progress.steps, QStringList({"Saving " + one + "...", "Saving " + two + "..."}));
    EXPECT_EQ(readBytes(one), languageFile("AllowLength=\"3.000000\" CodeType=\"CPlus2\"",
                                           {"<L from=\"A\" to=\"Ah\"/>", "<L from=\"B\" to=\"Be\"/>"}));
    EXPECT_EQ(readBytes(two), languageFile("AllowLength=\"2.000000\" CodeType=\"CPlus2\"",
                                           {"<L from=\"A\" to=\"Ah\" key=\"K\"/>"}));

    // A file that can no longer be written stops the run with failure.
    QFile::remove(two);
    QDir().mkdir(two);
    EXPECT_FALSE(document.SaveAllCatalogues(nullptr));
}

TEST_F(Operations, SelectAndCloseKeepIdentifiersStable)
{
    const QString path = write("a.xml", languageFile("", {"<L from=\"A\" to=\"A\"/>"}));
    const int a = document.LoadCatalogue(path, true);
    const int b = document.LoadCatalogue(path, true);
    const int c = document.LoadCatalogue(path, true);
    document.SelectCatalogue(c);
    EXPECT_EQ(document.currentCatalogueId(), c);
    document.SelectCatalogue(-5);
    document.SelectCatalogue(99);
    EXPECT_EQ(document.currentCatalogueId(), c);
    document.CloseCatalogue(a);  // a lower catalogue goes; c stays current
    EXPECT_EQ(document.currentCatalogueId(), c);
    document.CloseCatalogue(0);
    EXPECT_EQ(document.catalogues().front().catalogueId, 0);
    document.CloseCatalogue(c);
    EXPECT_EQ(document.currentIndex(), -1);
    EXPECT_EQ(document.FindCatalogueIndex(b), 1);
    EXPECT_EQ(document.CloseCatalogue(-1), 1);
    EXPECT_EQ(document.catalogues().size(), 1u);
    EXPECT_TRUE(document.CopyEntries(0).empty());
    EXPECT_FALSE(document.catalogues()[0].tree);
}

// The master taken out of the document writes, apart from it, the file a
// save of the master in place writes; the document's master is left empty
// with its settings, and what is merged next starts from nothing.
TEST_F(Operations, ATakenMasterWritesWhatItsSaveWouldWrite)
{
    const QString one = write("one.xml", languageFile("AllowLength=\"3\" CodeType=\"QT\"",
                                                      {"<L from=\"B\" to=\"Be\" key=\"K2\"/>",
                                                       "<L from=\"A &amp; a\" to=\"A\" IsTrans=\"false\"/>"}));
    document.LoadCatalogue(one, true);
    ASSERT_TRUE(document.SaveCatalogue(0, folder.path("in-place.xml"), true));
    document.CloseCatalogue(-1);
    document.LoadCatalogue(one, true);
    CXMLStruct taken = document.TakeMasterCatalogue();
    EXPECT_EQ(taken.entries.size(), 2u);
    EXPECT_EQ(taken.catalogueId, 0);
    EXPECT_TRUE(document.CopyEntries(0).empty());
    EXPECT_FALSE(document.catalogues()[0].tree);
    EXPECT_EQ(document.catalogues()[0].lengthRatio, taken.lengthRatio);
    QString reason;
    ASSERT_TRUE(CRendaroDoc::WriteCatalogueFile(taken, folder.path("taken.xml"), true, &reason)) << reason.toStdString();
    EXPECT_EQ(readBytes(folder.path("taken.xml")), readBytes(folder.path("in-place.xml")));

    const QString two = write("two.xml", languageFile("", {"<L from=\"C\" to=\"Ce\"/>"}));
    document.LoadCatalogue(two, true);
    ASSERT_TRUE(document.SaveCatalogue(0, folder.path("next.xml"), true));
    EXPECT_EQ(readBytes(folder.path("next.xml")),
              languageFile("AllowLength=\"2.000000\" CodeType=\"CPlus2\"", {"<L from=\"C\" to=\"Ce\"/>"}));
}

TEST_F(Operations, ImportFillsOnlyUntranslatedTranslatableEntries)
{
    const QString target = write("t.xml", languageFile("", {"<L from=\"A\" to=\"A\"/>", "<L from=\"B\" to=\"Bee\"/>",
                                                           "<L from=\"C\" to=\"C\" IsTrans=\"false\"/>",
                                                           "<L from=\"D\" to=\"D\"/>", "<L from=\"E\" to=\"E\"/>"}));
    const QString source = write("s.xml", languageFile("", {"<L from=\"A\" to=\"Ah\"/>", "<L from=\"B\" to=\"Be\"/>",
                                                           "<L from=\"C\" to=\"Ce\"/>", "<L from=\"D\" to=\"D\"/>"}));
    const int id = document.LoadCatalogue(target, false);
    int substituted = -1;
    EXPECT_EQ(document.ImportTranslationsFromFile(id, source, &substituted), 1);
    EXPECT_EQ(substituted, 1);
    EXPECT_EQ(document.GetTranslation(id, "A"), u"Ah");
    EXPECT_EQ(document.GetTranslation(id, "B"), u"Bee");
    EXPECT_EQ(document.GetTranslation(id, "C"), u"C");
    EXPECT_EQ(document.GetTranslation(id, "E"), u"E");
    EXPECT_EQ(document.catalogues().size(), 2u);
    EXPECT_EQ(document.ImportTranslationsFromFile(id, folder.path("missing.xml")), 0);
}

TEST(NormalizeStringPair, CutsAtTabAndTurnsLineBreaksIntoEscapes)
{
    QString a = "Name\tComment", b = "\tLeading\tTab";
    CRendaroDoc::NormalizeStringPair(a, b);
    EXPECT_EQ(a, u"Name");
    EXPECT_EQ(b, u"\tLeading\tTab");
    QString c = "Open...\tCtrl+O", d = "Line\r\nTwo/nThree & <four>";
    CRendaroDoc::NormalizeStringPair(c, d);
    EXPECT_EQ(c, u"Open...");
    EXPECT_EQ(d, u"Line\\r\\nTwo\\nThree & <four>");
}

} // namespace
