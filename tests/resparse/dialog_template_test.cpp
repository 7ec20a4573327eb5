// Dialog and menu templates read whole from the dialog-layout test DLL
// (fixtures/dialogs.rc), and malformed templates giving no geometry.

#include "resparse/pe_file.h"
#include "resparse/program_resources.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

const QString kDialogFixtures = QStringLiteral(RENDARO_TEST_DATA "/fixtures");

ProgramResources readFixture()
{
    ProgramResources resources;
    EXPECT_TRUE(ReadProgramImage(readBytes(kDialogFixtures + "/dialogs64.dll"), resources));
    return resources;
}

const ProgramDialog &dialogOf(const ProgramResources &resources, std::uint32_t id)
{
    for (const ProgramDialog &dialog : resources.dialogs) {
        if (dialog.id == id)
            return dialog;
    }
    ADD_FAILURE() << "no dialog " << id;
    static ProgramDialog none;
    return none;
}

const DialogControl *controlOf(const DialogTemplate &dialog, std::int32_t id)
{
    for (const DialogControl &control : dialog.controls) {
        if (control.id == id)
            return &control;
    }
    return nullptr;
}

// The raw template bytes of a dialog, to break on purpose.
QByteArray dialogBytes(std::uint32_t id)
{
    static const QByteArray image = readBytes(kDialogFixtures + "/dialogs64.dll");
    PeFile pe;
    EXPECT_TRUE(pe.parse(ByteView(reinterpret_cast<const unsigned char *>(image.constData()), size_t(image.size()))));
    for (const PeResource &resource : pe.resources()) {
        if (resource.type == 5 && resource.id == id)
            return QByteArray(reinterpret_cast<const char *>(resource.data.data()), qsizetype(resource.data.size()));
    }
    ADD_FAILURE() << "no dialog " << id;
    return {};
}

std::optional<DialogTemplate> readBytesAsDialog(const QByteArray &bytes)
{
    return ReadDialogTemplate(ByteView(reinterpret_cast<const unsigned char *>(bytes.constData()), size_t(bytes.size())));
}

TEST(DialogTemplate, ReadsBothKindsWithFontsRectanglesAndTextLayout)
{
    const ProgramResources resources = readFixture();
    ASSERT_EQ(resources.dialogs.size(), 3u);
    EXPECT_EQ(resources.malformed, 0);

    const DialogTemplate &options = dialogOf(resources, 101).dialog;
    EXPECT_TRUE(options.extended);
    EXPECT_TRUE(options.hasFont);
    EXPECT_TRUE(options.shellFont);
    EXPECT_EQ(options.face, "MS Shell Dlg");
    EXPECT_EQ(options.pointSize, 8);
    EXPECT_EQ(options.weight, 400);
    EXPECT_EQ(options.width, 220);
    EXPECT_EQ(options.height, 140);
    EXPECT_EQ(options.caption, "Options");
    ASSERT_EQ(options.controls.size(), 17u);

    const DialogControl *deleteAll = controlOf(options, 1001);
    ASSERT_TRUE(deleteAll);
    EXPECT_EQ(deleteAll->classAtom, 0x80);
    EXPECT_EQ(deleteAll->kind, ControlKind::PushButton);
    EXPECT_EQ(deleteAll->text, "&Delete all");
    EXPECT_EQ(deleteAll->x, 7);
    EXPECT_EQ(deleteAll->y, 7);
    EXPECT_EQ(deleteAll->width, 50);
    EXPECT_EQ(deleteAll->height, 14);
    EXPECT_EQ(deleteAll->align, TextAlign::Center);
    EXPECT_FALSE(deleteAll->multiLine);
    EXPECT_EQ(controlOf(options, 1)->kind, ControlKind::PushButton);  // DEFPUSHBUTTON
    EXPECT_EQ(controlOf(options, 1002)->kind, ControlKind::CheckBox);
    EXPECT_EQ(controlOf(options, 1003)->kind, ControlKind::RadioButton);  // automatic
    EXPECT_EQ(controlOf(options, 1004)->kind, ControlKind::RadioButton);
    EXPECT_EQ(controlOf(options, 1005)->kind, ControlKind::GroupBox);
    EXPECT_EQ(controlOf(options, 1013)->kind, ControlKind::PushButton);  // a push-like check box

    const DialogControl *note = controlOf(options, 1006);
    EXPECT_EQ(note->kind, ControlKind::Static);
    EXPECT_TRUE(note->multiLine);  // a left static wraps
    EXPECT_EQ(note->align, TextAlign::Left);
    EXPECT_EQ(controlOf(options, 1007)->align, TextAlign::Center);
    EXPECT_EQ(controlOf(options, 1008)->align, TextAlign::Right);
    EXPECT_FALSE(controlOf(options, 1012)->multiLine);  // SS_SIMPLE
    const DialogControl *rate = controlOf(options, 1009);
    EXPECT_TRUE(rate->noPrefix);
    EXPECT_EQ(rate->className.toLower(), "static");  // a class given by name
    EXPECT_EQ(rate->classAtom, 0);
    EXPECT_EQ(rate->kind, ControlKind::Static);
    EXPECT_TRUE(controlOf(options, 1010)->multiLine);  // BS_MULTILINE
    EXPECT_EQ(controlOf(options, 1011)->classAtom, 0x81);  // the edit field shows no text of ours
    EXPECT_EQ(controlOf(options, 1011)->kind, ControlKind::Other);
    // The unnamed static has the id -1; the icon's title is a resource number.
    int unnamed = 0;
    for (const DialogControl &control : options.controls) {
        if (control.id == -1) {
            ++unnamed;
            if (control.textIsResource) {
                EXPECT_EQ(control.kind, ControlKind::Other);
            }
        }
    }
    EXPECT_EQ(unnamed, 2);

    const DialogTemplate &classic = dialogOf(resources, 102).dialog;
    EXPECT_FALSE(classic.extended);
    EXPECT_FALSE(classic.shellFont);
    EXPECT_EQ(classic.face, "MS Shell Dlg");
    EXPECT_EQ(classic.pointSize, 8);
    ASSERT_EQ(classic.controls.size(), 3u);
    EXPECT_EQ(controlOf(classic, 1001)->width, 60);
    EXPECT_EQ(controlOf(classic, 1002)->kind, ControlKind::CheckBox);

    const DialogTemplate &missing = dialogOf(resources, 103).dialog;
    EXPECT_EQ(missing.weight, 700);
    EXPECT_TRUE(missing.italic);
    EXPECT_EQ(missing.face, "No Such Face Anywhere");
}

