#pragma once
// Measuring and drawing text in a font without a display. The core only
// states what it needs; a front end that links a font engine
// (src/fontmetrics) installs the maker, and without one the checks that
// measure are not made.

#include "dialogfit/raster_image.h"

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
    // From the top of a line to its baseline, in pixels.
    virtual int ascent() const { return height() * 4 / 5; }
    // Draws text on one line, the line's top left corner at x, y, with the
    // advances textWidth measures, only inside clip. A font that has no
    // glyphs to draw marks each character with a box as wide as its advance.
    virtual void drawText(RasterImage &image, int x, int y, QStringView text, Argb color, const QRect &clip) const;
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
