#include "glossary/term_matcher.h"

#include <algorithm>

namespace {

enum class CaseShape { Lower, Capital, Upper };

CaseShape caseShape(const QString &word)
{
    if (word.isEmpty() || !word[0].isUpper())
        return CaseShape::Lower;
    for (QChar c : word) {
        if (c.isLower())
            return CaseShape::Capital;
    }
    return word.size() > 1 ? CaseShape::Upper : CaseShape::Capital;
}

// A word of the text against a word of a term by their keys; a
// case-sensitive term asks for its very form or another of the same case
// shape ("Windows", not "windows").
bool wordMatches(const QString &word, const QStringList &wordKeys, const QString &termWord,
                 const QStringList &termKeys, bool caseSensitive)
{
    if (caseSensitive && word != termWord && caseShape(word) != caseShape(termWord))
        return false;
    if (caseSensitive && word == termWord)
        return true;
    return KeysMeet(wordKeys, termKeys);
}

// The end of a compound as a word of its own, capitalised (a German noun)
// or not, against a term's keys.
bool tailMeets(QString tail, const QStringList &termKeys, WordStems &stems)
{
    tail[0] = tail[0].toUpper();
    if (KeysMeet(stems.keys(tail), termKeys))
        return true;
    tail[0] = tail[0].toLower();
    return KeysMeet(stems.keys(tail), termKeys);
}

// "Konfigurationsdatei" and "Konfigurationsdateien" end with "Datei": the
// word ends with the term word, or with a form of it that the dictionary
// stems to it (a short ending after the term word's letters).
bool compoundEndsWith(const QString &word, const QString &lower, const QString &term, const QStringList &termKeys,
                      WordStems &stems)
{
    if (term.size() < 3 || lower.size() <= term.size() + 1)
        return false;
    if (lower.endsWith(term))
        return true;
    for (const QString &key : termKeys) {
        if (key.size() < 3)
            continue;
        const qsizetype at = lower.lastIndexOf(key);
        if (at < 2 || lower.size() - (at + key.size()) > 3)
            continue;
        if (tailMeets(word.mid(at), termKeys, stems))
            return true;
    }
    return false;
}

// German plurals that change a vowel ("Plan": "Pläne", "Haus": "Häuser",
// "Vater": "Väter"), which the dictionary lists as words of their own: the
// word with its umlauts undone is a key of the term with a plural ending.
bool umlautPlural(const QString &lower, const QStringList &termKeys)
{
    QString folded = lower;
    bool changed = false;
    for (QChar &c : folded) {
        const char16_t u = c.unicode();
        if (u == u'ä' || u == u'ö' || u == u'ü') {
            c = QChar(u == u'ä' ? u'a' : u == u'ö' ? u'o' : u'u');
            changed = true;
        }
    }
    if (!changed)
        return false;
    static const QStringView endings[] = {u"", u"e", u"en", u"er", u"ern", u"n"};
    for (const QString &key : termKeys) {
        if (key.size() < 3 || !folded.startsWith(key))
            continue;
        const QStringView rest = QStringView(folded).mid(key.size());
        if (std::find(std::begin(endings), std::end(endings), rest) != std::end(endings))
            return true;
    }
    return false;
}

// "Kameralisten" for "Kameraliste": the word holds the term's first part
// followed by a form of its last part ("Listen").
bool compoundHeadInflected(const QString &word, const QString &lower, const TargetTerm &term, WordStems &stems,
                           const TargetWriting &writing)
{
    if (term.compoundModifier.isEmpty())
        return false;
    const qsizetype at = lower.lastIndexOf(term.compoundModifier);
    if (at < 0)
        return false;
    const qsizetype from = at + term.compoundModifier.size();
    if (word.size() - from < 3)
        return false;
    if (tailMeets(word.mid(from), term.compoundHeadKeys, stems))
        return true;
    return writing.umlautPlurals && umlautPlural(lower.mid(from), term.compoundHeadKeys);
}

} // namespace

