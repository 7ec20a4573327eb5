#include "cli/cli_support.h"

#include "cli/cli_heap.h"

#include "catalogue/document.h"
#include "catalogue/messages.h"
#include "catalogue/safe_file.h"
#include "exchange/language_tags.h"

#include <QBuffer>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QTemporaryDir>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cmath>
#include <sys/stat.h>

namespace {

// Standard input larger than this is refused rather than copied: no
// language file comes near it, and an endless source would fill the disk.
constexpr qint64 kMaxInputCopy = qint64(1) << 30;

bool isFifo(const QString &path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
}

} // namespace

CommandLine parseCommandLine(const QStringList &args, const QStringList &valueOptions, const QStringList &flagOptions)
{
    CommandLine line;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (optionsEnded || arg == u"-" || !arg.startsWith(u'-')) {
            line.operands.append(arg);
        } else if (arg == u"--") {
            optionsEnded = true;
        } else if (valueOptions.contains(arg)) {
            if (i + 1 >= args.size()) {
                line.error = QStringLiteral("%1 needs a value").arg(arg);
                return line;
            }
            if (line.values.contains(arg)) {
                line.error = QStringLiteral("%1 given twice").arg(arg);
                return line;
            }
            line.values.insert(arg, args.at(++i));
        } else if (flagOptions.contains(arg)) {
            line.flags.insert(arg);
        } else {
            line.error = QStringLiteral("unknown option %1 (give a file named so after --)").arg(arg);
            return line;
        }
    }
    return line;
}

int usageError(const CommandLine &line, CliStreams &io)
{
    if (!line.error.isEmpty())
        io.err << line.error << '\n';
    return 2;
}

QString displayName(const QString &argument, bool output)
{
    if (!isStandardStream(argument))
        return argument;
    return output ? QStringLiteral("standard output") : QStringLiteral("standard input");
}

bool InputFile::open(const QString &argument, CliStreams &io)
{
    m_copy.reset();
    m_path = argument;
    const bool standardInput = isStandardStream(argument);
    if (!standardInput && !isFifo(argument))
        return true;
    QFile fifo;
    QIODevice *source = io.in;
    if (!standardInput) {
        fifo.setFileName(argument);
        source = &fifo;
        if (!fifo.open(QIODevice::ReadOnly)) {
            io.err << messageText(MsgCannotOpen) << " (" << argument << ": " << fifo.errorString() << ")\n";
            return false;
        }
    }
    auto copy = std::make_unique<QTemporaryFile>();
    QString problem;
    if (!source) {
        problem = QStringLiteral("no standard input");
    } else if (!copy->open()) {
        problem = copy->errorString();
    } else {
        char buffer[65536];
        qint64 total = 0;
        for (;;) {
            const qint64 got = source->read(buffer, sizeof buffer);
            if (got < 0) {
                problem = source->errorString();
                break;
            }
            if (got == 0)
                break;
            total += got;
            if (total > kMaxInputCopy) {
                problem = QStringLiteral("more than %1 bytes").arg(kMaxInputCopy);
                break;
            }
            if (copy->write(buffer, got) != got) {
                problem = copy->errorString();
                break;
            }
        }
        if (problem.isEmpty() && !copy->flush())
            problem = copy->errorString();
    }
    if (!problem.isEmpty()) {
        io.err << messageText(MsgCannotOpen) << " (" << displayName(argument) << ": " << problem << ")\n";
        return false;
    }
    m_path = copy->fileName();
    m_copy = std::move(copy);
    return true;
}

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

bool CommandDocument::leavesToTheSystem() { return g_leaveDocuments; }

namespace {

// Loads the file (or "-") with load(path of a readable copy); prints "Can
// not open this file." with the reason and returns -1 when that fails.
int loadInput(CRendaroDoc &document, const QString &path, CliStreams &io,
              const std::function<int(const QString &)> &load, FileInMemory held = FileInMemory::Tree)
{
    InputFile input;
    if (!input.open(path, io))
        return -1;
    PrepareHeapForLargeFile(QFileInfo(input.path()).size(), held);
    const int id = load(input.path());
    if (id < 0) {
        io.err << messageText(MsgCannotOpen) << " (" << displayName(path);
        if (!document.lastErrorText().isEmpty())
            io.err << ": " << document.lastErrorText();
        io.err << ")\n";
    }
    return id;
}

} // namespace

int loadForCommand(CRendaroDoc &document, const QString &path, CliStreams &io, bool mergeIntoMaster)
{
    const int id = loadInput(document, path, io,
                             [&](const QString &file) { return document.LoadCatalogue(file, mergeIntoMaster); });
    if (id >= 0)
        document.SelectCatalogue(id);
    return id;
}

int loadEntriesForCommand(CRendaroDoc &document, const QString &path, CliStreams &io)
{
    return loadInput(document, path, io, [&](const QString &file) { return document.LoadCatalogueEntries(file); });
}

int loadForSaveCommand(CRendaroDoc &document, const QString &path, CliStreams &io)
{
    const int id = loadInput(
        document, path, io, [&](const QString &file) { return document.LoadCatalogueForSave(file); },
        FileInMemory::Flat);
    if (id >= 0)
        document.SelectCatalogue(id);
    return id;
}

