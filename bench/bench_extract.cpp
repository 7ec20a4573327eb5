// Extracts the texts of a large generated DLL (thousands of string blocks,
// menus and dialogs) and reports the time.
//
//   bench_extract [STRING_BLOCKS] [MENUS] [DIALOGS]   (default 4000 500 1000)

#include "resparse/res_extract.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

void put16(QByteArray &b, size_t at, unsigned v)
{
    b[qsizetype(at)] = char(v & 0xFF);
    b[qsizetype(at + 1)] = char((v >> 8) & 0xFF);
}
void put32(QByteArray &b, size_t at, unsigned v)
{
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}
void add16(QByteArray &b, unsigned v)
{
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}
void add32(QByteArray &b, unsigned v)
{
    add16(b, v & 0xFFFF);
    add16(b, v >> 16);
}
void addText(QByteArray &b, const QString &text)
{
    for (QChar c : text)
        add16(b, c.unicode());
    add16(b, 0);
}
void align4(QByteArray &b)
{
    while (b.size() % 4)
        b.append('\0');
}

QByteArray stringBlock(unsigned block)
{
    QByteArray b;
    for (unsigned i = 0; i < 16; ++i) {
        const QString text = QStringLiteral("String number %1 of the table").arg(block * 16 + i);
        add16(b, unsigned(text.size()));
        for (QChar c : text)
            add16(b, c.unicode());
    }
    return b;
}

QByteArray menu(unsigned id)
{
    QByteArray b;
    add16(b, 0);
    add16(b, 0);
    for (unsigned popup = 0; popup < 3; ++popup) {
        add16(b, 0x10 | (popup == 2 ? 0x80 : 0));
        addText(b, QStringLiteral("&Menu %1.%2").arg(id).arg(popup));
        for (unsigned item = 0; item < 5; ++item) {
            add16(b, item == 4 ? 0x80 : 0);
            add16(b, 1000 + item);
            addText(b, QStringLiteral("Item &%1 of menu %2\tCtrl+%1").arg(item).arg(id));
        }
    }
    return b;
}

QByteArray dialog(unsigned id)
{
    QByteArray b;
    add32(b, 0x80C80040);  // style with DS_SETFONT
    add32(b, 0);
    add16(b, 10);          // controls
    for (int i = 0; i < 4; ++i)
        add16(b, 10);
    add16(b, 0);           // no menu
    add16(b, 0);           // default class
    addText(b, QStringLiteral("Dialog &%1").arg(id));
    add16(b, 8);
    addText(b, QStringLiteral("MS Shell Dlg"));
    for (unsigned i = 0; i < 10; ++i) {
        align4(b);
        add32(b, 0x50000000);
        add32(b, 0);
        for (int k = 0; k < 4; ++k)
            add16(b, 10);
        add16(b, 2000 + i);
        add16(b, 0xFFFF);
        add16(b, i % 3 == 0 ? 0x81 : (i % 2 ? 0x80 : 0x82));  // edit, button, static
        addText(b, QStringLiteral("Control &%1 of dialog %2").arg(i).arg(id));
        add16(b, 0);
    }
    return b;
}

