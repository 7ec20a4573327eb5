#pragma once
// Registering Rendaro in git: the merge driver that merges language files
// by entry, a text conversion that shows their entries in diffs, and the
// .gitattributes lines that give a repository's language files both.

#include <QString>
#include <QStringList>

struct GitSetupResult {
    QString error;                // what failed; the steps before it were done
    QString configFile;           // "the repository's configuration" or "your git configuration"
    QStringList settings;         // "merge.rendaro.driver = ..." as set
    QString attributesFile;       // the .gitattributes written; empty when none
    QStringList addedLines;       // lines added to it
    QStringList presentLines;     // lines it had already
    QString note;                 // what is left to the user, if anything
    bool ok() const { return error.isEmpty(); }
};

// The .gitattributes lines for language files at these paths (relative to
// the repository's top, '/' between folders): a folder whose .xml files
// are all language files gets one pattern, the files of any other folder
// one line each.
QStringList GitAttributeLines(const QStringList &languageFiles, const QStringList &xmlFiles);

// Sets up git for the repository the folder is in (its configuration and
// its top folder's .gitattributes), or with `global` for every repository
// (the user's configuration; the .gitattributes of the repository the
// folder is in, when it is in one). `program` is the rendaro-cli to run.
GitSetupResult SetUpGit(const QString &program, bool global, const QString &folder);
