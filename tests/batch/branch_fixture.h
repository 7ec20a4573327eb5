#pragma once
// A branch tree in a temporary folder for the generate-and-pack tests: the
// language root Exe/Lang below the branch (and below the device-pack
// folder), the test programs and their header, and a handler over a
// document of its own.

#include "batch/generate_ziv_handler.h"
#include "catalogue/document.h"
#include "test_support.h"

#include <QFileInfo>

const QString kPackFixtures = QStringLiteral(RENDARO_TEST_DATA "/../batch/fixtures");

class BranchTest : public FolderTest {
protected:
    void SetUp() override
    {
        QDir().mkpath(branch() + "/Exe/Lang");
        handler.SetBranchPath(branch());
        handler.SetDevicePackPath(devicePack());
    }

    QString branch() const { return folder.root() + "/branch"; }
    QString devicePack() const { return folder.root() + "/device"; }

    // Writes bytes at path, creating its folders.
    static QString writeAt(const QString &path, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(path).path());
        EXPECT_TRUE(writeBytes(path, bytes)) << path.toStdString();
        return path;
    }
    static void copyTo(const QString &from, const QString &to)
    {
        QDir().mkpath(QFileInfo(to).path());
        EXPECT_TRUE(QFile::copy(from, to)) << to.toStdString();
    }

    // The test program View.exe and its header as ViewRes's (row 0).
    void installView()
    {
        copyTo(kPackFixtures + "/View.exe", branch() + "/Exe/View.exe");
        copyTo(kPackFixtures + "/resource.h", branch() + "/Source/View/resource.h");
    }

    // base/Exe/Lang/LANG/<project>LANG.xml
    static QString cataloguePath(const QString &base, const QString &project, const QString &language)
    {
        return base + "/Exe/Lang/" + language + "/" + project + language + ".xml";
    }
    QString catalogue(const QString &project, const QString &language) const
    {
        return cataloguePath(branch(), project, language);
    }
    QString writeCatalogue(const QString &project, const QString &language, const QList<QByteArray> &lines)
    {
        return writeAt(catalogue(project, language), languageFile("", lines));
    }

    // The translation of original in the file at path, as the editor reads
    // it; a null string when the file or the entry is absent.
    static QString translationIn(const QString &path, const QString &original)
    {
        CRendaroDoc reader;
        const int id = reader.LoadCatalogue(path, false);
        if (id < 0 || !reader.HasEntry(original, id))
            return QString();
        return reader.GetTranslation(id, original);
    }
    static int entryCount(const QString &path)
    {
        CRendaroDoc reader;
        const int id = reader.LoadCatalogue(path, false);
        return id < 0 ? -1 : int(reader.CopyEntries(id).size());
    }

    CRendaroDoc document;
    CGenerateZIVHandler handler{document};
};
