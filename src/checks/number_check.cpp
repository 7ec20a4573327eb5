// The numbers of a translation against those of its original, as values:
// "1,000" in the original is "1.000" or "1 000" in German and French, "1.5"
// is "1,5"; digits inside placeholders, URLs and mail addresses are code,
// not numbers.

#include "checks/builtin_checks.h"
#include "checks/check_text.h"

#include <QHash>
#include <QStringList>
#include <algorithm>

namespace {

struct NumberValue {
    QString value;    // compared: ASCII digits, no leading zeros, "." before a fraction without trailing zeros
    QString written;  // shown: as the text writes it
};
using Reading = std::vector<NumberValue>;

// A number as written: runs of digits and the separators between them.
struct WrittenNumber {
    QStringList groups;     // ASCII digits of each run
    QString separators;     // one per gap, normalised: ',' '.' ' ' '\'' or 'd' (Arabic decimal) 'g' (Arabic group)
    QString written;
    std::vector<Reading> readings;  // the first is the one messages show
};

QChar separatorKind(QChar c, bool spaces)
{
    switch (c.unicode()) {
    case u',': case 0xff0c: return u',';
    case u'.': case 0xff0e: return u'.';
    case u'\'': case 0x2019: return u'\'';
    case 0x066b: return u'd';
    case 0x066c: return u'g';
    case u' ': case 0xa0: case 0x202f: case 0x2009: return spaces ? QChar(u' ') : QChar();
    default: return QChar();
    }
}

QString withoutLeadingZeros(const QString &digits)
{
    qsizetype i = 0;
    while (i + 1 < digits.size() && digits[i] == u'0')
        ++i;
    return digits.mid(i);
}

// The value under one convention: `group` holds the separators that group
// thousands, `decimal` the one before a fraction. Empty when the number is
// not written that way.
QString readAs(const WrittenNumber &number, QStringView group, QChar decimal)
{
    QString integer = number.groups.first();
    QString fraction;
    bool grouped = false;
    for (qsizetype i = 0; i < number.separators.size(); ++i) {
        const QChar separator = number.separators[i];
        const QString &next = number.groups[i + 1];
        if (group.contains(separator) && fraction.isNull()) {
            // Thousands: three digits after each separator, one to three
            // before the first.
            if (next.size() != 3 || (!grouped && number.groups.first().size() > 3))
                return QString();
            grouped = true;
            integer += next;
        } else if ((separator == decimal || separator == u'd') && fraction.isNull()) {
            fraction = next;
        } else {
            return QString();
        }
    }
    QString value = withoutLeadingZeros(integer);
    while (fraction.endsWith(u'0'))
        fraction.chop(1);
    if (!fraction.isEmpty())
        value += u'.' + fraction;
    return value;
}

void addReading(WrittenNumber &number, const QString &value)
{
    if (value.isEmpty())
        return;
    for (const Reading &reading : number.readings) {
        if (reading.size() == 1 && reading.front().value == value)
            return;
    }
    number.readings.push_back({{value, number.written}});
}

// The ways a number may be read: as the English original writes numbers,
// as the language writes them, and as separate numbers ("1.2.3", a date).
void read(WrittenNumber &number, bool english, const CheckLanguage &language)
{
    if (number.separators.isEmpty()) {
        number.readings.push_back({{withoutLeadingZeros(number.groups.first()), number.written}});
        return;
    }
    addReading(number, readAs(number, u", g", u'.'));
    if (!english && language.decimalComma)
        addReading(number, readAs(number, u". 'g", u','));
    Reading apart;
    for (const QString &group : number.groups)
        apart.push_back({withoutLeadingZeros(group), group});
    number.readings.push_back(std::move(apart));
}

bool insideSpan(const TextSpans &spans, size_t &next, qsizetype at)
{
    while (next < spans.size() && spans[next].second <= at)
        ++next;
    return next < spans.size() && spans[next].first <= at;
}

std::vector<WrittenNumber> numbersOf(QStringView text, int codeType, bool english, const CheckLanguage &language)
{
    const TextSpans spans = CodeSpans(text, codeType);
    const bool spaces = !english && language.spaceGroups;
    std::vector<WrittenNumber> numbers;
    size_t span = 0;
    qsizetype i = 0;
    auto digitsFrom = [&](qsizetype from, QString &digits) {
        qsizetype end = from;
        size_t probe = span;
        while (end < text.size() && text[end].isDigit() && !insideSpan(spans, probe, end)) {
            digits += QChar(u'0' + text[end].digitValue());
            ++end;
        }
        return end;
    };
    while (i < text.size()) {
        if (!text[i].isDigit() || insideSpan(spans, span, i)) {
            ++i;
            continue;
        }
        WrittenNumber number;
        QString digits;
        const qsizetype start = i;
        i = digitsFrom(i, digits);
        number.groups.append(digits);
        while (i + 1 < text.size()) {
            const QChar kind = separatorKind(text[i], spaces);
            if (kind.isNull() || !text[i + 1].isDigit())
                break;
            QString next;
            const qsizetype end = digitsFrom(i + 1, next);
            if (next.isEmpty())
                break;
            // A space joins only thousands: "1 000", never "page 1 20".
            if (kind == u' ' && (next.size() != 3 || number.groups.last().size() > 3))
                break;
            number.separators += kind;
            number.groups.append(next);
            i = end;
        }
        number.written = text.mid(start, i - start).toString();
        read(number, english, language);
        numbers.push_back(std::move(number));
    }
    return numbers;
}

// Whether some reading of each number makes the two lists equal as
// multisets of values. The readings to try are few: most numbers have one.
bool sameValues(const std::vector<WrittenNumber> &a, const std::vector<WrittenNumber> &b)
{
    std::vector<const WrittenNumber *> numbers;
    for (const WrittenNumber &n : a)
        numbers.push_back(&n);
    const size_t fromB = numbers.size();
    for (const WrittenNumber &n : b)
        numbers.push_back(&n);
    size_t combinations = 1;
    for (const WrittenNumber *n : numbers)
        combinations = std::min<size_t>(combinations * n->readings.size(), 4096);
    std::vector<size_t> choice(numbers.size(), 0);
    for (size_t round = 0; round < combinations; ++round) {
        QHash<QString, int> balance;
        for (size_t k = 0; k < numbers.size(); ++k) {
            for (const NumberValue &v : numbers[k]->readings[choice[k]])
                balance[v.value] += k < fromB ? 1 : -1;
        }
        if (std::all_of(balance.cbegin(), balance.cend(), [](int count) { return count == 0; }))
            return true;
        // The next combination, counting with mixed radices.
        for (size_t k = 0; k < numbers.size(); ++k) {
            if (++choice[k] < numbers[k]->readings.size())
                break;
            choice[k] = 0;
        }
    }
    return false;
}

// The first readings' values of a that b's first readings lack, as written.
QStringList surplus(const std::vector<WrittenNumber> &a, const std::vector<WrittenNumber> &b)
{
    QHash<QString, int> available;
    for (const WrittenNumber &n : b) {
        for (const NumberValue &v : n.readings.front())
            ++available[v.value];
    }
    QStringList left;
    for (const WrittenNumber &n : a) {
        for (const NumberValue &v : n.readings.front()) {
            int &count = available[v.value];
            if (count > 0)
                --count;
            else
                left.append(v.written);
        }
    }
    return left;
}

class NumbersCheck : public PerEntryCheck {
public:
    NumbersCheck()
        : PerEntryCheck({QStringLiteral("numbers"), QStringLiteral("Numbers"), Severity::Warning,
                         QStringLiteral("The translation holds the numbers of the original, each as often, in the "
                                        "language's way of writing them (1,000 = 1.000 = 1 000, 1.5 = 1,5); digits "
                                        "in placeholders and URLs do not count.")})
    {
    }

    void judge(const CheckedEntry &checked, const CheckContext &context, std::vector<Finding> &out) const override
    {
        if (!checked.either(TextTraits::Digit))
            return;
        const std::vector<WrittenNumber> inOriginal =
            numbersOf(checked.entry.original, context.codeType, true, context.language);
        const std::vector<WrittenNumber> inTranslation =
            numbersOf(checked.entry.translation, context.codeType, false, context.language);
        if (sameValues(inOriginal, inTranslation))
            return;
        const QString message =
            MissingAndNewMessage(surplus(inOriginal, inTranslation), surplus(inTranslation, inOriginal));
        if (!message.isEmpty())
            out.push_back(finding(checked.entry, message));
    }
};

} // namespace

CheckList NumberChecks() { return {std::make_shared<NumbersCheck>()}; }
