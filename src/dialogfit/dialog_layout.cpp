#include "dialogfit/dialog_layout.h"

#include <QStringList>
#include <algorithm>

namespace {

// Where the button classes put their text, in pixels. The frames are drawn
// alike at every resolution; only the check box's box grows with it.
// - A push button centres its text on its face and clips it only at its
//   edges, so text wider than the face runs over the 2-pixel frame: the
//   room is inside the frame. A push button with the focus is the default
//   one and draws a 1-pixel outline around the frame, and any push button
//   can take the focus, so every push button keeps that pixel too; a
//   push-like check box or radio button never does.
// - A check box or radio button starts its text after the box (CheckBoxSize)
//   and a gap of half the width of "0" in the dialog's font plus one pixel.
// - A group box starts its caption 8 pixels in, and the caption must end
//   before the frame's 2-pixel right edge.
constexpr int kPushFrame = 2, kDefaultOutline = 1, kGroupCaptionStart = 8, kGroupFrame = 2;

// BS_PUSHBUTTON or BS_DEFPUSHBUTTON, not a push-like check box or radio.
bool canBeDefaultButton(const DialogControl &control)
{
    constexpr std::uint32_t kTypeMask = 0x0F, kDefPushButton = 0x1;
    return (control.style & kTypeMask) <= kDefPushButton;
}

bool isWrapSpace(QChar c) { return c == u' ' || c == u'\t'; }

} // namespace

FontRequest DialogFontRequest(const DialogTemplate &dialog, int dpi)
{
    FontRequest request;
    if (!dialog.hasFont) {
        request.face = QStringLiteral("System");
        request.pixelSize = FontPixelSize(12, dpi);
        request.weight = 700;
        return request;
    }
    const QString face = dialog.face.trimmed();
    if (face.compare(u"MS Shell Dlg 2", Qt::CaseInsensitive) == 0
        || (face.compare(u"MS Shell Dlg", Qt::CaseInsensitive) == 0 && dialog.shellFont && dialog.extended))
        request.face = QStringLiteral("Tahoma");
    else if (face.compare(u"MS Shell Dlg", Qt::CaseInsensitive) == 0)
        request.face = QStringLiteral("MS Sans Serif");
    else
        request.face = face;
    request.pixelSize = FontPixelSize(dialog.pointSize, dpi);
    request.weight = dialog.weight;
    request.italic = dialog.italic;
    return request;
}

QString ShownText(QStringView text, bool noPrefix)
{
    if (noPrefix)
        return text.toString();
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&') {
            if (i + 1 < text.size() && text[i + 1] == u'&')
                out.append(u'&');
            ++i;
            if (i >= text.size() || text[i] == u'&')
                continue;
        }
        out.append(text[i]);
    }
    return out;
}

QChar AcceleratorOf(QStringView text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (text[i + 1] == u'&') {
            ++i;
            continue;
        }
        return text[i + 1].toCaseFolded();
    }
    return QChar();
}

DialogLayout::DialogLayout(const DialogTemplate &dialog, int dpi, TextMeasurer &measurer)
    : m_dpi(dpi), m_font(measurer.font(DialogFontRequest(dialog, dpi)))
{
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_base = BaseUnitsFromFont(m_font->textWidth(letters), m_font->height());
    m_boxGap = m_font->textWidth(u"0") / 2 + 1;
}

int DialogLayout::widthOf(const DialogControl &control) const { return DialogUnitsToPixelsX(control.width, m_base); }

int DialogLayout::heightOf(const DialogControl &control) const
{
    return DialogUnitsToPixelsY(control.height, m_base);
}

int DialogLayout::textRoomOf(const DialogControl &control) const
{
    const int width = widthOf(control);
    switch (control.kind) {
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
        return width - boxSize() - boxGap();
    case ControlKind::PushButton:
        return width - 2 * pushMargin(control);
    case ControlKind::GroupBox:
        return width - groupCaptionStart() - kGroupFrame;
    default:
        return width;
    }
}

QRect DialogLayout::rectOf(const DialogControl &control) const
{
    return QRect(DialogUnitsToPixelsX(control.x, m_base), DialogUnitsToPixelsY(control.y, m_base), widthOf(control),
                 heightOf(control));
}

int DialogLayout::boxSize() const { return CheckBoxSize(m_dpi); }
int DialogLayout::boxGap() const { return m_boxGap; }
int DialogLayout::pushMargin(const DialogControl &control) const
{
    return kPushFrame + (canBeDefaultButton(control) ? kDefaultOutline : 0);
}
int DialogLayout::groupCaptionStart() const { return kGroupCaptionStart; }

FitVerdict DialogLayout::fit(const DialogControl &control, QStringView text) const
{
    const QString shown = ShownText(text, control.noPrefix);
    const int room = textRoomOf(control);
    FitVerdict verdict;
    verdict.room = room;
    if (!control.multiLine) {
        verdict.need = m_font->textWidth(shown);
        verdict.fits = verdict.need <= room;
        return verdict;
    }
    // A line wider than the room is a word on its own, which is cut off:
    // the text fails across.
    const QStringList lines = wrapLines(shown, room);
    for (const QString &line : lines) {
        const int width = m_font->textWidth(line);
        if (width > room) {
            verdict.fits = false;
            verdict.need = width;
            return verdict;
        }
    }
    const int lineRoom = std::max(1, heightOf(control) / std::max(1, m_font->height()));
    verdict.byLines = true;
    verdict.need = int(lines.size());
    verdict.room = lineRoom;
    verdict.fits = verdict.need <= lineRoom;
    return verdict;
}

// Greedy wrapping at spaces, paragraph by paragraph, as DrawText wraps.
QStringList DialogLayout::wrapLines(QStringView shown, int room) const
{
    QStringList lines;
    for (QStringView paragraph : shown.split(u'\n')) {
        if (paragraph.endsWith(u'\r'))
            paragraph.chop(1);
        qsizetype start = 0;
        qsizetype lineStart = -1, lineEnd = -1;  // the current line's text
        while (start < paragraph.size()) {
            qsizetype end = start;
            while (end < paragraph.size() && !isWrapSpace(paragraph[end]))
                ++end;
            // A word stays on the line only if the spaces after it fit
            // too; the first word of a line stays whatever follows it.
            qsizetype after = end;
            while (after < paragraph.size() && isWrapSpace(paragraph[after]))
                ++after;
            if (end > start) {
                if (lineStart < 0) {
                    lineStart = start;
                } else if (m_font->textWidth(paragraph.mid(lineStart, after - lineStart)) > room) {
                    lines.append(paragraph.mid(lineStart, lineEnd - lineStart).toString());
                    lineStart = start;
                }
                lineEnd = end;
            }
            start = after;
        }
        lines.append(lineStart < 0 ? QString() : paragraph.mid(lineStart, lineEnd - lineStart).toString());
    }
    return lines;
}
