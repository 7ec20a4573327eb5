// merge: three versions of a language file merged by entry, as git's merge
// driver; a file that is not a language file is merged as git merge-file
// merges it.

#include "catalogue/safe_file.h"
#include "cli/cli_support.h"
#include "merge/language_merge.h"
#include "merge/merge_conflicts.h"
#include "merge/text_merge.h"

#include <QFileInfo>

namespace {

const QString kMergeOutput = QStringLiteral("-o");
const QString kMergeName = QStringLiteral("--name");

QString describe(const EntryLocation &location)
{
    QString text = jsonString(location.original);
    if (!location.key.isEmpty())
        text += QStringLiteral(" (%1)").arg(location.key);
    return text;
}

QString valueText(const std::optional<QString> &value)
{
    return value ? jsonString(*value) : QStringLiteral("(none)");
}

void reportConflict(const MergeConflict &conflict, QTextStream &out)
{
    switch (conflict.kind) {
    case MergeConflict::Kind::Setting:
        out << "Conflict: setting " << conflict.attribute;
        break;
    case MergeConflict::Kind::Attribute:
        out << "Conflict: " << describe(conflict.location) << ' ' << conflict.attribute;
        break;
    case MergeConflict::Kind::Removal:
        out << "Conflict: " << describe(conflict.location)
            << (conflict.inFile ? " removed by theirs, changed by ours (kept)"
                                : " removed by ours, changed by theirs (left out)");
        break;
    }
    out << ": base " << valueText(conflict.base) << ", ours " << valueText(conflict.ours) << ", theirs "
        << valueText(conflict.theirs) << '\n';
}

int mergeAsText(const QStringList &paths, const QString &name, const QString &output, const QString &why,
                CliStreams &io)
{
    auto label = [&](int i, const char *side) {
        return name.isEmpty() ? paths[i] : QStringLiteral("%1 (%2)").arg(name, QLatin1String(side));
    };
    const TextMergeResult merged =
        MergeAsText(paths[0], paths[1], paths[2], label(1, "ours"), label(0, "base"), label(2, "theirs"));
    if (!merged.ok()) {
        io.err << "Can not merge " << (name.isEmpty() ? paths[1] : name) << ": " << merged.error << '\n';
        return 1;
    }
    QString reason;
    if (!writeFileAtomically(output, merged.bytes, &reason)) {
        io.err << "Can not save file. (" << output << ": " << reason << ")\n";
        return 1;
    }
    io.out << "Merged as text (" << why << ")";
    if (merged.conflicts > 0)
        io.out << ": " << merged.conflicts << (merged.conflicts == 1 ? " conflict" : " conflicts") << " marked";
    io.out << '\n';
    return merged.conflicts > 0 ? 1 : 0;
}

} // namespace

int cmdMerge(const QStringList &args, CliStreams &io)
{
    const CommandLine line = parseCommandLine(args, {kMergeOutput, kMergeName});
    if (!line.error.isEmpty() || line.operands.size() != 3)
        return usageError(line, io);
    const QStringList &paths = line.operands;
    for (const QString &path : paths) {
        if (isStandardStream(path)) {
            io.err << "merge reads files, not standard input\n";
            return 2;
        }
    }
    const QString output = line.has(kMergeOutput) ? line.value(kMergeOutput) : paths[1];
    const QString name = line.value(kMergeName);
    if (!checkOutputTarget(output, io))
        return 1;
    QByteArray bytes[3];
    for (int i = 0; i < 3; ++i) {
        QString reason;
        if (!ReadRegularFile(paths[i], &bytes[i], &reason)) {
            io.err << "Can not open this file. (" << paths[i] << ": " << reason << ")\n";
            return 1;
        }
    }
    const LanguageMergeResult merged = MergeLanguageFiles(bytes[0], bytes[1], bytes[2]);
    if (!merged.notLanguageFile.isEmpty())
        return mergeAsText(paths, name, output, merged.notLanguageFile, io);
    if (!merged.merged) {
        io.err << "Can not merge " << paths[1] << ": " << merged.error << '\n';
        return 1;
    }
    QString reason;
    if (!writeFileAtomically(output, merged.bytes, &reason)) {
        io.err << "Can not save file. (" << output << ": " << reason << ")\n";
        return 1;
    }
    for (const StaleTranslation &stale : merged.stale)
        io.out << "Translation reset: " << describe(stale.location) << ": " << (stale.changedByTheirs ? "theirs" : "ours")
               << " changed the original from " << jsonString(stale.oldOriginal) << "; the translation "
               << jsonString(stale.droppedTranslation) << " was for the old one\n";
    if (merged.conflicts.empty()) {
        io.out << "Merged cleanly\n";
        return 0;
    }
    for (const MergeConflict &conflict : merged.conflicts)
        reportConflict(conflict, io.out);
    // Beside the file in the repository when git names it, else beside the result.
    const QString languageFile = name.isEmpty() ? output : name;
    const QString conflictsPath = ConflictsFilePath(languageFile);
    ConflictsFile file{QFileInfo(languageFile).fileName(), merged.conflicts};
    if (!WriteConflictsFile(conflictsPath, file, &reason)) {
        io.err << "Can not save file. (" << conflictsPath << ": " << reason << ")\n";
        return 1;
    }
    io.out << merged.conflicts.size() << (merged.conflicts.size() == 1 ? " conflict" : " conflicts")
           << ", ours' values kept; listed in " << conflictsPath << '\n';
    return 1;
}
