#include "batch/consistency_report.h"

#include "catalogue/document.h"
#include "catalogue/folder_listing.h"

#include <QHash>
#include <algorithm>

namespace {

struct Variant {
    const QString *translation;  // held by an entry of the document
    std::vector<int> files;      // indices into the report's file list
};

// The translations met so far for one original; nearly always one.
struct Group {
    const QString *original;
    std::vector<Variant> variants;
};

bool isRealTranslation(const StringEntry &entry)
{
    return entry.translatable != 0 && !entry.translation.isEmpty() && entry.translation != entry.original;
}

} // namespace

ConsistencyReport BuildConsistencyReport(const CRendaroDoc &document)
{
    ConsistencyReport report;
    QHash<QStringView, Group> groups;
    const std::vector<CXMLStruct> &catalogues = document.catalogues();
    for (size_t index = 1; index < catalogues.size(); ++index) {
        const int file = int(report.files.size());
        report.files << catalogues[index].filePath;
        for (const auto &item : catalogues[index].entries) {
            const StringEntry &entry = item.second;
            if (!isRealTranslation(entry))
                continue;
            Group &group = groups[QStringView(entry.original)];
            if (!group.original)
                group.original = &entry.original;
            auto variant = std::find_if(group.variants.begin(), group.variants.end(),
                                        [&](const Variant &v) { return *v.translation == entry.translation; });
            if (variant == group.variants.end())
                group.variants.push_back({&entry.translation, {file}});
            else if (variant->files.back() != file)
                variant->files.push_back(file);
        }
    }
    for (const Group &group : std::as_const(groups)) {
        if (group.variants.size() < 2)
            continue;
        ConsistencyItem item;
        item.original = *group.original;
        for (const Variant &variant : group.variants) {
            ConsistencyVariant out;
            out.translation = *variant.translation;
            for (int file : variant.files)
                out.files << report.files.at(file);
            item.translations.push_back(std::move(out));
        }
        report.items.push_back(std::move(item));
    }
    std::sort(report.items.begin(), report.items.end(), [](const ConsistencyItem &a, const ConsistencyItem &b) {
        return OriginalLess(a.original, b.original);
    });
    return report;
}

ConsistencyReport ConsistencyReportForFolder(const QString &folder)
{
    CRendaroDoc document;
    std::vector<FileFailure> unreadable;
    for (const QString &path : ListLanguageFiles(folder)) {
        if (document.LoadCatalogue(path, false) < 0)
            unreadable.push_back({path, document.lastErrorText()});
    }
    ConsistencyReport report = BuildConsistencyReport(document);
    report.unreadable = std::move(unreadable);
    return report;
}
