// consistency: the originals that the language files of a folder
// translate differently.

#include "batch/consistency_report.h"
#include "catalogue/messages.h"
#include "cli/cli_support.h"

#include <QFileInfo>

namespace {

void printJson(const ConsistencyReport &report, QTextStream &out)
{
    out << '[';
    for (size_t i = 0; i < report.items.size(); ++i) {
        const ConsistencyItem &item = report.items[i];
        out << (i ? ",\n " : "\n ") << "{\"original\": " << jsonString(item.original) << ", \"translations\": [";
        for (size_t t = 0; t < item.translations.size(); ++t) {
            const ConsistencyVariant &variant = item.translations[t];
            out << (t ? ", " : "") << "{\"translation\": " << jsonString(variant.translation) << ", \"files\": [";
            for (qsizetype f = 0; f < variant.files.size(); ++f)
                out << (f ? ", " : "") << jsonString(variant.files.at(f));
            out << "]}";
        }
        out << "]}";
    }
    out << (report.items.empty() ? "]\n" : "\n]\n");
}

void printText(const ConsistencyReport &report, QTextStream &out)
{
    for (const ConsistencyItem &item : report.items) {
        out << jsonString(item.original) << '\n';
        for (const ConsistencyVariant &variant : item.translations)
            out << "    " << jsonString(variant.translation) << ": " << variant.files.join(QStringLiteral(", "))
                << '\n';
    }
    const size_t count = report.items.size();
    out << count << (count == 1 ? " original" : " originals") << " translated differently in "
        << report.files.size() << (report.files.size() == 1 ? " file\n" : " files\n");
}

} // namespace

int cmdConsistency(const QStringList &args, CliStreams &io)
{
    const CommandLine line = parseCommandLine(args, {}, {QStringLiteral("--json")});
    if (!line.error.isEmpty() || line.operands.size() != 1)
        return usageError(line, io);
    const bool json = line.has(QStringLiteral("--json"));
    const QString &folder = line.operands.first();
    if (!QFileInfo(folder).isDir()) {
        io.err << "Not a folder: " << folder << '\n';
        return 1;
    }
    const ConsistencyReport report = ConsistencyReportForFolder(folder);
    for (const FileFailure &failure : report.unreadable)
        io.err << messageText(MsgCannotOpen) << " (" << failure.path << ": " << failure.reason << ")\n";
    if (json)
        printJson(report, io.out);
    else
        printText(report, io.out);
    return report.items.empty() && report.unreadable.empty() ? 0 : 1;
}
