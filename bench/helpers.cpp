#include "helpers.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

bool copyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        QDir().mkpath(QFileInfo(target).path());
        QFile::remove(target);
        if (!QFile::copy(source, target))
            return false;
    }
    return true;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double bestOf(int runs, const std::function<double()> &run)
{
    double best = 1e18;
    for (int i = 0; i < runs; ++i)
        best = std::min(best, run());
    return best;
}

double medianProcessMs(const QString &program, const QStringList &args, int runs, int maxStatus)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.setStandardOutputFile(QProcess::nullDevice());
        QElapsedTimer timer;
        timer.start();
        process.start(program, args);
        process.waitForFinished(-1);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() > maxStatus) {
            std::fprintf(stderr, "failed: %s %s\n", qPrintable(program), qPrintable(args.join(u' ')));
            return -1;
        }
    }
    return median(times);
}

TemporaryStateFolder::TemporaryStateFolder() : m_previous(qgetenv("XDG_STATE_HOME"))
{
    qputenv("XDG_STATE_HOME", QFile::encodeName(m_folder.path()));
}

TemporaryStateFolder::~TemporaryStateFolder() { qputenv("XDG_STATE_HOME", m_previous); }

ProcessRun runProcess(const QStringList &arguments)
{
    std::vector<QByteArray> bytes;
    for (const QString &argument : arguments)
        bytes.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    int pipeEnds[2];
    ProcessRun run;
    if (pipe(pipeEnds) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0) {
        close(pipeEnds[0]);
        return run;
    }
    char buffer[4096];
    ssize_t got;
    while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        run.output.append(buffer, got);
    close(pipeEnds[0]);
    int status = 0;
    rusage usage {};
    wait4(pid, &status, 0, &usage);
    run.ms = double(timer.nsecsElapsed()) / 1e6;
    run.peakMb = double(usage.ru_maxrss) / 1024;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.ok = run.status == 0;
    return run;
}


namespace {

QByteArray dialogsEntry(const QString &from, const QString &to, int key)
{
    return QStringLiteral("   <L from=\"%1\" to=\"%2\" key=\"IDS_%3\"/>\r\n")
        .arg(from.toHtmlEscaped(), to.toHtmlEscaped())
        .arg(key)
        .toUtf8();
}

} // namespace

bool WriteDialogsLanguageFile(const QString &path, int entries)
{
    QByteArray out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\r\n\r\n<Language "
                     "AllowLength=\"5.000000\" CodeType=\"CPlus2\">\r\n";
    int key = 0;
    for (int d = 1; d <= 500; ++d) {
        const QString n = QString::number(d);
        const QStringList pairs = {
            "Apply " + n, "&Übernehmen " + n, "Cancel", "Abbrechen",
            "Show item " + n, "Element " + n + " &anzeigen", "Enable feature " + n, "Funktion " + n + " &einschalten",
            "Small " + n, "&Klein " + n, "Large " + n, "&Groß " + n, "Group " + n, "Gruppe " + n,
            "This note " + n + " explains what the options of this dialog do.",
            "Dieser Hinweis " + n + " erklärt, was die Optionen dieses Dialogfelds bewirken, ausführlich.",
            "Name " + n + ":", "&Bezeichnung " + n + ":", "Centred " + n, "Zentriert " + n,
            "Apply to all files " + n, "Auf alle Dateien anwenden " + n};
        for (qsizetype i = 0; i + 1 < pairs.size(); i += 2) {
            if (d > 1 && pairs[i] == u"Cancel")
                continue;
            out += dialogsEntry(pairs[i], pairs[i + 1], ++key);
        }
    }
    for (int i = key; i < entries; ++i)
        out += dialogsEntry(QStringLiteral("Generated string %1").arg(i), QStringLiteral("Erzeugte Zeichenkette %1").arg(i),
                            ++key);
    out += "</Language>\r\n";
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size();
}
