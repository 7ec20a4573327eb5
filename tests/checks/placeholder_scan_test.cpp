// The placeholder scanner and check against their plain definition: search
// ahead from every "%" to the next conversion letter, and search the
// translation for each placeholder of the original in turn. The plain form
// is quadratic on texts of many "%"; the real one must give the same answers.

#include "catalogue/catalogue_types.h"
#include "checks/text_checks.h"
#include "catalogue/messages.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

struct Found {
    QString text;
    qsizetype position;
};

std::vector<Found> plainScan(const QString &text, int codeType)
{
    std::vector<Found> found;
    if (codeType != CodeTypeCpp && codeType != CodeTypeQt)
        return found;
    const QString conversions = QStringLiteral("cdieEfgGosuxXpn");
    const QString flags = QStringLiteral("-+#0123456789*.hlL");
    for (qsizetype p = text.indexOf(u'%'); p >= 0; p = text.indexOf(u'%', p + 1)) {
        const QString rest = text.mid(p + 1);
        qsizetype length = 0;
        if (codeType == CodeTypeCpp) {
            qsizetype d = -1;
            for (qsizetype i = 0; i < rest.size() && d < 0; ++i) {
                if (conversions.contains(rest[i]))
                    d = i;
            }
            QString prefix = d >= 0 ? rest.left(d) : QString();
            if (prefix.isEmpty() && d >= 0) {
                length = 2;
            } else if (!prefix.isEmpty()) {
                while (!prefix.isEmpty() && flags.contains(prefix[0]))
                    prefix.remove(0, 1);
                if (prefix.isEmpty())
                    length = d + 2;
            }
        } else if (!rest.isEmpty() && QStringLiteral("0123456789").contains(rest[0])) {
            length = 2;
        }
        if (length > 0)
            found.push_back({text.mid(p, length), p});
    }
    return found;
}

CheckResult plainCheck(const QString &original, const QString &translation, int codeType)
{
    std::vector<Found> wanted = plainScan(original, codeType);
    qsizetype f = -1, missingFrom = -1;
    int missing = -1;
    for (size_t i = 0; i < wanted.size(); ++i) {
        const qsizetype g = translation.indexOf(wanted[i].text, f + 1);
        if (g < 0 && missing == -1) {
            missing = int(i);
            missingFrom = f;
        } else {
            wanted[i].position = g;
            f = g;
        }
    }
    std::vector<Found> extra;
    size_t j = 0;
    for (const Found &h : plainScan(translation, codeType)) {
        size_t k = j;
        while (k < wanted.size() && wanted[k].position != h.position)
            ++k;
        if (k < wanted.size())
            j = k + 1;
        else
            extra.push_back(h);
    }
    if (!extra.empty() && (missing == -1 || extra.front().position < missingFrom))
        return CheckResult::fail(MsgRemovePlaceholder, extra.front().text);
    if (missing >= 0)
        return CheckResult::fail(MsgPutPlaceholder, wanted[size_t(missing)].text);
    return CheckResult::pass();
}

std::vector<Found> scannerResults(const QString &text, int codeType)
{
    std::vector<Found> found;
    PlaceholderScanner scanner;
    for (QString p; !(p = scanner.NextPlaceholder(codeType, text)).isEmpty(); ++scanner.position)
        found.push_back({p, scanner.position});
    return found;
}

// Texts dense in "%", flags, conversion letters and digits, so that
// placeholders, near misses, repeats and out-of-order copies all occur.
QString randomText(QRandomGenerator &random, int maxLength)
{
    static const QString alphabet = QStringLiteral("%%%%sdlx.-*0129 aZ#hL");
    QString text;
    for (int i = random.bounded(maxLength + 1); i > 0; --i)
        text += alphabet[random.bounded(int(alphabet.size()))];
    return text;
}

TEST(PlaceholderScan, ScannerMatchesThePlainDefinitionOnRandomTexts)
{
    QRandomGenerator random(11);
    for (int round = 0; round < 20000; ++round) {
        const QString text = randomText(random, 24);
        for (int codeType : {int(CodeTypeCpp), int(CodeTypeQt), 5}) {
            const std::vector<Found> expected = plainScan(text, codeType), actual = scannerResults(text, codeType);
            ASSERT_EQ(actual.size(), expected.size()) << text.toStdString();
            for (size_t i = 0; i < expected.size(); ++i) {
                ASSERT_EQ(actual[i].text, expected[i].text) << text.toStdString();
                ASSERT_EQ(actual[i].position, expected[i].position) << text.toStdString();
            }
        }
    }
}

TEST(PlaceholderScan, CheckMatchesThePlainDefinitionOnRandomPairs)
{
    QRandomGenerator random(12);
    std::map<int, int> outcomes;  // message id (0: passed) -> count
    for (int round = 0; round < 40000; ++round) {
        const QString original = randomText(random, 20);
        // Half the translations are shuffled copies of the original, so that
        // they share placeholders in and out of order.
        QString translation = randomText(random, 20);
        if (round % 2 == 0) {
            translation = original;
            for (int swaps = random.bounded(4); swaps > 0 && translation.size() > 1; --swaps) {
                const qsizetype a = random.bounded(int(translation.size())), b = random.bounded(int(translation.size()));
                std::swap(translation[a], translation[b]);
            }
        }
        for (int codeType : {CodeTypeCpp, CodeTypeQt}) {
            const CheckResult expected = plainCheck(original, translation, codeType);
            const CheckResult actual = CheckPlaceholders(original, translation, codeType);
            ASSERT_EQ(actual.ok, expected.ok) << original.toStdString() << " / " << translation.toStdString();
            ASSERT_EQ(actual.messageId, expected.messageId) << original.toStdString() << " / " << translation.toStdString();
            ASSERT_EQ(actual.message, expected.message) << original.toStdString() << " / " << translation.toStdString();
            ++outcomes[actual.messageId];
        }
    }
    // Passing pairs and both messages must all have been exercised.
    EXPECT_GT(outcomes[0], 1000);
    EXPECT_GT(outcomes[MsgPutPlaceholder], 1000);
    EXPECT_GT(outcomes[MsgRemovePlaceholder], 1000);
}

} // namespace
