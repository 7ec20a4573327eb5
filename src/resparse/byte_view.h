#pragma once
// Bounds-checked little-endian reads from untrusted bytes. Every read says
// whether it fitted; nothing reads outside the view.

#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>

class ByteView {
public:
    ByteView() = default;
    ByteView(const unsigned char *data, size_t size) : m_data(data), m_size(size) {}

    size_t size() const { return m_size; }
    const unsigned char *data() const { return m_data; }
    bool contains(size_t offset, size_t length) const { return offset <= m_size && length <= m_size - offset; }

    std::optional<std::uint8_t> u8(size_t at) const
    {
        return contains(at, 1) ? std::optional<std::uint8_t>(m_data[at]) : std::nullopt;
    }
    std::optional<std::uint16_t> u16(size_t at) const
    {
        if (!contains(at, 2))
            return std::nullopt;
        return std::uint16_t(m_data[at] | (m_data[at + 1] << 8));
    }
    std::optional<std::uint32_t> u32(size_t at) const
    {
        if (!contains(at, 4))
            return std::nullopt;
        return std::uint32_t(m_data[at]) | (std::uint32_t(m_data[at + 1]) << 8) | (std::uint32_t(m_data[at + 2]) << 16)
            | (std::uint32_t(m_data[at + 3]) << 24);
    }
    ByteView sub(size_t offset, size_t length) const
    {
        return contains(offset, length) ? ByteView(m_data + offset, length) : ByteView();
    }

    // A zero-terminated UTF-16 string at *at; *at moves past the terminator.
    // Empty optional when the terminator is missing.
    std::optional<QString> string(size_t *at) const
    {
        QString text;
        for (size_t p = *at;; p += 2) {
            const auto unit = u16(p);
            if (!unit)
                return std::nullopt;
            if (*unit == 0) {
                *at = p + 2;
                return text;
            }
            text.append(QChar(char16_t(*unit)));
        }
    }

private:
    const unsigned char *m_data = nullptr;
    size_t m_size = 0;
};

inline size_t alignUp(size_t offset, size_t alignment) { return (offset + alignment - 1) / alignment * alignment; }
