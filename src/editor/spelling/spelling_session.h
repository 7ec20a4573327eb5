#pragma once
// The spelling of the shown catalogue in the editor. The dictionary comes
// from the choice kept for the file in the settings (Tool > Settings), else
// from the language code in the file's name; without one, spelling is off
// and the status says which dictionary is missing and which Debian package
// has it.
//
// Two checkers, as hunspell handles are not shared between threads: one on
// the UI thread checks the text being typed and each entry as it changes;
// a SpellCheckRun with its own checks every translation on a worker thread
// and hands its findings over in batches, which the session takes on the
// UI thread as they arrive. A finding whose entry changed since the run read
// it is dropped (the change was checked at once), and the run of a
// catalogue no longer shown is cancelled and its batches ignored.
//
// Results are kept by entry address (entries never move while their
// catalogue holds them); whoever shows a new catalogue, or takes entries
// away, calls start() again.

#include "catalogue/entry_filter.h"
#include "spelling/spell_checker.h"

#include <QObject>
#include <QStringList>
#include <memory>
#include <unordered_map>

class QSettings;
class SpellCheckRun;
struct SpellBatch;
struct StringEntry;

class SpellingSession : public QObject {
    Q_OBJECT
public:
    explicit SpellingSession(QObject *parent = nullptr);
    ~SpellingSession() override;

    // Spelling is offered only with settings to keep each file's choice in
    // (the main window's); without them the session stays off and silent.
    void setSettings(QSettings *settings);
    bool isAvailable() const { return m_settings != nullptr; }

    // The dictionary chosen for a file (its path, or a language folder's):
    // empty for the one its name gives, kChoiceOff for none.
    static const QString kChoiceOff;
    QString choiceFor(const QString &path) const;
    void setChoiceFor(const QString &path, const QString &choice);
    // The dictionary the names of `files` give (empty when they name no
    // language the table knows).
    static QString dictionaryFromNames(const QStringList &files);

    // Starts over on a catalogue of the document (-1: nothing shown),
    // whose file (or folder) is `path` and whose files are `files`.
    void start(int catalogueId, const QString &path, const QStringList &files);

    bool isOn() const { return m_checker != nullptr; }
    bool isChecking() const { return m_checking; }
    QString dictionary() const { return m_checker ? m_checker->dictionaryName() : QString(); }
    // For the status bar: the dictionary in use, or why spelling is off;
    // empty when spelling is not available or nothing is shown.
    QString statusText() const { return m_status; }

    bool isMisspelled(const StringEntry *entry) const { return m_found.count(entry) != 0; }
    QStringList misspelledWords(const StringEntry *entry) const;
    qsizetype misspelledCount() const { return qsizetype(m_found.size()); }
    // The entries holding a misspelled word, for the filter bar.
    EntrySet misspelledEntries() const;

    // An entry of the shown catalogue changed or was added: it is checked
    // again at once.
    void entryChanged(const StringEntry &entry);

    // For the text being typed (empty while spelling is off).
    std::vector<SpellWord> misspellingsIn(QStringView text);
    QStringList suggestions(const QString &word);
    // The word joins the user's list for this dictionary (kept on disk) or
    // is ignored while the program runs; either way its findings go.
    bool addToDictionary(const QString &word, QString *error);
    void ignore(const QString &word);

signals:
    // Entries became misspelled or correct.
    void misspellingsChanged();
    void statusChanged(const QString &text);
    // The worker went through every translation.
    void checkFinished();

private:
    void stopRun();
    void setStatus(const QString &text);
    void applyBatch(quint64 generation, SpellBatch &batch);
    void acceptWord(const QString &word);
    QString settingsKey(const QString &path) const;

    QSettings *m_settings = nullptr;
    std::unique_ptr<SpellChecker> m_checker;  // the UI thread's
    DictionaryFiles m_files;
    std::unique_ptr<SpellCheckRun> m_run;
    std::vector<QString> m_runOriginals;  // the entry of each text the run checks
    quint64 m_generation = 0;
    int m_catalogueId = -1;
    bool m_checking = false;
    QString m_status;
    std::unordered_map<const StringEntry *, QStringList> m_found;
    QHash<QString, QStringList> m_ignored;  // by dictionary, for the program's run
};
