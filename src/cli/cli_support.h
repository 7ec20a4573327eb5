#pragma once
// Small helpers shared by the command implementations.

#include "cli/cli.h"

#include <QHash>
#include <QSet>
#include <QTemporaryFile>
#include <functional>
#include <memory>

class CRendaroDoc;

// A command's arguments split into operands and options. Options start with
// "-"; a lone "-" is an operand (standard input or output), and "--" ends
// the options, so that a file named "-x.xml" can be given after it.
struct CommandLine {
    QStringList operands;
    QHash<QString, QString> values;  // options that take a value
    QSet<QString> flags;             // options without a value
    QString error;                   // empty when the line is well-formed

    bool has(const QString &option) const { return values.contains(option) || flags.contains(option); }
    QString value(const QString &option) const { return values.value(option); }
};
CommandLine parseCommandLine(const QStringList &args, const QStringList &valueOptions,
                             const QStringList &flagOptions = {});
// Prints the line's error and returns the usage-error status 2.
int usageError(const CommandLine &line, CliStreams &io);

// The argument meaning standard input or output.
inline bool isStandardStream(const QString &argument) { return argument == u"-"; }
// How messages name a file argument.
QString displayName(const QString &argument, bool output = false);

// A language file to read. The parser wants a file it can read to its end,
// so standard input ("-") and a FIFO are first copied into a temporary file;
// any other path is read as it is.
class InputFile {
public:
    // False, with a message printed, when the input cannot be copied.
    bool open(const QString &argument, CliStreams &io);
    QString path() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<QTemporaryFile> m_copy;
};

// The document of one command. The command-line program leaves it to the
// operating system at exit, since freeing a catalogue of hundreds of
// thousands of strings costs tens of milliseconds and gains nothing then;
// where commands run inside a longer-lived process (the tests) it is freed
// as usual.
class CommandDocument {
public:
    CommandDocument();
    ~CommandDocument();
    CommandDocument(const CommandDocument &) = delete;
    CommandDocument &operator=(const CommandDocument &) = delete;
    CRendaroDoc &operator*() const { return *m_document; }

    // Called once by the program's main before any command runs.
    static void leaveToTheSystemAtExit();
    // Whether documents are left to the system at exit.
    static bool leavesToTheSystem();

private:
    std::unique_ptr<CRendaroDoc> m_document;
};

// Loads a language file (or "-") and makes it current. Prints "Can not open
// this file." (with the reason) and returns -1 when it cannot be read. A
// command works on single files, so nothing is merged into the master
// catalogue unless asked for (that copy would only cost time and memory).
int loadForCommand(CRendaroDoc &document, const QString &path, CliStreams &io, bool mergeIntoMaster = false);
// The same for commands that only read the entries, keys and settings
// (dump, check, export): the file's element tree is not kept, which makes
// the load faster and the catalogue smaller; nothing is made current.
int loadEntriesForCommand(CRendaroDoc &document, const QString &path, CliStreams &io);
// loadForCommand for a command that only saves the file again (see
// CRendaroDoc::LoadCatalogueForSave).
int loadForSaveCommand(CRendaroDoc &document, const QString &path, CliStreams &io);

// Writes a command's output through write(path): to output, or for "-" to a
// temporary file whose bytes then go to standard output. A failed write
// prints "Can not save file." with the path and the reason.
bool writeOutput(const CRendaroDoc &document, const QString &output, CliStreams &io,
                 const std::function<bool(const QString &path)> &write);

// Checks, before anything is read, that output can be written over: a
// folder, device, FIFO or socket never is. Prints "Can not save file." with
// the reason and returns false when it cannot.
bool checkOutputTarget(const QString &output, CliStreams &io);

// Why the last save or export of the document, which wrote writtenPath,
// failed (without the path).
QString saveFailureReason(const CRendaroDoc &document, const QString &writtenPath);
// Prints "Can not save file. (PATH: REASON)" for a failed write of path (or
// of writtenPath standing in for it, such as a temporary file).
void reportSaveFailure(const CRendaroDoc &document, const QString &path, CliStreams &io,
                       const QString &writtenPath = QString());

// Writes what write(device) produces to output: to standard output for "-",
// else through the safe save. A failed save prints "Can not save file."
// with the path and the reason; false when anything failed.
bool writeProduced(const QString &output, CliStreams &io, const std::function<bool(QIODevice &)> &write);

// Whether an option's language tag is well-formed (empty: not given);
// prints how to write one when it is not.
bool checkLanguageTag(const QString &tag, CliStreams &io);

// Bytes to standard output, after what the text stream holds; false when
// they could not be written (runCli reports it).
bool writeStandardOutput(CliStreams &io, const QByteArray &bytes);

// Whether two paths name the same existing file (links followed).
bool sameFile(const QString &a, const QString &b);
