#pragma once
// `rendaro-cli check FILE --spelling [--dictionary NAME] [--no-suggestions] [--json]`: the
// spelling of every real translation (see ShouldCheckSpelling) against the
// dictionary of the file's language (from its name) or the one named, with
// the user's own words.

#include "cli/cli_support.h"

int checkSpelling(const CommandLine &line, CliStreams &io);
