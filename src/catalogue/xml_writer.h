#pragma once
#include "catalogue/xml_tree.h"

#include <QByteArray>

class QIODevice;

// The bytes of a document: declaration line, a blank line, then the elements
// indented by three spaces per level, every line ending in CR LF.
QByteArray xml_document_serialize(const XmlDocument *document);

// Writes the same bytes to device in pieces; false when a write fails.
bool xml_document_write(const XmlDocument *document, QIODevice &device);

// Writes the document to path (safely: temporary file, then rename).
// Returns 1, or 0 with error code 2 when the file could not be written (and
// the path with the reason in *errorText when given).
int xml_document_write_file(const XmlDocument *document, const QString &path, QString *errorText = nullptr);
