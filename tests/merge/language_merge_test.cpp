// The merge by entry on random edits: with one side unchanged the result is
// the other side, byte for byte; with both changed, every change of either
// side is in the result. Then what the merge does with elements' content.

#include "merge/file_layout.h"
#include "merge/language_merge.h"
#include "test_support.h"

#include <QRandomGenerator>

namespace {

struct Element {
    QByteArray from, to, key;
    bool notTranslatable = false;
};

QByteArray fileOf(const std::vector<Element> &elements)
{
    QList<QByteArray> lines;
    for (const Element &e : elements) {
        QByteArray line = "<L from=\"" + e.from + "\" to=\"" + e.to + '"';
        if (!e.key.isEmpty())
            line += " key=\"" + e.key + '"';
        if (e.notTranslatable)
            line += " IsTrans=\"false\"";
        lines << line + "/>";
    }
    return languageFile("AllowLength=\"2.000000\" CodeType=\"CPlus2\"", lines);
}

// A random file: short originals from a small vocabulary (so that some
// repeat), keys mostly unique, some missing.
std::vector<Element> randomFile(QRandomGenerator &random, int size)
{
    static const char *const words[] = {"Open", "Save", "Close", "Print", "Help", "Edit", "View", "Undo"};
    std::vector<Element> elements;
    for (int i = 0; i < size; ++i) {
        Element e;
        e.from = QByteArray(words[random.bounded(8)]) + ' ' + QByteArray::number(random.bounded(std::max(1, size / 3)));
        e.to = random.bounded(3) == 0 ? e.from + " (de)" : e.from;
        if (random.bounded(6) != 0)
            e.key = "IDS_" + QByteArray::number(i);
        elements.push_back(e);
    }
    return elements;
}

// Random edits of one side: translations, new originals, keys, marks,
// removals and additions, each entry at most once.
std::vector<Element> edited(QRandomGenerator &random, std::vector<Element> elements, const QByteArray &side)
{
    std::vector<Element> out;
    int added = 0;
    for (Element e : elements) {
        switch (random.bounded(12)) {
        case 0:
            e.to = e.from + " [" + side + ']';
            break;
        case 1:
            e.from = e.from + " v2" + side;
            e.to = e.from;
            break;
        case 2:
            if (!e.key.isEmpty())
                e.key += side;
            break;
        case 3:
            e.notTranslatable = !e.notTranslatable;
            break;
        case 4:
            continue;  // removed
        case 5:
            out.push_back({"Added " + side + QByteArray::number(++added), "x", "IDS_NEW_" + side + QByteArray::number(added)});
            break;
        default:
            break;
        }
        out.push_back(e);
    }
    return out;
}

// The entries of a file as text lines, in file order.
QStringList entriesOf(const QByteArray &bytes)
{
    LanguageFileLayout layout;
    QString reason;
    EXPECT_TRUE(ReadLanguageFileLayout(bytes, &layout, &reason)) << reason.toStdString();
    QStringList out;
    for (const LayoutElement &element : layout.elements) {
        QStringList attributes;
        for (const LayoutAttribute &a : element.attributes)
            attributes << QString::fromUtf8(a.name) + u'=' + QString::fromUtf8(a.value);
        attributes.sort();
        out << attributes.join(u' ');
    }
    return out;
}

} // namespace

TEST(LanguageMerge, OneSideUnchangedGivesTheOtherByteForByte)
{
    QRandomGenerator random(29);
    for (int round = 0; round < 400; ++round) {
        const std::vector<Element> base = randomFile(random, 1 + random.bounded(30));
        const QByteArray baseBytes = fileOf(base);
        const QByteArray changed = fileOf(edited(random, base, "o"));
        const LanguageMergeResult oursOnly = MergeLanguageFiles(baseBytes, changed, baseBytes);
        ASSERT_TRUE(oursOnly.merged) << oursOnly.error.toStdString();
        EXPECT_EQ(QString::fromUtf8(oursOnly.bytes), QString::fromUtf8(changed)) << "round " << round;
        EXPECT_TRUE(oursOnly.conflicts.empty());
        const LanguageMergeResult theirsOnly = MergeLanguageFiles(baseBytes, baseBytes, changed);
        ASSERT_TRUE(theirsOnly.merged) << theirsOnly.error.toStdString();
        EXPECT_EQ(QString::fromUtf8(theirsOnly.bytes), QString::fromUtf8(changed))
            << "round " << round << "\nbase:\n" << baseBytes.toStdString();
        EXPECT_TRUE(theirsOnly.conflicts.empty());
        EXPECT_TRUE(theirsOnly.stale.empty());
    }
}

