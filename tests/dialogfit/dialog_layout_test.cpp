// Dialog units, the room of each kind of control at each resolution, and
// the verdict on texts just under and just over it, worked out by hand with
// the fake font's metrics; then the real font engine's base units.

#include "dialogfit/dialog_layout.h"
#include "fake_measurer.h"
#include "fontmetrics/font_engine.h"

#include <gtest/gtest.h>

namespace {

DialogTemplate shellDialog()
{
    DialogTemplate dialog;
    dialog.extended = true;
    dialog.hasFont = true;
    dialog.shellFont = true;
    dialog.face = QStringLiteral("MS Shell Dlg");
    dialog.pointSize = 8;
    return dialog;
}

DialogControl control(ControlKind kind, int width, int height, bool multiLine = false)
{
    DialogControl c;
    c.kind = kind;
    c.width = width;
    c.height = height;
    c.multiLine = multiLine;
    return c;
}

TEST(DialogUnits, ConvertAndRoundAsTheDialogManagerDoes)
{
    EXPECT_EQ(MulDiv(5, 6, 4), 8);     // 7.5 rounds up
    EXPECT_EQ(MulDiv(-5, 6, 4), -8);   // and away from zero below it
    EXPECT_EQ(MulDiv(50, 7, 4), 88);   // 87.5
    EXPECT_EQ(MulDiv(14, 13, 8), 23);  // 22.75
    EXPECT_EQ(MulDiv(13, 120, 96), 16);  // 16.25
    EXPECT_EQ(MulDiv(1, 2, 0), -1);
    EXPECT_EQ(MulDiv(2000000000, 3, 2), -1);  // beyond an int
    EXPECT_EQ(MulDiv(1000000000, 3, 4), 750000000);  // no overflow of the product
    EXPECT_EQ(FontPixelSize(8, 96), 11);   // 10.67
    EXPECT_EQ(FontPixelSize(8, 120), 13);  // 13.33
    EXPECT_EQ(FontPixelSize(8, 144), 16);
    EXPECT_EQ(FontPixelSize(9, 96), 12);
    // (width / 26 + 1) / 2 in integers: 337 / 26 is 12, giving 6; 338 gives 7.
    EXPECT_EQ(BaseUnitsFromFont(337, 13).x, 6);
    EXPECT_EQ(BaseUnitsFromFont(338, 13).x, 7);
    EXPECT_EQ(BaseUnitsFromFont(311, 13).x, 6);  // 11 + 1 = 12, halved
    EXPECT_EQ(DialogUnitsToPixelsX(46, {7, 15}), 81);  // 80.5
    EXPECT_EQ(DialogUnitsToPixelsY(16, {6, 13}), 26);
    EXPECT_EQ(DialogUnitsToPixelsY(14, {7, 15}), 26);  // 26.25
    // The check box's box: 12 * dpi / 96 truncated, plus one. At 108 dpi
    // that is 13.5 -> 13, + 1 = 14, where rounding would give 15.
    EXPECT_EQ(CheckBoxSize(96), 13);
    EXPECT_EQ(CheckBoxSize(108), 14);
    EXPECT_EQ(CheckBoxSize(120), 16);
    EXPECT_EQ(CheckBoxSize(144), 19);
}

TEST(DialogLayout, RoomAndVerdictJustUnderAndJustOverAtEachResolution)
{
    FakeMeasurer measurer;
    const DialogTemplate dialog = shellDialog();
    const DialogControl button = control(ControlKind::PushButton, 46, 14);
    const DialogControl check = control(ControlKind::CheckBox, 100, 10);
    const DialogControl label = control(ControlKind::Static, 30, 8);
    const DialogControl pushLike = [&] {
        DialogControl c = button;
        c.style = 0x1003;  // BS_AUTOCHECKBOX | BS_PUSHLIKE
        return c;
    }();
    const DialogControl group = control(ControlKind::GroupBox, 60, 40);
    // Hand-worked: base x 6, 7, 8; 46 units are 69, 81 (80.5), 92 px; a push
    // button keeps its 2-px frame and the default button's 1-px outline a
    // side at every resolution, a push-like check box only the frame. The
    // check box: 150, 175, 200 px less the box (13, 16, 19) and the gap of
    // half a "0" plus one ("0" is 6, 7, 8 px: 4, 4, 5). The group box: 90,
    // 105, 120 px less 8 before the caption and the 2-px frame after it.
    const struct {
        int dpi, baseX, baseY, buttonRoom, pushLikeRoom, checkRoom, groupRoom, labelRoom;
    } expected[] = {{96, 6, 13, 63, 65, 133, 80, 45},
                    {120, 7, 15, 75, 77, 155, 95, 53},
                    {144, 8, 18, 86, 88, 176, 110, 60}};
    for (const auto &e : expected) {
        const DialogLayout layout(dialog, e.dpi, measurer);
        EXPECT_EQ(layout.baseUnits().x, e.baseX) << e.dpi;
        EXPECT_EQ(layout.baseUnits().y, e.baseY) << e.dpi;
        EXPECT_EQ(layout.textRoomOf(button), e.buttonRoom) << e.dpi;
        EXPECT_EQ(layout.textRoomOf(pushLike), e.pushLikeRoom) << e.dpi;
        EXPECT_EQ(layout.textRoomOf(check), e.checkRoom) << e.dpi;
        EXPECT_EQ(layout.textRoomOf(group), e.groupRoom) << e.dpi;
        EXPECT_EQ(layout.textRoomOf(label), e.labelRoom) << e.dpi;
        for (const DialogControl *c : {&button, &pushLike, &check, &group, &label}) {
            const int room = layout.textRoomOf(*c);
            // A text of exactly the room fits; one pixel more does not.
            const int perChar = (FontPixelSize(8, e.dpi) + 1) / 2;
            const QString exact = QString(room / perChar, u'x') + QString(room % perChar, u'.');
            const FitVerdict fits = layout.fit(*c, exact);
            EXPECT_TRUE(fits.fits) << e.dpi;
            EXPECT_EQ(fits.need, room) << e.dpi;
            const FitVerdict over = layout.fit(*c, exact + u'.');
            EXPECT_FALSE(over.fits) << e.dpi;
            EXPECT_EQ(over.need, room + 1) << e.dpi;
            EXPECT_EQ(over.room, room) << e.dpi;
            // The accelerator mark takes no room; "&&" draws one "&".
            EXPECT_TRUE(layout.fit(*c, u'&' + exact).fits) << e.dpi;
            EXPECT_FALSE(layout.fit(*c, QStringLiteral("&&") + exact).fits) << e.dpi;
        }
        // A no-prefix static draws the "&".
        DialogControl noPrefix = label;
        noPrefix.noPrefix = true;
        const QString exact = QString(e.labelRoom / ((FontPixelSize(8, e.dpi) + 1) / 2), u'x')
                              + QString(e.labelRoom % ((FontPixelSize(8, e.dpi) + 1) / 2), u'.');
        EXPECT_TRUE(layout.fit(label, u'&' + exact).fits);
        EXPECT_FALSE(layout.fit(noPrefix, u'&' + exact).fits);
    }
}

TEST(DialogLayout, MultiLineTextsWrapAtWordsAndMustFitTheirLines)
{
    FakeMeasurer measurer;
    const DialogTemplate dialog = shellDialog();
    // 80 x 16 units at 96 dpi: 120 px across, 26 px down: two lines of 13.
    const DialogControl note = control(ControlKind::Static, 80, 16, true);
    const DialogLayout layout(dialog, 96, measurer);
    const QString word = QString(9, u'x');  // 54 px; two words and a space: 114 px
    const FitVerdict two = layout.fit(note, word + u' ' + word + u' ' + word + u' ' + word);
    EXPECT_TRUE(two.fits);
    EXPECT_TRUE(two.byLines);
    EXPECT_EQ(two.need, 2);
    EXPECT_EQ(two.room, 2);
    const FitVerdict three = layout.fit(note, word + u' ' + word + u' ' + word + u' ' + word + QStringLiteral(" x"));
    EXPECT_FALSE(three.fits);
    EXPECT_EQ(three.need, 3);
    // A word ending exactly at the edge stays only without a space after
    // it: "9x 10x" is 120 px and fits one line, but followed by " 9x 9x"
    // the 10 x's move down, and then the first 9 x's after them: three lines
    // (where counting without the spaces would give "9x 10x" and "9x 9x").
    const QString ten = QString(10, u'x');
    EXPECT_EQ(layout.fit(note, word + u' ' + ten).need, 1);
    const FitVerdict spaced = layout.fit(note, word + u' ' + ten + u' ' + word + u' ' + word);
    EXPECT_EQ(spaced.need, 3);
    EXPECT_FALSE(spaced.fits);
    // A line break starts a line of its own.
    EXPECT_EQ(layout.fit(note, QStringLiteral("a\nb\nc")).need, 3);
    // A word wider than the line is cut off: it fails across.
    const FitVerdict wide = layout.fit(note, QStringLiteral("a ") + QString(21, u'x'));
    EXPECT_FALSE(wide.fits);
    EXPECT_FALSE(wide.byLines);
    EXPECT_EQ(wide.need, 126);
    EXPECT_EQ(wide.room, 120);
}

TEST(DialogLayout, FaceRulesAndTheRealFontEngine)
{
    DialogTemplate dialog = shellDialog();
    EXPECT_EQ(DialogFontRequest(dialog, 96).face, "Tahoma");
    dialog.shellFont = false;
    EXPECT_EQ(DialogFontRequest(dialog, 96).face, "MS Sans Serif");
    dialog.face = QStringLiteral("MS Shell Dlg 2");
    EXPECT_EQ(DialogFontRequest(dialog, 96).face, "Tahoma");
    EXPECT_EQ(DialogFontRequest(dialog, 120).pixelSize, 13);
    EXPECT_EQ(ShownText(u"Save && &Close", false), "Save & Close");
    EXPECT_EQ(AcceleratorOf(u"Save && &Close"), QChar(u'c'));
    EXPECT_TRUE(AcceleratorOf(u"R&&D").isNull());

    if (ExtraFontFolders().isEmpty())
        GTEST_SKIP() << "the Wine fonts (fonts-wine) are not installed";
    // What a Windows API implementation (wine, tools/fitcal) gives these
    // faces: the height, the width of "A".."Z""a".."z", the base units and
    // DrawText's width of "Delete all". Tahoma is measured by its hinted
    // outlines (its bitmap strikes advance narrower: 309, not 330, at 11
    // px); MS Sans Serif comes in strikes of em 11, 13 and 16 px (heights
    // 13, 16, 20), chosen by em, so 120 dpi draws the 16-pixel-high one.
    const std::shared_ptr<TextMeasurer> measurer = MakeFontEngineMeasurer();
    DialogTemplate sansSerifDialog = shellDialog();
    sansSerifDialog.face = QStringLiteral("MS Sans Serif");
    const struct {
        bool tahoma;
        int dpi, height, letters, baseX, baseY, deleteAll;
    } platform[] = {{true, 96, 13, 330, 6, 13, 51},   {true, 120, 16, 385, 7, 16, 57},
                    {true, 144, 19, 475, 9, 19, 70},  {false, 96, 13, 323, 6, 13, 44},
                    {false, 120, 16, 405, 8, 16, 57}, {false, 144, 20, 483, 9, 20, 66}};
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    for (const auto &p : platform) {
        const DialogLayout layout(p.tahoma ? shellDialog() : sansSerifDialog, p.dpi, *measurer);
        const QString what = QStringLiteral("%1 at %2 dpi").arg(layout.font().usedFace()).arg(p.dpi);
        EXPECT_EQ(layout.font().usedFace(), p.tahoma ? "Tahoma" : "MS Sans Serif");
        EXPECT_FALSE(layout.font().substituted());
        EXPECT_EQ(layout.font().height(), p.height) << what.toStdString();
        EXPECT_EQ(layout.font().textWidth(letters), p.letters) << what.toStdString();
        EXPECT_EQ(layout.baseUnits().x, p.baseX) << what.toStdString();
        EXPECT_EQ(layout.baseUnits().y, p.baseY) << what.toStdString();
        EXPECT_EQ(layout.font().textWidth(ShownText(u"&Delete all", false)), p.deleteAll) << what.toStdString();
    }
    const DialogLayout tahoma(shellDialog(), 96, *measurer);
    EXPECT_EQ(DialogUnitsToPixelsX(50, tahoma.baseUnits()), 75);
    EXPECT_EQ(DialogUnitsToPixelsY(14, tahoma.baseUnits()), 23);
    // A request between two strikes takes the smaller: 9-point MS Sans
    // Serif at 96 dpi (12 px) is drawn as 8-point.
    sansSerifDialog.pointSize = 9;
    const DialogLayout nine(sansSerifDialog, 96, *measurer);
    EXPECT_EQ(nine.font().height(), 13);
    EXPECT_EQ(nine.font().textWidth(letters), 323);
    // Wider text measures wider, and the resolution scales it.
    EXPECT_GT(tahoma.font().textWidth(u"Delete all files"), tahoma.font().textWidth(u"Delete all"));
    const DialogLayout tahoma144(shellDialog(), 144, *measurer);
    EXPECT_GT(tahoma144.font().textWidth(u"Delete all"), tahoma.font().textWidth(u"Delete all"));
    // A face that is missing is replaced, and says so.
    dialog.face = QStringLiteral("No Such Face Anywhere");
    const DialogLayout missing(dialog, 96, *measurer);
    EXPECT_TRUE(missing.font().substituted());
    EXPECT_NE(missing.font().usedFace(), "No Such Face Anywhere");
    EXPECT_GT(missing.baseUnits().x, 0);
}

} // namespace
