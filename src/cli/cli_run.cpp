#include "cli/cli.h"

#include <QFileDevice>

namespace {

struct CommandInfo {
    const char *name;
    CliCommand run;
    const char *usage;    // one line per form
    const char *summary;  // what the command does, for COMMAND --help
};

const CommandInfo kCommands[] = {
    {"dump", cmdDump, "dump FILE [--lines]",
     "Prints the catalogue of a language file as JSON; with --lines, one line per entry in file order: its keys, "
     "original and translation, tab-separated, escapes as in the file's strings (git's diff text conversion)."},
    {"resave", cmdResave, "resave FILE [-o OUT]",
     "Loads a language file and saves it again, to OUT or over FILE; the file's own elements and attributes are "
     "kept."},
    {"untranslated", cmdUntranslated, "untranslated FILE -o OUT",
     "Writes a fresh file holding only the untranslated, translatable strings of FILE. OUT must not be FILE."},
    {"check", cmdCheck,
     "check FILE... [--json] [--checks ID,...] [--skip-checks ID,...] [--fail-on error|warning] [--show-ignored] "
     "[--program EXE [--header H]]\n"
     "      [--glossary GLOSSARY]...\n"
     "check FILE --spelling [--dictionary NAME] [--no-suggestions] [--json]",
     "Runs every check over every entry of each FILE (a language folder: each of its language files): the "
     "save-time errors (placeholders, escapes, length, empty) and the warnings (accelerator, end-punctuation, "
     "whitespace, double-space, invisible, numbers, doubled-word, urls, brackets, case, and positional "
     "placeholders), in the file's language (from its name, as in ViewResDEU.xml). Prints "
     "FILE:LINE: error|warning: MESSAGE [check] per finding, LINE being the line of the string's L element, then "
     "the counts; with --json, an array of {\"file\", \"line\", \"original\", \"key\", \"check\", "
     "\"severity\", \"message\"} in file order. --checks runs only the checks named, --skip-checks leaves them "
     "out. Warnings dismissed in the ignore file beside the file (FILE.rendaro-ignore) or its folder are left "
     "out; --show-ignored lists them too, marked. Exit status 1 when an error is found, or a warning unless "
     "--fail-on error, or a file cannot be read. With --program, also fit (each translation shown by a control of "
     "the program's dialogs fits it at 96, 120 and 144 dpi, measured in the dialog's font) and accelerator-clash "
     "(texts of one dialog or menu popup take the same accelerator letter where their originals did not); --header "
     "names the controls and dialogs by the program's resource header. A program that cannot be read is named and "
     "the other checks run. With --spelling, checks the spelling of the translations "
     "instead, against the hunspell dictionary of the file's language or NAME (de_DE), and lists each "
     "misspelled word with its entry and suggestions (none with --no-suggestions, much faster); exit status 1 "
     "when a word is misspelled. --glossary (TBX, CSV, "
     "TSV or QPH; may be repeated; without it, glossary.tbx or glossary.csv in the file's folder or the nearest "
     "parent folder holding one) adds the warnings term, forbidden-term and untranslated-term."},
    {"preview", cmdPreview,
     "preview FILE --program EXE [--header H] --dialog ID -o OUT.png [--dpi N]\n"
     "preview FILE --program EXE [--header H] --all -o FOLDER [--dpi N]",
     "Draws a dialog of the program (ID: its name in the header, or its number) as it shows the translations of "
     "FILE, at its size in pixels at N dots per inch (default 96) in its font, and writes it as a PNG picture; "
     "every control whose translation does not fit is framed in red (orange: it fits at N dpi but not at 120 or "
     "144, where the fit check judges it too). With --all, every dialog and menu of the program, each as NAME.png "
     "in FOLDER. Prints each picture written with its size and the controls that do not fit. A text the file "
     "lacks or leaves untranslated is shown as the program has it. Exit status 1 when the program cannot be "
     "read, the dialog is not there or a picture cannot be written."},
    {"terms", cmdTerms, "terms FILE [--glossary GLOSSARY]... [--json]",
     "Lists the glossary terms each original of FILE holds (whole words, any case unless the entry says otherwise, "
     "English inflections, the longest term first), one line per term: FILE:LINE, the words found (quoted as in "
     "JSON), the term, its target terms, its status and note, tab-separated; with --json, an array of {\"line\", "
     "\"key\", \"original\", \"terms\": [{\"found\", \"term\", \"targets\", \"status\", \"note\", "
     "\"partOfSpeech\"}]}. The glossary is found as check finds it."},
    {"glossary", cmdGlossary, "glossary convert IN OUT [--language TAG]",
     "Converts a glossary between TBX, CSV, TSV and Qt Linguist phrase books (QPH), by the files' names. TAG picks "
     "a TBX file's target language (default its first other than English) and names the language written. Bad "
     "rows are named and left out (exit status 1)."},
    {"apply", cmdApply, "apply SOURCE TARGET...",
     "Pushes SOURCE's strings, not-to-be-translated marks and settings into each TARGET without touching their "
     "translations. Strings are paired by position; a TARGET out of step with SOURCE gets a warning."},
    {"import", cmdImport, "import TARGET SOURCE",
     "Fills TARGET's untranslated strings from SOURCE (same language) and saves TARGET."},
    {"extract", cmdExtract, "extract EXE HEADER [--add-to FILE]",
     "Lists the menu, dialog and string-table texts of a Windows executable whose numbers occur in the C++ "
     "resource header, or adds them to FILE as new strings."},
    {"generate-all", cmdGenerateAll, "generate-all ENGLISH_FILE TREE [--import]",
     "Writes a copy of ENGLISH_FILE beside every file below TREE whose name holds the reference marker "
     "\"VaridivUva\", named with the marker replaced by ENGLISH_FILE's prefix (its name through the first \"Res\"); "
     "prints each file written. With --import, each copy then takes the translations of the other files of its "
     "folder and is saved again."},
    {"consistency", cmdConsistency, "consistency DIR [--json]",
     "Lists every original that the language files of DIR translate differently, with each translation and the "
     "files holding it. Exit status 1 when anything is inconsistent."},
    {"recover", cmdRecover, "recover --list\nrecover FILE [-o OUT] [--journal JOURNAL]",
     "Lists the recovery journals the editor keeps (file or folder, time, count of changes), or writes FILE (or "
     "every file of a language folder) with the unsaved changes of the journals an editor left behind applied. "
     "--journal names one journal, also one set aside."},
    {"suggest", cmdSuggest, "suggest FILE --tm PATH... [--min N] [--limit K] [--json]",
     "Lists the translation memory's suggestions for every untranslated, translatable string of FILE, best "
     "first: at most K (default 3) scoring at least N (0 to 100, default 60; 100 only for an identical "
     "original). The memory is built from the language files and folders given with --tm (give FILE before "
     "--tm, or repeat --tm). Text output is one line per suggestion: the string, the score, the memory's "
     "original, its translation and its file, tab-separated, texts quoted as in JSON. With --json, an array of "
     "{\"original\", \"suggestions\": [{\"score\", \"original\", \"translation\", \"file\", \"files\"}]} "
     "in catalogue order. A --tm path that cannot be read is named and the others are used; the exit status is "
     "then 1."},
    {"pretranslate", cmdPretranslate, "pretranslate FILE --tm PATH... [--min N] [-o OUT]",
     "Fills every untranslated, translatable string of FILE from the translation memory's suggestions scoring "
     "at least N (default 100: identical originals only) and writes the file to OUT or over FILE. A suggestion "
     "failing a check against the string's original (placeholders, line-break escapes) is left out and the next "
     "one tried. Prints \"N filled, M left out by the checks\" and names each string left out. Exit status 1 "
     "when a file cannot be read or written."},
    {"export", cmdExport, "export js|php FILE -o OUT\nexport js|php --folder DIR",
     "Writes a JavaScript or PHP string table of FILE, or of every language file of DIR next to its source under "
     "its script name."},
    {"xliff", cmdXliff,
     "xliff export FILE|--folder DIR -o OUT.xlf [--target-language TAG] [--program EXE [--header H]]\nxliff import FILE IN.xlf [-o OUT]",
     "Exports a language file (or every language file of DIR, one <file> each) as XLIFF 1.2 for translation "
     "tools, or imports the translations of an XLIFF into FILE (saved over FILE or to OUT). With --program, a "
     "unit shown by the program's dialogs gets the restype of its control (pushbutton, checkbox, radio, groupbox, "
     "ltext, ctext, rtext, menuitem) and the maxwidth of the narrowest one in pixels at 96 dpi "
     "(size-unit=\"pixel\"). The target language "
     "comes from the file's name (ViewResDEU.xml: de) unless given. An import takes a translation only when it "
     "passes the checks of an edit; it prints the counts of changed, unchanged, refused and unknown units and "
     "each refused unit with its reason. Exit status 1 when a unit was refused or a file could not be read or "
     "written."},
    {"po", cmdPo, "po export FILE -o OUT.po [--target-language TAG]\npo import FILE IN.po [-o OUT]",
     "Exports a language file as a gettext PO file (msgctxt the first key, msgid the original; strings marked "
     "not to be translated left out), or imports the translations of a PO file into FILE as xliff import does. "
     "Fuzzy messages are not taken."},
    {"tmx", cmdTmx, "tmx export FILE|FOLDER... -o OUT.tmx [--target-language TAG]",
     "Writes every translated, translatable string of the language files (a folder: its language files, as "
     "language-folder mode lists them) as a TMX 1.4b translation memory: a <tu> per string, its key the tuid, "
     "its file in a prop, the English original (en-US) first, the translation in the language the file's name "
     "names (ViewResDEU.xml: de) unless TAG is given. Texts keep their line-break escapes and placeholders. A "
     "file whose language is not known is left out, and the exit status is then 1."},
    {"merge", cmdMerge, "merge BASE OURS THEIRS [-o OUT] [--name PATH]",
     "Merges two versions of a language file (OURS, THEIRS) made from BASE, entry by entry, and writes the "
     "result over OURS or to OUT; elements neither side changed stay byte for byte. Different changes of one "
     "attribute or setting, and an entry removed on one side and changed on the other, are conflicts: OURS' "
     "value is kept, each is listed, and they go to a conflicts file beside the result (beside PATH with "
     "--name, the file's path in the repository as git gives it). An original changed on one side while the "
     "other translated it is taken with its translation reset, and reported. A file that is not a language "
     "file is merged as git merge-file merges it. Exit status 0 when clean, 1 with conflicts or when a file "
     "could not be read or written."},
    {"git-setup", cmdGitSetup, "git-setup [--global]",
     "Registers rendaro-cli in git's configuration (the repository's, or with --global the user's): the merge "
     "driver \"rendaro\" (the merge command, told the file's path in the repository) and the diff text "
     "conversion (dump in its one-line-per-entry form), and adds the .gitattributes lines giving the "
     "repository's language files both."},
    {"pack", cmdPack,
     "pack list|add-strings|combine|import --branch DIR [--device-pack DIR] [--projects TABLE.json]\n"
     "      [--project NAME]... [--language CODE]... [--out DIR (combine)] [--from DIR (import)] [--threads N]",
     "Runs the generate-and-pack pipeline over a branch tree: lists its projects and languages, adds new strings "
     "to the English files and applies them to every language, writes the combined files for the translators, or "
     "imports the translated ones. combine and import read and write files on N threads at once (by default as "
     "many as the processors run)."},
};

constexpr const char *kStreamsNote = "A FILE of - is standard input, an OUT of - standard output; -- ends the options.";

// The command's forms, one line each after `lead` (the first) or as many
// spaces; a usage line starting with a space continues the form before it.
void printForms(QTextStream &stream, const CommandInfo &command, const char *lead)
{
    const QString indent(qsizetype(qstrlen(lead)), u' ');
    bool first = true;
    for (const QString &line : QString::fromLatin1(command.usage).split(u'\n')) {
        if (line.startsWith(u' '))
            stream << indent << line << '\n';
        else
            stream << (first ? QString::fromLatin1(lead) : indent) << "rendaro-cli " << line << '\n';
        first = false;
    }
}

void printUsage(QTextStream &stream)
{
    stream << "Usage: rendaro-cli COMMAND [ARGS]\n       rendaro-cli --version\nCommands:\n";
    for (const CommandInfo &command : kCommands)
        printForms(stream, command, "  ");
    stream << kStreamsNote << "\nrendaro-cli COMMAND --help describes a command.\n";
}

void printCommandHelp(QTextStream &stream, const CommandInfo &command)
{
    printForms(stream, command, "usage: ");
    stream << command.summary << '\n' << kStreamsNote << '\n';
}

// "--help" or "-h" before any "--".
bool asksForHelp(const QStringList &args)
{
    for (const QString &arg : args) {
        if (arg == u"--")
            return false;
        if (arg == u"--help" || arg == u"-h")
            return true;
    }
    return false;
}

int dispatch(const QStringList &args, CliStreams &io)
{
    if (args.isEmpty()) {
        printUsage(io.err);
        return 2;
    }
    const QString name = args.first();
    if (name == u"help" || name == u"--help" || name == u"-h") {
        printUsage(io.out);
        return 0;
    }
    if (name == u"--version") {
        io.out << "rendaro-cli " << RENDARO_VERSION << '\n';
        return 0;
    }
    for (const CommandInfo &command : kCommands) {
        if (name != QLatin1String(command.name))
            continue;
        const QStringList rest = args.mid(1);
        if (asksForHelp(rest)) {
            printCommandHelp(io.out, command);
            return 0;
        }
        const int status = command.run(rest, io);
        if (status == 2)
            printForms(io.err, command, "usage: ");
        return status;
    }
    io.err << "Unknown command: " << name << '\n';
    printUsage(io.err);
    return 2;
}

// Everything written to standard output must have arrived: a full disk or a
// closed pipe is an error like any other.
bool finishOutput(CliStreams &io)
{
    io.out.flush();
    bool ok = io.out.status() == QTextStream::Ok;
    QString reason;
    if (auto *file = qobject_cast<QFileDevice *>(io.out.device())) {
        ok = file->flush() && ok && file->error() == QFileDevice::NoError;
        reason = file->errorString();
    }
    if (!ok)
        io.err << "Can not write to standard output" << (reason.isEmpty() ? QString() : ": " + reason) << '\n';
    return ok;
}

} // namespace

int runCli(const QStringList &args, CliStreams &io)
{
    const int status = dispatch(args, io);
    if (!finishOutput(io))
        return 1;
    return status;
}
