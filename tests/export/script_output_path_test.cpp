#include "export/script_output_path.h"
#include "export/script_table.h"

#include <gtest/gtest.h>

namespace {

TEST(ScriptOutputPath, JavaScriptNamesFromTheTables)
{
    struct Case {
        const char *source;
        const char *expected;  // nullptr: no name, not exported
    } cases[] = {
        {"/p/web/ViewResDEU.xml", "/p/web/DEU.js"},
        {"/p/web/ViewResBGR.xml", "/p/web/BGR.js"},
        {"/p/web/ViewResTRK.xml", "/p/web/TRK.js"},
        {"/p/web/BackResCHT.xml", "/p/web/CHTWebRPB.js"},
        {"/p/web/BackResTRK.xml", "/p/web/TRKWebRPB.js"},
        {"/p/Vantor/lang/CHT.xml", "/p/Vantor/lang/zh_tw.js"},
        {"/p/Vantor/lang/CAT.xml", "/p/Vantor/lang/croatian.js"},
        {"/p/Vantor/ViewResENG.xml", "/p/Vantor/en.js"},  // plain substring: ENG.xml matches
        {"/p/Vantor/ViewResDAN.xml", "/p/Vantor/DAN.js"},  // no device row for DAN
        {"/p/Vantor2/lang/TRK.xml", "/p/Vantor2/lang/turkish_2.js"},
        {"/p/Vantor2/lang/HEB.xml", "/p/Vantor2/lang/hebrew_2.js"},
        {"/p/Vantor2/lang/DEU.xml", nullptr},
        {"/p/Vantor2/ViewResDEU.xml", "/p/Vantor2/DEU.js"},
        {"/p/lang/DEU.xml", nullptr},
        {"ViewResDEU.xml", nullptr},  // only counts after the first character
        {"Vantor2/lang/TRK.xml", "Vantor2/lang/turkish.js"},  // "Vantor2" at the start: the "Vantor" rows
        {"/p/Vantor/lang/ENG.xml.xml", "/p/Vantor/lang/en.js"},
        {"/p/web/ViewResdeu.xml", nullptr},  // case-sensitive
    };
    for (const Case &c : cases) {
        const QString result = ScriptOutputPath(QString::fromLatin1(c.source), ScriptJavaScript);
        if (c.expected)
            EXPECT_EQ(result, QString::fromLatin1(c.expected)) << c.source;
        else
            EXPECT_TRUE(result.isNull()) << c.source << " gave " << result.toStdString();
    }
}

TEST(ScriptOutputPath, PhpReplacesTheLastExtension)
{
    EXPECT_EQ(ScriptOutputPath("/p/lang/ViewResENG.xml", ScriptPhp), u"/p/lang/ViewResENG.php");
    EXPECT_EQ(ScriptOutputPath("/p/lang/DEU.xml.bak", ScriptPhp), u"/p/lang/DEU.xml.php");
    EXPECT_EQ(ScriptOutputPath("/p/lang.d/DEU", ScriptPhp), u"/p/lang.d/DEU.php");
}

} // namespace
