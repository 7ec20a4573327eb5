#include "checks/check_switches.h"

#include <algorithm>

bool CheckSwitches::isOn(const QString &languageCode, const QString &checkId) const
{
    const auto found = m_off.constFind(languageCode.toUpper());
    return found == m_off.constEnd() || !found->contains(checkId);
}

void CheckSwitches::setOn(const QString &languageCode, const QString &checkId, bool on)
{
    const QString code = languageCode.toUpper();
    if (!on) {
        m_off[code].insert(checkId);
        return;
    }
    const auto found = m_off.find(code);
    if (found == m_off.end())
        return;
    found->remove(checkId);
    if (found->isEmpty())
        m_off.erase(found);
}

QStringList CheckSwitches::offChecks(const QString &languageCode) const
{
    const QSet<QString> off = m_off.value(languageCode.toUpper());
    QStringList ids(off.cbegin(), off.cend());
    std::sort(ids.begin(), ids.end());
    return ids;
}

QStringList CheckSwitches::languages() const { return m_off.keys(); }

QMap<QString, QString> CheckSwitches::toMap() const
{
    QMap<QString, QString> map;
    for (auto it = m_off.cbegin(); it != m_off.cend(); ++it)
        map.insert(it.key(), offChecks(it.key()).join(u','));
    return map;
}

CheckSwitches CheckSwitches::fromMap(const QMap<QString, QString> &map)
{
    CheckSwitches switches;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        for (const QString &id : it.value().split(u',')) {
            const QString trimmed = id.trimmed();
            if (!trimmed.isEmpty())
                switches.setOn(it.key(), trimmed, false);
        }
    }
    return switches;
}
