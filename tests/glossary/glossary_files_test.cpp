// Reading glossaries: a TBX written after the TBX-Basic samples, a CSV with
// quotes, commas and bad rows, a phrase book, refused entity declarations;
// TBX and CSV written and read back; the shared glossary beside the files.

#include "glossary/glossary_csv.h"
#include "glossary/glossary_files.h"
#include "glossary/glossary_tbx.h"
#include "test_support.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

const char kTbx[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE martif SYSTEM "TBXBasiccoreStructV02.dtd">
<martif type="TBX-Basic" xml:lang="en-US">
  <martifHeader><fileDesc><sourceDesc><p>Cameras</p></sourceDesc></fileDesc></martifHeader>
  <text>
    <body>
      <termEntry id="c1">
        <descrip type="subjectField">video</descrip>
        <langSet xml:lang="en-US">
          <descripGrp><descrip type="definition">A list of the cameras of a site</descrip></descripGrp>
          <tig>
            <term>camera list</term>
            <termNote type="partOfSpeech">noun</termNote>
          </tig>
        </langSet>
        <langSet xml:lang="de-DE">
          <tig>
            <term>Kameraliste</term>
            <termNote type="administrativeStatus">preferredTerm-admn-sts</termNote>
          </tig>
          <ntig>
            <termGrp>
              <term>Kamera-Liste</term>
              <termNote type="administrativeStatus">deprecatedTerm-admn-sts</termNote>
            </termGrp>
          </ntig>
        </langSet>
        <langSet xml:lang="fr"><tig><term>liste des caméras</term></tig></langSet>
      </termEntry>
      <termEntry id="c2">
        <langSet xml:lang="de"><tig><term>Aufnahme</term></tig></langSet>
      </termEntry>
      <termEntry id="c3">
        <langSet xml:lang="en"><tig><term>recording</term></tig></langSet>
        <langSet xml:lang="de"><tig><term>Aufnahme</term><termNote type="administrativeStatus">admittedTerm-admn-sts</termNote></tig></langSet>
      </termEntry>
    </body>
  </text>
</martif>
)";

TEST(GlossaryFiles, ReadsTbxBasicForTheLanguageAskedFor)
{
    GlossaryRead read = ReadGlossaryTbx(kTbx, QStringLiteral("de"));
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    ASSERT_EQ(read.glossary.entries.size(), 3u);
    const GlossaryEntry &list = read.glossary.entries[0];
    EXPECT_EQ(list.source, QStringLiteral("camera list"));
    EXPECT_EQ(list.targets, QStringList{QStringLiteral("Kameraliste")});
    EXPECT_EQ(list.status, TermStatus::Preferred);
    EXPECT_EQ(list.partOfSpeech, QStringLiteral("noun"));
    EXPECT_EQ(list.note, QStringLiteral("A list of the cameras of a site"));
    EXPECT_EQ(read.glossary.entries[1].status, TermStatus::Forbidden);  // the deprecated term
    EXPECT_EQ(read.glossary.entries[1].targets, QStringList{QStringLiteral("Kamera-Liste")});
    EXPECT_EQ(read.glossary.entries[2].targets, QStringList{QStringLiteral("Aufnahme")});
    ASSERT_EQ(read.problems.size(), 1);  // c2 has no English term
    EXPECT_TRUE(read.problems[0].startsWith(QStringLiteral("line 30: "))) << read.problems[0].toStdString();

    // French, and the first language when none is asked for.
    read = ReadGlossaryTbx(kTbx, QStringLiteral("fr-FR"));
    ASSERT_EQ(read.glossary.entries.size(), 1u);
    EXPECT_EQ(read.glossary.entries[0].targets, QStringList{QString::fromUtf8("liste des caméras")});
    read = ReadGlossaryTbx(kTbx, QString());
    EXPECT_EQ(read.glossary.language, QStringLiteral("de-DE"));

    // Entities of its own are refused before anything is read.
    const char bomb[] = "<?xml version=\"1.0\"?>\n<!DOCTYPE martif [<!ENTITY a \"aaaa\">]>\n<martif>&a;</martif>";
    read = ReadGlossaryTbx(bomb, QStringLiteral("de"));
    EXPECT_TRUE(read.error.contains(QStringLiteral("DOCTYPE with declarations"))) << read.error.toStdString();
    EXPECT_FALSE(ReadGlossaryTbx("<tmx/>", QString()).ok());
    EXPECT_FALSE(ReadGlossaryTbx("<martif><text>", QString()).ok());
}

