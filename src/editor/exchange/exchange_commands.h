#pragma once
// Export for Translation and Import Translations: the shown file (or every
// file of a language folder) out to XLIFF, PO or TMX for translation tools, and
// their translations back, each checked as an edit before it is taken, as
// one undo step.

#include <QObject>
#include <QString>
#include <vector>

class CommandActions;
struct ExportFile;
class CRendaroView;

class ExchangeCommands : public QObject {
    Q_OBJECT
public:
    ExchangeCommands(CRendaroView &view, CommandActions *commands);

    // Writes the shown file (a language folder: every loaded file) as XLIFF,
    // PO or TMX, as the chosen name or filter says.
    void OnExportForTranslation();
    // Takes the translations of an XLIFF or PO file that pass the checks
    // of an edit, as one undo step, and says what was refused.
    void OnImportTranslations();

private:
    QString exchangeStartFolder() const;
    void exportTmx(const QString &path, const std::vector<ExportFile> &files);
    void updateCommandStates();

    CRendaroView &m_view;
    CommandActions *m_commands;
    QString m_lastExchangePath;  // the last exchange file written or read
};
