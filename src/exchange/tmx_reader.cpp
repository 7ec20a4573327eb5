// The TMX reader: expat without namespace processing (xml:lang arrives as
// it is written), keeping of each <tu> its tuid, file and keys properties
// and each <tuv>'s language and segment text.

#include "exchange/tmx_reader.h"

#include "catalogue/safe_file.h"
#include "exchange/expat_pieces.h"

#include <QFile>

#include <cstring>
#include <string>

namespace {

const char *tmxAttribute(const XML_Char **attributes, const char *name)
{
    for (const XML_Char **a = attributes; a && a[0]; a += 2) {
        if (std::strcmp(a[0], name) == 0)
            return a[1];
    }
    return nullptr;
}

QString tmxAttributeText(const XML_Char **attributes, const char *name)
{
    const char *value = tmxAttribute(attributes, name);
    return value ? QString::fromUtf8(value) : QString();
}

enum class TmxCapture { None, Prop, Segment };

struct TmxReader {
    XML_Parser parser = nullptr;
    const TmxUnitHandler *onUnit = nullptr;
    TmxReadResult result;
    QString reason;  // why a handler stopped the parser
    int depth = 0;
    int unitDepth = -1;     // depth of the open <tu>; -1 when none is open
    int variantDepth = -1;  // depth of the open <tuv>
    bool haveSegment = false;  // the open <tuv> had its <seg>
    TmxCapture capture = TmxCapture::None;
    int captureDepth = -1;
    std::string propType;
    std::string text;
    TmxUnit unit;
    std::size_t variantCount = 0;  // of unit.variants, which are reused

    void stop(const QString &why)
    {
        if (reason.isEmpty())
            reason = QStringLiteral("line %1: %2").arg(XML_GetCurrentLineNumber(parser)).arg(why);
        XML_StopParser(parser, XML_FALSE);
    }

    void startUnit(const XML_Char **attributes)
    {
        unitDepth = depth;
        unit.tuid = tmxAttributeText(attributes, "tuid");
        unit.file.clear();
        unit.keys.clear();
        unit.line = qsizetype(XML_GetCurrentLineNumber(parser));
        variantCount = 0;
    }

    void startVariant(const XML_Char **attributes)
    {
        variantDepth = depth;
        haveSegment = false;
        if (unit.variants.size() <= variantCount)
            unit.variants.emplace_back();
        TmxVariant &variant = unit.variants[variantCount++];
        // TMX 1.4 writes xml:lang, TMX 1.1 lang.
        const char *language = tmxAttribute(attributes, "xml:lang");
        if (!language)
            language = tmxAttribute(attributes, "lang");
        variant.language = language ? QString::fromUtf8(language) : QString();
        variant.text.clear();
    }

    void start(const XML_Char *name, const XML_Char **attributes)
    {
        ++depth;
        if (capture != TmxCapture::None)
            return;  // inline elements of a segment: their text counts
        if (depth == 1) {
            if (std::strcmp(name, "tmx") != 0)
                return stop(QStringLiteral("the root element is <%1>, not a TMX <tmx>").arg(QString::fromUtf8(name)));
            result.version = tmxAttributeText(attributes, "version");
            return;
        }
        if (unitDepth < 0) {
            if (std::strcmp(name, "tu") == 0)
                startUnit(attributes);
            else if (std::strcmp(name, "header") == 0 && depth == 2)
                result.sourceLanguage = tmxAttributeText(attributes, "srclang");
            return;
        }
        if (depth == unitDepth + 1) {
            if (std::strcmp(name, "tuv") == 0) {
                startVariant(attributes);
            } else if (std::strcmp(name, "prop") == 0) {
                const char *type = tmxAttribute(attributes, "type");
                propType = type ? type : "";
                capture = TmxCapture::Prop;
                captureDepth = depth;
                text.clear();
            }
        } else if (variantDepth >= 0 && depth == variantDepth + 1 && std::strcmp(name, "seg") == 0 && !haveSegment) {
            capture = TmxCapture::Segment;
            captureDepth = depth;
            text.clear();
        }
    }

