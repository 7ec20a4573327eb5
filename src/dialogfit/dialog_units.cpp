#include "dialogfit/dialog_units.h"

#include <cstdint>

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    const std::int64_t product = std::int64_t(number) * numerator;
    const bool negative = (product < 0) != (denominator < 0);
    const std::int64_t a = product < 0 ? -product : product;
    const std::int64_t d = denominator < 0 ? -std::int64_t(denominator) : denominator;
    const std::int64_t q = (a + d / 2) / d;
    if (q > 0x7FFFFFFF)
        return -1;  // as the platform answers an overflow
    return int(negative ? -q : q);
}

int FontPixelSize(int pointSize, int dpi) { return MulDiv(pointSize, dpi, 72); }

DialogBaseUnits BaseUnitsFromFont(int lettersWidth, int fontHeight)
{
    return {(lettersWidth / 26 + 1) / 2, fontHeight};
}

int DialogUnitsToPixelsX(int units, DialogBaseUnits base) { return MulDiv(units, base.x, 4); }

int DialogUnitsToPixelsY(int units, DialogBaseUnits base) { return MulDiv(units, base.y, 8); }

int ScaleFrom96(int pixels, int dpi) { return MulDiv(pixels, dpi, 96); }

int CheckBoxSize(int dpi) { return 12 * dpi / 96 + 1; }
