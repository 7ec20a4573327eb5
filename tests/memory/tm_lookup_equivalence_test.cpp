// Lookups through the fuzzy index against scoring every original: the same
// suggestions, scores and order (equal scores in the order the originals
// were met, an original's translations most files first) at every minimum
// and limit, on a generated memory full of near matches and equal scores.

#include "memory/lookup_many.h"
#include "memory/tm_score.h"
#include "memory/translation_memory.h"
#include "test_support.h"

#include <QHash>
#include <QRandomGenerator>
#include <algorithm>

namespace {

// UI-like texts from a small vocabulary, so that many originals are a word
// or a letter apart and many score alike; with accelerators, placeholders,
// line-break escapes, trailing punctuation, case differences and texts of
// more than 64 units.
class TextMaker {
public:
    explicit TextMaker(quint32 seed) : m_random(seed) {}

    QString text()
    {
        QString made;
        switch (m_random.bounded(7)) {
        case 0: made = pick(m_verbs) + ' ' + pick(m_nouns); break;
        case 1: made = "The " + pick(m_nouns) + " could not be " + pick(m_verbs) + "ed."; break;
        case 2: made = '&' + pick(m_verbs) + ' ' + pick(m_adjectives) + ' ' + pick(m_nouns) + "..."; break;
        case 3: made = "Unable to " + pick(m_verbs) + " %s in " + pick(m_nouns) + "\\n" + pick(m_endings); break;
        case 4: made = pick(m_adjectives) + ' ' + pick(m_nouns) + ": %d"; break;
        case 5: made = pick(m_nouns); break;
        default:
            made = "Do you want to " + pick(m_verbs) + " the " + pick(m_adjectives) + ' ' + pick(m_nouns) +
                   " before closing? " + pick(m_endings);
        }
        if (m_random.bounded(8) == 0)
            made = made.toUpper();
        return made;
    }

    // A small change of `text`: a letter replaced, dropped or added, case
    // or trailing punctuation.
    QString changed(QString text)
    {
        const int at = text.isEmpty() ? 0 : int(m_random.bounded(int(text.size())));
        switch (m_random.bounded(5)) {
        case 0: if (!text.isEmpty()) text[at] = QChar(u'a' + char16_t(m_random.bounded(26))); break;
        case 1: if (!text.isEmpty()) text.remove(at, 1); break;
        case 2: text.insert(at, QChar(u'e')); break;
        case 3: text = text.toLower(); break;
        default: text += '!';
        }
        return text;
    }

    int bounded(int n) { return int(m_random.bounded(n)); }

private:
    QString pick(const QStringList &list) { return list[m_random.bounded(qsizetype(list.size()))]; }

    QRandomGenerator m_random;
    const QStringList m_verbs = {"open", "save", "close", "delete", "copy", "move", "print", "load", "scan", "lock"};
    const QStringList m_nouns = {"file", "folder", "files", "device", "drive", "disk", "page", "log", "key", "tab"};
    const QStringList m_adjectives = {"new", "old", "local", "remote", "hidden", "shared", "empty"};
    const QStringList m_endings = {"Try again?", "Are you sure?", "See the log for details.",
                                   "Please check your settings and try again later."};
};

struct Expected {
    int score;
    QString original;
    QString translation;
};

// The memory's content as added, numbered as the memory numbers it: the
// originals in the order first met, each with its translations, the one
// most entries hold first (a file repeating an original counts each time;
// equal: the one met first).
struct Reference {
    QStringList originals;
    QHash<QString, QList<QPair<QString, QList<int>>>> translations;  // original -> (translation, its entries' files)

    void add(int file, const QString &original, const QString &translation)
    {
        if (!translations.contains(original))
            originals << original;
        auto &list = translations[original];
        for (auto &entry : list) {
            if (entry.first == translation) {
                entry.second << file;
                return;
            }
        }
        list.append({translation, {file}});
    }

