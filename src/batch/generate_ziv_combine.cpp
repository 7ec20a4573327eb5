// Step 2 of generate-and-pack: the catalogues of the chosen projects merged,
// per language, into one combined file for the translators.

#include "batch/generate_ziv_handler.h"

#include "batch/path_join.h"
#include "catalogue/document.h"

#include <QDir>
#include <QFileInfo>

bool CGenerateZIVHandler::SaveAllStrings(const QStringList &languages, const std::vector<int> &projects,
                                         const QString &outputFolder)
{
    if (IsActive() || outputFolder.isEmpty())
        return false;
    startResult();
    QDir().mkdir(outputFolder);  // one level; an existing folder is fine
    bool allWritten = true;
    for (const QString &language : languages) {
        // The master catalogue collects each distinct original of the files
        // read once (the language-folder rule decides which entry it keeps).
        m_document.CloseCatalogue(-1);
        for (const int index : projects) {
            const QString path = CataloguePath(index, language);
            if (!path.isEmpty() && m_document.LoadCatalogue(path, true) < 0 && QFileInfo::exists(path))
                noteProblem(QStringLiteral("Can not read %1 (%2)").arg(path, m_document.lastErrorText()));
        }
        const QString combined = JoinPath(outputFolder, QStringLiteral("ALL_") + language + QStringLiteral(".xml"));
        if (m_document.SaveCatalogue(0, combined, true)) {
            noteWritten(combined);
        } else {
            noteProblem(QStringLiteral("Can not save %1").arg(combined));
            allWritten = false;
        }
    }
    // The catalogues of the last language stay loaded.
    return allWritten;
}
