// The personal word list (kept under the user's data folder, taking effect
// in the checkers made after), which entries are checked, and the worker
// run: its findings and batches, a dictionary it cannot read, and cancel.

#include "catalogue/string_entry.h"
#include "spelling/personal_word_list.h"
#include "spelling/spell_check_run.h"
#include "test_support.h"
#include "thread_gate.h"

#include <QDir>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <mutex>

namespace {

// The data folder of these tests is a temporary one.
class PersonalWords : public FolderTest {
protected:
    void SetUp() override
    {
        m_previous = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", folder.path("data").toUtf8());
    }
    void TearDown() override { qputenv("XDG_DATA_HOME", m_previous); }

private:
    QByteArray m_previous;
};

TEST_F(PersonalWords, AddedWordsAreKeptAndTakeEffect)
{
    EXPECT_EQ(PersonalWordListPath("de_DE"), folder.path("data") + "/rendaro/words/de_DE.txt");
    EXPECT_EQ(ReadPersonalWords("de_DE"), QStringList());
    QString error;
    ASSERT_TRUE(AddPersonalWord("de_DE", "Rendaro", &error)) << error.toStdString();
    ASSERT_TRUE(AddPersonalWord("de_DE", QString::fromUtf8("Übersetzungsspeicher"), &error));
    ASSERT_TRUE(AddPersonalWord("de_DE", "Rendaro", &error));  // once only
    EXPECT_EQ(readBytes(PersonalWordListPath("de_DE")), "Rendaro\n\xc3\x9c" "bersetzungsspeicher\n");
    EXPECT_EQ(ReadPersonalWords("en_US"), QStringList());  // one list per dictionary

    const DictionaryFiles german = FindDictionary("de_DE", {"/usr/share/hunspell"});
    ASSERT_TRUE(german.found()) << "run scripts/install-deps.sh";
    auto without = SpellChecker::create({german, {}}, &error);
    auto with = SpellChecker::create({german, ReadPersonalWords("de_DE")}, &error);
    ASSERT_TRUE(without && with);
    const QString text = QStringLiteral("Rendaro hat einen Fehlr");
    EXPECT_EQ(DistinctWords(without->misspelledWords(text)), QStringList({"Rendaro", "Fehlr"}));
    EXPECT_EQ(DistinctWords(with->misspelledWords(text)), QStringList({"Fehlr"}));
}

TEST_F(PersonalWords, AnUnwritableListIsReported)
{
    writeBytes(folder.path("data"), "a file where the folder should be");
    QString error;
    EXPECT_FALSE(AddPersonalWord("de_DE", "Rendaro", &error));
    EXPECT_TRUE(error.contains("rendaro/words")) << error.toStdString();
    EXPECT_EQ(ReadPersonalWords("de_DE"), QStringList());
}

TEST(SpellingRule, OnlyRealTranslationsAreChecked)
{
    StringEntry entry;
    entry.original = "Save";
    entry.translation = "Speichern";
    EXPECT_TRUE(ShouldCheckSpelling(entry));
    entry.translatable = 0;
    EXPECT_FALSE(ShouldCheckSpelling(entry));
    entry.translatable = 1;
    entry.translation = "Save";  // untranslated: still English
    EXPECT_FALSE(ShouldCheckSpelling(entry));
    entry.translation.clear();
    EXPECT_FALSE(ShouldCheckSpelling(entry));
}

// Collects the batches a run hands over on its thread.
struct BatchLog {
    std::mutex mutex;
    std::condition_variable ended;
    std::vector<SpellBatch> batches;
    SpellCheckRun::BatchHandler handler()
    {
        return [this](SpellBatch &&batch) {
            std::lock_guard lock(mutex);
            batches.push_back(std::move(batch));
            ended.notify_all();
        };
    }
    void waitForLast()
    {
        std::unique_lock lock(mutex);
        ended.wait(lock, [this] { return !batches.empty() && batches.back().last; });
    }
};

SpellCheckerSetup germanSetup()
{
    return {FindDictionary("de_DE", {"/usr/share/hunspell"}), {"Rendaro"}};
}

TEST(SpellCheckRun, FindsTheMisspelledTextsInBatches)
{
    std::vector<QString> texts;
    for (int i = 0; i < 3000; ++i)
        texts.push_back(i % 1000 == 7 ? QStringLiteral("Dattei Rendaro Fehlr Dattei") : QStringLiteral("Datei %1").arg(i));
    BatchLog log;
    {
        SpellCheckRun run(germanSetup(), texts, log.handler(), 0);  // a batch after every text
        log.waitForLast();
    }
    std::vector<SpellFinding> findings;
    qsizetype checked = 0;
    for (const SpellBatch &batch : log.batches) {
        EXPECT_TRUE(batch.error.isEmpty()) << batch.error.toStdString();
        EXPECT_GT(batch.checked, checked);  // every batch moves on
        checked = batch.checked;
        EXPECT_EQ(batch.last, &batch == &log.batches.back());
        findings.insert(findings.end(), batch.findings.begin(), batch.findings.end());
    }
    EXPECT_EQ(checked, 3000);
    EXPECT_GT(log.batches.size(), 1u);
    ASSERT_EQ(findings.size(), 3u);
    for (size_t i = 0; i < findings.size(); ++i) {
        EXPECT_EQ(findings[i].index, qsizetype(7 + 1000 * i));
        EXPECT_EQ(findings[i].text, texts[size_t(findings[i].index)]);
        EXPECT_EQ(findings[i].words, QStringList({"Dattei", "Fehlr"}));  // each once; Rendaro accepted
    }
}

TEST(SpellCheckRun, AnUnreadableDictionaryEndsTheRunWithItsReason)
{
    BatchLog log;
    SpellCheckRun run({FindDictionary("qq_QQ", {}), {}}, {QStringLiteral("Text")}, log.handler());
    log.waitForLast();
    ASSERT_EQ(log.batches.size(), 1u);
    EXPECT_EQ(log.batches[0].error, u"no qq_QQ dictionary");
    EXPECT_TRUE(log.batches[0].findings.empty());
}

TEST(SpellCheckRun, CancelStopsBeforeTheNextText)
{
    Gate gate;
    std::atomic<int> batches{0};
    std::atomic<bool> sawLast{false};
    {
        SpellCheckRun run(germanSetup(), std::vector<QString>(1000, QStringLiteral("Fehlr")),
                          [&](SpellBatch &&batch) {
                              ++batches;
                              sawLast = sawLast || batch.last;
                              gate.arriveAndWait();  // held at the first batch
                          },
                          0);
        gate.waitUntilReached();
        run.cancel();
        gate.release();
    }  // joined here
    EXPECT_EQ(batches, 1);
    EXPECT_FALSE(sawLast);
}

} // namespace
