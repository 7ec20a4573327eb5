// The checks over every entry of language files, reported the way
// compilers report, so that CI and editors can annotate the lines:
// FILE:LINE: error|warning: MESSAGE [check].

#include "catalogue/catalogue_reading.h"
#include "catalogue/folder_listing.h"
#include "catalogue/messages.h"
#include "checks/check_registry.h"
#include "checks/check_share.h"
#include "checks/ignore_marks.h"
#include "cli/cli_glossary.h"
#include "cli/cli_support.h"
#include "cli/cmd_check_spelling.h"
#include "fontmetrics/font_engine.h"

#include "memory/run_on_threads.h"

#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <future>

namespace {

struct Report {
    QString file;   // as the output names it
    quint32 line;
    const StringEntry *entry;
    Finding finding;
    size_t order;   // ties of one line keep the order found
};

struct Options {
    bool json = false;
    bool showIgnored = false;
    Severity failOn = Severity::Warning;
    QStringList only;  // --checks
    QStringList skip;  // --skip-checks
    QString program, header;  // --program, --header: the dialogs and menus the file translates
    QStringList glossaries;  // --glossary (none: the shared glossary found beside the file)
};

// The ids of a comma-separated list, each a check the registry knows;
// false (with the message printed) for an unknown one.
bool readIds(const CommandLine &line, const QString &option, QStringList &ids, CliStreams &io)
{
    if (!line.has(option))
        return true;
    for (const QString &id : line.value(option).split(u',', Qt::SkipEmptyParts)) {
        const QString trimmed = id.trimmed();
        if (!CheckRegistry::standard().find(trimmed)) {
            io.err << "unknown check " << trimmed << " (the checks: " << CheckRegistry::standard().idList() << ")\n";
            return false;
        }
        ids.append(trimmed);
    }
    return true;
}

// The language files an operand names: a folder's, as language-folder
// mode lists them, or the file itself.
QStringList filesOf(const QString &operand)
{
    if (!isStandardStream(operand) && QFileInfo(operand).isDir())
        return ListLanguageFiles(operand);
    return {operand};
}

// The marks that apply to a file: its own and its folder's ignore file.
// False (with the reason printed) when one cannot be read.
bool readMarks(const QString &file, IgnoreMarks &marks, CliStreams &io)
{
    if (isStandardStream(file))
        return true;
    bool ok = true;
    for (const QString &path : IgnoreMarks::filePathsForFile(file)) {
        QString error;
        if (!marks.read(path, &error)) {
            io.err << "Can not read the ignore file " << path << ": " << error << '\n';
            ok = false;
        }
    }
    return ok;
}

class CheckRun {
public:
    CheckRun(const Options &options, CliStreams &io) : m_options(options), m_io(io) {}

