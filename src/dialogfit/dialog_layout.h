#pragma once
// One dialog at one screen resolution: its font, its base units, and how
// much text each control has room for, with the verdict on a text.

#include "dialogfit/dialog_units.h"
#include "dialogfit/text_measurer.h"
#include "resparse/dialog_template.h"

#include <QStringView>

// The family a dialog's font is looked up as: "MS Shell Dlg 2" (and
// "MS Shell Dlg" in a dialog with the shell-font style) is Tahoma, "MS Shell
// Dlg" otherwise MS Sans Serif; a dialog without a font uses the System
// font. The request for dpi.
FontRequest DialogFontRequest(const DialogTemplate &dialog, int dpi);

// What a control shows of a text: without the accelerator marks ("&&" is one
// "&") unless the control draws "&" as it is.
QString ShownText(QStringView text, bool noPrefix);

// The accelerator letter of a text, case-folded; a null QChar when it has
// none ("&&" is no mark).
QChar AcceleratorOf(QStringView text);

struct FitVerdict {
    bool fits = true;
    bool byLines = false;     // the text wraps, but into more lines than there is room for
    int need = 0, room = 0;   // pixels across, or lines when byLines
};

class DialogLayout {
public:
    DialogLayout(const DialogTemplate &dialog, int dpi, TextMeasurer &measurer);

    int dpi() const { return m_dpi; }
    DialogBaseUnits baseUnits() const { return m_base; }
    const MeasuringFont &font() const { return *m_font; }

    // The control's size in pixels.
    int widthOf(const DialogControl &control) const;
    int heightOf(const DialogControl &control) const;
    // The width left for the text: less the box and gap of check boxes and
    // radio buttons, the frame and focus margins of push buttons, the
    // caption's start and the frame of group boxes.
    int textRoomOf(const DialogControl &control) const;

    // Whether text (as in the language file, accelerator marks included)
    // fits the control: one line across, or for a multi-line control every
    // word across and the wrapped lines within its height.
    FitVerdict fit(const DialogControl &control, QStringView text) const;

private:
    int m_dpi;
    std::shared_ptr<const MeasuringFont> m_font;
    DialogBaseUnits m_base;
    int m_boxGap = 0;  // between a check box's box and its text
};
