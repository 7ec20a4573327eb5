// Step 1 of generate-and-pack: new strings of a project's module or text
// file into its English catalogue, and from there into every language.

#include "batch/generate_ziv_handler.h"

#include "batch/path_join.h"
#include "catalogue/document.h"
#include "resparse/res_extract.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// The values of a text source: UTF-8 lines ended by LF, each value the text
// after the line's last "=" (a CR before the LF stays). A line without "="
// holds no value and is skipped.
QStringList textSourceValues(const QByteArray &bytes)
{
    QStringList values;
    const QString text = QString::fromUtf8(bytes);
    for (const QStringView line : QStringView(text).split(u'\n')) {
        const qsizetype equals = line.lastIndexOf(u'=');
        if (equals >= 0)
            values.append(line.mid(equals + 1).toString());
    }
    return values;
}

} // namespace

int CGenerateZIVHandler::addTexts(int catalogueId, const QStringList &texts)
{
    int added = 0;
    for (const QString &text : texts) {
        QString original = text, translation = text;
        CRendaroDoc::NormalizeStringPair(original, translation);
        if (original.isEmpty() || m_document.HasEntry(original, catalogueId))
            continue;  // an original already present keeps its entry
        m_document.AddEntry(catalogueId, original, translation, 1);
        ++added;
    }
    std::lock_guard lock(m_mutex);
    m_result.stringsAdded += added;
    return added;
}

void CGenerateZIVHandler::saveEnglishAndApply(const ProjectEntry &project, int catalogueId, const QString &englishPath)
{
    // The languages receive the English file as saved; when it cannot be
    // saved they are left alone, so that they never hold strings the
    // English file lacks.
    if (!m_document.SaveCatalogue(catalogueId, englishPath, true)) {
        noteProblem(QStringLiteral("Can not save %1").arg(englishPath));
        return;
    }
    noteWritten(englishPath);
    ApplyToLanguages(project.isDevicePack, project.name, catalogueId);
}

bool CGenerateZIVHandler::AddNewStrings(int index)
{
    const ProjectEntry *project = row(index);
    if (!project || IsActive())
        return false;
    if (!IsModuleName(project->sourcePath))
        return AddNewStringsFromText(index);
    startResult();
    // The reader takes the module's full path; the process's current
    // folder is left alone.
    const QString module = JoinPath(m_branchPath, project->sourcePath);
    const QString header = ProjectPath(project->isDevicePack, project->headerPath);
    QStringList texts;
    if (!ExtractResourceStrings(texts, module, header)) {
        noteProblem(QStringLiteral("Can not read the resources of %1 with the header %2").arg(module, header));
        return true;
    }
    if (texts.isEmpty())
        return true;
    const QString englishPath = ProjectPath(project->isDevicePack, project->englishCataloguePath);
    const int id = m_document.LoadCatalogue(englishPath, false);
    if (id < 0) {
        noteProblem(QStringLiteral("Can not read %1 (%2)").arg(englishPath, m_document.lastErrorText()));
    } else {
        addTexts(id, texts);
        saveEnglishAndApply(*project, id, englishPath);
    }
    m_document.CloseCatalogue(-1);
    return true;
}

bool CGenerateZIVHandler::AddNewStringsFromText(int index)
{
    const ProjectEntry *project = row(index);
    if (!project || IsActive())
        return false;
    startResult();
    const QString englishPath = ProjectPath(project->isDevicePack, project->englishCataloguePath);
    const int id = m_document.LoadCatalogue(englishPath, false);
    if (id < 0) {
        noteProblem(QStringLiteral("Can not read %1 (%2)").arg(englishPath, m_document.lastErrorText()));
        return false;
    }
    const QString textPath = JoinPath(m_branchPath, project->sourcePath);
    const QFileInfo info(textPath);
    if (info.isFile() && info.size() > 0) {
        QFile file(textPath);
        QByteArray bytes;
        if (file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
        if (!file.isOpen() || file.error() != QFileDevice::NoError) {
            // Nothing is added and the English file is not saved, but the
            // languages still receive it as it is.
            noteProblem(QStringLiteral("Can not read %1 (%2)").arg(textPath, file.errorString()));
            ApplyToLanguages(project->isDevicePack, project->name, id);
        } else {
            addTexts(id, textSourceValues(bytes));
            saveEnglishAndApply(*project, id, englishPath);
        }
    }
    m_document.CloseCatalogue(-1);
    return true;
}

void CGenerateZIVHandler::ApplyToLanguages(int isDevicePack, const QString &name, int catalogueId)
{
    const QString root = LanguageRoot(isDevicePack);
    const QString english = JoinPath(root, QStringLiteral("ENG/") + name + QStringLiteral("ENG.xml"));
    const QString sourcePath = m_document.GetCataloguePath(m_document.FindCatalogueIndex(catalogueId));
    for (const QString &language : m_selectedLanguages) {
        const QString target = JoinPath(root, language + u'/' + name + language + QStringLiteral(".xml"));
        if (QFileInfo::exists(target)) {
            // Adds the strings the file lacks and the marks; its translations
            // stay. A file that cannot be read is left as it is.
            if (!m_document.ApplyTranslationsToFile(target, catalogueId))
                noteProblem(QStringLiteral("Can not apply to %1").arg(target));
            else if (target != sourcePath)
                noteWritten(target);
        } else if (QFile::copy(english, target)) {
            noteCreated(target);
        } else if (QFileInfo(target).dir().exists() && QFileInfo::exists(english)) {
            // A language without a folder for this project is no problem; a
            // copy that fails where it could be made is.
            noteProblem(QStringLiteral("Can not create %1").arg(target));
        }
    }
}
