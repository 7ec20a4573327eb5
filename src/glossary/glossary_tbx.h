#pragma once
// Glossaries as TBX (TBX-Basic: martif, termEntry, langSet, tig or ntig,
// term, termNote of type administrativeStatus or partOfSpeech, descrip and
// note; TBX 3's tbx, conceptEntry, langSec and termSec are read too) and as
// Qt Linguist phrase books (QPH: phrase, source, target, definition).
//
// A concept's English terms are its source terms; the target terms are
// those of the language asked for. A concept whose target terms are
// preferred (or admitted) and deprecated (or superseded) gives two entries:
// one preferred, one forbidden. A do-not-translate term and case-sensitive
// matching are written as termNotes of type x-status and x-caseSensitive.

#include "glossary/glossary.h"

#include <QByteArray>

// Reads a TBX document for `language` (a tag; "de" takes "de-DE" too); an
// empty language takes the first language other than English in the file.
GlossaryRead ReadGlossaryTbx(const QByteArray &bytes, const QString &language);
// The TBX-Basic document of a glossary; its language must be known.
QByteArray WriteGlossaryTbx(const Glossary &glossary);

// The bytes of a TBX document with the entry added as its last concept
// (its target terms in `language`), everything else kept as it is; empty,
// with the reason in *error, when the document has no <body>.
QByteArray AppendGlossaryTbxEntry(const QByteArray &bytes, const GlossaryEntry &entry, const QString &language,
                                  QString *error);

GlossaryRead ReadGlossaryQph(const QByteArray &bytes);
QByteArray WriteGlossaryQph(const Glossary &glossary);
