#include "catalogue/document.h"
#include "export/script_table.h"
#include "test_support.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

StringEntry makeEntry(const QString &original, const QString &translation, const QStringList &keys)
{
    StringEntry e;
    e.original = original;
    e.translation = translation;
    e.keys = keys;
    return e;
}

EntryMap entryMap(std::initializer_list<StringEntry> list)
{
    EntryMap map;
    for (const StringEntry &e : list)
        map.emplace(e.original, e);
    return map;
}

// The table as the plain nested loop over keys and entries defines it.
QByteArray nestedLoopTable(int kind, const EntryMap &entries, const QStringList &keys)
{
    const bool php = kind == ScriptPhp;
    QByteArray out = php ? "<?php\r\n$V=array(\r\n" : "langTrans = {\r\n";
    bool first = true;
    for (const QString &key : keys) {
        for (const auto &[original, entry] : entries) {
            if (!entry.keys.contains(key))
                continue;
            if (!first)
                out += ",\r\n";
            first = false;
            QString t = entry.translation;
            t.replace("'", "&#39;").replace("&quot;", "\"").replace("&lt;", "<").replace("&gt;", ">").replace("&amp;", "&");
            out += '\'' + AsciiWithCharRefs(key) + (php ? "'=>'" : "': '") + AsciiWithCharRefs(t) + '\'';
        }
    }
    out += php ? ",\r\n);\r\n?>\r\n" : "\r\n};\r\n";
    return out;
}

TEST(ScriptTable, EmptyKeyListGivesHeaderAndTrailerOnly)
{
    const EntryMap entries = entryMap({makeEntry("A", "B", {"K"})});
    EXPECT_EQ(ScriptTableBytes(ScriptJavaScript, entries, {}), QByteArray("langTrans = {\r\n\r\n};\r\n"));
    EXPECT_EQ(ScriptTableBytes(ScriptPhp, entries, {}), QByteArray("<?php\r\n$V=array(\r\n,\r\n);\r\n?>\r\n"));
}

TEST(ScriptTable, WorkedExample)
{
    const EntryMap entries = entryMap({makeEntry("OK", "OK", {"IDS_OK"}),
                                       makeEntry("Size 'x'", QString::fromUtf8("Größe 'x'"), {"IDS_SIZE"})});
    EXPECT_EQ(ScriptTableBytes(ScriptJavaScript, entries, {"IDS_OK", "IDS_SIZE"}),
              QByteArray("langTrans = {\r\n'IDS_OK': 'OK',\r\n'IDS_SIZE': 'Gr&#x00f6;&#x00df;e &#39;x&#39;'\r\n};\r\n"));
    EXPECT_EQ(ScriptTableBytes(ScriptPhp, entries, {"IDS_OK", "IDS_SIZE"}),
              QByteArray("<?php\r\n$V=array(\r\n'IDS_OK'=>'OK',\r\n'IDS_SIZE'=>'Gr&#x00f6;&#x00df;e &#39;x&#39;',\r\n);\r\n?>\r\n"));
}

TEST(ScriptTable, KeysListedByTwoEntriesAndUnknownKeys)
{
    const EntryMap entries = entryMap({makeEntry("b", "Two", {"K", "L"}), makeEntry("a", "One", {"K", "K"}),
                                       makeEntry("c", "None", {})});
    EXPECT_EQ(ScriptTableBytes(ScriptJavaScript, entries, {"MISSING", "K", "K"}),
              QByteArray("langTrans = {\r\n'K': 'One',\r\n'K': 'Two',\r\n'K': 'One',\r\n'K': 'Two'\r\n};\r\n"));
}

TEST(ScriptTable, TranslationReplacementsAndKeysUntouched)
{
    const EntryMap entries = entryMap({makeEntry("x", "a &amp;lt; b &quot;q&quot; it's \\n", {"IDS_X"})});
    EXPECT_EQ(ScriptTableBytes(ScriptJavaScript, entries, {"IDS_X"}),
              QByteArray("langTrans = {\r\n'IDS_X': 'a &lt; b \"q\" it&#39;s \\n'\r\n};\r\n"));
}

TEST(ScriptTable, NothingEndsAStringLiteralEarly)
{
    // A key's apostrophe and every backslash but those of the line-break
    // escapes are escaped; JavaScript also gets no raw line break.
    const EntryMap entries = entryMap({makeEntry("a", "C:\\users\\ end\\", {"it's"}),
                                       makeEntry("b", "two\\nlines\\r\\n raw\nLF\rCR \\\\n", {"K\\"})});
    EXPECT_EQ(ScriptTableBytes(ScriptJavaScript, entries, {"it's", "K\\"}),
              QByteArray("langTrans = {\r\n'it\\'s': 'C:\\\\users\\\\ end\\\\',\r\n"
                         "'K\\\\': 'two\\nlines\\r\\n raw\\nLF\\rCR \\\\\\n'\r\n};\r\n"));
    EXPECT_EQ(ScriptTableBytes(ScriptPhp, entries, {"it's", "K\\"}),
              QByteArray("<?php\r\n$V=array(\r\n'it\\'s'=>'C:\\\\users\\\\ end\\\\',\r\n"
                         "'K\\\\'=>'two\\nlines\\r\\n raw\nLF\rCR \\\\\\n',\r\n);\r\n?>\r\n"));
}

