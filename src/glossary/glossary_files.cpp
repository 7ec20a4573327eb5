#include "glossary/glossary_files.h"

#include "catalogue/safe_file.h"
#include "glossary/glossary_csv.h"
#include "glossary/glossary_tbx.h"

#include <QDir>
#include <QFileInfo>

GlossaryFormat GlossaryFormatForPath(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"tbx")
        return GlossaryFormat::Tbx;
    if (suffix == u"csv")
        return GlossaryFormat::Csv;
    if (suffix == u"tsv" || suffix == u"txt")
        return GlossaryFormat::Tsv;
    if (suffix == u"qph")
        return GlossaryFormat::Qph;
    return GlossaryFormat::Unknown;
}

GlossaryRead ReadGlossaryFile(const QString &path, const QString &language)
{
    GlossaryRead read;
    const GlossaryFormat format = GlossaryFormatForPath(path);
    if (format == GlossaryFormat::Unknown) {
        read.error = QStringLiteral("not a glossary file's name (.tbx, .csv, .tsv or .qph)");
        return read;
    }
    QByteArray bytes;
    if (!ReadRegularFile(path, &bytes, &read.error))
        return read;
    switch (format) {
    case GlossaryFormat::Tbx:
        return ReadGlossaryTbx(bytes, language);
    case GlossaryFormat::Qph:
        return ReadGlossaryQph(bytes);
    case GlossaryFormat::Csv:
        return ReadGlossaryCsv(bytes, u',');
    default:
        return ReadGlossaryCsv(bytes, u'\t');
    }
}

bool WriteGlossaryFile(const QString &path, const Glossary &glossary, QString *error)
{
    QByteArray bytes;
    switch (GlossaryFormatForPath(path)) {
    case GlossaryFormat::Tbx:
        if (glossary.language.isEmpty()) {
            *error = QStringLiteral("the glossary's language is not known (TBX names it)");
            return false;
        }
        bytes = WriteGlossaryTbx(glossary);
        break;
    case GlossaryFormat::Qph:
        bytes = WriteGlossaryQph(glossary);
        break;
    case GlossaryFormat::Csv:
        bytes = WriteGlossaryCsv(glossary, u',');
        break;
    case GlossaryFormat::Tsv:
        bytes = WriteGlossaryCsv(glossary, u'\t');
        break;
    case GlossaryFormat::Unknown:
        *error = QStringLiteral("not a glossary file's name (.tbx, .csv, .tsv or .qph)");
        return false;
    }
    return writeFileAtomically(path, bytes, error);
}

bool AppendGlossaryEntry(const QString &path, const GlossaryEntry &entry, const QString &language, QString *error)
{
    const GlossaryFormat format = GlossaryFormatForPath(path);
    if (format != GlossaryFormat::Tbx && format != GlossaryFormat::Csv && format != GlossaryFormat::Tsv) {
        *error = QStringLiteral("terms are added to .tbx, .csv and .tsv glossaries only");
        return false;
    }
    if (!QFileInfo::exists(path)) {
        Glossary glossary;
        glossary.language = language;
        glossary.entries.push_back(entry);
        return WriteGlossaryFile(path, glossary, error);
    }
    QByteArray bytes;
    if (!ReadRegularFile(path, &bytes, error))
        return false;
    const QByteArray added = format == GlossaryFormat::Tbx
                                 ? AppendGlossaryTbxEntry(bytes, entry, language, error)
                                 : AppendGlossaryCsvRow(bytes, entry, format == GlossaryFormat::Csv ? u',' : u'\t', error);
    if (added.isEmpty())
        return false;
    return writeFileAtomically(path, added, error);
}

QStringList FindGlossaryFiles(const QString &languagePath)
{
    if (languagePath.isEmpty() || languagePath == u"-")
        return {};
    const QFileInfo info(languagePath);
    QDir folder(info.isDir() ? info.absoluteFilePath() : info.absolutePath());
    for (;;) {
        QStringList found;
        for (const QString &name : {QStringLiteral("glossary.tbx"), QStringLiteral("glossary.csv")}) {
            const QFileInfo file(folder.filePath(name));
            if (file.isFile())
                found.append(file.filePath());
        }
        if (!found.isEmpty())
            return found;
        if (!folder.cdUp())
            return {};
    }
}
