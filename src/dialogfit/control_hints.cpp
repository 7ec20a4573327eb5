#include "dialogfit/control_hints.h"

#include "dialogfit/dialog_layout.h"

namespace {

QString restypeOf(const DialogControl &control)
{
    switch (control.kind) {
    case ControlKind::PushButton:
        return QStringLiteral("pushbutton");
    case ControlKind::CheckBox:
        return QStringLiteral("checkbox");
    case ControlKind::RadioButton:
        return QStringLiteral("radio");
    case ControlKind::GroupBox:
        return QStringLiteral("groupbox");
    case ControlKind::Static:
        return control.align == TextAlign::Center  ? QStringLiteral("ctext")
               : control.align == TextAlign::Right ? QStringLiteral("rtext")
                                                   : QStringLiteral("ltext");
    default:
        return QString();
    }
}

} // namespace

ControlHints ComputeControlHints(const ProgramTexts &program, TextMeasurer &measurer)
{
    ControlHints hints;
    const std::vector<ProgramDialog> &dialogs = program.resources().dialogs;
    for (const ProgramDialog &dialog : dialogs) {
        const DialogLayout layout(dialog.dialog, 96, measurer);
        for (const DialogControl &control : dialog.dialog.controls) {
            const QString restype = restypeOf(control);
            if (restype.isEmpty())
                continue;
            ControlHint &hint = hints[ProgramTexts::keyOf(control.text)];
            const int room = std::max(0, layout.textRoomOf(control));
            if (hint.maxWidthPx < 0 || room < hint.maxWidthPx) {
                hint.maxWidthPx = room;
                hint.restype = restype;  // the narrowest control's kind
            }
        }
    }
    for (const ProgramMenu &menu : program.resources().menus) {
        for (const std::vector<MenuItem> &popup : menu.menu.popups) {
            for (const MenuItem &item : popup) {
                ControlHint &hint = hints[ProgramTexts::keyOf(item.text)];
                if (hint.restype.isEmpty())
                    hint.restype = QStringLiteral("menuitem");
            }
        }
    }
    return hints;
}
