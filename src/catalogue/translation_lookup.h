#pragma once
// The real translations of a language file, for looking them up by
// original (what the import takes from a translated combined file): for
// every original to which a load of the file gives a real translation
// (neither empty nor equal to the original), that translation. An entry
// keeps the first of its elements with a real translation (the
// untranslated ones before it give way to it, and nothing replaces a real
// one), so elements without one are passed over, most without converting
// any text.
//
// Held compactly, for files of tens of thousands of strings that are read,
// searched by several threads at once and let go again: the texts lie one
// after another in one buffer, found through an open-addressing hash index,
// so reading makes no lasting string per text and letting go frees a few
// blocks. Only const members are used while several threads search it.

#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

class TranslationLookup {
public:
    // Reads the file (as ReadCatalogueFile reads it); false, with the reason
    // in *errorText and nothing held, when it cannot be read.
    bool read(const QString &path, QString *errorText);
    void clear();
    size_t size() const { return m_records.size(); }

    // The real translation of original, or a null view.
    QStringView find(QStringView original) const;
    // found[i] = find(originals[i]) for count originals, with the memory
    // reads of several lookups overlapping.
    void findMany(const QStringView *originals, size_t count, QStringView *found) const;

    // Adds a translation unless the original has one already; false then.
    bool add(QStringView original, QStringView translation);

private:
    static void readElement(void *context, const char *name, const char **attributes);
    // Indexes the texts appended to m_texts from start on (the original,
    // then the translation), or takes them back when the original has a
    // translation already; false then.
    bool index(size_t start, size_t originalSize, size_t translationSize);

    struct Record {
        size_t original, originalSize, translation, translationSize;  // places in m_texts
    };
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t record = 0;  // record + 1; 0 marks an empty slot
    };

    QStringView originalOf(const Record &record) const
    {
        return QStringView(m_texts.data() + record.original, qsizetype(record.originalSize));
    }
    QStringView translationOf(const Record &record) const
    {
        return QStringView(m_texts.data() + record.translation, qsizetype(record.translationSize));
    }
    void growIndex();

    std::vector<char16_t> m_texts;
    std::vector<Record> m_records;
    std::vector<Slot> m_index;  // size a power of two (or 0), at most 70 % full
};
