#pragma once
// The resource header as a filter of resource numbers.

#include <QSet>
#include <QString>
#include <cstdint>

// Answers "does this number's decimal text occur in the header?" without
// searching the header each time. Resource numbers have at most five digits,
// and a digit string can only occur inside a run of digits, so every digit
// substring of up to five characters is collected once.
class HeaderFilter {
public:
    explicit HeaderFilter(const QString &header)
    {
        for (qsizetype start = 0; start < header.size(); ++start) {
            for (qsizetype n = 1; n <= 5 && start + n <= header.size() && header[start + n - 1].isDigit()
                 && header[start + n - 1].unicode() < 0x80;
                 ++n) {
                const QString digits = header.mid(start, n);
                m_anywhere.insert(digits);
                if (start > 0)
                    m_afterFirst.insert(digits);
            }
        }
    }

    // Menus and dialogs: the number anywhere in the header.
    bool listsResource(std::uint32_t id) const { return m_anywhere.contains(QString::number(id)); }

    // A string block holds the ids (N-1)*16 .. (N-1)*16+15 and is read when
    // one of them occurs after the header's first character.
    bool listsStringBlock(std::uint32_t block) const
    {
        for (std::uint32_t i = 0; i < 16; ++i) {
            if (m_afterFirst.contains(QString::number(std::uint16_t((block - 1) * 16 + i))))
                return true;
        }
        return false;
    }

private:
    QSet<QString> m_anywhere, m_afterFirst;
};
