// XLIFF 1.2 as written and as read.

#include "exchange_fixture.h"

namespace {

const QList<QByteArray> kXliffLines = {
    R"(<L from="Open" to="Öffnen" key="IDS_OPEN"/>)",
    R"(<L from="Line one/nline two" to="Line one/nline two" key="IDS_TWO"/>)",
    R"(<L from="Fish &amp; &lt;Chips&gt; &quot;q&quot;" to="Fisch &amp; &lt;Pommes&gt;" key="IDS_FISH"/>)",
    R"(<L from="CR/r/nLF" to="WR/r/nZV" key="IDS_CR"/>)",
    R"(<L from="Brand" to="Brand" key="IDS_BRAND" IsTrans="false"/>)",
    R"(<L from="Open" to="Open" key="IDS_OPEN2"/>)",
    R"(<L from="No key" to="Kein Schlüssel"/>)",
};

} // namespace

class XliffFormat : public ExchangeTest {};

TEST_F(XliffFormat, OneUnitPerEntryWithItsAttributes)
{
    const int id = load(QStringLiteral("ViewResDEU.xml"), kXliffLines);
    const QByteArray xliff = xliffOf(id);
    EXPECT_TRUE(xliff.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<xliff version=\"1.2\" xmlns=\"urn:oasis:names:tc:xliff:document:1.2\">\n"
                                 "  <file original=\"ViewResDEU.xml\" source-language=\"en\" target-language=\"de\" "
                                 "datatype=\"plaintext\">\n"));
    EXPECT_EQ(xliff.count("<trans-unit "), 6);  // the repeated original is one entry
    // Translated: resname the first key, every key in the note, the length
    // limit (2 x 4) and the translated state.
    EXPECT_TRUE(xliff.contains("<trans-unit id=\"1\" resname=\"IDS_OPEN\" maxwidth=\"8\" size-unit=\"char\" "
                               "approved=\"yes\" xml:space=\"preserve\">\n"
                               "        <source>Open</source>\n"
                               "        <target state=\"translated\">Öffnen</target>\n"
                               "        <note from=\"keys\">IDS_OPEN, IDS_OPEN2</note>\n"))
        << xliff.toStdString();
    // Untranslated: an empty target waiting for its translation; the line
    // break is a real one, and counts one character of the limit (2 x 18 - 1).
    EXPECT_TRUE(xliff.contains("maxwidth=\"35\" size-unit=\"char\" xml:space=\"preserve\">\n"
                               "        <source>Line one\nline two</source>\n"
                               "        <target state=\"needs-translation\"></target>\n"));
    EXPECT_TRUE(xliff.contains("<source>Fish &amp; &lt;Chips&gt; \"q\"</source>"));
    EXPECT_TRUE(xliff.contains("<source>CR&#13;\nLF</source>\n        <target state=\"translated\">WR&#13;\nZV"));
    EXPECT_TRUE(xliff.contains("resname=\"IDS_BRAND\" translate=\"no\" maxwidth=\"10\""));
    // An entry without keys has neither resname nor note.
    EXPECT_TRUE(xliff.contains("<trans-unit id=\"6\" maxwidth=\"12\" size-unit=\"char\" approved=\"yes\" "
                               "xml:space=\"preserve\">\n        <source>No key</source>\n"
                               "        <target state=\"translated\">Kein Schlüssel</target>\n"
                               "      </trans-unit>"));
}

TEST_F(XliffFormat, ReadsBackWhatItWrites)
{
    const int id = load(QStringLiteral("ViewResDEU.xml"), kXliffLines);
    const ExchangeDocument read = ParseXliff(xliffOf(id));
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    ASSERT_EQ(read.sections.size(), 1u);
    const ExchangeSection &section = read.sections[0];
    EXPECT_EQ(section.original, QStringLiteral("ViewResDEU.xml"));
    EXPECT_EQ(section.language, QStringLiteral("de"));
    ASSERT_EQ(section.units.size(), 6u);
    EXPECT_EQ(section.units[0].key, QStringLiteral("IDS_OPEN"));
    EXPECT_EQ(section.units[0].target, QStringLiteral("Öffnen"));
    EXPECT_EQ(section.units[0].line, 8);
    EXPECT_EQ(section.units[1].source, QStringLiteral("Line one\nline two"));
    EXPECT_EQ(section.units[1].target, QString());
    EXPECT_TRUE(section.units[1].unusable.isEmpty()) << "an empty target in need of translation is no refusal";
    EXPECT_EQ(section.units[2].source, QStringLiteral("Fish & <Chips> \"q\""));
    EXPECT_EQ(section.units[3].source, QStringLiteral("CR\r\nLF"));
    EXPECT_EQ(section.units[3].target, QStringLiteral("WR\r\nZV"));
    // Reading it back into the file changes nothing.
    const ImportPlan unchanged = plan(id, read);
    EXPECT_EQ(unchanged.summary(), QStringLiteral("0 changed, 6 unchanged, 0 refused, 0 unknown"));
}

