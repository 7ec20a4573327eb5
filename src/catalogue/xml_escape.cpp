#include "catalogue/xml_escape.h"

#include <algorithm>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// Characters XML 1.0 cannot carry at all, not even as references.
bool isForbiddenControl(char16_t c)
{
    return c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r';
}

void appendCodePoint(std::string &out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(char(cp));
    } else if (cp < 0x800) {
        out.push_back(char(0xC0 | (cp >> 6)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(char(0xE0 | (cp >> 12)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (cp >> 18)));
        out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    }
}

// Appends the character at text[i] (a surrogate pair counts as one) and
// returns the index of the last code unit used. Lone surrogates become
// U+FFFD, and characters XML cannot hold (U+FFFE, U+FFFF) are dropped.
qsizetype appendCharacter(std::string &out, QStringView text, qsizetype i)
{
    const char16_t c = text[i].unicode();
    if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
        appendCodePoint(out, QChar::surrogateToUcs4(c, text[i + 1].unicode()));
        return i + 1;
    }
    if (QChar::isSurrogate(c))
        appendCodePoint(out, 0xFFFD);
    else if (c != 0xFFFE && c != 0xFFFF)
        appendCodePoint(out, c);
    return i;
}

// Length of a well-formed reference starting at text[i] == '&', or 0.
qsizetype referenceLength(QStringView text, qsizetype i)
{
    static const QStringView named[] = {u"&amp;", u"&lt;", u"&gt;", u"&quot;", u"&apos;"};
    const QStringView rest = text.mid(i);
    for (QStringView n : named) {
        if (rest.startsWith(n))
            return n.size();
    }
    if (!rest.startsWith(u"&#"))
        return 0;
    qsizetype j = 2;
    const bool hex = j < rest.size() && rest[j] == u'x';
    if (hex)
        ++j;
    const qsizetype digitsStart = j;
    char32_t value = 0;
    while (j < rest.size() && j - digitsStart < 8) {
        const char16_t c = rest[j].unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (hex && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (hex && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0)
            break;
        value = value * (hex ? 16 : 10) + char32_t(digit);
        ++j;
    }
    if (j == digitsStart || j >= rest.size() || rest[j] != u';')
        return 0;
    const bool allowed = value == 0x9 || value == 0xA || value == 0xD || (value >= 0x20 && value <= 0xD7FF)
        || (value >= 0xE000 && value <= 0xFFFD) || (value >= 0x10000 && value <= 0x10FFFF);
    return allowed ? j + 1 : 0;
}

bool appendControlReference(std::string &out, char16_t c)
{
    switch (c) {
    case u'\t': out.append("&#9;"); return true;
    case u'\n': out.append("&#10;"); return true;
    case u'\r': out.append("&#13;"); return true;
    default: return false;
    }
}

// Copies the run of characters from value[i] on that no form escapes and
// returns the index after it: printable ASCII except \\ & < > and the double
// quote, and the characters above ASCII that are one code unit (not a
// surrogate, not U+FFFE or U+FFFF), written as UTF-8 here as appendCharacter
// writes them. Most of a language file is such runs; eight ASCII characters
// are tested and narrowed at a time where the processor allows, and text in
// other scripts is converted without a call per character.
qsizetype appendPlainRun(std::string &out, QStringView value, qsizetype i)
{
    const char16_t *data = reinterpret_cast<const char16_t *>(value.data());
    const qsizetype n = value.size();
    for (;;) {
        // The bytes go straight into out, up to 256 units at a time, with
        // room for three bytes a unit (a copy through a buffer of its own
        // cost more than the conversion for the short texts of a file).
        const qsizetype end = std::min<qsizetype>(n, i + 256);
        const size_t start = out.size();
        out.resize(start + size_t(end - i) * 3);
        char *bytes = out.data() + start;
        size_t k = 0;
        bool stopped = false;
        while (i < end) {
            const char16_t c = data[i];
            if (c < 0x80) {
#ifdef __SSE2__
                if (i + 8 <= end) {
                    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + i));
                    // Signed compares: units of 0x8000 and above are negative and fail the first test.
                    __m128i plain = _mm_and_si128(_mm_cmpgt_epi16(units, _mm_set1_epi16(0x1F)),
                                                  _mm_cmplt_epi16(units, _mm_set1_epi16(0x7F)));
                    const __m128i special = _mm_or_si128(
                        _mm_or_si128(_mm_cmpeq_epi16(units, _mm_set1_epi16('\\')),
                                     _mm_cmpeq_epi16(units, _mm_set1_epi16('&'))),
                        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(units, _mm_set1_epi16('<')),
                                                  _mm_cmpeq_epi16(units, _mm_set1_epi16('>'))),
                                     _mm_cmpeq_epi16(units, _mm_set1_epi16('"'))));
                    plain = _mm_andnot_si128(special, plain);
                    if (_mm_movemask_epi8(plain) == 0xFFFF) {
                        _mm_storel_epi64(reinterpret_cast<__m128i *>(bytes + k), _mm_packus_epi16(units, units));
                        k += 8;
                        i += 8;
                        continue;
                    }
                }
#endif
                if (c < 0x20 || c == 0x7F || c == u'\\' || c == u'&' || c == u'<' || c == u'>' || c == u'"') {
                    stopped = true;
                    break;
                }
                bytes[k++] = char(c);
            } else if (c < 0x800) {
                bytes[k++] = char(0xC0 | (c >> 6));
                bytes[k++] = char(0x80 | (c & 0x3F));
            } else if (c < 0xD800 || (c >= 0xE000 && c < 0xFFFE)) {
                bytes[k++] = char(0xE0 | (c >> 12));
                bytes[k++] = char(0x80 | ((c >> 6) & 0x3F));
                bytes[k++] = char(0x80 | (c & 0x3F));
            } else {
                stopped = true;  // a surrogate, U+FFFE or U+FFFF
                break;
            }
            ++i;
        }
        out.resize(start + k);
        if (stopped || i == n)
            return i;
    }
}

} // namespace

