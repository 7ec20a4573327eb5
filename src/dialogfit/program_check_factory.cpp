#include "dialogfit/program_checks.h"

CheckFactory ProgramCheckFactory()
{
    CheckFactory factory;
    factory.checks = {FitCheckInfo(), AcceleratorClashCheckInfo()};
    factory.make = [](const CheckTarget &target) {
        CheckFactoryResult result;
        const QString program = target.options.value(QStringLiteral("program")).toString();
        if (program.isEmpty())
            return result;
        const QString header = target.options.value(QStringLiteral("header")).toString();
        const std::shared_ptr<const ProgramTexts> texts = ReadProgramTexts(program, header, result.problems);
        if (!texts)
            return result;
        result.checks.push_back(std::make_shared<AcceleratorClashCheck>(texts));
        const TextMeasurerMaker maker = CurrentTextMeasurerMaker();
        if (!maker) {
            result.problems.append(QStringLiteral("fit: no font engine to measure text with"));
            return result;
        }
        const std::shared_ptr<TextMeasurer> measurer = maker();
        auto fit = std::make_shared<FitCheck>(texts, *measurer);
        for (const QString &face : fit->substitutedFaces())
            result.problems.append(QStringLiteral("fit: the font %1 is not installed").arg(face));
        result.checks.push_back(std::move(fit));
        return result;
    };
    return factory;
}
