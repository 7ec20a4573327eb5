#include "resparse/res_strings.h"

void ReadStringBlock(ByteView block, QStringList &texts)
{
    size_t at = 0;
    for (int i = 0; i < 16; ++i) {
        const auto length = block.u16(at);
        if (!length || !block.contains(at + 2, size_t(*length) * 2))
            return;
        at += 2;
        if (*length == 0)
            continue;
        QString text;
        text.reserve(*length);
        for (size_t k = 0; k < *length; ++k) {
            const char16_t unit = *block.u16(at + k * 2);
            if (unit == 0)
                break;
            text.append(QChar(unit));
        }
        texts.append(text);
        at += size_t(*length) * 2;
    }
}
