// Words: a word written twice, and the capital letter a sentence starts with.

#include "checks/builtin_checks.h"
#include "checks/check_text.h"

namespace {

// Letters and the combining marks on them (none below U+0300).
bool isWordCharacter(QChar c) { return c.isLetter() || (c.unicode() >= 0x300 && c.isMark()); }

struct WordPair {
    qsizetype first = -1, second = -1, length = 0;  // two equal words with only spaces between
};

// Legitimate repetitions: French reflexives ("vous vous connectez"), the
// German polite pronoun beside its object ("wenn Sie sie löschen") and a
// relative pronoun after its article (", die die Datei enthält"), Dutch
// "dat dat".
bool isAllowedRepetition(QStringView text, const WordPair &pair, const CheckLanguage &language)
{
    const QStringView a = text.mid(pair.first, pair.length);
    const QStringView b = text.mid(pair.second, pair.length);
    auto is = [&](QStringView word) { return a.compare(word, Qt::CaseInsensitive) == 0; };
    const QString &p = language.primary;
    if (p == u"fr")
        return is(u"vous") || is(u"nous");
    if (p == u"nl")
        return is(u"dat") || is(u"die");
    if (p == u"en")
        return is(u"that") || is(u"had");
    if (p == u"de") {
        if (a == u"Sie" && b == u"sie")
            return true;
        qsizetype before = pair.first;
        while (before > 0 && IsCheckSpace(text[before - 1]))
            --before;
        const bool afterComma = before > 0 && text[before - 1] == u',';
        return afterComma && (is(u"der") || is(u"die") || is(u"das") || is(u"den") || is(u"dem") || is(u"des"));
    }
    return false;
}

bool insideSpan(const TextSpans &spans, qsizetype at)
{
    for (const auto &[start, end] : spans) {
        if (at >= start && at < end)
            return true;
    }
    return false;
}

// Every pair of neighbouring words that are equal but for case, with only
// spaces between them, outside placeholders and URLs: calls found(pair)
// until it returns true; gives whether it did.
template <typename Found>
bool findRepeatedWords(QStringView text, const TextSpans &spans, Found found)
{
    qsizetype previous = -1, previousLength = 0;  // the word before, while only spaces followed it
    bool spaced = false;                          // a space came since
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (!isWordCharacter(c)) {
            const bool mark = c == u'&' && i + 1 < text.size() && isWordCharacter(text[i + 1]);
            if (!IsCheckSpace(c) && !mark)
                previous = -1;  // anything but spaces (or an accelerator mark) parts two words for good
            spaced = spaced || IsCheckSpace(c);
            ++i;
            continue;
        }
        const qsizetype start = i;
        while (i < text.size() && isWordCharacter(text[i]))
            ++i;
        // A word right after "%" or "\" is a conversion or an escape ("%s", "\n").
        const bool code = (start > 0 && (text[start - 1] == u'%' || text[start - 1] == u'\\')) || insideSpan(spans, start);
        if (code) {
            previous = -1;
            continue;
        }
        if (previous >= 0 && spaced && i - start == previousLength
            && text.mid(start, previousLength).compare(text.mid(previous, previousLength), Qt::CaseInsensitive) == 0
            && found(WordPair{previous, start, previousLength}))
            return true;
        previous = start;
        previousLength = i - start;
        spaced = false;
    }
    return false;
}

class DoubledWordCheck : public PerEntryCheck {
public:
    DoubledWordCheck()
        : PerEntryCheck({QStringLiteral("doubled-word"), QStringLiteral("Doubled word"), Severity::Warning,
                         QStringLiteral("The translation does not write a word twice in a row (\"die die\") unless "
                                        "the original does or the language does so (French \"vous vous\").")})
    {
    }

