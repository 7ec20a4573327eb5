#include "merge/language_merge.h"

#include "merge/element_matching.h"
#include "merge/file_layout.h"

#include <QHash>
#include <QSet>

#include <algorithm>

#include <functional>

namespace {

enum Side { kBaseSide = 0, kOursSide = 1, kTheirsSide = 2 };

constexpr QByteArrayView kFromName("from"), kToName("to"), kKeyName("key");
constexpr QByteArrayView kContentName("(content)");  // an element's content, merged as if an attribute

bool sameValue(const QByteArrayView *a, const QByteArrayView *b) { return (!a && !b) || (a && b && *a == *b); }

std::optional<QString> textOf(const QByteArrayView *value)
{
    return value ? std::optional<QString>(QString::fromUtf8(*value)) : std::nullopt;
}

// Line ends of theirs' text made ours'.
QByteArray withLineEnds(QByteArrayView text, const QByteArray &from, const QByteArray &to)
{
    QByteArray out = text.toByteArray();
    if (from == to)
        return out;
    if (to == "\n")
        return out.replace("\r\n", "\n");
    QByteArray converted;
    converted.reserve(out.size() + out.size() / 16);
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (out[i] == '\n' && (i == 0 || out[i - 1] != '\r'))
            converted += '\r';
        converted += out[i];
    }
    return converted;
}

// The element's content: between its start tag and its end tag.
QByteArrayView contentOf(const LanguageFileLayout &layout, const LayoutElement &element)
{
    if (element.element.end == element.startTagEnd)
        return QByteArrayView();
    const QByteArrayView rest = layout.view({element.startTagEnd, element.element.end});
    return rest.first(rest.lastIndexOf('<'));
}

// One attribute of a merged element: its value comes from one version's
// attribute (for a translation reset to its new original, from that
// version's `from`).
struct Choice {
    QByteArrayView name;
    Side side;
    QByteArrayView sourceName;
    const QByteArrayView *value;  // null: the attribute is left out
};

struct AttributeConflict {
    QByteArrayView name;
    const QByteArrayView *base, *ours, *theirs;
};

MergeConflict conflictOf(const AttributeConflict &conflict, MergeConflict::Kind kind)
{
    MergeConflict c;
    c.kind = kind;
    c.attribute = QString::fromUtf8(conflict.name);
    c.base = textOf(conflict.base);
    c.ours = textOf(conflict.ours);
    c.theirs = textOf(conflict.theirs);
    return c;
}

// Merges attribute lists one attribute at a time: names in ours' order,
// then those only theirs has. `base` is null for an element both added.
void mergeAttributes(const LayoutAttributes *base, const LayoutAttributes &ours, const LayoutAttributes &theirs,
                     const std::vector<QByteArrayView> &skip, std::vector<Choice> &chosen,
                     std::vector<AttributeConflict> &conflicts)
{
    auto mergeOne = [&](QByteArrayView name) {
        for (const QByteArrayView skipped : skip) {
            if (skipped == name)
                return;
        }
        const QByteArrayView *b = base ? FindAttribute(*base, name) : nullptr;
        const QByteArrayView *o = FindAttribute(ours, name), *t = FindAttribute(theirs, name);
        if (sameValue(o, t) || sameValue(t, b)) {
            chosen.push_back({name, kOursSide, name, o});
        } else if (sameValue(o, b)) {
            chosen.push_back({name, kTheirsSide, name, t});
        } else {
            chosen.push_back({name, kOursSide, name, o});
            conflicts.push_back({name, b, o, t});
        }
    };
    for (const LayoutAttribute &attribute : ours)
        mergeOne(attribute.name);
    for (const LayoutAttribute &attribute : theirs) {
        if (!FindAttribute(ours, attribute.name))
            mergeOne(attribute.name);
    }
}

// Whether the chosen attributes are exactly a version's (order aside).
bool sameAttributes(const std::vector<Choice> &chosen, const LayoutAttributes &attributes)
{
    std::size_t present = 0;
    for (const Choice &choice : chosen) {
        if (!choice.value)
            continue;
        ++present;
        if (!sameValue(choice.value, FindAttribute(attributes, choice.name)))
            return false;
    }
    return present == attributes.size();
}

