#pragma once
// File > Import String From: the translations of another file of the same
// language taken into the rows of the grid, row by row (rows hidden by
// Hide Translated Item or the filter are left alone), as one undo step.

#include <QObject>

class CommandActions;
class CRendaroView;

class ImportStringsCommand : public QObject {
    Q_OBJECT
public:
    ImportStringsCommand(CRendaroView &view, CommandActions *commands);

    void OnImportString();

private:
    CRendaroView &m_view;
    CommandActions *m_commands;
};
