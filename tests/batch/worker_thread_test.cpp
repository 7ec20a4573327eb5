// The import on the handler's worker thread while another thread reads its
// log and progress, as the dialog's timer does. ./test also runs this
// program under ThreadSanitizer.

#include "branch_fixture.h"
#include "thread_gate.h"

namespace {

class WorkerThread : public BranchTest {
protected:
    // Two projects in `count` languages, each with its combined file.
    QStringList makeLanguages(int count)
    {
        QStringList languages;
        for (int i = 0; i < count; ++i) {
            const QString language = QStringLiteral("L%1").arg(i, 2, 10, QLatin1Char('0'));
            QList<QByteArray> lines, translated;
            for (int e = 0; e < 50; ++e) {
                const QByteArray original = "String " + QByteArray::number(e);
                lines.append("<L from=\"" + original + "\" to=\"" + original + "\"/>");
                translated.append("<L from=\"" + original + "\" to=\"" + original + " " + language.toUtf8() + "\"/>");
            }
            writeCatalogue("ViewRes", language, lines);
            writeCatalogue("BackRes", language, lines);
            writeAt(folder.root() + "/out/ALL_" + language + ".xml", languageFile("", translated));
            languages.append(language);
        }
        handler.SetSelectedLanguages(languages);
        handler.SetSelectedProjects({0, 1});
        handler.SetTranslatedXmlPath(folder.root() + "/out");
        return languages;
    }
};

TEST_F(WorkerThread, LogAndProgressCanBeReadWhileItRuns)
{
    const QStringList languages = makeLanguages(12);
    ASSERT_TRUE(handler.StartImport());
    int lastProgress = 0, polls = 0;
    while (handler.IsActive()) {
        const int progress = handler.Progress();
        const QString log = handler.Log();
        EXPECT_GE(progress, lastProgress);
        EXPECT_LE(progress, languages.size());
        EXPECT_TRUE(log.isEmpty() || log.startsWith("Start processing L")) << log.toStdString();
        lastProgress = progress;
        ++polls;
    }
    handler.Wait();
    EXPECT_GT(polls, 0);
    EXPECT_EQ(handler.Progress(), languages.size());
    EXPECT_TRUE(handler.Log().startsWith("Start processing L11\r\n"));
    EXPECT_EQ(handler.LastResult().written.size(), 24);
    EXPECT_EQ(translationIn(catalogue("BackRes", "L07"), "String 3"), u"String 3 L07");
}

TEST_F(WorkerThread, CancelStopsBetweenFilesAndInputsWaitForTheEnd)
{
    const QStringList languages = makeLanguages(3);
    const QString secondView = catalogue("ViewRes", "L01");
    const QByteArray secondBefore = readBytes(secondView);
    Gate gate;
    handler.SetLogListener([&](const QString &line) {
        if (line == "Load File " + secondView)
            gate.arriveAndWait();
    });
    ASSERT_TRUE(handler.StartImport());
    gate.waitUntilReached();
    EXPECT_TRUE(handler.IsActive());
    EXPECT_EQ(handler.Progress(), 1);
    EXPECT_FALSE(handler.StartImport());  // one worker at a time
    EXPECT_FALSE(handler.SetSelectedLanguages({}));
    EXPECT_FALSE(handler.SetBranchPath(folder.root()));
    EXPECT_FALSE(handler.SaveAllStrings(languages, {0, 1}, folder.root() + "/combined"));
    EXPECT_FALSE(handler.AddNewStrings(0));
    handler.Cancel();
    gate.release();
    handler.Wait();
    EXPECT_FALSE(handler.IsActive());
    EXPECT_EQ(handler.Progress(), 1);
    EXPECT_TRUE(handler.Log().endsWith("\r\nCancelled"));
    EXPECT_EQ(readBytes(secondView), secondBefore);  // the cancelled language is not written
    EXPECT_EQ(translationIn(catalogue("ViewRes", "L00"), "String 0"), u"String 0 L00");
    EXPECT_FALSE(QFileInfo::exists(folder.root() + "/combined"));

    handler.SetLogListener(nullptr);
    ASSERT_TRUE(handler.StartImport());  // the next run starts afresh
    handler.Wait();
    EXPECT_EQ(handler.Progress(), 3);
    EXPECT_EQ(translationIn(secondView, "String 0"), u"String 0 L01");
}

TEST_F(WorkerThread, DestroyingTheHandlerWaitsForItsWorker)
{
    makeLanguages(6);
    {
        CRendaroDoc ownDocument;
        CGenerateZIVHandler own(ownDocument);
        own.SetBranchPath(branch());
        own.SetSelectedLanguages(handler.ListLanguages());
        own.SetSelectedProjects({0, 1});
        own.SetTranslatedXmlPath(folder.root() + "/out");
        ASSERT_TRUE(own.StartImport());
    }  // cancels and joins; the document outlives the handler
    // Whatever was written is complete: every file still reads.
    for (const QString &language : handler.ListLanguages())
        EXPECT_EQ(entryCount(catalogue("ViewRes", language)), 50);
}

} // namespace
