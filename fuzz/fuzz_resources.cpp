// Fuzz target: arbitrary bytes as a Windows executable. Reading its
// resources must never crash, hang or read outside the data.

#include "resparse/res_extract.h"

#include <QByteArray>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    // Every digit occurs in the header, so every numbered resource is read.
    static const QString header = QStringLiteral("x0123456789 9876543210");
    const QByteArray image = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QStringList texts;
    ExtractFromImage(image, header, texts);
    return 0;
}
