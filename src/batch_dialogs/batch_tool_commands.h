#pragma once
// The batch tools in the editor: File > Apply To (the shown file into other
// language files), File > Generate All Language File From this, Tool > Add
// new string (the ResParser dialog: a program's texts into the shown
// catalogue) and Tool > Generate ZIV (the generate-and-pack dialog). Their
// dialogs live in this folder; they change the shown catalogue only through
// the editor core and ask the user through its prompts.

#include <QObject>
#include <QStringList>

class CommandActions;
class CRendaroView;

class BatchToolCommands : public QObject {
    Q_OBJECT
public:
    BatchToolCommands(CRendaroView &view, CommandActions *commands);

    void OnApplyTo();
    void OnGenerateAll();
    void OnAddNewString();
    void OnGenerateZiv();
    // Reads the shown file again when `written` holds it (or closes the
    // files of a shown folder), so that no stale copy is edited or saved.
    void ReloadWrittenFiles(const QStringList &written);
    // The copies written by the last Generate All, in order.
    const QStringList &generatedFiles() const { return m_generatedFiles; }

private:
    void updateCommandStates();

    CRendaroView &m_view;
    CommandActions *m_commands;
    QStringList m_generatedFiles;
};
