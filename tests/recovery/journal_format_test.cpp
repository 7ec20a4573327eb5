// The journal's records read back as written, and a journal cut or damaged
// anywhere gives exactly the complete records before the damage.

#include "recovery/journal_format.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

JournalHeader folderHeader()
{
    JournalHeader header;
    header.kind = JournalTargetKind::Folder;
    header.target = QStringLiteral("/home/ü/Lang");
    header.files = {QStringLiteral("/home/ü/Lang/DEU/a.xml"), QStringLiteral("/home/ü/Lang/DEU/b.xml")};
    header.pid = 4242;
    header.startTicks = 123456789012ULL;
    header.bootId = "6a1f0e-boot";
    header.createdMs = 1714567890123LL;
    return header;
}

// The header and four records of every kind.
QByteArray sampleJournal()
{
    QByteArray bytes = JournalFileStart();
    AppendHeaderRecord(bytes, folderHeader());
    AppendEntryRecord(bytes, JournalRecordType::Set, QStringLiteral("Open %s"), QStringLiteral("Öffnen %s\\n"), 1);
    AppendEntryRecord(bytes, JournalRecordType::Add, QStringLiteral("新しい"), QString(), 0);
    AppendEntryRecord(bytes, JournalRecordType::Remove, QStringLiteral("新しい"), QString(), 1);
    AppendSettingsRecord(bytes, 1.75f, 1);
    return bytes;
}

TEST(JournalFormat, RecordsReadBackAsWritten)
{
    const JournalContents contents = ParseJournal(sampleJournal());
    ASSERT_TRUE(contents.valid) << contents.error.toStdString();
    EXPECT_FALSE(contents.damaged);
    const JournalHeader expected = folderHeader();
    EXPECT_EQ(contents.header.kind, JournalTargetKind::Folder);
    EXPECT_EQ(contents.header.target, expected.target);
    EXPECT_EQ(contents.header.files, expected.files);
    EXPECT_EQ(contents.header.pid, expected.pid);
    EXPECT_EQ(contents.header.startTicks, expected.startTicks);
    EXPECT_EQ(contents.header.bootId, expected.bootId);
    EXPECT_EQ(contents.header.createdMs, expected.createdMs);

    ASSERT_EQ(contents.records.size(), 4u);
    EXPECT_EQ(contents.records[0].type, JournalRecordType::Set);
    EXPECT_EQ(contents.records[0].original, u"Open %s");
    EXPECT_EQ(contents.records[0].translation, u"Öffnen %s\\n");
    EXPECT_EQ(contents.records[0].translatable, 1);
    EXPECT_EQ(contents.records[1].type, JournalRecordType::Add);
    EXPECT_EQ(contents.records[1].original, u"新しい");
    EXPECT_TRUE(contents.records[1].translation.isEmpty());
    EXPECT_EQ(contents.records[1].translatable, 0);
    EXPECT_EQ(contents.records[2].type, JournalRecordType::Remove);
    EXPECT_EQ(contents.records[3].type, JournalRecordType::Settings);
    EXPECT_EQ(contents.records[3].lengthRatio, 1.75f);
    EXPECT_EQ(contents.records[3].codeType, 1);
    EXPECT_EQ(contents.validBytes, sampleJournal().size());
}

// A process killed during a write leaves any prefix of the file.
TEST(JournalFormat, EveryCutKeepsTheCompleteRecordsBeforeIt)
{
    const QByteArray whole = sampleJournal();
    const std::vector<qint64> ends = ParseJournal(whole).recordEnds;  // header, then the four records
    ASSERT_EQ(ends.size(), 5u);
    for (qsizetype length = 0; length <= whole.size(); ++length) {
        const JournalContents cut = ParseJournal(whole.left(length));
        SCOPED_TRACE(length);
        ASSERT_EQ(cut.valid, length >= ends[0]);
        if (!cut.valid)
            continue;
        size_t complete = 0;
        while (complete + 1 < ends.size() && ends[complete + 1] <= length)
            ++complete;
        EXPECT_EQ(cut.records.size(), complete);
        EXPECT_EQ(cut.validBytes, ends[complete]);
        EXPECT_EQ(cut.damaged, length > ends[complete]);
    }
}

TEST(JournalFormat, ADamagedByteEndsTheRecordsAtItsRecord)
{
    const QByteArray whole = sampleJournal();
    const std::vector<qint64> ends = ParseJournal(whole).recordEnds;
    // Each byte of the second record (its frame and its payload) in turn.
    for (qint64 at = ends[1]; at < ends[2]; ++at) {
        QByteArray damaged = whole;
        damaged[at] = char(damaged[at] ^ 0x40);
        const JournalContents contents = ParseJournal(damaged);
        SCOPED_TRACE(at);
        ASSERT_TRUE(contents.valid);
        EXPECT_TRUE(contents.damaged);
        EXPECT_EQ(contents.records.size(), 1u);
        EXPECT_EQ(contents.validBytes, ends[1]);
    }
}

TEST(JournalFormat, OtherFilesAreNotJournals)
{
    EXPECT_FALSE(ParseJournal(QByteArray()).valid);
    EXPECT_FALSE(ParseJournal("<?xml version=\"1.0\"?><Language/>").valid);
    QByteArray future = sampleJournal();
    future[8] = 2;  // a later version of the format
    const JournalContents contents = ParseJournal(future);
    EXPECT_FALSE(contents.valid);
    EXPECT_TRUE(contents.error.contains(u"version")) << contents.error.toStdString();
    // A header that is damaged leaves nothing to go by.
    QByteArray header = sampleJournal();
    header[20] = char(header[20] ^ 1);
    EXPECT_FALSE(ParseJournal(header).valid);
}

TEST(JournalFormat, Crc32IsTheStandardOne)
{
    EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u);
    // Continued over pieces, as the frame's checksum is.
    EXPECT_EQ(Crc32("6789", 4, Crc32("12345", 5)), 0xCBF43926u);
}

} // namespace
