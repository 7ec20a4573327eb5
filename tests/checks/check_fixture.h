#pragma once
// Judging texts through the built-in checks in the tests.

#include "checks/check_registry.h"
#include "test_support.h"

#include <QStringList>

// The set of the built-in checks for a file of the given language code.
inline CheckSet builtInSet(const QString &languageCode, int codeType = CodeTypeCpp, float ratio = 2.0f)
{
    CheckTarget target;
    target.context.language = CheckLanguageForCode(languageCode);
    target.context.codeType = codeType;
    target.context.lengthRatio = ratio;
    return CheckRegistry().makeSet(target);
}

struct Judged {
    QString check;
    Severity severity;
    QString message;
    int messageId;
};

inline std::vector<Judged> judgeTexts(const CheckSet &set, const QString &original, const QString &translation)
{
    StringEntry entry;
    entry.original = original;
    entry.translation = translation;
    std::vector<Finding> found;
    set.judgeEntry(entry, found);
    std::vector<Judged> judged;
    for (const Finding &f : found)
        judged.push_back({f.checkId(), f.severity, f.message, f.messageId});
    return judged;
}

// The ids of the warnings the built-in checks raise, in check order.
inline QStringList warningIds(const QString &languageCode, const QString &original, const QString &translation,
                              int codeType = CodeTypeCpp)
{
    QStringList ids;
    for (const Judged &j : judgeTexts(builtInSet(languageCode, codeType), original, translation)) {
        if (j.severity == Severity::Warning)
            ids.append(j.check);
    }
    return ids;
}

// The message of one check's warning, empty when it raises none.
inline QString warningMessage(const QString &languageCode, const QString &check, const QString &original,
                              const QString &translation)
{
    for (const Judged &j : judgeTexts(builtInSet(languageCode), original, translation)) {
        if (j.severity == Severity::Warning && j.check == check)
            return j.message;
    }
    return QString();
}
