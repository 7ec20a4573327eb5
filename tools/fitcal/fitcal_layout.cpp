// Prints every dialog of a program at 96, 120 and 144 dpi as the fit check
// lays it out: the font, its base units and per text control the size, the
// room for text, the width the text needs and the verdict, in the columns
// that tools/fitcal/compare.py joins with the probe's drawing under wine.
//   fitcal_layout PROGRAM OUT.tsv

#include "dialogfit/dialog_layout.h"
#include "fontmetrics/font_engine.h"
#include "resparse/program_resources.h"

#include <QFile>
#include <QTextStream>

#include <cstdio>

namespace {

const char *kindName(ControlKind kind)
{
    switch (kind) {
    case ControlKind::PushButton: return "PushButton";
    case ControlKind::CheckBox: return "CheckBox";
    case ControlKind::RadioButton: return "RadioButton";
    case ControlKind::GroupBox: return "GroupBox";
    case ControlKind::Static: return "Static";
    default: return nullptr;
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: fitcal_layout PROGRAM OUT.tsv\n");
        return 2;
    }
    ProgramResources resources;
    QString error;
    if (!ReadProgramFile(QString::fromLocal8Bit(argv[1]), resources, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    QFile file(QString::fromLocal8Bit(argv[2]));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 1;
    QTextStream out(&file);
    out << "#D\tdpi\tdialog\tpixelSize\tface\theight\tlettersWidth\tbaseX\tbaseY\tcharWidths\n";
    out << "#C\tdpi\tdialog\tcontrol\tkind\tw\th\tneed\troom\tmultiLine\tlines\tlineRoom\tfits\ttext\n";
    const std::shared_ptr<TextMeasurer> measurer = MakeFontEngineMeasurer();
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    for (int dpi : {96, 120, 144}) {
        for (const ProgramDialog &dialog : resources.dialogs) {
            const DialogLayout layout(dialog.dialog, dpi, *measurer);
            const MeasuringFont &font = layout.font();
            out << "D\t" << dpi << '\t' << dialog.id << '\t' << DialogFontRequest(dialog.dialog, dpi).pixelSize
                << '\t' << font.usedFace() << '\t' << font.height() << '\t' << font.textWidth(letters) << '\t'
                << layout.baseUnits().x << '\t' << layout.baseUnits().y << '\t';
            for (char16_t c = 32; c < 127; ++c)
                out << (c > 32 ? "," : "") << font.textWidth(QStringView(&c, 1));
            out << '\n';
            for (const DialogControl &control : dialog.dialog.controls) {
                const char *kind = kindName(control.kind);
                if (!kind)
                    continue;
                const FitVerdict verdict = layout.fit(control, control.text);
                const int need = font.textWidth(ShownText(control.text, control.noPrefix));
                out << "C\t" << dpi << '\t' << dialog.id << '\t' << control.id << '\t' << kind << '\t'
                    << layout.widthOf(control) << '\t' << layout.heightOf(control) << '\t' << need << '\t'
                    << layout.textRoomOf(control) << '\t' << int(control.multiLine) << '\t'
                    << (verdict.byLines ? verdict.need : 1) << '\t' << (verdict.byLines ? verdict.room : 1) << '\t'
                    << int(verdict.fits) << '\t' << QString(control.text).replace(u'\t', u' ') << '\n';
            }
        }
    }
    return 0;
}
