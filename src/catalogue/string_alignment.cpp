#include "catalogue/string_alignment.h"

#include "catalogue/file_text.h"
#include "catalogue/xml_tree.h"

#include <QSet>

namespace {

const QString kFromAttribute = QStringLiteral("from");
const QString kLanguageElement = QStringLiteral("Language");

// Originals are compared in file form, as Apply To compares them.
QString fileFormOriginal(const XmlElement *element)
{
    return EscapeForFile(xml_element_attribute_text(element, kFromAttribute));
}

void collectOriginals(const XmlElement *element, QSet<QString> &originals)
{
    for (; element; element = element->nextSibling) {
        if (element->name != kLanguageElement) {
            const QString original = fileFormOriginal(element);
            if (!original.isEmpty())
                originals.insert(original);
        }
        collectOriginals(element->firstChild, originals);
    }
}

// Walks source and target as Apply To pairs them: children by position, a
// target that runs out pairing with nothing.
QString firstOutOfStep(const XmlElement *source, const XmlElement *target, const QSet<QString> &targetOriginals)
{
    if (source->name != kLanguageElement) {
        const QString original = fileFormOriginal(source);
        if (!original.isEmpty() && fileFormOriginal(target) != original && targetOriginals.contains(original))
            return UnescapeFromFile(original);
    }
    const XmlElement *targetChild = target ? target->firstChild : nullptr;
    for (const XmlElement *child = source->firstChild; child; child = child->nextSibling) {
        const QString found = firstOutOfStep(child, targetChild, targetOriginals);
        if (!found.isNull())
            return found;
        targetChild = targetChild ? targetChild->nextSibling : nullptr;
    }
    return QString();
}

} // namespace

QString FirstOriginalOutOfStep(const XmlElement *sourceRoot, const XmlElement *targetRoot)
{
    if (!sourceRoot || !targetRoot)
        return QString();
    QSet<QString> targetOriginals;
    collectOriginals(targetRoot, targetOriginals);
    return firstOutOfStep(sourceRoot, targetRoot, targetOriginals);
}
