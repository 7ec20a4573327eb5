#pragma once
// The dialogs and menus of a Windows executable or DLL, read whole, in the
// language version the loader picks; and the names a resource header gives
// to numbers.

#include "resparse/dialog_template.h"
#include "resparse/menu_template.h"

#include <QByteArray>
#include <QHash>
#include <QString>

struct ProgramDialog {
    std::uint32_t id = 0;
    DialogTemplate dialog;
};

struct ProgramMenu {
    std::uint32_t id = 0;
    MenuTemplate menu;
};

struct ProgramResources {
    std::vector<ProgramDialog> dialogs;  // by resource number
    std::vector<ProgramMenu> menus;
    int malformed = 0;                   // templates left out because they could not be read
};

// Every numbered dialog and menu of the image. False when the bytes are no
// Windows executable.
bool ReadProgramImage(const QByteArray &image, ProgramResources &resources);

// The same for a file; false with *error saying which file and why.
bool ReadProgramFile(const QString &path, ProgramResources &resources, QString *error);

// The names of numbers in a C++ resource header ("#define IDD_OPTIONS 101").
class ResourceNames {
public:
    ResourceNames() = default;
    explicit ResourceNames(const QString &headerText);

    // The name of a dialog's number (IDD_ names first), or the number.
    QString dialog(std::uint32_t id) const;
    // The name of a control's or menu item's number (names other than
    // IDD_, IDR_, IDS_, IDI_ and IDB_ first), or the number.
    QString control(std::uint32_t id) const;

private:
    QString pick(std::uint32_t id, bool dialog) const;
    QHash<std::uint32_t, QStringList> m_names;
};