// A start tag with the chosen attributes, laid out as `tag` is: its
// attributes that stay keep their own text, changed values take the text
// they had in the version they come from, new attributes go after the last.
QByteArray rewriteTag(QByteArrayView tag, const std::vector<Choice> &chosen,
                      const std::function<QByteArray(const Choice &)> &rawValue, bool open)
{
    const TagShape shape = ShapeOfTag(tag);
    QByteArray out = tag.first(shape.nameEnd).toByteArray();
    auto choiceFor = [&chosen](QByteArrayView name) -> const Choice * {
        for (const Choice &choice : chosen) {
            if (choice.name == name)
                return &choice;
        }
        return nullptr;
    };
    for (const TagAttribute &attribute : shape.attributes) {
        const QByteArrayView name = tag.sliced(attribute.nameBegin, attribute.nameEnd - attribute.nameBegin);
        const Choice *choice = choiceFor(name);
        if (!choice || !choice->value)
            continue;
        out += tag.sliced(attribute.spaceBegin, attribute.valueBegin - attribute.spaceBegin);
        if (choice->side == kOursSide && choice->sourceName == choice->name)
            out += tag.sliced(attribute.valueBegin, attribute.valueEnd - attribute.valueBegin);
        else
            out += rawValue(*choice);
    }
    for (const Choice &choice : chosen) {
        if (!choice.value)
            continue;
        bool inTag = false;
        for (const TagAttribute &attribute : shape.attributes)
            inTag = inTag || tag.sliced(attribute.nameBegin, attribute.nameEnd - attribute.nameBegin) == choice.name;
        if (inTag)
            continue;
        out += ' ';
        out += choice.name;
        out += '=';
        out += rawValue(choice);
    }
    const qsizetype last = shape.attributes.empty() ? shape.nameEnd : shape.attributes.back().valueEnd;
    QByteArrayView rest = tag.sliced(last);
    if (open && shape.selfClosing) {
        // "/>" becomes ">": the element gets content.
        const qsizetype slash = rest.lastIndexOf('/');
        out += rest.first(slash);
        out += '>';
    } else {
        out += rest;
    }
    return out;
}

// The text of an attribute's value in a start tag, quotes included.
QByteArray rawValueIn(QByteArrayView tag, QByteArrayView name)
{
    const TagShape shape = ShapeOfTag(tag);
    for (const TagAttribute &attribute : shape.attributes) {
        if (tag.sliced(attribute.nameBegin, attribute.nameEnd - attribute.nameBegin) == name)
            return tag.sliced(attribute.valueBegin, attribute.valueEnd - attribute.valueBegin).toByteArray();
    }
    return QByteArrayLiteral("\"\"");
}

struct Version {
    LanguageFileLayout layout;
    bool missing = false;  // an empty base: no elements, no settings

    QByteArrayView startTag(int i) const
    {
        const LayoutElement &e = layout.elements[std::size_t(i)];
        return layout.view({e.element.begin, e.startTagEnd});
    }
};

// A conflict waiting for the merged file's element numbers.
struct PendingConflict {
    MergeConflict conflict;
    int placed = -1;         // the element in the merged file
    int baseElement = -1;  // a removal ours kept out: the base's element, for `after`
};

struct PendingStale {
    StaleTranslation stale;
    int placed = -1;
};

class LanguageMerger {
public:
    LanguageMerger(Version &base, Version &ours, Version &theirs) : m_base(base), m_ours(ours), m_theirs(theirs) {}

    LanguageMergeResult run();

private:
    const Version &version(Side side) const { return side == kBaseSide ? m_base : side == kOursSide ? m_ours : m_theirs; }
    QByteArray fromTheirs(QByteArrayView text) const
    {
        return withLineEnds(text, m_theirs.layout.lineEnd, m_ours.layout.lineEnd);
    }
    // A part of the file three versions have: ours' unless only theirs changed it.
    QByteArray mergedPart(QByteArrayView base, QByteArrayView ours, QByteArrayView theirs, bool mayTakeTheirs) const
    {
        if (mayTakeTheirs && ours == base && theirs != base)
            return fromTheirs(theirs);
        return ours.toByteArray();
    }
    bool unchanged(int b, const Version &side, int s) const;
    void emitElement(int b, int o, int t);
    void emitTheirsAddition(int t);
    QByteArray mergedRootTag(bool open);
    // The element of the merged file that an element ours removed would
    // follow: ours' element of the nearest base element before it that the
    // merged file holds, its place in the base; -1 for none.
    int afterOf(int baseElement) const
    {
        for (int b = baseElement - 1; b >= 0; --b) {
            const int o = m_oursMatch.bOfA[std::size_t(b)];
            const int placed = o == kUnmatched ? -1 : m_placedOfOurs[std::size_t(o)];
            if (placed >= 0)
                return placed;
        }
        return -1;
    }
    // Names each conflict's element by its place in the merged file.
    void locate(const LanguageFileLayout &merged, LanguageMergeResult &result);

