// The import on the handler's worker thread while another thread reads its
// log and progress, as the dialog's timer does. ./test also runs this
// program under ThreadSanitizer.

#include "batch/worker_pool.h"
#include "branch_fixture.h"
#include "thread_gate.h"

#include <QDirIterator>
#include <QRandomGenerator>
#include <thread>

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

// The files of Steps 2 and 3 read and written on the pool's threads give
// the files, logs and results of the one-thread run.
class ParallelPipeline : public BranchTest {
protected:
    static constexpr int kProjects = 8;
    const QStringList languages = {"DEU", "FRA", "ITA", "JPN"};

    // Eight projects in four languages drawing on one pool of originals, so
    // that many are shared: untranslated and empty translations, marks not
    // to translate, keys, and an original repeated within a file. One file
    // cannot be read and one is missing.
    void makeTree()
    {
        QRandomGenerator random(17);
        for (const QString &language : languages) {
            for (int project = 0; project < kProjects; ++project) {
                if (language == u"ITA" && project == 3)
                    continue;  // missing
                QList<QByteArray> lines;
                for (int e = 0; e < 60; ++e) {
                    const QByteArray original = "Text " + QByteArray::number(random.bounded(90)) + "/nmore &amp; more";
                    const int kind = random.bounded(6);
                    QByteArray to = kind == 0 ? QByteArray() : kind < 3 ? original
                                                  : original + " " + language.toUtf8() + QByteArray::number(project);
                    QByteArray line = "<L from=\"" + original + "\"";
                    if (kind != 0)
                        line += " to=\"" + to + "\"";
                    line += " key=\"K" + QByteArray::number(e) + "\"";
                    if (random.bounded(10) == 0)
                        line += " IsTrans=\"false\"";
                    lines.append(line + "/>");
                }
                const QString name = handler.projectTable()[size_t(project)].name;
                writeCatalogue(name, language, lines);
            }
        }
        writeCatalogue(handler.projectTable()[5].name, "FRA", {"<L from=\"broken\""});
    }

    std::vector<int> projects() const
    {
        std::vector<int> indices;
        for (int i = 0; i < kProjects; ++i)
            indices.push_back(i);
        return indices;
    }

    // Every file below folder, by path relative to it.
    static std::map<QString, QByteArray> filesBelow(const QString &folder)
    {
        std::map<QString, QByteArray> files;
        QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            files[path.mid(folder.size())] = readBytes(path);
        }
        return files;
    }

    static bool copyTree(const QString &from, const QString &to)
    {
        for (const auto &[name, bytes] : filesBelow(from)) {
            QDir().mkpath(QFileInfo(to + name).path());
            if (!writeBytes(to + name, bytes))
                return false;
        }
        return true;
    }

    static QStringList relative(QStringList texts, const QString &root)
    {
        for (QString &text : texts)
            text.replace(root, "ROOT");
        return texts;
    }
};

