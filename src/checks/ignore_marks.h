#pragma once
// Warnings a team dismissed as false alarms ("Ignore This Warning"). A mark
// records the check, the entry's original and translation and the warning's
// message; it dismisses a warning only while all four are the same, so it
// lapses by itself when the original, the translation or the message
// changes, and it survives any reordering of the language file.
//
// The marks of a language file live beside it, in FILE.xml.rendaro-ignore;
// those of a language folder beside the folder, in FOLDER.rendaro-ignore.
// The file is text meant for version control: a block of lines per mark,
// blocks in a fixed order (original, check, translation, message) whatever
// order they were added in, texts quoted with JSON's escapes:
//
//   # Rendaro: warnings dismissed as false alarms. ...
//
//   [end-punctuation]
//   key: IDS_SAVE_QUESTION
//   original: "Save changes?"
//   translation: "Änderungen speichern"
//   message: "The original ends with \"?\", the translation without punctuation"
//
// The key is there for people reading the file; matching does not use it.

#include "checks/check.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

struct IgnoreMark {
    QString checkId;
    QString original;
    QString translation;
    QString message;
    QString key;  // the entry's first key, for people; not matched

    friend bool operator==(const IgnoreMark &a, const IgnoreMark &b)
    {
        return a.checkId == b.checkId && a.original == b.original && a.translation == b.translation
               && a.message == b.message;
    }
};

// The mark that dismisses a finding.
IgnoreMark IgnoreMarkFor(const Finding &finding);

class IgnoreMarks {
public:
    // The ignore file of a language file (FILE.xml.rendaro-ignore) or of a
    // language folder (FOLDER.rendaro-ignore, beside the folder).
    static QString filePathFor(const QString &languagePath);
    // The ignore files that apply to one language file: its own, then its
    // folder's.
    static QStringList filePathsForFile(const QString &languageFile);

    // Reads an ignore file, adding its marks to these. A missing file holds
    // no marks. False, with "line N: reason" in *error, for a file that
    // cannot be read or is not in the form above; nothing is added then.
    bool read(const QString &path, QString *error);
    // Parses the text of an ignore file (see read).
    bool parse(const QByteArray &bytes, QString *error);
    // The text of the file, marks in their fixed order.
    QByteArray toBytes() const;
    // Writes the marks through the safe save; with no marks left the file
    // is removed. False with the reason in *error.
    bool write(const QString &path, QString *error) const;

    // False when the mark was there already (or, for remove, was not).
    bool add(const IgnoreMark &mark);
    bool remove(const IgnoreMark &mark);
    void addAll(const IgnoreMarks &other);

    // Whether a mark dismisses the finding. Errors are never dismissed.
    bool matches(const Finding &finding) const;
    bool isEmpty() const { return m_count == 0; }
    qsizetype size() const { return m_count; }
    // Every mark, in the file's order.
    std::vector<IgnoreMark> marks() const;

private:
    // By original: the marks of one entry.
    QHash<QString, std::vector<IgnoreMark>> m_byOriginal;
    qsizetype m_count = 0;
};

// "Ignore This Warning" and its undoing: reads the ignore file at path,
// adds (removes) the mark and writes it back through the safe save. False
// with the reason in *error; the file is left as it was then.
bool AddIgnoreMark(const QString &path, const IgnoreMark &mark, QString *error);
bool RemoveIgnoreMark(const QString &path, const IgnoreMark &mark, QString *error);
