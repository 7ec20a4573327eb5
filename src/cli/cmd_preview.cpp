// rendaro-cli preview: a program's dialogs drawn with the translations of a
// language file, as PNG files for reviews and CI artefacts; every control
// whose text does not fit is framed in red, by the verdict the fit check
// gives.

#include "catalogue/catalogue_reading.h"
#include "catalogue/messages.h"
#include "catalogue/safe_file.h"
#include "cli/cli_support.h"
#include "dialogfit/png_file.h"
#include "dialogfit/program_preview.h"
#include "fontmetrics/font_engine.h"

#include <QDir>
#include <QSet>

namespace {

const QString kPreviewProgram = QStringLiteral("--program"), kPreviewHeader = QStringLiteral("--header");
const QString kPreviewDialog = QStringLiteral("--dialog"), kPreviewAll = QStringLiteral("--all");
const QString kPreviewOutput = QStringLiteral("-o"), kPreviewDpi = QStringLiteral("--dpi");

// A resource name as a file name: letters, digits, '_' and '-' kept.
QString fileNameOf(const QString &name)
{
    QString out;
    for (QChar c : name)
        out.append(c.isLetterOrNumber() || c == u'_' || c == u'-' ? c : u'_');
    return out;
}

class PreviewRun {
public:
    PreviewRun(ProgramPreview &preview, const EntryMap &entries, CliStreams &io)
        : m_preview(preview), m_entries(entries), m_io(io)
    {
    }

    // Draws a dialog into `path`; false (said) when it cannot be written.
    bool writeDialog(int index, const QString &path)
    {
        m_preview.showEntries(index, m_entries);
        const DialogPreview &dialog = m_preview.dialog(index);
        noteFace(dialog.layout().font(), DialogFontRequest(dialog.dialog(), dialog.dpi()).face);
        const QString name = m_preview.nameOf({ShownPlace::Control, index, 0, 0});
        int judged = 0;
        for (const PreviewedControl &control : dialog.controls())
            judged += control.judged ? 1 : 0;
        if (!write(path, dialog.draw()))
            return false;
        m_io.out << path << ": " << name << ", " << dialog.size().width() << " x " << dialog.size().height()
                 << " px, " << dialog.misfits() << " of " << judged << " controls do not fit\n";
        for (size_t i = 0; i < dialog.controls().size(); ++i) {
            const PreviewedControl &control = dialog.controls()[i];
            if (control.judged && !control.verdict.fits)
                m_io.out << "  " << dialog.describe(int(i)) << '\n';
        }
        return true;
    }

    bool writeMenu(int index, const QString &path)
    {
        m_preview.showMenuEntries(index, m_entries);
        const MenuPreview &menu = m_preview.menu(index);
        if (!write(path, menu.draw()))
            return false;
        m_io.out << path << ": " << m_preview.nameOf({ShownPlace::MenuItem, index, 0, 0}) << ", "
                 << menu.size().width() << " x " << menu.size().height() << " px\n";
        return true;
    }

private:
    bool write(const QString &path, const RasterImage &image)
    {
        QString error;
        if (writeFileAtomically(path, EncodePng(image), &error))
            return true;
        m_io.err << messageText(MsgCannotSave) << " (" << path << ": " << error << ")\n";
        return false;
    }

    void noteFace(const MeasuringFont &font, const QString &asked)
    {
        if (!font.substituted() || m_facesSaid.contains(asked))
            return;
        m_facesSaid.insert(asked);
        m_io.err << "the font " << asked << " is not installed; drawn in " << font.usedFace() << '\n';
    }

