#include "memory/tm_text.h"

#include "catalogue/catalogue_types.h"
#include "checks/text_checks.h"

#include <QHash>
#include <algorithm>

namespace {

// Units of the line-break escapes; placeholders follow them.
constexpr TmUnit kEscapeCr = kTmTokenBase + 3;
constexpr TmUnit kEscapeLf = kTmTokenBase + 4;
constexpr TmUnit kEscapeCrLf = kTmTokenBase + 5;
constexpr TmUnit kPlaceholderBase = kTmTokenBase + 16;
constexpr TmUnit kPlaceholderSpan = kTmUnitLimit - kPlaceholderBase;

// The longest placeholder looked at ("%-10.3lf" and the like); a longer run
// of flags is read as plain text.
constexpr qsizetype kPlaceholderWindow = 24;

bool isTrailingPunctuation(QChar c)
{
    return QStringView(u".:!?;,\u2026\u3002\uFF01\uFF1F\uFF1A\uFF1B\uFF0C").contains(c);
}

// The placeholder starting at `at`, in either style, or an empty view.
QStringView placeholderAt(QStringView text, qsizetype at)
{
    const QStringView window = text.sliced(at, std::min(kPlaceholderWindow, text.size() - at));
    for (int codeType : {CodeTypeCpp, CodeTypeQt}) {
        const QStringView found = FindPlaceholder(codeType, window, 0);
        if (!found.isEmpty() && found.data() == window.data())
            return found;
    }
    return {};
}

// The text without what the comparison form leaves off at its ends.
QStringView trimForComparison(QStringView text)
{
    for (;;) {
        const qsizetype before = text.size();
        text = text.trimmed();
        while (!text.isEmpty() && isTrailingPunctuation(text.back()))
            text.chop(1);
        // A trailing accelerator hint, as in "Save(&S)".
        if (text.size() >= 4 && text.back() == u')' && text[text.size() - 3] == u'&' &&
            text[text.size() - 4] == u'(')
            text.chop(4);
        if (text.size() == before)
            return text;
    }
}

std::vector<TmUnit> toUnits(QStringView text, bool comparison)
{
    if (comparison)
        text = trimForComparison(text);
    std::vector<TmUnit> units;
    units.reserve(size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' && i + 1 < text.size() && (text[i + 1] == u'n' || text[i + 1] == u'r')) {
            if (text[i + 1] == u'r' && text.sliced(i).startsWith(u"\\r\\n")) {
                units.push_back(kEscapeCrLf);
                i += 3;
            } else {
                units.push_back(text[i + 1] == u'n' ? kEscapeLf : kEscapeCr);
                ++i;
            }
            continue;
        }
        if (c == u'%') {
            const QStringView placeholder = placeholderAt(text, i);
            if (!placeholder.isEmpty()) {
                units.push_back(kPlaceholderBase + TmUnit(qHash(placeholder) % kPlaceholderSpan));
                i += placeholder.size() - 1;
                continue;
            }
        }
        if (!comparison) {
            units.push_back(c.unicode());
            continue;
        }
        if (c == u'&' && i + 1 < text.size()) {
            // "&&" is a literal "&"; "&X" marks X as the accelerator.
            if (text[i + 1] == u'&') {
                units.push_back(u'&');
                ++i;
                continue;
            }
            if (!text[i + 1].isSpace())
                continue;
        }
        if (c.isSpace()) {
            if (units.empty() || units.back() != u' ')
                units.push_back(u' ');
            continue;
        }
        units.push_back(c.toCaseFolded().unicode());
    }
    return units;
}

bool isWordUnit(TmUnit unit)
{
    return unit < 0x10000 && QChar(char16_t(unit)).isLetterOrNumber();
}

std::size_t commonPrefix(const TmUnit *a, std::size_t aLength, const TmUnit *b, std::size_t bLength)
{
    std::size_t n = 0;
    while (n < aLength && n < bLength && a[n] == b[n])
        ++n;
    return n;
}

} // namespace

std::vector<TmUnit> TmRawUnits(QStringView text) { return toUnits(text, false); }

std::vector<TmUnit> TmComparisonUnits(QStringView text) { return toUnits(text, true); }

std::vector<TmWord> TmWords(const std::vector<TmUnit> &units)
{
    std::vector<TmWord> words;
    for (std::size_t i = 0; i < units.size();) {
        if (!isWordUnit(units[i])) {
            ++i;
            continue;
        }
        const std::size_t begin = i;
        while (i < units.size() && isWordUnit(units[i]))
            ++i;
        words.push_back({begin, i});
    }
    return words;
}

bool TmShareWord(const std::vector<TmUnit> &a, const std::vector<TmWord> &aWords, const std::vector<TmUnit> &b,
                 const std::vector<TmWord> &bWords)
{
    for (const TmWord &x : aWords) {
        const std::size_t xLength = x.end - x.begin;
        for (const TmWord &y : bWords) {
            const std::size_t yLength = y.end - y.begin;
            const std::size_t shorter = std::min(xLength, yLength);
            const std::size_t common = commonPrefix(a.data() + x.begin, xLength, b.data() + y.begin, yLength);
            if ((common == xLength && common == yLength) || (shorter >= 3 && common >= std::min<std::size_t>(4, shorter)))
                return true;
        }
    }
    return false;
}
