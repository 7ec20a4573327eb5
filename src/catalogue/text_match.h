#pragma once
// Whether a text holds a needle, decided as QStringView::contains decides it,
// made cheap for scanning a whole catalogue: the needle is folded (or its
// search table built) once, and a text is scanned in place, without a copy
// or a folded duplicate of either.

#include <QString>
#include <QStringMatcher>

class TextMatcher {
public:
    TextMatcher() = default;
    TextMatcher(const QString &needle, Qt::CaseSensitivity caseSensitivity);

    const QString &needle() const { return m_needle; }
    Qt::CaseSensitivity caseSensitivity() const { return m_caseSensitivity; }
    // An empty needle is in every text.
    bool isEmpty() const { return m_needle.isEmpty(); }
    bool isIn(QStringView text) const;

private:
    bool isInFolded(QStringView text) const;

    QString m_needle;
    Qt::CaseSensitivity m_caseSensitivity = Qt::CaseSensitive;
    QStringMatcher m_matcher;  // with case
    QString m_folded;          // without: the needle folded unit by unit
    char16_t m_first = 0;      // its first unit folded,
    char16_t m_firstOther = 0; // and the other case of that unit when it is an ASCII letter
    bool m_hasSurrogates = false;  // folded by code point: left to Qt
};
