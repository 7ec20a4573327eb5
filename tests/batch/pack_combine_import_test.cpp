#include "branch_fixture.h"

namespace {

// Steps 2 and 3 over two projects, ViewRes (row 0) and BackRes (row 1).
class PackCombineImport : public BranchTest {
protected:
    QString out() const { return folder.root() + "/out"; }
    QString combined(const QString &language) const { return out() + "/ALL_" + language + ".xml"; }
    void importLanguages(const QStringList &languages)
    {
        handler.SetSelectedLanguages(languages);
        handler.SetSelectedProjects({0, 1});
        handler.SetTranslatedXmlPath(out());
        EXPECT_EQ(handler.RunImport(), 0);
    }
};

TEST_F(PackCombineImport, ASharedOriginalIsCombinedOnceAndImportedIntoBoth)
{
    writeCatalogue("ViewRes", "DEU", {R"(<L from="Cancel" to="Cancel" key="IDS_CANCEL"/>)",
                                      R"(<L from="View only" to="Nur Ansicht"/>)"});
    writeCatalogue("BackRes", "DEU", {R"(<L from="Cancel" to="Abbrechen" key="IDS_CANCEL"/>)",
                                      R"(<L from="Back only" to="Back only"/>)"});
    ASSERT_TRUE(handler.SaveAllStrings({"DEU"}, {0, 1}, out()));
    const QByteArray all = readBytes(combined("DEU"));
    EXPECT_EQ(all.count("from=\"Cancel\""), 1);
    EXPECT_EQ(translationIn(combined("DEU"), "Cancel"), u"Abbrechen");  // the translated one wins
    EXPECT_EQ(entryCount(combined("DEU")), 3);
    EXPECT_EQ(handler.LastResult().written, QStringList({combined("DEU")}));

    // The translators change the shared string and translate another one.
    writeAt(combined("DEU"), languageFile("", {R"(<L from="Cancel" to="Abbruch"/>)",
                                               R"(<L from="Back only" to="Nur hinten"/>)"}));
    importLanguages({"DEU"});
    EXPECT_EQ(translationIn(catalogue("ViewRes", "DEU"), "Cancel"), u"Abbruch");
    EXPECT_EQ(translationIn(catalogue("BackRes", "DEU"), "Cancel"), u"Abbruch");
    EXPECT_EQ(translationIn(catalogue("BackRes", "DEU"), "Back only"), u"Nur hinten");
    EXPECT_EQ(translationIn(catalogue("ViewRes", "DEU"), "View only"), u"Nur Ansicht");
    EXPECT_TRUE(handler.LastResult().problems.isEmpty());
}

TEST_F(PackCombineImport, ALanguageWithoutFilesGivesAnEmptyCombinedFile)
{
    writeCatalogue("ViewRes", "DEU", {R"(<L from="Cancel" to="Abbrechen"/>)"});
    QDir().mkpath(branch() + "/Exe/Lang/ITA");
    ASSERT_TRUE(handler.SaveAllStrings({"DEU", "ITA"}, {0, 1}, out()));
    EXPECT_EQ(readBytes(combined("ITA")), "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\r\n\r\n"
                                          "<Language AllowLength=\"2.000000\" CodeType=\"CPlus2\">\r\n</Language>\r\n");
    // No translation of one language leaks into the next.
    EXPECT_EQ(entryCount(combined("DEU")), 1);

    writeCatalogue("BackRes", "DEU", {"<L from="});
    EXPECT_TRUE(handler.SaveAllStrings({"DEU"}, {0, 1}, out()));
    EXPECT_TRUE(handler.LastResult().problems.value(0).startsWith("Can not read " + catalogue("BackRes", "DEU")));
    EXPECT_FALSE(handler.SaveAllStrings({"DEU"}, {0, 1}, ""));
}

TEST_F(PackCombineImport, OnlyRealTranslationsOfTranslatableEntriesAreTaken)
{
    const QString view = writeCatalogue("ViewRes", "DEU", {
        R"(<L from="Keep me" to="Keep me" IsTrans="false"/>)",
        R"(<L from="Not combined" to="Nicht dabei"/>)",
        R"(<L from="Empty there" to="Leer"/>)",
        R"(<L from="Same there" to="Gleich"/>)",
        R"(<L from="Take me" to="Take me"/>)",
        R"(<L from="Replace me" to="Alt"/>)",
    });
    writeAt(combined("DEU"), languageFile("", {
        R"(<L from="Keep me" to="Behalte mich"/>)",
        R"(<L from="Empty there" to=""/>)",
        R"(<L from="Same there" to="Same there"/>)",
        R"(<L from="Take me" to="Nimm mich"/>)",
        R"(<L from="Replace me" to="Neu"/>)",
    }));
    QDir().mkpath(out());
    importLanguages({"DEU"});
    EXPECT_EQ(translationIn(view, "Keep me"), u"Keep me");
    EXPECT_TRUE(readBytes(view).contains(R"(<L from="Keep me" to="Keep me" IsTrans="false"/>)"));
    EXPECT_EQ(translationIn(view, "Not combined"), u"Nicht dabei");
    EXPECT_EQ(translationIn(view, "Empty there"), u"Leer");
    EXPECT_EQ(translationIn(view, "Same there"), u"Gleich");
    EXPECT_EQ(translationIn(view, "Take me"), u"Nimm mich");
    EXPECT_EQ(translationIn(view, "Replace me"), u"Neu");
}

TEST_F(PackCombineImport, LogAndProgress)
{
    writeCatalogue("ViewRes", "DEU", {R"(<L from="Cancel" to="Cancel"/>)"});
    writeCatalogue("BackRes", "DEU", {R"(<L from="Cancel" to="Cancel"/>)"});
    writeCatalogue("ViewRes", "FRA", {R"(<L from="Cancel" to="Cancel"/>)"});
    const QString brokenBack = writeCatalogue("BackRes", "FRA", {R"(<L from="Cancel")"});
    writeAt(combined("DEU"), languageFile("", {R"(<L from="Cancel" to="Abbrechen"/>)"}));
    const QByteArray translatedBytes = readBytes(combined("DEU"));
    QStringList lines;
    handler.SetLogListener([&lines](const QString &line) { lines.append(line); });
    importLanguages({"DEU", "FRA"});

    // The log holds the last language; the reasons in parentheses are the
    // file system's and the parser's own words.
    const QStringList french = handler.Log().split("\r\n");
    ASSERT_EQ(french.size(), 7) << handler.Log().toStdString();
    EXPECT_EQ(french[0], "Start processing FRA");
    EXPECT_EQ(french[1], "Load Translated File " + combined("FRA"));
    EXPECT_TRUE(french[2].startsWith("Can not read " + combined("FRA") + " ("));
    EXPECT_TRUE(french[2].endsWith("); no translation taken"));
    EXPECT_EQ(french[3], "Load File " + catalogue("ViewRes", "FRA"));
    EXPECT_EQ(french[4], "Load File " + brokenBack);
    EXPECT_TRUE(french[5].startsWith("Can not read " + brokenBack + " (line "));
    EXPECT_TRUE(french[5].endsWith("); skipped"));
    EXPECT_EQ(french[6], "Save All Files");
    EXPECT_EQ(lines.mid(0, 5), QStringList({"Start processing DEU", "Load Translated File " + combined("DEU"),
                                            "Load File " + catalogue("ViewRes", "DEU"),
                                            "Load File " + catalogue("BackRes", "DEU"), "Save All Files"}));
    EXPECT_EQ(lines.size(), 12);
    EXPECT_EQ(handler.Progress(), 2);
    EXPECT_FALSE(handler.IsActive());
    EXPECT_EQ(readBytes(brokenBack), languageFile("", {R"(<L from="Cancel")"}));  // never overwritten
    EXPECT_EQ(readBytes(combined("DEU")), translatedBytes);  // the translators' file is input only
    EXPECT_EQ(translationIn(catalogue("BackRes", "DEU"), "Cancel"), u"Abbrechen");
    const PackStepResult result = handler.LastResult();
    EXPECT_EQ(result.problems.size(), 2);
    EXPECT_EQ(result.written, QStringList({catalogue("ViewRes", "DEU"), catalogue("BackRes", "DEU"),
                                           catalogue("ViewRes", "FRA")}));
}

TEST_F(PackCombineImport, AFileThatCannotBeWrittenDoesNotStopTheOthers)
{
    const QString view = writeCatalogue("ViewRes", "DEU", {R"(<L from="Cancel" to="Cancel"/>)"});
    const QString back = writeCatalogue("BackRes", "DEU", {R"(<L from="Cancel" to="Cancel"/>)"});
    writeAt(combined("DEU"), languageFile("", {R"(<L from="Cancel" to="Abbrechen"/>)"}));
    // Once both files are read, the first one's place is taken by a folder.
    handler.SetLogListener([&view](const QString &line) {
        if (line == u"Save All Files") {
            QFile::remove(view);
            QDir().mkpath(view);
        }
    });
    importLanguages({"DEU"});
    EXPECT_EQ(handler.LastResult().problems, QStringList({"Can not save " + view}));
    EXPECT_TRUE(handler.Log().endsWith("Save All Files\r\nCan not save " + view));
    EXPECT_EQ(translationIn(back, "Cancel"), u"Abbrechen");
    EXPECT_EQ(handler.Progress(), 1);
}

TEST_F(PackCombineImport, CancellingBeforeALanguageIsWrittenLeavesItAsItWas)
{
    const QString view = writeCatalogue("ViewRes", "DEU", {R"(<L from="Cancel" to="Cancel"/>)"});
    const QString back = writeCatalogue("BackRes", "DEU", {R"(<L from="Cancel" to="Cancel"/>)"});
    writeAt(combined("DEU"), languageFile("", {R"(<L from="Cancel" to="Abbrechen"/>)"}));
    const QByteArray viewBefore = readBytes(view);
    handler.SetLogListener([this, &view](const QString &line) {
        if (line == "Load File " + view)
            handler.Cancel();
    });
    importLanguages({"DEU", "FRA"});
    EXPECT_TRUE(handler.Log().endsWith("Load File " + view + "\r\nCancelled")) << handler.Log().toStdString();
    EXPECT_EQ(readBytes(view), viewBefore);
    EXPECT_EQ(translationIn(back, "Cancel"), u"Cancel");
    EXPECT_EQ(handler.Progress(), 0);

    handler.SetLogListener(nullptr);
    importLanguages({"DEU"});  // a new run is not cancelled
    EXPECT_EQ(handler.Progress(), 1);
    EXPECT_EQ(translationIn(view, "Cancel"), u"Abbrechen");
}

// The next language's files are read while one language is saved: a cancel
// while the next one is loaded keeps it as it was, after the first was
// written in full.
TEST_F(PackCombineImport, CancellingTheSecondLanguageKeepsItAfterTheFirstIsWritten)
{
    const QString deu = writeCatalogue("ViewRes", "DEU", {R"(<L from="Cancel" to="Cancel"/>)"});
    const QString fra = writeCatalogue("ViewRes", "FRA", {R"(<L from="Cancel" to="Cancel"/>)"});
    const QString fraBack = writeCatalogue("BackRes", "FRA", {R"(<L from="Cancel" to="Cancel"/>)"});
    writeAt(combined("DEU"), languageFile("", {R"(<L from="Cancel" to="Abbrechen"/>)"}));
    writeAt(combined("FRA"), languageFile("", {R"(<L from="Cancel" to="Annuler"/>)"}));
    const QByteArray fraBefore = readBytes(fra), fraBackBefore = readBytes(fraBack);
    handler.SetLogListener([this, &fra](const QString &line) {
        if (line == "Load File " + fra)
            handler.Cancel();
    });
    importLanguages({"DEU", "FRA"});
    EXPECT_TRUE(handler.Log().endsWith("Load File " + fra + "\r\nCancelled")) << handler.Log().toStdString();
    EXPECT_EQ(handler.Progress(), 1);
    EXPECT_EQ(translationIn(deu, "Cancel"), u"Abbrechen");
    EXPECT_EQ(readBytes(fra), fraBefore);
    EXPECT_EQ(readBytes(fraBack), fraBackBefore);
    EXPECT_EQ(handler.LastResult().written, QStringList({deu}));
}

// Each language's combined file is written apart from the document; the
// master of the last one stays loaded, named by the file it was saved to.
TEST_F(PackCombineImport, TheLastLanguagesMasterStaysLoaded)
{
    writeCatalogue("ViewRes", "DEU", {R"(<L from="Cancel" to="Abbrechen"/>)", R"(<L from="Open" to="Offnen"/>)"});
    writeCatalogue("ViewRes", "FRA", {R"(<L from="Cancel" to="Annuler"/>)"});
    ASSERT_TRUE(handler.SaveAllStrings({"DEU", "FRA"}, {0, 1}, out()));
    EXPECT_EQ(entryCount(combined("DEU")), 2);
    EXPECT_EQ(translationIn(combined("DEU"), "Cancel"), u"Abbrechen");
    EXPECT_EQ(translationIn(combined("FRA"), "Cancel"), u"Annuler");
    const CXMLStruct &master = document.catalogues()[0];
    EXPECT_EQ(master.entries.size(), 1u);
    EXPECT_EQ(master.filePath, combined("FRA"));
    EXPECT_EQ(handler.LastResult().written, QStringList({combined("DEU"), combined("FRA")}));
}

} // namespace
