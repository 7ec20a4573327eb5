// The XLIFF reader: expat with namespace processing, keeping only what an
// import needs (each <file>'s name and language, each <trans-unit>'s
// resname, source and target with its state).

#include "exchange/exchange_reader.h"
#include "exchange/expat_pieces.h"

#include <QBuffer>

#include <algorithm>
#include <cstring>
#include <expat.h>
#include <string>

namespace {

bool isXliffNamespace(const char *ns)
{
    static const char *const kKnown[] = {"urn:oasis:names:tc:xliff:document:1.2",
                                         "urn:oasis:names:tc:xliff:document:1.1",
                                         "urn:oasis:names:tc:xliff:document:1.0"};
    for (const char *known : kKnown) {
        if (std::strcmp(known, ns) == 0)
            return true;
    }
    return false;
}

struct Name {
    const char *local;
    bool xliff;  // an element of the XLIFF namespace
};

const char *attribute(const XML_Char **attributes, const char *name)
{
    for (const XML_Char **a = attributes; a && a[0]; a += 2) {
        if (std::strcmp(a[0], name) == 0)
            return a[1];
    }
    return nullptr;
}

QString attributeText(const XML_Char **attributes, const char *name)
{
    const char *value = attribute(attributes, name);
    return value ? QString::fromUtf8(value) : QString();
}

// Target states of a finished translation; any other (needs-translation,
// needs-review-translation, new, ...) marks work still to do.
bool isFinalState(const char *state)
{
    return !state || std::strcmp(state, "translated") == 0 || std::strcmp(state, "final") == 0
        || std::strcmp(state, "signed-off") == 0;
}

enum class Capture { None, Source, Target };

struct Reader {
    XML_Parser parser = nullptr;
    ExchangeDocument document;
    QString error;
    int depth = 0;
    int unitDepth = -1;  // depth of the open <trans-unit>, -1 when none is open
    bool skipUnit = false;
    bool haveSource = false;
    ExchangeUnit unit;
    QString targetState;  // of a target that is not finished; empty for one that is
    Capture capture = Capture::None;
    int captureDepth = -1;
    int ignoreDepth = -1;  // an inline element whose content is not text of ours
    std::string text;
    QString sourceCode, targetCode;  // the first inline code met in each

    void stop(const QString &reason)
    {
        if (error.isEmpty())
            error = QStringLiteral("line %1: %2").arg(XML_GetCurrentLineNumber(parser)).arg(reason);
        XML_StopParser(parser, XML_FALSE);
    }

    ExchangeSection &section()
    {
        if (document.sections.empty())
            document.sections.emplace_back();
        return document.sections.back();
    }

    // Namespaces are resolved by hand, which is much cheaper than expat's
    // namespace processing on every element: the root's prefix (usually
    // none) and the namespace it binds mark the XLIFF elements; elements
    // with any other prefix are extensions of other tools.
    std::string prefix;

    Name splitName(const char *name) const
    {
        const char *colon = std::strchr(name, ':');
        if (!colon)
            return {name, prefix.empty()};
        const size_t length = size_t(colon - name);
        return {colon + 1, length == prefix.size() && std::memcmp(name, prefix.data(), length) == 0};
    }

    void startRoot(const char *rawName, const XML_Char **attributes)
    {
        const char *colon = std::strchr(rawName, ':');
        if (colon)
            prefix.assign(rawName, size_t(colon - rawName));
        const char *local = colon ? colon + 1 : rawName;
        const std::string binding = prefix.empty() ? std::string("xmlns") : "xmlns:" + prefix;
        const char *ns = attribute(attributes, binding.c_str());
        const char *version = attribute(attributes, "version");
        if (std::strcmp(local, "xliff") == 0
            && ((ns && std::strncmp(ns, "urn:oasis:names:tc:xliff:document:2", 35) == 0)
                || (version && version[0] == '2')))
            return stop(QStringLiteral("XLIFF 2 is not supported; export the file as XLIFF 1.2"));
        if (std::strcmp(local, "xliff") != 0 || (ns && !isXliffNamespace(ns)) || (!ns && !prefix.empty()))
            return stop(QStringLiteral("the root element is <%1>, not an XLIFF 1.2 <xliff>")
                            .arg(QString::fromUtf8(rawName)));
    }

    void startInCapture(const Name &name)
    {
        if (ignoreDepth >= 0)
            return;
        if (name.xliff && (std::strcmp(name.local, "g") == 0 || std::strcmp(name.local, "mrk") == 0))
            return;  // marks a span of the text; the text itself counts
        QString &code = capture == Capture::Source ? sourceCode : targetCode;
        if (code.isEmpty())
            code = QString::fromUtf8(name.local);
        ignoreDepth = depth;
    }

