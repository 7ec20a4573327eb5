// What a translation must carry over unchanged: URLs and mail addresses,
// and the brackets around parts of the text.

#include "checks/builtin_checks.h"
#include "checks/check_text.h"

#include <QHash>
#include <QStringList>
#include <algorithm>
#include <array>

namespace {

class UrlsCheck : public PerEntryCheck {
public:
    UrlsCheck()
        : PerEntryCheck({QStringLiteral("urls"), QStringLiteral("URLs and mail addresses"), Severity::Warning,
                         QStringLiteral("The translation holds the URLs and mail addresses of the original, "
                                        "unchanged, each as often.")})
    {
    }

    void judge(const CheckedEntry &checked, const CheckContext &, std::vector<Finding> &out) const override
    {
        constexpr std::uint32_t linkTraits = TextTraits::Colon | TextTraits::Www | TextTraits::At;
        if (!checked.either(linkTraits))
            return;
        const std::vector<TextLink> inOriginal = FindLinks(checked.entry.original);
        const std::vector<TextLink> inTranslation = FindLinks(checked.entry.translation);
        if (inOriginal.empty() && inTranslation.empty())
            return;
        QHash<QString, int> balance;
        for (const TextLink &link : inOriginal)
            ++balance[link.match];
        for (const TextLink &link : inTranslation)
            --balance[link.match];
        QStringList missing, added;
        for (const TextLink &link : inOriginal) {
            if (balance.value(link.match) > 0) {
                --balance[link.match];
                missing.append(QuoteForMessage(link.text));
            }
        }
        for (const TextLink &link : inTranslation) {
            if (balance.value(link.match) < 0) {
                ++balance[link.match];
                added.append(QuoteForMessage(link.text));
            }
        }
        if (!missing.isEmpty() || !added.isEmpty())
            out.push_back(finding(checked.entry, MissingAndNewMessage(missing, added)));
    }
};

constexpr char16_t kBrackets[] = {u'(', u')', u'[', u']', u'{', u'}'};

struct BracketCounts {
    std::array<int, 6> plain{};  // in the order of kBrackets
    int cornerOpen = 0, cornerClose = 0;  // 「『【〔〖 and their closing forms
};

int bracketIndex(QChar c)
{
    switch (c.unicode()) {
    case u'(': case 0xff08: return 0;
    case u')': case 0xff09: return 1;
    case u'[': case 0xff3b: return 2;
    case u']': case 0xff3d: return 3;
    case u'{': case 0xff5b: return 4;
    case u'}': case 0xff5d: return 5;
    default: return -1;
    }
}

// A plural ending in brackets after its word: "file(s)", "Datei(en)".
qsizetype pluralGroupAt(QStringView text, qsizetype at)
{
    if (at == 0 || text[at] != u'(' || !text[at - 1].isLetter())
        return 0;
    qsizetype end = at + 1;
    while (end < text.size() && end - at - 1 < 4 && text[end].isLower())
        ++end;
    const qsizetype letters = end - at - 1;
    return letters >= 1 && letters <= 3 && end < text.size() && text[end] == u')' ? letters + 2 : 0;
}

// The brackets of a text, leaving out accelerator groups ("(&F)", which
// Chinese and Japanese add) and bracketed plural endings, which a
// translation may well drop or add.
BracketCounts countBrackets(QStringView text)
{
    BracketCounts counts;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype skip = std::max(AcceleratorGroupAt(text, i), pluralGroupAt(text, i));
        if (skip > 0) {
            i += skip - 1;
            continue;
        }
        const QChar c = text[i];
        const int index = bracketIndex(c);
        if (index >= 0)
            ++counts.plain[size_t(index)];
        else if (QStringView(u"\u300c\u300e\u3010\u3014\u3016").contains(c))
            ++counts.cornerOpen;
        else if (QStringView(u"\u300d\u300f\u3011\u3015\u3017").contains(c))
            ++counts.cornerClose;
    }
    return counts;
}

class BracketsCheck : public PerEntryCheck {
public:
    BracketsCheck()
        : PerEntryCheck({QStringLiteral("brackets"), QStringLiteral("Brackets"), Severity::Warning,
                         QStringLiteral("The translation holds each of ( ) [ ] { } as often as the original "
                                        "(full-width forms count as these; an accelerator group \"(&F)\" does "
                                        "not).")})
    {
    }

    void judge(const CheckedEntry &checked, const CheckContext &context, std::vector<Finding> &out) const override
    {
        if (!checked.either(TextTraits::Bracket))
            return;
        const BracketCounts a = countBrackets(checked.entry.original);
        BracketCounts b = countBrackets(checked.entry.translation);
        // Chinese and Japanese put the names of buttons and menus in
        // corner or lenticular brackets where English has square ones.
        if (context.language.fullWidthMarks) {
            if (b.plain[2] < a.plain[2])
                b.plain[2] = std::min(a.plain[2], b.plain[2] + b.cornerOpen);
            if (b.plain[3] < a.plain[3])
                b.plain[3] = std::min(a.plain[3], b.plain[3] + b.cornerClose);
        }
        QStringList differences;
        for (size_t i = 0; i < a.plain.size(); ++i) {
            if (a.plain[i] != b.plain[i])
                differences.append(QStringLiteral("the original has %1 \"%2\", the translation %3")
                                       .arg(a.plain[i])
                                       .arg(QChar(kBrackets[i]))
                                       .arg(b.plain[i]));
        }
        if (differences.isEmpty())
            return;
        QString message = differences.join(QStringLiteral("; "));
        message[0] = message[0].toUpper();
        out.push_back(finding(checked.entry, message));
    }
};

} // namespace

CheckList ReferenceChecks() { return {std::make_shared<UrlsCheck>(), std::make_shared<BracketsCheck>()}; }
