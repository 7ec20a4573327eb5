#include "glossary/glossary_xml.h"

#include <cstring>
#include <expat.h>
#include <string>
#include <vector>

namespace {

struct GlossaryXmlReader {
    XML_Parser parser = nullptr;
    const GlossaryXmlEvents *events = nullptr;
    QString reason;
    // The text of every open element, innermost last.
    std::vector<std::string> texts;

    void stop(const QString &why)
    {
        if (reason.isEmpty())
            reason = QStringLiteral("line %1: %2").arg(XML_GetCurrentLineNumber(parser)).arg(why);
        XML_StopParser(parser, XML_FALSE);
    }
};

void XMLCALL glossaryOnStart(void *data, const XML_Char *name, const XML_Char **attributes)
{
    auto *reader = static_cast<GlossaryXmlReader *>(data);
    reader->texts.emplace_back();
    auto attribute = [attributes](const char *wanted) {
        for (const XML_Char **a = attributes; a && a[0]; a += 2) {
            if (std::strcmp(a[0], wanted) == 0)
                return QString::fromUtf8(a[1]);
        }
        return QString();
    };
    if (reader->events->start)
        reader->events->start(name, attribute, qsizetype(XML_GetCurrentLineNumber(reader->parser)));
}

void XMLCALL glossaryOnEnd(void *data, const XML_Char *name)
{
    auto *reader = static_cast<GlossaryXmlReader *>(data);
    std::string text = std::move(reader->texts.back());
    reader->texts.pop_back();
    if (!reader->texts.empty())
        reader->texts.back() += text;
    if (reader->events->end)
        reader->events->end(name, QString::fromUtf8(text.data(), qsizetype(text.size())));
}

void XMLCALL glossaryOnText(void *data, const XML_Char *text, int length)
{
    auto *reader = static_cast<GlossaryXmlReader *>(data);
    if (!reader->texts.empty())
        reader->texts.back().append(text, size_t(length));
}

void XMLCALL glossaryOnDoctype(void *data, const XML_Char *, const XML_Char *, const XML_Char *, int internalSubset)
{
    if (internalSubset)
        static_cast<GlossaryXmlReader *>(data)->stop(QStringLiteral(
            "a DOCTYPE with declarations of its own is not accepted (a glossary needs none, and its entities are "
            "never read)"));
}

void XMLCALL glossaryOnEntityDeclaration(void *data, const XML_Char *, int, const XML_Char *, int, const XML_Char *,
                                         const XML_Char *, const XML_Char *, const XML_Char *)
{
    static_cast<GlossaryXmlReader *>(data)->stop(QStringLiteral("an entity declaration is not accepted"));
}

void XMLCALL glossaryOnSkippedEntity(void *data, const XML_Char *name, int)
{
    static_cast<GlossaryXmlReader *>(data)->stop(
        QStringLiteral("the entity &%1; is not declared").arg(QString::fromUtf8(name)));
}

} // namespace

QString ReadGlossaryXml(const QByteArray &bytes, const GlossaryXmlEvents &events)
{
    GlossaryXmlReader reader;
    reader.events = &events;
    reader.parser = XML_ParserCreate("UTF-8");
    if (!reader.parser)
        return QStringLiteral("out of memory");
    XML_SetParamEntityParsing(reader.parser, XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetUserData(reader.parser, &reader);
    XML_SetElementHandler(reader.parser, glossaryOnStart, glossaryOnEnd);
    XML_SetCharacterDataHandler(reader.parser, glossaryOnText);
    XML_SetStartDoctypeDeclHandler(reader.parser, glossaryOnDoctype);
    XML_SetEntityDeclHandler(reader.parser, glossaryOnEntityDeclaration);
    XML_SetSkippedEntityHandler(reader.parser, glossaryOnSkippedEntity);
    const XML_Status status = XML_Parse(reader.parser, bytes.constData(), int(bytes.size()), XML_TRUE);
    QString error;
    if (!reader.reason.isEmpty())
        error = reader.reason;
    else if (status != XML_STATUS_OK)
        error = QStringLiteral("line %1: %2")
                    .arg(XML_GetCurrentLineNumber(reader.parser))
                    .arg(QString::fromUtf8(XML_ErrorString(XML_GetErrorCode(reader.parser))));
    XML_ParserFree(reader.parser);
    return error;
}
