#include "spelling/edit_suggestions.h"

#include "spelling/word_forms.h"

#include <cstdint>
#include <vector>

namespace {

// How far a letter moves or two letters swap at most.
constexpr qsizetype kFarthestMove = 4;

QString capitalised(const QString &word)
{
    return word.isEmpty() ? word : word.first(1).toUpper() + word.sliced(1);
}

class EditSearch {
public:
    EditSearch(const WordForms &forms, const QString &word, const std::function<bool(const QString &)> &isWord,
               int limit)
        : m_forms(forms), m_word(word), m_isWord(isWord), m_limit(limit), m_lower(word.toLower())
    {
        if (m_lower.size() != m_word.size())  // a letter whose lower case is longer: compare as typed
            m_lower = m_word;
        m_prefixHash.reserve(size_t(m_word.size()) + 1);
        std::uint64_t hash = WordForms::kHashStart;
        m_prefixHash.push_back(hash);
        for (QChar c : m_lower) {
            hash = WordForms::hashAddLower(hash, c.unicode());
            m_prefixHash.push_back(hash);
        }
    }

    QStringList run()
    {
        const qsizetype n = m_word.size();
        // The word in other case: all small, capitalised, all capitals
        // (asked directly: "PostfachFeld" is the compound "Postfachfeld").
        for (const QString &variant : {m_lower, capitalised(m_lower), m_word.toUpper()}) {
            if (!full() && variant != m_word && !m_found.contains(variant) && m_isWord(variant))
                m_found << variant;
        }
        replacements();
        for (qsizetype i = 0; i + 1 < n && !full(); ++i) {
            if (m_word[i] != m_word[i + 1])
                offer(i, QString(m_word[i + 1]) + m_word[i], i + 2);
        }
        for (qsizetype i = 0; i < n && !full(); ++i) {
            for (qsizetype j = i + 2; j <= std::min(n - 1, i + kFarthestMove); ++j) {
                if (m_word[i] != m_word[j])
                    offer(i, QString(m_word[j]) + m_word.sliced(i + 1, j - i - 1) + m_word[i], j + 1);
            }
        }
        for (qsizetype i = 0; i < n && !full(); ++i) {
            if (i > 0 && m_word[i] == m_word[i - 1])
                continue;  // the same word as dropping the letter before
            if (i == 0 || i == n - 1)
                take(m_word.first(i) + m_word.sliced(i + 1));  // may be a compound: asked directly
            else
                offer(i, QString(), i + 1);
        }
        const QString &letters = m_forms.tryLetters();
        for (qsizetype i = 0; i <= n && !full(); ++i) {
            for (QChar c : letters)
                offer(i, casedLike(c, i), i);
        }
        for (qsizetype i = 0; i < n && !full(); ++i) {
            for (qsizetype d = 2; d <= kFarthestMove && !full(); ++d) {
                if (i + d < n)  // forward
                    offer(i, m_word.sliced(i + 1, d) + m_word[i], i + d + 1);
                if (i - d >= 0)  // backward
                    offer(i - d, QString(m_word[i]) + m_word.sliced(i - d, d), i + 1);
            }
        }
        for (qsizetype i = 0; i < n && !full(); ++i) {
            for (QChar c : letters) {
                if (c != m_lower[i])
                    offer(i, casedLike(c, i), i + 1);
            }
        }
        for (qsizetype i = 0; i + 4 <= n && !full(); ++i) {
            if (m_lower.sliced(i, 2) == m_lower.sliced(i + 2, 2))
                offer(i, QString(), i + 2);
        }
        for (qsizetype i = 1; i < n && !full(); ++i)
            takeTwoWords(m_word.first(i), m_word.sliced(i));
        return m_found;
    }

private:
    bool full() const { return m_found.size() >= m_limit; }

    // A letter put at position i in the case of the letter it replaces.
    QString casedLike(QChar c, qsizetype i) const
    {
        const bool upper = i < m_word.size() ? m_word[i].isUpper() : false;
        return QString(upper && i == 0 ? c.toUpper() : c);
    }

    // The word made of m_word[0, i), middle and m_word[j, n), when its
    // folded form is one of the dictionary's.
    void offer(qsizetype i, const QString &middle, qsizetype j)
    {
        std::uint64_t hash = m_prefixHash[size_t(i)];
        for (QChar c : middle)
            hash = WordForms::hashAddLower(hash, c.toLower().unicode());
        for (qsizetype k = j; k < m_lower.size(); ++k)
            hash = WordForms::hashAddLower(hash, m_lower[k].unicode());
        if (m_forms.containsHash(hash))
            take(m_word.first(i) + middle + m_word.sliced(j));
    }

    // The candidate as it is, or capitalised, or with a small first
    // letter, or capitalised with the rest small ("KLein" made by adding a
    // letter in front), whichever hunspell accepts first; capitalised first
    // when the word is ("Esind": "Sind").
    void take(const QString &candidate)
    {
        if (candidate.isEmpty() || full() || candidate == m_word)
            return;
        const QString first = candidate.first(1);
        const QString upper = first.toUpper() + candidate.sliced(1);
        const bool capital = m_word[0].isUpper();
        const QString variants[] = {capital ? upper : candidate, capital ? candidate : upper,
                                    first.toLower() + candidate.sliced(1), capitalised(candidate.toLower())};
        for (const QString &variant : variants) {
            if (m_found.contains(variant))
                return;
            if (m_isWord(variant)) {
                m_found << variant;
                return;
            }
        }
    }

    // Two words, neither a lone letter ("keineT" is not "keine T").
    void takeTwoWords(const QString &left, const QString &right)
    {
        if (left.size() < 2 || right.size() < 2)
            return;
        const QString both = left + u' ' + right;
        if (!m_found.contains(both) && m_isWord(left) && m_isWord(right))
            m_found << both;
    }

    void replacements()
    {
        for (const auto &[from, to] : m_forms.replacements()) {
            QString pattern = from;
            const bool atStart = pattern.startsWith(u'^'), atEnd = pattern.endsWith(u'$');
            if (atStart)
                pattern.remove(0, 1);
            if (atEnd)
                pattern.chop(1);
            if (pattern.isEmpty())
                continue;
            for (qsizetype at = m_lower.indexOf(pattern); at >= 0 && !full(); at = m_lower.indexOf(pattern, at + 1)) {
                if ((atStart && at != 0) || (atEnd && at + pattern.size() != m_lower.size()))
                    continue;
                QString replaced = to;
                if (at == 0 && m_word[0].isUpper())
                    replaced = capitalised(replaced);
                const QString made = m_word.first(at) + replaced + m_word.sliced(at + pattern.size());
                const qsizetype space = made.indexOf(u' ');
                if (space > 0)
                    takeTwoWords(made.first(space), made.sliced(space + 1));
                else if (m_forms.mayBeWord(made))
                    take(made);
            }
        }
    }

    const WordForms &m_forms;
    const QString &m_word;
    const std::function<bool(const QString &)> &m_isWord;
    const int m_limit;
    QString m_lower;
    std::vector<std::uint64_t> m_prefixHash;  // [i]: the hash of the folded m_word[0, i)
    QStringList m_found;
};

} // namespace

QStringList EditSuggestions(const WordForms &forms, const QString &word,
                            const std::function<bool(const QString &)> &isWord, int limit)
{
    if (word.isEmpty() || limit <= 0)
        return {};
    const QString converted = forms.converted(word);
    if (converted.isEmpty())
        return {};
    QStringList found = EditSearch(forms, converted, isWord, limit).run();
    for (QString &suggestion : found)
        suggestion = forms.shown(suggestion);
    return found;
}
