#include "catalogue/document.h"
#include "cli/cli.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    CRendaroDoc document;
    setTheDocument(&document);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QFile in;
    in.open(stdin, QIODevice::ReadOnly);
    CliStreams io{out, err, &in};
    const int status = runCli(app.arguments().mid(1), io);
    err.flush();
    return status;
}
