#include "resparse/res_extract.h"

#include "resparse/header_filter.h"
#include "resparse/pe_file.h"
#include "resparse/res_dialog.h"
#include "resparse/res_menu.h"
#include "resparse/res_strings.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr std::uint32_t kMenuType = 4, kDialogType = 5, kStringType = 6;

bool readFile(const QString &path, QByteArray *bytes)
{
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        return false;
    *bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

} // namespace

QString StripMnemonics(const QString &text)
{
    QString out = text;
    for (qsizetype at = out.indexOf(u'&'); at >= 0; at = out.indexOf(u'&', at)) {
        out.remove(at, 1);
        if (at < out.size() && out[at] == u'&')
            ++at;  // "&&" leaves one "&", and the search goes on after it
    }
    return out;
}

bool ExtractFromImage(const QByteArray &image, const QString &headerText, QStringList &texts)
{
    PeFile pe;
    if (!pe.parse(ByteView(reinterpret_cast<const unsigned char *>(image.constData()), size_t(image.size()))))
        return false;
    const HeaderFilter filter(headerText);
    for (const PeResource &resource : pe.resources()) {
        // Resources named by a string have no number the header could list.
        if (resource.named || !resource.data.data())
            continue;
        switch (resource.type) {
        case kMenuType:
            if (filter.listsResource(resource.id))
                ReadMenuTexts(resource.data, texts);
            break;
        case kDialogType:
            if (filter.listsResource(resource.id))
                ReadDialogTexts(resource.data, texts);
            break;
        case kStringType:
            if (filter.listsStringBlock(resource.id))
                ReadStringBlock(resource.data, texts);
            break;
        default:
            break;
        }
    }
    return true;
}

bool ExtractResourceStrings(QStringList &texts, const QString &executablePath, const QString &headerPath)
{
    QByteArray image, header;
    if (!readFile(executablePath, &image) || !readFile(headerPath, &header))
        return false;
    // The header is read as a C string: it ends at its first zero byte.
    const qsizetype end = header.indexOf('\0');
    if (end >= 0)
        header.truncate(end);
    QStringList found;
    if (!ExtractFromImage(image, QString::fromLatin1(header), found))
        return false;
    texts += found;
    return true;
}
