// rendaro-cli merge: three versions of a language file merged by entry.
// One table of cases, each a rule: the base, ours and theirs, then the
// merged file, the exit status, the conflicts listed and what is reported.

#include "cli_run_helper.h"
#include "merge/merge_conflicts.h"
#include "test_support.h"

namespace {

const QByteArray kRoot = "AllowLength=\"2.000000\" CodeType=\"CPlus2\"";

QByteArray lang(const QList<QByteArray> &lines, const QByteArray &root = kRoot) { return languageFile(root, lines); }

// The same file with LF line ends.
QByteArray withLf(QByteArray bytes) { return bytes.replace("\r\n", "\n"); }

QByteArray utf16le(const QByteArray &utf8)
{
    QByteArray out("\xFF\xFE", 2);
    for (const QChar c : QString::fromUtf8(utf8)) {
        out += char(c.unicode() & 0xFF);
        out += char(c.unicode() >> 8);
    }
    return out;
}

QString value(const std::optional<QString> &v) { return v ? *v : QStringLiteral("-"); }

QString place(const EntryLocation &location)
{
    return u'"' + location.original + u'"' + (location.key.isEmpty() ? QString() : u' ' + location.key)
        + (location.occurrence ? u'#' + QString::number(location.occurrence) : QString());
}

QString describe(const MergeConflict &c)
{
    QString where;
    switch (c.kind) {
    case MergeConflict::Kind::Attribute:
        where = QStringLiteral("attribute %1 of %2").arg(c.attribute, place(c.location));
        break;
    case MergeConflict::Kind::Setting:
        where = QStringLiteral("setting %1").arg(c.attribute);
        break;
    case MergeConflict::Kind::Removal:
        where = c.inFile ? QStringLiteral("removal of %1, kept").arg(place(c.location))
                         : QStringLiteral("removal of %1, after %2")
                               .arg(place(c.location), c.after ? place(*c.after) : QStringLiteral("none"));
        break;
    }
    return where + QStringLiteral(": ") + value(c.base) + QStringLiteral(" | ") + value(c.ours) + QStringLiteral(" | ")
        + value(c.theirs);
}

const QByteArray kOpen = R"(<L from="Open" to="Open" key="IDS_OPEN"/>)";
const QByteArray kSave = R"(<L from="Save" to="Save" key="IDS_SAVE"/>)";
const QByteArray kClose = R"(<L from="Close" to="Close" key="IDS_CLOSE"/>)";
const QByteArray kOpenDe = R"(<L from="Open" to="Öffnen" key="IDS_OPEN"/>)";
const QByteArray kSaveDe = R"(<L from="Save" to="Speichern" key="IDS_SAVE"/>)";
const QByteArray kCloseDe = R"(<L from="Close" to="Schließen" key="IDS_CLOSE"/>)";
const QByteArray kOdd = R"(<L  from='Fish &#38; Chips'   to="Fish &amp; Chips" key="IDS_FISH" />)";

struct MergeCase {
    const char *rule;
    QByteArray base, ours, theirs;
    QByteArray result;
    int status;
    QStringList conflicts;
    QStringList reported;  // lines the report holds
};

std::vector<MergeCase> mergeCases()
{
    const QByteArray base = lang({kOpen, kSave, kClose});
    return {
        {"a change on one side is taken", base, lang({kOpenDe, kSave, kClose}), lang({kOpen, kSave, kCloseDe}),
         lang({kOpenDe, kSave, kCloseDe}), 0, {}, {"Merged cleanly"}},
        {"the same change on both sides is taken once", base, lang({kOpenDe, kSave, kClose}),
         lang({kOpenDe, kSave, kClose}), lang({kOpenDe, kSave, kClose}), 0, {}, {}},
        {"different changes conflict and ours' value stays", base, lang({kOpenDe, kSave, kClose}),
         lang({R"(<L from="Open" to="Aufmachen" key="IDS_OPEN"/>)", kSave, kClose}), lang({kOpenDe, kSave, kClose}), 1,
         {"attribute to of \"Open\" IDS_OPEN: Open | Öffnen | Aufmachen"},
         {"Conflict: \"Open\" (IDS_OPEN) to: base \"Open\", ours \"Öffnen\", theirs \"Aufmachen\""}},
        {"each attribute is merged on its own", base, lang({kOpenDe, kSave, kClose}),
         lang({R"(<L from="Open" to="Open" key="IDS_OPEN_FILE"/>)", R"(<L from="Save" to="Save" key="IDS_SAVE" IsTrans="false"/>)",
               kClose}),
         lang({R"(<L from="Open" to="Öffnen" key="IDS_OPEN_FILE"/>)",
               R"(<L from="Save" to="Save" key="IDS_SAVE" IsTrans="false"/>)", kClose}),
         0, {}, {}},
        {"each setting is merged on its own", base, lang({kOpen, kSave, kClose}, "AllowLength=\"3.000000\" CodeType=\"CPlus2\""),
         lang({kOpen, kSave, kClose}, "AllowLength=\"2.000000\" CodeType=\"QT\""),
         lang({kOpen, kSave, kClose}, "AllowLength=\"3.000000\" CodeType=\"QT\""), 0, {}, {}},
        {"different settings conflict", base, lang({kOpen, kSave, kClose}, "AllowLength=\"3.000000\" CodeType=\"CPlus2\""),
         lang({kOpen, kSave, kClose}, "AllowLength=\"1.500000\" CodeType=\"CPlus2\""),
         lang({kOpen, kSave, kClose}, "AllowLength=\"3.000000\" CodeType=\"CPlus2\""), 1,
         {"setting AllowLength: 2.000000 | 3.000000 | 1.500000"}, {}},
        {"additions keep the order of their side", base,
         lang({kOpen, R"(<L from="New A" to="New A" key="IDS_A"/>)", kSave, kClose}),
         lang({R"(<L from="First" to="First"/>)", kOpen, kSave, R"(<L from="New B" to="New B" key="IDS_B"/>)",
               R"(<L from="New C" to="New C" key="IDS_C"/>)", kClose}),
         lang({R"(<L from="First" to="First"/>)", kOpen, R"(<L from="New A" to="New A" key="IDS_A"/>)", kSave,
               R"(<L from="New B" to="New B" key="IDS_B"/>)", R"(<L from="New C" to="New C" key="IDS_C"/>)", kClose}),
         0, {}, {}},
        {"an entry added on both sides is taken once, different values conflict", base,
         lang({kOpen, kSave, kClose, R"(<L from="Help" to="Hilfe" key="IDS_HELP"/>)",
               R"(<L from="Print" to="Drucken" key="IDS_PRINT"/>)"}),
         lang({kOpen, kSave, kClose, R"(<L from="Help" to="Hilfe" key="IDS_HELP"/>)",
               R"(<L from="Print" to="Ausdrucken" key="IDS_PRINT"/>)"}),
         lang({kOpen, kSave, kClose, R"(<L from="Help" to="Hilfe" key="IDS_HELP"/>)",
               R"(<L from="Print" to="Drucken" key="IDS_PRINT"/>)"}),
         1, {"attribute to of \"Print\" IDS_PRINT: - | Drucken | Ausdrucken"}, {}},
        {"an entry removed on one side and unchanged on the other goes", base, lang({kOpen, kSave}),
         lang({kOpen, kClose}), lang({kOpen}), 0, {}, {}},
        {"an entry removed on one side and changed on the other is a conflict; ours' state stays", base,
         lang({kOpen, kSaveDe}), lang({kOpen, kCloseDe}), lang({kOpen, kSaveDe}), 1,
         {"removal of \"Save\" IDS_SAVE, kept: " + QString::fromUtf8(kSave) + " | " + QString::fromUtf8(kSaveDe) + " | -",
          "removal of \"Close\" IDS_CLOSE, after \"Save\" IDS_SAVE: " + QString::fromUtf8(kClose) + " | - | "
              + QString::fromUtf8(kCloseDe)},
         {}},
        {"an original changed on one side while the other translated it is reset", base,
         lang({kOpenDe, kSave, kClose}), lang({R"(<L from="Open file..." to="Open file..." key="IDS_OPEN"/>)", kSave, kClose}),
         lang({R"(<L from="Open file..." to="Open file..." key="IDS_OPEN"/>)", kSave, kClose}), 0, {},
         {"Translation reset: \"Open file...\" (IDS_OPEN): theirs changed the original from \"Open\"; the translation "
          "\"Öffnen\" was for the old one"}},
        {"the changing side's own new translation of a changed original stays", base,
         lang({R"(<L from="Open file" to="Datei öffnen" key="IDS_OPEN"/>)", kSave, kClose}),
         lang({kOpenDe, kSave, kClose}), lang({R"(<L from="Open file" to="Datei öffnen" key="IDS_OPEN"/>)", kSave, kClose}),
         0, {}, {"Translation reset: \"Open file\" (IDS_OPEN): ours changed the original from \"Open\"; the translation "
                 "\"Öffnen\" was for the old one"}},
        {"without keys an element is found by its position", lang({R"(<L from="A" to="A"/>)", R"(<L from="B" to="B"/>)",
                                                                    R"(<L from="C" to="C"/>)"}),
         lang({R"(<L from="A" to="A"/>)", R"(<L from="B2" to="B2"/>)", R"(<L from="C" to="C"/>)"}),
         lang({R"(<L from="A" to="A"/>)", R"(<L from="B" to="Bt"/>)", R"(<L from="C" to="Ct"/>)"}),
         lang({R"(<L from="A" to="A"/>)", R"(<L from="B2" to="B2"/>)", R"(<L from="C" to="Ct"/>)"}), 0, {},
         {"Translation reset: \"B2\": ours changed the original from \"B\"; the translation \"Bt\" was for the old one"}},
        {"several elements of one original are told apart by key", lang({kOpen, R"(<L from="Open" to="Open" key="IDS_TB"/>)"}),
         lang({kOpen, R"(<L from="Open" to="Aufmachen" key="IDS_TB"/>)"}),
         lang({R"(<L from="Open" to="Open" key="IDS_TB"/>)", kOpenDe}),
         lang({kOpenDe, R"(<L from="Open" to="Aufmachen" key="IDS_TB"/>)"}), 0, {}, {}},
        {"elements neither side changed stay byte for byte",
         lang({kOpen, "<!-- files -->", kOdd, R"(<Note x="1"/>)", kClose}),
         lang({kOpenDe, "<!-- files -->", kOdd, R"(<Note x="1"/>)", kClose}),
         lang({kOpen, "<!-- files -->", R"(<L from="Fish &amp; Chips" to="Fish &amp; Chips" key="IDS_FISH"/>)",
               R"(<Note x="1"/>)", kCloseDe}),
         lang({kOpenDe, "<!-- files -->", kOdd, R"(<Note x="1"/>)", kCloseDe}), 0, {}, {}},
        {"an element both changed keeps ours' layout", lang({kOdd}),
         lang({R"(<L  from='Fish &#38; Chips'   to="Fish &amp; Chips" key='IDS_FISH2' />)"}),
         lang({R"(<L from="Fish &amp; Chips" to="Fisch &amp; Pommes" key="IDS_FISH"/>)"}),
         lang({R"(<L  from='Fish &#38; Chips'   to="Fisch &amp; Pommes" key='IDS_FISH2' />)"}), 0, {}, {}},
        {"what stands between elements is merged too", base, lang({kOpenDe, kSave, kClose}),
         lang({kOpen, "<!-- saving -->", kSave, kClose}), lang({kOpenDe, "<!-- saving -->", kSave, kClose}), 0, {}, {}},
        {"ours' line ends are kept", base, lang({kOpenDe, kSave, kClose}),
         withLf(lang({kOpen, kSave, kClose, R"(<L from="Help" to="Hilfe"/>)"})),
         lang({kOpenDe, kSave, kClose, R"(<L from="Help" to="Hilfe"/>)"}), 0, {}, {}},
        {"LF line ends stay LF", withLf(base), withLf(lang({kOpenDe, kSave, kClose})),
         lang({kOpen, kSave, R"(<L from="Help" to="Hilfe"/>)", kClose}),
         withLf(lang({kOpenDe, kSave, R"(<L from="Help" to="Hilfe"/>)", kClose})), 0, {}, {}},
        {"ours' encoding is kept", base, utf16le(lang({kOpenDe, kSave, kClose}).replace("UTF-8", "UTF-16")),
         lang({kOpen, kSave, kCloseDe}), utf16le(lang({kOpenDe, kSave, kCloseDe}).replace("UTF-8", "UTF-16")), 0, {}, {}},
        {"a character ours' encoding lacks becomes a reference", QByteArray(base).replace("UTF-8", "ISO-8859-1"),
         lang({"<L from=\"Open\" to=\"\xD6" "ffnen\" key=\"IDS_OPEN\"/>", kSave, kClose}).replace("UTF-8", "ISO-8859-1"),
         lang({kOpen, kSave, R"(<L from="Close" to="閉じる" key="IDS_CLOSE"/>)"}),
         lang({"<L from=\"Open\" to=\"\xD6" "ffnen\" key=\"IDS_OPEN\"/>", kSave,
               R"(<L from="Close" to="&#38281;&#12376;&#12427;" key="IDS_CLOSE"/>)"})
             .replace("UTF-8", "ISO-8859-1"),
         0, {}, {}},
        {"a file both sides added merges as one without a base", QByteArray(), lang({kOpenDe, kSave}),
         lang({kOpenDe, kSave, kClose}), lang({kOpenDe, kSave, kClose}), 0, {}, {}},
        {"without a base, different values conflict", QByteArray(), lang({kOpenDe}), lang({kOpen}), lang({kOpenDe}), 1,
         {"attribute to of \"Open\" IDS_OPEN: - | Öffnen | Open"}, {}},
        {"a file that is not a language file merges as text", "a\nb\nc\nd\ne\n", "a\nB\nc\nd\ne\n", "a\nb\nc\nd\nE\n",
         "a\nB\nc\nd\nE\n", 0, {}, {"Merged as text (the base is not a language file: line 1: syntax error)"}},
        {"text conflicts are marked as git marks them", "one\ntwo\n", "one\nmine\n", "one\nyours\n",
         "one\n<<<<<<< OURS\nmine\n=======\nyours\n>>>>>>> THEIRS\n", 1, {},
         {"Merged as text (the base is not a language file: line 1: syntax error): 1 conflict marked"}},
    };
}

} // namespace

class MergeCli : public FolderTest {};

TEST_F(MergeCli, MergesByEntry)
{
    // Run in the folder, with names that label the markers of a text merge.
    const WorkingFolder inFolder(folder.root());
    for (const MergeCase &c : mergeCases()) {
        SCOPED_TRACE(c.rule);
        write(QStringLiteral("base.xml"), c.base);
        write(QStringLiteral("OURS"), c.ours);
        write(QStringLiteral("THEIRS"), c.theirs);
        const QString out = folder.path(QStringLiteral("out.xml"));
        QFile::remove(ConflictsFilePath(out));
        const CliRun result = run({QStringLiteral("merge"), QStringLiteral("base.xml"), QStringLiteral("OURS"),
                                   QStringLiteral("THEIRS"), QStringLiteral("-o"), QStringLiteral("out.xml")});
        EXPECT_EQ(result.status, c.status) << result.out.toStdString() << result.err.toStdString();
        EXPECT_EQ(readBytes(out), c.result);
        // OURS itself is left alone when the result goes elsewhere.
        EXPECT_EQ(readBytes(folder.path(QStringLiteral("OURS"))), c.ours);
        QStringList conflicts;
        if (QFileInfo::exists(ConflictsFilePath(out))) {
            ConflictsFile listed;
            QString error;
            EXPECT_TRUE(ReadConflictsFile(ConflictsFilePath(out), &listed, &error)) << error.toStdString();
            EXPECT_EQ(listed.file, "out.xml");
            for (const MergeConflict &conflict : listed.conflicts)
                conflicts << describe(conflict);
        }
        EXPECT_EQ(conflicts, c.conflicts);
        const QStringList lines = result.out.split(u'\n', Qt::SkipEmptyParts);
        for (const QString &reported : c.reported)
            EXPECT_TRUE(lines.contains(reported)) << reported.toStdString() << "\n" << result.out.toStdString();
    }
}

TEST_F(MergeCli, WritesOverOursAndNamesTheFileGitGives)
{
    const QByteArray base = lang({kOpen});
    write(QStringLiteral("base"), base);
    const QString ours = write(QStringLiteral("ours"), lang({kOpenDe}));
    write(QStringLiteral("theirs"), lang({R"(<L from="Open" to="Aufmachen" key="IDS_OPEN"/>)"}));
    QDir(folder.root()).mkpath(QStringLiteral("lang"));
    const WorkingFolder inFolder(folder.root());
    const CliRun merged = run({"merge", "base", "ours", "theirs", "--name", "lang/DEU.xml"});
    EXPECT_EQ(merged.status, 1);
    EXPECT_EQ(readBytes(ours), lang({kOpenDe}));
    EXPECT_TRUE(merged.out.endsWith("1 conflict, ours' values kept; listed in lang/DEU.xml.conflicts\n"))
        << merged.out.toStdString();
    ConflictsFile listed;
    QString error;
    ASSERT_TRUE(ReadConflictsFile(folder.path(QStringLiteral("lang/DEU.xml.conflicts")), &listed, &error));
    EXPECT_EQ(listed.file, "DEU.xml");

    // Clean, in place.
    write(QStringLiteral("theirs"), lang({kOpen, kSave}));
    EXPECT_EQ(run({"merge", "base", "ours", "theirs"}).status, 0);
    EXPECT_EQ(readBytes(ours), lang({kOpenDe, kSave}));
}

TEST_F(MergeCli, BadInputChangesNothing)
{
    const QByteArray before = lang({kOpenDe});
    const QString ours = write(QStringLiteral("ours.xml"), before);
    write(QStringLiteral("base.xml"), lang({kOpen}));
    const CliRun missing = run({"merge", folder.path("base.xml"), ours, folder.path("none.xml")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.contains("Can not open this file. (" + folder.path("none.xml") + ": No such file or directory)"))
        << missing.err.toStdString();
    EXPECT_EQ(readBytes(ours), before);
    EXPECT_EQ(run({"merge", folder.path("base.xml"), ours}).status, 2);
    EXPECT_EQ(run({"merge", folder.path("base.xml"), "-", ours}).status, 2);
    QDir(folder.root()).mkdir(QStringLiteral("dir"));
    const CliRun intoFolder = run({"merge", folder.path("base.xml"), ours, ours, "-o", folder.path("dir")});
    EXPECT_EQ(intoFolder.status, 1);
    EXPECT_TRUE(intoFolder.err.contains("Can not save file."));
    EXPECT_EQ(readBytes(ours), before);
}
