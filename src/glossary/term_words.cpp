#include "glossary/term_words.h"

#include "spelling/hunspell_dictionary.h"

#include <mutex>

// hunspell is not safe to call from two threads through one handle.
struct WordStems::SharedDictionary {
    std::mutex lock;
    std::unique_ptr<HunspellDictionary> hunspell;
    bool english = false;

    QStringList stem(const QString &word)
    {
        std::lock_guard<std::mutex> guard(lock);
        return hunspell->stem(word);
    }
};

namespace {

bool isTermCharacter(QChar c) { return c.isLetterOrNumber() || (c.unicode() >= 0x300 && c.isMark()); }

bool allDigits(const QString &word)
{
    for (QChar c : word) {
        if (!c.isDigit())
            return false;
    }
    return true;
}

// The first letter without its accents, lowercased ("Ä": "a").
QChar baseLetter(const QString &word)
{
    if (word.isEmpty())
        return QChar();
    const QString decomposed = word.left(1).normalized(QString::NormalizationForm_D);
    return decomposed[0].toLower();
}

// The singulars an English plural may have ("settings": "setting", "boxes":
// "box", "cities": "city"), longest first. Short words are left alone
// ("news" is no plural of "new").
QStringList englishSingulars(const QString &word)
{
    QStringList singulars;
    const qsizetype n = word.size();
    if (n < 5 || (word[n - 1] != u's' && word[n - 1] != u'S'))
        return singulars;
    const QChar before = word[n - 2].toLower();
    if (before == u's' || before == u'u' || before == u'i' || before == u'\'')
        return singulars;  // "process", "status", "analysis"
    singulars.append(word.chopped(1));
    if (before == u'e' && n >= 6) {
        singulars.append(word.chopped(2));
        if (word[n - 3].toLower() == u'i')
            singulars.append(word.chopped(3) + (word[n - 1] == u'S' ? u'Y' : u'y'));
    }
    return singulars;
}

} // namespace

std::vector<TermWord> SplitTermWords(QStringView text)
{
    std::vector<TermWord> words;
    WordGap gap = WordGap::Other;
    bool gapSeen = false;  // anything stood between the last word and here
    auto widen = [&](WordGap kind) {
        if (!gapSeen)
            gap = kind;
        else if (gap != kind)
            gap = WordGap::Other;
        gapSeen = true;
    };
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const QChar c = text[i];
        if (c == u'&' && i + 1 < n && text[i + 1] == u'&') {
            widen(WordGap::Other);
            i += 2;
            continue;
        }
        if (c == u'\\' && i + 1 < n) {
            widen(WordGap::Other);
            i += 2;
            continue;
        }
        if (c == u'%' && i + 1 < n) {
            qsizetype j = i + 1;
            while (j < n && (text[j].isDigit() || text[j] == u'-' || text[j] == u'.' || text[j] == u'$'))
                ++j;
            if (j < n && text[j].isLetter() && text[j].unicode() < 128)
                ++j;
            widen(WordGap::Other);
            i = j > i + 1 ? j : i + 1;
            continue;
        }
        const bool markedStart = c == u'&' && i + 1 < n && isTermCharacter(text[i + 1]);
        if (!isTermCharacter(c) && !markedStart) {
            widen(c.isSpace() ? WordGap::Space : c == u'-' ? WordGap::Hyphen : WordGap::Other);
            ++i;
            continue;
        }
        TermWord word;
        word.start = i;
        word.gap = gapSeen ? gap : WordGap::Other;
        bool marked = false;
        while (i < n) {
            if (text[i] == u'&' && i + 1 < n && isTermCharacter(text[i + 1])) {
                marked = true;
                ++i;
                continue;
            }
            if (!isTermCharacter(text[i]))
                break;
            ++i;
        }
        word.end = i;
        if (!marked) {
            word.text = text.mid(word.start, i - word.start).toString();
        } else {
            word.text.reserve(i - word.start);
            for (qsizetype j = word.start; j < i; ++j) {
                if (text[j] != u'&')
                    word.text += text[j];
            }
        }
        words.push_back(std::move(word));
        gapSeen = false;
    }
    return words;
}

WordStems::WordStems(const QString &dictionaryName)
{
    const DictionaryFiles files = dictionaryName.isEmpty() ? DictionaryFiles() : FindDictionary(dictionaryName);
    QString error;
    if (!files.found())
        return;
    std::unique_ptr<HunspellDictionary> hunspell = HunspellDictionary::open(files, &error);
    if (!hunspell)
        return;
    m_dictionary = std::make_shared<SharedDictionary>();
    m_dictionary->hunspell = std::move(hunspell);
    m_dictionary->english = dictionaryName.startsWith(QLatin1String("en"), Qt::CaseInsensitive);
}
WordStems::~WordStems() = default;
WordStems::WordStems(WordStems &&other) noexcept = default;
WordStems &WordStems::operator=(WordStems &&other) noexcept = default;

WordStems WordStems::forAnotherThread() const
{
    WordStems copy;
    copy.m_dictionary = m_dictionary;
    copy.m_keys = m_keys;  // implicitly shared until either adds a word
    copy.m_known = m_known;
    return copy;
}

const QStringList &WordStems::keys(const QString &word)
{
    auto found = m_keys.constFind(word);
    if (found != m_keys.constEnd())
        return *found;
    if (allDigits(word)) {
        // Most originals hold a number of their own: keeping them all would
        // cost more than it saves.
        m_number = QStringList{word};
        return m_number;
    }
    QStringList keys{word.toLower()};
    if (m_dictionary) {
        auto addStems = [&](const QStringList &stems) {
            for (const QString &stem : stems) {
                // A stem that lost a prefix ("refile": "file", "unopened":
                // "open") names another word.
                if (baseLetter(stem) != baseLetter(word))
                    continue;
                const QString key = stem.toLower();
                if (!keys.contains(key))
                    keys.append(key);
            }
        };
        addStems(m_dictionary->stem(word));
        // en_US stems some plurals to another word ("recordings": "record",
        // "settings": "sett"), or knows no plural at all: a plural also
        // holds the keys of its singular, where that is a word.
        if (m_dictionary->english) {
            for (const QString &singular : englishSingulars(word)) {
                const QStringList stems = m_dictionary->stem(singular);
                if (stems.isEmpty())
                    continue;
                const QString key = singular.toLower();
                if (!keys.contains(key))
                    keys.append(key);
                addStems(stems);
                break;
            }
        }
    }
    return *m_keys.insert(word, keys);
}

bool WordStems::isWord(const QString &word)
{
    if (!m_dictionary)
        return false;
    auto found = m_known.constFind(word);
    if (found != m_known.constEnd())
        return *found;
    return *m_known.insert(word, !m_dictionary->stem(word).isEmpty());
}

bool KeysMeet(const QStringList &a, const QStringList &b)
{
    for (const QString &x : a) {
        for (const QString &y : b) {
            if (x == y)
                return true;
        }
    }
    return false;
}
