#include "catalogue/document.h"
#include "cli/cli_support.h"

namespace {

void appendJsonList(QString &out, const KeyList &items)
{
    out += u'[';
    bool first = true;
    for (const QString &item : items) {
        if (!first)
            out += u", ";
        appendJsonString(out, item);
        first = false;
    }
    out += u']';
}

void appendJsonList(QString &out, const QStringList &items)
{
    out += u'[';
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i)
            out += u", ";
        appendJsonString(out, items[i]);
    }
    out += u']';
}

// A text for one column of a line: control characters (a tab, a real line
// break) as \uXXXX, so that every entry stays one line of three columns.
void appendColumn(QString &out, QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20)
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
}

// One line per entry in file order: keys, original and translation, tab-
// separated, texts in memory form; what git shows of a language file in a diff.
void printLines(const CXMLStruct &catalogue, QTextStream &out)
{
    QString text;
    for (std::size_t number = 0; number < catalogue.entries.size(); ++number) {
        const StringEntry &entry = catalogue.entries.byNumber(number);
        appendColumn(text, entry.keys.toList().join(QStringLiteral(", ")));
        text += u'\t';
        appendColumn(text, entry.original);
        text += u'\t';
        appendColumn(text, entry.translation);
        text += u'\n';
        if (text.size() >= 64 * 1024) {
            out << text;
            text.clear();
        }
    }
    out << text;
}

} // namespace

// Prints the loaded catalogue as one JSON object, texts in memory form, or
// with --lines as lines.
int cmdDump(const QStringList &args, CliStreams &io)
{
    const QString lines = QStringLiteral("--lines");
    const CommandLine line = parseCommandLine(args, {}, {lines});
    if (!line.error.isEmpty() || line.operands.size() != 1)
        return usageError(line, io);
    CommandDocument holder;
    CRendaroDoc &document = *holder;
    const int id = loadEntriesForCommand(document, line.operands.first(), io);
    if (id < 0)
        return 1;
    const CXMLStruct &catalogue = *document.findCatalogue(id);
    if (line.has(lines)) {
        printLines(catalogue, io.out);
        return 0;
    }
    // The text is built in a buffer that goes to the stream every 64 Ki
    // characters: a million entries make one call each, not one per piece.
    constexpr qsizetype kFlushAt = 64 * 1024;
    QString text;
    text.reserve(kFlushAt + 4096);
    // The ratio as read, which the checks use; JSON has no number for the
    // infinity or NaN that an AllowLength such as "1e40" or "nan" gives.
    text += QStringLiteral("{\"lengthRatio\": ") + jsonNumber(double(catalogue.lengthRatio))
            + QStringLiteral(", \"codeType\": ") + QString::number(catalogue.codeType) + QStringLiteral(", \"keys\": ");
    appendJsonList(text, CRendaroDoc::KeysInFileOrder(catalogue));
    text += u", \"entries\": [";
    bool first = true;
    for (const auto &[original, entry] : catalogue.entries) {
        text += first ? QStringView(u"\n  {\"original\": ") : QStringView(u",\n  {\"original\": ");
        appendJsonString(text, original);
        text += u", \"translation\": ";
        appendJsonString(text, entry.translation);
        text += u", \"keys\": ";
        appendJsonList(text, entry.keys);
        text += entry.translatable ? QStringView(u", \"translatable\": 1}") : QStringView(u", \"translatable\": 0}");
        first = false;
        if (text.size() >= kFlushAt) {
            io.out << text;
            text.clear();
        }
    }
    text += first ? QStringView(u"]}\n") : QStringView(u"\n]}\n");
    io.out << text;
    return 0;
}
