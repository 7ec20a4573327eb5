#include "spelling/personal_word_list.h"

#include "catalogue/safe_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

QString PersonalWordListPath(const QString &dictionary)
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(data).filePath(QStringLiteral("rendaro/words/%1.txt").arg(dictionary));
}

QStringList ReadPersonalWords(const QString &dictionary)
{
    QFile file(PersonalWordListPath(dictionary));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList words;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QString word = QString::fromUtf8(line).trimmed();
        if (!word.isEmpty())
            words << word;
    }
    return words;
}

bool AddPersonalWord(const QString &dictionary, const QString &word, QString *error)
{
    QStringList words = ReadPersonalWords(dictionary);
    if (words.contains(word))
        return true;
    words << word;
    const QString path = PersonalWordListPath(dictionary);
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        *error = QStringLiteral("%1: the folder cannot be made").arg(QFileInfo(path).absolutePath());
        return false;
    }
    QString reason;
    if (!writeFileAtomically(path, (words.join(u'\n') + u'\n').toUtf8(), &reason)) {
        *error = QStringLiteral("%1: %2").arg(path, reason);
        return false;
    }
    return true;
}
