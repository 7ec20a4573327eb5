#include "checks/check_text.h"

#include "catalogue/catalogue_types.h"
#include "checks/text_checks.h"

#include <QStringList>
#include <algorithm>

bool IsCheckSpace(QChar c)
{
    const char16_t u = c.unicode();
    return u == 0x20 || u == 0xa0 || u == 0x1680 || (u >= 0x2000 && u <= 0x200a) || u == 0x202f || u == 0x205f
           || u == 0x3000;
}

bool IsInvisibleCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7f && u <= 0x9f) || u == 0xad || u == 0x34f || u == 0x61c || u == 0x180e
           || (u >= 0x200b && u <= 0x200f) || (u >= 0x202a && u <= 0x202e) || (u >= 0x2060 && u <= 0x2064)
           || (u >= 0x2066 && u <= 0x206f) || u == 0xfeff || (u >= 0xfff9 && u <= 0xfffb);
}

QString InvisibleCharacterName(QChar c)
{
    const char16_t u = c.unicode();
    const char *name = nullptr;
    switch (u) {
    case 0x09: name = "tab"; break;
    case 0x0a: name = "line feed"; break;
    case 0x0d: name = "carriage return"; break;
    case 0xad: name = "soft hyphen"; break;
    case 0x200b: name = "zero-width space"; break;
    case 0x200c: name = "zero-width non-joiner"; break;
    case 0x200d: name = "zero-width joiner"; break;
    case 0x200e: name = "left-to-right mark"; break;
    case 0x200f: name = "right-to-left mark"; break;
    case 0x2060: name = "word joiner"; break;
    case 0xfeff: name = "zero-width no-break space"; break;
    default:
        if (u < 0x20 || (u >= 0x7f && u <= 0x9f))
            name = "control character";
        else if ((u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069))
            name = "directional formatting";
        else
            name = "invisible character";
    }
    return QStringLiteral("U+%1 (%2)")
        .arg(QString::number(uint(u), 16).toUpper().rightJustified(4, u'0'), QString::fromLatin1(name));
}

bool IsFullWidthPunctuation(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x3000 && u <= 0x303f) || (u >= 0xff01 && u <= 0xff0f) || (u >= 0xff1a && u <= 0xff20)
           || (u >= 0xff3b && u <= 0xff40) || (u >= 0xff5b && u <= 0xff65);
}

namespace {
bool isRealSpace(QChar c) { return IsCheckSpace(c) || c == u'\t' || c == u'\n' || c == u'\r'; }
QChar normalisedSpace(QChar c) { return IsCheckSpace(c) ? QChar(u' ') : c; }
bool isEscapedBreak(QStringView text, qsizetype at)  // the escape "\n" or "\r" at `at`
{
    return at >= 0 && at + 1 < text.size() && text[at] == u'\\' && (text[at + 1] == u'n' || text[at + 1] == u'r');
}
} // namespace

qsizetype TrailingSpaceStart(QStringView text, QString *normalised)
{
    qsizetype end = text.size();
    QString reversed;
    for (;;) {
        if (end > 0 && isRealSpace(text[end - 1])) {
            reversed += normalisedSpace(text[end - 1]);
            --end;
        } else if (end > 1 && isEscapedBreak(text, end - 2)) {
            reversed += text[end - 1] == u'n' ? QChar(u'\n') : QChar(u'\r');
            end -= 2;
        } else {
            break;
        }
    }
    if (normalised) {
        std::reverse(reversed.begin(), reversed.end());
        *normalised = reversed;
    }
    return end;
}

qsizetype LeadingSpaceEnd(QStringView text, QString *normalised)
{
    qsizetype start = 0;
    QString run;
    for (;;) {
        if (start < text.size() && isRealSpace(text[start])) {
            run += normalisedSpace(text[start]);
            ++start;
        } else if (isEscapedBreak(text, start)) {
            run += text[start + 1] == u'n' ? QChar(u'\n') : QChar(u'\r');
            start += 2;
        } else {
            break;
        }
    }
    if (normalised)
        *normalised = run;
    return start;
}

std::vector<qsizetype> AcceleratorMarks(QStringView text)
{
    std::vector<qsizetype> marks;
    for (qsizetype i = text.indexOf(u'&'); i >= 0 && i + 1 < text.size(); i = text.indexOf(u'&', i + 1)) {
        const QChar next = text[i + 1];
        if (next == u'&') {
            ++i;  // a literal ampersand; the next search starts after it
            continue;
        }
        if (!IsCheckSpace(next) && next != u'\t')
            marks.push_back(i);
    }
    return marks;
}

