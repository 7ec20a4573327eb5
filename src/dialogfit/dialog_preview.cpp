#include "dialogfit/dialog_preview.h"

#include <QStringList>
#include <algorithm>

namespace {

// The colours of a light Windows theme.
constexpr Argb kDrawFace = ArgbOf(240, 240, 240), kDrawText = ArgbOf(0, 0, 0), kDrawGreyText = ArgbOf(109, 109, 109);
constexpr Argb kDrawButtonFace = ArgbOf(225, 225, 225), kDrawButtonFrame = ArgbOf(173, 173, 173);
constexpr Argb kDrawDefaultFrame = ArgbOf(0, 120, 215), kDrawField = ArgbOf(255, 255, 255);
constexpr Argb kDrawFieldFrame = ArgbOf(122, 122, 122), kDrawBoxFrame = ArgbOf(51, 51, 51), kDrawEtch = ArgbOf(220, 220, 220);
constexpr Argb kDrawScrollFace = ArgbOf(230, 230, 230);

constexpr std::uint16_t kAtomButton = 0x80, kAtomEdit = 0x81, kAtomStatic = 0x82, kAtomList = 0x83,
                        kAtomScroll = 0x84, kAtomCombo = 0x85;
constexpr std::uint32_t kStyleDisabled = 0x08000000;  // WS_DISABLED

bool isDefaultButton(const DialogControl &control)
{
    return control.classAtom == kAtomButton && (control.style & 0x0F) == 0x1;
}

// One line of text in `area` as the control aligns it, its top at y, cut at
// clip; the accelerator letter underlined unless the control draws "&".
void drawTextLine(RasterImage &image, const MeasuringFont &font, const QRect &area, int y, QStringView text,
                  bool noPrefix, TextAlign align, Argb colour, const QRect &clip)
{
    const QString shown = ShownText(text, noPrefix);
    const int width = font.textWidth(shown);
    int x = area.left();
    if (align == TextAlign::Center)
        x += (area.width() - width) / 2;
    else if (align == TextAlign::Right)
        x = area.left() + area.width() - width;
    font.drawText(image, x, y, shown, colour, clip);
    if (noPrefix)
        return;
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (text[i + 1] == u'&') {
            ++i;
            continue;
        }
        const int from = x + font.textWidth(ShownText(text.left(i), false));
        const int letter = font.textWidth(text.mid(i + 1, 1));
        const int line = y + font.ascent() + 1;
        if (letter > 0)
            image.fillRect(QRect(from, line, letter, 1).intersected(clip), colour);
        return;
    }
}

// A control's text in `area`: one line centred down the area (or from its
// top), or the wrapped lines as the fit check wraps them; cut at clip.
void drawControlText(RasterImage &image, const DialogLayout &layout, const DialogControl &control, const QString &text,
                     const QRect &area, const QRect &clip, bool centreDown, Argb colour)
{
    const MeasuringFont &font = layout.font();
    if (!control.multiLine) {
        const int y = centreDown ? area.top() + (area.height() - font.height()) / 2 : area.top();
        drawTextLine(image, font, area, y, text, control.noPrefix, control.align, colour, clip);
        return;
    }
    const QStringList lines = layout.wrapLines(ShownText(text, control.noPrefix), area.width());
    const int block = int(lines.size()) * font.height();
    int y = centreDown ? area.top() + std::max(0, (area.height() - block) / 2) : area.top();
    for (const QString &line : lines) {
        drawTextLine(image, font, area, y, line, true, control.align, colour, clip);
        y += font.height();
    }
}

} // namespace

QString ControlKindName(const DialogControl &control)
{
    switch (control.kind) {
    case ControlKind::PushButton: return QStringLiteral("push button");
    case ControlKind::CheckBox: return QStringLiteral("check box");
    case ControlKind::RadioButton: return QStringLiteral("radio button");
    case ControlKind::GroupBox: return QStringLiteral("group box");
    case ControlKind::Static: return QStringLiteral("label");
    case ControlKind::Other: break;
    }
    switch (control.classAtom) {
    case kAtomButton: return QStringLiteral("button");
    case kAtomEdit: return QStringLiteral("edit field");
    case kAtomStatic: return QStringLiteral("picture");
    case kAtomList: return QStringLiteral("list");
    case kAtomScroll: return QStringLiteral("scroll bar");
    case kAtomCombo: return QStringLiteral("combo box");
    default: return control.className.isEmpty() ? QStringLiteral("control") : control.className;
    }
}

