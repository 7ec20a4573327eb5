#include "editor/spelling/spelling_session.h"

#include "catalogue/document.h"
#include "spelling/personal_word_list.h"
#include "spelling/spell_check_run.h"
#include "spelling/spelling_languages.h"

#include <QSettings>

const QString SpellingSession::kChoiceOff = kSpellingChoiceOff;

SpellingSession::SpellingSession(QObject *parent) : QObject(parent) {}

SpellingSession::~SpellingSession() { stopRun(); }

void SpellingSession::setSettings(QSettings *settings) { m_settings = settings; }

QString SpellingSession::settingsKey(const QString &path) const
{
    // Paths hold '/', which settings read as groups: the key is the path in
    // base64 (URL alphabet).
    return QStringLiteral("Spelling/Dictionary/")
           + QString::fromLatin1(path.toUtf8().toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

QString SpellingSession::choiceFor(const QString &path) const
{
    return m_settings ? m_settings->value(settingsKey(path)).toString() : QString();
}

void SpellingSession::setChoiceFor(const QString &path, const QString &choice)
{
    if (!m_settings)
        return;
    if (choice.isEmpty())
        m_settings->remove(settingsKey(path));
    else
        m_settings->setValue(settingsKey(path), choice);
}

QString SpellingSession::dictionaryFromNames(const QStringList &files)
{
    const QString code = LanguageCodeFromPaths(files);
    return code.isEmpty() ? QString() : QString::fromLatin1(SpellingLanguageForCode(code)->dictionary);
}

void SpellingSession::stopRun()
{
    ++m_generation;  // batches already on their way are ignored
    m_run.reset();   // cancels and waits: the worker stops before its next text
    m_runOriginals.clear();
    m_checking = false;
}

void SpellingSession::setStatus(const QString &text)
{
    if (text == m_status)
        return;
    m_status = text;
    emit statusChanged(text);
}

void SpellingSession::start(int catalogueId, const QString &path, const QStringList &files)
{
    stopRun();
    const bool hadFindings = !m_found.empty();
    m_found.clear();
    m_catalogueId = catalogueId;
    const CXMLStruct *catalogue = catalogueId >= 0 ? theDocument()->findCatalogue(catalogueId) : nullptr;
    if (!m_settings || !catalogue) {
        m_checker.reset();
        setStatus(QString());
        if (hadFindings)
            emit misspellingsChanged();
        return;
    }

    const QString choice = choiceFor(path);
    const QString name = choice.isEmpty() ? dictionaryFromNames(files) : choice;
    QString off;
    if (choice == kChoiceOff)
        off = tr("Spelling off");
    else if (name.isEmpty())
        off = tr("Spelling off: the file name names no language (Tool > Settings chooses a dictionary)");
    DictionaryFiles dictionary = off.isEmpty() ? FindDictionary(name) : DictionaryFiles();
    if (off.isEmpty() && !dictionary.found())
        off = tr("Spelling off: %1").arg(MissingDictionaryText(name));

    SpellCheckerSetup setup{dictionary, ReadPersonalWords(name) + m_ignored.value(name)};
    if (off.isEmpty() && (!m_checker || m_files.affPath != dictionary.affPath || m_checker->dictionaryName() != name)) {
        // Loading takes some tens of milliseconds: once per dictionary.
        QString error;
        m_checker = SpellChecker::create(setup, &error);
        m_files = dictionary;
        if (!m_checker)
            off = tr("Spelling off: %1").arg(error);
    }
    if (!off.isEmpty()) {
        m_checker.reset();
        setStatus(off);
        if (hadFindings)
            emit misspellingsChanged();
        return;
    }

    // The worker reads copies of the texts, which share their data with the
    // entries; the entries themselves stay on this thread.
    std::vector<QString> texts;
    const EntryMap &entries = catalogue->entries;
    for (size_t number = 0; number < entries.size(); ++number) {
        const StringEntry &entry = entries.byNumber(number);
        if (ShouldCheckSpelling(entry)) {
            m_runOriginals.push_back(entry.original);
            texts.push_back(entry.translation);
        }
    }
    const quint64 generation = m_generation;
    m_checking = true;
    setStatus(tr("Spelling: %1, checking...").arg(name));
    m_run = std::make_unique<SpellCheckRun>(std::move(setup), std::move(texts), [this, generation](SpellBatch &&batch) {
        auto shared = std::make_shared<SpellBatch>(std::move(batch));
        QMetaObject::invokeMethod(
            this, [this, generation, shared] { applyBatch(generation, *shared); }, Qt::QueuedConnection);
    });
    if (hadFindings)
        emit misspellingsChanged();
}

void SpellingSession::applyBatch(quint64 generation, SpellBatch &batch)
{
    if (generation != m_generation)
        return;  // a run cancelled since
    const CXMLStruct *catalogue = theDocument()->findCatalogue(m_catalogueId);
    bool changed = false;
    for (SpellFinding &finding : batch.findings) {
        const StringEntry *entry = catalogue ? catalogue->entries.lookup(m_runOriginals[size_t(finding.index)]) : nullptr;
        // An entry changed since the run read it was checked when it changed.
        if (!entry || entry->translation != finding.text || !ShouldCheckSpelling(*entry))
            continue;
        // Words added or ignored since the run started are correct now.
        finding.words.removeIf([this](const QString &word) { return m_checker->isCorrect(word); });
        if (!finding.words.isEmpty()) {
            m_found[entry] = std::move(finding.words);
            changed = true;
        }
    }
    if (batch.last) {
        m_checking = false;
        if (batch.error.isEmpty())
            setStatus(tr("Spelling: %1").arg(dictionary()));
        else
            setStatus(tr("Spelling off: %1").arg(batch.error));
    }
    if (changed)
        emit misspellingsChanged();
    if (batch.last)
        emit checkFinished();
}

QStringList SpellingSession::misspelledWords(const StringEntry *entry) const
{
    const auto found = m_found.find(entry);
    return found == m_found.end() ? QStringList() : found->second;
}

void SpellingSession::entryChanged(const StringEntry &entry)
{
    if (!m_checker)
        return;
    const QStringList words =
        ShouldCheckSpelling(entry) ? DistinctWords(m_checker->misspelledWords(entry.translation)) : QStringList();
    const auto found = m_found.find(&entry);
    if (words.isEmpty()) {
        if (found == m_found.end())
            return;
        m_found.erase(found);
    } else if (found != m_found.end()) {
        if (found->second == words)
            return;
        found->second = words;
    } else {
        m_found.emplace(&entry, words);
    }
    emit misspellingsChanged();
}

std::vector<SpellWord> SpellingSession::misspellingsIn(QStringView text)
{
    return m_checker ? m_checker->misspelledWords(text) : std::vector<SpellWord>();
}

QStringList SpellingSession::suggestions(const QString &word)
{
    return m_checker ? m_checker->suggestions(word, 8) : QStringList();
}

bool SpellingSession::addToDictionary(const QString &word, QString *error)
{
    if (!m_checker)
        return false;
    if (!AddPersonalWord(m_checker->dictionaryName(), word, error))
        return false;
    acceptWord(word);
    return true;
}

void SpellingSession::ignore(const QString &word)
{
    if (!m_checker)
        return;
    QStringList &ignored = m_ignored[m_checker->dictionaryName()];
    if (!ignored.contains(word))
        ignored << word;
    acceptWord(word);
}

void SpellingSession::acceptWord(const QString &word)
{
    m_checker->accept(word);
    // Whatever hunspell now accepts (the word, its capitalised form) leaves
    // the findings; a run still going filters its batches the same way.
    bool changed = false;
    for (auto it = m_found.begin(); it != m_found.end();) {
        QStringList &words = it->second;
        changed = words.removeIf([this](const QString &w) { return m_checker->isCorrect(w); }) > 0 || changed;
        it = words.isEmpty() ? m_found.erase(it) : std::next(it);
    }
    if (changed)
        emit misspellingsChanged();
}

EntrySet SpellingSession::misspelledEntries() const
{
    EntrySet entries;
    entries.reserve(m_found.size());
    for (const auto &found : m_found)
        entries.insert(found.first);
    return entries;
}
