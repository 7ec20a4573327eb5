#pragma once
// What a command says of the warnings its step brought in (Pre-translate,
// Import String From, Import Translations, Replace All): nothing when the
// strings it changed carry none.

#include "editor/core/rendaro_view.h"

#include <QString>

// "\n\nN of the strings changed carry a warning (Go > Next Warning lists
// them)." or empty.
QString StepWarningsText(const StepResult &result);