qsizetype AcceleratorGroupAt(QStringView text, qsizetype at)
{
    if (at + 3 >= text.size())
        return 0;
    const QChar open = text[at], close = text[at + 3], letter = text[at + 2];
    if ((open != u'(' && open != u'\uff08') || text[at + 1] != u'&' || (close != u')' && close != u'\uff09'))
        return 0;
    return letter == u'&' || IsCheckSpace(letter) ? 0 : 4;
}

namespace {
bool isPrintfFlag(QChar c) { return QStringView(u"-+#0123456789*.hlL' ").contains(c); }
bool isPrintfConversion(QChar c) { return QStringView(u"cdieEfgGosuxXpn").contains(c); }
bool isAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }
} // namespace

qsizetype PositionalPlaceholderAt(QStringView text, qsizetype at)
{
    qsizetype i = at + 1;
    while (i < text.size() && isAsciiDigit(text[i]))
        ++i;
    if (i == at + 1 || i >= text.size() || text[i] != u'$')
        return 0;
    ++i;
    while (i < text.size() && isPrintfFlag(text[i]))
        ++i;
    return i < text.size() && isPrintfConversion(text[i]) ? i + 1 - at : 0;
}

TextSpans CodeSpans(QStringView text, int codeType)
{
    TextSpans spans;
    for (qsizetype p = text.indexOf(u'%'); p >= 0; p = text.indexOf(u'%', p + 1)) {
        qsizetype length = PositionalPlaceholderAt(text, p);
        if (length == 0) {
            const QStringView found = FindPlaceholder(codeType, text, p);
            if (!found.isEmpty() && found.data() == text.data() + p)
                length = found.size();
        }
        if (length == 0) {
            // A numbered placeholder in either style ("%1", "%L1", "%12").
            qsizetype end = p + 1;
            if (end < text.size() && text[end] == u'L')
                ++end;
            const qsizetype digits = end;
            while (end < text.size() && isAsciiDigit(text[end]))
                ++end;
            if (end > digits)
                length = end - p;
        }
        if (length > 0) {
            spans.emplace_back(p, p + length);
            p += length - 1;
        }
    }
    const bool unsorted = !spans.empty();
    for (const TextLink &link : FindLinks(text))
        spans.emplace_back(link.start, link.start + link.length);
    if (unsorted)
        std::sort(spans.begin(), spans.end());
    return spans;
}

namespace {

bool startsWithAt(QStringView text, qsizetype at, QStringView prefix)
{
    return text.mid(at, prefix.size()).compare(prefix, Qt::CaseInsensitive) == 0;
}

// A character that cannot be part of a URL as texts write them.
bool endsUrl(QChar c)
{
    const char16_t u = c.unicode();
    if (u <= 0x20 || u == u'"' || u == u'<' || u == u'>' || u == u'\\' || u == u'`' || u == u'{' || u == u'}'
        || u == u'|' || u == u'^')
        return true;
    if (u < 0x80)
        return false;
    // Quotes, punctuation and spaces of Unicode, and the CJK scripts, which
    // write a URL straight against the words around it.
    return u == 0xab || u == 0xbb || (u >= 0x2000 && u <= 0x206f) || u >= 0x2e80 || IsInvisibleCharacter(c)
           || IsCheckSpace(c);
}

bool isMailLocal(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || isAsciiDigit(c) || c == u'.' || c == u'_'
           || c == u'%' || c == u'+' || c == u'-';
}

bool isMailDomain(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || isAsciiDigit(c) || c == u'.' || c == u'-';
}

// The end of a URL once the punctuation of the sentence around it is left
// out: full stops, commas, colons and the like, and a closing bracket or
// quote the URL does not open.
qsizetype trimUrlEnd(QStringView text, qsizetype start, qsizetype end)
{
    while (end > start) {
        const QChar last = text[end - 1];
        const QStringView url = text.mid(start, end - start);
        if (QStringView(u".,;:!?'*").contains(last)) {
            --end;
        } else if (last == u')' && url.count(u'(') < url.count(u')')) {
            --end;
        } else if (last == u']' && url.count(u'[') < url.count(u']')) {
            --end;
        } else {
            break;
        }
    }
    return end;
}

const QStringView kSchemes[] = {u"https://", u"http://", u"ftps://", u"ftp://", u"file://", u"mailto:"};

} // namespace

