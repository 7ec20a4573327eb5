#pragma once
// The recovery journal's file format. A journal records the unsaved changes
// an editor made to one shown file or language folder, one record per
// change, so that a process that dies loses none of them.
//
// The file starts with the 8 bytes "RENDAROJ" and a 4-byte version, then
// holds records one after another. Each record is self-delimiting:
//
//   u32 payload length | u32 CRC-32 of (length bytes, payload) | payload
//
// (integers little-endian). The payload starts with its type byte. Texts
// are a u32 byte count and UTF-8. The first record is the header (which
// file or folder, which process); the others are entry changes and
// settings. A record cut short by a killed process, or damaged, fails its
// length or checksum, and the reader keeps the complete records before it.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

enum class JournalRecordType : std::uint8_t {
    Header = 1,
    Set = 2,       // an existing entry's translation and flag
    Add = 3,       // an entry added (paste, Add new string, a redone addition)
    Remove = 4,    // an added entry taken back (undo of an addition)
    Settings = 5,  // the catalogue's length ratio and placeholder style
};

enum class JournalTargetKind : std::uint8_t { File = 0, Folder = 1 };

// Who wrote a journal, and for what.
struct JournalHeader {
    JournalTargetKind kind = JournalTargetKind::File;
    QString target;      // the file, or the language folder, as an absolute path
    QStringList files;   // a folder's loaded language files
    qint64 pid = 0;
    // The process's start time in clock ticks after boot and the boot's
    // identifier: together with the pid they name one process, even after
    // the pid is reused.
    quint64 startTicks = 0;
    QByteArray bootId;
    qint64 createdMs = 0;  // milliseconds since the epoch
};

struct JournalRecord {
    JournalRecordType type = JournalRecordType::Set;
    QString original;     // Set, Add, Remove
    QString translation;  // Set, Add
    int translatable = 1; // Set, Add
    float lengthRatio = 2.0f;  // Settings
    int codeType = 0;          // Settings
};

// What a journal file holds.
struct JournalContents {
    bool valid = false;  // the file starts with the magic and a complete header
    JournalHeader header;
    std::vector<JournalRecord> records;  // the complete records after the header
    bool damaged = false;   // the file goes on past the last complete record
    qint64 validBytes = 0;  // where the complete records end
    std::vector<qint64> recordEnds;  // the end offset of the header and each record
    QString error;          // why the file is not valid, or where it is damaged
};

// The file's first bytes: the magic and the version.
QByteArray JournalFileStart();

// Appends one framed record to `out`.
void AppendHeaderRecord(QByteArray &out, const JournalHeader &header);
void AppendEntryRecord(QByteArray &out, JournalRecordType type, const QString &original,
                       const QString &translation, int translatable);
void AppendSettingsRecord(QByteArray &out, float lengthRatio, int codeType);

// Reads a journal's bytes: the records up to the end or the first record
// that is cut short or fails its checksum.
JournalContents ParseJournal(const QByteArray &bytes);
// The same for a file; a file that cannot be read is not valid, with the reason.
JournalContents ReadJournalFile(const QString &path);

std::uint32_t Crc32(const char *data, qsizetype size, std::uint32_t crc = 0);
