// Recall and false alarms of the warnings on a corpus of real user-interface
// strings in German, French, Spanish, Japanese and Russian (corpus/*.tsv):
// correct translations, traps (correct translations of the kinds checks
// take for faults: French spaces before "?", "…", "&&", "(&F)", "1.000"
// for "1,000", names in lower case) and faults. Besides the faults written
// by hand, each correct translation gets the typical faults of every check
// planted into it (a lost accelerator, a lost final mark, a lost space, a
// "7" made "70", a word typed twice...).
//
// Goals: each check finds at least 95 % of its faults; at most 1 % of the
// correct translations and 5 % of the traps raise any warning.

#include "check_fixture.h"
#include "checks/check_text.h"

#include <QFile>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <optional>

namespace {

struct CorpusLine {
    QString kind, check, original, translation;
};

QString decodeCorpusText(QString text)
{
    const std::pair<const char *, QChar> marks[] = {
        {"{SP}", u' '},          {"{TAB}", u'\t'},       {"{NBSP}", QChar(0xa0)}, {"{NNBSP}", QChar(0x202f)},
        {"{ZWSP}", QChar(0x200b)}, {"{ZWJ}", QChar(0x200d)}, {"{SHY}", QChar(0xad)},  {"{BOM}", QChar(0xfeff)},
    };
    for (const auto &[mark, c] : marks)
        text.replace(QString::fromLatin1(mark), QString(c));
    return text;
}

std::vector<CorpusLine> readCorpus(const QString &name)
{
    QFile file(QStringLiteral(RENDARO_TEST_DATA "/corpus/") + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    std::vector<CorpusLine> lines;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList fields = line.split(u'\t');
        EXPECT_EQ(fields.size(), 4) << line.toStdString();
        if (fields.size() == 4)
            lines.push_back({fields[0], fields[1], decodeCorpusText(fields[2]), decodeCorpusText(fields[3])});
    }
    return lines;
}

// --- Planting faults into a correct translation ---------------------------

using Planter = std::optional<QString> (*)(const QString &original, const QString &translation,
                                           const CheckLanguage &language, int variant);

qsizetype shortcutAt(const QString &text)
{
    const qsizetype tab = text.indexOf(u'\t');
    return tab < 0 ? text.size() : tab;
}

std::optional<QString> loseAccelerator(const QString &, const QString &t, const CheckLanguage &, int)
{
    for (qsizetype i = 0; i + 1 < t.size(); ++i) {
        if (t[i] == u'&' && t[i + 1] == u'&') {
            ++i;
        } else if (t[i] == u'&' && t[i + 1] != u' ') {
            QString out = t;
            return out.remove(i, 1);
        }
    }
    return std::nullopt;
}

bool isEndMark(QChar c) { return QStringView(u".?!:;…。？！：").contains(c); }

std::optional<QString> changeEndMark(const QString &, const QString &t, const CheckLanguage &language, int)
{
    qsizetype end = shortcutAt(t);
    while (end > 0 && t[end - 1] == u' ')
        --end;
    qsizetype start = end;
    while (start > 0 && isEndMark(t[start - 1]))
        --start;
    QString out = t;
    if (start < end) {
        // The mark goes, with a space that French puts before it.
        while (start > 0 && IsCheckSpace(t[start - 1]))
            --start;
        return out.remove(start, end - start);
    }
    return out.insert(end, language.primary == u"ja" ? QStringLiteral("。") : QStringLiteral("."));
}

std::optional<QString> changeEndSpace(const QString &, const QString &t, const CheckLanguage &, int)
{
    QString out = t;
    if (t.startsWith(u' '))
        return out.mid(1);
    if (t.endsWith(u' '))
        return out.left(out.size() - 1);
    return out + u' ';
}

std::optional<QString> doubleASpace(const QString &o, const QString &t, const CheckLanguage &, int)
{
    if (o.contains(QStringLiteral("  ")))
        return std::nullopt;
    const qsizetype at = t.indexOf(u' ', 1);
    if (at < 0 || at + 1 >= t.size() || t[at + 1] == u' ')
        return std::nullopt;
    QString out = t;
    return out.insert(at, u' ');
}

std::optional<QString> insertInvisible(const QString &, const QString &t, const CheckLanguage &, int variant)
{
    const QChar invisible[] = {QChar(0x200b), QChar(0xfeff), QChar(0x200d), QChar(0xad)};
    QString out = t;
    return out.insert(t.size() / 2, invisible[variant % 4]);
}

std::optional<QString> changeNumber(const QString &, const QString &t, const CheckLanguage &, int variant)
{
    const TextSpans spans = CodeSpans(t, CodeTypeCpp);
    for (qsizetype i = 0; i < t.size(); ++i) {
        const bool inCode = std::any_of(spans.begin(), spans.end(), [&](const auto &s) { return i >= s.first && i < s.second; });
        if (inCode || !t[i].isDigit())
            continue;
        QString out = t;
        if (variant % 2 == 0)
            return out.replace(i, 1, QChar(u'0' + (t[i].digitValue() + 1) % 10));
        qsizetype end = i;
        while (end < t.size() && t[end].isDigit())
            ++end;
        return out.insert(end, u'0');  // "7" made "70"
    }
    return std::nullopt;
}

std::optional<QString> doubleAWord(const QString &, const QString &t, const CheckLanguage &language, int)
{
    if (!t.contains(u' '))
        return std::nullopt;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (!t[i].isLetter() || (i > 0 && (t[i - 1].isLetter() || t[i - 1] == u'%' || t[i - 1] == u'\\')))
            continue;
        qsizetype end = i;
        while (end < t.size() && t[end].isLetter())
            ++end;
        const QString word = t.mid(i, end - i);
        const bool allowed = (language.primary == u"fr" && (word.toLower() == u"vous" || word.toLower() == u"nous"))
                             || (language.primary == u"de" && i > 1 && t[i - 2] == u',');
        if (word.size() >= 2 && end < t.size() && t[end] == u' ' && !allowed) {
            QString out = t;
            return out.insert(end, u' ' + word);
        }
        i = end;
    }
    return std::nullopt;
}

