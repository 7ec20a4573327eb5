#include "catalogue/document.h"
#include "cli/cli.h"
#include "cli/cli_support.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <unistd.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    CommandDocument::leaveToTheSystemAtExit();
    CRendaroDoc document;
    setTheDocument(&document);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QFile in;
    in.open(stdin, QIODevice::ReadOnly);
    CliStreams io{out, err, isatty(STDERR_FILENO) != 0, &in};
    const int status = runCli(app.arguments().mid(1), io);
    err.flush();
    return status;
}
