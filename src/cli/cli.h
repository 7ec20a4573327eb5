#pragma once
// rendaro-cli: the batch commands over the core. Each command is a function
// taking its arguments (without the command name) and returning the exit
// status: 0 success, 1 the operation failed or found problems, 2 usage error
// (runCli then prints the command's usage).

#include <QStringList>
#include <QTextStream>

class QIODevice;

struct CliStreams {
    QTextStream &out;
    QTextStream &err;
    bool errIsTerminal = false;  // progress may be drawn on err
    QIODevice *in = nullptr;  // standard input, read where a file argument is "-"
};

using CliCommand = int (*)(const QStringList &args, CliStreams &io);

// Runs one command line. A failed write to standard output is an error
// (message, status 1) whatever the command.
int runCli(const QStringList &args, CliStreams &io);

// Commands, one file each (cmd_*.cpp).
int cmdDump(const QStringList &args, CliStreams &io);
int cmdResave(const QStringList &args, CliStreams &io);
int cmdUntranslated(const QStringList &args, CliStreams &io);
int cmdCheck(const QStringList &args, CliStreams &io);
int cmdApply(const QStringList &args, CliStreams &io);
int cmdImport(const QStringList &args, CliStreams &io);
int cmdExport(const QStringList &args, CliStreams &io);
int cmdExtract(const QStringList &args, CliStreams &io);
int cmdPack(const QStringList &args, CliStreams &io);
int cmdGenerateAll(const QStringList &args, CliStreams &io);
int cmdConsistency(const QStringList &args, CliStreams &io);
int cmdRecover(const QStringList &args, CliStreams &io);
int cmdXliff(const QStringList &args, CliStreams &io);
int cmdPo(const QStringList &args, CliStreams &io);
int cmdSuggest(const QStringList &args, CliStreams &io);
int cmdPretranslate(const QStringList &args, CliStreams &io);
int cmdTmx(const QStringList &args, CliStreams &io);
int cmdMerge(const QStringList &args, CliStreams &io);
int cmdGitSetup(const QStringList &args, CliStreams &io);
int cmdTerms(const QStringList &args, CliStreams &io);
int cmdGlossary(const QStringList &args, CliStreams &io);
int cmdPreview(const QStringList &args, CliStreams &io);

// A JSON string literal (quotes included) for a UTF-16 text.
QString jsonString(const QString &text);
// The same, appended to out.
void appendJsonString(QString &out, QStringView text);
// A JSON value for a number: the number, or "inf", "-inf" or "nan" as a
// string, which JSON has no number for.
QString jsonNumber(double value);
