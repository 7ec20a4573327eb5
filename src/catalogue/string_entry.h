#pragma once
// One original text of a language file with its translation.

#include <QString>
#include <QStringList>
#include <climits>
#include <cstdint>
#include <initializer_list>
#include <iterator>

// The catalogue whose file supplied an entry. An entry comes from one file,
// so the list holds one identifier (none for an entry made in memory); it is
// as small as an int because a catalogue holds one per string.
class CatalogueIdList {
public:
    CatalogueIdList() = default;
    CatalogueIdList(std::initializer_list<int> ids) : m_id(ids.size() ? *ids.begin() : kNone) {}
    qsizetype size() const { return m_id == kNone ? 0 : 1; }
    bool isEmpty() const { return m_id == kNone; }
    int operator[](qsizetype) const { return m_id; }
    int first() const { return m_id; }
    const int *begin() const { return &m_id; }
    const int *end() const { return &m_id + size(); }
    friend bool operator==(const CatalogueIdList &a, const CatalogueIdList &b) { return a.m_id == b.m_id; }

private:
    static constexpr int kNone = INT_MIN;
    int m_id = kNone;
};

// The resource keys of an entry, in the order they were met. Nearly every
// entry has exactly one, so the first is held inline and only further keys
// take a list of their own. It reads like a QStringList (and converts to one).
class KeyList {
public:
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = QString;
        using difference_type = std::ptrdiff_t;
        using pointer = const QString *;
        using reference = const QString &;

        const_iterator() = default;
        const_iterator(const KeyList *list, qsizetype index) : m_list(list), m_index(index) {}
        const QString &operator*() const { return m_list->at(m_index); }
        const QString *operator->() const { return &m_list->at(m_index); }
        const_iterator &operator++()
        {
            ++m_index;
            return *this;
        }
        const_iterator operator++(int)
        {
            const_iterator before = *this;
            ++m_index;
            return before;
        }
        friend bool operator==(const const_iterator &a, const const_iterator &b) { return a.m_index == b.m_index; }

    private:
        const KeyList *m_list = nullptr;
        qsizetype m_index = 0;
    };

    KeyList() = default;
    KeyList(std::initializer_list<QString> keys);
    KeyList(const QStringList &keys);  // NOLINT: converts like a list assignment
    KeyList(const KeyList &other);
    KeyList(KeyList &&other) noexcept;
    KeyList &operator=(const KeyList &other);
    KeyList &operator=(KeyList &&other) noexcept;
    ~KeyList()
    {
        if (m_rest > 1)
            delete more();
    }

    qsizetype size() const { return hasFirst() ? 1 + (more() ? more()->size() : 0) : 0; }
    qsizetype count() const { return size(); }
    bool isEmpty() const { return !hasFirst(); }
    const QString &at(qsizetype i) const { return i == 0 ? m_first : more()->at(i - 1); }
    const QString &operator[](qsizetype i) const { return at(i); }
    const QString &first() const { return m_first; }
    bool contains(const QString &key) const;
    void append(const QString &key);
    void clear();
    QStringList toList() const;
    operator QStringList() const { return toList(); }  // NOLINT: reads like the list it stands for

    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }
    const_iterator cbegin() const { return begin(); }
    const_iterator cend() const { return end(); }

    friend bool operator==(const KeyList &a, const KeyList &b);
    friend bool operator==(const KeyList &a, const QStringList &b);

private:
    // Bit 0: the first key is present; the other bits: the list of further
    // keys, or null.
    bool hasFirst() const { return m_rest & 1u; }
    QStringList *more() const { return reinterpret_cast<QStringList *>(m_rest & ~std::uintptr_t(1)); }
    void setMore(QStringList *list) { m_rest = (m_rest & 1u) | reinterpret_cast<std::uintptr_t>(list); }

    QString m_first;
    std::uintptr_t m_rest = 0;
};

struct StringEntry {
    QString translation;       // equals the original while untranslated
    QString original;          // the English text
    KeyList keys;              // resource keys under which the original occurs
    int translatable = 1;      // 0: marked IsTrans="false", not to be translated
    CatalogueIdList catalogueIds;
};
