#pragma once
// rendaro-cli: the batch commands over the core. Each command is a function
// taking its arguments (without the command name) and returning the exit
// status: 0 success, 1 the operation failed or found problems, 2 usage error.

#include <QStringList>
#include <QTextStream>

struct CliStreams {
    QTextStream &out;
    QTextStream &err;
    bool errIsTerminal = false;  // progress may be drawn on err
};

using CliCommand = int (*)(const QStringList &args, CliStreams &io);

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

// A JSON string literal (quotes included) for a UTF-16 text.
QString jsonString(const QString &text);
