#include "resparse/res_dialog.h"

#include "resparse/res_extract.h"

#include <QSet>
#include <vector>

namespace {

constexpr std::uint32_t kSetFont = 0x40;  // DS_SETFONT; DS_SHELLFONT includes it
constexpr std::uint16_t kOrdinalMark = 0xFFFF;

// A menu, class or title field: empty, an ordinal, or a string.
struct NameOrOrdinal {
    bool isOrdinal = false;
    std::uint16_t ordinal = 0;
    QString text;
};

std::optional<NameOrOrdinal> readNameOrOrdinal(ByteView view, size_t *at)
{
    const auto first = view.u16(*at);
    if (!first)
        return std::nullopt;
    NameOrOrdinal field;
    if (*first == 0) {
        *at += 2;
    } else if (*first == kOrdinalMark) {
        const auto ordinal = view.u16(*at + 2);
        if (!ordinal)
            return std::nullopt;
        field.isOrdinal = true;
        field.ordinal = *ordinal;
        *at += 4;
    } else {
        const auto text = view.string(at);
        if (!text)
            return std::nullopt;
        field.text = *text;
    }
    return field;
}

// Window classes that exist without the program registering them: the
// system's own, the common controls and the rich-edit controls.
bool isRegisteredClassName(const QString &name)
{
    static const QSet<QString> known = [] {
        QSet<QString> set;
        for (const char *n : {"button", "edit", "static", "listbox", "scrollbar", "combobox", "mdiclient",
                              "combolbox", "#32770", "syslistview32", "systreeview32", "systabcontrol32",
                              "msctls_progress32", "msctls_trackbar32", "msctls_updown32", "msctls_hotkey32",
                              "sysheader32", "toolbarwindow32", "msctls_statusbar32", "tooltips_class32",
                              "sysanimate32", "sysdatetimepick32", "sysmonthcal32", "sysipaddress32",
                              "rebarwindow32", "comboboxex32", "syslink", "syspager", "nativefontctrl",
                              "richedit", "richedit20a", "richedit20w", "richedit50w"})
            set.insert(QString::fromLatin1(n));
        return set;
    }();
    return known.contains(name.toLower());
}

bool isRegisteredClass(const NameOrOrdinal &cls)
{
    if (cls.isOrdinal)
        return cls.ordinal >= 0x0080 && cls.ordinal <= 0x0085;  // Button .. ComboBox
    return isRegisteredClassName(cls.text);
}

bool showsText(const NameOrOrdinal &cls)
{
    if (cls.isOrdinal)
        return cls.ordinal == 0x0080 || cls.ordinal == 0x0082;  // Button, Static
    return cls.text.compare(u"Button", Qt::CaseInsensitive) == 0 || cls.text.compare(u"Static", Qt::CaseInsensitive) == 0;
}

} // namespace

bool ReadDialogTexts(ByteView dialog, QStringList &texts)
{
    const bool extended = dialog.u16(0) == std::optional<std::uint16_t>(1) && dialog.u16(2) == std::optional<std::uint16_t>(0xFFFF);
    const auto style = dialog.u32(extended ? 12 : 0);
    const auto itemCount = dialog.u16(extended ? 16 : 8);
    if (!style || !itemCount)
        return false;
    size_t at = extended ? 26 : 18;
    const auto menu = readNameOrOrdinal(dialog, &at);
    const auto windowClass = menu ? readNameOrOrdinal(dialog, &at) : std::nullopt;
    const auto title = windowClass ? readNameOrOrdinal(dialog, &at) : std::nullopt;
    if (!title)
        return false;
    if (!windowClass->isOrdinal && !windowClass->text.isEmpty() && !isRegisteredClassName(windowClass->text))
        return false;
    if (*style & kSetFont) {
        at += extended ? 6 : 2;  // point size (and weight, italic, charset)
        if (!dialog.string(&at))
            return false;
    }

    struct Control {
        NameOrOrdinal cls, title;
    };
    std::vector<Control> controls;
    for (std::uint16_t i = 0; i < *itemCount; ++i) {
        at = alignUp(at, 4);
        at += extended ? 24 : 18;
        auto cls = readNameOrOrdinal(dialog, &at);
        auto itemTitle = cls ? readNameOrOrdinal(dialog, &at) : std::nullopt;
        const auto extra = itemTitle ? dialog.u16(at) : std::nullopt;
        if (!extra || !dialog.contains(at + 2, *extra))
            return false;
        at += 2 + *extra;
        if (!isRegisteredClass(*cls))
            return false;
        controls.push_back({std::move(*cls), std::move(*itemTitle)});
    }

    texts.append(StripMnemonics(title->isOrdinal ? QString() : title->text));
    for (const Control &control : controls) {
        // A title given as a resource number (an icon or bitmap) shows no text.
        if (showsText(control.cls))
            texts.append(StripMnemonics(control.title.isOrdinal ? QString() : control.title.text));
    }
    return true;
}