TEST(ScriptTable, AsciiFormOfTexts)
{
    EXPECT_EQ(AsciiWithCharRefs(QString::fromUtf8("é")), QByteArray("&#x00e9;"));
    EXPECT_EQ(AsciiWithCharRefs(QString::fromUtf8("中")), QByteArray("&#x4e2d;"));
    EXPECT_EQ(AsciiWithCharRefs(QString::fromUtf8("😀")), QByteArray("&#x1f600;"));
    EXPECT_EQ(AsciiWithCharRefs(QString::fromUtf16(u"a\u007fb")), QByteArray("a&#x007f;b"));
    EXPECT_EQ(AsciiWithCharRefs(QString::fromUtf16(u"tab\tok")), QByteArray("tab\tok"));
    EXPECT_EQ(AsciiWithCharRefs(QString::fromUtf16(u"cut\u0000here", 8)), QByteArray("cut"));
    // Long texts are never truncated.
    const QString longText = QString(2000, QChar(0x4e2d));
    EXPECT_EQ(AsciiWithCharRefs(longText).size(), 2000 * 8);
    // A lone surrogate half becomes the replacement character, as UTF-8
    // conversion makes it; the pair after it is still one character.
    EXPECT_EQ(AsciiWithCharRefs(QString::fromUtf16(u"a\xd800" u"b\xdc00\xd83d\xde00")),
              QByteArray("a&#xfffd;b&#xfffd;&#x1f600;"));
    EXPECT_EQ(AsciiWithCharRefs(QString::fromUtf16(u"end\xd83d")), QByteArray("end&#xfffd;"));
}

TEST(ScriptTable, LongMixedTextsKeepEveryCharacterInOrder)
{
    // Plain runs longer than any internal chunk, broken by references at
    // varying places, must come out whole and in order.
    QString text;
    QByteArray expected;
    for (int i = 0; i < 700; ++i) {
        const char plain = char('a' + i % 26);
        text += QChar(plain);
        expected += plain;
        if (i % 257 == 256 || i == 511) {
            text += QChar(0x00e9);
            expected += "&#x00e9;";
        }
    }
    EXPECT_EQ(AsciiWithCharRefs(text), expected);
    const EntryMap entries = entryMap({makeEntry("o", text, {text})});
    EXPECT_EQ(ScriptTableBytes(ScriptJavaScript, entries, {text}),
              "langTrans = {\r\n'" + expected + "': '" + expected + "'\r\n};\r\n");
}

TEST(ScriptTable, IndexedTableEqualsTheNestedLoop)
{
    QRandomGenerator random(7);
    for (int round = 0; round < 20; ++round) {
        EntryMap entries;
        QStringList keys;
        for (int i = 0; i < 300; ++i) {
            QStringList entryKeys;
            for (int k = random.bounded(4); k > 0; --k)
                entryKeys << QStringLiteral("K%1").arg(random.bounded(60));  // repeats within and across entries
            const QString original = QStringLiteral("text %1").arg(random.bounded(1000));
            // Texts that were already safe in a literal: their bytes must not change.
            entries.emplace(original, makeEntry(original, QStringLiteral("t'%1&amp;\u00e9\\n\t\\r\\n\"").arg(i), entryKeys));
        }
        for (int i = 0; i < 200; ++i)
            keys << QStringLiteral("K%1").arg(random.bounded(70));  // some keys no entry lists
        keys << QString();  // an empty key is a key like any other
        entries.emplace(QStringLiteral("empty key"), makeEntry(QStringLiteral("empty key"), QStringLiteral("e"), {QString()}));
        for (int kind : {ScriptJavaScript, ScriptPhp})
            ASSERT_EQ(ScriptTableBytes(kind, entries, keys), nestedLoopTable(kind, entries, keys)) << round;
    }
}

TEST(ScriptTable, ExportWritesSafelyOrFails)
{
    TempFolder folder;
    const QString source = folder.path("a.xml");
    writeBytes(source, languageFile("", {"<L from=\"A\" to=\"Ah\" key=\"K\"/>"}));
    CRendaroDoc document;
    const int id = document.LoadCatalogue(source, true);
    const QString out = folder.path("a.js");
    ASSERT_TRUE(writeBytes(out, QByteArray(5000, 'x')));  // an older, longer file is replaced whole
    ASSERT_TRUE(document.ExportCatalogueScript(ScriptJavaScript, id, out));
    EXPECT_EQ(readBytes(out), QByteArray("langTrans = {\r\n'K': 'Ah'\r\n};\r\n"));
    EXPECT_FALSE(document.ExportCatalogueScript(ScriptJavaScript, 99, folder.path("none.js")));
    EXPECT_FALSE(QFile::exists(folder.path("none.js")));
    EXPECT_FALSE(document.ExportCatalogueScript(ScriptPhp, id, folder.path("missing/a.php")));
    EXPECT_FALSE(document.ExportCatalogueScript(ScriptPhp, id, folder.root()));
    EXPECT_EQ(QDir(folder.root()).entryList(QDir::Files | QDir::Hidden).size(), 2);  // a.xml, a.js
}

} // namespace
