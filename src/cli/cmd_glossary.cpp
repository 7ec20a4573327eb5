// The glossary's commands: the terms each entry of a file holds, and
// converting a glossary between TBX, CSV or TSV and phrase books.

#include "catalogue/catalogue_reading.h"
#include "catalogue/messages.h"
#include "checks/check_language.h"
#include "cli/cli_glossary.h"
#include "cli/cli_support.h"
#include "glossary/glossary_files.h"
#include "glossary/term_matcher.h"

namespace {

// The glossaries of paths (none given: the shared one beside file), their
// entries together; false (with the reasons printed) when none is read.
bool readGlossaries(const QStringList &given, const QString &file, const QString &language, Glossary &glossary,
                    CliStreams &io)
{
    const QStringList paths = given.isEmpty() ? FindGlossaryFiles(file) : given;
    if (paths.isEmpty()) {
        io.err << "No glossary: give --glossary PATH, or put glossary.tbx or glossary.csv beside the file\n";
        return false;
    }
    bool ok = true;
    glossary.language = language;
    for (const QString &path : paths) {
        GlossaryRead read = ReadGlossaryFile(path, language);
        if (!read.ok()) {
            io.err << "Can not read the glossary " << path << ": " << read.error << '\n';
            ok = false;
            continue;
        }
        for (const QString &problem : read.problems)
            io.err << path << ": " << problem << '\n';
        for (GlossaryEntry &entry : read.glossary.entries)
            glossary.entries.push_back(std::move(entry));
    }
    return ok;
}

void appendTermTargets(QString &out, const QStringList &items)
{
    out += u'[';
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i)
            out += QStringLiteral(", ");
        appendJsonString(out, items[i]);
    }
    out += u']';
}

int listTerms(const QStringList &args, CliStreams &io)
{
    QStringList rest = args, paths;
    QString error;
    if (!TakeGlossaryOptions(rest, paths, &error)) {
        io.err << error << '\n';
        return 2;
    }
    const CommandLine line = parseCommandLine(rest, {}, {QStringLiteral("--json")});
    if (!line.error.isEmpty() || line.operands.size() != 1)
        return usageError(line, io);
    const QString file = line.operands.first();
    InputFile input;
    if (!input.open(file, io))
        return 1;
    std::vector<std::uint32_t> lines;
    ReadCatalogue read = ReadCatalogueFileWithLines(input.path(), 0, lines);
    if (!read.ok) {
        io.err << messageText(MsgCannotOpen) << " (" << displayName(file) << ": " << read.errorText << ")\n";
        return 1;
    }
    const CheckLanguage language = isStandardStream(file) ? CheckLanguage() : CheckLanguageForPath(file);
    Glossary glossary;
    const bool allRead = readGlossaries(paths, file, language.tag, glossary, io);
    if (glossary.entries.empty())
        return 1;
    WordStems english(QStringLiteral("en_US"));
    const TermIndex index(glossary, english);
    const bool json = line.has(QStringLiteral("--json"));
    QString out;
    qsizetype printed = 0;
    const EntryMap &entries = read.catalogue.entries;
    for (size_t number = 0; number < entries.size(); ++number) {
        const StringEntry &entry = entries.byNumber(number);
        const std::vector<TermMatch> matches = index.find(entry.original, english);
        if (matches.empty())
            continue;
        if (json) {
            out += printed == 0 ? QStringLiteral("[\n {\"line\": ") : QStringLiteral(",\n {\"line\": ");
            out += QString::number(lines[number]) + QStringLiteral(", \"key\": ");
            if (entry.keys.isEmpty())
                out += QStringLiteral("null");
            else
                appendJsonString(out, entry.keys.first());
            out += QStringLiteral(", \"original\": ");
            appendJsonString(out, entry.original);
            out += QStringLiteral(", \"terms\": [");
        }
        bool firstTerm = true;
        for (const TermMatch &match : matches) {
            const QString found = entry.original.mid(match.start, match.end - match.start);
            for (int e : index.groups()[size_t(match.group)].entries) {
                const GlossaryEntry &term = glossary.entries[size_t(e)];
                if (json) {
                    out += firstTerm ? QStringLiteral("{\"found\": ") : QStringLiteral(", {\"found\": ");
                    appendJsonString(out, found);
                    out += QStringLiteral(", \"term\": ");
                    appendJsonString(out, term.source);
                    out += QStringLiteral(", \"targets\": ");
                    appendTermTargets(out, term.targets);
                    out += QStringLiteral(", \"status\": \"%1\", \"note\": ").arg(TermStatusName(term.status));
                    appendJsonString(out, term.note);
                    out += QStringLiteral(", \"partOfSpeech\": ");
                    appendJsonString(out, term.partOfSpeech);
                    out += u'}';
                } else {
                    out += QStringLiteral("%1:%2\t%3\t%4\t%5\t%6\t%7\n")
                               .arg(displayName(file))
                               .arg(lines[number])
                               .arg(jsonString(found), term.source, term.targets.join(QStringLiteral(" | ")),
                                    TermStatusName(term.status), term.note);
                }
                firstTerm = false;
            }
        }
        if (json)
            out += QStringLiteral("]}");
        ++printed;
        if (out.size() > 65536) {
            io.out << out;
            out.clear();
        }
    }
    if (json)
        out += printed == 0 ? QStringLiteral("[]\n") : QStringLiteral("\n]\n");
    io.out << out;
    return allRead ? 0 : 1;
}

int convertGlossary(const QStringList &args, CliStreams &io)
{
    const QString languageOption = QStringLiteral("--language");
    const CommandLine line = parseCommandLine(args, {languageOption});
    if (!line.error.isEmpty() || line.operands.size() != 2)
        return usageError(line, io);
    const QString in = line.operands[0], out = line.operands[1];
    for (const QString &path : {in, out}) {
        if (GlossaryFormatForPath(path) == GlossaryFormat::Unknown) {
            io.err << path << ": not a glossary file's name (.tbx, .csv, .tsv or .qph)\n";
            return 2;
        }
    }
    const QString language = line.value(languageOption);
    if (!checkLanguageTag(language, io))
        return 2;
    GlossaryRead read = ReadGlossaryFile(in, language);
    if (!read.ok()) {
        io.err << "Can not read the glossary " << in << ": " << read.error << '\n';
        return 1;
    }
    for (const QString &problem : read.problems)
        io.err << in << ": " << problem << '\n';
    if (!language.isEmpty())
        read.glossary.language = language;
    QString error;
    if (!WriteGlossaryFile(out, read.glossary, &error)) {
        io.err << messageText(MsgCannotSave) << " (" << out << ": " << error
               << (read.glossary.language.isEmpty() ? QStringLiteral("; give --language TAG") : QString()) << ")\n";
        return 1;
    }
    io.out << read.glossary.entries.size() << " entries written to " << out << '\n';
    return read.problems.isEmpty() ? 0 : 1;
}

} // namespace

int cmdTerms(const QStringList &args, CliStreams &io) { return listTerms(args, io); }

int cmdGlossary(const QStringList &args, CliStreams &io)
{
    if (args.isEmpty() || args.first() != u"convert") {
        io.err << "glossary takes convert\n";
        return 2;
    }
    return convertGlossary(args.mid(1), io);
}
