#include "exchange/outgoing_entries.h"

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