    // Checks one file and prints its findings; false when it could not be
    // read (or its ignore marks could not). The last file's entries are
    // left to the system when the program ends, as the other commands
    // leave their documents (freeing a million strings costs a tenth of
    // the run).
    bool checkFile(const QString &file, bool last)
    {
        InputFile input;
        if (!input.open(file, m_io))
            return false;
        CheckTarget target;
        target.path = file;
        target.context.language = isStandardStream(file) ? CheckLanguage() : CheckLanguageForPath(file);
        if (!m_options.program.isEmpty()) {
            target.options.insert(QStringLiteral("program"), m_options.program);
            target.options.insert(QStringLiteral("header"), m_options.header);
        }
        if (!m_options.glossaries.isEmpty())
            target.options.insert(QStringLiteral("glossary"), m_options.glossaries);
        // The checks are made (glossaries, dictionaries and programs read)
        // while the file is read: they need only its language. The sets of
        // one file share what their factories read.
        target.options.insert(QStringLiteral("share"), QVariant::fromValue(std::make_shared<CheckShare>()));
        std::vector<std::future<MadeSet>> sets;
        for (int t = threadsFor(input.path()); t > 0; --t)
            sets.push_back(std::async(std::launch::async, [this, target] { return makeSet(target); }));

        std::vector<std::uint32_t> lines;
        ReadCatalogue read = ReadCatalogueFileWithLines(input.path(), 0, lines);
        if (!read.ok) {
            m_io.err << messageText(MsgCannotOpen) << " (" << displayName(file) << ": " << read.errorText << ")\n";
            return false;
        }
        const CXMLStruct &catalogue = read.catalogue;
        target.context.codeType = catalogue.codeType;
        target.context.lengthRatio = catalogue.lengthRatio;
        MadeSet first = sets.front().get();
        first.set.setContext(target.context);
        CheckSet &set = first.set;
        for (const QString &problem : first.problems)
            m_io.err << displayName(file) << ": " << problem << '\n';
        IgnoreMarks marks;
        const bool marksRead = readMarks(file, marks, m_io);

        std::vector<Report> reports;
        std::vector<Finding> found;
        const QString name = displayName(file);
        auto take = [&](size_t number) {
            for (Finding &finding : found) {
                finding.ignored = marks.matches(finding);
                const size_t at = finding.entry == &catalogue.entries.byNumber(number)
                                      ? number
                                      : size_t(catalogue.entries.lookupNumber(finding.entry->original));
                reports.push_back({name, lines[at], finding.entry, std::move(finding), reports.size()});
            }
            found.clear();
        };
        std::vector<MadeSet> workerSets;  // outlive the findings that name their checks
        std::vector<std::vector<NumberedFinding>> chunks =
            judgeEntries(set, target.context, sets, workerSets, catalogue.entries);
        size_t findings = 0;
        for (const std::vector<NumberedFinding> &chunk : chunks)
            findings += chunk.size();
        reports.reserve(findings);
        for (std::vector<NumberedFinding> &chunk : chunks) {
            for (NumberedFinding &numbered : chunk) {
                found.push_back(std::move(numbered.finding));
                take(numbered.number);
            }
        }
        set.judgeCatalogue(catalogue.entries, found);
        if (!found.empty())
            take(0);
        // File order: the line of each entry's element.
        std::stable_sort(reports.begin(), reports.end(),
                         [](const Report &a, const Report &b) { return a.line < b.line; });
        for (Report &report : reports)
            print(report);
        flush();
        if (last && CommandDocument::leavesToTheSystem()) {
            // The entries, the findings and the sets' data (a glossary's
            // index, dictionaries) are left to the system as well.
            struct Left {
                CXMLStruct catalogue;
                std::vector<Report> reports;
                MadeSet first;
                std::vector<MadeSet> workers;
            };
            static auto *left = new std::vector<Left>;  // never destroyed
            left->push_back({std::move(read.catalogue), std::move(reports), std::move(first), std::move(workerSets)});
        }
        return marksRead;
    }

    void finish()
    {
        if (m_options.json) {
            m_out += m_printed == 0 ? QStringLiteral("[]\n") : QStringLiteral("\n]\n");
        } else {
            m_out += QStringLiteral("%1 %2, %3 %4")
                         .arg(m_errors)
                         .arg(m_errors == 1 ? QStringLiteral("error") : QStringLiteral("errors"))
                         .arg(m_warnings)
                         .arg(m_warnings == 1 ? QStringLiteral("warning") : QStringLiteral("warnings"));
            if (m_ignored > 0)
                m_out += QStringLiteral(" (%1 ignored)").arg(m_ignored);
            m_out += u'\n';
        }
        flush(true);
    }

    bool failed() const
    {
        return m_errors > 0 || (m_options.failOn == Severity::Warning && m_warnings > 0);
    }

private:
    struct NumberedFinding {
        size_t number;  // of the entry judged
        Finding finding;
    };

    struct MadeSet {
        CheckSet set;
        QStringList problems;
    };