TEST(LanguageMerge, EveryChangeOfEitherSideArrives)
{
    // Ours translates and theirs adds and removes: different entries, no conflict.
    QRandomGenerator random(7);
    for (int round = 0; round < 400; ++round) {
        std::vector<Element> base = randomFile(random, 2 + random.bounded(30));
        for (std::size_t i = 0; i < base.size(); ++i)
            base[i].key = "IDS_" + QByteArray::number(int(i));
        std::vector<Element> ours = base, theirs;
        std::vector<Element> expected;
        for (std::size_t i = 0; i < base.size(); ++i) {
            Element e = base[i];
            const bool translate = i % 2 == 0 && random.bounded(2) == 0;
            if (translate)
                ours[i].to = e.to = e.from + " (ours)";
            const int fate = i % 2 == 1 ? random.bounded(4) : 3;
            if (fate == 0)
                continue;  // theirs removes it
            if (fate == 1)
                e.key += "T";
            theirs.push_back(fate == 1 ? Element{base[i].from, base[i].to, e.key, false} : base[i]);
            expected.push_back(e);
            if (fate == 2) {
                const Element added{"New " + QByteArray::number(int(i)), "Neu", "IDS_ADDED_" + QByteArray::number(int(i))};
                theirs.push_back(added);
                expected.push_back(added);
            }
        }
        const LanguageMergeResult merged = MergeLanguageFiles(fileOf(base), fileOf(ours), fileOf(theirs));
        ASSERT_TRUE(merged.merged) << merged.error.toStdString();
        EXPECT_TRUE(merged.conflicts.empty()) << "round " << round;
        EXPECT_EQ(entriesOf(merged.bytes), entriesOf(fileOf(expected))) << "round " << round;
    }
}

TEST(LanguageMerge, ContentOfElementsIsMergedLikeAnAttribute)
{
    const QByteArray root = "CodeType=\"QT\"";
    const QByteArray base = languageFile(root, {"<L from=\"a\" to=\"a\">old</L>", "<L from=\"b\" to=\"b\"/>"});
    const QByteArray ours = languageFile(root, {"<L from=\"a\" to=\"A\">old</L>", "<L from=\"b\" to=\"b\"/>"});
    const QByteArray theirs = languageFile(root, {"<L from=\"a\" to=\"a\">new</L>", "<L from=\"b\" to=\"b\">x</L>"});
    const LanguageMergeResult merged = MergeLanguageFiles(base, ours, theirs);
    ASSERT_TRUE(merged.merged) << merged.error.toStdString();
    EXPECT_EQ(merged.bytes, languageFile(root, {"<L from=\"a\" to=\"A\">new</L>", "<L from=\"b\" to=\"b\">x</L>"}));
    // Different content on both sides: ours' stays, and it is a conflict.
    const QByteArray other = languageFile(root, {"<L from=\"a\" to=\"a\">mine</L>", "<L from=\"b\" to=\"b\"/>"});
    const LanguageMergeResult conflicting = MergeLanguageFiles(base, other, theirs);
    ASSERT_TRUE(conflicting.merged);
    ASSERT_EQ(conflicting.conflicts.size(), 1u);
    EXPECT_EQ(conflicting.conflicts[0].attribute, "(content)");
    EXPECT_EQ(conflicting.conflicts[0].ours, "mine");
    EXPECT_EQ(conflicting.conflicts[0].theirs, "new");
    EXPECT_TRUE(conflicting.bytes.contains("<L from=\"a\" to=\"a\">mine</L>"));
}

TEST(LanguageMerge, AnEmptyRootTakesTheOtherSidesEntries)
{
    const QByteArray empty = "<?xml version=\"1.0\"?>\n<Language CodeType=\"QT\"/>\n";
    const QByteArray theirs = "<?xml version=\"1.0\"?>\n<Language CodeType=\"QT\">\n  <L from=\"a\" to=\"b\"/>\n</Language>\n";
    const LanguageMergeResult merged = MergeLanguageFiles(empty, empty, theirs);
    ASSERT_TRUE(merged.merged) << merged.error.toStdString();
    EXPECT_EQ(merged.bytes, "<?xml version=\"1.0\"?>\n<Language CodeType=\"QT\">\n  <L from=\"a\" to=\"b\"/>\n</Language>\n");
    const LanguageMergeResult notOne = MergeLanguageFiles(empty, "<Other/>", empty);
    EXPECT_FALSE(notOne.merged);
    EXPECT_EQ(notOne.notLanguageFile, "ours is not a language file: the root element is <Other>, not <Language>");
}
