#pragma once
// Feeding a device to expat a piece at a time, as the exchange readers do,
// so that a large file is never held whole.

#include <QString>
#include <expat.h>

class QIODevice;

// Parses the device's bytes with parser, reading 1 MiB pieces straight into
// expat's buffer. Returns an empty string when the document was read to its
// end or a handler stopped the parser without a reason of its own;
// otherwise the reason: *handlerReason when a handler set one before
// stopping, else "line N: " and expat's message, or the device's error.
QString ParseInPieces(XML_Parser parser, QIODevice &device, const QString *handlerReason);
