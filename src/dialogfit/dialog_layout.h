#pragma once
// One dialog at one screen resolution: its font, its base units, and how
// much text each control has room for, with the verdict on a text.

#include "dialogfit/dialog_units.h"
#include "dialogfit/text_measurer.h"
#include "resparse/dialog_template.h"

#include <QRect>
#include <QStringView>

// The resolutions a translation must fit at.
inline constexpr int kFitDpis[] = {96, 120, 144};

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
    // The control's rectangle in pixels within the dialog's client area.
    QRect rectOf(const DialogControl &control) const;
    // What textRoomOf takes away, and where a preview draws: the box of
    // check boxes and radio buttons and the gap after it, the frame (and
    // focus outline) of a push button on each side, the start of a group
    // box's caption.
    int boxSize() const;
    int boxGap() const;
    int pushMargin(const DialogControl &control) const;
    int groupCaptionStart() const;

    // Whether text (as in the language file, accelerator marks included)
    // fits the control: one line across, or for a multi-line control every
    // word across and the wrapped lines within its height.
    FitVerdict fit(const DialogControl &control, QStringView text) const;

    // The lines a wrapping control draws `shown` (a text as ShownText gives
    // it) in within `room` pixels: greedy at spaces, paragraph by paragraph;
    // a word wider than the room keeps a line of its own (and is cut off).
    QStringList wrapLines(QStringView shown, int room) const;

private:
    int m_dpi;
    std::shared_ptr<const MeasuringFont> m_font;
    DialogBaseUnits m_base;
    int m_boxGap = 0;  // between a check box's box and its text
};