    MadeSet makeSet(const CheckTarget &target) const
    {
        MadeSet made;
        made.set = CheckRegistry::standard().makeSet(target, &made.problems);
        select(made.set);
        return made;
    }

    // One set of checks per thread for a large file, one for a small one.
    static int threadsFor(const QString &path)
    {
        constexpr qint64 largeFile = 2 * 1024 * 1024;
        if (QFileInfo(path).size() < largeFile)
            return 1;
        return std::clamp(QThread::idealThreadCount(), 1, 8);
    }

    // The findings of every entry, in entry order, in chunks. Each thread
    // takes chunks from a shared counter with a set of its own (a set's
    // checks keep caches, such as the glossary's stems, that one thread at a
    // time may use): the first with `set`, the others with the rest of
    // `sets`, made while the file was read. The findings name their
    // checks, so the sets used are kept in `workerSets` for as long as the
    // findings are.
    std::vector<std::vector<NumberedFinding>> judgeEntries(const CheckSet &set, const CheckContext &context,
                                                           std::vector<std::future<MadeSet>> &sets,
                                                           std::vector<MadeSet> &workerSets,
                                                           const EntryTable &entries) const
    {
        workerSets.resize(sets.size());
        constexpr size_t chunkSize = 1024;
        const size_t count = entries.size();
        std::vector<std::vector<NumberedFinding>> chunks((count + chunkSize - 1) / chunkSize);
        std::atomic<size_t> next{0};
        std::atomic<size_t> slot{0};
        auto judgeChunks = [&](const CheckSet &own) {
            std::vector<Finding> found;
            for (size_t chunk = next++; chunk < chunks.size(); chunk = next++) {
                const size_t end = std::min(count, (chunk + 1) * chunkSize);
                for (size_t number = chunk * chunkSize; number < end; ++number) {
                    own.judgeEntry(entries.byNumber(number), found);
                    for (Finding &finding : found)
                        chunks[chunk].push_back({number, std::move(finding)});
                    found.clear();
                }
            }
        };
        RunOnThreads(int(sets.size()), [&] {
            const size_t mine = slot++;
            if (mine == 0) {
                judgeChunks(set);
                return;
            }
            MadeSet &own = workerSets[mine] = sets[mine].get();  // its problems are the first set's
            own.set.setContext(context);
            judgeChunks(own.set);
        });
        return chunks;
    }

    void select(CheckSet &set) const
    {
        if (!m_options.only.isEmpty()) {
            for (const std::shared_ptr<const Check> &check : set.checks())
                set.setRunning(check->id(), m_options.only.contains(check->id()));
        }
        for (const QString &id : m_options.skip)
            set.setRunning(id, false);
    }

    void print(const Report &report)
    {
        const Finding &f = report.finding;
        if (f.ignored) {
            ++m_ignored;
            if (!m_options.showIgnored)
                return;
        } else if (f.severity == Severity::Error) {
            ++m_errors;
        } else {
            ++m_warnings;
        }
        if (m_options.json) {
            m_out += m_printed == 0 ? QStringLiteral("[\n {\"file\": ") : QStringLiteral(",\n {\"file\": ");
            appendJsonString(m_out, report.file);
            m_out += QStringLiteral(", \"line\": %1, \"original\": ").arg(report.line);
            appendJsonString(m_out, report.entry->original);
            m_out += QStringLiteral(", \"key\": ");
            if (report.entry->keys.isEmpty())
                m_out += QStringLiteral("null");
            else
                appendJsonString(m_out, report.entry->keys.first());
            m_out += QStringLiteral(", \"check\": ");
            appendJsonString(m_out, f.checkId());
            m_out += QStringLiteral(", \"severity\": \"%1\", \"message\": ").arg(QLatin1String(SeverityName(f.severity)));
            appendJsonString(m_out, f.message);
            if (f.ignored)
                m_out += QStringLiteral(", \"ignored\": true");
            m_out += u'}';
        } else {
            m_out += report.file;
            m_out += u':';
            m_out += QString::number(report.line);
            m_out += QLatin1String(": ");
            m_out += QLatin1String(SeverityName(f.severity));
            m_out += QLatin1String(": ");
            m_out += f.message;
            m_out += QStringLiteral(" [") + f.checkId() + u']';
            if (f.ignored)
                m_out += QStringLiteral(" (ignored)");
            m_out += u'\n';
        }
        ++m_printed;
        flush();
    }

