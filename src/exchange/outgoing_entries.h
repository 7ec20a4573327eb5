#pragma once
// The entries of an ExportFile as both writers send them.

#include "exchange/exchange_types.h"

#include <QIODevice>
#include <string>

struct OutgoingEntry {
    const StringEntry *entry = nullptr;  // original and keys
    QString translation;                 // memory form
    bool translatable = true;
    bool translated = false;             // neither empty nor equal to the original
    QString source;                      // the original in display form
    QString target;                      // the translation in display form; empty when untranslated
    // The longest translation the length check accepts, in display-form
    // characters; -1 when there is no limit.
    qsizetype maxWidth = -1;
};

// Calls visit(const OutgoingEntry &) for every entry with an original, in
// the file's order.
template <typename Visit>
void ForEachOutgoing(const ExportFile &file, Visit visit);

OutgoingEntry MakeOutgoing(const ExportFile &file, const StringEntry &entry);

// Element text as UTF-8 for the XML writers: markup characters as
// references, and a carriage return as &#13;, which a reader would
// otherwise turn into a line feed.
void AppendMarkupText(std::string &out, QStringView text);
// ` name="value"`, the value escaped.
void AppendMarkupAttribute(std::string &out, const char *name, QStringView value);

// Output gathered in a buffer and handed to the device in pieces.
class ChunkedOutput {
public:
    explicit ChunkedOutput(QIODevice &device) : m_device(device) {}
    std::string &buffer() { return m_buffer; }
    // Hands the buffer over once it is large.
    void flushIfLarge()
    {
        if (m_buffer.size() >= kChunk)
            flush();
    }
    // Hands over the rest; false when anything was not taken.
    bool finish()
    {
        flush();
        return m_ok;
    }

private:
    static constexpr size_t kChunk = 128 * 1024;
    void flush()
    {
        if (m_ok && !m_buffer.empty())
            m_ok = m_device.write(m_buffer.data(), qint64(m_buffer.size())) == qint64(m_buffer.size());
        m_buffer.clear();
    }
    QIODevice &m_device;
    std::string m_buffer;
    bool m_ok = true;
};

template <typename Visit>
void ForEachOutgoing(const ExportFile &file, Visit visit)
{
    if (!file.entries)
        return;
    for (size_t number = 0; number < file.entries->size(); ++number) {
        const StringEntry &entry = file.entries->byNumber(number);
        if (!entry.original.isEmpty())
            visit(MakeOutgoing(file, entry));
    }
}