    // Every original scored, the best `limit` suggestions scoring at least minScore.
    std::vector<Expected> lookup(const std::vector<int> &scores, int minScore, int limit) const
    {
        std::vector<int> order;
        for (int i = 0; i < int(originals.size()); ++i) {
            if (scores[std::size_t(i)] >= minScore)
                order.push_back(i);
        }
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return scores[std::size_t(a)] > scores[std::size_t(b)]; });
        std::vector<Expected> out;
        for (int i : order) {
            auto variants = translations.value(originals[i]);
            std::stable_sort(variants.begin(), variants.end(), [](const auto &a, const auto &b) {
                return a.second.size() != b.second.size() ? a.second.size() > b.second.size()
                                                          : a.second.first() < b.second.first();
            });
            for (const auto &variant : variants) {
                if (int(out.size()) < limit)
                    out.push_back({scores[std::size_t(i)], originals[i], variant.first});
            }
        }
        return out;
    }
};

std::vector<Expected> asExpected(const std::vector<TmSuggestion> &found)
{
    std::vector<Expected> out;
    for (const TmSuggestion &s : found)
        out.push_back({s.score, s.original, s.translation});
    return out;
}

QString describe(const std::vector<Expected> &list)
{
    QStringList lines;
    for (const Expected &e : list)
        lines << QString::number(e.score) + ' ' + e.original + " -> " + e.translation;
    return lines.join(" | ");
}

} // namespace

TEST(TmLookupEquivalence, IndexedLookupsEqualScoringEveryOriginal)
{
    TextMaker maker(11);
    Reference reference;
    TranslationMemoryBuilder builder;
    std::vector<std::uint32_t> files;
    for (int f = 0; f < 4; ++f)
        files.push_back(builder.addFile(QStringLiteral("file%1.xml").arg(f)));
    // File by file, as a memory is loaded; later files repeat earlier
    // originals, with the same translation or another one.
    QStringList made;
    for (int f = 0; f < 4; ++f) {
        for (int i = 0; i < 700; ++i) {
            QString original = made.isEmpty() || maker.bounded(4) != 0 ? maker.text()
                                                                         : made[maker.bounded(int(made.size()))];
            if (maker.bounded(10) == 0)
                original = maker.changed(original);
            const QString translation = "T" + QString::number(maker.bounded(f == 0 ? 1000 : 3)) + ' ' + original;
            made << original;
            builder.addSegment(files[std::size_t(f)], original, translation, {});
            reference.add(f, original, translation);
        }
    }
    const auto memory = builder.build();
    ASSERT_EQ(memory->originalCount(), std::size_t(reference.originals.size()));

    QStringList queries = {"", "...", "&", "x"};
    for (int i = 0; i < 150; ++i) {
        switch (i % 3) {
        case 0: queries << maker.text(); break;
        case 1: queries << made[maker.bounded(int(made.size()))]; break;
        default: queries << maker.changed(maker.changed(made[maker.bounded(int(made.size()))]));
        }
    }

    int compared = 0, nonEmpty = 0;
    for (const QString &query : queries) {
        const TmScorer scorer(query);
        std::vector<int> scores;
        for (const QString &original : reference.originals)
            scores.push_back(scorer.score(original));
        for (int minScore : {0, 35, 60, 75, 90, 94, 95, 99, 100}) {
            for (int limit : {1, 3, 8}) {
                const std::vector<Expected> expected = reference.lookup(scores, minScore, limit);
                const std::vector<Expected> found = asExpected(memory->lookup(query, minScore, limit));
                const bool same = std::equal(expected.begin(), expected.end(), found.begin(), found.end(),
                                             [](const Expected &a, const Expected &b) {
                                                 return a.score == b.score && a.original == b.original &&
                                                        a.translation == b.translation;
                                             });
                ASSERT_TRUE(same) << "query \"" << query.toStdString() << "\", minimum " << minScore << ", limit "
                                  << limit << "\nexpected: " << describe(expected).toStdString()
                                  << "\nfound:    " << describe(found).toStdString();
                ++compared;
                nonEmpty += expected.empty() ? 0 : 1;
            }
        }
    }
    // The generated memory gives suggestions to most lookups, not a run of
    // empty answers.
    EXPECT_GT(nonEmpty, compared / 2);

    // Spread over threads (enough lookups to use them), the same answers.
    queries += queries;
    const auto together = LookupMany(*memory, queries, 60, 3, 2);
    for (qsizetype i = 0; i < queries.size(); ++i) {
        const std::vector<Expected> alone = asExpected(memory->lookup(queries[i], 60, 3));
        EXPECT_EQ(describe(asExpected(together[std::size_t(i)])), describe(alone)) << queries[i].toStdString();
    }
}