    void start(const XML_Char *rawName, const XML_Char **attributes)
    {
        ++depth;
        if (depth == 1)
            return startRoot(rawName, attributes);
        const Name name = splitName(rawName);
        if (capture != Capture::None)
            return startInCapture(name);
        if (!name.xliff)
            return;
        if (std::strcmp(name.local, "file") == 0) {
            ExchangeSection fresh;
            fresh.original = attributeText(attributes, "original");
            fresh.language = attributeText(attributes, "target-language");
            document.sections.push_back(std::move(fresh));
        } else if (std::strcmp(name.local, "trans-unit") == 0 && unitDepth < 0) {
            unitDepth = depth;
            unit = ExchangeUnit();
            unit.key = attributeText(attributes, "resname");
            unit.line = qsizetype(XML_GetCurrentLineNumber(parser));
            // translate-toolkit's po2xliff carries the PO header as a unit.
            const char *restype = attribute(attributes, "restype");
            skipUnit = restype && std::strcmp(restype, "x-gettext-domain-header") == 0;
            haveSource = false;
            targetState.clear();
            sourceCode.clear();
            targetCode.clear();
        } else if (unitDepth >= 0 && depth == unitDepth + 1) {
            const bool source = std::strcmp(name.local, "source") == 0;
            if (!source && std::strcmp(name.local, "target") != 0)
                return;
            if (source && haveSource)
                return;
            capture = source ? Capture::Source : Capture::Target;
            captureDepth = depth;
            text.clear();
            if (!source) {
                const char *state = attribute(attributes, "state");
                targetState = isFinalState(state) ? QString() : QString::fromUtf8(state);
            }
        }
    }

    void finishUnit()
    {
        unitDepth = -1;
        if (skipUnit)
            return;
        if (!sourceCode.isEmpty())
            unit.unusable = QStringLiteral("the original holds inline code <%1>, which a language file cannot carry")
                                .arg(sourceCode);
        else if (!targetCode.isEmpty())
            unit.unusable =
                QStringLiteral("the translation holds inline code <%1>, which a language file cannot carry")
                    .arg(targetCode);
        else if (!unit.target.isEmpty() && !targetState.isEmpty())
            unit.unusable = QStringLiteral("its state is \"%1\", not a finished translation").arg(targetState);
        section().units.push_back(std::move(unit));
    }

    void end()
    {
        if (capture != Capture::None) {
            if (ignoreDepth == depth)
                ignoreDepth = -1;
            if (depth == captureDepth) {
                QString value = QString::fromUtf8(text.data(), qsizetype(text.size()));
                if (capture == Capture::Source) {
                    unit.source = std::move(value);
                    haveSource = true;
                } else {
                    unit.target = std::move(value);
                }
                capture = Capture::None;
            }
        } else if (depth == unitDepth) {
            finishUnit();
        }
        --depth;
    }
};

void XMLCALL xliffOnStart(void *data, const XML_Char *name, const XML_Char **attributes)
{
    static_cast<Reader *>(data)->start(name, attributes);
}

void XMLCALL xliffOnEnd(void *data, const XML_Char *) { static_cast<Reader *>(data)->end(); }

void XMLCALL xliffOnText(void *data, const XML_Char *text, int length)
{
    auto *reader = static_cast<Reader *>(data);
    if (reader->capture != Capture::None && reader->ignoreDepth < 0)
        reader->text.append(text, size_t(length));
}

// Entities can only be declared in a DOCTYPE; refusing it at its start
// means nothing of it is read, so neither an external entity nor a chain
// of entity expansions can ever be reached.
void XMLCALL onDoctype(void *data, const XML_Char *, const XML_Char *, const XML_Char *, int)
{
    static_cast<Reader *>(data)->stop(
        QStringLiteral("a DOCTYPE declaration is not accepted (XLIFF needs none, and its entities are never read)"));
}

void XMLCALL onEntityDeclaration(void *data, const XML_Char *, int, const XML_Char *, int, const XML_Char *,
                                 const XML_Char *, const XML_Char *, const XML_Char *)
{
    static_cast<Reader *>(data)->stop(QStringLiteral("an entity declaration is not accepted"));
}

} // namespace

ExchangeDocument ParseXliff(QIODevice &device)
{
    Reader reader;
    reader.parser = XML_ParserCreate(nullptr);
    if (!reader.parser)
        return ExchangeDocument{{}, QStringLiteral("out of memory")};
    XML_SetParamEntityParsing(reader.parser, XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetUserData(reader.parser, &reader);
    XML_SetElementHandler(reader.parser, xliffOnStart, xliffOnEnd);
    XML_SetCharacterDataHandler(reader.parser, xliffOnText);
    XML_SetStartDoctypeDeclHandler(reader.parser, onDoctype);
    XML_SetEntityDeclHandler(reader.parser, onEntityDeclaration);
    const QString failure = ParseInPieces(reader.parser, device, &reader.error);
    if (reader.error.isEmpty())
        reader.error = failure;
    XML_ParserFree(reader.parser);
    if (!reader.error.isEmpty())
        return ExchangeDocument{{}, reader.error};
    return std::move(reader.document);
}

ExchangeDocument ParseXliff(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return ParseXliff(buffer);
}
