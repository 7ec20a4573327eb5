// The conflicts file: its JSON both ways, and resolving conflicts one at a
// time in the merged file, the others following the elements they name.

#include "merge/git_setup.h"
#include "merge/language_merge.h"
#include "merge/merge_conflicts.h"
#include "test_support.h"

namespace {

const QByteArray kRoot = "AllowLength=\"2.000000\" CodeType=\"CPlus2\"";

// Merges the three versions into `merged` with its conflicts file, as the
// merge command leaves them.
void mergeInto(const QString &merged, const QByteArray &base, const QByteArray &ours, const QByteArray &theirs)
{
    const LanguageMergeResult result = MergeLanguageFiles(base, ours, theirs);
    ASSERT_TRUE(result.merged) << result.error.toStdString();
    ASSERT_TRUE(writeBytes(merged, result.bytes));
    QString error;
    ASSERT_TRUE(WriteConflictsFile(ConflictsFilePath(merged), {QStringLiteral("DEU.xml"), result.conflicts}, &error));
}

} // namespace

class MergeConflicts : public FolderTest {
protected:
    std::vector<MergeConflict> conflictsOf(const QString &merged)
    {
        ConflictsFile file;
        QString error;
        EXPECT_TRUE(ReadConflictsFile(ConflictsFilePath(merged), &file, &error)) << error.toStdString();
        return file.conflicts;
    }
};

TEST_F(MergeConflicts, JsonReadsBackAsWritten)
{
    MergeConflict attribute;
    attribute.attribute = QStringLiteral("to");
    attribute.location = {QStringLiteral("Open \"it\""), QStringLiteral("IDS_OPEN"), 1};
    attribute.base = QStringLiteral("Open");
    attribute.ours = QStringLiteral("Öffnen");
    MergeConflict setting;
    setting.kind = MergeConflict::Kind::Setting;
    setting.attribute = QStringLiteral("AllowLength");
    setting.ours = QStringLiteral("3");
    setting.theirs = QStringLiteral("4");
    MergeConflict removal;
    removal.kind = MergeConflict::Kind::Removal;
    removal.inFile = false;
    removal.location = {QStringLiteral("Close"), QString(), 0};
    removal.after = EntryLocation{QStringLiteral("Open"), QStringLiteral("K"), 0};
    removal.base = QStringLiteral("<L from=\"Close\" to=\"Close\"/>");
    removal.theirs = QStringLiteral("<L from=\"Close\" to=\"Zu\"/>");
    const ConflictsFile file{QStringLiteral("DEU.xml"), {attribute, setting, removal}};
    ConflictsFile read;
    QString error;
    ASSERT_TRUE(ConflictsFromJson(ConflictsToJson(file), &read, &error)) << error.toStdString();
    EXPECT_EQ(read.file, "DEU.xml");
    ASSERT_EQ(read.conflicts.size(), 3u);
    EXPECT_EQ(ConflictsToJson(read), ConflictsToJson(file));
    EXPECT_EQ(read.conflicts[0].location, attribute.location);
    EXPECT_EQ(read.conflicts[0].theirs, std::nullopt);
    EXPECT_EQ(read.conflicts[1].kind, MergeConflict::Kind::Setting);
    EXPECT_FALSE(read.conflicts[2].inFile);
    EXPECT_EQ(read.conflicts[2].after, removal.after);

    struct Bad {
        QByteArray json;
        const char *error;
    };
    const Bad bad[] = {
        {"{", "not JSON: unterminated object at offset 1"},
        {"{\"rendaroConflicts\": 2, \"conflicts\": []}", "not a conflicts file of this version of Rendaro"},
        {"{\"rendaroConflicts\": 1, \"conflicts\": [{\"kind\": \"other\"}]}", "conflict 1 is not well-formed"},
        {"{\"rendaroConflicts\": 1, \"conflicts\": [{\"kind\": \"attribute\", \"attribute\": \"to\", \"base\": 3}]}",
         "conflict 1 is not well-formed"},
        {"{\"rendaroConflicts\": 1, \"conflicts\": [{\"kind\": \"attribute\", \"attribute\": \"to\"}]}",
         "conflict 1 is not well-formed"},
    };
    for (const Bad &b : bad) {
        EXPECT_FALSE(ConflictsFromJson(b.json, &read, &error)) << b.json.toStdString();
        EXPECT_EQ(error, QString::fromLatin1(b.error));
    }
}

