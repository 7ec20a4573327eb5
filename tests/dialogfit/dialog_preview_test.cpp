// The previews of dialogs and menus: sizes and rooms worked out by hand with
// the fake font, the verdicts against the fit check's, a changed text
// measured again and an unchanged one not, the marks in the pixels, the
// menu's layout, and the PNG file taken apart again.

#include "checks/check_registry.h"
#include "dialogfit/png_file.h"
#include "dialogfit/program_checks.h"
#include "dialogfit/program_preview.h"
#include "fake_measurer.h"
#include "test_support.h"

#include <QtEndian>
#include <gtest/gtest.h>

namespace {

const QString kPreviewFixtures = QStringLiteral(RENDARO_TEST_DATA "/../resparse/fixtures");

// The fake font, counting how often text is measured.
class CountingMeasurer : public TextMeasurer {
public:
    class Font : public FakeFont {
    public:
        Font(int size, int &count) : FakeFont(size), m_count(count) {}
        int textWidth(QStringView text) const override
        {
            ++m_count;
            return FakeFont::textWidth(text);
        }

    private:
        int &m_count;
    };
    std::shared_ptr<const MeasuringFont> font(const FontRequest &request) override
    {
        return std::make_shared<Font>(request.pixelSize, measured);
    }
    int measured = 0;
};

DialogControl makeControl(ControlKind kind, int x, int y, int width, int height, const QString &text)
{
    DialogControl control;
    control.kind = kind;
    control.classAtom = 0x80;
    control.x = x;
    control.y = y;
    control.width = width;
    control.height = height;
    control.text = text;
    control.align = kind == ControlKind::PushButton ? TextAlign::Center : TextAlign::Left;
    return control;
}

// 100 x 50 units in 8-point MS Shell Dlg: a 50-unit push button, a 60-unit
// check box and an edit field.
DialogTemplate testDialog()
{
    DialogTemplate dialog;
    dialog.extended = true;
    dialog.hasFont = true;
    dialog.shellFont = true;
    dialog.face = QStringLiteral("MS Shell Dlg");
    dialog.pointSize = 8;
    dialog.width = 100;
    dialog.height = 50;
    dialog.caption = QStringLiteral("Test");
    dialog.controls.push_back(makeControl(ControlKind::PushButton, 4, 4, 50, 14, QStringLiteral("&Delete")));
    dialog.controls.push_back(makeControl(ControlKind::CheckBox, 4, 22, 60, 10, QStringLiteral("&Show")));
    DialogControl edit = makeControl(ControlKind::Other, 4, 36, 60, 12, QString());
    edit.classAtom = 0x81;
    dialog.controls.push_back(edit);
    return dialog;
}

TEST(DialogPreview, SizesRoomsAndVerdictsAtTheDrawnAndTheCheckedResolutions)
{
    FakeMeasurer measurer;
    DialogPreview preview(testDialog(), 96, measurer);
    // Base units 6 x 13 at 96 dpi: 100 x 50 units are 150 x 81 px (81.25).
    EXPECT_EQ(preview.size(), QSize(150, 81));
    EXPECT_EQ(preview.controls()[0].rect, QRect(6, 7, 75, 23));  // x 6, y 6.5 up, 75 x 22.75 up
    EXPECT_EQ(preview.controls()[1].rect, QRect(6, 36, 90, 16));  // y 35.75, height 16.25
    EXPECT_FALSE(preview.controls()[2].judged);

    // The button has 75 - 2 x 3 = 69 px: eleven letters fit, twelve do not.
    EXPECT_TRUE(preview.setText(0, QString(11, u'x')));
    EXPECT_TRUE(preview.controls()[0].verdict.fits);
    EXPECT_EQ(preview.describe(0), QString(11, u'x') + ": fits");
    preview.setText(0, "&" + QString(12, u'x'));  // the mark takes no room, but is not enough
    EXPECT_FALSE(preview.controls()[0].verdict.fits);
    EXPECT_EQ(preview.controls()[0].failsAt, 96);
    EXPECT_EQ(preview.describe(0), QString(12, u'x') + ": 3 px too wide");

    // The check box has 90 - 13 - 4 = 73 px at 96 dpi (box and half a "0"
    // plus one) and 105 - 16 - 4 = 85 at 120: twelve letters and a dot (73,
    // 85 px) fit both just so; at 144 they need 97 of 120 - 19 - 5 = 96 px.
    // The preview says so, as the fit check does.
    const QString justSo = QString(12, u'y') + u'.';
    preview.setText(1, justSo);
    EXPECT_TRUE(preview.controls()[1].verdict.fits);
    EXPECT_EQ(preview.controls()[1].failsAt, 144);
    EXPECT_EQ(preview.describe(1), justSo + ": fits at 96 dpi, 1 px too wide at 144 dpi");
    EXPECT_EQ(preview.misfits(), 1);
    EXPECT_EQ(preview.describe(2), QStringLiteral("edit field"));

    // Drawn at 144 dpi the same text is judged there.
    DialogPreview large(testDialog(), 144, measurer);
    large.setText(1, justSo);
    EXPECT_FALSE(large.controls()[1].verdict.fits);
    EXPECT_EQ(large.size(), QSize(200, 113));  // base units 8 x 18
    // A template's size beyond reason stops at the largest picture drawn.
    DialogTemplate huge = testDialog();
    huge.width = 32767;
    huge.height = -5;
    const DialogPreview capped(huge, 96, measurer);
    EXPECT_EQ(capped.size(), QSize(kMaxPictureSide, 1));
    // At a resolution the check does not judge, its verdict is its own.
    DialogPreview odd(testDialog(), 72, measurer);
    EXPECT_EQ(odd.dpi(), 72);
    EXPECT_EQ(odd.controls()[0].failsAt, 0);
}

TEST(DialogPreview, OnlyAChangedTextIsMeasuredAgain)
{
    CountingMeasurer measurer;
    DialogPreview preview(testDialog(), 96, measurer);
    const int made = measurer.measured;
    EXPECT_FALSE(preview.setText(0, QStringLiteral("&Delete")));
    EXPECT_FALSE(preview.setText(1, QStringLiteral("&Show")));
    EXPECT_EQ(measurer.measured, made);
    preview.draw(0);  // drawing measures nothing that decides a verdict
    const int drawn = measurer.measured;
    EXPECT_TRUE(preview.setText(1, QStringLiteral("&Anzeigen")));
    // Once at each of the three resolutions, the drawn one among them.
    EXPECT_EQ(measurer.measured - drawn, 3);
    EXPECT_EQ(preview.controls()[1].text, QStringLiteral("&Anzeigen"));
}

TEST(DialogPreview, TheMarksAreInThePixels)
{
    FakeMeasurer measurer;
    DialogPreview preview(testDialog(), 96, measurer);
    preview.setText(0, QString(20, u'x'));          // far too wide
    preview.setText(1, QString(12, u'y') + u'.');  // too wide at 144 dpi only
    const RasterImage image = preview.draw(1);
    ASSERT_EQ(image.width(), 150);
    ASSERT_EQ(image.height(), 81);
    const QRect button = preview.controls()[0].rect, box = preview.controls()[1].rect;
    // The button's frame is red on every side, and so is the line inside it.
    for (const QPoint &at : {button.topLeft(), button.bottomRight(), QPoint(button.left() + 1, button.center().y()),
                             QPoint(button.center().x(), button.bottom() - 1)})
        EXPECT_EQ(image.pixel(at.x(), at.y()), kMisfitColour) << at.x() << "," << at.y();
    // The check box is framed in orange and outlined in blue three pixels out.
    EXPECT_EQ(image.pixel(box.left(), box.center().y()), kMisfitElsewhereColour);
    EXPECT_EQ(image.pixel(box.left() - 3, box.center().y()), kOutlineColour);
    EXPECT_EQ(image.pixel(box.left() - 2, box.top() - 2), kOutlineColour);
    // The text is drawn (the fake font's boxes), centred, 120 px from x = -16
    // on, and cut at the button's edges.
    const int textRow = button.top() + (button.height() - 13) / 2 + 6;
    bool ink = false;
    for (int x = button.left() + 3; x < button.right() - 3; ++x)
        ink = ink || image.pixel(x, textRow) == ArgbOf(0, 0, 0);
    EXPECT_TRUE(ink);
    for (int x = button.right() + 1; x < button.right() + 20; ++x)
        EXPECT_NE(image.pixel(x, textRow), ArgbOf(0, 0, 0)) << x;

    // When everything fits there is no red anywhere.
    preview.setText(0, QStringLiteral("OK"));
    preview.setText(1, QStringLiteral("On"));
    const RasterImage fine = preview.draw();
    for (int y = 0; y < fine.height(); ++y) {
        for (int x = 0; x < fine.width(); ++x)
            ASSERT_NE(fine.pixel(x, y), kMisfitColour) << x << "," << y;
    }
    EXPECT_EQ(preview.controlAt(preview.controls()[1].rect.center()), 1);
    EXPECT_EQ(preview.controlAt(QPoint(149, 0)), -1);
}

TEST(DialogPreview, APngFileHoldsThePixels)
{
    RasterImage image(3, 2, ArgbOf(240, 240, 240));
    image.setPixel(1, 0, ArgbOf(224, 0, 0));
    image.setPixel(2, 1, ArgbOf(0, 80, 224));
    const QByteArray png = EncodePng(image);
    ASSERT_TRUE(png.startsWith(QByteArray("\x89PNG\r\n\x1a\n", 8)));
    // The chunks, each with its length, its type and a CRC.
    QByteArray raw;
    qsizetype at = 8;
    QStringList types;
    while (at + 12 <= png.size()) {
        const quint32 length = qFromBigEndian<quint32>(png.constData() + at);
        const QByteArray type = png.mid(at + 4, 4);
        types.append(QString::fromLatin1(type));
        if (type == "IHDR") {
            EXPECT_EQ(qFromBigEndian<quint32>(png.constData() + at + 8), 3u);
            EXPECT_EQ(qFromBigEndian<quint32>(png.constData() + at + 12), 2u);
            EXPECT_EQ(png.mid(at + 16, 5), QByteArray("\x08\x02\x00\x00\x00", 5));
        }
        if (type == "IDAT") {
            QByteArray stream = png.mid(at + 8, length);
            QByteArray sized(4, '\0');
            qToBigEndian<quint32>(2 * (1 + 3 * 3), sized.data());
            raw = qUncompress(sized + stream);
        }
        at += 12 + length;
    }
    EXPECT_EQ(types, QStringList({"IHDR", "IDAT", "IEND"}));
    ASSERT_EQ(raw.size(), 20);
    // Each row with the Sub filter: undone, the colours come back.
    for (int y = 0; y < 2; ++y) {
        const char *row = raw.constData() + y * 10;
        EXPECT_EQ(row[0], 1);
        int left[3] = {0, 0, 0};
        for (int x = 0; x < 3; ++x) {
            int rgb[3];
            for (int c = 0; c < 3; ++c) {
                rgb[c] = (std::uint8_t(row[1 + 3 * x + c]) + left[c]) & 0xFF;
                left[c] = rgb[c];
            }
            EXPECT_EQ(ArgbOf(rgb[0], rgb[1], rgb[2]), image.pixel(x, y)) << x << "," << y;
        }
    }
    // The same pixels give the same bytes.
    EXPECT_EQ(EncodePng(image), png);
}

class ProgramPreviews : public ::testing::Test {
protected:
    void SetUp() override
    {
        QStringList problems;
        texts = ReadProgramTexts(kPreviewFixtures + "/dialogs64.dll", kPreviewFixtures + "/dialogs.h", problems);
        ASSERT_TRUE(texts) << problems.join(u'\n').toStdString();
        preview = std::make_unique<ProgramPreview>(texts, std::make_shared<FakeMeasurer>());
    }
    static void add(EntryMap &entries, const QString &original, const QString &translation)
    {
        StringEntry entry;
        entry.original = original;
        entry.translation = translation;
        entries.insert(std::move(entry));
    }
    int controlOf(int dialog, int id) const
    {
        const std::vector<DialogControl> &controls = texts->resources().dialogs[size_t(dialog)].dialog.controls;
        for (size_t i = 0; i < controls.size(); ++i) {
            if (controls[i].id == id)
                return int(i);
        }
        return -1;
    }
    std::shared_ptr<const ProgramTexts> texts;
    std::unique_ptr<ProgramPreview> preview;
};

TEST_F(ProgramPreviews, AStringInTwoDialogsAndAMenuItem)
{
    const std::vector<ShownPlace> owners = preview->ownersOf(QStringLiteral("Delete all"));
    ASSERT_EQ(owners.size(), 2u);
    EXPECT_EQ(preview->nameOf(owners[0]), QStringLiteral("IDD_OPTIONS"));
    EXPECT_EQ(preview->nameOf(owners[1]), QStringLiteral("IDD_CLASSIC"));
    const std::vector<ShownPlace> save = preview->ownersOf(QStringLiteral("Save\tCtrl+S"));
    ASSERT_EQ(save.size(), 1u);
    EXPECT_EQ(save[0].kind, ShownPlace::MenuItem);
    EXPECT_EQ(preview->nameOf(save[0]), QStringLiteral("menu IDR_MAIN"));
    EXPECT_TRUE(preview->ownersOf(QStringLiteral("Nowhere")).empty());
}

TEST_F(ProgramPreviews, TextsComeFromTheEntriesOrTheTextBeingTyped)
{
    EntryMap entries;
    add(entries, "Delete all", "Alle weg");
    add(entries, "Options", "Optionen");
    add(entries, "OK", "OK");  // the same text: the program's
    const int button = controlOf(0, 1001), ok = controlOf(0, 1);
    EXPECT_TRUE(preview->showEntries(0, entries));
    const DialogPreview &dialog = preview->dialog(0);
    EXPECT_EQ(dialog.controls()[size_t(button)].text, QStringLiteral("Alle weg"));
    EXPECT_EQ(dialog.controls()[size_t(ok)].text, QStringLiteral("OK"));
    EXPECT_EQ(dialog.caption(), QStringLiteral("Optionen"));
    EXPECT_TRUE(dialog.controls()[size_t(button)].verdict.fits);
    EXPECT_FALSE(preview->showEntries(0, entries));  // nothing new

    // The text typed stands for the entry; an empty one shows the program's.
    const ProgramPreview::Typed typed{QStringLiteral("Delete all"), QString(12, u'x')};
    EXPECT_TRUE(preview->showEntries(0, entries, &typed));
    EXPECT_FALSE(dialog.controls()[size_t(button)].verdict.fits);
    const ProgramPreview::Typed emptied{QStringLiteral("Delete all"), QString()};
    preview->showEntries(0, entries, &emptied);
    EXPECT_EQ(dialog.controls()[size_t(button)].text, QStringLiteral("&Delete all"));

    // Menus take their entries too; the hint after the tab stays.
    add(entries, "Save\tCtrl+S", "&Speichern\tStrg+S");
    EXPECT_TRUE(preview->showMenuEntries(0, entries));
    EXPECT_EQ(preview->menu(0).items()[1][0].text, QStringLiteral("&Speichern\tStrg+S"));
}

// What the preview marks is what the fit check reports at 96 dpi, for texts
// around the room of "Delete all" in both dialogs.
TEST_F(ProgramPreviews, ThePreviewAndTheFitCheckAgree)
{
    SetTextMeasurerMaker([] { return std::make_shared<FakeMeasurer>(); });
    CheckTarget target;
    target.options.insert(QStringLiteral("program"), kPreviewFixtures + "/dialogs64.dll");
    target.options.insert(QStringLiteral("header"), kPreviewFixtures + "/dialogs.h");
    QStringList problems;
    const CheckSet set = CheckRegistry::standard().makeSet(target, &problems);
    SetTextMeasurerMaker({});
    for (int length = 9; length <= 16; ++length) {
        EntryMap entries;
        add(entries, "Delete all", QString(length, u'x'));
        std::vector<Finding> found;
        set.judgeEntry(*entries.lookup(u"Delete all"), found);
        QStringList at96;
        for (const Finding &finding : found) {
            if (finding.checkId() == "fit" && finding.message.endsWith("at 96 dpi"))
                at96.append(finding.message);
        }
        int misfits = 0;
        for (int dialog : {0, 1}) {
            preview->showEntries(dialog, entries);
            const PreviewedControl &shown = preview->dialog(dialog).controls()[size_t(controlOf(dialog, 1001))];
            misfits += shown.verdict.fits ? 0 : 1;
        }
        EXPECT_EQ(misfits, at96.size()) << length;
    }
}

TEST_F(ProgramPreviews, MenusLayOutTheirPopupsBeneathTheBar)
{
    MenuPreview &menu = preview->menu(0);
    const auto &items = menu.items();
    ASSERT_EQ(items.size(), 3u);  // the bar, File, Edit
    ASSERT_EQ(items[0].size(), 2u);
    // Fake font at 11 px: 13 px high; the bar is 19 px, its items padded 7 px.
    EXPECT_EQ(items[0][0].rect, QRect(0, 0, 4 * 6 + 14, 19));  // "File"
    EXPECT_EQ(items[0][1].rect.left(), 38);
    EXPECT_EQ(items[1][0].rect.top(), 19 + 3);
    const int editLeft = items[2][0].rect.left();
    EXPECT_GT(editLeft, items[1][0].rect.right());
    // A longer text widens its popup and moves the next one along: the
    // widest label was "Save As..." (45 px: a dot is one pixel), the new one
    // 22 letters (132 px); the hints are as wide as before.
    const int fileWidth = items[1][0].rect.width();
    EXPECT_TRUE(menu.setText(1, 0, QStringLiteral("&Alle Dateien speichern\tStrg+S")));
    EXPECT_EQ(items[1][0].rect.width(), fileWidth + 132 - 45);
    EXPECT_EQ(items[2][0].rect.left(), editLeft + 132 - 45);
    EXPECT_EQ(menu.describe(1, 0), QStringLiteral("Alle Dateien speichern Strg+S: menu item"));
    EXPECT_EQ(menu.describe(0, 0), QStringLiteral("File: menu"));
    const RasterImage image = menu.draw(1, 0);
    EXPECT_EQ(image.width(), menu.size().width());
    EXPECT_EQ(image.pixel(items[1][0].rect.left() - 1, items[1][0].rect.center().y()), kOutlineColour);
}

} // namespace