    void judge(const CheckedEntry &checked, const CheckContext &context, std::vector<Finding> &out) const override
    {
        if (!checked.translation.has(TextTraits::Space))
            return;
        const QString &translation = checked.entry.translation;
        const QString &original = checked.entry.original;
        const bool code = checked.translation.has(TextTraits::Percent) || checked.translation.has(TextTraits::Colon)
                          || checked.translation.has(TextTraits::Www) || checked.translation.has(TextTraits::At);
        const TextSpans spans = code ? CodeSpans(translation, context.codeType) : TextSpans();
        findRepeatedWords(translation, spans, [&](const WordPair &pair) {
            if (isAllowedRepetition(translation, pair, context.language))
                return false;
            const QStringView word = QStringView(translation).mid(pair.first, pair.length);
            // The original repeats it too ("Bora Bora", "bye bye").
            const TextSpans originalSpans = CodeSpans(original, context.codeType);
            const bool inOriginal = findRepeatedWords(original, originalSpans, [&](const WordPair &there) {
                return QStringView(original).mid(there.first, there.length).compare(word, Qt::CaseInsensitive) == 0;
            });
            if (inOriginal)
                return false;
            out.push_back(finding(checked.entry,
                                  QStringLiteral("The translation repeats %1 (%2), the original does not")
                                      .arg(QuoteForMessage(word),
                                           ExcerptForMessage(translation, pair.first,
                                                             pair.second + pair.length - pair.first))));
            return true;
        });
    }
};

// Where the first word starts, past spaces, punctuation, quotes, opening
// brackets, "¿" and accelerator marks; -1 when a digit, a placeholder or an
// escape comes first, or nothing does.
qsizetype firstLetter(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isLetter())
            return i;
        if (c.isDigit() || c == u'%' || c == u'\\')
            return -1;
    }
    return -1;
}

qsizetype wordEnd(QStringView text, qsizetype from)
{
    while (from < text.size() && (isWordCharacter(text[from]) || text[from].isDigit()))
        ++from;
    return from;
}

// "Open", "A file": a capital, then lower case (or a word of one letter
// before a space).
bool startsLikeSentence(QStringView text, qsizetype at)
{
    if (!text[at].isUpper())
        return false;
    if (at + 1 >= text.size())
        return true;
    const QChar next = text[at + 1];
    if (next.isLetter())
        return next.isLower();
    return IsCheckSpace(next);
}

bool standsIn(QStringView text, QStringView word)
{
    for (qsizetype at = text.indexOf(word); at >= 0; at = text.indexOf(word, at + 1)) {
        const bool startsWord = at == 0 || !isWordCharacter(text[at - 1]);
        const qsizetype end = at + word.size();
        if (startsWord && (end == text.size() || !isWordCharacter(text[end])))
            return true;
    }
    return false;
}

// "iTunes", "eBay": a name with a capital inside, written as its owner does.
bool isMixedCaseName(QStringView word)
{
    for (qsizetype i = 1; i < word.size(); ++i) {
        if (word[i].isUpper())
            return true;
    }
    return false;
}

class CaseCheck : public PerEntryCheck {
public:
    CaseCheck()
        : PerEntryCheck({QStringLiteral("case"), QStringLiteral("Capital letter"), Severity::Warning,
                         QStringLiteral("A translation of an original that starts like a sentence (a capital, then "
                                        "lower case) starts with a capital too, unless its first word is a name "
                                        "the original holds (\"iCal\"); only in languages with letter case.")})
    {
    }

    void judge(const CheckedEntry &checked, const CheckContext &context, std::vector<Finding> &out) const override
    {
        if (!context.language.hasCase)
            return;
        const QString &translation = checked.entry.translation;
        const qsizetype at = firstLetter(translation);
        if (at < 0 || !translation[at].isLower())
            return;
        const QString &original = checked.entry.original;
        const qsizetype from = firstLetter(original);
        if (from < 0 || !startsLikeSentence(original, from))
            return;
        const QStringView word = QStringView(translation).mid(at, wordEnd(translation, at) - at);
        // A name as its owner writes it ("iCal"), or one the original holds
        // the same way ("curl"; not a short word such as "in", which the
        // original may hold by chance).
        if (isMixedCaseName(word) || (word.size() >= 3 && standsIn(original, word)))
            return;
        const QStringView originalWord = QStringView(original).mid(from, wordEnd(original, from) - from);
        out.push_back(finding(checked.entry,
                              QStringLiteral("The original starts with a capital letter (%1), the translation in "
                                             "lower case (%2)")
                                  .arg(QuoteForMessage(originalWord), QuoteForMessage(word))));
    }
};

} // namespace

CheckList WordChecks() { return {std::make_shared<DoubledWordCheck>(), std::make_shared<CaseCheck>()}; }
