// Import String From: translations of another file of the same language
// taken into the rows of the grid, row by row, so rows hidden by Hide
// Translated Item are left alone.

#include "editor/rendaro_view.h"

#include "checks/text_checks.h"
#include "catalogue/document.h"
#include "catalogue/entry_edits.h"
#include "catalogue/messages.h"

#include <optional>

void CRendaroView::OnImportString()
{
    const QString path = m_prompts.openFileName(this, fileRequest());
    if (path.isEmpty())
        return;
    CRendaroDoc &document = *theDocument();
    const int sourceId = document.LoadCatalogue(path, false);
    if (sourceId < 0) {
        ask(messageText(MsgCantOpenFile) + QStringLiteral("\n\n") + document.lastErrorText(), PromptIcon::Stop,
            PromptButtons::Ok);
        return;
    }
    const bool replace =
        ask(messageText(MsgReplaceTranslated), PromptIcon::Question, PromptButtons::YesNo) == PromptAnswer::Yes;
    m_grid->EndEdit(true);
    const EntryMap &sourceEntries = document.findCatalogue(sourceId)->entries;
    int count = 0;
    std::optional<ChangeStep> step(std::in_place, *this, tr("Import"));  // one undo step
    for (int row = 0; row < m_grid->GetItemCount(); ++row) {
        if (m_grid->GetCheck(row))
            continue;  // not to be translated
        const QString original = DisplayedToOriginal(row);
        const QString translation = m_grid->GetItemText(row, 1);
        const bool translated = translation != original && !translation.isEmpty();
        if (translated && !replace)
            continue;
        const StringEntry *source = sourceEntries.lookup(original);
        // A source string still equal to its original (untranslated there,
        // or written without a translation) has nothing to give.
        if (!source || source->translation.isEmpty() || source->translation == source->original
            || source->translation == translation)
            continue;
        const QString text = source->translation;
        const EntryState previous = SetEntryTranslation(document, currentCatalogueId, original, text, 1);
        if (!previous.existed)
            continue;
        m_grid->SetItemText(row, 1, text);
        markRow(row, CatalogueRows::TranslationChanged);  // red when too long
        entryChanged(original, previous);
        ++count;
    }
    step.reset();
    document.CloseCatalogue(sourceId);
    if (count == 0) {
        ask(messageText(MsgImportFinished), PromptIcon::Information, PromptButtons::Ok);
        return;
    }
    setModified();
    ask(messageText(MsgSubstituted).replace(QStringLiteral("%d"), QString::number(count)), PromptIcon::Information,
        PromptButtons::Ok);
}
