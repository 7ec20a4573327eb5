#include "spelling/hunspell_dictionary.h"

#include <QFile>
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

HunspellDictionary::HunspellDictionary() = default;

HunspellDictionary::~HunspellDictionary()
{
    const std::lock_guard<std::mutex> lock(handleLifetimeMutex());
    m_hunspell.reset();
}

std::unique_ptr<HunspellDictionary> HunspellDictionary::open(const DictionaryFiles &files, QString *error)
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
    std::unique_ptr<HunspellDictionary> dictionary(new HunspellDictionary);
    {
        const std::lock_guard<std::mutex> lock(handleLifetimeMutex());
        dictionary->m_hunspell = std::make_unique<Hunspell>(QFile::encodeName(files.affPath).constData(),
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
