#pragma once
// A picture in memory, 32-bit 0xAARRGGBB pixels row by row, with the few
// drawing operations a dialog's preview needs: filled and framed
// rectangles, dotted frames, discs, and glyph coverage blended in a colour
// within a clip rectangle. QtCore only, so rendaro-cli draws without a
// display; the editor shows the same pixels through a QImage.

#include <QRect>
#include <cstdint>
#include <vector>

using Argb = std::uint32_t;

// The longest side a preview draws: a hostile template's size ends there.
inline constexpr int kMaxPictureSide = 4096;

constexpr Argb ArgbOf(int red, int green, int blue)
{
    return 0xFF000000u | (Argb(red & 0xFF) << 16) | (Argb(green & 0xFF) << 8) | Argb(blue & 0xFF);
}

class RasterImage {
public:
    RasterImage() = default;
    RasterImage(int width, int height, Argb fill);

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool isNull() const { return m_width <= 0 || m_height <= 0; }
    QRect rect() const { return QRect(0, 0, m_width, m_height); }
    // The pixel at x, y; 0 outside the picture.
    Argb pixel(int x, int y) const;
    const Argb *row(int y) const { return m_pixels.data() + size_t(y) * size_t(m_width); }
    const Argb *bits() const { return m_pixels.data(); }

    void setPixel(int x, int y, Argb color);
    void fillRect(const QRect &area, Argb color);
    // A frame `thickness` pixels wide inside area.
    void frameRect(const QRect &area, Argb color, int thickness = 1);
    // A frame of every other pixel (a focus rectangle).
    void dottedFrame(const QRect &area, Argb color);
    void horizontalLine(int x1, int x2, int y, Argb color);
    void verticalLine(int x, int y1, int y2, Argb color);
    // A disc in the square `box`; with `ring`, only its edge `ring` pixels wide.
    void disc(const QRect &box, Argb color, int ring = 0);
    // Blends 8-bit coverage (0 none .. 255 full; `pitch` bytes a row) at
    // x, y in `color`, only where it falls inside clip.
    void blendCoverage(int x, int y, const std::uint8_t *coverage, int width, int height, int pitch, Argb color,
                       const QRect &clip);

private:
    void blend(Argb &pixel, Argb color, int alpha);
    int m_width = 0, m_height = 0;
    std::vector<Argb> m_pixels;
};
