#include "exchange/exchange_files.h"

#include "catalogue/catalogue_types.h"
#include "catalogue/safe_file.h"
#include "exchange/exchange_reader.h"
#include "exchange/language_tags.h"

#include <QFile>

ExchangeFormat ExchangeFormatOf(const QString &path)
{
    if (path.endsWith(QStringLiteral(".po"), Qt::CaseInsensitive)
        || path.endsWith(QStringLiteral(".pot"), Qt::CaseInsensitive))
        return ExchangeFormat::Po;
    if (path.endsWith(QStringLiteral(".xlf"), Qt::CaseInsensitive)
        || path.endsWith(QStringLiteral(".xliff"), Qt::CaseInsensitive))
        return ExchangeFormat::Xliff;
    QFile file(path);
    if (nonRegularFileReason(path).isEmpty() && file.open(QIODevice::ReadOnly)) {
        const QByteArray start = file.read(4096).trimmed();
        if (start.startsWith('<') || start.startsWith("\xEF\xBB\xBF<"))
            return ExchangeFormat::Xliff;
    }
    return ExchangeFormat::Po;
}

ExchangeDocument ReadExchangeFile(const QString &path, ExchangeFormat format)
{
    QString error;
    if (format == ExchangeFormat::Xliff) {
        QFile file(path);
        error = nonRegularFileReason(path);
        if (error.isEmpty() && !file.open(QIODevice::ReadOnly))
            error = file.errorString();
        return error.isEmpty() ? ParseXliff(file) : ExchangeDocument{{}, error};
    }
    QByteArray bytes;
    if (!ReadRegularFile(path, &bytes, &error))
        return ExchangeDocument{{}, error};
    return ParsePo(bytes);
}

ExchangeDocument ReadXliffFile(const QString &path) { return ReadExchangeFile(path, ExchangeFormat::Xliff); }

ExchangeDocument ReadPoFile(const QString &path) { return ReadExchangeFile(path, ExchangeFormat::Po); }

ExportFile ExportFileOf(const CXMLStruct &catalogue, const QString &name, const QString &language)
{
    ExportFile file;
    file.name = name;
    file.language = language.isEmpty() ? LanguageTagForPath(catalogue.filePath) : language;
    file.entries = &catalogue.entries;
    file.lengthRatio = catalogue.lengthRatio;
    return file;
}
