#include "catalogue/file_text.h"

#include <algorithm>
#include <charconv>

// Both conversions are single left-to-right passes. They give the same result
// as applying each replacement rule to the whole text in turn (longer
// patterns first), because no rule's output can form another rule's input.

QString EscapeForFile(const QString &text)
{
    auto needsWork = [](QChar c) {
        return c == u'\\' || c == u'\r' || c == u'\n' || c == u'&' || c == u'<' || c == u'>' || c == u'"';
    };
    if (std::none_of(text.begin(), text.end(), needsWork))
        return text;
    QString out;
    out.reserve(text.size() + 16);
    const QStringView view(text);
    for (qsizetype i = 0; i < view.size(); ++i) {
        const QStringView rest = view.mid(i);
        const char16_t c = view[i].unicode();
        if (rest.startsWith(u"\\r\\n")) {
            out.append(u"/r/n");
            i += 3;
        } else if (rest.startsWith(u"\\n")) {
            out.append(u"/n");
            ++i;
        } else if (rest.startsWith(u"\\r")) {
            out.append(u"/r");
            ++i;
        } else if (rest.startsWith(u"\r\n")) {
            out.append(u"/r/n");
            ++i;
        } else if (c == u'\n') {
            out.append(u"/n");
        } else if (c == u'\r') {
            out.append(u"/r");
        } else if (c == u'&') {
            out.append(u"&amp;");
        } else if (c == u'<') {
            out.append(u"&lt;");
        } else if (c == u'>') {
            out.append(u"&gt;");
        } else if (c == u'"') {
            out.append(u"&quot;");
        } else {
            out.append(view[i]);
        }
    }
    return out;
}

QString UnescapeFromFile(const QString &text)
{
    if (!text.contains(u'/') && !text.contains(u'&'))
        return text;
    QString out;
    out.reserve(text.size());
    const QStringView view(text);
    for (qsizetype i = 0; i < view.size(); ++i) {
        const QStringView rest = view.mid(i);
        if (rest.startsWith(u"/r/n")) {
            out.append(u"\\r\\n");
            i += 3;
        } else if (rest.startsWith(u"/n")) {
            out.append(u"\\n");
            ++i;
        } else if (rest.startsWith(u"/r")) {
            out.append(u"\\r");
            ++i;
        } else if (rest.startsWith(u"&lt;")) {
            out.append(u'<');
            i += 3;
        } else if (rest.startsWith(u"&gt;")) {
            out.append(u'>');
            i += 3;
        } else if (rest.startsWith(u"&quot;")) {
            out.append(u'"');
            i += 5;
        } else if (rest.startsWith(u"&amp;")) {
            out.append(u'&');
            i += 4;
        } else {
            out.append(view[i]);
        }
    }
    return out;
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
    if (result.ec != std::errc())
        return 0.0f;
    return float(negative ? -value : value);
}

QString FormatLengthRatio(float ratio)
{
    return QString::asprintf("%f", double(ratio));
}