TEST(GlossaryFiles, ReadsCsvWithQuotesAndCommasNamingEachBadRow)
{
    const QByteArray csv = "\xef\xbb\xbf" "Source,Target,Note,POS,Status,Case,Reviewer\n"
                           "file,Datei,\"a file, on disk\",noun,,,anna\n"
                           "\"camera list\",\"Kameraliste | Liste der Kameras\",\"say \"\"list\"\"\",,,no,\n"
                           "record,Aufnahme,maybe,,maybe,,\n"      // bad status
                           "\"two\nlines\",zwei,,,,,\n"            // a quoted line break
                           ",Ordner,,,,,\n"                        // no source
                           "Rendaro,,,,do-not-translate,yes,\n"
                           "x,y,,,,,,,,\n"                         // too many fields
                           "File,,,,forbidden,,\n"                 // no forbidden word
                           ",Ordnerchen,,,forbidden,,\n"
                           "\"open\" now,öffnen,,,,,\n";            // text after a quote
    const GlossaryRead read = ReadGlossaryCsv(csv, u',');
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    ASSERT_EQ(read.glossary.entries.size(), 5u);
    EXPECT_EQ(read.glossary.entries[0].note, QStringLiteral("a file, on disk"));
    EXPECT_EQ(read.glossary.entries[0].line, 2);
    EXPECT_EQ(read.glossary.entries[1].targets,
              (QStringList{QStringLiteral("Kameraliste"), QStringLiteral("Liste der Kameras")}));
    EXPECT_EQ(read.glossary.entries[1].note, QStringLiteral("say \"list\""));
    EXPECT_EQ(read.glossary.entries[2].source, QStringLiteral("two\nlines"));
    EXPECT_EQ(read.glossary.entries[3].status, TermStatus::DoNotTranslate);
    EXPECT_TRUE(read.glossary.entries[3].caseSensitive);
    EXPECT_TRUE(read.glossary.entries[4].source.isEmpty());
    const QStringList lines = [&] {
        QStringList l;
        for (const QString &p : read.problems)
            l.append(p.section(u':', 0, 0));
        return l;
    }();
    EXPECT_EQ(lines, (QStringList{"line 4", "line 7", "line 9", "line 10", "line 12"})) << read.problems.join(u'\n').toStdString();
    EXPECT_TRUE(read.problems[0].contains(QStringLiteral("\"maybe\"")));

    EXPECT_FALSE(ReadGlossaryCsv("term;translation\n", u',').ok());  // no source and target columns
    EXPECT_FALSE(ReadGlossaryCsv("source,target\n\xff\xfe,x\n", u',').ok());
    const GlossaryRead tsv = ReadGlossaryCsv("source\ttarget\nfile\tDatei, Akte\n", u'\t');
    ASSERT_EQ(tsv.glossary.entries.size(), 1u);
    EXPECT_EQ(tsv.glossary.entries[0].targets, QStringList{QStringLiteral("Datei, Akte")});
}

