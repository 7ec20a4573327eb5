#pragma once
// A program's dialogs and menus as previews of a language file's texts:
// each made when first asked for and kept (its layouts, fonts and
// verdicts), so following a selection or a keystroke measures only the
// texts that changed. Shared by `rendaro-cli preview` and the editor's
// Preview dock.

#include "dialogfit/dialog_preview.h"
#include "dialogfit/menu_preview.h"
#include "dialogfit/program_texts.h"

#include <memory>
#include <unordered_map>

class ProgramPreview {
public:
    ProgramPreview(std::shared_ptr<const ProgramTexts> program, std::shared_ptr<TextMeasurer> measurer, int dpi = 96);

    const ProgramTexts &program() const { return *m_program; }
    const std::shared_ptr<const ProgramTexts> &programShared() const { return m_program; }
    int dpi() const { return m_dpi; }

    // The dialogs and menus showing an original, one place each (its first
    // control or item there): dialogs first, in the program's order.
    std::vector<ShownPlace> ownersOf(const QString &original) const;
    // "IDD_OPTIONS" (or the number) for a dialog, "menu IDR_MAIN" for a menu.
    QString nameOf(const ShownPlace &owner) const;

    DialogPreview &dialog(int index);
    MenuPreview &menu(int index);

    // A text being typed in place of one entry's translation.
    struct Typed {
        QString original;
        QString text;
    };
    // Gives every control of the dialog (and its caption) the text the
    // entries show there; `typed` stands for its entry. True when a text changed.
    bool showEntries(int dialog, const EntryMap &entries, const Typed *typed = nullptr);
    bool showMenuEntries(int menu, const EntryMap &entries, const Typed *typed = nullptr);

private:
    QString shownText(const EntryMap &entries, const QString &programText, const Typed *typed) const;

    std::shared_ptr<const ProgramTexts> m_program;
    std::shared_ptr<TextMeasurer> m_measurer;
    int m_dpi;
    std::unordered_map<int, std::unique_ptr<DialogPreview>> m_dialogs;
    std::unordered_map<int, std::unique_ptr<MenuPreview>> m_menus;
};
