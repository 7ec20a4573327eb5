#pragma once
// Dialog templates (DLGTEMPLATE and DLGTEMPLATEEX) read whole: the dialog's
// size and font, and each control's class, style, id, rectangle and text,
// as a dialog's layout needs them. Rectangles are in dialog units.

#include "resparse/byte_view.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// How a control lays out its text; Other shows no text of ours (edit
// fields, lists, icons, custom classes).
enum class ControlKind { PushButton, CheckBox, RadioButton, GroupBox, Static, Other };
enum class TextAlign { Left, Center, Right };

struct DialogControl {
    std::uint16_t classAtom = 0;  // 0x80 Button .. 0x85 ComboBox; 0 when the class is named
    QString className;            // the named class, when classAtom is 0
    std::uint32_t style = 0, exStyle = 0;
    std::int32_t id = 0;          // -1 for the usual unnamed static
    int x = 0, y = 0, width = 0, height = 0;  // dialog units
    QString text;                 // as in the template, accelerator mark included
    bool textIsResource = false;  // the title is a resource number (an icon or a bitmap)

    ControlKind kind = ControlKind::Other;
    TextAlign align = TextAlign::Left;
    bool noPrefix = false;   // "&" is drawn, not an accelerator mark
    bool multiLine = false;  // wraps at word boundaries
};

struct DialogTemplate {
    bool extended = false;
    std::uint32_t style = 0, exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;  // dialog units
    QString caption;
    QString windowClass;      // a named dialog class; empty for the standard one
    bool hasFont = false;     // DS_SETFONT: the font below, else the system font
    bool shellFont = false;   // DS_SHELLFONT: "MS Shell Dlg" means the newer shell face
    int pointSize = 0;
    int weight = 400;         // 400 normal, 700 bold
    bool italic = false;
    QString face;
    std::vector<DialogControl> controls;
};

// The whole template, or nothing when it is malformed (it ends early, holds
// fewer controls than it counts, or a text lacks its end).
std::optional<DialogTemplate> ReadDialogTemplate(ByteView dialog);

// Whether a window class exists without the program registering it: the
// system's own, the common controls and the rich-edit controls.
bool IsRegisteredClassName(const QString &name);
bool IsRegisteredControlClass(const DialogControl &control);