namespace {

// Writes value to out as UTF-8: runs of plain ASCII and characters above
// ASCII directly, every other ASCII character through special(c, i), which
// writes it and returns the index of the last code unit it used.
template <typename Special>
void appendWith(std::string &out, QStringView value, Special special)
{
    for (qsizetype i = 0; i < value.size(); ++i) {
        i = appendPlainRun(out, value, i);
        if (i == value.size())
            break;
        const char16_t c = value[i].unicode();
        i = c >= 0x80 ? appendCharacter(out, value, i) : special(c, i);
    }
}

} // namespace

void appendUtf8(std::string &out, QStringView text)
{
    appendWith(out, text, [&](char16_t c, qsizetype i) {
        if (!isForbiddenControl(c))
            out.push_back(char(c));
        return i;
    });
}

void appendEscapedPlain(std::string &out, QStringView value, bool inAttribute)
{
    appendWith(out, value, [&](char16_t c, qsizetype i) {
        switch (c) {
        case u'&': out.append("&amp;"); break;
        case u'<': out.append("&lt;"); break;
        case u'>': out.append("&gt;"); break;
        case u'"':
            if (inAttribute)
                out.append("&quot;");
            else
                out.push_back('"');
            break;
        default:
            if (inAttribute && appendControlReference(out, c))
                break;
            if (!isForbiddenControl(c))
                out.push_back(char(c));
        }
        return i;
    });
}

void appendFileFormValue(std::string &out, QStringView value)
{
    appendWith(out, value, [&](char16_t c, qsizetype i) {
        if (c == u'&') {
            const qsizetype n = referenceLength(value, i);
            if (n == 0) {
                out.append("&amp;");
            } else {
                for (qsizetype k = 0; k < n; ++k)
                    out.push_back(char(value[i + k].unicode()));
                i += n - 1;
            }
        } else if (c == u'<') {
            out.append("&lt;");
        } else if (c == u'"') {
            out.append("&quot;");
        } else if (!appendControlReference(out, c) && !isForbiddenControl(c)) {
            out.push_back(char(c));
        }
        return i;
    });
}

void appendCatalogueText(std::string &out, QStringView value)
{
    const qsizetype n = value.size();
    appendWith(out, value, [&](char16_t c, qsizetype i) {
        switch (c) {
        case u'\\':
            // The line-break escapes of the memory form become "/r/n", "/n", "/r".
            if (i + 3 < n && value[i + 1] == u'r' && value[i + 2] == u'\\' && value[i + 3] == u'n') {
                out.append("/r/n");
                i += 3;
            } else if (i + 1 < n && (value[i + 1] == u'n' || value[i + 1] == u'r')) {
                out.push_back('/');
                out.push_back(char(value[i + 1].unicode()));
                ++i;
            } else {
                out.push_back('\\');
            }
            break;
        case u'\r':
            if (i + 1 < n && value[i + 1] == u'\n') {
                out.append("/r/n");
                ++i;
            } else {
                out.append("/r");
            }
            break;
        case u'\n': out.append("/n"); break;
        case u'&': out.append("&amp;"); break;
        case u'<': out.append("&lt;"); break;
        case u'>': out.append("&gt;"); break;
        case u'"': out.append("&quot;"); break;
        default:
            if (!appendControlReference(out, c) && !isForbiddenControl(c))
                out.push_back(char(c));
        }
        return i;
    });
}

QString decodeFileFormValue(const QString &value)
{
    if (!value.contains(u'&'))
        return value;
    QString result;
    result.reserve(value.size());
    const QStringView view(value);
    for (qsizetype i = 0; i < view.size(); ++i) {
        const QChar c = view[i];
        const qsizetype n = c == u'&' ? referenceLength(view, i) : 0;
        if (n == 0) {
            result.append(c);
            continue;
        }
        const QStringView ref = view.mid(i, n);
        if (ref == u"&amp;")
            result.append(u'&');
        else if (ref == u"&lt;")
            result.append(u'<');
        else if (ref == u"&gt;")
            result.append(u'>');
        else if (ref == u"&quot;")
            result.append(u'"');
        else if (ref == u"&apos;")
            result.append(u'\'');
        else {
            const bool hex = ref[2] == u'x';
            const uint cp = ref.mid(hex ? 3 : 2, n - (hex ? 4 : 3)).toUInt(nullptr, hex ? 16 : 10);
            const char32_t ucs = cp;
            result.append(QString::fromUcs4(&ucs, 1));
        }
        i += n - 1;
    }
    return result;
}
