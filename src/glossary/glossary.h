#pragma once
// A glossary: the terms a team chose, each an English source term with the
// target terms of one language, a note, a part of speech, a status and
// whether letter case matters. Read from and written to TBX, CSV or TSV and
// Qt Linguist phrase books (glossary_files.h).

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

enum class TermStatus {
    Preferred,       // the target terms are the words to use
    Forbidden,       // the target terms are words not to use
    DoNotTranslate,  // a name kept as it is in every language
};

// "preferred", "forbidden", "do-not-translate".
QString TermStatusName(TermStatus status);
// The status a name gives (also TBX's administrative statuses and a few
// spellings: "dnt", "do not translate", "deprecated"); false when unknown.
bool ParseTermStatus(QStringView name, TermStatus *status);

struct GlossaryEntry {
    QString source;          // the English term ("camera list"); may be empty for a forbidden word
    QStringList targets;     // one or more target terms ("Kameraliste")
    QString note;
    QString partOfSpeech;    // "noun", "verb", ... as the file writes it
    TermStatus status = TermStatus::Preferred;
    bool caseSensitive = false;
    qsizetype line = 0;      // where the entry starts in its file (0 when made in memory)

    bool operator==(const GlossaryEntry &other) const
    {
        return source == other.source && targets == other.targets && note == other.note
               && partOfSpeech == other.partOfSpeech && status == other.status
               && caseSensitive == other.caseSensitive;
    }
};

struct Glossary {
    QString language;  // the target terms' language tag ("de"); empty when the file does not say
    std::vector<GlossaryEntry> entries;
};

// What reading a glossary file gave: the glossary, an error that stopped
// the reading (the file cannot be read, is no glossary, refuses an entity
// declaration), and problems with single rows or entries, each naming its
// line, the rest being read.
struct GlossaryRead {
    Glossary glossary;
    QString error;
    QStringList problems;  // "line 7: the status \"maybe\" is not one of ..."
    bool ok() const { return error.isEmpty(); }
};

// A glossary read once and shared (the editor hands the one it holds to the
// checks as the option "glossary-entries").
using SharedGlossary = std::shared_ptr<const Glossary>;
Q_DECLARE_METATYPE(SharedGlossary)
