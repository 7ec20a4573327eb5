#pragma once
// File > Open Language Folder: every language file of one folder tree,
// chosen in a list, loaded and merged into the master catalogue, which the
// grid shows (Save then writes every file back). The shown file is closed
// only after the folder and its files are chosen and the save question is
// answered: cancelling any step keeps it.

#include <QObject>

class CommandActions;
class CRendaroView;

class LanguageFolderCommands : public QObject {
    Q_OBJECT
public:
    LanguageFolderCommands(CRendaroView &view, CommandActions *commands);

    void OnOpenLanguageFolder();

signals:
    // The user opened a folder (its journals may be offered).
    void folderOpened();

private:
    CRendaroView &m_view;
};
