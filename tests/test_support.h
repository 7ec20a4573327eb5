#pragma once
// Helpers shared by the test programs: temporary folders and file contents.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString &text, std::ostream *os) { *os << '"' << text.toStdString() << '"'; }

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// A language file with the standard header, CR LF line ends and the given
// lines between <Language ...> and </Language>.
inline QByteArray languageFile(const QByteArray &rootAttributes, const QList<QByteArray> &lines)
{
    QByteArray out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\r\n\r\n<Language";
    if (!rootAttributes.isEmpty())
        out += ' ' + rootAttributes;
    out += ">\r\n";
    for (const QByteArray &line : lines)
        out += "   " + line + "\r\n";
    out += "</Language>\r\n";
    return out;
}

class TempFolder {
public:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString root() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

// A test with its own temporary folder to write files into.
class FolderTest : public ::testing::Test {
protected:
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = folder.path(name);
        writeBytes(path, bytes);
        return path;
    }
    TempFolder folder;
};
