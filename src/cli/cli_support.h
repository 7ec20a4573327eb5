#pragma once
// Small helpers shared by the command implementations.

#include "cli/cli.h"

class CRendaroDoc;

// Loads a language file as the editor's Open does. Prints "Can not open this
// file." (with the reason) and returns -1 when it cannot be read.
int loadForCommand(CRendaroDoc &document, const QString &path, CliStreams &io, bool mergeIntoMaster = true);

// Takes "-o OUT" out of args; returns false on a malformed option.
bool takeOutputOption(QStringList &args, QString *output);
