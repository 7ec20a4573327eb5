#include "spelling/hunspell_dictionary.h"

#include <QFile>
#include <QTemporaryDir>
#include <QStringDecoder>
#include <QStringEncoder>

#include <hunspell.hxx>

#include <mutex>

namespace {
// hunspell shares one Unicode table among all its UTF-8 handles, counted
// without a lock: making or freeing two handles at once can allocate the
// table twice or free it under another handle. Handles are therefore made
// and freed one at a time; using them afterwards needs no lock.
std::mutex &handleLifetimeMutex()
{
    static std::mutex mutex;
    return mutex;
}
}  // namespace

QByteArray QuickSuggestionAffix(const QByteArray &affix)
{
    const bool utf8 = affix.contains("\nSET UTF-8") || affix.startsWith("SET UTF-8");
    QByteArray out;
    out.reserve(affix.size() + 64);
    for (const QByteArray &line : affix.split('\n')) {
        // hunspell refuses a second definition: these are set below.
        if (line.startsWith("MAXNGRAMSUGS") || line.startsWith("MAXCPDSUGS"))
            continue;
        if (utf8 && line.startsWith("TRY ")) {
            // A capital inside a word is almost never the letter meant
            // (capitalised words hunspell tries on its own).
            QString letters = QString::fromUtf8(line.mid(4)).trimmed();
            letters.removeIf([](QChar c) { return c.isUpper(); });
            out += "TRY " + letters.toUtf8() + '\n';
            continue;
        }
        out += line + '\n';
    }
    out += "MAXNGRAMSUGS 0\nMAXCPDSUGS 0\n";
    return out;
}

HunspellDictionary::HunspellDictionary() = default;

HunspellDictionary::~HunspellDictionary()
{
    const std::lock_guard<std::mutex> lock(handleLifetimeMutex());
    m_hunspell.reset();
}

std::unique_ptr<HunspellDictionary> HunspellDictionary::open(const DictionaryFiles &files, QString *error,
                                                             bool quickSuggestions)
{
    // hunspell says nothing about files it cannot read: they are tried first.
    for (const QString &path : {files.affPath, files.dicPath}) {
        QFile file(path);
        if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
            *error = path.isEmpty() ? QStringLiteral("no %1 dictionary").arg(files.name)
                                    : QStringLiteral("%1: %2").arg(path, file.errorString());
            return nullptr;
        }
    }
    QString affPath = files.affPath;
    QTemporaryDir quickFolder;
    if (quickSuggestions) {
        QFile original(files.affPath);
        QFile copy(quickFolder.filePath(QStringLiteral("quick.aff")));
        if (!quickFolder.isValid() || !original.open(QIODevice::ReadOnly) || !copy.open(QIODevice::WriteOnly) ||
            copy.write(QuickSuggestionAffix(original.readAll())) < 0 || !copy.flush()) {
            *error = QStringLiteral("%1: %2").arg(copy.fileName(), copy.errorString());
            return nullptr;
        }
        affPath = copy.fileName();
    }
    std::unique_ptr<HunspellDictionary> dictionary(new HunspellDictionary);
    {
        const std::lock_guard<std::mutex> lock(handleLifetimeMutex());
        dictionary->m_hunspell = std::make_unique<Hunspell>(QFile::encodeName(affPath).constData(),
                                                             QFile::encodeName(files.dicPath).constData());
    }
    const QByteArray encoding = QByteArray::fromStdString(dictionary->m_hunspell->get_dict_encoding());
    dictionary->m_utf8 = encoding.isEmpty() || encoding.compare("UTF-8", Qt::CaseInsensitive) == 0;
    if (!dictionary->m_utf8) {
        // Qt converts the ISO 8859 sets (through ICU); a set it does not
        // know is read as Latin-1, hunspell's own default.
        auto encoder = std::make_unique<QStringEncoder>(encoding.constData());
        auto decoder = std::make_unique<QStringDecoder>(encoding.constData());
        if (!encoder->isValid() || !decoder->isValid()) {
            encoder = std::make_unique<QStringEncoder>(QStringConverter::Latin1);
            decoder = std::make_unique<QStringDecoder>(QStringConverter::Latin1);
        }
        dictionary->m_encoder = std::move(encoder);
        dictionary->m_decoder = std::move(decoder);
    }
    return dictionary;
}

std::string HunspellDictionary::encode(QStringView word) const
{
    const QByteArray bytes = m_utf8 ? word.toUtf8() : QByteArray(m_encoder->encode(word));
    return bytes.toStdString();
}

QString HunspellDictionary::decode(const std::string &bytes) const
{
    const QByteArrayView view(bytes.data(), qsizetype(bytes.size()));
    return m_utf8 ? QString::fromUtf8(view) : QString(m_decoder->decode(view));
}

bool HunspellDictionary::spell(QStringView word) { return m_hunspell->spell(encode(word)); }

QStringList HunspellDictionary::stem(QStringView word)
{
    QStringList stems;
    for (const std::string &stem : m_hunspell->stem(encode(word)))
        stems << decode(stem);
    return stems;
}

QStringList HunspellDictionary::suggest(QStringView word)
{
    QStringList suggestions;
    for (const std::string &suggestion : m_hunspell->suggest(encode(word)))
        suggestions << decode(suggestion);
    return suggestions;
}

void HunspellDictionary::add(QStringView word) { m_hunspell->add(encode(word)); }
