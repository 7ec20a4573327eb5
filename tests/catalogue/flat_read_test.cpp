// A file read for saving holds its root's children flat (entry number and
// attribute order) instead of as a tree. Whatever the file, a save must
// give the bytes a load with the whole tree gives, and the flat form must
// be taken exactly when the file allows it.

#include "catalogue/catalogue_reading.h"
#include "catalogue/document.h"
#include "random_language_file.h"
#include "test_support.h"
#include "threaded_read_from.h"

#include <gtest/gtest.h>

namespace {

class FlatRead : public FolderTest {
protected:
    // Loads path both ways, applies the same edits to both, saves both;
    // the bytes must be equal. Returns whether the flat form was taken.
    bool expectSameSave(const QString &path, QRandomGenerator &random, bool keepTree)
    {
        CRendaroDoc whole, flat;
        const int wholeId = whole.LoadCatalogue(path, false);
        const int flatId = flat.LoadCatalogueForSave(path);
        EXPECT_EQ(flatId, wholeId);
        if (wholeId < 0 || flatId < 0)
            return false;
        const bool taken = flat.findCatalogue(flatId)->flat != nullptr;
        // Edits on both: a changed translation, a string no longer to be
        // translated, a new string (which a save appends).
        const EntryMap &entries = whole.findCatalogue(wholeId)->entries;
        if (!entries.empty() && random.bounded(2)) {
            const QString original = entries.byNumber(size_t(random.bounded(int(entries.size())))).original;
            const QString translation = QStringLiteral("Neu & \"anders\"\n");
            const int translatable = random.bounded(3) ? 1 : 0;
            EXPECT_TRUE(whole.SetTranslation(wholeId, original, translation, translatable));
            EXPECT_TRUE(flat.SetTranslation(flatId, original, translation, translatable));
            EXPECT_EQ(whole.AddEntry(wholeId, QStringLiteral("Added"), QStringLiteral("Neu"), 1),
                      flat.AddEntry(flatId, QStringLiteral("Added"), QStringLiteral("Neu"), 1));
        }
        const QString wholeOut = folder.path("whole.xml"), flatOut = folder.path("flat.xml");
        EXPECT_TRUE(whole.SaveCatalogue(wholeId, wholeOut, keepTree)) << whole.lastErrorText().toStdString();
        EXPECT_TRUE(flat.SaveCatalogue(flatId, flatOut, keepTree)) << flat.lastErrorText().toStdString();
        EXPECT_EQ(readBytes(flatOut).toStdString(), readBytes(wholeOut).toStdString());
        return taken;
    }
};

TEST_F(FlatRead, SavesWhatTheTreeSavesAndIsTakenOnlyWhereTheFileAllows)
{
    QRandomGenerator random(17);
    int taken = 0;
    for (int round = 0; round < 300; ++round) {
        // Half the files are of entry elements alone; the rest have one oddity.
        const auto oddity = round % 2 ? Oddity(1 + random.bounded(int(Oddity::Count) - 1)) : Oddity::None;
        // Larger files, and small ones read on two threads, hand the
        // entries' thread many batches.
        const bool threaded = round % 3 == 0;
        const ThreadedReadFrom threads(threaded ? 0 : qint64(4) << 20);
        const QString path = write("file.xml", randomFile(random, round % 10 == 0 ? 3000 : 2 + random.bounded(40), oddity));
        const bool flat = expectSameSave(path, random, round % 7 != 0);
        // An empty key is no entry's key but is kept all the same.
        EXPECT_EQ(flat, oddity == Oddity::None || oddity == Oddity::EmptyKey) << round << " oddity " << int(oddity);
        taken += flat;
        if (HasFailure())
            FAIL() << "round " << round << (threaded ? " (two threads)" : "") << ":\n" << readBytes(path).toStdString();
    }
    EXPECT_GT(taken, 120);
}

TEST_F(FlatRead, ABrokenFileFailsAsTheTreeReadFails)
{
    for (const QByteArray &bytes : {QByteArray("<Language><L from=\"Open\" to=\"Auf\"/>"),
                                    QByteArray("<Language><L from=\"Open\" from=\"x\"/></Language>"),
                                    QByteArray("<Language><L from=\"Open\"/><L from=\"Open\"></Language>")}) {
        for (const qint64 threadedFrom : {qint64(0), qint64(4) << 20}) {
            const ThreadedReadFrom threads(threadedFrom);
            const QString path = write("broken.xml", bytes);
            CRendaroDoc whole, flat;
            EXPECT_EQ(whole.LoadCatalogue(path, false), -1);
            EXPECT_EQ(flat.LoadCatalogueForSave(path), -1);
            EXPECT_EQ(flat.lastErrorText(), whole.lastErrorText());
            EXPECT_FALSE(flat.lastErrorText().isEmpty());
        }
    }
}

TEST_F(FlatRead, KeysOfReplacedEntriesAndRepeatedKeysStayWithTheirElements)
{
    // "Open" untranslated with keys A and B, then replaced by a translated
    // element with key C, then met again with A and C: each element keeps
    // its own key; a key met again is found among those the entry had.
    const QString path = write("keys.xml", languageFile("", {"<L from=\"Open\" to=\"Open\" key=\"A\"/>",
                                                             "<L from=\"Open\" key=\"B\"/>",
                                                             "<L from=\"Open\" to=\"Auf\" key=\"C\"/>",
                                                             "<L key=\"A\" from=\"Open\" to=\"x\"/>",
                                                             "<L from=\"Open\" to=\"y\" key=\"C\"/>",
                                                             "<L from=\"Zu\" key=\"D\" IsTrans=\"false\"/>"}));
    QRandomGenerator random(1);
    EXPECT_TRUE(expectSameSave(path, random, true));
    EXPECT_EQ(readBytes(folder.path("flat.xml")).toStdString(),
              languageFile("AllowLength=\"2.000000\" CodeType=\"CPlus2\"",
                           {"<L from=\"Open\" to=\"Auf\" key=\"A\"/>", "<L from=\"Open\" key=\"B\" to=\"Auf\"/>",
                            "<L from=\"Open\" to=\"Auf\" key=\"C\"/>", "<L key=\"A\" from=\"Open\" to=\"Auf\"/>",
                            "<L from=\"Open\" to=\"Auf\" key=\"C\"/>",
                            "<L from=\"Zu\" key=\"D\" IsTrans=\"false\" to=\"Zu\"/>"})
                  .toStdString());
}

} // namespace
