#include "dialogfit/program_texts.h"

#include "resparse/res_extract.h"

ProgramTexts::ProgramTexts(ProgramResources resources, ResourceNames names)
    : m_resources(std::move(resources)), m_names(std::move(names))
{
    for (size_t d = 0; d < m_resources.dialogs.size(); ++d) {
        std::vector<ShownPlace> group;
        const std::vector<DialogControl> &controls = m_resources.dialogs[d].dialog.controls;
        for (size_t c = 0; c < controls.size(); ++c) {
            if (controls[c].kind == ControlKind::Other)
                continue;
            const ShownPlace place{ShownPlace::Control, int(d), 0, int(c)};
            m_byKey[keyOf(controls[c].text)].push_back(place);
            group.push_back(place);
        }
        m_groups.push_back(std::move(group));
    }
    for (size_t m = 0; m < m_resources.menus.size(); ++m) {
        m_firstGroupOfMenu.push_back(int(m_groups.size()));
        const auto &popups = m_resources.menus[m].menu.popups;
        for (size_t p = 0; p < popups.size(); ++p) {
            std::vector<ShownPlace> group;
            for (size_t i = 0; i < popups[p].size(); ++i) {
                const ShownPlace place{ShownPlace::MenuItem, int(m), int(p), int(i)};
                m_byKey[keyOf(popups[p][i].text)].push_back(place);
                group.push_back(place);
            }
            m_groups.push_back(std::move(group));
        }
    }
}

QString ProgramTexts::keyOf(const QString &text)
{
    return text.contains(u'&') ? StripMnemonics(text) : text;
}

const std::vector<ShownPlace> *ProgramTexts::placesOf(const QString &original) const
{
    const auto found = m_byKey.constFind(keyOf(original));
    return found == m_byKey.constEnd() ? nullptr : &*found;
}

const QString &ProgramTexts::textAt(const ShownPlace &place) const
{
    if (place.kind == ShownPlace::Control)
        return controlAt(place).text;
    return m_resources.menus[size_t(place.owner)].menu.popups[size_t(place.group)][size_t(place.index)].text;
}

const DialogControl &ProgramTexts::controlAt(const ShownPlace &place) const
{
    return m_resources.dialogs[size_t(place.owner)].dialog.controls[size_t(place.index)];
}

QString ProgramTexts::describe(const ShownPlace &place) const
{
    if (place.kind == ShownPlace::Control) {
        const ProgramDialog &dialog = m_resources.dialogs[size_t(place.owner)];
        return QStringLiteral("%1 in %2").arg(m_names.control(std::uint32_t(controlAt(place).id)),
                                              m_names.dialog(dialog.id));
    }
    const ProgramMenu &menu = m_resources.menus[size_t(place.owner)];
    const MenuItem &item = menu.menu.popups[size_t(place.group)][size_t(place.index)];
    const QString menuName = QStringLiteral("menu ") + m_names.dialog(menu.id);
    if (item.popup)
        return QStringLiteral("a popup of %1").arg(menuName);
    return QStringLiteral("%1 in %2").arg(m_names.control(item.id), menuName);
}

int ProgramTexts::groupOf(const ShownPlace &place) const
{
    if (place.kind == ShownPlace::Control)
        return place.owner;
    return m_firstGroupOfMenu[size_t(place.owner)] + place.group;
}
