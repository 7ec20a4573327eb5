// White space at the ends, two spaces in a row, and characters that show
// nothing.

#include "checks/builtin_checks.h"
#include "checks/check_text.h"

#include <QStringList>
#include <map>

namespace {

// "a space", "2 line breaks", "no white space" for a normalised run.
QString describeRun(const QString &run)
{
    if (run.isEmpty())
        return QStringLiteral("no white space");
    const qsizetype n = run.size();
    auto all = [&](QChar c) { return run.count(c) == n; };
    if (all(u' '))
        return n == 1 ? QStringLiteral("a space") : QStringLiteral("%1 spaces").arg(n);
    if (all(u'\n'))
        return n == 1 ? QStringLiteral("a line break") : QStringLiteral("%1 line breaks").arg(n);
    if (all(u'\t'))
        return n == 1 ? QStringLiteral("a tab") : QStringLiteral("%1 tabs").arg(n);
    QString shown = run;
    shown.replace(u'\n', QStringLiteral("\\n")).replace(u'\r', QStringLiteral("\\r")).replace(u'\t', QStringLiteral("\\t"));
    return QStringLiteral("the white space ") + QuoteForMessage(shown);
}

// Chinese and Japanese leave out the space next to a full-width mark
// ("Name: " is "名前："): the translation's run is the original's without
// some of its spaces, beside such a mark.
bool spaceTakenByMark(const QString &originalRun, const QString &translationRun, QChar beside)
{
    if (!IsFullWidthPunctuation(beside) || translationRun.size() >= originalRun.size())
        return false;
    QString a = originalRun, b = translationRun;
    return a.remove(u' ') == b.remove(u' ');
}

class WhitespaceCheck : public PerEntryCheck {
public:
    WhitespaceCheck()
        : PerEntryCheck({QStringLiteral("whitespace"), QStringLiteral("White space at the ends"), Severity::Warning,
                         QStringLiteral("The translation starts and ends with the same white space (spaces, tabs, "
                                        "line breaks) as the original.")})
    {
    }

    void judge(const CheckedEntry &checked, const CheckContext &context, std::vector<Finding> &out) const override
    {
        const QString &original = checked.entry.original;
        const QString &translation = checked.entry.translation;
        const bool fullWidth = context.language.fullWidthMarks;
        QString a, b;
        const qsizetype originalLead = LeadingSpaceEnd(original, &a);
        const qsizetype translationLead = LeadingSpaceEnd(translation, &b);
        if (a != b && !(fullWidth && translationLead < translation.size()
                        && spaceTakenByMark(a, b, translation[translationLead])))
            out.push_back(finding(checked.entry, QStringLiteral("The original starts with %1, the translation with %2")
                                                     .arg(describeRun(a), describeRun(b))));
        // A text of white space alone has been judged by its start.
        if (originalLead == original.size() || translationLead == translation.size())
            return;
        const qsizetype translationTrail = TrailingSpaceStart(translation, &b);
        TrailingSpaceStart(original, &a);
        if (a != b && !(fullWidth && translationTrail > 0 && spaceTakenByMark(a, b, translation[translationTrail - 1])))
            out.push_back(finding(checked.entry, QStringLiteral("The original ends with %1, the translation with %2")
                                                     .arg(describeRun(a), describeRun(b))));
    }
};

class DoubleSpaceCheck : public PerEntryCheck {
public:
    DoubleSpaceCheck()
        : PerEntryCheck({QStringLiteral("double-space"), QStringLiteral("Double space"), Severity::Warning,
                         QStringLiteral("The translation has no two spaces in a row inside it where the original "
                                        "has none.")})
    {
    }

    void judge(const CheckedEntry &checked, const CheckContext &, std::vector<Finding> &out) const override
    {
        if (!checked.translation.has(TextTraits::DoubleSpace) || checked.original.has(TextTraits::DoubleSpace))
            return;
        const QString &text = checked.entry.translation;
        const qsizetype from = LeadingSpaceEnd(text);
        const qsizetype to = TrailingSpaceStart(text);
        for (qsizetype i = from; i + 1 < to; ++i) {
            if (IsCheckSpace(text[i]) && IsCheckSpace(text[i + 1])) {
                out.push_back(finding(checked.entry,
                                      QStringLiteral("The translation has two spaces in a row (%1), the original none")
                                          .arg(ExcerptForMessage(text, i, 2))));
                return;
            }
        }
    }
};

// Whether the language's script needs the character.
bool belongsToScript(QChar c, const CheckLanguage &language)
{
    const char16_t u = c.unicode();
    if (language.rightToLeft && (u == 0x200e || u == 0x200f || u == 0x061c || (u >= 0x202a && u <= 0x202e)
                                 || (u >= 0x2066 && u <= 0x2069)))
        return true;
    if (language.usesJoiners && (u == 0x200c || u == 0x200d))
        return true;
    return language.usesZeroWidthSpace && u == 0x200b;
}

class InvisibleCheck : public PerEntryCheck {
public:
    InvisibleCheck()
        : PerEntryCheck({QStringLiteral("invisible"), QStringLiteral("Invisible character"), Severity::Warning,
                         QStringLiteral("The translation holds no zero-width, directional, control or other "
                                        "invisible character the original lacks (except those its script needs).")})
    {
    }

    void judge(const CheckedEntry &checked, const CheckContext &context, std::vector<Finding> &out) const override
    {
        if (!checked.translation.has(TextTraits::Invisible))
            return;
        const QString &original = checked.entry.original;
        const QString &translation = checked.entry.translation;
        std::map<char16_t, qsizetype> counts;  // the translation's invisible characters, by character
        for (const QChar c : translation) {
            if (IsInvisibleCharacter(c) && !belongsToScript(c, context.language))
                ++counts[c.unicode()];
        }
        QStringList names;
        bool originalHasSome = false;
        qsizetype shownAt = -1;
        for (const auto &[c, count] : counts) {
            const qsizetype there = checked.original.has(TextTraits::Invisible) ? original.count(QChar(c)) : 0;
            if (count <= there)
                continue;
            names.append(InvisibleCharacterName(QChar(c)));
            originalHasSome = originalHasSome || there > 0;
            if (shownAt < 0)
                shownAt = translation.indexOf(QChar(c));
        }
        if (names.isEmpty())
            return;
        out.push_back(finding(checked.entry, QStringLiteral("The translation holds %1 in %2, the original %3")
                                                 .arg(JoinForMessage(names), ExcerptForMessage(translation, shownAt, 1),
                                                      originalHasSome ? QStringLiteral("fewer") : QStringLiteral("none"))));
    }
};

} // namespace

CheckList SpaceChecks()
{
    return {std::make_shared<WhitespaceCheck>(), std::make_shared<DoubleSpaceCheck>(),
            std::make_shared<InvisibleCheck>()};
}
