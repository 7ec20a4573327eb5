#pragma once
// Collects the user-visible English texts of a Windows executable or DLL:
// menu item texts, dialog captions with their button and static texts, and
// string-table strings. A C++ resource header acts as the filter: only
// resources whose numbers occur in it are read.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <map>
#include <vector>

#include "resparse/pe_file.h"

// Removes mnemonic markers: "&Open" gives "Open", "Save && Exit" gives
// "Save & Exit".
QString StripMnemonics(const QString &text);

// Appends the texts of the executable's bytes, filtered by the header text.
// Every language version of a resource counts on its own, in directory order;
// string tables and dialogs yield their own version's texts, while a menu
// yields the version the menu loader would pick (see res_extract.cpp).
// Resources identified by a name are not read. False when the bytes are not
// a Windows executable.
bool ExtractFromImage(const QByteArray &image, const QString &headerText, QStringList &texts);

// The same for files. False, with nothing appended, when the executable or
// the header cannot be read (or the executable is no Windows executable);
// *error then says which file failed and why.
bool ExtractResourceStrings(QStringList &texts, const QString &executablePath, const QString &headerPath,
                            QString *error = nullptr);

// Per resource number of the type, the language version the platform's
// loader picks on a US-English system: language-neutral, else US English,
// else any English, else the first in directory order.
std::map<std::uint32_t, ByteView> PickLoaderVersions(const std::vector<PeResource> &resources, std::uint32_t type);
