#pragma once
// Dialog units and pixels as the dialog manager converts them: the base
// units come from the dialog's font at the screen's resolution, and every
// conversion rounds the way the platform's MulDiv does.

// number * numerator / denominator, rounded half away from zero, in 64 bits
// so that the product cannot overflow; -1 for a zero denominator or a
// result beyond an int.
int MulDiv(int number, int numerator, int denominator);

// The pixel size (em height) of a font of pointSize points at dpi.
int FontPixelSize(int pointSize, int dpi);

struct DialogBaseUnits {
    int x = 0;  // the average width of the letters, in pixels
    int y = 0;  // the font's height (ascent plus descent), in pixels
};

// From the width of "A".."Z" followed by "a".."z" drawn in the font and the
// font's height: x = (width / 26 + 1) / 2 in integer arithmetic.
DialogBaseUnits BaseUnitsFromFont(int lettersWidth, int fontHeight);

// Dialog units to pixels: units * base.x / 4 across, units * base.y / 8 down.
int DialogUnitsToPixelsX(int units, DialogBaseUnits base);
int DialogUnitsToPixelsY(int units, DialogBaseUnits base);

// A length given in pixels at 96 dpi, at dpi (rounded).
int ScaleFrom96(int pixels, int dpi);

// The side of a check box's or radio button's box at dpi: 12 pixels at
// 96 dpi scaled down to whole pixels, plus one (13, 16 and 19 pixels at 96,
// 120 and 144 dpi).
int CheckBoxSize(int dpi);
