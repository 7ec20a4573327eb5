#pragma once
// Glossaries as CSV (comma) or TSV (tab), UTF-8, with a header row naming
// the columns: source, target, note, pos (or "part of speech"), status
// (preferred, forbidden, do-not-translate) and case (yes/no: whether letter
// case matters); other columns are left alone. Several target terms share
// their field, parted by "|". Fields may be quoted ("a, b", "say ""hi""",
// line breaks inside quotes).

#include "glossary/glossary.h"

#include <QByteArray>

// Reads the bytes of a CSV (tab: TSV) glossary. A bad row is named with its
// line in the problems and left out; the other rows are read.
GlossaryRead ReadGlossaryCsv(const QByteArray &bytes, QChar separator);
// The bytes of a glossary as CSV or TSV with the header row.
QByteArray WriteGlossaryCsv(const Glossary &glossary, QChar separator);
// The bytes of a CSV (tab: TSV) glossary with the entry added as its last
// row, in the columns the file's header row names, with the file's line
// ends; everything before it is kept as it is. Empty, with the reason in
// *error, when the file has no usable header row or is not UTF-8.
QByteArray AppendGlossaryCsvRow(const QByteArray &bytes, const GlossaryEntry &entry, QChar separator, QString *error);
