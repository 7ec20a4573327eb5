#include "dialogfit/menu_preview.h"

#include "dialogfit/dialog_layout.h"
#include "dialogfit/dialog_preview.h"

#include <algorithm>

namespace {

constexpr Argb kMenuWindow = ArgbOf(240, 240, 240), kMenuBar = ArgbOf(255, 255, 255), kMenuPopup = ArgbOf(242, 242, 242);
constexpr Argb kMenuPopupFrame = ArgbOf(204, 204, 204), kMenuInk = ArgbOf(0, 0, 0);

QStringView labelOf(const QString &text)
{
    const qsizetype tab = text.indexOf(u'\t');
    return tab < 0 ? QStringView(text) : QStringView(text).left(tab);
}

QStringView hintOf(const QString &text)
{
    const qsizetype tab = text.indexOf(u'\t');
    return tab < 0 ? QStringView() : QStringView(text).mid(tab + 1);
}

} // namespace

FontRequest MenuFontRequest(int dpi)
{
    FontRequest request;
    request.face = QStringLiteral("Tahoma");
    request.pixelSize = FontPixelSize(8, dpi);
    return request;
}

MenuPreview::MenuPreview(MenuTemplate menu, int dpi, TextMeasurer &measurer)
    : m_menu(std::move(menu)), m_dpi(dpi), m_font(measurer.font(MenuFontRequest(dpi)))
{
    for (const std::vector<MenuItem> &popup : m_menu.popups) {
        std::vector<PreviewedItem> items(popup.size());
        for (size_t i = 0; i < popup.size(); ++i) {
            items[i].text = popup[i].text;
            measure(items[i]);
        }
        m_items.push_back(std::move(items));
    }
    layOut();
}

void MenuPreview::measure(PreviewedItem &item) const
{
    item.labelWidth = m_font->textWidth(ShownText(labelOf(item.text), false));
    item.hintWidth = m_font->textWidth(hintOf(item.text));
}

bool MenuPreview::setText(int popup, int item, const QString &text)
{
    if (popup < 0 || size_t(popup) >= m_items.size() || item < 0 || size_t(item) >= m_items[size_t(popup)].size())
        return false;
    PreviewedItem &shown = m_items[size_t(popup)][size_t(item)];
    if (shown.text == text)
        return false;
    shown.text = text;
    measure(shown);
    layOut();
    return true;
}

// The bar's items side by side; each popup beneath the bar item opening it
// (or after the one before), its items one a row, hints in a column.
void MenuPreview::layOut()
{
    const int height = m_font->height();
    const int pad = ScaleFrom96(7, m_dpi), barHeight = height + ScaleFrom96(6, m_dpi);
    const int rowHeight = height + ScaleFrom96(9, m_dpi), checkArea = ScaleFrom96(28, m_dpi);
    const int hintGap = ScaleFrom96(24, m_dpi), arrowArea = ScaleFrom96(22, m_dpi), gap = ScaleFrom96(8, m_dpi);
    m_popupRects.assign(m_items.size(), QRect());
    std::vector<int> openedAt(m_items.size(), -1);
    int x = 0;
    if (!m_items.empty()) {
        for (size_t i = 0; i < m_items[0].size(); ++i) {
            PreviewedItem &item = m_items[0][i];
            item.rect = QRect(x, 0, item.labelWidth + 2 * pad, barHeight);
            const MenuItem &source = m_menu.popups[0][i];
            if (source.popup && source.submenu > 0 && size_t(source.submenu) < m_items.size())
                openedAt[size_t(source.submenu)] = x;
            x += item.rect.width();
        }
        m_popupRects[0] = QRect(0, 0, x, barHeight);
    }
    int right = x, bottom = barHeight, nextFree = 0;
    for (size_t p = 1; p < m_items.size(); ++p) {
        int labels = 0, hints = 0;
        for (const PreviewedItem &item : m_items[p]) {
            labels = std::max(labels, item.labelWidth);
            hints = std::max(hints, item.hintWidth);
        }
        const int width = 2 + checkArea + labels + (hints > 0 ? hintGap + hints : 0) + arrowArea;
        const int left = std::max(openedAt[p], nextFree);
        const QRect box(left, barHeight, width, 2 + rowHeight * int(m_items[p].size()) + 4);
        m_popupRects[p] = box;
        for (size_t i = 0; i < m_items[p].size(); ++i)
            m_items[p][i].rect = QRect(box.left() + 1, box.top() + 3 + rowHeight * int(i), width - 2, rowHeight);
        nextFree = box.right() + 1 + gap;
        right = std::max(right, box.right() + 1);
        bottom = std::max(bottom, box.bottom() + 1);
    }
    m_size = QSize(std::clamp(right + gap, 1, kMaxPictureSide), std::clamp(bottom + gap, 1, kMaxPictureSide));
}

