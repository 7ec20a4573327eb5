#include "editor/preview/preview_feature.h"

#include "editor/core/command_actions.h"
#include "editor/preview/program_resources_dlg.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QSettings>

namespace {

// The picture as Qt shows it (the pixels are copied: the raster goes).
QImage toImage(const RasterImage &raster)
{
    return QImage(reinterpret_cast<const uchar *>(raster.bits()), raster.width(), raster.height(),
                  qsizetype(raster.width()) * 4, QImage::Format_RGB32)
        .copy();
}

} // namespace

PreviewFeature::PreviewFeature(CRendaroView &view, CommandActions *commands)
    : m_view(view), m_commands(commands), m_dock(new CPreviewDock(&view)), m_editor(view.grid()->editor())
{
    m_dock->hide();
    connect(&view, &CRendaroView::shownChanged, this, &PreviewFeature::shownChanged);
    connect(&view, &CRendaroView::closed, this, &PreviewFeature::shownChanged);
    connect(&view, &CRendaroView::selectionChanged, this, &PreviewFeature::followSelection);
    connect(&view, &CRendaroView::entriesChanged, this, &PreviewFeature::redraw);
    // The text being typed in place, and the editor closing (Esc puts the
    // entry's own text back).
    connect(m_editor, &QLineEdit::textChanged, this, &PreviewFeature::redraw);
    connect(view.grid(), &CReportCtrl::editingChanged, this, &PreviewFeature::redraw);
    connect(m_dock, &CPreviewDock::visibleNow, this, &PreviewFeature::followSelection);
    connect(m_dock, &CPreviewDock::placeChosen, this, &PreviewFeature::choosePlace);
    connect(m_dock, &CPreviewDock::controlClicked, this, &PreviewFeature::controlClicked);
    connect(m_dock, &CPreviewDock::lineActivated, this, &PreviewFeature::lineActivated);
    if (commands) {
        commands->handle(Command::ProgramResources, this, &PreviewFeature::OnProgramResources);
        connect(&view, &CRendaroView::commandStatesChanged, this, &PreviewFeature::updateCommandStates);
        updateCommandStates();
    }
}

PreviewFeature::~PreviewFeature() { delete m_dock; }

void PreviewFeature::setSettings(QSettings *settings)
{
    m_links.setSettings(settings);
    shownChanged();
}

void PreviewFeature::updateCommandStates()
{
    m_commands->action(Command::ProgramResources)->setEnabled(!shownPath().isEmpty());
}

QString PreviewFeature::shownPath() const
{
    const QString &path = m_view.currentPath();
    if (m_view.currentCatalogueId() == 0 && path.endsWith(QStringLiteral("/*")))
        return path.chopped(2);
    return m_view.currentCatalogueId() < 0 ? QString() : path;
}

void PreviewFeature::addCheckOptions(const CheckTarget &target, QVariantMap &options) const
{
    const ProgramLink link = m_links.linkFor(target.path, !target.files.isEmpty());
    if (link.isEmpty())
        return;
    options.insert(QStringLiteral("program"), link.program);
    options.insert(QStringLiteral("header"), link.header);
}

void PreviewFeature::shownChanged()
{
    m_programStale = true;
    m_preview.reset();
    m_owners.clear();
    m_chosen = -1;
    m_link = m_links.linkFor(shownPath(), m_view.currentCatalogueId() == 0);
    followSelection();
}

// Reads the linked program (the checks share what was read) when the dock
// first needs it.
void PreviewFeature::loadProgram()
{
    m_programStale = false;
    m_preview.reset();
    m_problem.clear();
    if (shownPath().isEmpty()) {
        m_problem = tr("Open a language file to see its strings where the program shows them.");
        return;
    }
    if (m_link.isEmpty()) {
        m_problem = m_link.problem.isEmpty()
                        ? tr("No program is linked to %1. Tool > Program Resources... links the program it "
                             "translates, and the Preview shows its dialogs and menus.")
                              .arg(QFileInfo(shownPath()).fileName())
                        : m_link.problem;
        return;
    }
    QStringList problems;
    std::shared_ptr<const ProgramTexts> texts = ReadProgramTexts(m_link.program, m_link.header, problems);
    if (!texts) {
        m_problem = tr("The program cannot be read: %1").arg(problems.join(QStringLiteral("; ")));
        m_view.showStatus(m_problem);
        return;
    }
    const TextMeasurerMaker maker = CurrentTextMeasurerMaker();
    if (!maker) {
        m_problem = tr("There is no font engine to draw the dialogs with.");
        return;
    }
    m_preview = std::make_unique<ProgramPreview>(std::move(texts), maker());
}

