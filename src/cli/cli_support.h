#pragma once
// Small helpers shared by the command implementations.

#include "cli/cli.h"

#include <memory>

class CRendaroDoc;

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

private:
    std::unique_ptr<CRendaroDoc> m_document;
};

// Loads a language file and makes it current. Prints "Can not open this
// file." (with the reason) and returns -1 when it cannot be read. A command
// works on single files, so nothing is merged into the master catalogue
// unless asked for (that copy would only cost time and memory).
int loadForCommand(CRendaroDoc &document, const QString &path, CliStreams &io, bool mergeIntoMaster = false);

// Takes "-o OUT" out of args; returns false on a malformed option.
bool takeOutputOption(QStringList &args, QString *output);
