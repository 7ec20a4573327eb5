// Export for Translation and Import Translations: the shown file (or every
// file of a language folder) out to XLIFF, PO or TMX for translation tools,
// and translations back from XLIFF or PO, each checked as an edit before it
// is taken.

#include "editor/exchange/exchange_commands.h"

#include "catalogue/document.h"
#include "catalogue/entry_edits.h"
#include "catalogue/messages.h"
#include "editor/core/command_actions.h"
#include "editor/core/rendaro_view.h"
#include "editor/core/step_report.h"
#include "exchange/exchange_files.h"
#include "exchange/exchange_import.h"
#include "exchange/language_tags.h"
#include "exchange/po_writer.h"
#include "exchange/tmx_reader.h"
#include "exchange/tmx_writer.h"
#include "exchange/xliff_writer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// Units named in the summary; the rest are counted.
constexpr int kNamedUnits = 20;

// The folder a language folder's path ("DIR/*") names; empty for a file.
QString shownFolder(const QString &currentPath)
{
    return currentPath.endsWith(QStringLiteral("/*")) ? currentPath.chopped(2) : QString();
}

void appendNamed(QString &text, const QString &title, const QStringList &lines)
{
    if (lines.isEmpty())
        return;
    text += QStringLiteral("\n\n") + title + u'\n' + lines.mid(0, kNamedUnits).join(u'\n');
    if (lines.size() > kNamedUnits)
        text += QCoreApplication::translate("ExchangeCommands", "\n... and %1 more").arg(lines.size() - kNamedUnits);
}

} // namespace

ExchangeCommands::ExchangeCommands(CRendaroView &view, CommandActions *commands) : m_view(view), m_commands(commands)
{
    if (commands) {
        commands->handle(Command::ExportForTranslation, this, &ExchangeCommands::OnExportForTranslation);
        commands->handle(Command::ImportTranslations, this, &ExchangeCommands::OnImportTranslations);
        connect(&view, &CRendaroView::commandStatesChanged, this, &ExchangeCommands::updateCommandStates);
        updateCommandStates();
    }
}

void ExchangeCommands::updateCommandStates()
{
    const bool shown = m_view.currentCatalogueId() >= 0;
    m_commands->action(Command::ExportForTranslation)->setEnabled(shown);
    m_commands->action(Command::ImportTranslations)->setEnabled(shown);
}

QString ExchangeCommands::exchangeStartFolder() const
{
    if (!m_lastExchangePath.isEmpty())
        return QFileInfo(m_lastExchangePath).absolutePath();
    const QString &currentPath = m_view.currentPath();
    const QString folder = shownFolder(currentPath);
    if (!folder.isEmpty())
        return folder;
    return currentPath.isEmpty() ? QCoreApplication::applicationFilePath() : currentPath;
}

void ExchangeCommands::OnExportForTranslation()
{
    const CRendaroDoc &document = *theDocument();
    const CXMLStruct *shown = m_view.shownCatalogue();
    if (!shown)
        return;
    m_view.grid()->EndEdit(true);
    if (m_view.grid()->isEditing())
        return;  // the open edit was refused and says why
    const QString &currentPath = m_view.currentPath();
    FileDialogRequest request;
    request.caption = tr("Export for Translation");
    request.startFolder = exchangeStartFolder();
    request.filter = tr("XLIFF Files (*.xlf *.xliff);;PO Files (*.po);;TMX 1.4b (*.tmx)");
    request.defaultSuffix = QStringLiteral("xlf");
    QString filter;
    request.selectedFilter = &filter;
    const QString path = m_view.prompts().saveFileName(&m_view, request);
    if (path.isEmpty())
        return;
    m_lastExchangePath = path;
    // The name decides; a name of no known kind goes by the chosen filter.
    const bool tmxName = IsTmxPath(path);
    const bool knownSuffix = tmxName || path.endsWith(QStringLiteral(".po"), Qt::CaseInsensitive)
        || path.endsWith(QStringLiteral(".xlf"), Qt::CaseInsensitive)
        || path.endsWith(QStringLiteral(".xliff"), Qt::CaseInsensitive);
    const bool tmx = knownSuffix ? tmxName : filter.startsWith(QStringLiteral("TMX"));
    const bool po = !tmx
        && (knownSuffix ? ExchangeFormatOf(path) == ExchangeFormat::Po : filter.startsWith(QStringLiteral("PO")));

    std::vector<ExportFile> files;
    const QString folder = shownFolder(currentPath);
    if (m_view.currentCatalogueId() == 0) {
        // A language folder: the master holds the edits Save would write.
        const int count = int(document.catalogues().size());
        for (int index = 1; index < count && !po; ++index) {
            const CXMLStruct &file = *document.catalogueAt(index);
            files.push_back(ExportFileOf(file, QDir(folder).relativeFilePath(file.filePath)));
            files.back().current = &shown->entries;
        }
        if (po) {
            // One PO for the folder: each original once, as the grid shows it.
            const QString first = count > 1 ? document.GetCataloguePath(1) : QString();
            files.push_back(ExportFileOf(*shown, QDir(folder).dirName(), LanguageTagForPath(first)));
        }
    } else {
        const QString name = currentPath.isEmpty() ? QStringLiteral("untitled.xml") : QFileInfo(currentPath).fileName();
        files.push_back(ExportFileOf(*shown, name));
    }
    if (tmx) {
        exportTmx(path, files);
        return;
    }
    QString error;
    if (!(po ? SavePo(path, files.front(), &error) : SaveXliff(path, files, &error))) {
        m_view.ask(messageText(MsgCannotSave) + QStringLiteral("\n\n%1: %2").arg(path, error), PromptIcon::Stop,
            PromptButtons::Ok);
        return;
    }
    size_t strings = 0;
    bool languageKnown = true;
    for (const ExportFile &file : files) {
        for (size_t number = 0; number < file.entries->size(); ++number) {
            const StringEntry &entry = file.entries->byNumber(number);
            const StringEntry *current = file.current ? file.current->lookup(entry.original) : nullptr;
            if (!entry.original.isEmpty() && (!po || (current ? current : &entry)->translatable != 0))
                ++strings;
        }
        languageKnown = languageKnown && !file.language.isEmpty();
    }
    QString text = tr("Strings exported for translation: %1, to %2.").arg(strings).arg(path);
    if (!languageKnown)
        text += tr("\n\nThe file name names no language, so the export names none; a translation tool may ask "
                   "for it. (rendaro-cli takes one with --target-language.)");
    m_view.ask(text, languageKnown ? PromptIcon::Information : PromptIcon::Exclamation, PromptButtons::Ok);
}

