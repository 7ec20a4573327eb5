#include "merge/text_merge.h"

#include <QProcess>
#include <QStandardPaths>

TextMergeResult MergeAsText(const QString &base, const QString &ours, const QString &theirs,
                            const QString &oursLabel, const QString &baseLabel, const QString &theirsLabel)
{
    TextMergeResult result;
    const QString git = QStandardPaths::findExecutable(QStringLiteral("git"));
    if (git.isEmpty()) {
        result.error = QStringLiteral("it is not a language file, and git, which merges other files, is not installed");
        return result;
    }
    QProcess process;
    process.start(git, {QStringLiteral("merge-file"), QStringLiteral("-p"), QStringLiteral("-L"), oursLabel,
                        QStringLiteral("-L"), baseLabel, QStringLiteral("-L"), theirsLabel, QStringLiteral("--"),
                        ours, base, theirs});
    process.closeWriteChannel();
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit) {
        result.error = QStringLiteral("git merge-file did not run: %1").arg(process.errorString());
        return result;
    }
    // The exit status is the number of conflicts (at most 127); a negative
    // one (255) is an error, which git has explained.
    const int status = process.exitCode();
    if (status > 127) {
        result.error = QStringLiteral("git merge-file failed: %1")
                           .arg(QString::fromLocal8Bit(process.readAllStandardError()).trimmed());
        return result;
    }
    result.bytes = process.readAllStandardOutput();
    result.conflicts = status;
    return result;
}
