// Replace Original English: the translations of another language file shown
// in column 0 in place of the English originals, for reading only; every
// handler that needs a row's original maps the shown text back.

#include "editor/rendaro_view.h"

#include "catalogue/document.h"
#include "catalogue/messages.h"

#include <QCoreApplication>

QString CRendaroView::displayText(const QString &original) const { return m_rows.displayText(original); }

// A row of the shown catalogue knows its entry; any other row is mapped
// back from the text it shows.
QString CRendaroView::DisplayedToOriginal(int row) const
{
    if (const StringEntry *entry = RowEntry(row))
        return entry->original;
    return m_referenceOriginals.originalOf(m_grid->GetItemText(row, 0));
}

void CRendaroView::SetReferenceEntries(EntryMap entries)
{
    m_referenceEntries = std::move(entries);
    m_referenceOriginals.build(m_referenceEntries);
}

// The reference file is read, its entries copied and the file closed again
// at once: a catalogue left loaded would be written by Save in a language
// folder (with the folder's translations) and exported with the folder.
void CRendaroView::OnReplaceOriginal()
{
    FileDialogRequest request;
    request.startFolder = QCoreApplication::applicationFilePath();
    request.filter = tr("XML Files (*.xml)");
    const QString path = m_prompts.openFileName(this, request);
    if (path.isEmpty())
        return;
    CRendaroDoc &document = *theDocument();
    const int id = document.LoadCatalogue(path, false);
    if (id < 0) {
        SetReferenceEntries(EntryMap());
        ask(messageText(MsgCannotOpen) + QStringLiteral("\n\n") + document.lastErrorText(), PromptIcon::Stop,
            PromptButtons::Ok);
    } else {
        SetReferenceEntries(document.CopyEntries(id));
        document.CloseCatalogue(id);
    }
    m_grid->EndEdit(true);
    RefreshGrid();
}