TEST(GlossaryFiles, ReadsPhraseBooksAndWritesTbxAndCsvThatReadBackTheSame)
{
    const QByteArray qph = "<!DOCTYPE QPH>\n<QPH sourcelanguage=\"en\" language=\"de\">\n"
                           "<phrase><source>file</source><target>Datei</target><definition>on disk</definition></phrase>\n"
                           "<phrase><source>folder</source></phrase>\n</QPH>\n";
    const GlossaryRead book = ReadGlossaryQph(qph);
    ASSERT_TRUE(book.ok()) << book.error.toStdString();
    EXPECT_EQ(book.glossary.language, QStringLiteral("de"));
    ASSERT_EQ(book.glossary.entries.size(), 1u);
    EXPECT_EQ(book.glossary.entries[0].note, QStringLiteral("on disk"));
    EXPECT_EQ(book.problems, QStringList{QStringLiteral("line 4: the phrase has no target")});

    Glossary glossary;
    glossary.language = QStringLiteral("de");
    auto add = [&](const char *source, QStringList targets, TermStatus status, const char *note, bool cased) {
        GlossaryEntry e;
        e.source = QString::fromUtf8(source);
        e.targets = targets;
        e.status = status;
        e.note = QString::fromUtf8(note);
        e.partOfSpeech = status == TermStatus::Preferred ? QStringLiteral("noun") : QString();
        e.caseSensitive = cased;
        glossary.entries.push_back(e);
    };
    add("file", {"Datei", "Akte"}, TermStatus::Preferred, "a \"file\", <on> disk & more", false);
    add("file", {"File"}, TermStatus::Forbidden, "", false);
    add("Rendaro", {}, TermStatus::DoNotTranslate, "", true);
    add("größe, \"quoted\"\nline", {"Größe"}, TermStatus::Preferred, "|a|", false);
    TempFolder folder;
    for (const char *name : {"g.tbx", "g.csv", "g.tsv"}) {
        const QString path = folder.path(QString::fromLatin1(name));
        QString error;
        ASSERT_TRUE(WriteGlossaryFile(path, glossary, &error)) << error.toStdString();
        const GlossaryRead back = ReadGlossaryFile(path, QStringLiteral("de"));
        ASSERT_TRUE(back.ok()) << name << back.error.toStdString();
        EXPECT_TRUE(back.problems.isEmpty()) << name << back.problems.join(u'\n').toStdString();
        ASSERT_EQ(back.glossary.entries.size(), glossary.entries.size()) << name;
        for (size_t i = 0; i < glossary.entries.size(); ++i) {
            GlossaryEntry expected = glossary.entries[i];
            if (QByteArray(name) == "g.tbx")  // XML reading folds spaces in a note
                expected.note = expected.note.simplified(), expected.source = expected.source.simplified();
            EXPECT_TRUE(back.glossary.entries[i] == expected) << name << " entry " << i;
        }
    }
    Glossary noLanguage = glossary;
    noLanguage.language.clear();
    QString error;
    EXPECT_FALSE(WriteGlossaryFile(folder.path(QStringLiteral("x.tbx")), noLanguage, &error));
    EXPECT_FALSE(WriteGlossaryFile(folder.path(QStringLiteral("x.doc")), glossary, &error));
}

TEST(GlossaryFiles, TheSharedGlossaryIsTheNearestBesideOrAboveTheFile)
{
    TempFolder folder;
    QDir(folder.root()).mkpath(QStringLiteral("Lang/DEU"));
    const QString file = folder.path(QStringLiteral("Lang/DEU/ViewResDEU.xml"));
    writeBytes(file, "<Language/>");
    EXPECT_TRUE(FindGlossaryFiles(file).isEmpty() || !FindGlossaryFiles(file).first().startsWith(folder.root()));
    writeBytes(folder.path(QStringLiteral("glossary.csv")), "source,target\n");
    EXPECT_EQ(FindGlossaryFiles(file), QStringList{folder.path(QStringLiteral("glossary.csv"))});
    writeBytes(folder.path(QStringLiteral("Lang/glossary.tbx")), "<martif/>");
    writeBytes(folder.path(QStringLiteral("Lang/glossary.csv")), "source,target\n");
    EXPECT_EQ(FindGlossaryFiles(file), (QStringList{folder.path(QStringLiteral("Lang/glossary.tbx")),
                                                    folder.path(QStringLiteral("Lang/glossary.csv"))}));
    EXPECT_EQ(FindGlossaryFiles(folder.path(QStringLiteral("Lang"))).size(), 2);  // a language folder itself
}

