// The checks that need data of their own (a program's dialog templates, a
// glossary, dictionaries) are hooked in here: each adds its factory, which
// the standard registry then calls for every file a set is built for (see
// README.md). The built-in checks need none of this.

#include "checks/check_registry.h"
#include "dialogfit/program_checks.h"
#include "glossary/term_checks.h"

void AddDataCheckFactories(CheckRegistry &registry)
{
    registry.addFactory(ProgramCheckFactory());  // fit, accelerator-clash: options "program", "header"
    registry.addFactory(GlossaryCheckFactory());  // term, forbidden-term, untranslated-term: option "glossary"
}
