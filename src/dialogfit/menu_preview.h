#pragma once
// One menu as it shows a language file's texts: the menu bar along the
// top and each popup opened beneath it, in the menu font (8-point Tahoma,
// the shell's) at a resolution. Menus size themselves to their texts, so
// nothing is judged; a changed text is measured again, the rest kept.

#include "dialogfit/raster_image.h"
#include "dialogfit/text_measurer.h"
#include "resparse/menu_template.h"

#include <QSize>
#include <vector>

struct PreviewedItem {
    QRect rect;        // pixels, within the picture
    QString text;      // as shown, accelerator mark and "\t" hint included
    int labelWidth = 0, hintWidth = 0;
};

class MenuPreview {
public:
    MenuPreview(MenuTemplate menu, int dpi, TextMeasurer &measurer);

    const MenuTemplate &menu() const { return m_menu; }
    QSize size() const { return m_size; }
    // Per popup (0 the menu bar), its items' places and texts.
    const std::vector<std::vector<PreviewedItem>> &items() const { return m_items; }
    const MeasuringFont &font() const { return *m_font; }

    // Gives an item a text; false when it had it already.
    bool setText(int popup, int item, const QString &text);
    // "Speichern Strg+S: menu item", "Datei: menu".
    QString describe(int popup, int item) const;
    // The menu with `item` of `popup` framed (-1: none).
    RasterImage draw(int popup = -1, int item = -1) const;

private:
    void measure(PreviewedItem &item) const;
    void layOut();

    MenuTemplate m_menu;
    int m_dpi;
    std::shared_ptr<const MeasuringFont> m_font;
    std::vector<std::vector<PreviewedItem>> m_items;
    std::vector<QRect> m_popupRects;  // per popup; the bar's is its row
    QSize m_size;
};

// The request of the menu font at dpi.
FontRequest MenuFontRequest(int dpi);