bool checkOutputTarget(const QString &output, CliStreams &io)
{
    const QString reason = isStandardStream(output) ? QString() : nonRegularFileReason(output);
    if (reason.isEmpty())
        return true;
    io.err << messageText(MsgCannotSave) << " (" << output << ": " << reason << ")\n";
    return false;
}

QString saveFailureReason(const CRendaroDoc &document, const QString &writtenPath)
{
    // The document says "PATH: reason"; the caller names the file itself,
    // which for standard output is not the temporary file written.
    const QString text = document.lastErrorText();
    const QString prefix = writtenPath + QStringLiteral(": ");
    return text.startsWith(prefix) ? text.mid(prefix.size()) : text;
}

void reportSaveFailure(const CRendaroDoc &document, const QString &path, CliStreams &io, const QString &writtenPath)
{
    const QString reason = saveFailureReason(document, writtenPath.isNull() ? path : writtenPath);
    io.err << messageText(MsgCannotSave) << " (" << displayName(path, true);
    if (!reason.isEmpty())
        io.err << ": " << reason;
    io.err << ")\n";
}

bool writeStandardOutput(CliStreams &io, const QByteArray &bytes)
{
    io.out.flush();
    QIODevice *device = io.out.device();
    if (!device) {  // a stream over a string (tests)
        io.out << QString::fromUtf8(bytes);
        return true;
    }
    return device->write(bytes) == bytes.size();
}

bool writeOutput(const CRendaroDoc &document, const QString &output, CliStreams &io,
                 const std::function<bool(const QString &path)> &write)
{
    if (!isStandardStream(output)) {
        if (write(output))
            return true;
        reportSaveFailure(document, output, io);
        return false;
    }
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("out"));
    if (!folder.isValid() || !write(path)) {
        reportSaveFailure(document, output, io, path);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        io.err << messageText(MsgCannotSave) << " (" << displayName(output, true) << ": " << file.errorString()
               << ")\n";
        return false;
    }
    return writeStandardOutput(io, file.readAll());
}

bool sameFile(const QString &a, const QString &b)
{
    struct stat x, y;
    return ::stat(QFile::encodeName(a).constData(), &x) == 0 && ::stat(QFile::encodeName(b).constData(), &y) == 0
           && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

namespace {

// The length of the start of text that JSON takes as it stands (no control
// character, quote or backslash), eight units at a time where the
// processor allows.
qsizetype jsonPlainLength(QStringView text)
{
    const char16_t *data = reinterpret_cast<const char16_t *>(text.data());
    const qsizetype n = text.size();
    qsizetype i = 0;
#ifdef __SSE2__
    for (; i + 8 <= n; i += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + i));
        // Units below 0x20: below it as unsigned, i.e. the saturated
        // difference from 0x1F is zero.
        const __m128i control = _mm_cmpeq_epi16(_mm_subs_epu16(units, _mm_set1_epi16(0x1F)), _mm_setzero_si128());
        const __m128i special = _mm_or_si128(control, _mm_or_si128(_mm_cmpeq_epi16(units, _mm_set1_epi16('"')),
                                                                    _mm_cmpeq_epi16(units, _mm_set1_epi16('\\'))));
        if (const int mask = _mm_movemask_epi8(special))
            return i + __builtin_ctz(unsigned(mask)) / 2;
    }
#endif
    while (i < n && data[i] >= 0x20 && data[i] != u'"' && data[i] != u'\\')
        ++i;
    return i;
}

} // namespace

void appendJsonString(QString &out, QStringView text)
{
    out += u'"';
    // Most texts need no escape at all and go in whole.
    const qsizetype plain = jsonPlainLength(text);
    out += text.first(plain);
    for (auto it = text.begin() + plain; it != text.end(); ++it) {
        const QChar c = *it;
        switch (c.unicode()) {
        case u'"': out += u"\\\""; break;
        case u'\\': out += u"\\\\"; break;
        case u'\n': out += u"\\n"; break;
        case u'\r': out += u"\\r"; break;
        case u'\t': out += u"\\t"; break;
        case u'\b': out += u"\\b"; break;
        case u'\f': out += u"\\f"; break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += u'"';
}

QString jsonString(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    appendJsonString(out, text);
    return out;
}

QString jsonNumber(double value)
{
    if (std::isnan(value))
        return QStringLiteral("\"nan\"");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("\"inf\"") : QStringLiteral("\"-inf\"");
    return QString::number(value, 'g', 9);
}

bool writeProduced(const QString &output, CliStreams &io, const std::function<bool(QIODevice &)> &write)
{
    if (isStandardStream(output)) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        return write(buffer) && writeStandardOutput(io, buffer.data());
    }
    QString reason;
    if (writeFileAtomically(output, write, &reason))
        return true;
    io.err << messageText(MsgCannotSave) << " (" << output << ": " << reason << ")\n";
    return false;
}

bool checkLanguageTag(const QString &tag, CliStreams &io)
{
    if (tag.isEmpty() || IsLanguageTag(tag))
        return true;
    io.err << "Not a language tag: " << tag << " (write it like de, pt-BR or sr-Latn)\n";
    return false;
}
