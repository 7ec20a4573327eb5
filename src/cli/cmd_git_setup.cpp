// git-setup: registers rendaro-cli as git's merge driver and diff text
// conversion for language files.

#include "cli/cli_support.h"
#include "merge/git_setup.h"

#include <QCoreApplication>
#include <QDir>

int cmdGitSetup(const QStringList &args, CliStreams &io)
{
    const QString global = QStringLiteral("--global");
    const CommandLine line = parseCommandLine(args, {}, {global});
    if (!line.error.isEmpty() || !line.operands.isEmpty())
        return usageError(line, io);
    // The program git is to run: this one.
    const QString program = QCoreApplication::applicationFilePath();
    const GitSetupResult result = SetUpGit(program, line.has(global), QDir::currentPath());
    for (const QString &setting : result.settings)
        io.out << "Set in " << result.configFile << ": " << setting << '\n';
    for (const QString &added : result.addedLines)
        io.out << "Added to " << result.attributesFile << ": " << added << '\n';
    for (const QString &present : result.presentLines)
        io.out << "Already in " << result.attributesFile << ": " << present << '\n';
    if (!result.note.isEmpty())
        io.out << result.note << '\n';
    if (!result.ok()) {
        io.err << "git-setup failed: " << result.error << '\n';
        return 1;
    }
    return 0;
}
