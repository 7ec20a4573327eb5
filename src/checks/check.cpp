#include "checks/check.h"

#include "checks/check_text.h"

#include <array>

const char *SeverityName(Severity severity) { return severity == Severity::Error ? "error" : "warning"; }

const QString &Finding::checkId() const
{
    static const QString none;
    return check ? check->id() : none;
}

Finding Check::finding(const StringEntry &entry, QString message) const
{
    Finding found;
    found.entry = &entry;
    found.check = this;
    found.severity = m_info.severity;
    found.message = std::move(message);
    return found;
}

void CatalogueCheck::judgeAround(const EntryMap &entries, const StringEntry &, const CheckContext &context,
                                 std::vector<const StringEntry *> &judged, std::vector<Finding> &out) const
{
    for (size_t number = 0; number < entries.size(); ++number)
        judged.push_back(&entries.byNumber(number));
    judgeAll(entries, context, out);
}

namespace {

// The traits of each ASCII character.
constexpr std::array<std::uint32_t, 128> asciiTraits()
{
    std::array<std::uint32_t, 128> traits{};
    for (int c = 0; c < 0x20; ++c)
        traits[size_t(c)] = TextTraits::Invisible;
    traits[0x7f] = TextTraits::Invisible;
    traits[size_t('&')] = TextTraits::Ampersand;
    traits[size_t('%')] = TextTraits::Percent;
    traits[size_t('\\')] = TextTraits::Backslash;
    for (char c = '0'; c <= '9'; ++c)
        traits[size_t(c)] = TextTraits::Digit;
    for (char c : {'(', ')', '[', ']', '{', '}'})
        traits[size_t(c)] = TextTraits::Bracket;
    traits[size_t('@')] = TextTraits::At;
    traits[size_t(':')] = TextTraits::Colon;
    traits[size_t(' ')] = TextTraits::Space;
    return traits;
}
constexpr std::array<std::uint32_t, 128> kAsciiTraits = asciiTraits();

std::uint32_t otherTraits(QChar c)
{
    const char16_t u = c.unicode();
    if (IsCheckSpace(c))
        return TextTraits::Space;
    if (IsInvisibleCharacter(c))
        return TextTraits::Invisible;
    if (u == 0xff08 || u == 0xff09 || u == 0xff3b || u == 0xff3d || u == 0xff5b || u == 0xff5d)
        return TextTraits::Bracket;
    if (u == 0xff20)  // full-width "@"
        return TextTraits::At;
    if (c.isDigit())
        return TextTraits::Digit;
    return 0;
}

} // namespace

TextTraits TextTraits::of(QStringView text)
{
    std::uint32_t bits = 0;
    bool lastWasSpace = false;
    const QChar *data = text.data();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t u = data[i].unicode();
        std::uint32_t here;
        if (u < 0x80) {
            here = kAsciiTraits[u];
            if ((u == 'w' || u == 'W') && i + 3 < size && (data[i + 1] == u'w' || data[i + 1] == u'W')
                && (data[i + 2] == u'w' || data[i + 2] == u'W') && data[i + 3] == u'.')
                here |= Www;
        } else {
            here = otherTraits(data[i]);
        }
        const bool space = (here & Space) != 0;
        if (space && lastWasSpace)
            here |= DoubleSpace;
        lastWasSpace = space;
        bits |= here;
    }
    return {bits};
}
