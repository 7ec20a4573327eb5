#include "catalogue/file_text.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <string>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// Both conversions are single left-to-right passes. They give the same result
// as applying each replacement rule to the whole text in turn (longer
// patterns first), because no rule's output can form another rule's input.

namespace {
bool at(QStringView text, qsizetype i, char16_t c) { return i < text.size() && text[i].unicode() == c; }

// The index of the first unit of text that is a or b, or text.size(). Every
// text of a file passes through here on loading, and most hold neither, so
// eight units are compared at a time where the processor allows.
qsizetype indexOfEither(QStringView text, char16_t a, char16_t b)
{
    const char16_t *data = reinterpret_cast<const char16_t *>(text.data());
    const qsizetype n = text.size();
    qsizetype i = 0;
#ifdef __SSE2__
    const __m128i first = _mm_set1_epi16(short(a)), second = _mm_set1_epi16(short(b));
    for (; i + 8 <= n; i += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + i));
        const int found = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(units, first), _mm_cmpeq_epi16(units, second)));
        if (found)
            return i + __builtin_ctz(unsigned(found)) / 2;
    }
#endif
    for (; i < n; ++i) {
        if (data[i] == a || data[i] == b)
            return i;
    }
    return n;
}
} // namespace

QString EscapeForFile(const QString &text)
{
    auto special = [](QChar c) {
        const char16_t u = c.unicode();
        return u == u'\\' || u == u'\r' || u == u'\n' || u == u'&' || u == u'<' || u == u'>' || u == u'"';
    };
    const auto first = std::find_if(text.begin(), text.end(), special);
    if (first == text.end())
        return text;
    const QStringView view(text);
    QString out;
    out.reserve(text.size() + 16);
    qsizetype runStart = 0;
    for (qsizetype i = first - text.begin(); i < view.size(); ++i) {
        const char16_t c = view[i].unicode();
        if (!special(view[i]))
            continue;
        out.append(view.mid(runStart, i - runStart));
        switch (c) {
        case u'\\':
            if (at(view, i + 1, u'r') && at(view, i + 2, u'\\') && at(view, i + 3, u'n')) {
                out.append(u"/r/n");
                i += 3;
            } else if (at(view, i + 1, u'n')) {
                out.append(u"/n");
                ++i;
            } else if (at(view, i + 1, u'r')) {
                out.append(u"/r");
                ++i;
            } else {
                out.append(u'\\');
            }
            break;
        case u'\r':
            if (at(view, i + 1, u'\n')) {
                out.append(u"/r/n");
                ++i;
            } else {
                out.append(u"/r");
            }
            break;
        case u'\n': out.append(u"/n"); break;
        case u'&': out.append(u"&amp;"); break;
        case u'<': out.append(u"&lt;"); break;
        case u'>': out.append(u"&gt;"); break;
        default: out.append(u"&quot;"); break;
        }
        runStart = i + 1;
    }
    out.append(view.mid(runStart));
    return out;
}

namespace {

// File forms and their memory forms; longer patterns first. No memory form
// is longer than its file form, so unescaping never makes a text longer.
struct UnescapeForm {
    QStringView file, memory;
};
constexpr UnescapeForm kUnescapeForms[] = {{u"/r/n", u"\\r\\n"}, {u"/n", u"\\n"},  {u"/r", u"\\r"},
                                           {u"&lt;", u"<"},     {u"&gt;", u">"},   {u"&quot;", u"\""},
                                           {u"&amp;", u"&"}};

// The form that starts rest (at a '/' or '&'), or null.
const UnescapeForm *unescapeFormAt(QStringView rest)
{
    for (const UnescapeForm &form : kUnescapeForms) {
        if (rest.startsWith(form.file))
            return &form;
    }
    return nullptr;
}

} // namespace

QString UnescapeFromFile(const QString &text)
{
    const qsizetype first = indexOfEither(text, u'/', u'&');
    if (first == text.size())
        return text;
    const QStringView view(text);
    QString out;
    out.reserve(text.size());
    qsizetype runStart = 0;
    for (qsizetype i = first; i < view.size(); ++i) {
        if (view[i] != u'/' && view[i] != u'&')
            continue;
        const UnescapeForm *form = unescapeFormAt(view.mid(i));
        if (!form)
            continue;
        out.append(view.mid(runStart, i - runStart));
        out.append(form->memory);
        i += form->file.size() - 1;
        runStart = i + 1;
    }
    if (runStart == 0)
        return text;  // nothing replaced: share the text instead of a copy
    out.append(view.mid(runStart));
    return out;
}

qsizetype UnescapeFromFileInPlace(char16_t *text, qsizetype size)
{
    qsizetype i = indexOfEither(QStringView(text, size), u'/', u'&');
    qsizetype out = i;  // the memory form is written from here on, never ahead of i
    while (i < size) {
        const char16_t c = text[i];
        const UnescapeForm *form = c == u'/' || c == u'&' ? unescapeFormAt(QStringView(text + i, size - i)) : nullptr;
        if (!form) {
            text[out++] = c;
            ++i;
            continue;
        }
        for (const QChar unit : form->memory)
            text[out++] = unit.unicode();
        i += form->file.size();
    }
    return out;
}

bool UnescapedTextWritesBack(QStringView text)
{
    // Unescaping turns the slash forms of line breaks into backslash escapes
    // and the four entities into characters; escaping turns every backslash
    // escape and raw line break into a slash form and keeps the characters
    // (as entities that read back as them). So the spelled-out entities, a
    // backslash escape or a line break of the text itself come back
    // different, and nothing else does.
    static constexpr QStringView kEntities[] = {u"&lt;", u"&gt;", u"&quot;", u"&amp;"};
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\r' || c == u'\n')
            return false;
        if (c == u'\\' && i + 1 < text.size() && (text[i + 1] == u'n' || text[i + 1] == u'r'))
            return false;
        if (c == u'&') {
            const QStringView rest = text.mid(i);
            for (const QStringView entity : kEntities) {
                if (rest.startsWith(entity))
                    return false;
            }
        }
    }
    return true;
}

float ParseLengthRatio(const QString &text)
{
    // Locale-independent, unlike strtod: a ratio must not depend on the
    // user's decimal separator.
    const QByteArray bytes = text.toUtf8();
    const char *begin = bytes.constData();
    const char *end = begin + bytes.size();
    while (begin < end && (*begin == ' ' || (*begin >= '\t' && *begin <= '\r')))
        ++begin;
    bool negative = false;
    if (begin < end && (*begin == '+' || *begin == '-')) {
        negative = *begin == '-';
        ++begin;
    }
    double value = 0.0;
    const auto result = std::from_chars(begin, end, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Beyond double: like strtod, a huge number reads as infinity and a
        // tiny one as (nearly) zero.
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
        value = strtod_l(std::string(begin, result.ptr).c_str(), nullptr, cLocale);
    } else if (result.ec != std::errc()) {
        return 0.0f;
    }
    if (negative)
        value = -value;
    // Converting a double beyond float's range is undefined; the ratio the
    // checks use is then the infinity of that sign.
    if (value > double(std::numeric_limits<float>::max()))
        return std::numeric_limits<float>::infinity();
    if (value < -double(std::numeric_limits<float>::max()))
        return -std::numeric_limits<float>::infinity();
    return float(value);
}

QString FormatLengthRatio(float ratio)
{
    return QString::asprintf("%f", double(ratio));
}
