#pragma once
// Runs rendaro-cli commands in-process and captures their output.

#include "cli/cli.h"

#include <QBuffer>
#include <QDir>

// The resource reader's test executables and header.
inline const QString kResourceFixtures = QStringLiteral(RENDARO_TEST_DATA "/../resparse/fixtures");

struct CliRun {
    int status;
    QString out;
    QString err;
    QByteArray outBytes;
};

// Runs args with `input` as standard input.
inline CliRun run(const QStringList &args, const QByteArray &input = QByteArray())
{
    QBuffer out, in;
    out.open(QIODevice::WriteOnly);
    in.setData(input);
    in.open(QIODevice::ReadOnly);
    QString err;
    QTextStream outStream(&out), errStream(&err);
    CliStreams io{outStream, errStream, false, &in};
    const int status = runCli(args, io);
    outStream.flush();
    errStream.flush();
    return {status, QString::fromUtf8(out.data()), err, out.data()};
}

// The working folder, changed for the lifetime of the object.
class WorkingFolder {
public:
    explicit WorkingFolder(const QString &path) : m_previous(QDir::currentPath()) { QDir::setCurrent(path); }
    ~WorkingFolder() { QDir::setCurrent(m_previous); }

private:
    QString m_previous;
};
