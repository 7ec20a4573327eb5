#pragma once
// Small helpers shared by the command implementations.

#include "cli/cli.h"

class CRendaroDoc;

// Loads a language file and makes it current. Prints "Can not open this
// file." (with the reason) and returns -1 when it cannot be read. A command
// works on single files, so nothing is merged into the master catalogue
// unless asked for (that copy would only cost time and memory).
int loadForCommand(CRendaroDoc &document, const QString &path, CliStreams &io, bool mergeIntoMaster = false);

// Takes "-o OUT" out of args; returns false on a malformed option.
bool takeOutputOption(QStringList &args, QString *output);