std::vector<TextLink> FindLinks(QStringView text)
{
    std::vector<TextLink> links;
    // Every link holds a scheme's ":", "www." or a mail address's "@".
    if (!text.contains(u':') && !text.contains(u'@') && !text.contains(QStringView(u"www."), Qt::CaseInsensitive))
        return links;
    qsizetype coveredTo = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        qsizetype hostFrom = -1;
        // Inside a word ("xwww." is no URL); the scripts written without
        // spaces put a URL straight after a word.
        if (i > 0 && ((text[i - 1].isLetterOrNumber() && text[i - 1].unicode() < 0x2e80) || text[i - 1] == u'.'))
            ;
        else if (c == u'w' || c == u'W')
            hostFrom = startsWithAt(text, i, u"www.") ? i : -1;
        else if (c == u'h' || c == u'H' || c == u'f' || c == u'F' || c == u'm' || c == u'M') {
            for (QStringView scheme : kSchemes) {
                if (startsWithAt(text, i, scheme)) {
                    hostFrom = i + scheme.size();
                    break;
                }
            }
        }
        if (hostFrom >= 0) {
            qsizetype end = hostFrom;
            while (end < text.size() && !endsUrl(text[end]))
                ++end;
            end = trimUrlEnd(text, i, end);
            if (end > hostFrom + 1) {
                TextLink link{i, end - i, text.mid(i, end - i).toString(), QString()};
                qsizetype hostEnd = hostFrom;
                while (hostEnd < end && !QStringView(u"/?#").contains(text[hostEnd]))
                    ++hostEnd;
                // Scheme and host in any case, and "/" at the end or not.
                link.match = text.mid(i, hostEnd - i).toString().toLower() + text.mid(hostEnd, end - hostEnd).toString();
                if (link.match.endsWith(u'/'))
                    link.match.chop(1);
                links.push_back(std::move(link));
                coveredTo = end;
                i = end - 1;
                continue;
            }
        }
        if (c == u'@' && i >= coveredTo) {
            qsizetype start = i;
            while (start > coveredTo && isMailLocal(text[start - 1]))
                --start;
            qsizetype end = i + 1;
            while (end < text.size() && isMailDomain(text[end]))
                ++end;
            while (end > i + 1 && (text[end - 1] == u'.' || text[end - 1] == u'-'))
                --end;
            const QStringView domain = text.mid(i + 1, end - i - 1);
            if (start < i && domain.contains(u'.') && !domain.startsWith(u'.')) {
                links.push_back({start, end - start, text.mid(start, end - start).toString(),
                                 text.mid(start, end - start).toString().toLower()});
                coveredTo = end;
                i = end - 1;
            }
        }
    }
    return links;
}

QString QuoteForMessage(QStringView text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (const QChar c : text) {
        if (IsInvisibleCharacter(c))
            out += QStringLiteral("\\u%1").arg(uint(c.unicode()), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    out += u'"';
    return out;
}

QString ExcerptForMessage(QStringView text, qsizetype at, qsizetype length, qsizetype margin)
{
    qsizetype start = std::max<qsizetype>(0, at - margin);
    qsizetype end = std::min(text.size(), at + length + margin);
    // Whole words where the margin cuts one.
    if (start > 0) {
        const qsizetype space = text.mid(start, at - start).indexOf(u' ');
        if (space >= 0 && start + space + 1 < at)
            start += space + 1;
    }
    if (end < text.size()) {
        const qsizetype space = text.mid(at + length, end - at - length).lastIndexOf(u' ');
        if (space > 0)
            end = at + length + space;
    }
    return QuoteForMessage(text.mid(start, end - start));
}

QString JoinForMessage(const QStringList &items)
{
    if (items.size() <= 1)
        return items.value(0);
    return QStringList(items.mid(0, items.size() - 1)).join(QStringLiteral(", ")) + QStringLiteral(" and ")
           + items.last();
}

QString MissingAndNewMessage(const QStringList &missing, const QStringList &added)
{
    auto verb = [](const QStringList &items) { return items.size() == 1 ? QStringLiteral(" is") : QStringLiteral(" are"); };
    QStringList parts;
    if (!missing.isEmpty())
        parts.append(JoinForMessage(missing) + verb(missing) + QStringLiteral(" missing from the translation"));
    if (!added.isEmpty())
        parts.append(JoinForMessage(added) + verb(added)
                     + (missing.isEmpty() ? QStringLiteral(" new in the translation") : QStringLiteral(" new")));
    return parts.join(QStringLiteral("; "));
}