    Version &m_base, &m_ours, &m_theirs;
    ElementMatching m_oursMatch, m_theirsMatch, m_added;  // base-ours, base-theirs, ours-theirs additions
    QByteArray m_out;
    int m_placed = 0;  // elements written so far
    std::vector<int> m_placedOfOurs;  // ours' elements' places in the merged file
    std::vector<PendingConflict> m_conflicts;
    std::vector<PendingStale> m_stale;
};

bool LanguageMerger::unchanged(int b, const Version &side, int s) const
{
    const LayoutElement &base = m_base.layout.elements[std::size_t(b)];
    const LayoutElement &other = side.layout.elements[std::size_t(s)];
    if (base.attributes.size() != other.attributes.size())
        return false;
    for (const LayoutAttribute &attribute : base.attributes) {
        if (!sameValue(&attribute.value, FindAttribute(other.attributes, attribute.name)))
            return false;
    }
    return contentOf(m_base.layout, base) == contentOf(side.layout, other);
}

// One element of ours (o), with its base (b) and theirs (t) where they are.
void LanguageMerger::emitElement(int b, int o, int t)
{
    const LayoutElement &ours = m_ours.layout.elements[std::size_t(o)];
    const LayoutElement *theirs = t >= 0 ? &m_theirs.layout.elements[std::size_t(t)] : nullptr;
    const LayoutElement *base = b >= 0 ? &m_base.layout.elements[std::size_t(b)] : nullptr;
    m_placedOfOurs[std::size_t(o)] = m_placed;
    if (!theirs) {
        m_out += m_ours.layout.view(ours.lead);
        m_out += m_ours.layout.view(ours.element);
        ++m_placed;
        return;
    }
    // What stands before it: ours', unless only theirs changed it.
    m_out += base ? mergedPart(m_base.layout.view(base->lead), m_ours.layout.view(ours.lead),
                               m_theirs.layout.view(theirs->lead), true)
                  : m_ours.layout.view(ours.lead).toByteArray();

    std::vector<Choice> chosen;
    std::vector<AttributeConflict> conflicts;
    std::vector<QByteArrayView> skip;
    // A new original on one side, a translation of the old one on the other.
    if (base) {
        const QByteArrayView *fromB = FindAttribute(base->attributes, kFromName);
        const QByteArrayView *fromO = FindAttribute(ours.attributes, kFromName);
        const QByteArrayView *fromT = FindAttribute(theirs->attributes, kFromName);
        const bool oursChanged = !sameValue(fromO, fromB), theirsChanged = !sameValue(fromT, fromB);
        if (fromB && oursChanged != theirsChanged) {
            const Side changer = oursChanged ? kOursSide : kTheirsSide;
            const LayoutElement &x = oursChanged ? ours : *theirs;
            const LayoutElement &y = oursChanged ? *theirs : ours;
            const QByteArrayView *fromX = oursChanged ? fromO : fromT;
            const QByteArrayView *toB = FindAttribute(base->attributes, kToName);
            const QByteArrayView *toX = FindAttribute(x.attributes, kToName), *toY = FindAttribute(y.attributes, kToName);
            const bool translated = !sameValue(toY, toB) && toY && !toY->isEmpty() && *toY != *fromB;
            if (fromX && translated) {
                chosen.push_back({kFromName, changer, kFromName, fromX});
                // The changing side's own new translation stays; else the new original.
                if (!sameValue(toX, toB))
                    chosen.push_back({kToName, changer, kToName, toX});
                else
                    chosen.push_back({kToName, changer, kFromName, fromX});
                skip = {kFromName, kToName};
                StaleTranslation stale;
                stale.oldOriginal = QString::fromUtf8(*fromB);
                stale.droppedTranslation = QString::fromUtf8(*toY);
                stale.changedByTheirs = changer == kTheirsSide;
                m_stale.push_back({stale, m_placed});
            }
        }
    }
    mergeAttributes(base ? &base->attributes : nullptr, ours.attributes, theirs->attributes, skip, chosen, conflicts);

    const QByteArrayView contentO = contentOf(m_ours.layout, ours), contentT = contentOf(m_theirs.layout, *theirs);
    const QByteArrayView contentB = base ? contentOf(m_base.layout, *base) : QByteArrayView();
    bool takeTheirsContent = false;
    if (contentO != contentT && !(base && contentT == contentB)) {
        if (base && contentO == contentB) {
            takeTheirsContent = true;
        } else {
            MergeConflict c;
            c.attribute = QString::fromUtf8(kContentName);
            if (base)
                c.base = QString::fromUtf8(contentB);
            c.ours = QString::fromUtf8(contentO);
            c.theirs = QString::fromUtf8(contentT);
            m_conflicts.push_back({std::move(c), m_placed, -1});
        }
    }
    for (const AttributeConflict &conflict : conflicts)
        m_conflicts.push_back({conflictOf(conflict, MergeConflict::Kind::Attribute), m_placed, -1});
    ++m_placed;

    const bool oursContent = !takeTheirsContent;
    if (oursContent && sameAttributes(chosen, ours.attributes)) {
        m_out += m_ours.layout.view(ours.element);
        return;
    }
    if ((takeTheirsContent || contentO == contentT) && sameAttributes(chosen, theirs->attributes)) {
        m_out += fromTheirs(m_theirs.layout.view(theirs->element));
        return;
    }
    const bool oursSelfClosing = ours.element.end == ours.startTagEnd;
    const QByteArrayView content = oursContent ? contentO : contentT;
    const bool open = oursSelfClosing && !content.isEmpty();
    m_out += rewriteTag(
        m_ours.startTag(o), chosen,
        [&](const Choice &choice) {
            return rawValueIn(version(choice.side).startTag(choice.side == kOursSide ? o : t), choice.sourceName);
        },
        open);
    if (open) {
        m_out += fromTheirs(content);
        m_out += "</L>";
    } else if (!oursSelfClosing) {
        m_out += oursContent ? content.toByteArray() : fromTheirs(content);
        const QByteArrayView rest = m_ours.layout.view({ours.startTagEnd, ours.element.end});
        m_out += rest.sliced(rest.lastIndexOf('<'));
    }
}

