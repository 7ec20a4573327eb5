// Accelerator marks and the punctuation a text ends with.

#include "checks/builtin_checks.h"
#include "checks/check_text.h"

#include <QStringList>
#include <algorithm>

namespace {

QString markText(QStringView text, qsizetype at) { return QuoteForMessage(text.mid(at, 2)); }

class AcceleratorCheck : public PerEntryCheck {
public:
    AcceleratorCheck()
        : PerEntryCheck({QStringLiteral("accelerator"), QStringLiteral("Accelerator"), Severity::Warning,
                         QStringLiteral("An original with an accelerator mark (& before a character other than & "
                                        "or a space) needs exactly one in the translation; one without needs "
                                        "none. && is a plain ampersand.")})
    {
    }

    void judge(const CheckedEntry &checked, const CheckContext &, std::vector<Finding> &out) const override
    {
        if (!checked.either(TextTraits::Ampersand))
            return;
        const QString &original = checked.entry.original;
        const QString &translation = checked.entry.translation;
        const std::vector<qsizetype> inOriginal = AcceleratorMarks(original);
        const std::vector<qsizetype> inTranslation = AcceleratorMarks(translation);
        if (inOriginal.empty() == inTranslation.empty() && inTranslation.size() <= 1)
            return;
        QString message;
        if (inTranslation.empty()) {
            message = QStringLiteral("The original has the accelerator %1, the translation none")
                          .arg(markText(original, inOriginal.front()));
        } else if (inOriginal.empty()) {
            message = QStringLiteral("The original has no accelerator, the translation %1")
                          .arg(markText(translation, inTranslation.front()));
        } else {
            QStringList marks;
            for (const qsizetype at : inTranslation)
                marks.append(markText(translation, at));
            message = QStringLiteral("The translation has %1 accelerators (%2), it needs exactly one")
                          .arg(inTranslation.size())
                          .arg(JoinForMessage(marks));
        }
        out.push_back(finding(checked.entry, message));
    }
};

enum class EndClass { None, FullStop, Question, Exclamation, Colon, Semicolon, Ellipsis, TwoDots };

struct TextEnd {
    EndClass kind = EndClass::None;
    QStringView mark;        // the marks as written ("?", "...", "。")
    QString trailingSpace;   // the white space after the text, as compared
};

bool isClosing(QChar c)
{
    return QStringView(u"\"')]}\u00bb\u203a\u201c\u201d\u2018\u2019\u300d\u300f\u3011\u3009\u300b\u3015\uff09"
                       u"\uff3d\uff5d\uff02\uff07")
        .contains(c);
}

bool isDotLike(QChar c) { return c == u'.' || c == u'\uff0e' || c == u'\u30fb' || c == u'\u3002'; }

EndClass classOf(QChar c, const CheckLanguage &language)
{
    switch (c.unicode()) {
    case u'.': case 0x3002: case 0xff61: case 0xff0e: case 0x0964: case 0x06d4: case 0x1362: case 0x17d4:
    case 0x104b: case 0x0589:
        return EndClass::FullStop;
    case u'?': case 0xff1f: case 0x061f: case 0x037e: case 0x055e: case 0x1367:
        return EndClass::Question;
    case u'!': case 0xff01: case 0x055c:
        return EndClass::Exclamation;
    case u':': case 0xff1a:
        return EndClass::Colon;
    case u';': case 0xff1b: case 0x061b:
        return language.semicolonQuestion && c == u';' ? EndClass::Question : EndClass::Semicolon;
    case 0x2026: case 0x22ef:
        return EndClass::Ellipsis;
    default:
        return EndClass::None;
    }
}

TextEnd endOf(QStringView text, const CheckLanguage &language)
{
    TextEnd result;
    qsizetype end = TrailingSpaceStart(text, &result.trailingSpace);
    // An accelerator group a translation adds at the end ("(&F)"), closing
    // quotes and brackets, and the spaces between them are looked through.
    for (;;) {
        if (end >= 4 && AcceleratorGroupAt(text, end - 4) == 4)
            end -= 4;
        else if (end > 0 && (isClosing(text[end - 1]) || IsCheckSpace(text[end - 1])))
            --end;
        else
            break;
    }
    if (end == 0)
        return result;
    // Three dots or more, "…" or "⋯" make an ellipsis; two dots are a
    // mistake that ends neither way.
    qsizetype start = end;
    while (start > 0 && (isDotLike(text[start - 1]) || text[start - 1] == u'\u2026' || text[start - 1] == u'\u22ef'))
        --start;
    const QStringView run = text.mid(start, end - start);
    if (run.size() >= 3 || run.contains(u'\u2026') || run.contains(u'\u22ef')) {
        result.kind = EndClass::Ellipsis;
        result.mark = run;
        return result;
    }
    if (run.size() == 2) {
        result.kind = EndClass::TwoDots;
        result.mark = run;
        return result;
    }
    result.kind = classOf(text[end - 1], language);
    if (result.kind != EndClass::None)
        result.mark = text.mid(end - 1, 1);
    return result;
}

// The part of a menu text before its shortcut ("&Open\tCtrl+O"), when both
// texts have one.
QStringView beforeShortcut(QStringView text)
{
    const qsizetype tab = text.indexOf(u'\t');
    const qsizetype escaped = text.indexOf(QStringView(u"\\t"));
    const qsizetype at = tab < 0 ? escaped : (escaped < 0 ? tab : std::min(tab, escaped));
    return at < 0 ? text : text.left(at);
}

bool hasShortcut(QStringView text) { return text.contains(u'\t') || text.contains(QStringView(u"\\t")); }

QString describeEnd(const TextEnd &end)
{
    return end.kind == EndClass::None ? QStringLiteral("without punctuation")
                                      : QStringLiteral("with ") + QuoteForMessage(end.mark);
}

class EndPunctuationCheck : public PerEntryCheck {
public:
    EndPunctuationCheck()
        : PerEntryCheck({QStringLiteral("end-punctuation"), QStringLiteral("End punctuation"), Severity::Warning,
                         QStringLiteral("The translation ends with the punctuation the original ends with (full "
                                        "stop, question or exclamation mark, colon, ellipsis or none), looking "
                                        "through closing quotes and brackets and taking the language's forms.")})
    {
    }

    void judge(const CheckedEntry &checked, const CheckContext &context, std::vector<Finding> &out) const override
    {
        QStringView original = checked.entry.original;
        QStringView translation = checked.entry.translation;
        // A tab is an invisible character, the escape "\t" starts with a backslash.
        constexpr std::uint32_t shortcutTraits = TextTraits::Invisible | TextTraits::Backslash;
        if (checked.original.has(shortcutTraits) && checked.translation.has(shortcutTraits) && hasShortcut(original)
            && hasShortcut(translation)) {
            original = beforeShortcut(original);
            translation = beforeShortcut(translation);
        }
        const TextEnd a = endOf(original, CheckLanguage());
        const TextEnd b = endOf(translation, context.language);
        // A difference of white space at the end is the whitespace check's.
        if (a.kind == b.kind || a.trailingSpace != b.trailingSpace)
            return;
        if (context.language.endsWithoutMarks && b.kind == EndClass::None)
            return;
        out.push_back(finding(checked.entry, QStringLiteral("The original ends %1, the translation %2")
                                                 .arg(describeEnd(a), describeEnd(b))));
    }
};

} // namespace

CheckList MarkChecks() { return {std::make_shared<AcceleratorCheck>(), std::make_shared<EndPunctuationCheck>()}; }
