// Script tables loaded by the real interpreters (node, php): whatever keys
// and translations a language file holds, the file defines exactly the
// expected table and nothing else.

#include "export/script_table.h"
#include "test_support.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

// Runs the table through node in a fresh context and prints the names the
// file defined and the table.
const char kNodeLoader[] = R"(
const fs = require('fs'), vm = require('vm');
const context = vm.createContext({});
vm.runInContext(fs.readFileSync(process.argv[2], 'latin1'), context);
process.stdout.write(JSON.stringify({output: '', names: Object.keys(context), table: context.langTrans}));
)";

// Includes the table inside a function, catching anything it prints.
const char kPhpLoader[] = R"(<?php
function load_table($file) {
    ob_start();
    include $file;
    $output = ob_get_clean();
    $names = array_keys(get_defined_vars());
    return ['output' => $output, 'names' => $names, 'table' => (object)$V];
}
echo json_encode(load_table($argv[1]));
)";

QString interpreter(const char *name)
{
    QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
    if (path.isEmpty() && QByteArray(name) == "node")
        path = QStandardPaths::findExecutable(QStringLiteral("nodejs"));
    return path;
}

// The JSON the loader printed, or an empty object with a test failure.
QJsonObject load(const QString &program, const QString &loader, const QString &table)
{
    QProcess process;
    process.start(program, {loader, table});
    if (!process.waitForFinished(60000)) {
        ADD_FAILURE() << "interpreter did not finish";
        return {};
    }
    const QByteArray out = process.readAllStandardOutput();
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString() << out.toStdString();
    QJsonParseError error;
    const QJsonObject json = QJsonDocument::fromJson(out, &error).object();
    EXPECT_EQ(error.error, QJsonParseError::NoError) << out.toStdString();
    return json;
}

// What JavaScript makes of the written text: the line-break escapes of the
// memory form become line breaks. PHP keeps the text as it is.
QString asJavaScriptReadsIt(const QString &text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size() && (text[i + 1] == u'n' || text[i + 1] == u'r')) {
            out += text[++i] == u'n' ? u'\n' : u'\r';
        } else {
            out += text[i];
        }
    }
    return out;
}

struct Hostile {
    QString key;
    QString translation;
    QString shown;  // the translation as the table holds it (apostrophes become &#39;)
};

const std::vector<Hostile> &hostileEntries()
{
    static const std::vector<Hostile> entries = {
        {"A': 1}; globalThis.pwned = 'yes'; var other = {'B", "ok", "ok"},
        {"A'=>'x'); system('echo pwned'); $V=array('B", "ok", "ok"},
        {"trailing\\", "C:\\users\\new", "C:\\users\\new"},
        {"K2", "ends in a backslash\\", "ends in a backslash\\"},
        {"K3", "two\\\\ and \\\\n and \\\\\\", "two\\\\ and \\\\n and \\\\\\"},
        {"K4", "it's ?> </script> */ // ${x} {$V}", "it&#39;s ?> </script> */ // ${x} {$V}"},
        {"K5", "line\\nbreak\\r\\nand raw\nLF\rCR\ttab", "line\\nbreak\\r\\nand raw\nLF\rCR\ttab"},
        {"K6", "\\x41\\u0041\\101\\'", "\\x41\\u0041\\101\\&#39;"},
        {"\\n key\r\nwith breaks", "x", "x"},
        {"quote\"s and $V and ?>", "y", "y"},
    };
    return entries;
}

class ScriptInterpreters : public ::testing::Test {
protected:
    void check(int kind, const char *program, const char *loaderSource)
    {
        const QString executable = interpreter(program);
        if (executable.isEmpty())
            GTEST_SKIP() << program << " is not installed";
        EntryMap entries;
        QStringList keys;
        QJsonObject expected;
        int n = 0;
        for (const Hostile &h : hostileEntries()) {
            StringEntry entry;
            entry.original = QStringLiteral("original %1").arg(n++);
            entry.translation = h.translation;
            entry.keys = {h.key};
            entries.emplace(entry.original, entry);
            keys << h.key;
            expected.insert(kind == ScriptPhp ? h.key : asJavaScriptReadsIt(h.key),
                            kind == ScriptPhp ? h.shown : asJavaScriptReadsIt(h.shown));
        }
        const QString table = folder.path(kind == ScriptPhp ? "table.php" : "table.js");
        const QString loader = folder.path("loader");
        ASSERT_TRUE(writeBytes(table, ScriptTableBytes(kind, entries, keys)));
        ASSERT_TRUE(writeBytes(loader, loaderSource));
        const QJsonObject result = load(executable, loader, table);
        EXPECT_EQ(result["output"].toString(), u"");
        QStringList names = result["names"].toVariant().toStringList();
        names.sort();
        EXPECT_EQ(names.join(u' ').toStdString(), kind == ScriptPhp ? "V file output" : "langTrans");
        const QJsonObject actual = result["table"].toObject();
        EXPECT_EQ(actual.size(), expected.size());
        for (auto it = expected.begin(); it != expected.end(); ++it)
            EXPECT_EQ(actual[it.key()].toString(), it.value().toString()) << it.key().toStdString();
    }

    TempFolder folder;
};

TEST_F(ScriptInterpreters, JavaScriptTablesHoldExactlyTheirEntries)
{
    check(ScriptJavaScript, "node", kNodeLoader);
}

TEST_F(ScriptInterpreters, PhpTablesHoldExactlyTheirEntries)
{
    check(ScriptPhp, "php", kPhpLoader);
}

} // namespace
