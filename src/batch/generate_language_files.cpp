#include "batch/generate_language_files.h"

#include "catalogue/document.h"
#include "catalogue/folder_listing.h"

#include <QFileInfo>
#include <QSet>

namespace {

const QString kMarker = QStringLiteral("VaridivUva");

// Two paths naming one file (links and "." or ".." resolved where the files
// exist).
bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo first(a), second(b);
    const QString canonicalA = first.canonicalFilePath(), canonicalB = second.canonicalFilePath();
    if (!canonicalA.isEmpty() && !canonicalB.isEmpty())
        return canonicalA == canonicalB;
    return first.absoluteFilePath() == second.absoluteFilePath();
}

} // namespace

QString LanguageFileName(const QString &path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

QString LanguageFilePrefix(const QString &path)
{
    const QString name = LanguageFileName(path);
    const qsizetype at = name.indexOf(u"Res");
    return at < 0 ? QString() : name.left(at + 3);
}

LanguageFileGeneration GenerateLanguageFiles(CRendaroDoc &document, int catalogueId, const QString &folder,
                                             const QString &fileName, const QString &prefix)
{
    LanguageFileGeneration result;
    const CXMLStruct *shown = document.findCatalogue(catalogueId);
    if (!shown || catalogueId <= 0 || prefix.isEmpty() || fileName.isEmpty())
        return result;
    const QString shownPath = shown->filePath;
    QSet<QString> targets;
    WalkFolderTree(
        folder, [](const QString &name) { return name != u".svn"; },
        [&](const QString &path, const QString &name) {
            if (!name.contains(u".xml") || !name.contains(kMarker) || name.contains(fileName))
                return;
            const QString target = path.left(path.size() - name.size()) + QString(name).replace(kMarker, prefix);
            if (targets.contains(target))
                return;  // two reference names giving one copy: written once
            targets.insert(target);
            if (!shownPath.isEmpty() && sameFile(target, shownPath)) {
                result.skipped << target;
                return;
            }
            const bool saved = document.SaveCatalogue(catalogueId, target, true);
            // SaveCatalogue records the last path written; the shown
            // catalogue still belongs to its own file.
            document.findCatalogue(catalogueId)->filePath = shownPath;
            if (saved)
                result.written << target;
            else
                result.failed.push_back({target, document.lastErrorText()});
        });
    return result;
}

AutoImportResult AutoImportGeneratedFile(CRendaroDoc &document, const QString &generatedPath)
{
    AutoImportResult result;
    result.path = generatedPath;
    const int id = document.LoadCatalogue(generatedPath, false);
    if (id < 0) {
        result.error = document.lastErrorText();
        return result;
    }
    result.loaded = true;
    const QString name = LanguageFileName(generatedPath);
    const QString folder = generatedPath.left(generatedPath.size() - name.size());
    WalkFolderTree(
        folder.isEmpty() ? QStringLiteral(".") : folder, [](const QString &) { return false; },
        [&](const QString &path, const QString &otherName) {
            if (otherName.contains(name))
                return;
            int substituted = 0;
            if (document.ImportTranslationsFromFile(id, path, &substituted)) {
                result.sources.push_back({path, substituted});
                result.substituted += substituted;
            } else {
                result.unreadable << path;
            }
        });
    result.saved = document.SaveCatalogue(id, generatedPath, true);
    if (!result.saved)
        result.error = document.lastErrorText();
    document.CloseCatalogue(id);
    return result;
}
