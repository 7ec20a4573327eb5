#include "dialogfit/program_checks.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <mutex>

namespace {

// The program last read, kept while its file stays the same: the checks of
// every file of a language folder share it, and it is never changed.
std::shared_ptr<const ProgramTexts> readProgram(const QString &program, const QString &header, QStringList &problems)
{
    static std::mutex mutex;
    static QString lastKey;
    static std::shared_ptr<const ProgramTexts> last;
    const QFileInfo programInfo(program), headerInfo(header);
    const QString key = QStringList{programInfo.absoluteFilePath(), QString::number(programInfo.size()),
                                    programInfo.lastModified().toString(Qt::ISODateWithMs),
                                    header.isEmpty() ? QString() : headerInfo.absoluteFilePath(),
                                    QString::number(headerInfo.size()),
                                    headerInfo.lastModified().toString(Qt::ISODateWithMs)}
                            .join(u'\n');
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (last && key == lastKey)
            return last;
    }
    ProgramResources resources;
    QString error;
    if (!ReadProgramFile(program, resources, &error)) {
        problems.append(error);
        return nullptr;
    }
    if (resources.malformed > 0)
        problems.append(QStringLiteral("%1: %2 dialog or menu templates could not be read and are not checked")
                            .arg(program)
                            .arg(resources.malformed));
    ResourceNames names;
    if (!header.isEmpty()) {
        QFile file(header);
        if (file.open(QIODevice::ReadOnly))
            names = ResourceNames(QString::fromLatin1(file.readAll()));
        else
            problems.append(QStringLiteral("Can not read the header %1 (%2); numbers are shown instead of names")
                                .arg(header, file.errorString()));
    }
    auto made = std::make_shared<const ProgramTexts>(std::move(resources), std::move(names));
    const std::lock_guard<std::mutex> lock(mutex);
    lastKey = key;
    last = made;
    return made;
}

} // namespace

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
        const std::shared_ptr<const ProgramTexts> texts = readProgram(program, header, result.problems);
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
