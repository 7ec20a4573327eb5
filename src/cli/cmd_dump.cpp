#include "catalogue/document.h"
#include "cli/cli_support.h"

namespace {
QString jsonList(const QStringList &items)
{
    QStringList quoted;
    quoted.reserve(items.size());
    for (const QString &item : items)
        quoted.append(jsonString(item));
    return u'[' + quoted.join(u", ") + u']';
}
} // namespace

// Prints the loaded catalogue as one JSON object, texts in memory form.
int cmdDump(const QStringList &args, CliStreams &io)
{
    const CommandLine line = parseCommandLine(args, {});
    if (!line.error.isEmpty() || line.operands.size() != 1)
        return usageError(line, io);
    CRendaroDoc document;
    const int id = loadForCommand(document, line.operands.first(), io, false);
    if (id < 0)
        return 1;
    const CXMLStruct &catalogue = *document.findCatalogue(id);
    // The ratio as read, which the checks use; JSON has no number for the
    // infinity or NaN that an AllowLength such as "1e40" or "nan" gives.
    io.out << "{\"lengthRatio\": " << jsonNumber(double(catalogue.lengthRatio))
           << ", \"codeType\": " << catalogue.codeType << ", \"keys\": " << jsonList(catalogue.keys)
           << ", \"entries\": [";
    bool first = true;
    for (const auto &[original, entry] : catalogue.entries) {
        io.out << (first ? "\n" : ",\n") << "  {\"original\": " << jsonString(original)
               << ", \"translation\": " << jsonString(entry.translation) << ", \"keys\": " << jsonList(entry.keys)
               << ", \"translatable\": " << (entry.translatable ? 1 : 0) << '}';
        first = false;
    }
    io.out << (first ? "]}\n" : "\n]}\n");
    return 0;
}
