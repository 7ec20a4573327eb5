// The fuzz targets read files and judge them with the built-in checks only:
// the checks that need data of their own (a program's dialogs, a glossary)
// would pull in fonts and dictionaries, so their factories are left out.
#include "checks/check_registry.h"

void AddDataCheckFactories(CheckRegistry &) {}
