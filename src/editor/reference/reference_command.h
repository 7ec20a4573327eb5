#pragma once
// View > Replace Original English: the translations of another language
// file shown in column 0 in place of the English originals, for reading
// only. The reference file is read, its entries copied and the file closed
// again at once: a catalogue left loaded would be written by Save in a
// language folder (with the folder's translations) and exported with it.

#include <QObject>

class CommandActions;
class CRendaroView;

class ReferenceCommand : public QObject {
    Q_OBJECT
public:
    ReferenceCommand(CRendaroView &view, CommandActions *commands);

    void OnReplaceOriginal();

private:
    CRendaroView &m_view;
};
