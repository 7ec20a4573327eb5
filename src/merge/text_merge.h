#pragma once
// Files that are not language files, merged line by line exactly as
// `git merge-file` merges them: by git itself.

#include <QByteArray>
#include <QString>

struct TextMergeResult {
    QString error;     // git is missing or failed; nothing else is then set
    QByteArray bytes;  // the merged text, conflicts between markers
    int conflicts = 0;
    bool ok() const { return error.isEmpty(); }
};

// Runs `git merge-file -p` with the conflict markers labelled (ours, base,
// theirs); the files are only read.
TextMergeResult MergeAsText(const QString &base, const QString &ours, const QString &theirs,
                            const QString &oursLabel, const QString &baseLabel, const QString &theirsLabel);
