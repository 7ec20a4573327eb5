#pragma once
// Runs rendaro-cli commands in-process and captures their output.

#include "cli/cli.h"

struct CliRun {
    int status;
    QString out;
    QString err;
};

inline CliRun run(const QStringList &args)
{
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    CliStreams io{outStream, errStream};
    const int status = runCli(args, io);
    outStream.flush();
    errStream.flush();
    return {status, out, err};
}