void LanguageMerger::emitTheirsAddition(int t)
{
    const LayoutElement &theirs = m_theirs.layout.elements[std::size_t(t)];
    m_out += fromTheirs(m_theirs.layout.view(theirs.lead));
    m_out += fromTheirs(m_theirs.layout.view(theirs.element));
    ++m_placed;
}

QByteArray LanguageMerger::mergedRootTag(bool open)
{
    const LayoutAttributes *base = m_base.missing ? nullptr : &m_base.layout.rootAttributes;
    std::vector<Choice> chosen;
    std::vector<AttributeConflict> conflicts;
    mergeAttributes(base, m_ours.layout.rootAttributes, m_theirs.layout.rootAttributes, {}, chosen, conflicts);
    for (const AttributeConflict &conflict : conflicts)
        m_conflicts.push_back({conflictOf(conflict, MergeConflict::Kind::Setting), -1, -1});
    const QByteArrayView oursTag = m_ours.layout.view(m_ours.layout.rootStart);
    if (!open && sameAttributes(chosen, m_ours.layout.rootAttributes))
        return oursTag.toByteArray();
    return rewriteTag(
        oursTag, chosen,
        [&](const Choice &choice) {
            const Version &from = version(choice.side);
            return rawValueIn(from.layout.view(from.layout.rootStart), choice.sourceName);
        },
        open);
}

