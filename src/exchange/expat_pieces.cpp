#include "exchange/expat_pieces.h"

#include <QIODevice>

QString ParseInPieces(XML_Parser parser, QIODevice &device, const QString *handlerReason)
{
    constexpr int kPiece = 1 << 20;
    for (;;) {
        void *buffer = XML_GetBuffer(parser, kPiece);
        if (!buffer)
            return QStringLiteral("out of memory");
        const qint64 got = device.read(static_cast<char *>(buffer), kPiece);
        if (got < 0)
            return device.errorString();
        const bool final = got == 0;
        const XML_Status status = XML_ParseBuffer(parser, int(got), final);
        if (handlerReason && !handlerReason->isEmpty())
            return *handlerReason;
        if (status == XML_STATUS_ERROR) {
            if (XML_GetErrorCode(parser) == XML_ERROR_ABORTED)
                return QString();
            return QStringLiteral("line %1: %2")
                .arg(XML_GetCurrentLineNumber(parser))
                .arg(QString::fromUtf8(XML_ErrorString(XML_GetErrorCode(parser))));
        }
        if (final)
            return QString();
    }
}
