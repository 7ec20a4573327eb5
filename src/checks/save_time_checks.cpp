// The save-time checks as check objects: the errors that block an edit and
// a save, with the messages of text_checks.h. The placeholder check also
// warns about positional printf placeholders ("%1$s"), which its scan does
// not see as placeholders.

#include "checks/builtin_checks.h"
#include "checks/check_text.h"
#include "checks/text_checks.h"
#include "catalogue/messages.h"

#include <QHash>

namespace {

Finding errorFinding(const Check &check, const StringEntry &entry, CheckResult &&result)
{
    Finding found = check.finding(entry, std::move(result.message));
    found.messageId = result.messageId;
    return found;
}

// The positional placeholders of a text with how often each occurs, in the
// order first met.
void countPositional(QStringView text, QStringList &order, QHash<QString, int> &counts, int sign)
{
    for (qsizetype p = text.indexOf(u'%'); p >= 0; p = text.indexOf(u'%', p + 1)) {
        const qsizetype length = PositionalPlaceholderAt(text, p);
        if (length == 0)
            continue;
        const QString placeholder = text.mid(p, length).toString();
        int &count = counts[placeholder];
        if (count == 0 && !order.contains(placeholder))
            order.append(placeholder);
        count += sign;
        p += length - 1;
    }
}

class PlaceholdersCheck : public PerEntryCheck {
public:
    PlaceholdersCheck()
        : PerEntryCheck({QStringLiteral("placeholders"), QStringLiteral("Placeholders"), Severity::Error,
                         QStringLiteral("The placeholders of the original (%s, %d, %1) reappear in the translation "
                                        "in the same order, none added; positional ones (%1$s) as often, in any "
                                        "order (a warning).")})
    {
    }

    void judge(const CheckedEntry &checked, const CheckContext &context, std::vector<Finding> &out) const override
    {
        // Equal texts (every untranslated entry) hold the same placeholders.
        const StringEntry &entry = checked.entry;
        if (!checked.either(TextTraits::Percent) || entry.translation == entry.original)
            return;
        CheckResult result = CheckPlaceholders(entry.original, entry.translation, context.codeType);
        if (!result.ok)
            out.push_back(errorFinding(*this, entry, std::move(result)));
        if (entry.translation.isEmpty())
            return;
        QStringList order;
        QHash<QString, int> counts;
        countPositional(entry.original, order, counts, 1);
        countPositional(entry.translation, order, counts, -1);
        QStringList missing, added;
        for (const QString &placeholder : order) {
            const int difference = counts.value(placeholder);
            for (int i = 0; i < difference; ++i)
                missing.append(QuoteForMessage(placeholder));
            for (int i = 0; i < -difference; ++i)
                added.append(QuoteForMessage(placeholder));
        }
        if (missing.isEmpty() && added.isEmpty())
            return;
        Finding found = finding(entry, MissingAndNewMessage(missing, added));
        found.severity = Severity::Warning;
        out.push_back(std::move(found));
    }
};

class EscapesCheck : public PerEntryCheck {
public:
    EscapesCheck()
        : PerEntryCheck({QStringLiteral("escapes"), QStringLiteral("Line-break escapes"), Severity::Error,
                         QStringLiteral("The escapes \\r, \\n and \\r\\n occur as often in the translation as in "
                                        "the original.")})
    {
    }

    void judge(const CheckedEntry &checked, const CheckContext &, std::vector<Finding> &out) const override
    {
        if (!checked.either(TextTraits::Backslash) || checked.entry.translation == checked.entry.original)
            return;
        CheckResult result = CheckEscapeSequences(checked.entry.original, checked.entry.translation);
        if (!result.ok)
            out.push_back(errorFinding(*this, checked.entry, std::move(result)));
    }
};

class LengthCheck : public PerEntryCheck {
public:
    LengthCheck()
        : PerEntryCheck({QStringLiteral("length"), QStringLiteral("Length"), Severity::Error,
                         QStringLiteral("The translation is at most AllowLength times as long as the original.")})
    {
    }

    void judge(const CheckedEntry &checked, const CheckContext &context, std::vector<Finding> &out) const override
    {
        if (!IsTooLong(checked.entry.original, checked.entry.translation, context.lengthRatio))
            return;
        out.push_back(errorFinding(*this, checked.entry,
                                   CheckLength(checked.entry.original, checked.entry.translation, context.lengthRatio)));
    }
};

class EmptyCheck : public PerEntryCheck {
public:
    EmptyCheck()
        : PerEntryCheck({QStringLiteral("empty"), QStringLiteral("Empty translation"), Severity::Error,
                         QStringLiteral("The translation is not empty.")})
    {
    }

    void judge(const CheckedEntry &checked, const CheckContext &, std::vector<Finding> &out) const override
    {
        if (checked.entry.translation.isEmpty())
            out.push_back(errorFinding(*this, checked.entry, {false, MsgEnterString, messageText(MsgEnterString)}));
    }
};

} // namespace

CheckList SaveTimeChecks()
{
    return {std::make_shared<PlaceholdersCheck>(), std::make_shared<EscapesCheck>(), std::make_shared<LengthCheck>(),
            std::make_shared<EmptyCheck>()};
}
