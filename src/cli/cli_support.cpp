#include "cli/cli_support.h"

#include "catalogue/document.h"
#include "catalogue/messages.h"

#include <vector>

namespace {
bool g_leaveDocuments = false;
}

CommandDocument::CommandDocument() : m_document(std::make_unique<CRendaroDoc>()) {}

CommandDocument::~CommandDocument()
{
    if (g_leaveDocuments) {
        // Reachable from here until the process ends, and never destroyed
        // (a static vector itself would be destroyed at exit).
        static auto *left = new std::vector<std::unique_ptr<CRendaroDoc>>;
        left->push_back(std::move(m_document));
    }
}

void CommandDocument::leaveToTheSystemAtExit() { g_leaveDocuments = true; }

int loadForCommand(CRendaroDoc &document, const QString &path, CliStreams &io, bool mergeIntoMaster)
{
    const int id = document.LoadCatalogue(path, mergeIntoMaster);
    if (id < 0) {
        io.err << messageText(MsgCannotOpen) << " (" << path;
        if (!document.lastErrorText().isEmpty())
            io.err << ": " << document.lastErrorText();
        io.err << ")\n";
        return -1;
    }
    document.SelectCatalogue(id);
    return id;
}

bool takeOutputOption(QStringList &args, QString *output)
{
    const qsizetype at = args.indexOf(QStringLiteral("-o"));
    if (at < 0)
        return true;
    if (at + 1 >= args.size())
        return false;
    *output = args.at(at + 1);
    args.remove(at, 2);
    return true;
}

QString jsonString(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    out.append(u'"');
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'"': out.append(u"\\\""); break;
        case u'\\': out.append(u"\\\\"); break;
        case u'\n': out.append(u"\\n"); break;
        case u'\r': out.append(u"\\r"); break;
        case u'\t': out.append(u"\\t"); break;
        case u'\b': out.append(u"\\b"); break;
        case u'\f': out.append(u"\\f"); break;
        default:
            if (c.unicode() < 0x20)
                out.append(QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0')));
            else
                out.append(c);
        }
    }
    out.append(u'"');
    return out;
}
