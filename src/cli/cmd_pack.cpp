// pack: the generate-and-pack pipeline over a branch tree, for build
// pipelines: list the projects and languages, add new strings to the English
// catalogues and apply them to every language, write the combined files for
// the translators, import the translated ones.

#include "batch/generate_ziv_handler.h"
#include "catalogue/document.h"
#include "cli/cli_support.h"

#include <QFileInfo>
#include <algorithm>

namespace {

struct PackOptions {
    QString command;
    QString branch, devicePack, table, out, from, threads;
    QStringList projects, languages;
};

// Reads the options; false on anything malformed or out of place.
bool parseOptions(const QStringList &args, PackOptions &options)
{
    options.command = args.value(0);
    const QStringList commands = {"list", "add-strings", "combine", "import"};
    if (!commands.contains(options.command))
        return false;
    for (qsizetype i = 1; i < args.size(); i += 2) {
        const QString &name = args.at(i);
        if (i + 1 >= args.size() || args.at(i + 1).isEmpty())
            return false;
        const QString &value = args.at(i + 1);
        QString *single = name == u"--branch"        ? &options.branch
                          : name == u"--device-pack" ? &options.devicePack
                          : name == u"--projects"    ? &options.table
                          : name == u"--out"         ? &options.out
                          : name == u"--from"        ? &options.from
                          : name == u"--threads"     ? &options.threads
                                                     : nullptr;
        if (single) {
            if (!single->isEmpty())
                return false;  // given twice
            *single = value;
        } else if (name == u"--project") {
            options.projects.append(value);
        } else if (name == u"--language") {
            options.languages.append(value);
        } else {
            return false;
        }
    }
    const bool list = options.command == u"list";
    // --threads N (at least 1) for the steps that read and write many files.
    if (!options.threads.isEmpty()) {
        bool number = false;
        if (options.threads.toInt(&number) < 1 || !number
            || (options.command != u"combine" && options.command != u"import"))
            return false;
    }
    return !options.branch.isEmpty() && (options.command == u"combine") == !options.out.isEmpty()
           && (options.command == u"import") == !options.from.isEmpty()
           && !(list && (!options.projects.isEmpty() || !options.languages.isEmpty()));
}

bool isFolder(const QString &path, CliStreams &io)
{
    if (QFileInfo(path).isDir())
        return true;
    io.err << "Not a folder: " << path << '\n';
    return false;
}

// The projects named with --project (table indices), or every available one.
bool selectProjects(const CGenerateZIVHandler &handler, const QStringList &names, std::vector<int> &indices,
                    CliStreams &io)
{
    if (names.isEmpty()) {
        for (const auto &[index, name] : handler.ListAvailableProjects())
            indices.push_back(index);
        if (indices.empty())
            io.err << "No project found under " << handler.branchPath() << '\n';
        return !indices.empty();
    }
    const ProjectTable &table = handler.projectTable();
    for (const QString &name : names) {
        const auto found = std::find_if(table.begin(), table.end(), [&](const ProjectEntry &row) { return row.name == name; });
        if (found == table.end()) {
            io.err << "No project " << name << " in the project table\n";
            return false;
        }
        const int index = int(found - table.begin());
        if (std::find(indices.begin(), indices.end(), index) == indices.end())
            indices.push_back(index);
    }
    return true;
}

// The languages named with --language, or every language folder.
bool selectLanguages(const CGenerateZIVHandler &handler, const QStringList &codes, QStringList &languages,
                     CliStreams &io)
{
    const QStringList available = handler.ListLanguages();
    for (const QString &code : codes) {
        if (!available.contains(code)) {
            io.err << "No language folder " << code << " under " << handler.LanguageRoot(0) << '\n';
            return false;
        }
        if (!languages.contains(code))
            languages.append(code);
    }
    if (codes.isEmpty())
        languages = available;
    if (languages.isEmpty())
        io.err << "No language folder under " << handler.LanguageRoot(0) << '\n';
    return !languages.isEmpty();
}

int printProblems(const QStringList &problems, CliStreams &io)
{
    for (const QString &problem : problems)
        io.err << problem << '\n';
    return problems.isEmpty() ? 0 : 1;
}

int listProjects(const CGenerateZIVHandler &handler, CliStreams &io)
{
    io.out << "Projects:\n";
    for (const auto &[index, name] : handler.ListAvailableProjects())
        io.out << "  " << index << ' ' << name << '\n';
    io.out << "Languages:\n";
    for (const QString &language : handler.ListLanguages())
        io.out << "  " << language << '\n';
    return 0;
}

int addStrings(CGenerateZIVHandler &handler, const std::vector<int> &projects, CliStreams &io)
{
    const std::map<int, QString> available = handler.ListAvailableProjects();
    int status = 0;
    for (const int index : projects) {
        const QString &name = handler.projectTable()[size_t(index)].name;
        if (!available.count(index)) {
            io.err << name << ": its module, header or text file is missing; skipped\n";
            status = 1;
            continue;
        }
        handler.AddNewStrings(index);
        const PackStepResult result = handler.LastResult();
        io.out << name << ": " << result.stringsAdded << (result.stringsAdded == 1 ? " new string" : " new strings")
               << ", " << result.written.size() << " files updated, " << result.created.size() << " created\n";
        status = std::max(status, printProblems(result.problems, io));
    }
    return status;
}

int combine(CGenerateZIVHandler &handler, const QStringList &languages, const std::vector<int> &projects,
            const QString &out, CliStreams &io)
{
    const bool written = handler.SaveAllStrings(languages, projects, out);
    const PackStepResult result = handler.LastResult();
    for (const QString &path : result.written)
        io.out << path << '\n';
    return std::max(written ? 0 : 1, printProblems(result.problems, io));
}

int import(CGenerateZIVHandler &handler, const QStringList &languages, const std::vector<int> &projects,
           const QString &from, CliStreams &io)
{
    handler.SetSelectedLanguages(languages);
    handler.SetSelectedProjects(projects);
    handler.SetTranslatedXmlPath(from);
    const QString total = QString::number(languages.size());
    QString language;
    handler.SetLogListener([&](const QString &line) {
        if (line.startsWith(u"Start processing "))
            language = line.mid(17);
        if (io.errIsTerminal)
            io.err << "\r\033[K";  // the progress line gives way to the log line
        io.out << line << '\n';
        io.out.flush();
        if (io.errIsTerminal) {
            io.err << '[' << handler.Progress() << '/' << total << "] " << language;
            io.err.flush();
        }
    });
    handler.RunImport();
    if (io.errIsTerminal)
        io.err << "\r\033[K";
    const PackStepResult result = handler.LastResult();
    io.out << handler.Progress() << " of " << total << " languages imported, " << result.written.size()
           << " files written\n";
    return printProblems(result.problems, io);
}

} // namespace

