#include "dialogfit/raster_image.h"

#include <algorithm>
#include <cmath>

RasterImage::RasterImage(int width, int height, Argb fill)
    : m_width(std::max(0, width)), m_height(std::max(0, height)),
      m_pixels(size_t(m_width) * size_t(m_height), fill)
{
}

Argb RasterImage::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    return m_pixels[size_t(y) * size_t(m_width) + size_t(x)];
}

void RasterImage::setPixel(int x, int y, Argb color)
{
    if (x >= 0 && y >= 0 && x < m_width && y < m_height)
        m_pixels[size_t(y) * size_t(m_width) + size_t(x)] = color;
}

void RasterImage::fillRect(const QRect &area, Argb color)
{
    const QRect inside = area.intersected(rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        Argb *line = m_pixels.data() + size_t(y) * size_t(m_width);
        std::fill(line + inside.left(), line + inside.right() + 1, color);
    }
}

void RasterImage::frameRect(const QRect &area, Argb color, int thickness)
{
    if (area.isEmpty())
        return;
    for (int i = 0; i < thickness && area.width() > 2 * i && area.height() > 2 * i; ++i) {
        const QRect ring = area.adjusted(i, i, -i, -i);
        horizontalLine(ring.left(), ring.right(), ring.top(), color);
        horizontalLine(ring.left(), ring.right(), ring.bottom(), color);
        verticalLine(ring.left(), ring.top(), ring.bottom(), color);
        verticalLine(ring.right(), ring.top(), ring.bottom(), color);
    }
}

void RasterImage::dottedFrame(const QRect &area, Argb color)
{
    if (area.isEmpty())
        return;
    // Only the part inside the picture is walked (a dot on every even
    // distance from the frame's corner).
    const QRect inside = area.intersected(rect().adjusted(-1, -1, 1, 1));
    const int firstX = inside.left() + ((inside.left() - area.left()) & 1);
    const int firstY = inside.top() + ((inside.top() - area.top()) & 1);
    for (int x = firstX; x <= inside.right(); x += 2) {
        setPixel(x, area.top(), color);
        setPixel(x, area.bottom(), color);
    }
    for (int y = firstY; y <= inside.bottom(); y += 2) {
        setPixel(area.left(), y, color);
        setPixel(area.right(), y, color);
    }
}

void RasterImage::horizontalLine(int x1, int x2, int y, Argb color)
{
    fillRect(QRect(QPoint(std::min(x1, x2), y), QPoint(std::max(x1, x2), y)), color);
}

void RasterImage::verticalLine(int x, int y1, int y2, Argb color)
{
    fillRect(QRect(QPoint(x, std::min(y1, y2)), QPoint(x, std::max(y1, y2))), color);
}

void RasterImage::disc(const QRect &box, Argb color, int ring)
{
    // Coverage from the distance of each pixel's centre to the disc's edge,
    // so the edge is smoothed over one pixel.
    const double cx = box.left() + box.width() / 2.0, cy = box.top() + box.height() / 2.0;
    const double radius = std::min(box.width(), box.height()) / 2.0;
    const QRect inside = box.intersected(rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const double distance = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            double cover = std::clamp(radius - distance + 0.5, 0.0, 1.0);
            if (ring > 0)
                cover = std::min(cover, std::clamp(distance - (radius - ring) + 0.5, 0.0, 1.0));
            if (cover > 0)
                blend(m_pixels[size_t(y) * size_t(m_width) + size_t(x)], color, int(std::lround(cover * 255)));
        }
    }
}

void RasterImage::blendCoverage(int x, int y, const std::uint8_t *coverage, int width, int height, int pitch,
                                Argb color, const QRect &clip)
{
    const QRect inside = clip.intersected(rect()).intersected(QRect(x, y, width, height));
    for (int row = inside.top(); row <= inside.bottom(); ++row) {
        const std::uint8_t *source = coverage + size_t(row - y) * size_t(pitch);
        Argb *line = m_pixels.data() + size_t(row) * size_t(m_width);
        for (int column = inside.left(); column <= inside.right(); ++column) {
            const int alpha = source[column - x];
            if (alpha)
                blend(line[column], color, alpha);
        }
    }
}

void RasterImage::blend(Argb &pixel, Argb color, int alpha)
{
    if (alpha >= 255) {
        pixel = color;
        return;
    }
    auto channel = [&](int shift) {
        const int under = int((pixel >> shift) & 0xFF), over = int((color >> shift) & 0xFF);
        return Argb((under * (255 - alpha) + over * alpha + 127) / 255) << shift;
    };
    pixel = 0xFF000000u | channel(16) | channel(8) | channel(0);
}