// A PE32+ image with one .rsrc section holding the given resources.
QByteArray buildImage(const std::map<unsigned, std::map<unsigned, QByteArray>> &resources)
{
    const unsigned sectionRva = 0x1000, sectionOffset = 0x200;
    // Resource section: directories, then data entries, then data.
    size_t directoryBytes = 16 + resources.size() * 8;
    size_t leafCount = 0;
    for (const auto &[type, items] : resources) {
        directoryBytes += 16 + items.size() * 8 + items.size() * (16 + 8);
        leafCount += items.size();
    }
    QByteArray rsrc(qsizetype(directoryBytes + leafCount * 16), '\0');
    size_t next = 16 + resources.size() * 8;  // after the root directory
    size_t dataEntry = directoryBytes;
    put16(rsrc, 14, unsigned(resources.size()));
    size_t typeIndex = 0;
    for (const auto &[type, items] : resources) {
        const size_t typeDir = next;
        put32(rsrc, 16 + typeIndex * 8, type);
        put32(rsrc, 16 + typeIndex * 8 + 4, unsigned(typeDir) | 0x80000000u);
        put16(rsrc, typeDir + 14, unsigned(items.size()));
        next += 16 + items.size() * 8;
        size_t itemIndex = 0;
        for (const auto &[id, data] : items) {
            const size_t languageDir = next;
            put32(rsrc, typeDir + 16 + itemIndex * 8, id);
            put32(rsrc, typeDir + 16 + itemIndex * 8 + 4, unsigned(languageDir) | 0x80000000u);
            put16(rsrc, languageDir + 14, 1);
            put32(rsrc, languageDir + 16, 0x409);
            put32(rsrc, languageDir + 20, unsigned(dataEntry));
            next += 24;
            align4(rsrc);
            put32(rsrc, dataEntry, sectionRva + unsigned(rsrc.size()));
            put32(rsrc, dataEntry + 4, unsigned(data.size()));
            rsrc.append(data);
            dataEntry += 16;
            ++itemIndex;
        }
        ++typeIndex;
    }
    while (rsrc.size() % 0x200)
        rsrc.append('\0');

    QByteArray image(sectionOffset, '\0');
    put16(image, 0, 0x5A4D);
    put32(image, 0x3C, 0x40);
    put32(image, 0x40, 0x00004550);
    put16(image, 0x44, 0x8664);  // machine
    put16(image, 0x46, 1);       // sections
    put16(image, 0x54, 240);     // optional header size
    put16(image, 0x58, 0x20B);   // PE32+
    put32(image, 0x58 + 108, 16);
    put32(image, 0x58 + 112 + 2 * 8, sectionRva);
    put32(image, 0x58 + 112 + 2 * 8 + 4, unsigned(rsrc.size()));
    const size_t section = 0x58 + 240;
    image.replace(qsizetype(section), 5, ".rsrc");
    put32(image, section + 8, unsigned(rsrc.size()));
    put32(image, section + 12, sectionRva);
    put32(image, section + 16, unsigned(rsrc.size()));
    put32(image, section + 20, sectionOffset);
    return image + rsrc;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const unsigned blocks = argc > 1 ? unsigned(std::atoi(argv[1])) : 4000;
    const unsigned menus = argc > 2 ? unsigned(std::atoi(argv[2])) : 500;
    const unsigned dialogs = argc > 3 ? unsigned(std::atoi(argv[3])) : 1000;

    std::map<unsigned, std::map<unsigned, QByteArray>> resources;
    QString header;
    for (unsigned m = 0; m < menus; ++m) {
        resources[4][10000 + m] = menu(10000 + m);
        header += QStringLiteral("#define IDR_MENU_%1 %2\n").arg(m).arg(10000 + m);
    }
    for (unsigned d = 0; d < dialogs; ++d) {
        resources[5][20000 + d] = dialog(20000 + d);
        header += QStringLiteral("#define IDD_DIALOG_%1 %2\n").arg(d).arg(20000 + d);
    }
    for (unsigned s = 1; s <= blocks; ++s) {
        resources[6][s] = stringBlock(s);
        header += QStringLiteral("#define IDS_STRING_%1 %2\n").arg(s).arg((s - 1) * 16);
    }
    const QByteArray image = buildImage(resources);

    QStringList texts;
    double best = 1e18;
    for (int run = 0; run < 3; ++run) {
        texts.clear();
        QElapsedTimer timer;
        timer.start();
        if (!ExtractFromImage(image, header, texts)) {
            std::fprintf(stderr, "the generated image was not read\n");
            return 1;
        }
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("image: %.1f MB, %u string blocks, %u menus, %u dialogs; header %.1f KB\n", image.size() / 1048576.0,
                blocks, menus, dialogs, header.size() / 1024.0);
    std::printf("ExtractFromImage: %8.1f ms, %lld texts\n", best, qlonglong(texts.size()));
    return 0;
}