DialogPreview::DialogPreview(DialogTemplate dialog, int dpi, TextMeasurer &measurer) : m_dialog(std::move(dialog))
{
    for (int checked : kFitDpis)
        m_layouts.emplace_back(m_dialog, checked, measurer);
    const auto drawn = std::find(std::begin(kFitDpis), std::end(kFitDpis), dpi);
    if (drawn == std::end(kFitDpis)) {
        m_layouts.emplace_back(m_dialog, dpi, measurer);
        m_drawn = m_layouts.size() - 1;
    } else {
        m_drawn = size_t(drawn - std::begin(kFitDpis));
    }
    // A template may ask for any size; the picture stops at kMaxPictureSide.
    const DialogBaseUnits base = layout().baseUnits();
    m_size = QSize(std::clamp(DialogUnitsToPixelsX(m_dialog.width, base), 1, kMaxPictureSide),
                   std::clamp(DialogUnitsToPixelsY(m_dialog.height, base), 1, kMaxPictureSide));
    m_caption = m_dialog.caption;
    m_controls.resize(m_dialog.controls.size());
    for (size_t i = 0; i < m_controls.size(); ++i) {
        const DialogControl &control = m_dialog.controls[i];
        PreviewedControl &shown = m_controls[i];
        shown.rect = layout().rectOf(control);
        shown.text = control.text;
        shown.judged = control.kind != ControlKind::Other;
        judge(shown, control);
    }
}

void DialogPreview::judge(PreviewedControl &shown, const DialogControl &control) const
{
    shown.verdict = FitVerdict();
    shown.failsAt = 0;
    shown.failing = FitVerdict();
    if (!shown.judged)
        return;
    shown.verdict = layout().fit(control, shown.text);
    for (size_t i = 0; i < std::size(kFitDpis); ++i) {
        const FitVerdict verdict = i == m_drawn ? shown.verdict : m_layouts[i].fit(control, shown.text);
        if (!verdict.fits) {
            shown.failsAt = kFitDpis[i];
            shown.failing = verdict;
            break;
        }
    }
}

bool DialogPreview::setText(int control, const QString &text)
{
    if (control < 0 || size_t(control) >= m_controls.size())
        return false;
    PreviewedControl &shown = m_controls[size_t(control)];
    if (shown.text == text)
        return false;
    shown.text = text;
    judge(shown, m_dialog.controls[size_t(control)]);
    return true;
}

int DialogPreview::controlAt(QPoint point) const
{
    // Controls later in the template lie on top; a group box is only its frame.
    int found = -1;
    for (size_t i = 0; i < m_controls.size(); ++i) {
        if (m_controls[i].rect.contains(point)
            && (found < 0 || m_dialog.controls[i].kind != ControlKind::GroupBox))
            found = int(i);
    }
    return found;
}

int DialogPreview::misfits() const
{
    return int(std::count_if(m_controls.begin(), m_controls.end(),
                             [](const PreviewedControl &shown) { return shown.judged && !shown.verdict.fits; }));
}

QString DialogPreview::describe(int control) const
{
    if (control < 0 || size_t(control) >= m_controls.size())
        return QString();
    const DialogControl &source = m_dialog.controls[size_t(control)];
    const PreviewedControl &shown = m_controls[size_t(control)];
    const QString text = ShownText(shown.text, source.noPrefix);
    if (!shown.judged) {
        const QString kind = ControlKindName(source);
        return text.isEmpty() || source.textIsResource ? kind : QStringLiteral("%1: %2").arg(text, kind);
    }
    auto misfit = [](const FitVerdict &verdict) {
        return verdict.byLines ? QStringLiteral("needs %1 lines, has %2").arg(verdict.need).arg(verdict.room)
                               : QStringLiteral("%1 px too wide").arg(verdict.need - verdict.room);
    };
    if (!shown.verdict.fits)
        return QStringLiteral("%1: %2").arg(text, misfit(shown.verdict));
    if (shown.failsAt)
        return QStringLiteral("%1: fits at %2 dpi, %3 at %4 dpi").arg(text).arg(dpi()).arg(misfit(shown.failing)).arg(shown.failsAt);
    return QStringLiteral("%1: fits").arg(text);
}

RasterImage DialogPreview::draw(int outlined) const
{
    RasterImage image(m_size.width(), m_size.height(), kDrawFace);
    // Group boxes first: the controls they hold are drawn over them.
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < m_controls.size(); ++i) {
            if ((m_dialog.controls[i].kind == ControlKind::GroupBox) == (pass == 0))
                drawControl(image, m_dialog.controls[i], m_controls[i]);
        }
    }
    // The marks over everything, so no neighbour hides them.
    const int thickness = std::max(2, ScaleFrom96(2, dpi()));
    for (const PreviewedControl &shown : m_controls) {
        if (!shown.judged)
            continue;
        if (!shown.verdict.fits)
            image.frameRect(shown.rect, kMisfitColour, thickness);
        else if (shown.failsAt)
            image.frameRect(shown.rect, kMisfitElsewhereColour, 1);
    }
    if (outlined >= 0 && size_t(outlined) < m_controls.size())
        image.frameRect(m_controls[size_t(outlined)].rect.adjusted(-3, -3, 3, 3), kOutlineColour, 2);
    return image;
}

