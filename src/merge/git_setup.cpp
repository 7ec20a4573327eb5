#include "merge/git_setup.h"

#include "catalogue/safe_file.h"
#include "merge/file_layout.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>

namespace {

struct GitRun {
    int status = -1;
    QByteArray out;
    QString err;
};

GitRun runGit(const QString &git, const QString &folder, const QStringList &args)
{
    GitRun run;
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(git, args);
    process.closeWriteChannel();
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit) {
        run.err = process.errorString();
        return run;
    }
    run.status = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    return run;
}

// A word for sh: in single quotes, a quote inside written '\''.
QString shellWord(const QString &text)
{
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + quoted + u'\'';
}

// A .gitattributes pattern: C-quoted when it holds a space or a quote.
QString attributePattern(const QString &path)
{
    if (!path.contains(u' ') && !path.contains(u'"') && !path.contains(u'\\') && !path.contains(u'\t'))
        return path;
    QString quoted = path;
    quoted.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\"")).replace(u'\t', QStringLiteral("\\t"));
    return u'"' + quoted + u'"';
}

bool isLanguageFile(const QString &path)
{
    QByteArray bytes;
    QString reason;
    LanguageFileLayout layout;
    return ReadRegularFile(path, &bytes, &reason) && ReadLanguageFileLayout(bytes, &layout, &reason);
}

const QString kAttributes = QStringLiteral(" merge=rendaro diff=rendaro");

} // namespace

QStringList GitAttributeLines(const QStringList &languageFiles, const QStringList &xmlFiles)
{
    auto folderOf = [](const QString &path) {
        const qsizetype slash = path.lastIndexOf(u'/');
        return slash < 0 ? QString() : path.left(slash);
    };
    QMap<QString, int> xmlPerFolder;
    for (const QString &file : xmlFiles)
        ++xmlPerFolder[folderOf(file)];
    QMap<QString, QStringList> languagePerFolder;
    for (const QString &file : languageFiles)
        languagePerFolder[folderOf(file)].append(file);
    QStringList lines;
    for (auto it = languagePerFolder.cbegin(); it != languagePerFolder.cend(); ++it) {
        const QString folder = it.key();
        // A pattern with a '/' in it is anchored at the top: only that folder.
        if (it.value().size() == xmlPerFolder.value(folder)) {
            lines.append(attributePattern(u'/' + (folder.isEmpty() ? QString() : folder + u'/') + QStringLiteral("*.xml"))
                         + kAttributes);
            continue;
        }
        for (const QString &file : it.value())
            lines.append(attributePattern(u'/' + file) + kAttributes);
    }
    return lines;
}

GitSetupResult SetUpGit(const QString &program, bool global, const QString &folder)
{
    GitSetupResult result;
    const QString git = QStandardPaths::findExecutable(QStringLiteral("git"));
    if (git.isEmpty()) {
        result.error = QStringLiteral("git is not installed");
        return result;
    }
    const GitRun top = runGit(git, folder, {QStringLiteral("rev-parse"), QStringLiteral("--show-toplevel")});
    const QString repository = top.status == 0 ? QString::fromLocal8Bit(top.out).trimmed() : QString();
    if (repository.isEmpty() && !global) {
        result.error = QStringLiteral("%1 is not in a git repository (give --global to set up git for every "
                                      "repository)")
                           .arg(QDir::toNativeSeparators(folder));
        return result;
    }
    const QString scope = global ? QStringLiteral("--global") : QStringLiteral("--local");
    result.configFile = global ? QStringLiteral("your git configuration") : QStringLiteral("the repository's configuration");
    const QString run = shellWord(program);
    const QList<QPair<QString, QString>> settings = {
        {QStringLiteral("merge.rendaro.name"), QStringLiteral("Rendaro: language files merged by entry")},
        {QStringLiteral("merge.rendaro.driver"), run + QStringLiteral(" merge %O %A %B --name %P")},
        {QStringLiteral("diff.rendaro.textconv"), run + QStringLiteral(" dump --lines")},
    };
    for (const auto &[name, value] : settings) {
        const GitRun set = runGit(git, repository.isEmpty() ? folder : repository,
                                  {QStringLiteral("config"), scope, name, value});
        if (set.status != 0) {
            result.error = QStringLiteral("git config %1 failed: %2").arg(name, set.err);
            return result;
        }
        result.settings.append(name + QStringLiteral(" = ") + value);
    }
    if (repository.isEmpty()) {
        result.note = QStringLiteral("Give a repository's language files the driver with a line such as \"*.xml"
                                     " merge=rendaro diff=rendaro\" in its .gitattributes (rendaro-cli git-setup in "
                                     "the repository writes them).");
        return result;
    }

    // The repository's XML files, tracked or not yet added (ignored ones left out).
    const GitRun listed = runGit(git, repository,
                                 {QStringLiteral("ls-files"), QStringLiteral("-z"), QStringLiteral("--cached"),
                                  QStringLiteral("--others"), QStringLiteral("--exclude-standard")});
    if (listed.status != 0) {
        result.error = QStringLiteral("git ls-files failed: %1").arg(listed.err);
        return result;
    }
    QStringList xmlFiles, languageFiles;
    QSet<QString> seen;
    for (const QByteArray &entry : listed.out.split('\0')) {
        const QString path = QString::fromUtf8(entry);
        if (path.isEmpty() || !path.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive) || seen.contains(path))
            continue;
        seen.insert(path);
        xmlFiles.append(path);
        if (isLanguageFile(repository + u'/' + path))
            languageFiles.append(path);
    }
    if (languageFiles.isEmpty()) {
        result.note = QStringLiteral("No language file found in the repository; give language files added later "
                                     "the driver with a line such as \"*.xml merge=rendaro diff=rendaro\" in "
                                     ".gitattributes, or run git-setup again.");
        return result;
    }
    result.attributesFile = repository + QStringLiteral("/.gitattributes");
    QByteArray existing;
    QString reason;
    if (QFileInfo::exists(result.attributesFile) && !ReadRegularFile(result.attributesFile, &existing, &reason)) {
        result.error = QStringLiteral("%1 can not be read: %2").arg(result.attributesFile, reason);
        return result;
    }
    QSet<QString> present;
    for (const QByteArray &line : existing.split('\n'))
        present.insert(QString::fromUtf8(line).trimmed());
    QByteArray added;
    for (const QString &line : GitAttributeLines(languageFiles, xmlFiles)) {
        if (present.contains(line)) {
            result.presentLines.append(line);
            continue;
        }
        result.addedLines.append(line);
        added += line.toUtf8() + '\n';
    }
    if (added.isEmpty())
        return result;
    if (!existing.isEmpty() && !existing.endsWith('\n'))
        existing += '\n';
    if (!writeFileAtomically(result.attributesFile, existing + added, &reason)) {
        result.error = QStringLiteral("%1 can not be written: %2").arg(result.attributesFile, reason);
        return result;
    }
    return result;
}
