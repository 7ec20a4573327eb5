#include "spelling/spelling_languages.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The family's language codes whose words are written apart, so that a
// word-by-word check makes sense (Chinese, Japanese and Thai are not).
// ENG and ENU are the family's English files, written in American English.
const SpellingLanguage kSpellingLanguages[] = {
    {"ARA", "ar", "hunspell-ar"},         {"BGR", "bg_BG", "hunspell-bg"},    {"CAT", "ca_ES", "hunspell-ca"},
    {"CSY", "cs_CZ", "hunspell-cs"},      {"DAN", "da_DK", "hunspell-da"},    {"DEU", "de_DE", "hunspell-de-de"},
    {"ELL", "el_GR", "hunspell-el"},      {"ENG", "en_US", "hunspell-en-us"}, {"ENU", "en_US", "hunspell-en-us"},
    {"ESP", "es_ES", "hunspell-es"},      {"ETI", "et_EE", "myspell-et"},     {"FAR", "fa_IR", ""},
    {"FIN", "fi_FI", ""},                 {"FRA", "fr_FR", "hunspell-fr"},    {"HEB", "he_IL", "hunspell-he"},
    {"HRV", "hr_HR", "hunspell-hr"},      {"HUN", "hu_HU", "hunspell-hu"},    {"IND", "id_ID", "hunspell-id"},
    {"ITA", "it_IT", "hunspell-it"},      {"KOR", "ko_KR", "hunspell-ko"},    {"LTH", "lt_LT", "hunspell-lt"},
    {"LVI", "lv_LV", "hunspell-lv"},      {"NLD", "nl_NL", "hunspell-nl"},    {"NOR", "nb_NO", "hunspell-no"},
    {"PLK", "pl_PL", "hunspell-pl"},      {"PTB", "pt_BR", "hunspell-pt-br"}, {"PTG", "pt_PT", "hunspell-pt-pt"},
    {"ROM", "ro_RO", "hunspell-ro"},      {"RUS", "ru_RU", "hunspell-ru"},    {"SKY", "sk_SK", "hunspell-sk"},
    {"SLV", "sl_SI", "hunspell-sl"},      {"SRL", "sr_Latn_RS", "hunspell-sr"}, {"SWE", "sv_SE", "hunspell-sv"},
    {"TRK", "tr_TR", "hunspell-tr"},      {"UKR", "uk_UA", "hunspell-uk"},    {"VIT", "vi_VN", "hunspell-vi"},
};

bool isAsciiLetters(QStringView text)
{
    for (QChar c : text) {
        if (!((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')))
            return false;
    }
    return true;
}

// The code that `name` ends with, when those three letters are a known code
// and stand apart from a lowercase word before them ("ViewResDEU" and
// "ALL_DEU" name DEU, "Menu" does not name ENU).
QString codeAtEnd(const QString &name, const std::function<bool(QStringView)> &isKnownCode)
{
    if (name.size() < 3)
        return QString();
    const QStringView tail = QStringView(name).right(3);
    if (!isAsciiLetters(tail) || !isKnownCode(tail))
        return QString();
    const bool upper = tail.toString() == tail.toString().toUpper();
    if (!upper && name.size() > 3 && name[name.size() - 4].isLetter())
        return QString();  // the end of a word, not a code
    return tail.toString().toUpper();
}

} // namespace

const SpellingLanguage *SpellingLanguageForCode(QStringView code)
{
    for (const SpellingLanguage &language : kSpellingLanguages) {
        if (code.compare(QLatin1String(language.code), Qt::CaseInsensitive) == 0)
            return &language;
    }
    return nullptr;
}

QString LanguageCodeFromPath(const QString &path)
{
    return LanguageCodeFromPath(path, [](QStringView code) { return SpellingLanguageForCode(code) != nullptr; });
}

QString LanguageCodeFromPath(const QString &path, const std::function<bool(QStringView code)> &isKnownCode)
{
    const QFileInfo info(path);
    const QString fromName = codeAtEnd(info.completeBaseName(), isKnownCode);
    if (!fromName.isEmpty())
        return fromName;
    const QString folder = info.dir().dirName();
    if (folder.size() == 3 && isAsciiLetters(folder) && isKnownCode(folder))
        return folder.toUpper();
    return QString();
}

QString LanguageCodeFromPaths(const QStringList &paths)
{
    QString found;
    for (const QString &path : paths) {
        const QString code = LanguageCodeFromPath(path);
        if (code.isEmpty())
            continue;
        if (!found.isEmpty() && found != code)
            return QString();  // a folder of several languages has no one dictionary
        found = code;
    }
    return found;
}

QString DictionaryPackage(const QString &dictionary)
{
    for (const SpellingLanguage &language : kSpellingLanguages) {
        if (dictionary == QLatin1String(language.dictionary))
            return QString::fromLatin1(language.package);
    }
    return QString();
}

QString MissingDictionaryText(const QString &dictionary)
{
    const QString package = DictionaryPackage(dictionary);
    if (package.isEmpty())
        return QStringLiteral("no %1 dictionary (no Debian package provides it)").arg(dictionary);
    return QStringLiteral("no %1 dictionary (Debian package %2)").arg(dictionary, package);
}
