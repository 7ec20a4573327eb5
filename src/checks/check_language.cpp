#include "checks/check_language.h"

#include "exchange/language_tags.h"
#include "spelling/spelling_languages.h"

#include <initializer_list>

namespace {

bool isOneOf(const QString &primary, std::initializer_list<const char16_t *> languages)
{
    for (const char16_t *language : languages) {
        if (primary == QStringView(language))
            return true;
    }
    return false;
}

// The tag of a code: the exchange table's, else the one the spelling
// dictionary's name gives ("et_EE" for ETI).
QString tagForCode(const QString &code)
{
    const QString tag = LanguageTagForCode(code);
    if (!tag.isEmpty())
        return tag;
    const SpellingLanguage *spelling = SpellingLanguageForCode(code);
    if (!spelling)
        return QString();
    QString fromDictionary = QString::fromLatin1(spelling->dictionary);
    fromDictionary.replace(u'_', u'-');
    return fromDictionary;
}

bool isKnownCode(QStringView code) { return !tagForCode(code.toString()).isEmpty(); }

} // namespace

CheckLanguage CheckLanguageForTag(const QString &tag)
{
    CheckLanguage language;
    language.tag = tag;
    language.primary = tag.section(u'-', 0, 0).toLower();
    const QString &p = language.primary;
    language.hasCase = !isOneOf(p, {u"zh", u"ja", u"ko", u"th", u"lo", u"km", u"my", u"ar", u"fa", u"ur", u"he",
                                    u"yi", u"hi", u"bn", u"mr", u"ne", u"gu", u"pa", u"ta", u"te", u"kn", u"ml",
                                    u"si", u"ka", u"am", u"ps"});
    language.semicolonQuestion = p == u"el";
    language.endsWithoutMarks = isOneOf(p, {u"th", u"lo", u"km", u"my"});
    language.decimalComma = isOneOf(p, {u"de", u"fr", u"es", u"it", u"pt", u"nl", u"da", u"nb", u"no", u"sv",
                                        u"fi", u"ru", u"uk", u"bg", u"cs", u"sk", u"pl", u"sl", u"hr", u"sr",
                                        u"hu", u"ro", u"tr", u"el", u"id", u"lt", u"lv", u"et", u"ca", u"vi"});
    language.spaceGroups = isOneOf(p, {u"de", u"fr", u"es", u"pt", u"nb", u"no", u"sv", u"fi", u"ru", u"uk",
                                       u"bg", u"cs", u"sk", u"pl", u"sl", u"hu", u"lt", u"lv", u"et", u"ca"});
    language.fullWidthMarks = isOneOf(p, {u"zh", u"ja"});
    language.rightToLeft = isOneOf(p, {u"ar", u"fa", u"he", u"ur", u"yi", u"ps"});
    language.usesJoiners = isOneOf(p, {u"ar", u"fa", u"ur", u"ps", u"hi", u"bn", u"mr", u"ne", u"gu", u"pa",
                                       u"ta", u"te", u"kn", u"ml", u"si"});
    language.usesZeroWidthSpace = language.endsWithoutMarks;
    return language;
}

CheckLanguage CheckLanguageForCode(const QString &code)
{
    const QString tag = code.isEmpty() ? QString() : tagForCode(code);
    if (tag.isEmpty())
        return CheckLanguage();
    CheckLanguage language = CheckLanguageForTag(tag);
    language.code = code.toUpper();
    return language;
}

CheckLanguage CheckLanguageForPath(const QString &path)
{
    return CheckLanguageForCode(LanguageCodeFromPath(path, isKnownCode));
}
