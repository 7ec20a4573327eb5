#include "cli/cli_glossary.h"

bool TakeGlossaryOptions(QStringList &args, QStringList &paths, QString *error)
{
    for (qsizetype i = 0; i < args.size();) {
        if (args[i] == u"--")
            break;
        if (args[i] != u"--glossary") {
            ++i;
            continue;
        }
        if (i + 1 >= args.size()) {
            *error = QStringLiteral("--glossary needs a path");
            return false;
        }
        paths.append(args[i + 1]);
        args.remove(i, 2);
    }
    return true;
}
