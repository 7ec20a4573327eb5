#pragma once
// One dialog as it shows a language file's texts: each control's text and
// its verdict (from the same DialogLayout the fit check asks), drawn at its
// pixel size in its font, every control whose text does not fit marked in
// red. A preview keeps its layouts and verdicts: giving a control the text
// it has costs nothing, and only a changed text is measured again.

#include "dialogfit/dialog_layout.h"
#include "dialogfit/raster_image.h"

#include <QSize>
#include <vector>

// The colours of the marks, for the pictures and whoever reads them.
inline constexpr Argb kMisfitColour = ArgbOf(224, 0, 0);        // does not fit at the drawn resolution
inline constexpr Argb kMisfitElsewhereColour = ArgbOf(240, 128, 0);  // fits here, not at a higher one
inline constexpr Argb kOutlineColour = ArgbOf(0, 80, 224);      // the control asked about

struct PreviewedControl {
    QRect rect;            // pixels, within the client area
    QString text;          // as shown: a translation or the program's text, accelerator mark included
    bool judged = false;   // a control of text the fit check judges
    FitVerdict verdict;    // at the drawn resolution
    int failsAt = 0;       // the lowest resolution of the check the text fails at; 0 when none
    FitVerdict failing;    // the verdict there
};

class DialogPreview {
public:
    DialogPreview(DialogTemplate dialog, int dpi, TextMeasurer &measurer);

    const DialogTemplate &dialog() const { return m_dialog; }
    const DialogLayout &layout() const { return m_layouts[m_drawn]; }
    int dpi() const { return layout().dpi(); }
    // The client area in pixels.
    QSize size() const { return m_size; }
    const std::vector<PreviewedControl> &controls() const { return m_controls; }
    // The control at a point of the picture (the innermost), or -1.
    int controlAt(QPoint point) const;

    // Gives a control a text (the template's while none is given); false
    // when it had that text already, which is then not measured again.
    bool setText(int control, const QString &text);
    // The caption the preview names the dialog with.
    void setCaption(const QString &caption) { m_caption = caption; }
    const QString &caption() const { return m_caption; }

    // Controls whose text does not fit at the drawn resolution.
    int misfits() const;
    // What a screen reader says of a control: "Löschen: fits", "Alle
    // Einträge löschen: 8 px too wide", "...: needs 3 lines, has 2",
    // "...: fits at 96 dpi, 4 px too wide at 120 dpi", "edit field".
    QString describe(int control) const;

    // The dialog's client area with every control, the misfits marked, and
    // `outlined` (a control's index, -1 none) framed.
    RasterImage draw(int outlined = -1) const;

private:
    void judge(PreviewedControl &shown, const DialogControl &control) const;
    void drawControl(RasterImage &image, const DialogControl &control, const PreviewedControl &shown) const;

    DialogTemplate m_dialog;
    std::vector<DialogLayout> m_layouts;  // the check's resolutions, then the drawn one when it is none of them
    size_t m_drawn = 0;
    QSize m_size;
    QString m_caption;
    std::vector<PreviewedControl> m_controls;
};

// What kind of control a template's control is, in words ("push button",
// "edit field", "list", "SysListView32").
QString ControlKindName(const DialogControl &control);
