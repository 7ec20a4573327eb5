#pragma once
// Checks of a translation against its original. They return a result; the
// caller decides how to show a failure.

#include <QString>

struct CheckResult {
    bool ok = true;
    int messageId = 0;  // see messages.h; 0 when ok
    QString message;    // the formatted text
    static CheckResult pass() { return {}; }
    static CheckResult fail(int id, const QString &argument);
};

// A translation may be at most `ratio` times as long as its original, in
// UTF-16 code units (equality passes). Failure carries message 129.
CheckResult CheckLength(const QString &original, const QString &translation, float ratio);
bool IsTooLong(const QString &original, const QString &translation, float ratio);

// Finds printf-style (codeType 0) or numbered %1..%9 (codeType 1) placeholders
// one after another. After a hit, `position` is its start; callers move it
// one further before asking again.
class PlaceholderScanner {
public:
    qsizetype position = 0;
    QString NextPlaceholder(int codeType, const QString &text);
};

// The first placeholder of `text` at or after `from`, as a view into the
// text (empty when there is none); the scan NextPlaceholder makes.
QStringView FindPlaceholder(int codeType, QStringView text, qsizetype from);

// The placeholders of the original must reappear in the translation in the
// same order with none added. Failure carries 103 (missing) or 104 (extra).
CheckResult CheckPlaceholders(const QString &original, const QString &translation, int codeType);

// The escapes \r, \n and \r\n must occur as often in the translation as in
// the original. Failure carries 103 or 104 naming the escape.
CheckResult CheckEscapeSequences(const QString &original, const QString &translation);
