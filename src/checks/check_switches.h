#pragma once
// Which warnings are on, per language (Tool > Checks keeps it in the
// settings). Every warning is on until switched off, so a check added later
// is on everywhere; errors are never switched off. Languages are the
// family's three-letter codes ("DEU"); the empty code stands for files
// whose name names no language.

#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

class CheckSwitches {
public:
    bool isOn(const QString &languageCode, const QString &checkId) const;
    void setOn(const QString &languageCode, const QString &checkId, bool on);
    // The checks switched off for a language, sorted.
    QStringList offChecks(const QString &languageCode) const;
    // The languages with a check switched off, sorted.
    QStringList languages() const;
    bool isEmpty() const { return m_off.isEmpty(); }

    // For the settings: a language code to the ids switched off, separated
    // by commas ("DEU" -> "case,urls"); languages with everything on are
    // left out.
    QMap<QString, QString> toMap() const;
    // The reverse; ids are trimmed, empty ones dropped.
    static CheckSwitches fromMap(const QMap<QString, QString> &map);

    friend bool operator==(const CheckSwitches &a, const CheckSwitches &b) { return a.m_off == b.m_off; }

private:
    QMap<QString, QSet<QString>> m_off;  // upper-case code -> ids switched off
};
