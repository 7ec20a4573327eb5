#include "dialogfit/program_texts.h"

#include "resparse/res_extract.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <mutex>

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

const StringEntry *EntryShownBy(const EntryMap &entries, const QString &programText)
{
    const StringEntry *entry = entries.lookup(programText);
    if (!entry && programText.contains(u'&'))
        entry = entries.lookup(ProgramTexts::keyOf(programText));
    for (qsizetype at = 0; !entry && !programText.contains(u'&') && at < programText.size(); ++at) {
        if (!programText[at].isSpace())
            entry = entries.lookup(QString(programText).insert(at, u'&'));
    }
    return entry;
}

QString TextShownFor(const StringEntry *entry, const QString &programText)
{
    if (!entry || entry->translation.isEmpty() || entry->translation == entry->original)
        return programText;
    return entry->translation;
}

std::shared_ptr<const ProgramTexts> ReadProgramTexts(const QString &program, const QString &header,
                                                     QStringList &problems)
{
    static std::mutex mutex;
    static QString lastKey;
    static std::shared_ptr<const ProgramTexts> last;
    const QFileInfo programInfo(program), headerInfo(header);
    const QString key = QStringList{programInfo.absoluteFilePath(), QString::number(programInfo.size()),
                                    programInfo.lastModified().toString(Qt::ISODateWithMs),
                                    header.isEmpty() ? QString() : headerInfo.absoluteFilePath(),
                                    QString::number(headerInfo.size()),
                                    headerInfo.lastModified().toString(Qt::ISODateWithMs)}
                            .join(u'\n');
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (last && key == lastKey)
            return last;
    }
    ProgramResources resources;
    QString error;
    if (!ReadProgramFile(program, resources, &error)) {
        problems.append(error);
        return nullptr;
    }
    if (resources.malformed > 0)
        problems.append(QStringLiteral("%1: %2 dialog or menu templates could not be read and are not checked")
                            .arg(program)
                            .arg(resources.malformed));
    ResourceNames names;
    if (!header.isEmpty()) {
        QFile file(header);
        if (file.open(QIODevice::ReadOnly))
            names = ResourceNames(QString::fromLatin1(file.readAll()));
        else
            problems.append(QStringLiteral("Can not read the header %1 (%2); numbers are shown instead of names")
                                .arg(header, file.errorString()));
    }
    auto made = std::make_shared<const ProgramTexts>(std::move(resources), std::move(names));
    const std::lock_guard<std::mutex> lock(mutex);
    lastKey = key;
    last = made;
    return made;
}
