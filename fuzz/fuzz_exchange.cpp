// Fuzz target: arbitrary bytes as an XLIFF file, a PO file and a TMX file.
// Reading must never crash, hang or expand an entity; a file read without
// an error gives units whose lines lie within the file, and an XLIFF or PO
// file with an error gives nothing else (a TMX file keeps the units before
// its fault, each handed over once).

#include "exchange/exchange_reader.h"
#include "exchange/tmx_reader.h"

#include <QBuffer>
#include <QByteArray>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void checkDocument(const ExchangeDocument &document, const QByteArray &bytes, const char *format)
{
    if (!document.ok()) {
        if (!document.sections.empty()) {
            std::fprintf(stderr, "%s: units next to the error %s\n", format, qUtf8Printable(document.error));
            std::abort();
        }
        return;
    }
    const qsizetype lines = bytes.count('\n') + bytes.count('\r') + 1;
    for (const ExchangeSection &section : document.sections) {
        for (const ExchangeUnit &unit : section.units) {
            if (unit.line < 0 || unit.line > lines) {
                std::fprintf(stderr, "%s: a unit on line %lld of %lld\n", format, qlonglong(unit.line),
                             qlonglong(lines));
                std::abort();
            }
        }
    }
}

void checkTmx(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const qsizetype lines = bytes.count('\n') + bytes.count('\r') + 1;
    qsizetype handed = 0;
    const TmxReadResult read = ReadTmx(buffer, [&](const TmxUnit &unit) {
        ++handed;
        if (unit.line < 1 || unit.line > lines) {
            std::fprintf(stderr, "TMX: a unit on line %lld of %lld\n", qlonglong(unit.line), qlonglong(lines));
            std::abort();
        }
        return true;
    });
    if (read.units != handed) {
        std::fprintf(stderr, "TMX: %lld units counted, %lld handed over\n", qlonglong(read.units), qlonglong(handed));
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    checkDocument(ParseXliff(bytes), bytes, "XLIFF");
    checkDocument(ParsePo(bytes), bytes, "PO");
    checkTmx(bytes);
    return 0;
}
