#pragma once
// The expat reading that the TBX and phrase-book readers share: elements
// with their attributes and text, a DOCTYPE without declarations of its own
// (an internal subset, an entity declaration or an undeclared entity stops
// the reading), and the line of each element.

#include <QByteArray>
#include <QString>
#include <functional>

struct GlossaryXmlEvents {
    // An element starts: its name and the value of an attribute by name.
    std::function<void(const char *name, const std::function<QString(const char *)> &attribute, qsizetype line)> start;
    // An element ends, with the text it held (its children's text included).
    std::function<void(const char *name, const QString &text)> end;
};

// Reads the document; empty when it was read to its end, else why not
// ("line 3: an entity declaration is not accepted").
QString ReadGlossaryXml(const QByteArray &bytes, const GlossaryXmlEvents &events);