// Every unit of a TMX file names its translation's language, which the
// file's name gives; a file whose name gives none is not written.
void ExchangeCommands::exportTmx(const QString &path, const std::vector<ExportFile> &files)
{
    QStringList unnamed;
    qsizetype units = 0;
    for (const ExportFile &file : files) {
        if (file.language.isEmpty())
            unnamed << file.name;
        units += TmxUnitCount(file);
    }
    if (!unnamed.isEmpty()) {
        m_view.ask(tr("A TMX file names the language of every translation, but the name of %1 names no language.\n\n"
                      "Nothing was written. (rendaro-cli tmx export takes one with --target-language.)")
                .arg(unnamed.join(QStringLiteral(", "))),
            PromptIcon::Stop, PromptButtons::Ok);
        return;
    }
    TmxWriteOptions options;
    options.toolVersion = QStringLiteral(RENDARO_VERSION);
    QString error;
    if (!SaveTmx(path, files, options, &error)) {
        m_view.ask(messageText(MsgCannotSave) + QStringLiteral("\n\n%1: %2").arg(path, error), PromptIcon::Stop,
            PromptButtons::Ok);
        return;
    }
    m_view.showStatus(tr("Translation units written: %1, to %2.").arg(units).arg(path));
}

void ExchangeCommands::OnImportTranslations()
{
    CRendaroDoc &document = *theDocument();
    if (!m_view.shownCatalogue())
        return;
    m_view.grid()->EndEdit(true);
    if (m_view.grid()->isEditing())
        return;
    FileDialogRequest request;
    request.caption = tr("Import Translations");
    request.startFolder = exchangeStartFolder();
    request.filter = tr("Translation Files (*.xlf *.xliff *.po);;XLIFF Files (*.xlf *.xliff);;PO Files (*.po)");
    const QString path = m_view.prompts().openFileName(&m_view, request);
    if (path.isEmpty())
        return;
    m_lastExchangePath = path;
    std::unique_ptr<ProgressReporter> progress = m_view.prompts().progress(&m_view, tr("Import Translations"));
    if (progress) {
        progress->setTotal(3);
        progress->show();
        progress->step(tr("Reading %1...").arg(path));
    }
    const ExchangeDocument exchange = ReadExchangeFile(path, ExchangeFormatOf(path));
    if (!exchange.ok()) {
        progress.reset();
        m_view.ask(tr("Can not read %1:\n%2\n\nNothing was changed.").arg(path, exchange.error), PromptIcon::Stop,
            PromptButtons::Ok);
        return;
    }
    // A single file takes its own <file> of an XLIFF; a language folder
    // takes them all into the master catalogue.
    const CXMLStruct &catalogue = *m_view.shownCatalogue();
    const bool folderShown = m_view.currentCatalogueId() == 0;
    const QString filePath = folderShown ? document.GetCataloguePath(1) : catalogue.filePath;
    QString exchangeLanguage;
    const std::vector<const ExchangeUnit *> units =
        UnitsForFile(exchange, folderShown ? QString() : catalogue.filePath, &exchangeLanguage);
    const QString fileLanguage = LanguageTagForPath(filePath);
    if (LanguagesConflict(exchangeLanguage, fileLanguage)) {
        progress.reset();
        m_view.ask(tr("%1 holds translations into %2, but the shown strings are in %3.\n\nNothing was changed.")
                .arg(path, exchangeLanguage, fileLanguage),
            PromptIcon::Stop, PromptButtons::Ok);
        return;
    }
    if (progress)
        progress->step(tr("Checking the translations..."));
    const ImportPlan plan = PlanImport(catalogue, units, !folderShown);
    if (progress)
        progress->step(tr("Taking the translations..."));
    std::vector<EntryTarget> changes;
    changes.reserve(plan.changes.size());
    for (const ImportChange &change : plan.changes)
        changes.push_back({change.original, change.translation, 1});
    const StepResult step = m_view.applyStep(tr("Import Translations"), changes);  // one undo step
    progress.reset();

    QString text = tr("Import finished: %1.").arg(plan.summary());
    if (const int tooLong = plan.tooLongCount())
        text += tr("\nKept although longer than the length limit (shown in red): %1.").arg(tooLong);
    QStringList refused, unknown;
    for (const ImportRefusal &refusal : plan.refused)
        refused << DescribeUnit(refusal.unit) + QStringLiteral(": ") + refusal.reason;
    for (const UnitReference &unit : plan.unknown)
        unknown << DescribeUnit(unit);
    appendNamed(text, tr("Refused (the file keeps its translation):"), refused);
    appendNamed(text, tr("Not in the shown strings (not added):"), unknown);
    text += StepWarningsText(step);
    m_view.ask(text, refused.isEmpty() ? PromptIcon::Information : PromptIcon::Exclamation, PromptButtons::Ok);
}