LanguageMergeResult LanguageMerger::run()
{
    LanguageMergeResult result;
    const LanguageFileLayout &base = m_base.layout, &ours = m_ours.layout, &theirs = m_theirs.layout;
    const std::vector<int> baseAll = AllElements(base);
    m_oursMatch = MatchElements(base, baseAll, ours, AllElements(ours), true);
    m_theirsMatch = MatchElements(base, baseAll, theirs, AllElements(theirs), true);
    // Elements both sides added: matched with each other.
    std::vector<int> oursAdded, theirsAdded;
    for (std::size_t o = 0; o < ours.elements.size(); ++o) {
        if (m_oursMatch.aOfB[o] == kUnmatched)
            oursAdded.push_back(int(o));
    }
    for (std::size_t t = 0; t < theirs.elements.size(); ++t) {
        if (m_theirsMatch.aOfB[t] == kUnmatched)
            theirsAdded.push_back(int(t));
    }
    m_added = MatchElements(ours, oursAdded, theirs, theirsAdded, false);

    // Theirs' element standing for each ours element, and the ours element
    // each theirs addition follows (its nearest predecessor in theirs that
    // ours has too; none: it comes first).
    auto theirsOfOurs = [&](int o) {
        const int b = m_oursMatch.aOfB[std::size_t(o)];
        return b != kUnmatched ? m_theirsMatch.bOfA[std::size_t(b)] : m_added.bOfA[std::size_t(o)];
    };
    std::vector<std::vector<int>> additionsAfter(ours.elements.size() + 1);  // [0]: first; [o + 1]: after o
    int anchor = 0;
    for (std::size_t t = 0; t < theirs.elements.size(); ++t) {
        const int b = m_theirsMatch.aOfB[t];
        int o = b != kUnmatched ? m_oursMatch.bOfA[std::size_t(b)] : m_added.aOfB[t];
        if (o != kUnmatched)
            anchor = o + 1;
        else if (b == kUnmatched)
            additionsAfter[std::size_t(anchor)].push_back(int(t));
    }
    m_placedOfOurs.assign(ours.elements.size(), -1);

    const bool openRoot = ours.rootIsEmpty && (!theirs.elements.empty() || !ours.elements.empty());
    const bool sameEncoding = ours.encoding == theirs.encoding;
    m_out.reserve(ours.text.size() + theirs.text.size() / 8);
    m_out += mergedPart(base.view(base.prolog), ours.view(ours.prolog), theirs.view(theirs.prolog),
                        sameEncoding && !m_base.missing);
    m_out += mergedRootTag(openRoot);
    for (const int t : additionsAfter[0])
        emitTheirsAddition(t);
    for (std::size_t o = 0; o < ours.elements.size(); ++o) {
        const int b = m_oursMatch.aOfB[o];
        const int t = theirsOfOurs(int(o));
        if (b != kUnmatched && t == kUnmatched) {
            // Theirs removed it: gone, unless ours changed it.
            if (unchanged(b, m_ours, int(o))) {
                for (const int added : additionsAfter[o + 1])
                    emitTheirsAddition(added);
                continue;
            }
            MergeConflict c;
            c.kind = MergeConflict::Kind::Removal;
            c.base = QString::fromUtf8(base.view(base.elements[std::size_t(b)].element));
            c.ours = QString::fromUtf8(ours.view(ours.elements[o].element));
            m_conflicts.push_back({std::move(c), m_placed, -1});
        }
        emitElement(b, int(o), t);
        for (const int added : additionsAfter[o + 1])
            emitTheirsAddition(added);
    }
    // Elements ours removed: gone, unless theirs changed them.
    for (std::size_t b = 0; b < base.elements.size(); ++b) {
        const int t = m_theirsMatch.bOfA[b];
        if (m_oursMatch.bOfA[b] != kUnmatched || t == kUnmatched || unchanged(int(b), m_theirs, t))
            continue;
        MergeConflict c;
        c.kind = MergeConflict::Kind::Removal;
        c.inFile = false;
        c.base = QString::fromUtf8(base.view(base.elements[b].element));
        c.theirs = QString::fromUtf8(theirs.view(theirs.elements[std::size_t(t)].element));
        m_conflicts.push_back({std::move(c), -1, int(b)});
    }
    if (openRoot) {
        m_out += ours.lineEnd;
        m_out += "</Language>";
    } else {
        m_out += mergedPart(base.view(base.contentTail), ours.view(ours.contentTail), theirs.view(theirs.contentTail),
                            !m_base.missing);
        m_out += ours.view(ours.rootEnd);
    }
    m_out += mergedPart(base.view(base.epilogue), ours.view(ours.epilogue), theirs.view(theirs.epilogue),
                        !m_base.missing);
    result.bytes = EncodeFileText(m_out, ours.encoding);
    // The result must read as a language file with every element placed.
    LanguageFileLayout merged;
    QString reason;
    const bool locating = !m_conflicts.empty() || !m_stale.empty();
    if (!ReadLanguageFileLayout(result.bytes, &merged, &reason, locating)
        || merged.elements.size() != std::size_t(m_placed)) {
        result.error = QStringLiteral("the merged file would not be well-formed (%1)").arg(reason);
        return result;
    }
    if (locating)
        locate(merged, result);
    result.merged = true;
    return result;
}