TEST_F(MergeConflicts, EachChoiceOfEachKind)
{
    const QByteArray base = languageFile(kRoot, {R"(<L from="Open" to="Open" key="IDS_OPEN"/>)",
                                                 R"(<L from="Save" to="Save" key="IDS_SAVE"/>)",
                                                 R"(<L from="Close" to="Close" key="IDS_CLOSE"/>)"});
    const QByteArray ours = languageFile("AllowLength=\"3.000000\" CodeType=\"CPlus2\"",
                                         {R"(<L from="Open" to="Öffnen" key="IDS_OPEN"/>)",
                                          R"(<L from="Save" to="Speichern" key="IDS_SAVE"/>)"});
    const QByteArray theirs = languageFile("AllowLength=\"1.000000\" CodeType=\"CPlus2\"",
                                           {R"(<L from="Open" to="Auf &quot;machen&quot;" key="IDS_OPEN"/>)",
                                            R"(<L from="Close" to="Schließen" key="IDS_CLOSE"/>)"});
    struct Case {
        int conflict;  // 0: AllowLength, 1: to of Open, 2: removal of Save (kept), 3: removal of Close (out)
        ConflictChoice choice;
        const char *edited;
        QList<QByteArray> lines;
        QByteArray root;
    };
    const QByteArray oursRoot = "AllowLength=\"3.000000\" CodeType=\"CPlus2\"";
    const QByteArray open = R"(<L from="Open" to="Öffnen" key="IDS_OPEN"/>)";
    const QByteArray save = R"(<L from="Save" to="Speichern" key="IDS_SAVE"/>)";
    const std::vector<Case> cases = {
        {1, ConflictChoice::Ours, "", {open, save}, oursRoot},
        {1, ConflictChoice::Theirs, "", {R"(<L from="Open" to="Auf &quot;machen&quot;" key="IDS_OPEN"/>)", save}, oursRoot},
        {1, ConflictChoice::Base, "", {R"(<L from="Open" to="Open" key="IDS_OPEN"/>)", save}, oursRoot},
        {1, ConflictChoice::Edited, "A & <b> \"c\"", {R"(<L from="Open" to="A &amp; &lt;b> &quot;c&quot;" key="IDS_OPEN"/>)", save},
         oursRoot},
        {2, ConflictChoice::Theirs, "", {open}, oursRoot},
        {2, ConflictChoice::Base, "", {open, R"(<L from="Save" to="Save" key="IDS_SAVE"/>)"}, oursRoot},
        {3, ConflictChoice::Theirs, "", {open, save, R"(<L from="Close" to="Schließen" key="IDS_CLOSE"/>)"}, oursRoot},
        {3, ConflictChoice::Edited, R"(<L from="Close" to="Zu"/>)", {open, save, R"(<L from="Close" to="Zu"/>)"}, oursRoot},
        {3, ConflictChoice::Ours, "", {open, save}, oursRoot},
        {0, ConflictChoice::Theirs, "", {open, save}, "AllowLength=\"1.000000\" CodeType=\"CPlus2\""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "conflict " << c.conflict << ", choice " << int(c.choice));
        const QString merged = folder.path(QStringLiteral("DEU.xml"));
        mergeInto(merged, base, ours, theirs);
        const std::vector<MergeConflict> conflicts = conflictsOf(merged);
        ASSERT_EQ(conflicts.size(), 4u);
        // In the merged file's order: the root's settings, then the elements.
        EXPECT_EQ(conflicts[0].kind, MergeConflict::Kind::Setting);
        EXPECT_EQ(conflicts[1].attribute, "to");
        EXPECT_TRUE(conflicts[2].kind == MergeConflict::Kind::Removal && conflicts[2].inFile);
        EXPECT_TRUE(conflicts[3].kind == MergeConflict::Kind::Removal && !conflicts[3].inFile);
        QString error;
        ASSERT_TRUE(ResolveConflict(merged, c.conflict, c.choice, QString::fromUtf8(c.edited), &error))
            << error.toStdString();
        EXPECT_EQ(QString::fromUtf8(readBytes(merged)), QString::fromUtf8(languageFile(c.root, c.lines)));
        EXPECT_EQ(conflictsOf(merged).size(), 3u);
    }
}

