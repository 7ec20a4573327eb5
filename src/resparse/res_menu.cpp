#include "resparse/res_menu.h"

#include "resparse/res_extract.h"

namespace {

constexpr std::uint16_t kPopup = 0x10;      // MF_POPUP
constexpr std::uint16_t kEnd = 0x80;        // MF_END
constexpr std::uint16_t kExPopup = 0x01;    // MENUEX item with a submenu
constexpr int kMaxDepth = 64;               // nesting of submenus

// Reads one level of a standard menu template; false when the data ends
// before the level does.
bool readStandardLevel(ByteView menu, size_t *at, QStringList &texts, int depth)
{
    if (depth > kMaxDepth)
        return false;
    for (;;) {
        const auto option = menu.u16(*at);
        if (!option)
            return false;
        *at += 2;
        const bool popup = *option & kPopup;
        std::uint16_t id = 0;
        if (!popup) {
            const auto itemId = menu.u16(*at);
            if (!itemId)
                return false;
            id = *itemId;
            *at += 2;
        }
        const auto text = menu.string(at);
        if (!text)
            return false;
        if (popup) {
            texts.append(StripMnemonics(*text));
            if (!readStandardLevel(menu, at, texts, depth + 1))
                return false;
        } else if (id != 0) {
            texts.append(StripMnemonics(*text));
        }
        if (*option & kEnd)
            return true;
    }
}

bool readExtendedLevel(ByteView menu, size_t *at, QStringList &texts, int depth)
{
    if (depth > kMaxDepth)
        return false;
    for (;;) {
        *at = alignUp(*at, 4);
        const auto id = menu.u32(*at + 8);
        const auto flags = menu.u16(*at + 12);
        if (!id || !flags)
            return false;
        *at += 14;
        const auto text = menu.string(at);
        if (!text)
            return false;
        if (*flags & kExPopup) {
            *at = alignUp(*at, 4) + 4;  // help id
            texts.append(StripMnemonics(*text));
            if (!readExtendedLevel(menu, at, texts, depth + 1))
                return false;
        } else if (*id != 0) {
            texts.append(StripMnemonics(*text));
        }
        if (*flags & kEnd)
            return true;
    }
}

} // namespace

void ReadMenuTexts(ByteView menu, QStringList &texts)
{
    const auto version = menu.u16(0);
    const auto offset = menu.u16(2);
    if (!version || !offset)
        return;
    size_t at = 4 + *offset;
    if (*version == 1)
        readExtendedLevel(menu, &at, texts, 0);
    else if (*version == 0)
        readStandardLevel(menu, &at, texts, 0);
}
