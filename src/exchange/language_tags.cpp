#include "exchange/language_tags.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace {

struct CodeTag {
    const char16_t *code;
    const char16_t *tag;
};

constexpr CodeTag kCodes[] = {
    {u"BGR", u"bg"}, {u"CHS", u"zh-CN"}, {u"CHT", u"zh-TW"}, {u"CSY", u"cs"}, {u"DAN", u"da"},
    {u"DEU", u"de"}, {u"ELL", u"el"},    {u"ENG", u"en"},    {u"ESP", u"es"}, {u"FAR", u"fa"},
    {u"FIN", u"fi"}, {u"FRA", u"fr"},    {u"HEB", u"he"},    {u"HRV", u"hr"}, {u"HUN", u"hu"},
    {u"ITA", u"it"}, {u"JPN", u"ja"},    {u"KOR", u"ko"},    {u"NLD", u"nl"}, {u"NOR", u"nb"},
    {u"PLK", u"pl"}, {u"PTB", u"pt-BR"}, {u"PTG", u"pt-PT"}, {u"ROM", u"ro"}, {u"RUS", u"ru"},
    {u"SRL", u"sr-Latn"}, {u"SKY", u"sk"}, {u"SLV", u"sl"}, {u"SWE", u"sv"}, {u"THA", u"th"},
    {u"TRK", u"tr"},
};

// Lower case, '-' between the parts, the gettext script modifiers as
// script subtags, and Norwegian "no" as Bokmål: "zh_TW" gives "zh-tw".
QStringList normalisedParts(const QString &name)
{
    QString text = name.trimmed().toLower();
    text.replace(u'_', u'-');
    text.replace(QStringLiteral("@latin"), QStringLiteral("-latn"));
    text.replace(QStringLiteral("@cyrillic"), QStringLiteral("-cyrl"));
    // A POSIX locale may carry a character set: "de_DE.UTF-8".
    const qsizetype dot = text.indexOf(u'.');
    if (dot >= 0)
        text.truncate(dot);
    QStringList parts = text.split(u'-', Qt::SkipEmptyParts);
    if (!parts.isEmpty() && parts.first() == u"no")
        parts.first() = QStringLiteral("nb");
    return parts;
}

} // namespace

QString LanguageTagForCode(const QString &code)
{
    const QString upper = code.toUpper();
    for (const CodeTag &entry : kCodes) {
        if (upper == QStringView(entry.code))
            return QString::fromUtf16(entry.tag);
    }
    return QString();
}

QString LanguageTagForPath(const QString &path)
{
    const QFileInfo info(path);
    QString base = info.fileName();
    if (base.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive))
        base.chop(4);
    if (base.size() >= 3) {
        const QString tag = LanguageTagForCode(base.right(3));
        if (!tag.isEmpty())
            return tag;
    }
    const QString folder = info.dir().dirName();
    return folder.size() == 3 ? LanguageTagForCode(folder) : QString();
}

bool IsLanguageTag(const QString &text)
{
    const QStringList parts = text.split(u'-');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString &part = parts[i];
        if (part.isEmpty() || part.size() > 8 || (i == 0 && part.size() < 2))
            return false;
        for (const QChar c : part) {
            const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
            if (!letter && !(i > 0 && c >= u'0' && c <= u'9'))
                return false;
        }
    }
    return true;
}

QString PoLanguageName(const QString &tag)
{
    const QStringList parts = tag.split(u'-', Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return QString();
    QString name = parts.first();
    QString modifier;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QString &part = parts[i];
        if (part.size() == 4) {
            if (part.compare(QStringLiteral("Latn"), Qt::CaseInsensitive) == 0)
                modifier = QStringLiteral("@latin");
            else if (part.compare(QStringLiteral("Cyrl"), Qt::CaseInsensitive) == 0)
                modifier = QStringLiteral("@cyrillic");
        } else {
            name += u'_' + part;
        }
    }
    return name + modifier;
}

bool LanguagesConflict(const QString &a, const QString &b)
{
    const QStringList x = normalisedParts(a), y = normalisedParts(b);
    if (x.isEmpty() || y.isEmpty())
        return false;
    if (x.first() != y.first())
        return true;
    // Further parts (region, script) conflict only where both name one of
    // the same kind: "de" and "de-DE" agree, "pt-BR" and "pt-PT" do not.
    for (qsizetype i = 1; i < x.size(); ++i) {
        for (qsizetype j = 1; j < y.size(); ++j) {
            if (x[i].size() == y[j].size() && x[i] != y[j])
                return true;
        }
    }
    return false;
}

int LanguageMatch(const QString &wanted, const QString &given)
{
    const QStringList x = normalisedParts(wanted), y = normalisedParts(given);
    if (x.isEmpty() || y.isEmpty() || x.first() != y.first())
        return 0;
    if (x == y)
        return 2;
    return LanguagesConflict(wanted, given) ? 0 : 1;
}
