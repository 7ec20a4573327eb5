#pragma once
// String tables for web front ends: a JavaScript object literal assigned to
// `langTrans`, or a PHP array assigned to `$V`, pairing each resource key
// with its entry's translation. The output is pure ASCII with CR LF lines.

#include "catalogue/catalogue_types.h"

#include <QByteArray>
#include <QString>

enum ScriptKind { ScriptJavaScript = 1, ScriptPhp = 2 };

// The ASCII form of a text: characters U+0001 to U+007E as they are, every
// other character as "&#x%04x;" (lowercase, more digits above U+FFFF). The
// text ends at its first U+0000.
QByteArray AsciiWithCharRefs(const QString &text);

// The whole file for a catalogue's entries and keys list: one table entry
// per key of the list (in list order, repeats included) and per entry that
// lists that key (in entry order).
QByteArray ScriptTableBytes(int kind, const EntryMap &entries, const QStringList &keys);

// Writes the table to path safely; false, with the reason in *error when
// given, when the file could not be written.
bool WriteScriptTable(const QString &path, int kind, const EntryMap &entries, const QStringList &keys,
                      QString *error = nullptr);
