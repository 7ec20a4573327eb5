// A file's fingerprint tells a change by another program from a file only
// touched, and a file that is gone from one that is there.

#include "recovery/file_fingerprint.h"
#include "test_support.h"

#include <QDateTime>
#include <gtest/gtest.h>

namespace {

using Fingerprint = FolderTest;

void setTime(const QString &path, const QDateTime &time)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
}

TEST_F(Fingerprint, TellsChangedFromTouchedAndGone)
{
    const QString path = write("DEU.xml", "<Language/>");
    const QDateTime then = QDateTime::currentDateTime().addSecs(-60);
    setTime(path, then);
    const FileFingerprint read = TakeFingerprint(path);
    ASSERT_TRUE(read.exists);
    EXPECT_EQ(read.size, 11);
    EXPECT_FALSE(read.hash.isEmpty());
    EXPECT_FALSE(FileChangedSince(path, read));

    setTime(path, then.addSecs(5));  // touched: the same bytes
    FileFingerprint now;
    EXPECT_FALSE(FileChangedSince(path, read, &now));
    EXPECT_EQ(now.hash, read.hash);

    writeBytes(path, "<Language+>");  // the same size, other bytes
    setTime(path, then.addSecs(10));
    EXPECT_TRUE(FileChangedSince(path, read));
    writeBytes(path, "<Language />");  // another size
    EXPECT_TRUE(FileChangedSince(path, read, &now));
    EXPECT_EQ(now.size, 12);

    QFile::remove(path);
    EXPECT_TRUE(FileChangedSince(path, read, &now));
    EXPECT_FALSE(now.exists);
    EXPECT_FALSE(FileChangedSince(path, now));  // still gone
}

} // namespace
