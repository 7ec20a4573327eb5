#include "dialogfit/program_preview.h"

ProgramPreview::ProgramPreview(std::shared_ptr<const ProgramTexts> program, std::shared_ptr<TextMeasurer> measurer,
                               int dpi)
    : m_program(std::move(program)), m_measurer(std::move(measurer)), m_dpi(dpi)
{
}

std::vector<ShownPlace> ProgramPreview::ownersOf(const QString &original) const
{
    std::vector<ShownPlace> owners;
    const std::vector<ShownPlace> *places = m_program->placesOf(original);
    if (!places)
        return owners;
    for (const ShownPlace &place : *places) {
        const bool known = std::any_of(owners.begin(), owners.end(), [&](const ShownPlace &owner) {
            return owner.kind == place.kind && owner.owner == place.owner;
        });
        if (!known)
            owners.push_back(place);
    }
    std::stable_sort(owners.begin(), owners.end(), [](const ShownPlace &a, const ShownPlace &b) {
        return a.kind == ShownPlace::Control && b.kind == ShownPlace::MenuItem;
    });
    return owners;
}

QString ProgramPreview::nameOf(const ShownPlace &owner) const
{
    const ProgramResources &resources = m_program->resources();
    if (owner.kind == ShownPlace::Control)
        return m_program->names().dialog(resources.dialogs[size_t(owner.owner)].id);
    return QStringLiteral("menu ") + m_program->names().dialog(resources.menus[size_t(owner.owner)].id);
}

DialogPreview &ProgramPreview::dialog(int index)
{
    std::unique_ptr<DialogPreview> &made = m_dialogs[index];
    if (!made)
        made = std::make_unique<DialogPreview>(m_program->resources().dialogs[size_t(index)].dialog, m_dpi,
                                               *m_measurer);
    return *made;
}

MenuPreview &ProgramPreview::menu(int index)
{
    std::unique_ptr<MenuPreview> &made = m_menus[index];
    if (!made)
        made = std::make_unique<MenuPreview>(m_program->resources().menus[size_t(index)].menu, m_dpi, *m_measurer);
    return *made;
}

QString ProgramPreview::shownText(const EntryMap &entries, const QString &programText, const Typed *typed) const
{
    const StringEntry *entry = EntryShownBy(entries, programText);
    if (typed && ((entry && entry->original == typed->original)
                  || (!entry && ProgramTexts::keyOf(programText) == ProgramTexts::keyOf(typed->original)))) {
        StringEntry edited;
        edited.original = typed->original;
        edited.translation = typed->text;
        return TextShownFor(&edited, programText);
    }
    return TextShownFor(entry, programText);
}

bool ProgramPreview::showEntries(int index, const EntryMap &entries, const Typed *typed)
{
    DialogPreview &preview = dialog(index);
    const DialogTemplate &source = preview.dialog();
    bool changed = false;
    for (size_t i = 0; i < source.controls.size(); ++i) {
        const DialogControl &control = source.controls[i];
        if (control.kind != ControlKind::Other)
            changed |= preview.setText(int(i), shownText(entries, control.text, typed));
    }
    const QString caption = source.caption.isEmpty() ? QString() : shownText(entries, source.caption, typed);
    changed |= caption != preview.caption();
    preview.setCaption(caption);
    return changed;
}

bool ProgramPreview::showMenuEntries(int index, const EntryMap &entries, const Typed *typed)
{
    MenuPreview &preview = menu(index);
    bool changed = false;
    const auto &popups = preview.menu().popups;
    for (size_t p = 0; p < popups.size(); ++p) {
        for (size_t i = 0; i < popups[p].size(); ++i)
            changed |= preview.setText(int(p), int(i), shownText(entries, popups[p][i].text, typed));
    }
    return changed;
}
