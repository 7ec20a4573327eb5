#include "catalogue/string_entry.h"

#include <algorithm>

KeyList::KeyList(std::initializer_list<QString> keys)
{
    for (const QString &key : keys)
        append(key);
}

KeyList::KeyList(const QStringList &keys)
{
    for (const QString &key : keys)
        append(key);
}

KeyList::KeyList(const KeyList &other) : m_first(other.m_first), m_rest(other.m_rest & 1u)
{
    if (other.more())
        setMore(new QStringList(*other.more()));
}

KeyList::KeyList(KeyList &&other) noexcept : m_first(std::move(other.m_first)), m_rest(other.m_rest)
{
    other.m_rest = 0;
}

KeyList &KeyList::operator=(const KeyList &other)
{
    if (this != &other) {
        KeyList copy(other);
        *this = std::move(copy);
    }
    return *this;
}

KeyList &KeyList::operator=(KeyList &&other) noexcept
{
    if (this != &other) {
        delete more();
        m_first = std::move(other.m_first);
        m_rest = other.m_rest;
        other.m_rest = 0;
    }
    return *this;
}

bool KeyList::contains(const QString &key) const
{
    return hasFirst() && (m_first == key || (more() && more()->contains(key)));
}

void KeyList::append(const QString &key)
{
    if (!hasFirst()) {
        m_first = key;
        m_rest |= 1u;
        return;
    }
    if (!more())
        setMore(new QStringList);
    more()->append(key);
}

void KeyList::clear() { *this = KeyList(); }

QStringList KeyList::toList() const
{
    QStringList list;
    list.reserve(size());
    for (const QString &key : *this)
        list.append(key);
    return list;
}

bool operator==(const KeyList &a, const KeyList &b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

bool operator==(const KeyList &a, const QStringList &b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}
