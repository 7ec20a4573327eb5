#include "dialogfit/program_checks.h"

#include <QSet>

CheckInfo FitCheckInfo()
{
    return {QStringLiteral("fit"), QStringLiteral("Fits its control"), Severity::Warning,
            QStringLiteral("A translation shown by a dialog control fits the control at 96, 120 and 144 dpi.")};
}

FitCheck::FitCheck(std::shared_ptr<const ProgramTexts> program, TextMeasurer &measurer)
    : PerEntryCheck(FitCheckInfo()), m_program(std::move(program))
{
    for (const ProgramDialog &dialog : m_program->resources().dialogs) {
        std::vector<DialogLayout> layouts;
        for (int dpi : kFitDpis)
            layouts.emplace_back(dialog.dialog, dpi, measurer);
        m_layouts.push_back(std::move(layouts));
    }
}

QStringList FitCheck::substitutedFaces() const
{
    QStringList faces;
    QSet<QString> seen;
    for (size_t d = 0; d < m_layouts.size(); ++d) {
        const MeasuringFont &font = m_layouts[d].front().font();
        if (!font.substituted())
            continue;
        const QString asked = DialogFontRequest(m_program->resources().dialogs[d].dialog, kFitDpis[0]).face;
        const QString line = QStringLiteral("%1 (measured in %2)").arg(asked, font.usedFace());
        if (!seen.contains(line)) {
            seen.insert(line);
            faces.append(line);
        }
    }
    return faces;
}

void FitCheck::judge(const CheckedEntry &checked, const CheckContext &, std::vector<Finding> &out) const
{
    const StringEntry &entry = checked.entry;
    const std::vector<ShownPlace> *places = m_program->placesOf(entry.original);
    if (!places)
        return;
    for (const ShownPlace &place : *places) {
        if (place.kind != ShownPlace::Control)
            continue;
        const DialogControl &control = m_program->controlAt(place);
        const std::vector<DialogLayout> &layouts = m_layouts[size_t(place.owner)];
        for (const DialogLayout &layout : layouts) {
            const FitVerdict verdict = layout.fit(control, entry.translation);
            if (verdict.fits)
                continue;
            const QString unit = verdict.byLines ? QStringLiteral("lines") : QStringLiteral("px");
            QString message = QStringLiteral("needs %1 %2, \"%3\" (%4) has %5 %2 at %6 dpi")
                                  .arg(verdict.need)
                                  .arg(unit, ShownText(control.text, control.noPrefix), m_program->describe(place))
                                  .arg(verdict.room)
                                  .arg(layout.dpi());
            if (layout.font().substituted())
                message += QStringLiteral(" (measured in %1)").arg(layout.font().usedFace());
            out.push_back(finding(entry, std::move(message)));
            break;  // the lowest resolution it fails at
        }
    }
}
