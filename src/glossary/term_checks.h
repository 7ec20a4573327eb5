#pragma once
// The glossary's checks, warnings of the check registry:
//   term               the original holds a source term and the translation
//                      none of its target terms, in any inflected form;
//   forbidden-term     the translation holds a forbidden target term (where
//                      the original holds its source term, or anywhere for
//                      a forbidden word without one);
//   untranslated-term  the original holds a name kept as it is and the
//                      translation does not hold it as it is written.
// Without a dictionary of a language its words are compared whole, and the
// messages say so.

#include "checks/check_registry.h"

// The factory: makes the three checks with the glossary of a file: the
// option "glossary-entries" (a SharedGlossary the caller read, as the
// editor holds one), else the files of the option "glossary" (a list of
// paths), else the shared glossary.tbx or glossary.csv found beside it.
CheckFactory GlossaryCheckFactory();