    void finishCapture()
    {
        QString value = QString::fromUtf8(text.data(), qsizetype(text.size()));
        if (capture == TmxCapture::Segment) {
            unit.variants[variantCount - 1].text = std::move(value);
            haveSegment = true;
        } else if (propType == "x-file") {
            unit.file = std::move(value);
        } else if (propType == "x-keys") {
            unit.keys = value.split(QStringLiteral(", "), Qt::SkipEmptyParts);
        }
        capture = TmxCapture::None;
    }

    void finishUnit()
    {
        unitDepth = variantDepth = -1;
        if (unit.keys.isEmpty() && !unit.tuid.isEmpty())
            unit.keys.append(unit.tuid);
        unit.variants.resize(variantCount);
        ++result.units;
        if (!(*onUnit)(unit))
            XML_StopParser(parser, XML_FALSE);
    }

    void end()
    {
        if (capture != TmxCapture::None && depth == captureDepth)
            finishCapture();
        else if (depth == variantDepth)
            variantDepth = -1;
        else if (depth == unitDepth)
            finishUnit();
        --depth;
    }
};

void XMLCALL tmxOnStart(void *data, const XML_Char *name, const XML_Char **attributes)
{
    static_cast<TmxReader *>(data)->start(name, attributes);
}

void XMLCALL tmxOnEnd(void *data, const XML_Char *) { static_cast<TmxReader *>(data)->end(); }

void XMLCALL tmxOnText(void *data, const XML_Char *text, int length)
{
    auto *reader = static_cast<TmxReader *>(data);
    if (reader->capture != TmxCapture::None)
        reader->text.append(text, size_t(length));
}

// TMX files often name their DTD (<!DOCTYPE tmx SYSTEM "tmx14.dtd">),
// which is never read. An internal subset is refused at its start, before
// anything of it is read, so no entity can be declared, let alone expanded.
void XMLCALL tmxOnDoctype(void *data, const XML_Char *, const XML_Char *, const XML_Char *, int internalSubset)
{
    if (internalSubset)
        static_cast<TmxReader *>(data)->stop(QStringLiteral(
            "a DOCTYPE with declarations of its own is not accepted (TMX needs none, and its entities are never read)"));
}

void XMLCALL tmxOnEntityDeclaration(void *data, const XML_Char *, int, const XML_Char *, int, const XML_Char *,
                                    const XML_Char *, const XML_Char *, const XML_Char *)
{
    static_cast<TmxReader *>(data)->stop(QStringLiteral("an entity declaration is not accepted"));
}

// With a DTD named but not read, expat lets a reference to an undeclared
// entity pass; its text would be lost without a word.
void XMLCALL tmxOnSkippedEntity(void *data, const XML_Char *name, int)
{
    static_cast<TmxReader *>(data)->stop(QStringLiteral("the entity &%1; is not declared").arg(QString::fromUtf8(name)));
}

} // namespace

TmxReadResult ReadTmx(QIODevice &device, const TmxUnitHandler &onUnit)
{
    TmxReader reader;
    reader.onUnit = &onUnit;
    reader.parser = XML_ParserCreate(nullptr);
    if (!reader.parser)
        return TmxReadResult{QStringLiteral("out of memory"), {}, {}, 0};
    XML_SetParamEntityParsing(reader.parser, XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetUserData(reader.parser, &reader);
    XML_SetElementHandler(reader.parser, tmxOnStart, tmxOnEnd);
    XML_SetCharacterDataHandler(reader.parser, tmxOnText);
    XML_SetStartDoctypeDeclHandler(reader.parser, tmxOnDoctype);
    XML_SetEntityDeclHandler(reader.parser, tmxOnEntityDeclaration);
    XML_SetSkippedEntityHandler(reader.parser, tmxOnSkippedEntity);
    reader.result.error = ParseInPieces(reader.parser, device, &reader.reason);
    XML_ParserFree(reader.parser);
    return std::move(reader.result);
}

TmxReadResult ReadTmxFile(const QString &path, const TmxUnitHandler &onUnit)
{
    TmxReadResult result;
    result.error = nonRegularFileReason(path);
    QFile file(path);
    if (result.error.isEmpty() && !file.open(QIODevice::ReadOnly))
        result.error = file.errorString();
    return result.error.isEmpty() ? ReadTmx(file, onUnit) : result;
}

bool IsTmxPath(const QString &path) { return path.endsWith(QStringLiteral(".tmx"), Qt::CaseInsensitive); }