TermIndex::TermIndex(const Glossary &glossary, WordStems &english) : m_glossary(glossary)
{
    QHash<QString, int> groupOf;  // the source, lowercased unless case-sensitive
    for (size_t i = 0; i < m_glossary.entries.size(); ++i) {
        const GlossaryEntry &entry = m_glossary.entries[i];
        const std::vector<TermWord> words = SplitTermWords(entry.source);
        if (words.empty()) {
            if (entry.status == TermStatus::Forbidden)
                m_anywhere.push_back(int(i));
            continue;
        }
        QString groupKey = entry.caseSensitive ? QStringLiteral("=") + entry.source : entry.source.toLower();
        auto found = groupOf.constFind(groupKey);
        if (found != groupOf.constEnd()) {
            m_groups[*found].entries.push_back(int(i));
            continue;
        }
        TermGroup group;
        group.source = entry.source;
        group.caseSensitive = entry.caseSensitive;
        for (const TermWord &word : words) {
            group.words.append(word.text);
            group.keys.push_back(english.keys(word.text));
            group.gaps.push_back(word.gap);
        }
        group.entries.push_back(int(i));
        groupOf.insert(groupKey, int(m_groups.size()));
        m_groups.push_back(std::move(group));
    }
    for (size_t g = 0; g < m_groups.size(); ++g) {
        for (const QString &key : m_groups[g].keys.front())
            m_byFirstKey[key].push_back(int(g));
    }
    for (std::vector<int> &list : m_byFirstKey) {
        std::stable_sort(list.begin(), list.end(), [&](int a, int b) {
            const TermGroup &x = m_groups[a], &y = m_groups[b];
            if (x.words.size() != y.words.size())
                return x.words.size() > y.words.size();
            return x.source.size() > y.source.size();
        });
    }
}

bool TermIndex::matchesAt(const TermGroup &group, const std::vector<TermWord> &words,
                          const std::vector<QStringList> &wordKeys, size_t at) const
{
    if (at + size_t(group.words.size()) > words.size())
        return false;
    for (qsizetype k = 0; k < group.words.size(); ++k) {
        const size_t w = at + size_t(k);
        if (k > 0 && words[w].gap != group.gaps[size_t(k)])
            return false;
        if (!wordMatches(words[w].text, wordKeys[w], group.words[k], group.keys[size_t(k)], group.caseSensitive))
            return false;
    }
    return true;
}

std::vector<TermMatch> TermIndex::find(QStringView original, WordStems &english) const
{
    std::vector<TermMatch> matches;
    if (m_groups.empty())
        return matches;
    const std::vector<TermWord> words = SplitTermWords(original);
    // Each word's keys, looked up once: a word is compared with every
    // term that starts at the word before it.
    std::vector<QStringList> wordKeys;
    wordKeys.reserve(words.size());
    for (const TermWord &word : words)
        wordKeys.push_back(english.keys(word.text));
    std::vector<int> candidates;
    for (size_t i = 0; i < words.size();) {
        candidates.clear();
        int lists = 0;
        for (const QString &key : wordKeys[i]) {
            auto found = m_byFirstKey.constFind(key);
            if (found != m_byFirstKey.constEnd()) {
                candidates.insert(candidates.end(), found->begin(), found->end());
                ++lists;
            }
        }
        if (lists > 1) {
            // Several keys: merge their lists, longest first again.
            std::sort(candidates.begin(), candidates.end());
            candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
            std::stable_sort(candidates.begin(), candidates.end(), [&](int a, int b) {
                const TermGroup &x = m_groups[a], &y = m_groups[b];
                if (x.words.size() != y.words.size())
                    return x.words.size() > y.words.size();
                return x.source.size() > y.source.size();
            });
        }
        bool matched = false;
        for (int g : candidates) {
            if (matchesAt(m_groups[g], words, wordKeys, i)) {
                const size_t last = i + size_t(m_groups[g].words.size()) - 1;
                matches.push_back({words[i].start, words[last].end, g});
                i = last + 1;
                matched = true;
                break;
            }
        }
        if (!matched)
            ++i;
    }
    return matches;
}

