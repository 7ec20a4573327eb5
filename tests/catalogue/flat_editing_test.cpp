// The editor's shown file is held flat when it allows it. Through any run
// of edits, added and withdrawn strings, saves, untranslated copies, Apply
// To and a fresh read of the entries, it must behave byte for byte as the
// same file held with its tree.

#include "catalogue/document.h"
#include "catalogue/entry_edits.h"
#include "catalogue/shown_file.h"
#include "random_language_file.h"
#include "test_support.h"
#include "threaded_read_from.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

class FlatEditing : public FolderTest {
protected:
    struct Side {
        CRendaroDoc document;
        int id = -1;
        QString path;
        QStringList added;  // strings added since the last save, newest last
    };

    // One random step on both sides; each save is compared. Returns false
    // once a failure was recorded.
    bool step(Side &whole, Side &flat, QRandomGenerator &random, int number)
    {
        const EntryMap &entries = whole.document.findCatalogue(whole.id)->entries;
        switch (random.bounded(9)) {
        case 0:
        case 1:
        case 2: {
            if (entries.empty())
                break;
            const QString original = entries.byNumber(size_t(random.bounded(int(entries.size())))).original;
            const QString translation = QStringLiteral("Neu %1 & \"x\"\n").arg(number);
            const int translatable = random.bounded(4) ? 1 : 0;
            EXPECT_EQ(whole.document.SetTranslation(whole.id, original, translation, translatable),
                      flat.document.SetTranslation(flat.id, original, translation, translatable));
            break;
        }
        case 3: {
            // Sometimes one the file has already, which changes nothing.
            const QString original = random.bounded(4) ? QStringLiteral("Added %1").arg(number)
                                                       : entries.byNumber(0).original;
            const int translatable = random.bounded(5) ? 1 : 0;
            for (Side *side : {&whole, &flat}) {
                const bool existed = side->document.HasEntry(original, side->id);
                AddNewEntry(side->document, side->id, original, QStringLiteral("Neu"), translatable);
                if (!existed)
                    side->added.append(original);
            }
            break;
        }
        case 4:
            // Undoing the newest addition.
            if (!whole.added.isEmpty()) {
                for (Side *side : {&whole, &flat})
                    EXPECT_TRUE(RemoveAddedEntry(side->document, side->id, side->added.takeLast()));
            }
            break;
        case 5: {
            for (Side *side : {&whole, &flat})
                EXPECT_TRUE(SaveUntranslatedCopy(side->document, side->id, side->path + QStringLiteral(".rest")));
            EXPECT_EQ(readBytes(flat.path + ".rest").toStdString(), readBytes(whole.path + ".rest").toStdString());
            break;
        }
        case 6: {
            // Apply To takes the file as last saved, not the edits since.
            const QByteArray target = randomFile(random, 1 + random.bounded(20), Oddity::None);
            for (Side *side : {&whole, &flat}) {
                writeBytes(side->path + ".target", target);
                EXPECT_TRUE(side->document.ApplyTranslationsToFile(side->path + ".target", side->id))
                    << side->document.lastErrorText().toStdString();
            }
            EXPECT_EQ(readBytes(flat.path + ".target").toStdString(),
                      readBytes(whole.path + ".target").toStdString());
            break;
        }
        case 7:
            EXPECT_EQ(CRendaroDoc::KeysInFileOrder(*flat.document.findCatalogue(flat.id)),
                      CRendaroDoc::KeysInFileOrder(*whole.document.findCatalogue(whole.id)));
            break;
        default:
            for (Side *side : {&whole, &flat}) {
                EXPECT_TRUE(side->document.SaveCatalogue(side->id, side->path, true))
                    << side->document.lastErrorText().toStdString();
                side->added.clear();  // an addition saved stays in the file
            }
            EXPECT_EQ(readBytes(flat.path).toStdString(), readBytes(whole.path).toStdString());
            break;
        }
        return !::testing::Test::HasFailure();
    }
};

