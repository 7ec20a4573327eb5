// Fuzz target: arbitrary bytes as an XLIFF file and as a PO file. Reading
// must never crash, hang or expand an entity; a file read without an error
// gives units whose lines lie within the file, and a file with an error
// gives nothing else.

#include "exchange/exchange_reader.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    checkDocument(ParseXliff(bytes), bytes, "XLIFF");
    checkDocument(ParsePo(bytes), bytes, "PO");
    return 0;
}
