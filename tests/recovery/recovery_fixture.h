#pragma once
// A test with XDG_STATE_HOME pointing at a temporary folder of its own, so
// that journals never reach the user's state folder, and language files to
// write journals for.

#include "recovery/journal_store.h"
#include "recovery/journal_writer.h"
#include "recovery/process_identity.h"
#include "test_support.h"

#include <QDateTime>

class RecoveryTest : public FolderTest {
protected:
    void SetUp() override
    {
        m_previous = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", QFile::encodeName(folder.path("state")));
        journals = RecoveryFolder();
        ASSERT_TRUE(EnsureRecoveryFolder(journals, nullptr));
    }
    void TearDown() override { qputenv("XDG_STATE_HOME", m_previous); }

    // A header for a file of this process.
    static JournalHeader headerFor(const QString &target, JournalTargetKind kind = JournalTargetKind::File)
    {
        const ProcessIdentity self = CurrentProcessIdentity();
        JournalHeader header;
        header.kind = kind;
        header.target = JournalTargetPath(target);
        header.pid = self.pid;
        header.startTicks = self.startTicks;
        header.bootId = self.bootId;
        header.createdMs = QDateTime::currentMSecsSinceEpoch();
        return header;
    }
    std::unique_ptr<JournalWriter> writerFor(const QString &target,
                                             JournalTargetKind kind = JournalTargetKind::File)
    {
        QString error;
        auto writer = JournalWriter::create(journals, headerFor(target, kind), &error);
        EXPECT_TRUE(writer) << error.toStdString();
        return writer;
    }
    // Journal files in the folder, by name.
    QStringList journalNames() const { return QDir(journals).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

    QString journals;

private:
    QByteArray m_previous;
};
