#include "resparse/res_dialog.h"

#include "resparse/dialog_template.h"
#include "resparse/res_extract.h"

namespace {

bool showsText(const DialogControl &control)
{
    if (control.classAtom != 0)
        return control.classAtom == 0x0080 || control.classAtom == 0x0082;  // Button, Static
    return control.className.compare(u"Button", Qt::CaseInsensitive) == 0
           || control.className.compare(u"Static", Qt::CaseInsensitive) == 0;
}

} // namespace

bool ReadDialogTexts(ByteView dialog, QStringList &texts)
{
    const std::optional<DialogTemplate> read = ReadDialogTemplate(dialog);
    if (!read)
        return false;
    if (!read->windowClass.isEmpty() && !IsRegisteredClassName(read->windowClass))
        return false;
    for (const DialogControl &control : read->controls) {
        if (!IsRegisteredControlClass(control))
            return false;
    }
    texts.append(StripMnemonics(read->caption));
    for (const DialogControl &control : read->controls) {
        // A title given as a resource number (an icon or bitmap) shows no text.
        if (showsText(control))
            texts.append(StripMnemonics(control.text));
    }
    return true;
}
