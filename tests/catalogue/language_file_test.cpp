#include "catalogue/document.h"
#include "test_support.h"

#include <QFileDevice>
#include <gtest/gtest.h>

namespace {

class LanguageFile : public FolderTest {
protected:
    const StringEntry &entry(int id, const QString &original)
    {
        return document.findCatalogue(id)->entries.at(original);
    }

    CRendaroDoc document;
};

TEST_F(LanguageFile, LoadsEntriesSettingsAndKeys)
{
    const QString path = write("a.xml", languageFile("AllowLength=\"1.5\" CodeType=\"QT\"",
                                                     {"<L from=\"Save &amp; Exit\" to=\"Speichern\" key=\"IDS_A\"/>",
                                                      "<L from=\"Line 1/nLine 2\" to=\"\" key=\"IDS_B\" IsTrans=\"false\"/>",
                                                      "<L key=\"NO_FROM\"/>",
                                                      "<G><L from=\"Deep\" to=\"Tief\" IsTrans=\"true\"/></G>",
                                                      "<L from=\"save\" to=\"sichern\"/>"}));
    const int id = document.LoadCatalogue(path, false);
    ASSERT_EQ(id, 1);
    const CXMLStruct &c = *document.findCatalogue(id);
    EXPECT_FLOAT_EQ(c.lengthRatio, 1.5f);
    EXPECT_EQ(c.codeType, CodeTypeQt);
    EXPECT_EQ(c.keys, QStringList({"IDS_A", "IDS_B", "NO_FROM"}));
    ASSERT_EQ(c.entries.size(), 4u);
    EXPECT_EQ(entry(id, "Save & Exit").translation, u"Speichern");
    EXPECT_EQ(entry(id, "Line 1\\nLine 2").translation, u"Line 1\\nLine 2");  // empty `to`
    EXPECT_EQ(entry(id, "Line 1\\nLine 2").translatable, 0);
    EXPECT_EQ(entry(id, "Deep").translatable, 1);
    EXPECT_EQ(entry(id, "Deep").catalogueIds[0], id);
    // Ordered by code units: upper case before lower case.
    QStringList order;
    for (const auto &e : c.entries)
        order << e.first;
    EXPECT_EQ(order, QStringList({"Deep", "Line 1\\nLine 2", "Save & Exit", "save"}));
    EXPECT_EQ(document.currentIndex(), -1);
}

TEST_F(LanguageFile, DuplicateOriginalsFollowTheTranslationRule)
{
    const QString later = write("later.xml", languageFile("", {"<L from=\"A\" to=\"A\" key=\"K1\"/>",
                                                              "<L from=\"A\" to=\"Ah\" key=\"K2\"/>",
                                                              "<L from=\"A\" to=\"Oh\" key=\"K3\"/>"}));
    const int a = document.LoadCatalogue(later, false);
    EXPECT_EQ(entry(a, "A").translation, u"Ah");  // translated beats untranslated, then stays
    EXPECT_EQ(entry(a, "A").keys, QStringList({"K2", "K3"}));

    const QString first = write("first.xml", languageFile("", {"<L from=\"B\" to=\"Be\" key=\"K1\"/>",
                                                              "<L from=\"B\" to=\"B\"/>"}));
    const int b = document.LoadCatalogue(first, false);
    EXPECT_EQ(entry(b, "B").translation, u"Be");
    EXPECT_EQ(entry(b, "B").keys, QStringList({"K1", ""}));  // an empty key is added too
}

TEST_F(LanguageFile, SaveKeepsTheTreeAndAppendsNewStringsSorted)
{
    const QString path = write("a.xml",
                               languageFile("AllowLength=\"1.5\" CodeType=\"CPlus2\" Owner=\"x&amp;y\"",
                                            {"<L from=\"Save &amp; Exit\" to=\"\" key=\"IDS_SAVE_EXIT\" note=\"keep\"/>",
                                             "<Comment text=\"a &lt; b\"/>",
                                             "<L from=\"Lines\" to=\"Zeilen\" key=\"IDS_LINES\" IsTrans=\"false\"/>"}));
    const int id = document.LoadCatalogue(path, false);
    ASSERT_TRUE(document.SetTranslation(id, "Save & Exit", "Speichern & Beenden", 1));
    document.AddEntry(id, "b new", "b \"neu\"\nzwei", 1);
    document.AddEntry(id, "a new", "a new", 0);
    ASSERT_TRUE(document.SaveCatalogue(id, path, true));
    EXPECT_EQ(readBytes(path),
              languageFile("AllowLength=\"1.500000\" CodeType=\"CPlus2\" Owner=\"x&amp;y\"",
                           {"<L from=\"Save &amp; Exit\" to=\"Speichern &amp; Beenden\" key=\"IDS_SAVE_EXIT\" note=\"keep\"/>",
                            "<Comment text=\"a &lt; b\"/>",
                            "<L from=\"Lines\" to=\"Lines\" key=\"IDS_LINES\" IsTrans=\"false\"/>",
                            "<L from=\"a new\" to=\"a new\" IsTrans=\"false\"/>",
                            "<L from=\"b new\" to=\"b &quot;neu&quot;/nzwei\"/>"}));

    // Saving again changes nothing, and a reload gives the same entries.
    const QByteArray once = readBytes(path);
    ASSERT_TRUE(document.SaveCatalogue(id, path, true));
    EXPECT_EQ(readBytes(path), once);
    const int again = document.LoadCatalogue(path, false);
    EXPECT_EQ(entry(again, "b new").translation, u"b \"neu\"\\nzwei");
    EXPECT_EQ(entry(again, "Save & Exit").translation, u"Speichern & Beenden");
}

TEST_F(LanguageFile, SaveOnlyUntranslatedWritesAFreshFile)
{
    const QString path = write("a.xml", languageFile("AllowLength=\"3\"", {"<L from=\"One\" to=\"Eins\" key=\"K1\"/>",
                                                                          "<L from=\"Two\" to=\"Two\" key=\"K2\"/>",
                                                                          "<L from=\"Three\" to=\"\" IsTrans=\"false\"/>",
                                                                          "<L from=\"A\" to=\"\"/>"}));
    const int id = document.LoadCatalogue(path, false);
    const QString out = folder.path("untranslated.xml");
    ASSERT_TRUE(document.SaveCatalogue(id, out, false));
    EXPECT_EQ(readBytes(out), languageFile("", {"<L from=\"A\" to=\"A\"/>", "<L from=\"Two\" to=\"Two\" key=\"K2\"/>"}));
    EXPECT_EQ(document.findCatalogue(id)->filePath, out);
}

TEST_F(LanguageFile, AFailedSaveLeavesTheOldFileAndPath)
{
    const QByteArray original = languageFile("", {"<L from=\"One\" to=\"Eins\"/>"});
    const QString path = write("a.xml", original);
    const int id = document.LoadCatalogue(path, false);
    document.SetTranslation(id, "One", "Uno", 1);
    EXPECT_FALSE(document.SaveCatalogue(id, folder.path("missing/dir/a.xml"), true));
    EXPECT_FALSE(document.SaveCatalogue(id, folder.root(), true));
    EXPECT_EQ(document.findCatalogue(id)->filePath, path);

    // A folder we may not write to: the target stays byte for byte.
    QFile::setPermissions(folder.root(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool writable = QFile(folder.path("probe")).open(QIODevice::WriteOnly);  // root ignores permissions
    if (!writable) {
        EXPECT_FALSE(document.SaveCatalogue(id, path, true));
    }
    QFile::setPermissions(folder.root(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!writable) {
        EXPECT_EQ(readBytes(path), original);
    }
    EXPECT_EQ(QDir(folder.root()).entryList(QDir::Files | QDir::Hidden).size(), writable ? 2 : 1);
}

TEST_F(LanguageFile, SavingOverAFileKeepsItsPermissions)
{
    const QString path = write("a.xml", languageFile("", {"<L from=\"One\" to=\"Eins\"/>"}));
    const QFileDevice::Permissions mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    QFile::setPermissions(path, mode);
    const QFileDevice::Permissions before = QFile::permissions(path);
    const int id = document.LoadCatalogue(path, false);
    document.SetTranslation(id, "One", "Uno", 1);
    ASSERT_TRUE(document.SaveCatalogue(id, path, true));
    EXPECT_EQ(QFile::permissions(path), before);
    EXPECT_FALSE(before & QFileDevice::ReadOther);
    EXPECT_TRUE(readBytes(path).contains("to=\"Uno\""));
}

TEST_F(LanguageFile, BadFilesAddNoCatalogue)
{
    const QString malformed = write("bad.xml", "<Language><L from=\"x\"></Language>");
    const QString empty = write("empty.xml", "");
    for (const QString &path : {malformed, empty, folder.path("missing.xml"), folder.root()}) {
        EXPECT_EQ(document.LoadCatalogue(path, true), -1) << path.toStdString();
        EXPECT_FALSE(document.lastErrorText().isEmpty());
    }
    EXPECT_EQ(document.catalogues().size(), 1u);
}

TEST_F(LanguageFile, IdentifiersAreNeverReused)
{
    const QString path = write("a.xml", languageFile("", {}));
    EXPECT_EQ(document.LoadCatalogue(path, false), 1);
    EXPECT_EQ(document.LoadCatalogue(path, false), 2);
    EXPECT_EQ(document.LoadCatalogue(path, false), 3);
    document.CloseCatalogue(3);
    EXPECT_EQ(document.LoadCatalogue(path, false), 4);
}

TEST_F(LanguageFile, EntryEditingRules)
{
    const QString path = write("a.xml", languageFile("", {"<L from=\"OK\" to=\"Gut\"/>", "<L from=\"ok\" to=\"ok\"/>"}));
    const int id = document.LoadCatalogue(path, false);
    EXPECT_EQ(document.findCatalogue(id)->entries.size(), 2u);  // case matters
    EXPECT_TRUE(document.SetTranslation(id, "OK", "Okay", 0));
    EXPECT_EQ(document.GetTranslation(id, "OK"), u"Gut");
    EXPECT_EQ(entry(id, "OK").translatable, 0);
    EXPECT_FALSE(document.SetTranslation(id, "missing", "x", 1));
    EXPECT_EQ(document.AddEntry(id, "ok", "changed", 1), 1);
    EXPECT_EQ(document.GetTranslation(id, "ok"), u"ok");
    EXPECT_EQ(document.AddEntry(id, "", "x", 1), 1);
    EXPECT_EQ(document.GetTranslation(99, "OK"), u"");

    // An unknown catalogue gets created and becomes current.
    EXPECT_EQ(document.AddEntry(77, "New", "Neu", 1), 0);
    EXPECT_EQ(document.currentCatalogueId(), id + 1);
    EXPECT_TRUE(document.HasEntry("New", -1));
}

TEST_F(LanguageFile, MergingIntoTheMasterPrefersTranslations)
{
    const QString one = write("one.xml", languageFile("", {"<L from=\"A\" to=\"A\"/>", "<L from=\"B\" to=\"Be\"/>"}));
    const QString two = write("two.xml", languageFile("", {"<L from=\"A\" to=\"Ah\"/>", "<L from=\"B\" to=\"Bee\"/>"}));
    const int first = document.LoadCatalogue(one, true);
    const int second = document.LoadCatalogue(two, true);
    const EntryMap master = document.CopyEntries(0);
    EXPECT_EQ(master.at("A").translation, u"Ah");
    EXPECT_EQ(master.at("A").catalogueIds[0], second);
    EXPECT_EQ(master.at("B").translation, u"Be");
    EXPECT_EQ(master.at("B").catalogueIds[0], first);
    EXPECT_TRUE(document.catalogues()[0].tree);
}

} // namespace

namespace {

TEST_F(LanguageFile, RebuildEntriesRereadsTheTreeButKeepsCodeType)
{
    const QString path = write("a.xml", languageFile("AllowLength=\"3\" CodeType=\"QT\"",
                                                     {"<L from=\"A\" to=\"Ah\" key=\"K\"/>"}));
    const int id = document.LoadCatalogue(path, false);
    document.AddEntry(id, "B", "Be", 1);  // not in the tree: gone after a rebuild
    CXMLStruct &c = *document.findCatalogue(id);
    c.codeType = CodeTypeCpp;
    c.lengthRatio = 9.0f;
    EXPECT_EQ(document.RebuildEntries(document.FindCatalogueIndex(id)), 1);
    EXPECT_EQ(c.entries.size(), 1u);
    EXPECT_EQ(c.keys, QStringList({"K"}));
    EXPECT_FLOAT_EQ(c.lengthRatio, 3.0f);
    EXPECT_EQ(c.codeType, CodeTypeCpp);
}

} // namespace
