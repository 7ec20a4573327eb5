// Settings: the length ratio and the placeholder style of the shown file.

#include "editor/core/rendaro_view.h"

#include "catalogue/document.h"
#include "catalogue/entry_edits.h"
#include "editor/core/max_length_setting_dlg.h"

#include <QUndoStack>

// The values are stored in the shown catalogue (the master in a language
// folder) and belong to its file, so the file counts as changed. A new
// placeholder style changes how rows are checked, so the rows are built
// again; they are built from the entries in memory, which hold every edit
// not yet saved. (Reading the entries again from the file's tree would
// drop those edits, the strings pasted since the last save and the new
// ratio, which the tree does not hold yet; the style itself changes nothing
// in the entries.) A new ratio alone recolours the rows at the next refresh.
void CRendaroView::OnSettings()
{
    m_grid->EndEdit(true);
    const CatalogueSettings shown = ReadCatalogueSettings(*theDocument(), m_catalogueId);
    CMaxLengthSettingDlg dialog(m_prompts, this);
    dialog.ratio = shown.lengthRatio;
    dialog.codeLanguage = shown.codeType;
    // Features with a part in the dialog (the spelling dictionary, which
    // belongs to the user's settings, not to the file) fill it in.
    emit settingsDialogOpening(dialog);
    dialog.loadFields();
    if (!m_prompts.runDialog(dialog))
        return;
    emit settingsDialogAccepted(dialog);
    // With nothing shown there is nothing to store the values in, and
    // nothing a save could write.
    if (SetCatalogueSettings(*theDocument(), m_catalogueId, dialog.ratio, dialog.codeLanguage).existed) {
        // Confirmed unchanged values are a step too: the file counts as
        // changed until it is undone.
        const CatalogueSettings chosen = ReadCatalogueSettings(*theDocument(), m_catalogueId);
        m_undoStack->push(new SettingsChangeCommand(*this, shown, chosen));
        emit settingsChanged(chosen);
        recountShown();  // the length and placeholder checks of every entry changed
    }
    if (dialog.codeLanguage != shown.codeType)
        RefreshGrid();
}
