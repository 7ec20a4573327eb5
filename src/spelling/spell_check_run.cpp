#include "spelling/spell_check_run.h"

#include "spelling/distinct_word_check.h"

#include <QElapsedTimer>

namespace {
// A batch also ends at this many findings: whoever takes it spends a few
// microseconds on each, and a window must not stall on a file where nearly
// every text is misspelled (the wrong dictionary, say).
constexpr size_t kFindingsPerBatch = 1000;
} // namespace

SpellCheckRun::SpellCheckRun(SpellCheckerSetup setup, std::vector<QString> texts, BatchHandler onBatch,
                             int batchMilliseconds)
    : m_setup(std::move(setup)), m_texts(std::move(texts)), m_onBatch(std::move(onBatch)),
      m_batchMilliseconds(batchMilliseconds), m_thread([this] { work(); })
{
}

SpellCheckRun::~SpellCheckRun()
{
    cancel();
    m_thread.join();
}

void SpellCheckRun::work()
{
    // Each distinct word of every text is asked once, on the available
    // cores (each thread with its own checker); the findings are then made
    // from the answers and handed over in batches.
    const TextWords words = CollectTextWords(m_texts);
    if (m_cancelled)
        return;
    std::vector<char> correct;
    QString error;
    const bool read = CheckWords(m_setup, words.words, SpellingThreads(words.words.size()), &correct, &error,
                                 &m_cancelled);
    if (m_cancelled)
        return;
    SpellBatch batch;
    if (!read) {
        batch.last = true;
        batch.error = error;
        m_onBatch(std::move(batch));
        return;
    }
    QElapsedTimer sinceBatch;
    sinceBatch.start();
    const qsizetype count = qsizetype(m_texts.size());
    for (qsizetype index = 0; index < count; ++index) {
        if (m_cancelled)
            return;
        const std::vector<std::uint32_t> misspelled = MisspelledOfText(words.ofText[size_t(index)], correct);
        if (!misspelled.empty()) {
            QStringList found;
            for (std::uint32_t word : misspelled)
                found << words.words[word];
            batch.findings.push_back({index, m_texts[size_t(index)], found});
        }
        const bool full = batch.findings.size() >= kFindingsPerBatch;
        if ((full || sinceBatch.elapsed() >= m_batchMilliseconds) && index + 1 < count) {
            batch.checked = index + 1;
            m_onBatch(std::move(batch));
            batch = SpellBatch();
            sinceBatch.restart();
        }
    }
    batch.checked = count;
    batch.last = true;
    if (!m_cancelled)
        m_onBatch(std::move(batch));
}

QStringList DistinctWords(const std::vector<SpellWord> &misspelled)
{
    QStringList words;
    for (const SpellWord &word : misspelled) {
        if (!words.contains(word.word))
            words << word.word;
    }
    return words;
}