QString MenuPreview::describe(int popup, int item) const
{
    if (popup < 0 || size_t(popup) >= m_items.size() || item < 0 || size_t(item) >= m_items[size_t(popup)].size())
        return QString();
    const QString &text = m_items[size_t(popup)][size_t(item)].text;
    QString said = ShownText(labelOf(text), false);
    const QStringView hint = hintOf(text);
    if (!hint.isEmpty())
        said += u' ' + hint.toString();
    const bool opens = m_menu.popups[size_t(popup)][size_t(item)].popup;
    return QStringLiteral("%1: %2").arg(said, opens ? QStringLiteral("menu") : QStringLiteral("menu item"));
}

RasterImage MenuPreview::draw(int popup, int item) const
{
    RasterImage image(m_size.width(), m_size.height(), kMenuWindow);
    const MeasuringFont &font = *m_font;
    if (!m_items.empty())
        image.fillRect(QRect(0, 0, m_size.width(), m_popupRects[0].height()), kMenuBar);
    auto drawLabel = [&](const PreviewedItem &shown, int x, int y, const QRect &clip) {
        const QStringView label = labelOf(shown.text);
        const QString visible = ShownText(label, false);
        font.drawText(image, x, y, visible, kMenuInk, clip);
        // The accelerator letter underlined.
        for (qsizetype i = 0; i + 1 < label.size(); ++i) {
            if (label[i] == u'&' && label[i + 1] == u'&') {
                ++i;
            } else if (label[i] == u'&') {
                const int from = x + font.textWidth(ShownText(label.left(i), false));
                image.fillRect(QRect(from, y + font.ascent() + 1, font.textWidth(label.mid(i + 1, 1)), 1)
                                   .intersected(clip),
                               kMenuInk);
                return;
            }
        }
    };
    const int pad = ScaleFrom96(7, m_dpi), checkArea = ScaleFrom96(28, m_dpi), arrowArea = ScaleFrom96(22, m_dpi);
    if (!m_items.empty()) {
        for (const PreviewedItem &shown : m_items[0])
            drawLabel(shown, shown.rect.left() + pad, shown.rect.top() + (shown.rect.height() - font.height()) / 2,
                      shown.rect);
    }
    for (size_t p = 1; p < m_items.size(); ++p) {
        const QRect box = m_popupRects[p];
        image.fillRect(box, kMenuPopup);
        image.frameRect(box, kMenuPopupFrame);
        int hintColumn = 0;
        for (const PreviewedItem &shown : m_items[p])
            hintColumn = std::max(hintColumn, shown.labelWidth);
        hintColumn += box.left() + 1 + checkArea + ScaleFrom96(24, m_dpi);
        for (size_t i = 0; i < m_items[p].size(); ++i) {
            const PreviewedItem &shown = m_items[p][i];
            const int y = shown.rect.top() + (shown.rect.height() - font.height()) / 2;
            drawLabel(shown, shown.rect.left() + checkArea, y, shown.rect);
            const QStringView hint = hintOf(shown.text);
            if (!hint.isEmpty())
                font.drawText(image, hintColumn, y, hint, kMenuInk, shown.rect);
            if (m_menu.popups[p][i].popup) {
                // The arrow of a submenu.
                const int cx = shown.rect.right() - arrowArea / 2, cy = shown.rect.top() + shown.rect.height() / 2;
                for (int k = 0; k < 4; ++k)
                    image.verticalLine(cx - 2 + k, cy - 3 + k, cy + 3 - k, kMenuInk);
            }
        }
    }
    if (popup >= 0 && size_t(popup) < m_items.size() && item >= 0 && size_t(item) < m_items[size_t(popup)].size())
        image.frameRect(m_items[size_t(popup)][size_t(item)].rect.adjusted(-1, -1, 1, 1), kOutlineColour, 2);
    return image;
}