void PreviewFeature::followSelection()
{
    if (!m_dock->isVisible())
        return;
    if (m_programStale)
        loadProgram();
    const int row = m_view.grid()->FirstSelectedRow();
    const QString original = row < 0 ? QString() : m_view.DisplayedToOriginal(row);
    const bool sameString = original == m_original && !m_owners.empty();
    m_original = original;
    if (!m_preview) {
        m_owners.clear();
        m_chosen = -1;
        m_dock->showNote(m_problem);
        return;
    }
    // The dialog shown stays while it shows the newly selected string too.
    const ShownPlace previous = m_chosen >= 0 ? m_owners[size_t(m_chosen)] : ShownPlace{ShownPlace::Control, -1, 0, 0};
    m_owners = original.isEmpty() ? std::vector<ShownPlace>() : m_preview->ownersOf(original);
    m_chosen = m_owners.empty() ? -1 : 0;
    for (size_t i = 0; i < m_owners.size(); ++i) {
        if (m_owners[i].kind == previous.kind && m_owners[i].owner == previous.owner)
            m_chosen = int(i);
    }
    if (m_owners.empty()) {
        m_dock->showNote(original.isEmpty()
                             ? tr("Select a string to see it where the program shows it.")
                             : tr("\"%1\" is not shown by a dialog or menu of %2.")
                                   .arg(original, QFileInfo(m_link.program).fileName()));
        return;
    }
    if (!sameString) {
        QStringList names;
        for (const ShownPlace &owner : m_owners)
            names.append(m_preview->nameOf(owner));
        m_dock->setPlaces(names, m_chosen);
    }
    redraw();
}

void PreviewFeature::choosePlace(int index)
{
    if (index < 0 || size_t(index) >= m_owners.size())
        return;
    m_chosen = index;
    m_dock->placeChoice()->setCurrentIndex(index);
    redraw();
}

const DialogPreview *PreviewFeature::shownDialog() const
{
    if (!m_preview || m_chosen < 0 || m_owners[size_t(m_chosen)].kind != ShownPlace::Control)
        return nullptr;
    return &m_preview->dialog(m_owners[size_t(m_chosen)].owner);
}