TEST_F(MergeConflicts, OthersFollowTheirElementsAndTheLastRemovesTheFile)
{
    const QByteArray base = languageFile(kRoot, {R"(<L from="Open" to="Open" key="IDS_OPEN"/>)",
                                                 R"(<L from="Save" to="Save" key="IDS_SAVE"/>)"});
    const QByteArray ours = languageFile(kRoot, {R"(<L from="Open it" to="Öffnen" key="IDS_OPEN"/>)",
                                                 R"(<L from="Save" to="Speichern" key="IDS_SAVE_O"/>)"});
    const QByteArray theirs = languageFile(kRoot, {R"(<L from="Open file" to="Aufmachen" key="IDS_OPEN"/>)",
                                                   R"(<L from="Save" to="Sichern" key="IDS_SAVE_T"/>)"});
    const QString merged = folder.path(QStringLiteral("DEU.xml"));
    mergeInto(merged, base, ours, theirs);
    std::vector<MergeConflict> conflicts = conflictsOf(merged);
    ASSERT_EQ(conflicts.size(), 4u);  // from and to of Open; to and key of Save
    EXPECT_EQ(conflicts[0].attribute, "from");
    EXPECT_EQ(conflicts[2].attribute, "to");
    EXPECT_EQ(conflicts[3].attribute, "key");
    QString error;
    // The original taken from theirs: the translation's conflict names the
    // element as it is now; then the same for a key.
    ASSERT_TRUE(ResolveConflict(merged, 0, ConflictChoice::Theirs, {}, &error)) << error.toStdString();
    conflicts = conflictsOf(merged);
    ASSERT_EQ(conflicts.size(), 3u);
    EXPECT_EQ(conflicts[0].location, (EntryLocation{QStringLiteral("Open file"), QStringLiteral("IDS_OPEN"), 0}));
    ASSERT_TRUE(ResolveConflict(merged, 2, ConflictChoice::Theirs, {}, &error)) << error.toStdString();
    conflicts = conflictsOf(merged);
    ASSERT_EQ(conflicts.size(), 2u);
    EXPECT_EQ(conflicts[1].location, (EntryLocation{QStringLiteral("Save"), QStringLiteral("IDS_SAVE_T"), 0}));
    ASSERT_TRUE(ResolveConflict(merged, 0, ConflictChoice::Edited, QStringLiteral("Datei öffnen"), &error));
    ASSERT_EQ(conflictsOf(merged).size(), 1u);
    EXPECT_FALSE(ResolveConflict(merged, 1, ConflictChoice::Ours, {}, &error));
    EXPECT_EQ(error, "there is no conflict 2");
    ASSERT_TRUE(ResolveConflict(merged, 0, ConflictChoice::Ours, {}, &error)) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(ConflictsFilePath(merged)));
    EXPECT_EQ(readBytes(merged), languageFile(kRoot, {R"(<L from="Open file" to="Datei öffnen" key="IDS_OPEN"/>)",
                                                      R"(<L from="Save" to="Speichern" key="IDS_SAVE_T"/>)"}));
}

TEST_F(MergeConflicts, AChoiceThatCannotBeMadeChangesNothing)
{
    const QByteArray base = languageFile(kRoot, {R"(<L from="Open" to="Open" key="IDS_OPEN"/>)"});
    const QString merged = folder.path(QStringLiteral("DEU.xml"));
    mergeInto(merged, base, languageFile(kRoot, {R"(<L from="Open" to="A" key="IDS_OPEN"/>)"}),
              languageFile(kRoot, {R"(<L from="Open" to="B" key="IDS_OPEN"/>)"}));
    const QByteArray before = readBytes(merged);
    const QByteArray listed = readBytes(ConflictsFilePath(merged));
    std::vector<MergeConflict> conflicts = conflictsOf(merged);
    ASSERT_EQ(conflicts.size(), 1u);
    QString error;
    // The element was edited away meanwhile.
    QByteArray bytes = languageFile(kRoot, {R"(<L from="Other" to="A" key="IDS_OPEN"/>)"});
    EXPECT_FALSE(ApplyConflictChoice(bytes, conflicts[0], ConflictChoice::Theirs, {}, &error));
    EXPECT_EQ(error, "the merged file holds no element \"Open\"");
    // Markup that is not one element.
    MergeConflict removal;
    removal.kind = MergeConflict::Kind::Removal;
    removal.location = conflicts[0].location;
    bytes = before;
    EXPECT_FALSE(ApplyConflictChoice(bytes, removal, ConflictChoice::Edited, QStringLiteral("<L from=\"a\"/><L/>"), &error));
    EXPECT_EQ(error, "the markup is not one <L> element");
    EXPECT_FALSE(ApplyConflictChoice(bytes, removal, ConflictChoice::Edited, QStringLiteral("<L from=\"a\""), &error));
    EXPECT_TRUE(error.startsWith("the result would not be a language file: line")) << error.toStdString();
    EXPECT_EQ(bytes, before);
    EXPECT_EQ(readBytes(merged), before);
    EXPECT_EQ(readBytes(ConflictsFilePath(merged)), listed);
}

TEST(GitAttributes, AFolderOfLanguageFilesIsOnePattern)
{
    EXPECT_EQ(GitAttributeLines({"lang/DEU.xml", "lang/FRA.xml", "ViewResDEU.xml", "res/a b/X.xml", "mixed/DEU.xml"},
                                {"lang/DEU.xml", "lang/FRA.xml", "ViewResDEU.xml", "build.xml", "res/a b/X.xml",
                                 "mixed/DEU.xml", "mixed/pom.xml"}),
              (QStringList{"/ViewResDEU.xml merge=rendaro diff=rendaro", "/lang/*.xml merge=rendaro diff=rendaro",
                           "/mixed/DEU.xml merge=rendaro diff=rendaro",
                           "\"/res/a b/*.xml\" merge=rendaro diff=rendaro"}));
}
