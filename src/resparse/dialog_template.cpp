#include "resparse/dialog_template.h"

#include <QSet>

namespace {

constexpr std::uint32_t kTemplateSetFont = 0x40;  // DS_SETFONT
constexpr std::uint32_t kShellFont = 0x48;   // DS_SHELLFONT: DS_SETFONT | DS_FIXEDSYS
constexpr std::uint16_t kTemplateOrdinal = 0xFFFF;
constexpr std::uint16_t kButtonAtom = 0x80, kStaticAtom = 0x82;

// A menu, class or title field: empty, an ordinal, or a string.
struct TemplateField {
    bool isOrdinal = false;
    std::uint16_t ordinal = 0;
    QString text;
};

std::optional<TemplateField> readTemplateField(ByteView view, size_t *at)
{
    const auto first = view.u16(*at);
    if (!first)
        return std::nullopt;
    TemplateField field;
    if (*first == 0) {
        *at += 2;
    } else if (*first == kTemplateOrdinal) {
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

int templateSigned16(std::uint16_t value) { return int(std::int16_t(value)); }

// The layout of a Button or Static control's text from its style.
void classify(DialogControl &control)
{
    std::uint16_t atom = control.classAtom;
    if (atom == 0) {
        if (control.className.compare(u"Button", Qt::CaseInsensitive) == 0)
            atom = kButtonAtom;
        else if (control.className.compare(u"Static", Qt::CaseInsensitive) == 0)
            atom = kStaticAtom;
    }
    const std::uint32_t style = control.style;
    if (atom == kButtonAtom) {
        constexpr std::uint32_t kPushLike = 0x1000, kMultiLine = 0x2000;
        constexpr std::uint32_t kAlignMask = 0x300, kAlignLeft = 0x100, kAlignRight = 0x200;
        switch (style & 0x0F) {
        case 0x0:  // BS_PUSHBUTTON
        case 0x1:  // BS_DEFPUSHBUTTON
            control.kind = ControlKind::PushButton;
            break;
        case 0x2:  // BS_CHECKBOX
        case 0x3:  // BS_AUTOCHECKBOX
        case 0x5:  // BS_3STATE
        case 0x6:  // BS_AUTO3STATE
            control.kind = style & kPushLike ? ControlKind::PushButton : ControlKind::CheckBox;
            break;
        case 0x4:  // BS_RADIOBUTTON
        case 0x9:  // BS_AUTORADIOBUTTON
            control.kind = style & kPushLike ? ControlKind::PushButton : ControlKind::RadioButton;
            break;
        case 0x7:  // BS_GROUPBOX
            control.kind = ControlKind::GroupBox;
            break;
        default:   // owner-drawn, split and command-link buttons draw their own way
            control.kind = ControlKind::Other;
            return;
        }
        control.multiLine = style & kMultiLine;
        const std::uint32_t align = style & kAlignMask;
        const bool pushed = control.kind == ControlKind::PushButton;
        control.align = align == kAlignLeft ? TextAlign::Left
                        : align == kAlignRight ? TextAlign::Right
                        : pushed || align == kAlignMask ? TextAlign::Center
                                                        : TextAlign::Left;
    } else if (atom == kStaticAtom) {
        constexpr std::uint32_t kNoPrefix = 0x80;
        switch (style & 0x1F) {
        case 0x0:  // SS_LEFT: wraps at word boundaries
            control.align = TextAlign::Left;
            control.multiLine = true;
            break;
        case 0x1:  // SS_CENTER
            control.align = TextAlign::Center;
            control.multiLine = true;
            break;
        case 0x2:  // SS_RIGHT
            control.align = TextAlign::Right;
            control.multiLine = true;
            break;
        case 0xB:  // SS_SIMPLE
        case 0xC:  // SS_LEFTNOWORDWRAP
            control.align = TextAlign::Left;
            break;
        default:   // icons, bitmaps, frames, owner-drawn
            control.kind = ControlKind::Other;
            return;
        }
        control.kind = ControlKind::Static;
        control.noPrefix = style & kNoPrefix;
    }
    if (control.textIsResource)
        control.kind = ControlKind::Other;
}

} // namespace

bool IsRegisteredClassName(const QString &name)
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

bool IsRegisteredControlClass(const DialogControl &control)
{
    if (control.classAtom != 0)
        return control.classAtom >= 0x0080 && control.classAtom <= 0x0085;  // Button .. ComboBox
    return IsRegisteredClassName(control.className);
}

std::optional<DialogTemplate> ReadDialogTemplate(ByteView dialog)
{
    DialogTemplate result;
    result.extended = dialog.u16(0) == std::optional<std::uint16_t>(1)
                      && dialog.u16(2) == std::optional<std::uint16_t>(0xFFFF);
    const size_t countAt = result.extended ? 16 : 8;
    const auto style = dialog.u32(result.extended ? 12 : 0);
    const auto exStyle = dialog.u32(result.extended ? 8 : 4);
    const auto count = dialog.u16(countAt);
    const auto bottom = dialog.u16(countAt + 8);
    if (!style || !exStyle || !count || !bottom)
        return std::nullopt;
    result.style = *style;
    result.exStyle = *exStyle;
    result.x = templateSigned16(*dialog.u16(countAt + 2));
    result.y = templateSigned16(*dialog.u16(countAt + 4));
    result.width = templateSigned16(*dialog.u16(countAt + 6));
    result.height = templateSigned16(*bottom);

    size_t at = countAt + 10;
    const auto menu = readTemplateField(dialog, &at);
    const auto windowClass = menu ? readTemplateField(dialog, &at) : std::nullopt;
    const auto title = windowClass ? readTemplateField(dialog, &at) : std::nullopt;
    if (!title)
        return std::nullopt;
    result.windowClass = windowClass->isOrdinal ? QString() : windowClass->text;
    result.caption = title->isOrdinal ? QString() : title->text;
    if (result.style & kTemplateSetFont) {
        result.hasFont = true;
        result.shellFont = (result.style & kShellFont) == kShellFont;
        const auto points = dialog.u16(at);
        if (!points)
            return std::nullopt;
        result.pointSize = *points;
        at += 2;
        if (result.extended) {
            const auto weight = dialog.u16(at);
            const auto italic = dialog.u8(at + 2);
            if (!weight || !italic || !dialog.u8(at + 3))
                return std::nullopt;
            result.weight = *weight == 0 ? 400 : *weight;
            result.italic = *italic != 0;
            at += 4;
        }
        const auto face = dialog.string(&at);
        if (!face)
            return std::nullopt;
        result.face = *face;
    }

    // A count beyond the data fails on its first missing control; reserving
    // only what the data can hold keeps a hostile count from costing memory.
    result.controls.reserve(std::min<size_t>(*count, dialog.size() / 24 + 1));
    for (std::uint16_t i = 0; i < *count; ++i) {
        at = alignUp(at, 4);
        DialogControl control;
        size_t rect;
        if (result.extended) {
            const auto itemExStyle = dialog.u32(at + 4), itemStyle = dialog.u32(at + 8), id = dialog.u32(at + 20);
            if (!itemExStyle || !itemStyle || !id)
                return std::nullopt;
            control.exStyle = *itemExStyle;
            control.style = *itemStyle;
            control.id = std::int32_t(*id);
            rect = at + 12;
            at += 24;
        } else {
            const auto itemStyle = dialog.u32(at), itemExStyle = dialog.u32(at + 4);
            const auto id = dialog.u16(at + 16);
            if (!itemStyle || !itemExStyle || !id)
                return std::nullopt;
            control.style = *itemStyle;
            control.exStyle = *itemExStyle;
            control.id = templateSigned16(*id);
            rect = at + 8;
            at += 18;
        }
        control.x = templateSigned16(*dialog.u16(rect));
        control.y = templateSigned16(*dialog.u16(rect + 2));
        control.width = templateSigned16(*dialog.u16(rect + 4));
        control.height = templateSigned16(*dialog.u16(rect + 6));
        const auto cls = readTemplateField(dialog, &at);
        const auto itemTitle = cls ? readTemplateField(dialog, &at) : std::nullopt;
        const auto extra = itemTitle ? dialog.u16(at) : std::nullopt;
        if (!extra || !dialog.contains(at + 2, *extra))
            return std::nullopt;
        at += 2 + *extra;
        if (cls->isOrdinal)
            control.classAtom = cls->ordinal;
        else
            control.className = cls->text;
        control.textIsResource = itemTitle->isOrdinal;
        control.text = itemTitle->isOrdinal ? QString() : itemTitle->text;
        classify(control);
        result.controls.push_back(std::move(control));
    }
    return result;
}
