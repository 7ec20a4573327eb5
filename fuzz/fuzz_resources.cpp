// Fuzz target: arbitrary bytes as a Windows executable. Reading its
// resources (the texts, and the dialogs and menus read whole, laid out and
// drawn) must never crash, hang or read outside the data.

#include "dialogfit/dialog_layout.h"
#include "dialogfit/dialog_preview.h"
#include "dialogfit/menu_preview.h"
#include "resparse/program_resources.h"
#include "resparse/res_extract.h"

#include <QByteArray>
#include <cstdint>

namespace {

// Metrics of a plain monospaced font, enough to lay out any template.
class PlainFont : public MeasuringFont {
public:
    explicit PlainFont(int size) : m_size(size) {}
    int height() const override { return m_size + 2; }
    int textWidth(QStringView text) const override { return int(text.size()) * (m_size / 2 + 1); }
    QString usedFace() const override { return QStringLiteral("plain"); }
    bool substituted() const override { return false; }

private:
    int m_size;
};

class PlainMeasurer : public TextMeasurer {
public:
    std::shared_ptr<const MeasuringFont> font(const FontRequest &request) override
    {
        return std::make_shared<PlainFont>(request.pixelSize);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    // Every digit occurs in the header, so every numbered resource is read.
    static const QString header = QStringLiteral("x0123456789 9876543210");
    const QByteArray image = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QStringList texts;
    ExtractFromImage(image, header, texts);

    ProgramResources resources;
    if (ReadProgramImage(image, resources)) {
        PlainMeasurer measurer;
        for (const ProgramDialog &dialog : resources.dialogs) {
            const DialogLayout layout(dialog.dialog, 144, measurer);
            for (const DialogControl &control : dialog.dialog.controls)
                layout.fit(control, control.text);
            // Pictures of any size are laid out; only the smaller are drawn,
            // so each input stays quick.
            const DialogPreview preview(dialog.dialog, 96, measurer);
            if (qint64(preview.size().width()) * preview.size().height() <= 1 << 20)
                preview.draw(int(dialog.dialog.controls.size()) - 1);
        }
        for (const ProgramMenu &menu : resources.menus) {
            const MenuPreview preview(menu.menu, 96, measurer);
            if (qint64(preview.size().width()) * preview.size().height() <= 1 << 20)
                preview.draw(0, 0);
        }
    }
    return 0;
}
