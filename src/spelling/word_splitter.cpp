#include "spelling/word_splitter.h"

namespace {

// One code point of the text (a surrogate pair counts as one).
struct CodePoint {
    char32_t value;
    qsizetype width;  // 1 or 2 code units
};

CodePoint codePointAt(QStringView text, qsizetype at)
{
    const QChar c = text[at];
    if (c.isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate())
        return {QChar::surrogateToUcs4(c, text[at + 1]), 2};
    return {c.unicode(), 1};
}

bool isLetterAt(QStringView text, qsizetype at)
{
    if (at < 0 || at >= text.size())
        return false;
    const char32_t c = codePointAt(text, at).value;
    return QChar::isLetter(c) || QChar::isMark(c);
}

bool isWordCharAt(QStringView text, qsizetype at)
{
    return isLetterAt(text, at) || (at < text.size() && QChar::isDigit(codePointAt(text, at).value));
}

bool isJoiner(QChar c) { return c == u'\'' || c == u'\u2019' || c == u'-'; }

bool isConversionLetter(QChar c) { return QStringView(u"cdieEfgGosuxXpn").contains(c); }
bool isFormatFlag(QChar c) { return QStringView(u"-+#0123456789*.hlL").contains(c); }

// How long the placeholder starting at the "%" at `at` is; 0 when that "%"
// starts none. Both styles are recognised, whatever the file's: a printf
// placeholder is no word in a Qt file either.
qsizetype placeholderLength(QStringView text, qsizetype at)
{
    const qsizetype n = text.size();
    if (at + 1 >= n)
        return 0;
    if (text[at + 1] == u'%')
        return 2;
    qsizetype end = at + 1;
    while (end < n && isFormatFlag(text[end]))
        ++end;
    if (end < n && isConversionLetter(text[end]))
        return end - at + 1;  // "%s", "%-10.2f", "%ld"
    end = at + 1;
    if (end < n && text[end] == u'L')
        ++end;  // "%L1": a number in the user's notation
    const qsizetype digits = end;
    while (end < n && text[end].isDigit())
        ++end;
    return end > digits ? end - at : 0;  // "%1", "%12"
}

bool startsWithNoCase(QStringView text, qsizetype at, QStringView prefix)
{
    return text.mid(at).startsWith(prefix, Qt::CaseInsensitive);
}

// Whether a stretch without spaces is a URL or a mail address.
bool isAddress(QStringView stretch)
{
    if (stretch.contains(u"://"))
        return true;
    qsizetype start = 0;
    while (start < stretch.size() && !isWordCharAt(stretch, start))
        ++start;  // "(www.example.com)"
    if (startsWithNoCase(stretch, start, u"www."))
        return true;
    const qsizetype at = stretch.indexOf(u'@');
    return at > 0 && isWordCharAt(stretch, at - 1) && stretch.indexOf(u'.', at + 1) > at + 1;
}

// Capitals only ("OK", "USB"): at least one uppercase letter and no
// lowercase one. Letters of scripts without case count as neither.
bool isAllCapitals(QStringView word)
{
    bool upper = false;
    for (qsizetype i = 0; i < word.size();) {
        const CodePoint c = codePointAt(word, i);
        if (QChar::isLower(c.value))
            return false;
        upper = upper || QChar::isUpper(c.value);
        i += c.width;
    }
    return upper;
}

// The words of one stretch between spaces and escapes.
void splitStretch(QStringView text, qsizetype from, qsizetype to, std::vector<SpellWord> &words)
{
    if (isAddress(text.mid(from, to - from)))
        return;
    const QStringView stretch = text.first(to);  // nothing past the stretch is read
    qsizetype p = from;
    while (p < to) {
        const QChar c = stretch[p];
        if (c == u'%') {
            const qsizetype length = placeholderLength(stretch, p);
            p += length > 0 ? length : 1;
            continue;
        }
        if (c == u'&' && p + 1 < to && stretch[p + 1] == u'&') {
            p += 2;  // a plain ampersand
            continue;
        }
        const bool markedStart = c == u'&' && isLetterAt(stretch, p + 1);
        if (!markedStart && !isWordCharAt(stretch, p)) {
            p += codePointAt(stretch, p).width;
            continue;
        }
        // One word: letters, digits, marks, joiners between two of them,
        // and accelerator marks before a letter.
        const qsizetype start = p;
        QString word;
        bool hasDigit = false;
        while (p < to) {
            const QChar d = stretch[p];
            if (isWordCharAt(stretch, p)) {
                const CodePoint cp = codePointAt(stretch, p);
                hasDigit = hasDigit || QChar::isDigit(cp.value);
                word += stretch.mid(p, cp.width);
                p += cp.width;
            } else if (d == u'&' && isLetterAt(stretch, p + 1)) {
                ++p;  // the accelerator mark
            } else if (isJoiner(d) && p > start && isWordCharAt(stretch, p - 1) && isWordCharAt(stretch, p + 1)) {
                word += d;
                ++p;
            } else {
                break;
            }
        }
        if (!hasDigit && !isAllCapitals(word))
            words.push_back({start, p - start, word});
    }
}

} // namespace

std::vector<SpellWord> SplitWords(QStringView text)
{
    std::vector<SpellWord> words;
    const qsizetype n = text.size();
    qsizetype start = 0;
    qsizetype p = 0;
    while (p < n) {
        const QChar c = text[p];
        if (c.isSpace() || c == u'\\') {
            splitStretch(text, start, p, words);
            p += c == u'\\' ? 2 : 1;  // an escape is the backslash and its character
            start = std::min(p, n);
        } else {
            ++p;
        }
    }
    splitStretch(text, start, n, words);
    return words;
}

QString ReplaceWordKeepingMark(QStringView stretch, const QString &suggestion)
{
    qsizetype letters = 0;
    for (qsizetype i = 0; i < stretch.size(); ++i) {
        if (stretch[i] == u'&' && i + 1 < stretch.size() && stretch[i + 1] != u'&') {
            QString replaced = suggestion;
            replaced.insert(std::min(letters, std::max<qsizetype>(0, suggestion.size() - 1)), u'&');
            return replaced;
        }
        ++letters;
    }
    return suggestion;
}
