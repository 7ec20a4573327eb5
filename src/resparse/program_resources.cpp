#include "resparse/program_resources.h"

#include "resparse/pe_file.h"
#include "resparse/res_extract.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

constexpr std::uint32_t kProgramMenuType = 4, kProgramDialogType = 5;

} // namespace

bool ReadProgramImage(const QByteArray &image, ProgramResources &resources)
{
    PeFile pe;
    if (!pe.parse(ByteView(reinterpret_cast<const unsigned char *>(image.constData()), size_t(image.size()))))
        return false;
    const std::vector<PeResource> all = pe.resources();
    for (const auto &[id, data] : PickLoaderVersions(all, kProgramDialogType)) {
        if (std::optional<DialogTemplate> dialog = ReadDialogTemplate(data))
            resources.dialogs.push_back({id, std::move(*dialog)});
        else
            ++resources.malformed;
    }
    for (const auto &[id, data] : PickLoaderVersions(all, kProgramMenuType)) {
        if (std::optional<MenuTemplate> menu = ReadMenuTemplate(data))
            resources.menus.push_back({id, std::move(*menu)});
        else
            ++resources.malformed;
    }
    return true;
}

bool ReadProgramFile(const QString &path, ProgramResources &resources, QString *error)
{
    auto fail = [&](const QString &reason) {
        if (error)
            *error = QStringLiteral("Can not read the program %1 (%2)").arg(path, reason);
        return false;
    };
    if (QFileInfo(path).isDir())
        return fail(QStringLiteral("it is a folder"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    const QByteArray image = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    if (!ReadProgramImage(image, resources))
        return fail(QStringLiteral("not a Windows executable"));
    return true;
}

ResourceNames::ResourceNames(const QString &headerText)
{
    static const QRegularExpression define(
        QStringLiteral(R"(^[ \t]*#[ \t]*define[ \t]+([A-Za-z_][A-Za-z0-9_]*)[ \t]+\(?[ \t]*(0[xX][0-9A-Fa-f]+|[0-9]+))"),
        QRegularExpression::MultilineOption);
    for (auto match = define.globalMatch(headerText); match.hasNext();) {
        const QRegularExpressionMatch m = match.next();
        bool ok = false;
        const uint value = m.captured(2).toUInt(&ok, 0);
        if (ok)
            m_names[value].append(m.captured(1));
    }
}

QString ResourceNames::pick(std::uint32_t id, bool dialog) const
{
    const auto found = m_names.constFind(id);
    if (found != m_names.constEnd()) {
        static const QStringList resourcePrefixes = {QStringLiteral("IDD_"), QStringLiteral("IDR_"),
                                                     QStringLiteral("IDS_"), QStringLiteral("IDI_"),
                                                     QStringLiteral("IDB_")};
        for (const QString &name : *found) {
            const bool isDialogName = name.startsWith(u"IDD_");
            const bool isResourceName = std::any_of(resourcePrefixes.begin(), resourcePrefixes.end(),
                                                    [&](const QString &p) { return name.startsWith(p); });
            if (dialog ? isDialogName : !isResourceName)
                return name;
        }
        return found->first();
    }
    return dialog ? QString::number(id) : QString::number(std::int32_t(id));
}

QString ResourceNames::dialog(std::uint32_t id) const { return pick(id, true); }

QString ResourceNames::control(std::uint32_t id) const { return pick(id, false); }
