#pragma once
// A measurer with metrics simple enough to work verdicts out by hand: at
// pixel size p every character is (p + 1) / 2 pixels wide but "." is one
// pixel, and the font is p + 2 pixels high. So the
// base units are 6 x 13 at 96 dpi (8 points: 11 px), 7 x 15 at 120 dpi
// (13 px) and 8 x 18 at 144 dpi (16 px).

#include "dialogfit/text_measurer.h"

class FakeFont : public MeasuringFont {
public:
    explicit FakeFont(int pixelSize) : m_size(pixelSize) {}
    int height() const override { return m_size + 2; }
    int textWidth(QStringView text) const override
    {
        int width = 0;
        for (QChar c : text)
            width += c == u'.' ? 1 : (m_size + 1) / 2;
        return width;
    }
    QString usedFace() const override { return QStringLiteral("Fake"); }
    bool substituted() const override { return false; }

private:
    int m_size;
};

class FakeMeasurer : public TextMeasurer {
public:
    std::shared_ptr<const MeasuringFont> font(const FontRequest &request) override
    {
        return std::make_shared<FakeFont>(request.pixelSize);
    }
};
