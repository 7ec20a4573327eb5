// Fuzz target: arbitrary bytes as a language file. Loading, saving and
// reloading must never crash, and what a save writes must load again.

#include "catalogue/document.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    static QTemporaryDir folder;
    const QString in = folder.filePath(QStringLiteral("in.xml"));
    const QString out = folder.filePath(QStringLiteral("out.xml"));
    {
        QFile file(in);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    CRendaroDoc document;
    const int id = document.LoadCatalogue(in, true);
    if (id < 0)
        return 0;
    if (!document.SaveCatalogue(id, out, true))
        std::abort();  // a writable temporary folder must take the save
    CRendaroDoc again;
    if (again.LoadCatalogue(out, false) < 0)
        std::abort();  // a saved file must always be readable
    return 0;
}
