#include "catalogue/string_alignment.h"
#include "catalogue/xml_parser.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

class StringAlignment : public FolderTest {
protected:
    // The first original out of step between two files of the given lines.
    QString outOfStep(const QList<QByteArray> &source, const QList<QByteArray> &target)
    {
        XmlDocument *a = xml_parse_file(write("source.xml", languageFile("", source)));
        XmlDocument *b = xml_parse_file(write("target.xml", languageFile("", target)));
        EXPECT_TRUE(a && b);
        const QString found = a && b ? FirstOriginalOutOfStep(a->root, b->root) : QString();
        xml_document_free(a);
        xml_document_free(b);
        return found;
    }
};

TEST_F(StringAlignment, InStepTargetsGiveNothing)
{
    // The same strings, a shorter target (its tail is appended), other
    // translations and keys, and strings the target does not have at all.
    EXPECT_TRUE(outOfStep({"<L from=\"A\"/>", "<L from=\"B\"/>", "<L from=\"C\"/>"},
                          {"<L from=\"A\" to=\"a\"/>", "<L from=\"B\" key=\"K\"/>"})
                    .isNull());
    EXPECT_TRUE(outOfStep({"<L from=\"A\"/>", "<L from=\"New\"/>"}, {"<L from=\"A\"/>", "<L from=\"Old\"/>"}).isNull());
    EXPECT_TRUE(outOfStep({}, {"<L from=\"A\"/>"}).isNull());
}

TEST_F(StringAlignment, NamesTheFirstOriginalFoundElsewhere)
{
    EXPECT_EQ(outOfStep({"<L from=\"A\"/>", "<L from=\"B\"/>", "<L from=\"C\"/>"},
                        {"<L from=\"A\"/>", "<L from=\"C\"/>", "<L from=\"B\"/>"}),
              u"B");
    // A source longer than the target whose extra string the target holds
    // earlier: it would be appended a second time.
    EXPECT_EQ(outOfStep({"<L from=\"X\"/>", "<L from=\"Y &amp; /nZ\"/>"}, {"<L from=\"Y &amp; /nZ\"/>"}),
              QStringLiteral("Y & \\nZ"));
    // Nested elements are paired as Apply To pairs them.
    EXPECT_EQ(outOfStep({"<G><L from=\"A\"/><L from=\"B\"/></G>"}, {"<G><L from=\"B\"/><L from=\"A\"/></G>"}), u"A");
}

} // namespace
