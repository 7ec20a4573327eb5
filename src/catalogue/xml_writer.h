#pragma once
#include "catalogue/xml_tree.h"

#include <QByteArray>

class DurableWriteBatch;
class QIODevice;

// The bytes of a document: declaration line, a blank line, then the elements
// indented by three spaces per level, every line ending in CR LF.
QByteArray xml_document_serialize(const XmlDocument *document);

// Writes the same bytes to device in pieces; false when a write fails. A
// root with many children has them serialised on two threads, in runs.
bool xml_document_write(const XmlDocument *document, QIODevice &device);
// Roots with at least fromChildren children are written on two threads, in
// runs of runElements children (16,384 and 2,048 unless set). The bytes are
// the same either way; tests set small values to hold them to that.
void xml_writer_set_two_threads(int fromChildren, int runElements);

// Writes the document to path (safely: temporary file, then rename).
// Returns 1, or 0 with error code 2 when the file could not be written (and
// the path with the reason in *errorText when given).
int xml_document_write_file(const XmlDocument *document, const QString &path, QString *errorText = nullptr);

// Adds the document's file to batch (written beside path, put in place by
// the batch's commit). Returns the file's number in the batch, or -1 with
// the path and the reason in *errorText when given.
int xml_document_add_to_batch(const XmlDocument *document, DurableWriteBatch &batch, const QString &path,
                              QString *errorText = nullptr);
