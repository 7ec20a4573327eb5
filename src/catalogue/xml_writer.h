#pragma once
#include "catalogue/xml_tree.h"

#include <QByteArray>

class DurableWriteBatch;
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

// Adds the document's file to batch (written beside path, put in place by
// the batch's commit). Returns the file's number in the batch, or -1 with
// the path and the reason in *errorText when given.
int xml_document_add_to_batch(const XmlDocument *document, DurableWriteBatch &batch, const QString &path,
                              QString *errorText = nullptr);