std::optional<QString> changeUrl(const QString &, const QString &t, const CheckLanguage &, int)
{
    if (!t.contains(QStringLiteral("example")))
        return std::nullopt;
    QString out = t;
    return out.replace(out.indexOf(QStringLiteral("example")), 7, QStringLiteral("exampel"));
}

std::optional<QString> loseClosingBracket(const QString &, const QString &t, const CheckLanguage &, int)
{
    for (qsizetype i = t.size() - 1; i >= 0; --i) {
        if (!QStringView(u")]}）").contains(t[i]))
            continue;
        const bool accelerator = i >= 3 && t[i - 2] == u'&';
        const bool plural = i >= 2 && t.lastIndexOf(u'(', i) > 0 && i - t.lastIndexOf(u'(', i) <= 4
                            && t[t.lastIndexOf(u'(', i) - 1].isLetter();
        if (accelerator || plural)
            continue;
        QString out = t;
        return out.remove(i, 1);
    }
    return std::nullopt;
}

std::optional<QString> lowerTheFirstLetter(const QString &o, const QString &t, const CheckLanguage &language, int)
{
    if (!language.hasCase)
        return std::nullopt;
    qsizetype a = 0;
    while (a < o.size() && !o[a].isLetterOrNumber() && o[a] != u'%')
        ++a;
    if (a + 1 >= o.size() || !o[a].isUpper() || !o[a + 1].isLower())
        return std::nullopt;
    qsizetype b = 0;
    while (b < t.size() && !t[b].isLetterOrNumber() && t[b] != u'%')
        ++b;
    if (b >= t.size() || !t[b].isUpper())
        return std::nullopt;
    qsizetype end = b;
    while (end < t.size() && t[end].isLetter())
        ++end;
    if (o.contains(t.mid(b, end - b)))
        return std::nullopt;  // a name the original holds
    QString out = t;
    out[b] = out[b].toLower();
    return out;
}

std::optional<QString> losePositional(const QString &, const QString &t, const CheckLanguage &, int)
{
    for (qsizetype i = 0; i < t.size(); ++i) {
        const qsizetype length = PositionalPlaceholderAt(t, i);
        if (t[i] == u'%' && length > 0) {
            QString out = t;
            return out.remove(i, length);
        }
    }
    return std::nullopt;
}

