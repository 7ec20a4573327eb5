#pragma once
// Markup escaping used by the tree writer, kept apart so that reading a
// stored value back (decodeFileFormValue) mirrors exactly what is written.

#include <QString>
#include <QStringView>
#include <string>

// Appends a plain value as UTF-8 with & < > (and in attributes " and the
// white-space controls) written as references.
void appendEscapedPlain(std::string &out, QStringView value, bool inAttribute);

// Appends a value that is already escaped, as UTF-8, changing only what would
// break the markup: "<", a double quote, an "&" that does not start a
// well-formed reference, and the white-space controls that a reader would
// turn into spaces.
void appendFileFormValue(std::string &out, QStringView value);

// Appends a text in the catalogue's memory form as its file form: the bytes
// appendFileFormValue gives for EscapeForFile(value), in one pass.
void appendCatalogueText(std::string &out, QStringView value);

// The value an XML reader returns for a file-form value written as above.
QString decodeFileFormValue(const QString &value);

// Appends a name or other markup-free text as UTF-8.
void appendUtf8(std::string &out, QStringView text);
