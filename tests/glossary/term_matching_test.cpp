// Terms found in originals (inflections, longest first, accelerators, the
// case flag) and the term checks on German and Russian translations with
// their inflections and compounds, a target of two words, and without a
// dictionary.

#include "checks/check_registry.h"
#include "checks/check_share.h"
#include "glossary/term_checks.h"
#include "glossary/term_matcher.h"
#include "spelling/dictionary_files.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <future>

namespace {

GlossaryEntry term(const char *source, QStringList targets, TermStatus status = TermStatus::Preferred,
                   bool caseSensitive = false)
{
    GlossaryEntry entry;
    entry.source = QString::fromUtf8(source);
    entry.targets = targets;
    entry.status = status;
    entry.caseSensitive = caseSensitive;
    return entry;
}

// "found=source;found=source" for the terms of an original.
QString termsIn(const TermIndex &index, WordStems &english, const QString &original)
{
    QStringList found;
    for (const TermMatch &match : index.find(original, english))
        found.append(original.mid(match.start, match.end - match.start) + u'='
                     + index.groups()[size_t(match.group)].source);
    return found.join(u';');
}

TEST(TermMatching, FindsWholeWordsInflectedLongestFirstPastAcceleratorsAndKeepsTheCaseFlag)
{
    ASSERT_TRUE(FindDictionary(QStringLiteral("en_US")).found()) << "run scripts/install-deps.sh";
    Glossary glossary;
    glossary.entries = {term("file", {"Datei"}),        term("open", {"öffnen"}),
                        term("camera", {"Kamera"}),     term("camera list", {"Kameraliste"}),
                        term("Windows", {"Windows"}, TermStatus::DoNotTranslate, true),
                        term("user account", {"Benutzerkonto"}), term("recording", {"Aufzeichnung"}),
                        term("setting", {"Einstellung"})};
    WordStems english(QStringLiteral("en_US"));
    const TermIndex index(glossary, english);
    const struct {
        const char *original;
        const char *expected;
    } table[] = {
        {"Open the file", "Open=open;file=file"},
        {"3 files opened", "files=file;opened=open"},              // inflections through the stems
        {"The camera list", "camera list=camera list"},            // never "camera" too
        {"Cameras and the camera", "Cameras=camera;camera=camera"},
        {"&Open Fi&le", "&Open=open;Fi&le=file"},                 // accelerator marks
        {"Profile and filed", "filed=file"},                      // whole words: not inside "Profile"
        {"Refile it unopened", ""},                                // a stem without the prefix is another word
        {"Windows and windows", "Windows=Windows"},               // case-sensitive entry
        {"User accounts", "User accounts=user account"},
        {"camera, list", "camera=camera"},                        // the words of a term stand together
        {"camera-list", "camera=camera"},
        {"a \\nfile and %sfile", "file=file;file=file"},          // escapes and conversions part words
        {"All recordings", "recordings=recording"},                // plurals the dictionary stems elsewhere
        {"Settings", "Settings=setting"},
        {"Recorded", ""},                                          // another form of "record", not "recording"
    };
    for (const auto &row : table)
        EXPECT_EQ(termsIn(index, english, QString::fromUtf8(row.original)), QString::fromUtf8(row.expected))
            << row.original;

    // Without a dictionary only whole words match.
    WordStems plain{QString()};
    const TermIndex plainIndex(glossary, plain);
    EXPECT_EQ(termsIn(plainIndex, plain, QStringLiteral("3 files opened, open file")), QStringLiteral("open=open;file=file"));
}

// The findings of the term checks for a file of `code` with the glossary.
class TermChecks : public ::testing::Test {
protected:
    QStringList judge(const char *code, const QByteArray &csv, const char *original, const char *translation)
    {
        const QString path = folder.path(QStringLiteral("terms.csv"));
        writeBytes(path, csv);
        CheckTarget target;
        target.context.language = CheckLanguageForCode(QString::fromLatin1(code));
        target.options.insert(QStringLiteral("glossary"), QStringList{path});
        QStringList problems;
        const CheckSet set = CheckRegistry::standard().makeSet(target, &problems);
        EXPECT_TRUE(problems.isEmpty()) << problems.join(u'\n').toStdString();
        StringEntry entry;
        entry.original = QString::fromUtf8(original);
        entry.translation = QString::fromUtf8(translation);
        std::vector<Finding> found;
        set.judgeEntry(entry, found);
        QStringList ids;
        for (const Finding &f : found) {
            if (f.checkId().contains(QStringLiteral("term"))) {
                ids.append(f.checkId());
                messages.append(f.message);
            }
        }
        return ids;
    }
    TempFolder folder;
    QStringList messages;
};

TEST_F(TermChecks, GermanInflectionsCompoundsForbiddenAndKeptTerms)
{
    ASSERT_TRUE(FindDictionary(QStringLiteral("de_DE")).found()) << "run scripts/install-deps.sh";
    const QByteArray csv = "source,target,status,case\n"
                           "file,Datei,,\n"
                           "file,File,forbidden,\n"
                           "camera list,Liste der Kameras,,\n"
                           "Rendaro,,do-not-translate,yes\n"
                           "folder,Ordner,,\n"
                           "folder,Verzeichnis,,\n"
                           "device list,Geräteliste,,\n"
                           "schedule,Zeitplan,,\n"
                           "plan,Plan,,\n";
    const struct {
        const char *original, *translation, *expected;
    } table[] = {
        {"Delete the file", "Die Datei löschen", ""},
        {"Delete the files", "Die Dateien löschen", ""},                         // plural
        {"Open the configuration file", "Die Konfigurationsdatei öffnen", ""},   // compound
        {"Save configuration files", "Konfigurationsdateien speichern", ""},     // inflected compound
        {"Delete the file", "Das Dokument löschen", "term"},
        {"Delete the file", "Das File löschen", "term,forbidden-term"},
        {"Show the camera list", "Die Liste der Kameras zeigen", ""},            // two-word target
        {"Show the camera list", "Die Kameras zeigen", "term"},
        {"About Rendaro", "Über Rendaro", ""},
        {"About Rendaro", "Über RENDARO", "untranslated-term"},                  // kept as it is written
        {"Open the folder", "Den Ordner öffnen", ""},                            // rows of one term are alternatives
        {"Open the folder", "Das Verzeichnis öffnen", ""},
        {"Open the folder", "Die Mappe öffnen", "term"},
        // Compounds the dictionary does not know, inflected in their last part
        {"Show the device lists", "Die Gerätelisten zeigen", ""},
        {"Network device lists", "Netzwerkgerätelisten", ""},
        {"Show the device lists", "Die Geräte zeigen", "term"},
        {"Recording schedules", "Aufnahmezeitpläne", ""},                      // a plural with an umlaut
        {"Edit the schedule", "Die Zeitangabe bearbeiten", "term"},           // another word
        {"Two plans", "Zwei Pläne", ""},                                        // listed apart by the dictionary
        {"The plan", "Der Planet", "term"},
    };
    for (const auto &row : table) {
        messages.clear();
        EXPECT_EQ(judge("DEU", csv, row.original, row.translation).join(u','), QString::fromUtf8(row.expected))
            << row.original << " / " << row.translation;
    }
    messages.clear();
    judge("DEU", csv, "Delete the file", "Das File löschen");
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0], QStringLiteral("glossary term \"file\": the translation holds none of \"Datei\""));
    EXPECT_EQ(messages[1], QStringLiteral("glossary term \"file\": the translation holds \"File\", which the glossary forbids"));
    messages.clear();
    judge("DEU", csv, "Open the folder", "Die Mappe öffnen");
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QStringLiteral("glossary term \"folder\": the translation holds none of \"Ordner\", \"Verzeichnis\""));
}