TargetWriting TargetWritingFor(const QString &primary)
{
    TargetWriting writing;
    static const QStringView compounding[] = {u"de", u"nl", u"da", u"sv", u"nb", u"nn", u"no", u"is", u"fy", u"lb"};
    static const QStringView unspaced[] = {u"zh", u"ja", u"th", u"lo", u"km", u"my"};
    writing.compounds = std::find(std::begin(compounding), std::end(compounding), QStringView(primary))
                        != std::end(compounding);
    writing.umlautPlurals = primary == u"de";
    writing.noSpaces = std::find(std::begin(unspaced), std::end(unspaced), QStringView(primary)) != std::end(unspaced);
    return writing;
}

TargetTerm PrepareTargetTerm(const QString &term, WordStems &stems, bool compounds)
{
    TargetTerm prepared;
    prepared.term = term;
    prepared.words = SplitTermWords(term);
    for (const TermWord &word : prepared.words) {
        prepared.keys.push_back(stems.keys(word.text));
        prepared.lower.append(word.text.toLower());
        prepared.joined += word.text;
    }
    // The longest last part of at least four letters after a first part
    // of at least three.
    constexpr qsizetype kShortestPart = 3, kShortestHead = 4;
    if (compounds && prepared.words.size() == 1 && term.size() >= kShortestPart + kShortestHead
        && !stems.isWord(prepared.words[0].text)) {
        const QString &whole = prepared.words[0].text;
        for (qsizetype at = kShortestPart; at + kShortestHead <= whole.size(); ++at) {
            QString head = whole.mid(at);
            head[0] = head[0].toUpper();
            if (!stems.isWord(head))
                continue;
            prepared.compoundModifier = whole.left(at).toLower();
            prepared.compoundHeadKeys = stems.keys(head);
            break;
        }
    }
    return prepared;
}

void TranslationWords::read(QStringView translation, WordStems &stems)
{
    words = SplitTermWords(translation);
    keys.clear();
    lower.clear();
    for (const TermWord &word : words) {
        keys.push_back(stems.keys(word.text));
        lower.append(keys.back().front());  // a word's first key is its lower case
    }
}

bool TranslationHoldsTerm(const TranslationWords &translation, const TargetTerm &term, WordStems &stems,
                          const TargetWriting &writing, bool caseSensitive, bool exact)
{
    const std::vector<TermWord> &words = translation.words;
    if (writing.noSpaces) {
        QString text;
        for (const TermWord &word : words)
            text += word.text;
        return !term.joined.isEmpty()
               && text.contains(term.joined, exact || caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive);
    }
    const std::vector<TermWord> &termWords = term.words;
    if (termWords.empty() || termWords.size() > words.size())
        return false;
    for (size_t i = 0; i + termWords.size() <= words.size(); ++i) {
        bool all = true;
        for (size_t k = 0; k < termWords.size() && all; ++k) {
            const QString &word = words[i + k].text;
            const QString &termWord = termWords[k].text;
            if (exact) {
                all = word == termWord;
            } else if (!wordMatches(word, translation.keys[i + k], termWord, term.keys[k], caseSensitive)) {
                all = k == 0 && writing.compounds
                      && (compoundEndsWith(word, translation.lower[qsizetype(i)], term.lower[0], term.keys[k], stems)
                          || compoundHeadInflected(word, translation.lower[qsizetype(i)], term, stems, writing));
                all = all || (writing.umlautPlurals && !caseSensitive && umlautPlural(translation.lower[qsizetype(i + k)], term.keys[k]));
            }
        }
        if (all)
            return true;
    }
    return false;
}