TEST(GlossaryFiles, AnEntryAddedKeepsEverythingElseTheFileHolds)
{
    TempFolder folder;
    GlossaryEntry entry;
    entry.source = QStringLiteral("camera list");
    entry.targets = {QStringLiteral("Kameraliste"), QStringLiteral("Liste, \"Kameras\"")};
    entry.note = QStringLiteral("the site's cameras");
    const QString de = QStringLiteral("de");

    // CSV: the file's own columns (one the glossary does not know, another
    // order), CR LF line ends, a last line without its end.
    const QByteArray csv = "\xEF\xBB\xBFtarget,owner,source,note\r\nDatei,docs,file,on disk\r\n# kept,,as,it is";
    // TBX: comments, attributes and the indentation stay.
    const QByteArray tbx = QByteArray(kTbx).replace("<body>", "<body><!-- cameras -->");
    struct Case {
        const char *name;
        QByteArray before;
        QByteArray expectedTail;  // what follows the old bytes (CSV), or nothing
    } cases[] = {
        {"g.csv", csv, "\r\n\"Kameraliste|Liste, \"\"Kameras\"\"\",,camera list,the site's cameras\r\n"},
        {"g.tsv", "note\tsource\ttarget\n", "the site's cameras\tcamera list\t\"Kameraliste|Liste, \"\"Kameras\"\"\"\n"},
        {"g.tbx", tbx, ""},
    };
    for (const Case &c : cases) {
        const QString path = folder.path(QString::fromLatin1(c.name));
        writeBytes(path, c.before);
        const GlossaryRead before = ReadGlossaryFile(path, de);
        QString error;
        ASSERT_TRUE(AppendGlossaryEntry(path, entry, de, &error)) << c.name << error.toStdString();
        const QByteArray after = readBytes(path);
        if (!c.expectedTail.isEmpty()) {
            EXPECT_EQ(after, c.before + c.expectedTail) << c.name;
        }
        const GlossaryRead back = ReadGlossaryFile(path, de);
        ASSERT_TRUE(back.ok()) << c.name << back.error.toStdString();
        ASSERT_EQ(back.glossary.entries.size(), before.glossary.entries.size() + 1) << c.name;
        EXPECT_EQ(back.glossary.entries.back().source, entry.source) << c.name;
        EXPECT_EQ(back.glossary.entries.back().targets, entry.targets) << c.name;
        EXPECT_EQ(back.glossary.entries.back().note, entry.note) << c.name;
        for (size_t i = 0; i < before.glossary.entries.size(); ++i)
            EXPECT_TRUE(back.glossary.entries[i] == before.glossary.entries[i]) << c.name << " entry " << i;
    }
    // The TBX keeps its every byte before the new concept and after it.
    const QByteArray after = readBytes(folder.path(QStringLiteral("g.tbx")));
    const qsizetype body = tbx.lastIndexOf("    </body>");
    EXPECT_TRUE(after.startsWith(tbx.left(body)));
    EXPECT_TRUE(after.endsWith(tbx.mid(body)));
    EXPECT_TRUE(after.mid(body).startsWith("    <termEntry>\n      <descrip type=\"definition\">the site's cameras"));

    // A file that does not exist yet is made; one that cannot take the
    // entry stays as it was.
    QString error;
    const QString made = folder.path(QStringLiteral("new.csv"));
    ASSERT_TRUE(AppendGlossaryEntry(made, entry, de, &error));
    EXPECT_EQ(ReadGlossaryFile(made, de).glossary.entries.size(), 1u);
    for (const auto &[name, bytes] : {std::pair{"bad.csv", QByteArray("owner,date\nx,y\n")},
                                      std::pair{"bad.tbx", QByteArray("<martif><text/></martif>")},
                                      std::pair{"bad.qph", QByteArray("<QPH></QPH>")}}) {
        const QString path = folder.path(QString::fromLatin1(name));
        writeBytes(path, bytes);
        error.clear();
        EXPECT_FALSE(AppendGlossaryEntry(path, entry, de, &error)) << name;
        EXPECT_FALSE(error.isEmpty()) << name;
        EXPECT_EQ(readBytes(path), bytes) << name;
    }
}

} // namespace