TEST_F(XliffFormat, FolderExportHasAFileEachWithTheShownTranslations)
{
    const int deu = load(QStringLiteral("ViewResDEU.xml"), {R"(<L from="Open" to="Open" key="A"/>)"});
    const int other = load(QStringLiteral("BackResDEU.xml"), {R"(<L from="Open" to="Open" key="B"/>)",
                                                              R"(<L from="Close" to="Schließen" key="C"/>)"});
    // Edits not yet saved live in the master of a language folder.
    CXMLStruct master;
    StringEntry open;
    open.original = open.translation = QStringLiteral("Open");
    open.translation = QStringLiteral("Öffnen");
    master.entries.insert(std::move(open));
    std::vector<ExportFile> files = {ExportFileOf(catalogue(deu), QStringLiteral("ViewResDEU.xml")),
                                     ExportFileOf(catalogue(other), QStringLiteral("sub/BackResDEU.xml"))};
    for (ExportFile &file : files)
        file.current = &master.entries;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(WriteXliff(buffer, files));
    const ExchangeDocument read = ParseXliff(buffer.data());
    ASSERT_TRUE(read.ok());
    ASSERT_EQ(read.sections.size(), 2u);
    EXPECT_EQ(read.sections[1].original, QStringLiteral("sub/BackResDEU.xml"));
    ASSERT_EQ(read.sections[1].units.size(), 2u);
    EXPECT_EQ(read.sections[0].units[0].target, QStringLiteral("Öffnen"));
    EXPECT_EQ(read.sections[1].units[0].target, QStringLiteral("Öffnen"));
    EXPECT_EQ(read.sections[1].units[1].target, QStringLiteral("Schließen"));
    // An import picks its own file's section, by name or by the path's end.
    EXPECT_EQ(UnitsForFile(read, QStringLiteral("/x/BackResDEU.xml")).size(), 2u);
    EXPECT_EQ(UnitsForFile(read, QStringLiteral("ViewResDEU.xml")).size(), 1u);
    EXPECT_EQ(UnitsForFile(read, QStringLiteral("Other.xml")).size(), 3u) << "no section of its own: all of them";
}

TEST_F(XliffFormat, ReadsWhatOtherToolsWrite)
{
    // XLIFF 1.1 with a converted PO header, groups, spans marked with <g>
    // and <mrk>, suggestions in <alt-trans> and states of unfinished work.
    const QByteArray xliff = R"(<?xml version="1.0" encoding="UTF-8"?>
<xliff xmlns="urn:oasis:names:tc:xliff:document:1.1" xmlns:x="urn:other" version="1.1">
  <file original="a.po" source-language="en-US" datatype="po" target-language="de-DE">
    <body>
      <trans-unit id="1" restype="x-gettext-domain-header"><source>Project-Id-Version: x</source></trans-unit>
      <group id="g">
        <trans-unit id="2"><source>Open</source><target state="final"><g id="1">Öff</g><mrk mtype="x">nen</mrk></target>
          <alt-trans><source>Open</source><target>Auf</target></alt-trans>
          <x:extra>not text</x:extra>
        </trans-unit>
      </group>
      <trans-unit id="3"><source>Close</source><target state="needs-review-translation">Schließen</target></trans-unit>
      <trans-unit id="4"><source>Save <x id="1"/>now</source><target>Jetzt <x id="1"/>sichern</target></trans-unit>
      <trans-unit id="5"><source>Print</source><target>Drucken <ph id="1">%s</ph></target></trans-unit>
    </body>
  </file>
</xliff>
)";
    const ExchangeDocument read = ParseXliff(xliff);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.sections[0].language, QStringLiteral("de-DE"));
    const std::vector<ExchangeUnit> &units = read.sections[0].units;
    ASSERT_EQ(units.size(), 4u);
    EXPECT_EQ(units[0].source, QStringLiteral("Open"));
    EXPECT_EQ(units[0].target, QStringLiteral("Öffnen"));
    EXPECT_TRUE(units[0].unusable.isEmpty());
    EXPECT_EQ(units[1].unusable, QStringLiteral("its state is \"needs-review-translation\", not a finished translation"));
    EXPECT_EQ(units[2].unusable,
              QStringLiteral("the original holds inline code <x>, which a language file cannot carry"));
    EXPECT_EQ(units[3].unusable,
              QStringLiteral("the translation holds inline code <ph>, which a language file cannot carry"));
    EXPECT_EQ(units[3].target, QStringLiteral("Drucken "));
}

TEST_F(XliffFormat, MalformedFilesGiveTheLineAndTheReason)
{
    EXPECT_EQ(ParseXliff("<xliff version=\"1.2\">\n<file>\n<body>\n</file></xliff>").error,
              QStringLiteral("line 4: mismatched tag"));
    EXPECT_EQ(ParseXliff("").error, QStringLiteral("line 1: no element found"));
    EXPECT_EQ(ParseXliff("<xliff version=\"1.2\">\n<file><body><trans-unit id=\"1\"><source>&bogus;</source>")
                  .error,
              QStringLiteral("line 2: undefined entity"));
    EXPECT_EQ(ParseXliff("<?xml version=\"1.0\"?>\n<TS version=\"2.1\"/>").error,
              QStringLiteral("line 2: the root element is <TS>, not an XLIFF 1.2 <xliff>"));
    EXPECT_EQ(ParseXliff("<xliff xmlns=\"urn:oasis:names:tc:xliff:document:2.0\" version=\"2.0\"/>").error,
              QStringLiteral("line 1: XLIFF 2 is not supported; export the file as XLIFF 1.2"));
    EXPECT_EQ(ParseXliff("<xliff version=\"1.2\"><file original=\"\xff\"/></xliff>").error,
              QStringLiteral("line 1: not well-formed (invalid token)"));
}
