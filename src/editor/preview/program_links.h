#pragma once
// The program (EXE or DLL) and resource header a language file or folder
// translates: set by hand with Tool > Program Resources... and kept per
// file or folder in the settings ("ProgramResources/Links"), else, for a
// file of a branch tree, given by the pack project table. The checks that
// judge against the program and the Preview dock read it.

#include <QString>
#include <QVariantMap>

class QSettings;

struct ProgramLink {
    enum class From { Nothing, Settings, ProjectTable };
    QString program, header;
    From from = From::Nothing;
    QString project;  // the project table's row, when From::ProjectTable
    QString problem;  // the project table could not be read

    bool isEmpty() const { return program.isEmpty(); }
};

class ProgramLinks {
public:
    // Without settings (tests) the links live as long as this object.
    void setSettings(QSettings *settings) { m_settings = settings; }

    // The link set by hand for exactly this file or folder.
    ProgramLink ownLink(const QString &path) const;
    // What a shown file or folder uses: its own link, for a file its
    // folder's, else for a file the project table's.
    ProgramLink linkFor(const QString &path, bool isFolder) const;
    // The project table's link of a file (empty: none).
    ProgramLink tableLink(const QString &file) const;
    // Sets the link of a file or folder; an empty program takes it away.
    void set(const QString &path, const QString &program, const QString &header);

private:
    QVariantMap links() const;
    QSettings *m_settings = nullptr;
    QVariantMap m_links;  // without settings
};
