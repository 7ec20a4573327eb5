// An element's attribute list is linked partly by position in memory and
// partly by the document's table of links; however attributes are set,
// removed and added again, it must read like a plain list.

#include "catalogue/catalogue_types.h"
#include "catalogue/xml_tree.h"
#include "catalogue/xml_writer.h"

#include <QList>
#include <QRandomGenerator>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

namespace {

QList<QPair<QString, QString>> attributesOf(const XmlElement *element)
{
    QList<QPair<QString, QString>> list;
    for (XmlAttribute *a = xml_element_next_attribute(element, nullptr); a; a = xml_element_next_attribute(element, a))
        list.append({xml_attribute_name(a), xml_attribute_value(a)});
    return list;
}

TEST(XmlAttributeList, ReadsLikeAPlainListUnderRandomChanges)
{
    QRandomGenerator random(3);
    const XmlDocumentPtr doc = makeDocumentPtr(xml_document_new());
    XmlElement *root = xml_document_set_root(doc.get(), QStringLiteral("r"));
    // Several elements, so that attributes added later land away from their
    // element's other attributes.
    std::vector<XmlElement *> elements;
    std::vector<QList<QPair<QString, QString>>> expected(6);
    for (int i = 0; i < 6; ++i)
        elements.push_back(xml_element_add_child(root, QStringLiteral("e")));
    const QStringList names = {"from", "to", "key", "IsTrans", "x"};
    for (int step = 0; step < 5000; ++step) {
        const size_t which = size_t(random.bounded(6));
        XmlElement *element = elements[which];
        auto &list = expected[which];
        const QString name = names[random.bounded(int(names.size()))];
        const QString value = QString::number(step);
        const auto at = std::find_if(list.begin(), list.end(), [&](const auto &p) { return p.first == name; });
        if (random.bounded(3) == 0) {
            xml_element_remove_attribute(element, name);
            if (at != list.end())
                list.erase(at);
        } else {
            xml_element_set_attribute_text(element, name, value);
            if (at != list.end())
                at->second = value;
            else
                list.append({name, value});
        }
        ASSERT_EQ(attributesOf(element), list) << step;
        ASSERT_EQ(element->attributes.count, list.size());
        ASSERT_EQ(element->attributes.first == nullptr, list.isEmpty());
        if (!list.isEmpty()) {
            ASSERT_EQ(xml_attribute_name(element->attributes.last), list.last().first);
        }
    }
    // The written form agrees too.
    const QByteArray bytes = xml_document_serialize(doc.get());
    for (size_t i = 0; i < elements.size(); ++i) {
        QByteArray line = "   <e";
        for (const auto &[name, value] : expected[i])
            line += ' ' + name.toUtf8() + "=\"" + value.toUtf8() + '"';
        EXPECT_TRUE(bytes.contains(line + "/>\r\n")) << bytes.toStdString();
    }
}

} // namespace
