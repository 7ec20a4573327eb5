#include "dialogfit/text_measurer.h"

#include <mutex>

namespace {

std::mutex makerMutex;
TextMeasurerMaker &maker()
{
    static TextMeasurerMaker installed;
    return installed;
}

} // namespace

void SetTextMeasurerMaker(TextMeasurerMaker newMaker)
{
    const std::lock_guard<std::mutex> lock(makerMutex);
    maker() = std::move(newMaker);
}

TextMeasurerMaker CurrentTextMeasurerMaker()
{
    const std::lock_guard<std::mutex> lock(makerMutex);
    return maker();
}
