#pragma once
// Checks many texts (the translations of a catalogue) on a worker thread of
// its own. The worker splits every text, asks each distinct word once (on
// the available cores, each thread with a checker of its own built from the
// setup, so no hunspell handle is shared), and reads only the texts it was
// given (copies that share their data with the catalogue's strings, which
// the caller may change meanwhile). Findings come in batches, about every
// `batchMilliseconds` or every thousand findings, whichever comes first,
// through a handler called on the worker thread.
// Destroying the run cancels it and waits for the worker.

#include "spelling/spell_checker.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <thread>
#include <vector>

struct SpellFinding {
    qsizetype index = 0;  // into the texts given
    QString text;         // the text checked
    QStringList words;    // its misspelled words, each once, in order
};

struct SpellBatch {
    std::vector<SpellFinding> findings;
    qsizetype checked = 0;  // texts checked so far, this batch's included
    bool last = false;      // the run is over (every text checked, or the error)
    QString error;          // the dictionary could not be read: nothing was checked
};

class SpellCheckRun {
public:
    using BatchHandler = std::function<void(SpellBatch &&batch)>;

    SpellCheckRun(SpellCheckerSetup setup, std::vector<QString> texts, BatchHandler onBatch,
                  int batchMilliseconds = 50);
    ~SpellCheckRun();
    SpellCheckRun(const SpellCheckRun &) = delete;
    SpellCheckRun &operator=(const SpellCheckRun &) = delete;

    // Stops before the next text; no more batches come.
    void cancel() { m_cancelled = true; }

private:
    void work();

    SpellCheckerSetup m_setup;
    std::vector<QString> m_texts;
    BatchHandler m_onBatch;
    int m_batchMilliseconds;
    std::atomic<bool> m_cancelled{false};
    std::thread m_thread;  // last: it starts once everything above is set
};

// The distinct words of a list of misspellings, in order.
QStringList DistinctWords(const std::vector<SpellWord> &misspelled);

