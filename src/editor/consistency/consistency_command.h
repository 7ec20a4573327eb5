#pragma once
// View > Consistency Report: in language-folder mode, the originals that
// the loaded files translate differently, each translation with the files
// holding it, compared as last saved; the one chosen there is selected in
// the grid.

#include <QObject>

class CommandActions;
class CRendaroView;

class ConsistencyCommand : public QObject {
    Q_OBJECT
public:
    ConsistencyCommand(CRendaroView &view, CommandActions *commands);

    void OnConsistencyReport();

private:
    CRendaroView &m_view;
    CommandActions *m_commands;
};
