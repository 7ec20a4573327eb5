#pragma once
// A language file loaded into a document of its own, and helpers to
// export it and read exchange files back.

#include "catalogue/document.h"
#include "exchange/exchange_import.h"
#include "exchange/exchange_files.h"
#include "exchange/exchange_reader.h"
#include "exchange/po_writer.h"
#include "exchange/xliff_writer.h"
#include "test_support.h"

#include <QBuffer>
#include <QUrl>

class ExchangeTest : public FolderTest {
protected:
    // Writes the lines as `name` (AllowLength 2, C++ placeholders unless
    // given) and loads it; the catalogue's identifier.
    int load(const QString &name, const QList<QByteArray> &lines,
             const QByteArray &root = "AllowLength=\"2.000000\" CodeType=\"CPlus2\"")
    {
        const int id = document.LoadCatalogue(write(name, languageFile(root, lines)), false);
        EXPECT_GE(id, 0) << document.lastErrorText().toStdString();
        return id;
    }
    const CXMLStruct &catalogue(int id) const { return *document.findCatalogue(id); }
    ExportFile exportOf(int id, const QString &language = QString()) const
    {
        const CXMLStruct &c = catalogue(id);
        return ExportFileOf(c, QFileInfo(c.filePath).fileName(), language);
    }
    QByteArray xliffOf(int id) const
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        EXPECT_TRUE(WriteXliff(buffer, {exportOf(id)}));
        return buffer.data();
    }
    QByteArray poOf(int id) const
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        EXPECT_TRUE(WritePo(buffer, exportOf(id)));
        return buffer.data();
    }
    // The plan of importing every unit of `exchange` into the catalogue.
    ImportPlan plan(int id, const ExchangeDocument &exchange) const
    {
        EXPECT_TRUE(exchange.ok()) << exchange.error.toStdString();
        return PlanImport(catalogue(id), UnitsForFile(exchange, catalogue(id).filePath));
    }
    QString translation(int id, const QString &original) const
    {
        return document.GetTranslation(id, original);
    }

    CRendaroDoc document;
};

// A PO file: the lines joined with line feeds.
inline QByteArray poFile(const QList<QByteArray> &lines)
{
    QByteArray out;
    for (const QByteArray &line : lines)
        out += line + '\n';
    return out;
}

// An XLIFF 1.2 document with one <file> around the given body lines.
inline QByteArray xliffFile(const QList<QByteArray> &body, const QByteArray &fileAttributes = "original=\"DEU.xml\"")
{
    QByteArray out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<xliff version=\"1.2\" xmlns=\"urn:oasis:names:tc:xliff:document:1.2\">\n<file "
        + fileAttributes + " source-language=\"en\" datatype=\"plaintext\"><body>\n";
    for (const QByteArray &line : body)
        out += line + '\n';
    return out + "</body></file></xliff>\n";
}