TEST_F(FlatEditing, EditsSavesCopiesAndApplyToMatchTheTree)
{
    QRandomGenerator random(29);
    int heldFlat = 0;
    for (int round = 0; round < 120; ++round) {
        const ThreadedReadFrom threads(round % 3 == 0 ? 0 : qint64(4) << 20);
        const auto oddity = round % 4 == 3 ? Oddity(1 + random.bounded(int(Oddity::Count) - 1)) : Oddity::None;
        const QByteArray bytes = randomFile(random, round % 10 == 0 ? 2000 : 2 + random.bounded(40), oddity);
        Side whole, flat;
        whole.path = write(QStringLiteral("whole.xml"), bytes);
        flat.path = write(QStringLiteral("flat.xml"), bytes);
        whole.id = whole.document.LoadCatalogue(whole.path, false);
        flat.id = flat.document.LoadCatalogueForEditing(flat.path);
        ASSERT_GE(whole.id, 0);
        ASSERT_EQ(flat.id, whole.id);
        heldFlat += flat.document.findCatalogue(flat.id)->flat != nullptr;
        for (int number = 0; number < 25; ++number) {
            if (!step(whole, flat, random, number))
                FAIL() << "round " << round << ", step " << number << ":\n" << bytes.toStdString();
        }
        // Reading the entries again takes them from the file as last saved.
        for (Side *side : {&whole, &flat})
            EXPECT_EQ(side->document.RebuildEntries(side->document.FindCatalogueIndex(side->id)), 1);
        const EntryMap &read = flat.document.findCatalogue(flat.id)->entries;
        const EntryMap &expected = whole.document.findCatalogue(whole.id)->entries;
        ASSERT_EQ(read.size(), expected.size());
        for (size_t number = 0; number < read.size(); ++number) {
            EXPECT_EQ(read.byNumber(number).original, expected.byNumber(number).original);
            EXPECT_EQ(read.byNumber(number).translation, expected.byNumber(number).translation);
        }
    }
    EXPECT_GT(heldFlat, 60);
}

TEST_F(FlatEditing, CopiesOfTheTextsOutliveTheFile)
{
    // Undo, the memory and search results keep copies of the texts after
    // the file is closed; under the address sanitizer a text that lived in
    // the catalogue's memory would be caught here.
    const QString path = write(QStringLiteral("file.xml"),
                               languageFile("", {"<L from=\"Open the file\" to=\"Datei \xc3\xb6" "ffnen\" key=\"K1\"/>",
                                                 "<L from=\"Close\" key=\"K2\"/>"}));
    QString original, translation, key;
    {
        CRendaroDoc document;
        const int id = document.LoadCatalogueForEditing(path);
        ASSERT_GE(id, 0);
        ASSERT_NE(document.findCatalogue(id)->flat, nullptr);
        const StringEntry &entry = document.findCatalogue(id)->entries.byNumber(0);
        original = entry.original;
        translation = entry.translation;
        key = entry.keys.first();
        document.CloseCatalogue(id);
    }
    EXPECT_EQ(original, QStringLiteral("Open the file"));
    EXPECT_EQ(translation, QStringLiteral("Datei \u00f6ffnen"));
    EXPECT_EQ(key, QStringLiteral("K1"));
}

TEST_F(FlatEditing, ApplyToFromAFileThatWentAwaySaysWhy)
{
    const QString path = write(QStringLiteral("file.xml"), languageFile("", {"<L from=\"Open\" to=\"Auf\"/>"}));
    const QString target = write(QStringLiteral("target.xml"), languageFile("", {"<L from=\"Open\" to=\"Open\"/>"}));
    CRendaroDoc document;
    const int id = document.LoadCatalogueForEditing(path);
    ASSERT_GE(id, 0);
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_FALSE(document.ApplyTranslationsToFile(target, id));
    EXPECT_TRUE(document.lastErrorText().startsWith(path + QStringLiteral(": "))) << document.lastErrorText().toStdString();
    EXPECT_EQ(readBytes(target), languageFile("", {"<L from=\"Open\" to=\"Open\"/>"}));
    // The entries stay as they were when they cannot be read again.
    EXPECT_EQ(document.RebuildEntries(document.FindCatalogueIndex(id)), 0);
    EXPECT_EQ(document.GetTranslation(id, QStringLiteral("Open")), QStringLiteral("Auf"));
}

} // namespace