TEST_F(TermChecks, RussianCasesAndALanguageWithoutADictionary)
{
    ASSERT_TRUE(FindDictionary(QStringLiteral("ru_RU")).found()) << "run scripts/install-deps.sh";
    const QByteArray csv = "source,target\nfile,файл\nfolder,папка\n";
    EXPECT_TRUE(judge("RUS", csv, "Open the file", "Открыть файл").isEmpty());
    EXPECT_TRUE(judge("RUS", csv, "Size of the file", "Размер файла").isEmpty());          // genitive
    EXPECT_TRUE(judge("RUS", csv, "Delete 5 files", "Удалить 5 файлов").isEmpty());        // genitive plural
    EXPECT_TRUE(judge("RUS", csv, "In the folder", "В папке").isEmpty());                  // prepositional
    EXPECT_EQ(judge("RUS", csv, "Open the file", "Открыть документ"), QStringList{"term"});
    // Russian compounds nothing: a longer word is another word.
    EXPECT_EQ(judge("RUS", csv, "Open the file", "Открыть профайл"), QStringList{"term"});

    // Esperanto has no dictionary here: whole words, and the message says so.
    messages.clear();
    const QByteArray eo = "source,target\nfile,dosiero\n";
    EXPECT_TRUE(judge("XXX", eo, "Open the file", "Malfermi dosieron").size() == 1);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("words compared whole"))) << messages[0].toStdString();
    EXPECT_TRUE(judge("XXX", eo, "Open the file", "Malfermi la dosiero").isEmpty());
}

