#include "resparse/menu_template.h"

namespace {

constexpr std::uint16_t kTemplatePopup = 0x10;      // MF_POPUP
constexpr std::uint16_t kTemplateSeparator = 0x800; // MF_SEPARATOR / MFT_SEPARATOR
constexpr std::uint16_t kTemplateEnd = 0x80;        // MF_END
constexpr std::uint16_t kTemplateExPopup = 0x01;    // MENUEX item with a submenu
constexpr int kTemplateMaxDepth = 64;               // nesting of submenus

class MenuTemplateReader {
public:
    MenuTemplateReader(ByteView menu, bool extended) : m_menu(menu), m_extended(extended) {}

    // Reads one level into a new popup; its number, or -1 when the data
    // ends before the level does.
    int level(size_t *at, int depth)
    {
        if (depth > kTemplateMaxDepth)
            return -1;
        const int number = int(m_result.popups.size());
        m_result.popups.emplace_back();
        for (;;) {
            MenuItem item;
            bool separator = false, last = false;
            if (m_extended) {
                *at = alignUp(*at, 4);
                const auto type = m_menu.u32(*at);
                const auto id = m_menu.u32(*at + 8);
                const auto flags = m_menu.u16(*at + 12);
                if (!type || !id || !flags)
                    return -1;
                *at += 14;
                const auto text = m_menu.string(at);
                if (!text)
                    return -1;
                item.text = *text;
                item.id = *id;
                item.popup = *flags & kTemplateExPopup;
                separator = (*type & kTemplateSeparator) || (!item.popup && *id == 0 && text->isEmpty());
                last = *flags & kTemplateEnd;
                if (item.popup)
                    *at = alignUp(*at, 4) + 4;  // help id
            } else {
                const auto option = m_menu.u16(*at);
                if (!option)
                    return -1;
                *at += 2;
                item.popup = *option & kTemplatePopup;
                if (!item.popup) {
                    const auto id = m_menu.u16(*at);
                    if (!id)
                        return -1;
                    item.id = *id;
                    *at += 2;
                }
                const auto text = m_menu.string(at);
                if (!text)
                    return -1;
                item.text = *text;
                separator = (*option & kTemplateSeparator) || (!item.popup && item.id == 0);
                last = *option & kTemplateEnd;
            }
            if (item.popup) {
                item.submenu = level(at, depth + 1);
                if (item.submenu < 0)
                    return -1;
            }
            if (!separator)
                m_result.popups[size_t(number)].push_back(std::move(item));
            if (last)
                return number;
        }
    }

    MenuTemplate take() { return std::move(m_result); }

private:
    ByteView m_menu;
    bool m_extended;
    MenuTemplate m_result;
};

} // namespace

std::optional<MenuTemplate> ReadMenuTemplate(ByteView menu)
{
    const auto version = menu.u16(0);
    const auto offset = menu.u16(2);
    if (!version || !offset || *version > 1)
        return std::nullopt;
    size_t at = 4 + *offset;
    MenuTemplateReader reader(menu, *version == 1);
    if (reader.level(&at, 0) < 0)
        return std::nullopt;
    return reader.take();
}