TEST_F(ParallelPipeline, CombineAndImportGiveTheOneThreadResults)
{
    if (WorkerPool::boundedThreadCount(0) < 2)
        GTEST_SKIP() << "one processor: nothing would run beside the step's thread";
    makeTree();
    // Step 2 with one thread and with the pool.
    const QString single = folder.root() + "/single", parallel = folder.root() + "/parallel";
    const QString translated = folder.root() + "/translated";
    QDir().mkpath(single);
    QDir().mkpath(parallel);
    ASSERT_TRUE(handler.SetWorkerThreads(1));
    EXPECT_TRUE(handler.SaveAllStrings(languages, projects(), single + "/out"));
    const PackStepResult combinedSingle = handler.LastResult();
    ASSERT_TRUE(handler.SetWorkerThreads(0));
    EXPECT_TRUE(handler.SaveAllStrings(languages, projects(), parallel + "/out"));
    const PackStepResult combinedParallel = handler.LastResult();
    EXPECT_EQ(filesBelow(parallel + "/out"), filesBelow(single + "/out"));
    EXPECT_EQ(relative(combinedParallel.written, parallel), relative(combinedSingle.written, single));
    EXPECT_EQ(combinedParallel.problems, combinedSingle.problems);
    EXPECT_EQ(combinedParallel.written.size(), 4);
    EXPECT_EQ(combinedParallel.problems.size(), 1);  // the file that cannot be read

    // The translators change some translations; Step 3 into two copies of
    // the branch, with one thread and with the pool.
    for (const QString &language : languages) {
        QByteArray bytes = readBytes(single + "/out/ALL_" + language + ".xml");
        bytes.replace("more &amp; more\" to=\"Text 1", "more &amp; more\" to=\"Neu 1");
        bytes.replace("more &amp; more\" to=\"Text 2", "more &amp; more\" to=\"\" x=\"");
        writeAt(translated + "/ALL_" + language + ".xml", bytes);
    }
    ASSERT_TRUE(copyTree(branch(), single + "/branch") && copyTree(branch(), parallel + "/branch"));
    std::map<QString, std::pair<QStringList, PackStepResult>> runs;
    for (const QString &run : {single, parallel}) {
        CRendaroDoc ownDocument;
        CGenerateZIVHandler own(ownDocument);
        own.SetBranchPath(run + "/branch");
        own.SetDevicePackPath(devicePack());
        own.SetSelectedLanguages(languages);
        own.SetSelectedProjects(projects());
        own.SetTranslatedXmlPath(translated);
        own.SetWorkerThreads(run == single ? 1 : 0);
        QStringList lines;
        own.SetLogListener([&lines](const QString &line) { lines.append(line); });
        ASSERT_TRUE(own.StartImport());
        own.Wait();
        runs[run] = {relative(lines, run), own.LastResult()};
    }
    EXPECT_EQ(filesBelow(parallel + "/branch"), filesBelow(single + "/branch"));
    EXPECT_NE(filesBelow(single + "/branch"), filesBelow(branch()));  // the import changed files
    EXPECT_EQ(runs[parallel].first, runs[single].first);
    EXPECT_EQ(runs[parallel].first.count("Save All Files"), 4);
    EXPECT_EQ(relative(runs[parallel].second.written, parallel), relative(runs[single].second.written, single));
    EXPECT_EQ(relative(runs[parallel].second.problems, parallel), relative(runs[single].second.problems, single));
}

TEST(WorkerPool, OneThreadRunsJobsOnTheCallerInOrderWhenWaitedFor)
{
    WorkerPool pool(1);
    EXPECT_EQ(pool.threadCount(), 1);
    std::vector<int> ran;
    std::vector<std::thread::id> threads;
    std::vector<WorkerPool::Ticket> tickets;
    for (int i = 0; i < 4; ++i)
        tickets.push_back(pool.post([&, i] {
            ran.push_back(i);
            threads.push_back(std::this_thread::get_id());
        }));
    EXPECT_TRUE(ran.empty());
    pool.wait(tickets[2]);  // runs the jobs before it too
    EXPECT_EQ(ran, std::vector<int>({0, 1, 2}));
    pool.wait(tickets[0]);
    pool.wait(tickets[3]);
    EXPECT_EQ(ran, std::vector<int>({0, 1, 2, 3}));
    for (const std::thread::id &id : threads)
        EXPECT_EQ(id, std::this_thread::get_id());

    // Jobs dropped before they start never run, and waiting for them returns.
    const WorkerPool::Ticket dropped = pool.post([&] { ran.push_back(99); });
    pool.dropPending();
    pool.wait(dropped);
    EXPECT_EQ(ran.size(), 4u);
}

TEST(WorkerPool, ThreadsRunEveryJobAndPassOnWhatItThrew)
{
    WorkerPool pool(64);
    EXPECT_EQ(pool.threadCount(), WorkerPool::boundedThreadCount(0));  // never more than the machine runs
    std::vector<long> sums(100);
    std::vector<WorkerPool::Ticket> tickets;
    for (size_t i = 0; i < sums.size(); ++i) {
        tickets.push_back(pool.post([&sums, i] {
            for (long n = 0; n <= long(i) * 1000; ++n)
                sums[i] += n;
        }));
    }
    const WorkerPool::Ticket failing = pool.post([] { throw std::runtime_error("job failed"); });
    for (size_t i = sums.size(); i-- > 0;) {
        pool.wait(tickets[i]);
        const long last = long(i) * 1000;
        EXPECT_EQ(sums[i], last * (last + 1) / 2);
    }
    EXPECT_THROW(pool.wait(failing), std::runtime_error);
}

} // namespace
