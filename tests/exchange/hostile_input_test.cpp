// XLIFF that tries to make the reader load or expand entities is refused
// before any of it is read.

#include "exchange_fixture.h"

namespace {

const QString kDoctypeRefused = QStringLiteral(
    "a DOCTYPE declaration is not accepted (XLIFF needs none, and its entities are never read)");

QByteArray withDoctype(const QByteArray &doctype, const QByteArray &source)
{
    return "<?xml version=\"1.0\"?>\n" + doctype
        + "\n<xliff version=\"1.2\"><file original=\"DEU.xml\"><body><trans-unit id=\"1\"><source>Open</source>"
          "<target>"
        + source + "</target></trans-unit></body></file></xliff>\n";
}

} // namespace

class HostileXliff : public ExchangeTest {};

TEST_F(HostileXliff, BillionLaughsIsRefusedWithoutExpanding)
{
    QByteArray doctype = "<!DOCTYPE xliff [\n <!ENTITY lol0 \"lol\">\n";
    for (int i = 1; i < 10; ++i) {
        doctype += " <!ENTITY lol" + QByteArray::number(i) + " \"";
        for (int k = 0; k < 10; ++k)
            doctype += "&lol" + QByteArray::number(i - 1) + ";";
        doctype += "\">\n";
    }
    doctype += "]>";
    const ExchangeDocument read = ParseXliff(withDoctype(doctype, "&lol9;"));
    EXPECT_EQ(read.error, QStringLiteral("line 2: ") + kDoctypeRefused);
    EXPECT_TRUE(read.sections.empty());
}

TEST_F(HostileXliff, ExternalEntitiesAndDtdsAreNeverLoaded)
{
    const QString secret = write(QStringLiteral("secret.txt"), "the secret");
    const QByteArray url = QUrl::fromLocalFile(secret).toEncoded();
    for (const QByteArray &doctype :
         {"<!DOCTYPE xliff [<!ENTITY e SYSTEM \"" + url + "\">]>", "<!DOCTYPE xliff SYSTEM \"" + url + "\">",
          "<!DOCTYPE xliff [<!ENTITY % p SYSTEM \"" + url + "\"> %p;]>"}) {
        const ExchangeDocument read = ParseXliff(withDoctype(doctype, "&e;"));
        EXPECT_EQ(read.error, QStringLiteral("line 2: ") + kDoctypeRefused) << doctype.toStdString();
        EXPECT_TRUE(read.sections.empty());
    }
    // Without a DOCTYPE, an entity reference is simply undefined.
    EXPECT_EQ(ParseXliff(withDoctype("", "&e;")).error, QStringLiteral("line 3: undefined entity"));
}

TEST_F(HostileXliff, AFileThatFailsChangesNothing)
{
    const int id = load(QStringLiteral("DEU.xml"), {R"(<L from="Open" to="Open"/>)"});
    const QString path = write(QStringLiteral("in.xlf"), withDoctype("<!DOCTYPE x [<!ENTITY a \"b\">]>", "Öffnen"));
    const ExchangeDocument read = ReadExchangeFile(path, ExchangeFormat::Xliff);
    EXPECT_FALSE(read.ok());
    // No units, so nothing to plan or apply.
    EXPECT_TRUE(UnitsForFile(read, QStringLiteral("DEU.xml")).empty());
    EXPECT_EQ(translation(id, QStringLiteral("Open")), QStringLiteral("Open"));
    // A folder or a device is refused without being read.
    EXPECT_FALSE(ReadExchangeFile(folder.root(), ExchangeFormat::Xliff).ok());
    EXPECT_FALSE(ReadExchangeFile(QStringLiteral("/dev/zero"), ExchangeFormat::Po).ok());
}
