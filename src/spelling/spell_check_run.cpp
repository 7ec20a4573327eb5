#include "spelling/spell_check_run.h"

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
    QString error;
    const std::unique_ptr<SpellChecker> checker = SpellChecker::create(m_setup, &error);
    if (m_cancelled)
        return;
    SpellBatch batch;
    if (!checker) {
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
        const QString &text = m_texts[size_t(index)];
        const std::vector<SpellWord> misspelled = checker->misspelledWords(text);
        if (!misspelled.empty())
            batch.findings.push_back({index, text, DistinctWords(misspelled)});
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