const std::pair<const char *, Planter> kPlanters[] = {
    {"accelerator", loseAccelerator}, {"end-punctuation", changeEndMark}, {"whitespace", changeEndSpace},
    {"double-space", doubleASpace},   {"invisible", insertInvisible},     {"numbers", changeNumber},
    {"doubled-word", doubleAWord},    {"urls", changeUrl},                {"brackets", loseClosingBracket},
    {"case", lowerTheFirstLetter},    {"placeholders", losePositional},
};

struct Tally {
    int cases = 0, hits = 0;
    QStringList misses;
};

TEST(CheckCorpus, FindsTheFaultsAndLeavesCorrectStringsAndTrapsAlone)
{
    const std::pair<const char *, const char *> languages[] = {
        {"de.tsv", "DEU"}, {"fr.tsv", "FRA"}, {"es.tsv", "ESP"}, {"ja.tsv", "JPN"}, {"ru.tsv", "RUS"}};
    std::map<std::string, Tally> recall;
    Tally correct, traps;
    for (const auto &[file, code] : languages) {
        const QString languageCode = QString::fromLatin1(code);
        const CheckLanguage language = CheckLanguageForCode(languageCode);
        const std::vector<CorpusLine> lines = readCorpus(QString::fromLatin1(file));
        int variant = 0;
        for (const CorpusLine &line : lines) {
            const QStringList found = warningIds(languageCode, line.original, line.translation);
            const QString shown = languageCode + QStringLiteral(": ") + line.original + QStringLiteral(" -> ")
                                  + line.translation + QStringLiteral(" [") + found.join(u',') + u']';
            if (line.kind == u"fault") {
                Tally &tally = recall[line.check.toStdString()];
                ++tally.cases;
                if (found.contains(line.check))
                    ++tally.hits;
                else
                    tally.misses.append(shown);
                continue;
            }
            Tally &kind = line.kind == u"ok" ? correct : traps;
            ++kind.cases;
            if (found.isEmpty())
                ++kind.hits;
            else
                kind.misses.append(shown);
            if (line.kind != u"ok")
                continue;
            for (const auto &[check, plant] : kPlanters) {
                const std::optional<QString> planted = plant(line.original, line.translation, language, variant++);
                if (!planted || planted->isEmpty() || *planted == line.original || *planted == line.translation)
                    continue;
                Tally &tally = recall[check];
                ++tally.cases;
                const QStringList raised = warningIds(languageCode, line.original, *planted);
                if (raised.contains(QString::fromLatin1(check)))
                    ++tally.hits;
                else
                    tally.misses.append(languageCode + QStringLiteral(": ") + line.original + QStringLiteral(" -> ")
                                        + *planted + QStringLiteral(" [") + raised.join(u',') + u']');
            }
        }
    }
    std::cout << "check            faults  found  recall\n";
    for (const auto &[check, tally] : recall) {
        std::printf("%-16s %6d %6d  %5.1f %%\n", check.c_str(), tally.cases, tally.hits,
                    100.0 * tally.hits / std::max(1, tally.cases));
        for (const QString &miss : tally.misses)
            std::cout << "  missed: " << miss.toStdString() << '\n';
        EXPECT_GE(tally.hits, 0.95 * tally.cases) << check;
        EXPECT_GE(tally.cases, 10) << check;  // the corpus holds enough of each
    }
    const int flaggedCorrect = correct.cases - correct.hits, flaggedTraps = traps.cases - traps.hits;
    std::printf("correct strings flagged: %d of %d (%.1f %%)\ntrap strings flagged: %d of %d (%.1f %%)\n",
                flaggedCorrect, correct.cases, 100.0 * flaggedCorrect / correct.cases, flaggedTraps, traps.cases,
                100.0 * flaggedTraps / traps.cases);
    for (const QString &flagged : correct.misses + traps.misses)
        std::cout << "  flagged: " << flagged.toStdString() << '\n';
    EXPECT_LE(flaggedCorrect, 0.01 * correct.cases);
    EXPECT_LE(flaggedTraps, 0.05 * traps.cases);
    EXPECT_GT(correct.cases, 300);
    EXPECT_GT(traps.cases, 100);
}

} // namespace