    // The output goes to the stream in pieces, so a file with many findings
    // is not held twice.
    void flush(bool always = false)
    {
        if (always || m_out.size() >= 65536) {
            m_io.out << m_out;
            m_out.clear();
        }
    }

    const Options &m_options;
    CliStreams &m_io;
    QString m_out;
    qsizetype m_printed = 0, m_errors = 0, m_warnings = 0, m_ignored = 0;
};

} // namespace

int cmdCheck(const QStringList &given, CliStreams &io)
{
    QStringList args = given, glossaries;
    QString glossaryError;
    if (!TakeGlossaryOptions(args, glossaries, &glossaryError)) {
        io.err << glossaryError << '\n';
        return 2;
    }
    const QString checks = QStringLiteral("--checks"), skipChecks = QStringLiteral("--skip-checks"),
                  failOn = QStringLiteral("--fail-on"), showIgnored = QStringLiteral("--show-ignored");
    const CommandLine line =
        parseCommandLine(args, {QStringLiteral("--dictionary"), checks, skipChecks, failOn, QStringLiteral("--program"),
                                QStringLiteral("--header")},
                         {QStringLiteral("--json"), QStringLiteral("--spelling"), showIgnored, QStringLiteral("--no-suggestions")});
    if (!line.error.isEmpty() || line.operands.isEmpty())
        return usageError(line, io);
    if (line.has(QStringLiteral("--spelling"))) {
        if (!glossaries.isEmpty()) {
            io.err << "--glossary does not go with --spelling\n";
            return 2;
        }
        for (const QString &option : {checks, skipChecks, failOn, showIgnored}) {
            if (line.has(option)) {
                io.err << option << " does not go with --spelling\n";
                return 2;
            }
        }
        if (line.operands.size() != 1)
            return usageError(line, io);
        return checkSpelling(line, io);
    }
    for (const QString &option : {QStringLiteral("--dictionary"), QStringLiteral("--no-suggestions")}) {
        if (line.has(option)) {
            io.err << option << " goes with --spelling\n";
            return 2;
        }
    }
    Options options;
    options.glossaries = glossaries;
    options.json = line.has(QStringLiteral("--json"));
    options.showIgnored = line.has(showIgnored);
    if (line.has(failOn)) {
        const QString value = line.value(failOn);
        if (value != u"error" && value != u"warning") {
            io.err << "--fail-on takes error or warning\n";
            return 2;
        }
        options.failOn = value == u"error" ? Severity::Error : Severity::Warning;
    }
    if (!readIds(line, checks, options.only, io) || !readIds(line, skipChecks, options.skip, io))
        return 2;
    if (line.has(QStringLiteral("--header")) && !line.has(QStringLiteral("--program"))) {
        io.err << "--header goes with --program\n";
        return 2;
    }
    options.program = line.value(QStringLiteral("--program"));
    options.header = line.value(QStringLiteral("--header"));
    if (!options.program.isEmpty())
        InstallFontEngineMeasurer();

    QStringList files;
    bool allRead = true;
    for (const QString &operand : line.operands) {
        const QStringList found = filesOf(operand);
        if (found.isEmpty()) {
            io.err << "No language files in " << operand << '\n';
            allRead = false;
        }
        files += found;
    }
    CheckRun run(options, io);
    for (qsizetype i = 0; i < files.size(); ++i)
        allRead = run.checkFile(files[i], i + 1 == files.size()) && allRead;
    run.finish();
    return allRead && !run.failed() ? 0 : 1;
}