    ProgramPreview &m_preview;
    const EntryMap &m_entries;
    CliStreams &m_io;
    QSet<QString> m_facesSaid;
};

// The dialog a --dialog value names: its header name (any case) or number.
int findDialog(const ProgramTexts &program, const QString &wanted)
{
    const std::vector<ProgramDialog> &dialogs = program.resources().dialogs;
    for (size_t i = 0; i < dialogs.size(); ++i) {
        if (program.names().dialog(dialogs[i].id).compare(wanted, Qt::CaseInsensitive) == 0
            || QString::number(dialogs[i].id) == wanted)
            return int(i);
    }
    return -1;
}

} // namespace

int cmdPreview(const QStringList &args, CliStreams &io)
{
    CommandLine line = parseCommandLine(args, {kPreviewProgram, kPreviewHeader, kPreviewDialog, kPreviewOutput, kPreviewDpi}, {kPreviewAll});
    if (line.error.isEmpty() && line.operands.size() != 1)
        line.error = QStringLiteral("preview takes one language file");
    else if (line.error.isEmpty() && !line.has(kPreviewProgram))
        line.error = QStringLiteral("preview needs --program EXE");
    else if (line.error.isEmpty() && line.has(kPreviewDialog) == line.has(kPreviewAll))
        line.error = QStringLiteral("give --dialog ID or --all");
    else if (line.error.isEmpty() && (!line.has(kPreviewOutput) || isStandardStream(line.value(kPreviewOutput))))
        line.error = QStringLiteral("-o names the picture (with --dialog) or the folder (with --all)");
    bool dpiOk = true;
    const int dpi = line.has(kPreviewDpi) ? line.value(kPreviewDpi).toInt(&dpiOk) : 96;
    if (line.error.isEmpty() && (!dpiOk || dpi < 48 || dpi > 480))
        line.error = QStringLiteral("--dpi takes a resolution from 48 to 480");
    if (!line.error.isEmpty())
        return usageError(line, io);

    const QString file = line.operands.first();
    InputFile input;
    if (!input.open(file, io))
        return 1;
    const ReadCatalogue read = ReadCatalogueFile(input.path(), CatalogueParts::Entries, 0);
    if (!read.ok) {
        io.err << messageText(MsgCannotOpen) << " (" << displayName(file) << ": " << read.errorText << ")\n";
        return 1;
    }
    QStringList problems;
    const std::shared_ptr<const ProgramTexts> program =
        ReadProgramTexts(line.value(kPreviewProgram), line.value(kPreviewHeader), problems);
    for (const QString &problem : std::as_const(problems))
        io.err << problem << '\n';
    if (!program)
        return 1;
    ProgramPreview preview(program, MakeFontEngineMeasurer(), dpi);
    PreviewRun run(preview, read.catalogue.entries, io);
    const QString out = line.value(kPreviewOutput);

    if (line.has(kPreviewDialog)) {
        const int index = findDialog(*program, line.value(kPreviewDialog));
        if (index < 0) {
            QStringList names;
            for (const ProgramDialog &dialog : program->resources().dialogs)
                names.append(program->names().dialog(dialog.id));
            io.err << "no dialog " << line.value(kPreviewDialog) << " in " << line.value(kPreviewProgram) << " (its dialogs: "
                   << (names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", "))) << ")\n";
            return 1;
        }
        return run.writeDialog(index, out) ? 0 : 1;
    }

    if (!QDir().mkpath(out)) {
        io.err << "Can not make the folder " << out << '\n';
        return 1;
    }
    bool written = true;
    const ProgramResources &resources = program->resources();
    for (size_t i = 0; i < resources.dialogs.size(); ++i) {
        const QString name = fileNameOf(preview.nameOf({ShownPlace::Control, int(i), 0, 0}));
        written &= run.writeDialog(int(i), QDir(out).filePath(name + QStringLiteral(".png")));
    }
    for (size_t i = 0; i < resources.menus.size(); ++i) {
        const QString name = fileNameOf(preview.nameOf({ShownPlace::MenuItem, int(i), 0, 0}));
        written &= run.writeMenu(int(i), QDir(out).filePath(name + QStringLiteral(".png")));
    }
    return written ? 0 : 1;
}