void LanguageMerger::locate(const LanguageFileLayout &merged, LanguageMergeResult &result)
{
    // The merged file's elements the conflicts and reports name, located at once.
    std::vector<int> wanted;
    for (const PendingConflict &pending : m_conflicts) {
        if (pending.placed >= 0)
            wanted.push_back(pending.placed);
        if (pending.baseElement >= 0)
            wanted.push_back(afterOf(pending.baseElement));
    }
    for (const PendingStale &pending : m_stale)
        wanted.push_back(pending.placed);
    std::erase(wanted, -1);
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    const std::vector<EntryLocation> found = EntryLocations(merged, wanted);
    auto locationOf = [&](int placed) {
        return found[std::size_t(std::lower_bound(wanted.begin(), wanted.end(), placed) - wanted.begin())];
    };
    for (PendingConflict &pending : m_conflicts) {
        MergeConflict &c = pending.conflict;
        if (pending.placed >= 0)
            c.location = locationOf(pending.placed);
        if (pending.baseElement >= 0) {
            const int after = afterOf(pending.baseElement);
            if (after >= 0)
                c.after = locationOf(after);
            const int t = m_theirsMatch.bOfA[std::size_t(pending.baseElement)];
            const LayoutAttributes &attributes = m_theirs.layout.elements[std::size_t(t)].attributes;
            const QByteArrayView *from = FindAttribute(attributes, kFromName), *key = FindAttribute(attributes, kKeyName);
            c.location = {from ? QString::fromUtf8(*from) : QString(), key ? QString::fromUtf8(*key) : QString(), 0};
        }
        result.conflicts.push_back(std::move(c));
    }
    for (PendingStale &pending : m_stale) {
        pending.stale.location = locationOf(pending.placed);
        result.stale.push_back(std::move(pending.stale));
    }
}

} // namespace

std::vector<EntryLocation> EntryLocations(const LanguageFileLayout &layout, const std::vector<int> &wanted)
{
    auto viewOf = [&layout](int element, QByteArrayView name) {
        const QByteArrayView *value = FindAttribute(layout.elements[std::size_t(element)].attributes, name);
        return value ? *value : QByteArrayView();
    };
    auto identity = [&](int element) {
        QByteArray text = viewOf(element, kFromName).toByteArray();
        text += '\0';
        text += viewOf(element, kKeyName);
        return text;
    };
    // Only the elements whose original a wanted one has are counted.
    QSet<QByteArrayView> originals;
    QHash<QByteArray, int> counts;
    for (const int element : wanted) {
        originals.insert(viewOf(element, kFromName));
        counts.insert(identity(element), 0);
    }
    QHash<int, int> occurrence;
    for (int element = 0; element < int(layout.elements.size()); ++element) {
        if (!originals.contains(viewOf(element, kFromName)))
            continue;
        const auto count = counts.find(identity(element));
        if (count != counts.end())
            occurrence.insert(element, count.value()++);
    }
    std::vector<EntryLocation> locations;
    locations.reserve(wanted.size());
    for (const int element : wanted)
        locations.push_back({QString::fromUtf8(viewOf(element, kFromName)), QString::fromUtf8(viewOf(element, kKeyName)),
                             occurrence.value(element)});
    return locations;
}

std::vector<EntryLocation> EntryLocations(const LanguageFileLayout &layout)
{
    return EntryLocations(layout, AllElements(layout));
}

LanguageMergeResult MergeLanguageFiles(const QByteArray &base, const QByteArray &ours, const QByteArray &theirs)
{
    Version versions[3];
    const QByteArray *bytes[3] = {&base, &ours, &theirs};
    const char *names[3] = {"the base", "ours", "theirs"};
    LanguageMergeResult result;
    for (int i = 0; i < 3; ++i) {
        if (i == kBaseSide && base.isEmpty()) {
            versions[i].missing = true;
            continue;
        }
        QString reason;
        if (!ReadLanguageFileLayout(*bytes[i], &versions[i].layout, &reason)) {
            result.notLanguageFile = QStringLiteral("%1 is not a language file: %2").arg(QLatin1String(names[i]), reason);
            return result;
        }
    }
    if (versions[kBaseSide].missing)
        versions[kBaseSide].layout.lineEnd = versions[kOursSide].layout.lineEnd;
    LanguageMerger merger(versions[kBaseSide], versions[kOursSide], versions[kTheirsSide]);
    return merger.run();
}