void DialogPreview::drawControl(RasterImage &image, const DialogControl &control, const PreviewedControl &shown) const
{
    const DialogLayout &at = layout();
    const MeasuringFont &font = at.font();
    const QRect rect = shown.rect;
    const Argb ink = control.style & kStyleDisabled ? kDrawGreyText : kDrawText;
    switch (control.kind) {
    case ControlKind::PushButton: {
        image.fillRect(rect, kDrawButtonFace);
        if (isDefaultButton(control))
            image.frameRect(rect, kDrawDefaultFrame, 2);
        else
            image.frameRect(rect, kDrawButtonFrame);
        // Centred on the face; text wider than the face runs over the frame
        // up to the button's edges.
        const int margin = at.pushMargin(control);
        drawControlText(image, at, control, shown.text, rect.adjusted(margin, 1, -margin, -1), rect, true, ink);
        return;
    }
    case ControlKind::CheckBox:
    case ControlKind::RadioButton: {
        const int box = at.boxSize();
        const QRect square(rect.left(), rect.top() + (rect.height() - box) / 2, box, box);
        if (control.kind == ControlKind::CheckBox) {
            image.fillRect(square, kDrawField);
            image.frameRect(square, kDrawBoxFrame);
        } else {
            image.disc(square, kDrawField);
            image.disc(square, kDrawBoxFrame, 1);
        }
        QRect area = rect;
        area.setLeft(rect.left() + box + at.boxGap());
        drawControlText(image, at, control, shown.text, area, area, true, ink);
        return;
    }
    case ControlKind::GroupBox: {
        const QString caption = ShownText(shown.text, control.noPrefix);
        const int line = rect.top() + font.height() / 2;
        image.frameRect(QRect(QPoint(rect.left(), line), rect.bottomRight()), kDrawEtch);
        if (!caption.isEmpty()) {
            const QRect room(rect.left() + at.groupCaptionStart(), rect.top(), std::max(0, at.textRoomOf(control)),
                             font.height());
            const int width = std::min(room.width(), font.textWidth(caption));
            image.fillRect(QRect(room.left() - 2, room.top(), width + 4, room.height()), kDrawFace);
            drawTextLine(image, font, room, room.top(), shown.text, control.noPrefix, TextAlign::Left, ink, room);
        }
        return;
    }
    case ControlKind::Static:
        drawControlText(image, at, control, shown.text, rect, rect, false, ink);
        return;
    case ControlKind::Other:
        break;
    }
    // The controls of no text of ours, recognisable by their frames.
    switch (control.classAtom) {
    case kAtomEdit:
    case kAtomList:
        image.fillRect(rect, kDrawField);
        image.frameRect(rect, kDrawFieldFrame);
        break;
    case kAtomCombo: {
        // The template's height includes the drop-down list; the closed
        // box is one line high.
        const QRect box(rect.left(), rect.top(), rect.width(),
                        std::min(rect.height(), font.height() + ScaleFrom96(8, dpi())));
        image.fillRect(box, kDrawField);
        image.frameRect(box, kDrawFieldFrame);
        const int arrow = std::min(box.width() / 2, ScaleFrom96(17, dpi()));
        const int cx = box.right() - arrow / 2, cy = box.top() + box.height() / 2;
        for (int i = 0; i < 4; ++i)
            image.horizontalLine(cx - 3 + i, cx + 3 - i, cy - 1 + i, kDrawBoxFrame);
        break;
    }
    case kAtomScroll:
        image.fillRect(rect, kDrawScrollFace);
        break;
    case kAtomStatic:
        // Icons, bitmaps, frames and lines.
        if ((control.style & 0x1F) == 0x10)  // SS_ETCHEDHORZ
            image.horizontalLine(rect.left(), rect.right(), rect.top(), kDrawFieldFrame);
        else if ((control.style & 0x1F) == 0x11)  // SS_ETCHEDVERT
            image.verticalLine(rect.left(), rect.top(), rect.bottom(), kDrawFieldFrame);
        else if (rect.isEmpty())  // an icon sized by its picture
            image.dottedFrame(QRect(rect.topLeft(), QSize(ScaleFrom96(32, dpi()), ScaleFrom96(32, dpi()))),
                              kDrawFieldFrame);
        else
            image.dottedFrame(rect, kDrawFieldFrame);
        break;
    default:
        image.fillRect(rect, kDrawField);
        image.frameRect(rect, kDrawFieldFrame);
        break;
    }
    if (!control.textIsResource && !control.text.isEmpty() && control.classAtom != kAtomStatic) {
        const QRect inside = rect.adjusted(3, 2, -3, -2);
        drawTextLine(image, font, inside, inside.top(), shown.text, true, TextAlign::Left, ink, inside);
    } else if (control.classAtom == 0 && !control.className.isEmpty()) {
        const QRect inside = rect.adjusted(3, 2, -3, -2);
        drawTextLine(image, font, inside, inside.top(), control.className, true, TextAlign::Left, kDrawGreyText, inside);
    }
}
