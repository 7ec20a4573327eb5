#include "glossary/glossary.h"

QString TermStatusName(TermStatus status)
{
    switch (status) {
    case TermStatus::Forbidden:
        return QStringLiteral("forbidden");
    case TermStatus::DoNotTranslate:
        return QStringLiteral("do-not-translate");
    case TermStatus::Preferred:
        break;
    }
    return QStringLiteral("preferred");
}

bool ParseTermStatus(QStringView name, TermStatus *status)
{
    const QString value = name.trimmed().toString().toLower();
    static const QStringView preferred[] = {u"", u"preferred", u"admitted", u"preferredterm-admn-sts",
                                            u"admittedterm-admn-sts"};
    static const QStringView forbidden[] = {u"forbidden", u"deprecated", u"superseded", u"deprecatedterm-admn-sts",
                                            u"supersededterm-admn-sts"};
    static const QStringView kept[] = {u"do-not-translate", u"do not translate", u"dnt", u"untranslated"};
    for (QStringView v : preferred) {
        if (value == v)
            return *status = TermStatus::Preferred, true;
    }
    for (QStringView v : forbidden) {
        if (value == v)
            return *status = TermStatus::Forbidden, true;
    }
    for (QStringView v : kept) {
        if (value == v)
            return *status = TermStatus::DoNotTranslate, true;
    }
    return false;
}
