#include "exchange/outgoing_entries.h"

#include "catalogue/xml_escape.h"
#include "checks/entry_checks.h"
#include "exchange/display_form.h"

#include <limits>

OutgoingEntry MakeOutgoing(const ExportFile &file, const StringEntry &entry)
{
    OutgoingEntry out;
    out.entry = &entry;
    const StringEntry *shown = file.current ? file.current->lookup(entry.original) : nullptr;
    if (!shown)
        shown = &entry;
    out.translation = shown->translation;
    out.translatable = shown->translatable != 0;
    out.translated = !out.translation.isEmpty() && out.translation != entry.original;
    out.source = ToDisplayForm(entry.original);
    if (out.translated)
        out.target = ToDisplayForm(out.translation);
    // The check counts the memory form, where each line break takes two
    // characters; a tool counts the one character it shows. The escape
    // check makes the translation hold as many breaks as the original.
    const qsizetype limit = MaxTranslationLength(entry.original, file.lengthRatio);
    if (limit < std::numeric_limits<int>::max())
        out.maxWidth = std::max<qsizetype>(0, limit - (entry.original.size() - out.source.size()));
    return out;
}

void AppendMarkupText(std::string &out, QStringView text)
{
    for (;;) {
        const qsizetype cr = text.indexOf(u'\r');
        appendEscapedPlain(out, cr < 0 ? text : text.left(cr), false);
        if (cr < 0)
            return;
        out.append("&#13;");
        text = text.mid(cr + 1);
    }
}

void AppendMarkupAttribute(std::string &out, const char *name, QStringView value)
{
    out.push_back(' ');
    out.append(name);
    out.append("=\"");
    appendEscapedPlain(out, value, true);
    out.push_back('"');
}
