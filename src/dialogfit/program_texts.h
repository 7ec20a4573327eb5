#pragma once
// A program's dialogs and menus, and which of their controls and items show
// each text: an entry is shown wherever its original appears, with or
// without the accelerator mark ("&Save" in the file, "&Save" or "Save" in
// the program, and the other way round).

#include "catalogue/entry_table.h"
#include "resparse/program_resources.h"

#include <QHash>
#include <QString>
#include <memory>
#include <vector>

// One control of a dialog or one item of a menu popup.
struct ShownPlace {
    enum Kind { Control, MenuItem } kind = Control;
    int owner = 0;  // the dialog, or the menu
    int group = 0;  // the popup of the menu; 0 for a dialog
    int index = 0;  // the control, or the item within the popup
};

class ProgramTexts {
public:
    ProgramTexts(ProgramResources resources, ResourceNames names);

    const ProgramResources &resources() const { return m_resources; }
    const ResourceNames &names() const { return m_names; }

    // The key texts are matched by: the text without accelerator marks.
    static QString keyOf(const QString &text);
    // The places showing an original; null when none does.
    const std::vector<ShownPlace> *placesOf(const QString &original) const;

    // The template text at a place, accelerator mark included.
    const QString &textAt(const ShownPlace &place) const;
    const DialogControl &controlAt(const ShownPlace &place) const;
    // "IDC_DELETE_ALL in IDD_OPTIONS", "ID_FILE_SAVE in menu IDR_MAIN".
    QString describe(const ShownPlace &place) const;
    // Every group (a dialog's controls, a popup's items) and its places.
    const std::vector<std::vector<ShownPlace>> &groups() const { return m_groups; }
    // The group of a place, an index into groups().
    int groupOf(const ShownPlace &place) const;

private:
    ProgramResources m_resources;
    ResourceNames m_names;
    QHash<QString, std::vector<ShownPlace>> m_byKey;
    std::vector<std::vector<ShownPlace>> m_groups;
    std::vector<int> m_firstGroupOfMenu;  // menus' groups follow the dialogs'
};

// The entry of a language file that a program's text shows: the one whose
// original is the text, or the text without its accelerator mark, or (the
// file holding the mark where the program has none) the text with a mark
// before one of its characters. Null when the file lacks it.
const StringEntry *EntryShownBy(const EntryMap &entries, const QString &programText);

// What a place shows for an entry: its translation, or the program's own
// text while the entry is untranslated (or missing).
QString TextShownFor(const StringEntry *entry, const QString &programText);

// The program's dialogs and menus with the names of its header, read once
// while neither file changes (the checks of every file of a language folder
// and the editor's preview share it; it is never changed). Null, with the
// reason in problems, when the program cannot be read; a header that
// cannot be read is said and numbers stand for names.
std::shared_ptr<const ProgramTexts> ReadProgramTexts(const QString &program, const QString &header,
                                                     QStringList &problems);
