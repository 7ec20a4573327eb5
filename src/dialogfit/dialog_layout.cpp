#include "dialogfit/dialog_layout.h"

#include <QStringList>
#include <algorithm>

namespace {

// Pixels at 96 dpi, scaled with the resolution. A check box or radio
// button draws a 13-pixel box and leaves a gap before its text; a push
// button's text stays inside its 3-pixel frame on each side; a group box's
// caption starts and ends one frame-and-gap in from its edges.
constexpr int kBoxSize = 13, kBoxGap = 3, kPushMargin = 3, kGroupMargin = 6;

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
        return width - 2 * pushMargin();
    case ControlKind::GroupBox:
        return width - 2 * groupMargin();
    default:
        return width;
    }
}

QRect DialogLayout::rectOf(const DialogControl &control) const
{
    return QRect(DialogUnitsToPixelsX(control.x, m_base), DialogUnitsToPixelsY(control.y, m_base), widthOf(control),
                 heightOf(control));
}

int DialogLayout::boxSize() const { return ScaleFrom96(kBoxSize, m_dpi); }
int DialogLayout::boxGap() const { return ScaleFrom96(kBoxGap, m_dpi); }
int DialogLayout::pushMargin() const { return ScaleFrom96(kPushMargin, m_dpi); }
int DialogLayout::groupMargin() const { return ScaleFrom96(kGroupMargin, m_dpi); }

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
            if (end > start) {
                if (lineStart < 0) {
                    lineStart = start;
                } else if (m_font->textWidth(paragraph.mid(lineStart, end - lineStart)) > room) {
                    lines.append(paragraph.mid(lineStart, lineEnd - lineStart).toString());
                    lineStart = start;
                }
                lineEnd = end;
            }
            start = end;
            while (start < paragraph.size() && isWrapSpace(paragraph[start]))
                ++start;
        }
        lines.append(lineStart < 0 ? QString() : paragraph.mid(lineStart, lineEnd - lineStart).toString());
    }
    return lines;
}