int cmdPack(const QStringList &args, CliStreams &io)
{
    PackOptions options;
    if (!parseOptions(args, options))
        return 2;  // runCli prints the usage
    ProjectTable table = BuiltInProjectTable();
    QString error;
    if (!options.table.isEmpty() && !LoadProjectTable(options.table, &table, &error)) {
        io.err << error << '\n';
        return 1;
    }
    if (!isFolder(options.branch, io) || (!options.devicePack.isEmpty() && !isFolder(options.devicePack, io)))
        return 1;
    CRendaroDoc document;  // the pipeline's own document
    CGenerateZIVHandler handler(document, table);
    handler.SetBranchPath(options.branch);
    if (!options.threads.isEmpty())
        handler.SetWorkerThreads(options.threads.toInt());
    handler.SetDevicePackPath(options.devicePack);
    if (options.command == u"list")
        return listProjects(handler, io);
    std::vector<int> projects;
    QStringList languages;
    if (!selectProjects(handler, options.projects, projects, io) || !selectLanguages(handler, options.languages, languages, io))
        return 1;
    if (options.command == u"add-strings") {
        handler.SetSelectedLanguages(languages);
        return addStrings(handler, projects, io);
    }
    if (options.command == u"combine")
        return combine(handler, languages, projects, options.out, io);
    if (!isFolder(options.from, io))
        return 1;
    return import(handler, languages, projects, options.from, io);
}