// A command judges a large file with a set of checks per thread; sets made
// with one share read the glossary and load the dictionaries once, and judge
// alike on their threads over the shared dictionaries.
TEST_F(TermChecks, SetsOfOneFileShareTheGlossaryAndJudgeAlikeOnTheirThreads)
{
    ASSERT_TRUE(FindDictionary(QStringLiteral("de_DE")).found()) << "run scripts/install-deps.sh";
    const QString path = folder.path(QStringLiteral("terms.csv"));
    writeBytes(path, "source,target\nfile,Datei\nfolder,Ordner\n");
    CheckTarget target;
    target.context.language = CheckLanguageForCode(QStringLiteral("DEU"));
    target.options.insert(QStringLiteral("glossary"), QStringList{path});
    target.options.insert(QStringLiteral("share"), QVariant::fromValue(std::make_shared<CheckShare>()));
    std::vector<std::future<CheckSet>> making;
    for (int i = 0; i < 3; ++i)
        making.push_back(std::async(std::launch::async, [&target] { return CheckRegistry::standard().makeSet(target); }));
    std::vector<CheckSet> sets;
    for (auto &set : making)
        sets.push_back(set.get());
    // Another glossary on disk now: the share keeps the one read.
    writeBytes(path, "source,target\nfile,Dokument\n");
    sets.push_back(CheckRegistry::standard().makeSet(target));

    const struct {
        const char *original, *translation;
        bool flagged;
    } table[] = {
        {"Delete the files", "Die Dateien löschen", false},
        {"Open the configuration file", "Die Konfigurationsdatei öffnen", false},
        {"Delete the file", "Das Dokument löschen", true},
        {"Open the folders", "Die Ordner öffnen", false},
        {"Open the folder", "Die Mappe öffnen", true},
        {"Save the file in the folder", "Die Datei im Verzeichnis speichern", true},
    };
    auto judgeAll = [&table](const CheckSet &set) {
        QStringList verdicts;
        for (int round = 0; round < 50; ++round) {
            for (const auto &row : table) {
                StringEntry entry;
                entry.original = QString::fromUtf8(row.original) + QString(round % 3, u' ');
                entry.translation = QString::fromUtf8(row.translation);
                std::vector<Finding> found;
                set.judgeEntry(entry, found);
                const bool flagged = std::any_of(found.begin(), found.end(),
                                                 [](const Finding &f) { return f.checkId() == u"term"; });
                if (flagged != row.flagged)
                    verdicts.append(QString::fromUtf8(row.original) + QStringLiteral(" / ") + QString::fromUtf8(row.translation));
            }
        }
        return verdicts;
    };
    std::vector<std::future<QStringList>> judging;
    for (const CheckSet &set : sets)
        judging.push_back(std::async(std::launch::async, [&judgeAll, &set] { return judgeAll(set); }));
    for (auto &verdicts : judging) {
        const QStringList wrong = verdicts.get();
        EXPECT_TRUE(wrong.isEmpty()) << wrong.join(u'\n').toStdString();
    }
}

} // namespace
