#pragma once
// Measuring text in a font without a display. The core only states what it
// needs; a front end that links a font engine (src/fontmetrics) installs the
// maker, and without one the checks that measure are not made.

#include <QString>
#include <functional>
#include <memory>

struct FontRequest {
    QString face;       // the family asked for, after the dialog face rules
    int pixelSize = 0;  // em height in pixels
    int weight = 400;
    bool italic = false;
};

class MeasuringFont {
public:
    virtual ~MeasuringFont() = default;
    // Ascent plus descent, in pixels, as the platform's text metrics give it.
    virtual int height() const = 0;
    // The advance width of text drawn on one line, in pixels.
    virtual int textWidth(QStringView text) const = 0;
    // The family actually used, and whether it differs from the one asked for.
    virtual QString usedFace() const = 0;
    virtual bool substituted() const = 0;
};

class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    // The font for a request; never null (a missing face gives the nearest).
    virtual std::shared_ptr<const MeasuringFont> font(const FontRequest &request) = 0;
};

using TextMeasurerMaker = std::function<std::shared_ptr<TextMeasurer>()>;

// The maker the front end installed, or an empty function.
void SetTextMeasurerMaker(TextMeasurerMaker maker);
TextMeasurerMaker CurrentTextMeasurerMaker();
