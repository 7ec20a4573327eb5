#pragma once
// Menu templates (standard and extended) read as their popups and items,
// so that the items shown together (one popup) can be told apart.

#include "resparse/byte_view.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

struct MenuItem {
    QString text;          // as in the template, accelerator mark and "\tCtrl+O" hint included
    std::uint32_t id = 0;  // 0 for a popup
    bool popup = false;    // opens a submenu (the popup of that number)
    int submenu = -1;      // the popup it opens, when popup
};

struct MenuTemplate {
    // popups[0] is the menu bar; each popup lists its items in order.
    // Separators are left out.
    std::vector<std::vector<MenuItem>> popups;
};

// The whole menu, or nothing when the template is malformed.
std::optional<MenuTemplate> ReadMenuTemplate(ByteView menu);
