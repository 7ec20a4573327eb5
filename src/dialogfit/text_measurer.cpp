#include "dialogfit/text_measurer.h"

#include <algorithm>
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

void MeasuringFont::drawText(RasterImage &image, int x, int y, QStringView text, Argb color, const QRect &clip) const
{
    const int top = y + height() / 5, bottom = y + ascent();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int advance = textWidth(text.mid(i, 1));
        if (!text[i].isSpace() && bottom > top)
            image.fillRect(QRect(x, top, std::max(1, advance - 1), bottom - top).intersected(clip), color);
        x += advance;
    }
}