TEST(DialogTemplate, MenusGivePopupsWithTheirItemsWithoutSeparators)
{
    const ProgramResources resources = readFixture();
    ASSERT_EQ(resources.menus.size(), 1u);
    const MenuTemplate &menu = resources.menus[0].menu;
    ASSERT_EQ(menu.popups.size(), 3u);
    ASSERT_EQ(menu.popups[0].size(), 2u);
    EXPECT_EQ(menu.popups[0][0].text, "&File");
    EXPECT_TRUE(menu.popups[0][0].popup);
    const std::vector<MenuItem> &file = menu.popups[size_t(menu.popups[0][0].submenu)];
    ASSERT_EQ(file.size(), 3u);
    EXPECT_EQ(file[0].text, "&Save\tCtrl+S");
    EXPECT_EQ(file[0].id, 2001u);
    EXPECT_EQ(file[1].text, "Save &As...");
    EXPECT_EQ(file[2].text, "E&xit");
    EXPECT_EQ(menu.popups[size_t(menu.popups[0][1].submenu)][0].text, "&Copy");
}

TEST(DialogTemplate, MalformedTemplatesGiveNoGeometry)
{
    for (std::uint32_t id : {101u, 102u}) {
        const QByteArray whole = dialogBytes(id);
        ASSERT_TRUE(readBytesAsDialog(whole)) << id;
        // Truncated anywhere before the last control's end.
        const DialogTemplate full = *readBytesAsDialog(whole);
        for (qsizetype size = 0; size < whole.size(); ++size) {
            const auto read = readBytesAsDialog(whole.left(size));
            if (read) {
                EXPECT_EQ(read->controls.size(), full.controls.size()) << id << " at " << size;
            }
        }
        EXPECT_FALSE(readBytesAsDialog(whole.left(whole.size() - 3))) << id;
        // A count of controls beyond the data.
        QByteArray counted = whole;
        const qsizetype countAt = full.extended ? 16 : 8;
        counted[countAt] = char(full.controls.size() + 1);
        EXPECT_FALSE(readBytesAsDialog(counted)) << id;
        counted[countAt] = char(0xFF);
        counted[countAt + 1] = char(0xFF);
        EXPECT_FALSE(readBytesAsDialog(counted)) << id;
    }
    // A font name without its end: a DS_SETFONT template with no controls.
    QByteArray fontOnly("\x40\x00\x00\x00" "\x00\x00\x00\x00" "\x00\x00" "\x00\x00\x00\x00\x32\x00\x14\x00"
                        "\x00\x00" "\x00\x00" "\x00\x00" "\x08\x00", 26);
    const QByteArray face = QByteArray("T\0a\0h\0o\0m\0a\0", 12);
    EXPECT_FALSE(readBytesAsDialog(fontOnly + face));
    const auto withEnd = readBytesAsDialog(fontOnly + face + QByteArray(2, '\0'));
    ASSERT_TRUE(withEnd);
    EXPECT_EQ(withEnd->face, "Tahoma");
    EXPECT_EQ(withEnd->width, 50);
    EXPECT_EQ(withEnd->height, 20);
    // Menus: a popup whose items end early.
    const QByteArray menu("\x00\x00\x00\x00" "\x90\x00" "F\0\0\0" "\x80\x00\x01\x00" "X\0", 16);
    const QByteArray ended = menu + QByteArray(2, '\0');
    EXPECT_FALSE(ReadMenuTemplate(ByteView(reinterpret_cast<const unsigned char *>(menu.constData()), 16)));
    const auto read = ReadMenuTemplate(ByteView(reinterpret_cast<const unsigned char *>(ended.constData()), 18));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->popups.size(), 2u);
}

TEST(DialogTemplate, HeaderNamesNumbersPreferringTheirKind)
{
    const ResourceNames names(QString::fromLatin1(readBytes(kDialogFixtures + "/dialogs.h"))
                              + "\n#define IDC_OTHER 101\n#  define ID_HEX (0x7D1)\n");
    EXPECT_EQ(names.dialog(101), "IDD_OPTIONS");
    EXPECT_EQ(names.control(101), "IDC_OTHER");
    EXPECT_EQ(names.control(1001), "IDC_DELETE_ALL");
    EXPECT_EQ(names.control(2001), "ID_FILE_SAVE");  // the first of two names
    EXPECT_EQ(names.control(12345), "12345");
    EXPECT_EQ(names.control(std::uint32_t(-1)), "-1");
}

} // namespace
