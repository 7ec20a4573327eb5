#include "exchange/display_form.h"

#include <algorithm>

QString ToDisplayForm(const QString &memory)
{
    qsizetype at = memory.indexOf(u'\\');
    if (at < 0)
        return memory;
    QString out;
    out.reserve(memory.size());
    qsizetype runStart = 0;
    // Left to right, as the file form reads it: in "\\n" the first backslash
    // stays and the second starts the escape.
    for (; at >= 0 && at + 1 < memory.size(); at = memory.indexOf(u'\\', at + 1)) {
        const QChar next = memory[at + 1];
        if (next != u'n' && next != u'r')
            continue;
        out.append(QStringView(memory).mid(runStart, at - runStart));
        out.append(next == u'n' ? u'\n' : u'\r');
        runStart = at + 2;
        ++at;
    }
    if (runStart == 0)
        return memory;
    out.append(QStringView(memory).mid(runStart));
    return out;
}

QString FromDisplayForm(const QString &display)
{
    auto isBreak = [](QChar c) { return c == u'\n' || c == u'\r'; };
    const auto first = std::find_if(display.begin(), display.end(), isBreak);
    if (first == display.end())
        return display;
    QString out;
    out.reserve(display.size() + 8);
    for (const QChar c : display) {
        if (c == u'\n')
            out.append(u"\\n");
        else if (c == u'\r')
            out.append(u"\\r");
        else
            out.append(c);
    }
    return out;
}
