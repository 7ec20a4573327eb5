#include "dialogfit/png_file.h"

#include <array>

namespace {

std::uint32_t crc32Of(const QByteArray &bytes, qsizetype from)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> made{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            made[n] = c;
        }
        return made;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (qsizetype i = from; i < bytes.size(); ++i)
        crc = table[(crc ^ std::uint8_t(bytes[i])) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void appendBigEndian(QByteArray &out, std::uint32_t value)
{
    out.append(char(value >> 24)).append(char(value >> 16)).append(char(value >> 8)).append(char(value));
}

// A chunk: length, type, data, and the CRC of type and data.
void appendChunk(QByteArray &out, const char *type, const QByteArray &data)
{
    appendBigEndian(out, std::uint32_t(data.size()));
    const qsizetype start = out.size();
    out.append(type, 4).append(data);
    appendBigEndian(out, crc32Of(out, start));
}

} // namespace

QByteArray EncodePng(const RasterImage &image)
{
    QByteArray out("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    appendBigEndian(header, std::uint32_t(image.width()));
    appendBigEndian(header, std::uint32_t(image.height()));
    header.append(char(8)).append(char(2)).append(char(0)).append(char(0)).append(char(0));  // 8-bit RGB
    appendChunk(out, "IHDR", header);

    // Each row with the "Sub" filter (the difference to the pixel on the
    // left), which suits the flat colours of a dialog.
    QByteArray raw;
    raw.reserve(qsizetype(image.height()) * (1 + 3 * qsizetype(image.width())));
    for (int y = 0; y < image.height(); ++y) {
        const Argb *row = image.row(y);
        raw.append(char(1));
        Argb left = 0;
        for (int x = 0; x < image.width(); ++x) {
            const Argb pixel = row[x];
            raw.append(char(((pixel >> 16) - (left >> 16)) & 0xFF));
            raw.append(char(((pixel >> 8) - (left >> 8)) & 0xFF));
            raw.append(char((pixel - left) & 0xFF));
            left = pixel;
        }
    }
    // qCompress gives the length in four bytes, then the zlib stream PNG wants.
    appendChunk(out, "IDAT", qCompress(raw, 6).mid(4));
    appendChunk(out, "IEND", QByteArray());
    return out;
}
