#include "resparse/res_extract.h"

#include "resparse/header_filter.h"
#include "resparse/pe_file.h"
#include "resparse/res_dialog.h"
#include "resparse/res_menu.h"
#include "resparse/res_strings.h"

#include <QFile>
#include <QFileInfo>
#include <map>
#include <vector>

namespace {

constexpr std::uint32_t kMenuType = 4, kDialogType = 5, kStringType = 6;
constexpr std::uint64_t kReadBudgetFactor = 8;

// Reads a whole file; false with the system's reason when it cannot.
bool readFile(const QString &path, QByteArray *bytes, QString *reason)
{
    QFile file(path);
    if (QFileInfo(path).isDir()) {
        *reason = QStringLiteral("it is a folder");
        return false;
    }
    if (file.open(QIODevice::ReadOnly)) {
        *bytes = file.readAll();
        if (file.error() == QFileDevice::NoError)
            return true;
    }
    *reason = file.errorString();
    return false;
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

// The language version of a menu that the platform's menu loader picks on a
// US-English system when asked for the menu by number: a language-neutral
// version, else US English, else any English, else the first in directory
// order. Each language version of the menu still counts once, so a menu in
// two languages yields the picked version's texts twice.
std::map<std::uint32_t, ByteView> PickLoaderVersions(const std::vector<PeResource> &resources, std::uint32_t type)
{
    std::map<std::uint32_t, std::pair<int, ByteView>> best;  // id -> (rank, data)
    auto rank = [](std::uint32_t language) {
        if ((language & 0x3FF) == 0)
            return 0;
        if (language == 0x0409)
            return 1;
        if ((language & 0x3FF) == 0x09)
            return 2;
        return 3;
    };
    for (const PeResource &resource : resources) {
        if (resource.type != type || resource.named)
            continue;
        const int r = rank(resource.language);
        const auto found = best.find(resource.id);
        if (found == best.end() || r < found->second.first)
            best[resource.id] = {r, resource.data};
    }
    std::map<std::uint32_t, ByteView> picked;
    for (const auto &[id, choice] : best)
        picked[id] = choice.second;
    return picked;
}

bool ExtractFromImage(const QByteArray &image, const QString &headerText, QStringList &texts)
{
    PeFile pe;
    if (!pe.parse(ByteView(reinterpret_cast<const unsigned char *>(image.constData()), size_t(image.size()))))
        return false;
    const HeaderFilter filter(headerText);
    const std::vector<PeResource> resources = pe.resources();
    const std::map<std::uint32_t, ByteView> menus = PickLoaderVersions(resources, kMenuType);
    // Hostile directories can point many entries at the same large data.
    // What a resource yields never exceeds its data, so capping the data read
    // in total at a multiple of the file size bounds time and memory while
    // leaving real files, whose resources do not overlap, untouched.
    std::uint64_t budget = std::uint64_t(image.size()) * kReadBudgetFactor;
    for (const PeResource &resource : resources) {
        // Resources named by a string have no number the header could list.
        if (resource.named)
            continue;
        ByteView data = resource.data;
        if (resource.type == kMenuType)
            data = menus.at(resource.id);
        if (!data.data() || data.size() > budget)
            continue;
        switch (resource.type) {
        case kMenuType:
            if (filter.listsResource(resource.id)) {
                budget -= data.size();
                ReadMenuTexts(data, texts);
            }
            break;
        case kDialogType:
            if (filter.listsResource(resource.id)) {
                budget -= data.size();
                ReadDialogTexts(data, texts);
            }
            break;
        case kStringType:
            if (filter.listsStringBlock(resource.id)) {
                budget -= data.size();
                ReadStringBlock(data, texts);
            }
            break;
        default:
            break;
        }
    }
    return true;
}

bool ExtractResourceStrings(QStringList &texts, const QString &executablePath, const QString &headerPath,
                            QString *error)
{
    QByteArray image, header;
    QString reason;
    auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    if (!readFile(executablePath, &image, &reason))
        return fail(QStringLiteral("Can not open the executable %1 (%2)").arg(executablePath, reason));
    if (!readFile(headerPath, &header, &reason))
        return fail(QStringLiteral("Can not open the header %1 (%2)").arg(headerPath, reason));
    // The header is read as a C string: it ends at its first zero byte.
    const qsizetype end = header.indexOf('\0');
    if (end >= 0)
        header.truncate(end);
    QStringList found;
    if (!ExtractFromImage(image, QString::fromLatin1(header), found))
        return fail(QStringLiteral("Not a Windows executable: %1").arg(executablePath));
    texts += found;
    return true;
}
