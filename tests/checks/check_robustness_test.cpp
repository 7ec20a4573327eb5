// Every check on random texts made of the pieces they look for, in every
// kind of language: no check reads outside its texts (the sanitizer build
// runs this), every finding names a known check and says something, and
// the same texts always give the same messages, which ignore marks rely on.

#include "check_fixture.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

TEST(CheckRobustness, RandomTextsGiveWellFormedRepeatableFindings)
{
    const QStringList pieces = {
        "a", "Datei ", " ", "  ", "&", "&&", "(&F)", "（&F）", "(", ")", "[", "]", "{", "}", "（", "）", "%", "%s",
        "%1$s", "%2$d", "%1", "%L1", "%%", "1", "1,000", "1.5", "1 000", "３", "\\n", "\\", "\\t", "\t", "?", "!",
        ":", ";", ".", "...", "…", "。", "？", "¿", "«", "»", "\"", "„", "“", "http://", "https://x.org/a?b", "www.",
        "@", "a@b.c", "die die", "Sie sie", ", die die", "vous vous", "iCal", "E", "é", "\u200b", "\u200d",
        "\ufeff", "\u00a0", "\u202f", "\u3000", "\U0001F600", QString(QChar(0xd800)), "ファイル", "日本", "ไทย",
        "Ωμέγα", "Файл"};
    const char *const languages[] = {"", "DEU", "FRA", "ESP", "JPN", "RUS", "ELL", "ARA", "THA", "CHS"};
    QRandomGenerator random(17);
    auto text = [&] {
        QString out;
        for (int n = random.bounded(0, 7); n > 0; --n)
            out += pieces[random.bounded(int(pieces.size()))];
        return out;
    };
    const CheckRegistry registry;
    int warnings = 0;
    for (const char *code : languages) {
        const CheckSet set = builtInSet(QString::fromLatin1(code));
        for (int round = 0; round < 3000; ++round) {
            const QString original = text();
            const QString translation = random.bounded(5) == 0 ? original : text();
            const std::vector<Judged> first = judgeTexts(set, original, translation);
            const std::vector<Judged> again = judgeTexts(set, QString(original.data(), original.size()),
                                                         QString(translation.data(), translation.size()));
            ASSERT_EQ(first.size(), again.size());
            for (size_t i = 0; i < first.size(); ++i) {
                ASSERT_NE(registry.find(first[i].check), nullptr) << first[i].check.toStdString();
                ASSERT_FALSE(first[i].message.isEmpty()) << first[i].check.toStdString();
                ASSERT_EQ(first[i].message, again[i].message);
                const bool real = !translation.isEmpty() && translation != original;
                ASSERT_TRUE(real || first[i].severity == Severity::Error)
                    << code << ": " << qPrintable(original) << " | " << qPrintable(translation);
                warnings += first[i].severity == Severity::Warning;
            }
        }
    }
    EXPECT_GT(warnings, 10000);  // the pieces reach the checks
}

} // namespace