// Draws the chosen dialog or menu with the entries as they are and the text
// being typed; only the texts that changed are measured again.
void PreviewFeature::redraw()
{
    if (!m_preview || m_chosen < 0 || !m_dock->isVisible())
        return;
    const CXMLStruct *catalogue = m_view.shownCatalogue();
    if (!catalogue)
        return;
    CReportCtrl *grid = m_view.grid();
    ProgramPreview::Typed typed;
    const ProgramPreview::Typed *typing = nullptr;
    if (grid->isEditing() && grid->editColumn() == 1) {
        typed.original = m_view.DisplayedToOriginal(grid->editRow());
        typed.text = m_editor->text();
        typing = &typed;
    }
    const ShownPlace &owner = m_owners[size_t(m_chosen)];
    const QString name = m_preview->nameOf(owner);
    QStringList lines;
    std::vector<bool> misfits;
    m_outlined = -1;
    const std::vector<ShownPlace> *places = m_preview->program().placesOf(m_original);
    if (owner.kind == ShownPlace::Control) {
        m_preview->showEntries(owner.owner, catalogue->entries, typing);
        const DialogPreview &dialog = m_preview->dialog(owner.owner);
        for (const ShownPlace &place : places ? *places : std::vector<ShownPlace>()) {
            if (place.kind == owner.kind && place.owner == owner.owner) {
                m_outlined = place.index;
                break;
            }
        }
        for (size_t i = 0; i < dialog.controls().size(); ++i) {
            lines.append(dialog.describe(int(i)));
            misfits.push_back(dialog.controls()[i].judged && !dialog.controls()[i].verdict.fits);
        }
        const int count = dialog.misfits();
        const QString summary = count == 0   ? tr("every text fits at %1 dpi").arg(dialog.dpi())
                                : count == 1 ? tr("1 control too small at %1 dpi").arg(dialog.dpi())
                                             : tr("%1 controls too small at %2 dpi").arg(count).arg(dialog.dpi());
        const QString title = dialog.caption().isEmpty() ? name : QStringLiteral("%1 \"%2\"").arg(name, dialog.caption());
        m_dock->showPicture(toImage(dialog.draw(m_outlined)), title, summary, lines, misfits, m_outlined);
    } else {
        m_preview->showMenuEntries(owner.owner, catalogue->entries, typing);
        const MenuPreview &menu = m_preview->menu(owner.owner);
        int outlinedPopup = -1, line = 0;
        for (size_t p = 0; p < menu.items().size(); ++p) {
            for (size_t i = 0; i < menu.items()[p].size(); ++i, ++line) {
                lines.append(menu.describe(int(p), int(i)));
                misfits.push_back(false);
                for (const ShownPlace &place : places ? *places : std::vector<ShownPlace>()) {
                    if (m_outlined < 0 && place.kind == owner.kind && place.owner == owner.owner
                        && place.group == int(p) && place.index == int(i)) {
                        m_outlined = line;
                        outlinedPopup = int(p);
                    }
                }
            }
        }
        int item = -1;
        if (outlinedPopup >= 0) {
            item = m_outlined;
            for (int p = 0; p < outlinedPopup; ++p)
                item -= int(menu.items()[size_t(p)].size());
        }
        m_dock->showPicture(toImage(menu.draw(outlinedPopup, item)), name, tr("menus size to their texts"), lines,
                            misfits, m_outlined);
    }
    ++m_pictures;
}

// A control clicked in the picture selects the string it shows.
void PreviewFeature::controlClicked(QPoint at)
{
    const DialogPreview *dialog = shownDialog();
    if (dialog)
        selectControl(dialog->controlAt(at));
}

void PreviewFeature::lineActivated(int line)
{
    if (shownDialog())
        selectControl(line);
}

void PreviewFeature::selectControl(int control)
{
    const DialogPreview *dialog = shownDialog();
    const CXMLStruct *catalogue = m_view.shownCatalogue();
    if (!dialog || !catalogue || control < 0 || size_t(control) >= dialog->dialog().controls.size())
        return;
    const StringEntry *entry = EntryShownBy(catalogue->entries, dialog->dialog().controls[size_t(control)].text);
    if (entry)
        m_view.SelectOriginal(entry->original);
    else
        m_view.showStatus(tr("The file has no string for this control."));
}

void PreviewFeature::OnProgramResources()
{
    const QString path = shownPath();
    if (path.isEmpty())
        return;
    CProgramResourcesDlg dialog(m_view.prompts(), path, m_view.window());
    const ProgramLink own = m_links.ownLink(path);
    dialog.setLink(own.program, own.header);
    if (m_view.currentCatalogueId() != 0) {
        const ProgramLink folder = m_links.ownLink(QFileInfo(path).absolutePath());
        const ProgramLink table = m_links.tableLink(path);
        if (!folder.isEmpty())
            dialog.setFallback(tr("Without a program set here, the one of the folder is used: %1").arg(folder.program));
        else if (!table.isEmpty())
            dialog.setFallback(tr("Without a program set here, the branch's project table gives %1 (project %2).")
                                   .arg(table.program, table.project));
        else if (!table.problem.isEmpty())
            dialog.setFallback(table.problem);
    }
    if (!m_view.prompts().runDialog(dialog))
        return;
    m_links.set(path, dialog.program(), dialog.header());
    shownChanged();
    emit linkChanged();
    if (!m_link.isEmpty()) {
        QStringList problems;
        if (!ReadProgramTexts(m_link.program, m_link.header, problems))
            m_view.showStatus(tr("The program cannot be read: %1").arg(problems.join(QStringLiteral("; "))));
        else
            m_view.showStatus(tr("%1 is linked to %2.").arg(QFileInfo(path).fileName(), m_link.program));
    }
}
