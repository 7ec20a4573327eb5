#pragma once
// File > Save As *.js and Save As *.php: the shown catalogue written as a
// script string table to a file the user picks, or, in a language folder,
// every file's table written beside it under its script name without a
// word. An export never changes the shown path, which Save writes to.

#include <QObject>
#include <QString>

class CommandActions;
class CRendaroView;

class ScriptExportCommands : public QObject {
    Q_OBJECT
public:
    ScriptExportCommands(CRendaroView &view, CommandActions *commands);

    // kind: ScriptJavaScript or ScriptPhp (export/script_table.h).
    void OnExportScript(int kind);

private:
    QString exportFileName(int kind);
    void exportFolderScripts(int kind);

    CRendaroView &m_view;
    QString m_lastExportPath;  // where the last script table was written
};
