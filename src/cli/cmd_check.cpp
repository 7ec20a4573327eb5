// The save-time checks over every entry of a language file.

#include "catalogue/document.h"
#include "checks/entry_checks.h"
#include "catalogue/text_order.h"
#include "cli/cli_support.h"
#include "cli/cmd_check_spelling.h"

namespace {
struct Problem {
    QString original;
    const char *check;
    QString message;
};

void checkEntry(const StringEntry &entry, const CXMLStruct &catalogue, std::vector<Problem> &problems)
{
    for (const EntryProblem &found : CheckEntry(entry.original, entry.translation, catalogue.lengthRatio,
                                                catalogue.codeType))
        problems.push_back({entry.original, EntryCheckName(found.check), found.result.message});
}
} // namespace

int cmdCheck(const QStringList &args, CliStreams &io)
{
    const CommandLine line = parseCommandLine(args, {QStringLiteral("--dictionary")},
                                              {QStringLiteral("--json"), QStringLiteral("--spelling")});
    if (!line.error.isEmpty() || line.operands.size() != 1)
        return usageError(line, io);
    if (line.has(QStringLiteral("--spelling")))
        return checkSpelling(line, io);
    if (line.has(QStringLiteral("--dictionary"))) {
        io.err << "--dictionary goes with --spelling\n";
        return 2;
    }
    const bool json = line.has(QStringLiteral("--json"));
    CommandDocument holder;
    CRendaroDoc &document = *holder;
    const int id = loadEntriesForCommand(document, line.operands.first(), io);
    if (id < 0)
        return 1;
    const CXMLStruct &catalogue = *document.findCatalogue(id);
    // The problems are reported in the order of the originals; only the
    // entries that have one are put in that order, not the whole file.
    std::vector<const StringEntry *> failing;
    for (size_t number = 0; number < catalogue.entries.size(); ++number) {
        const StringEntry &entry = catalogue.entries.byNumber(number);
        if (EntryHasProblem(entry.original, entry.translation, catalogue.lengthRatio, catalogue.codeType))
            failing.push_back(&entry);
    }
    SortByText(failing, [](const StringEntry *entry) { return QStringView(entry->original); });
    std::vector<Problem> problems;
    for (const StringEntry *entry : failing)
        checkEntry(*entry, catalogue, problems);

    if (json) {
        io.out << '[';
        for (size_t i = 0; i < problems.size(); ++i) {
            const Problem &p = problems[i];
            io.out << (i ? ",\n " : "\n ") << "{\"original\": " << jsonString(p.original) << ", \"check\": \""
                   << p.check << "\", \"message\": " << jsonString(p.message) << '}';
        }
        io.out << (problems.empty() ? "]\n" : "\n]\n");
    } else {
        for (const Problem &p : problems)
            io.out << jsonString(p.original) << ": " << p.message << '\n';
        io.out << problems.size() << (problems.size() == 1 ? " problem found\n" : " problems found\n");
    }
    return problems.empty() ? 0 : 1;
}
