#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>

#include <QTemporaryDir>

#include "support/TestHelpers.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace Qt::StringLiterals;
using orvane::XmlDocument;
using orvane::XmlNameSet;
using orvane::XmlNode;
using orvane::test::errorNumber;
using orvane::test::parsedXml;

TEST(XmlDocument, NamesValuesKindsAndChildren)
{
    // Text made only of white space is dropped.
    const XmlDocument doc =
        parsedXml(u"<Root>\n  <A>text</A><B><![CDATA[x<y]]></B>\n\t<C/><D> x </D>\n</Root>\n"_s);
    const XmlNode root = doc.child(0);
    EXPECT_TRUE(root.nodeValue().isNull());
    EXPECT_EQ(root.child(0).firstChild().nodeType(), orvane::xmlkind::Text);
    EXPECT_EQ(root.child(1).firstChild().nodeName(), u"#cdata-section");
    EXPECT_EQ(root.text(), u"textx<y x ");
    ASSERT_EQ(root.childNodes().length(), 4);
    EXPECT_TRUE(root.child(4).isNull());
    // Sequential, backwards and repeated indexes all give the same nodes.
    const QString order = u"ABCD"_s;
    for (int i : {0, 1, 2, 3, 3, 1, 2, 0, 3})
        EXPECT_EQ(root.child(i).nodeName(), order.at(i)) << i;
    EXPECT_EQ(errorNumber([&] { XmlNode().appendChild(root); }), orvane::err::ObjectVariableNotSet);
}

TEST(XmlDocument, BadTextLeavesAnEmptyDocumentNulCutsAndEntitiesStayText)
{
    XmlDocument doc = parsedXml(u"<kept><x>1</x></kept>"_s);
    const XmlNode earlier = doc.documentElement();
    for (const QString &bad :
         {u"<a>"_s, u"<a></b>"_s, u""_s, u"<a/><b/>"_s, u"text<a/>"_s, u"<a/>tail"_s,
          u"<a x='1' x='2'/>"_s, QString(u"<a>x"_s + QChar(u'\0') + u"y</a>"_s)}) {
        EXPECT_FALSE(doc.loadXml(bad)) << bad.toStdString();
        EXPECT_EQ(doc.xml(), u"") << bad.toStdString();
        EXPECT_FALSE(doc.parseError().isEmpty());
    }
    // A node taken before the reload still reads its own tree, up to its root.
    EXPECT_EQ(earlier.child(0).parentNode().documentElement().xml(), u"<kept><x>1</x></kept>");

    EXPECT_EQ(
        parsedXml(u"<!DOCTYPE a [<!ENTITY e \"boom\">]><a>&e;</a>"_s).documentElement().text(),
        u"&e;");
    EXPECT_TRUE(doc.loadXml(u"<a>x</a>"_s + QChar(u'\0') + u"junk"_s));
    EXPECT_EQ(doc.xml(), u"<a>x</a>");
}

TEST(XmlDocument, SerialisesWithoutDeclarationAndRoundTrips)
{
    const QString in = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- note -->\n"
                       u"<r a=\"1\"><t>A &amp; B &lt; C</t><e/><u>Grüße €</u></r>"_s;
    const QString out = parsedXml(in).xml();
    EXPECT_EQ(out, u"<r a=\"1\"><t>A &amp; B &lt; C</t><e/><u>Grüße €</u></r>");
    EXPECT_EQ(parsedXml(out).xml(), out);

    // A carriage return in character data is written as a reference (a parser
    // would turn it into a line feed), the section closed around it.
    XmlDocument built = parsedXml(u"<a/>"_s);
    built.documentElement().appendChild(built.createCDataSection(u"p\rq"_s));
    EXPECT_EQ(built.xml(), u"<a><![CDATA[p]]>&#13;<![CDATA[q]]></a>"_s);
    EXPECT_EQ(parsedXml(built.xml()).documentElement().text(), u"p\rq"_s);
}

TEST(XmlDocument, LoadsFilesInTheirDeclaredEncoding)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"latin1.xml"_s);
    std::ofstream(path.toStdString(), std::ios::binary)
        << "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>Gr\xFC\xDF"
           "e</a>";
    XmlDocument doc;
    ASSERT_TRUE(doc.load(path)) << doc.parseError().toStdString();
    EXPECT_EQ(doc.documentElement().text(), u"Grüße");
    EXPECT_FALSE(doc.load(dir.filePath(u"missing.xml"_s)));
    EXPECT_EQ(doc.childCount(), 0);
}

TEST(XmlDocument, BuildsDocumentsFromCreatedNodesOfEachKind)
{
    XmlDocument doc;
    XmlNode root = doc.createElement(u"Root"_s);
    XmlNode pending = doc.createElement(u"Pending"_s);
    // Created nodes stand nowhere until appended.
    EXPECT_TRUE(doc.documentElement().isNull());
    doc.appendChild(root);
    XmlNode a = root.appendChild(doc.createElement(u"A"_s));
    XmlNode b = root.appendChild(doc.createElement(u"B"_s));
    a.appendChild(doc.createTextNode(u"1 < 2 & \"q\""_s));
    b.setAttribute(u"k"_s, u"it's \"x\""_s);
    EXPECT_TRUE(b.attribute(u"none"_s).isNull());
    // Appending an attached node moves it.
    root.appendChild(a);

    // What would make the document unreadable is refused.
    EXPECT_NE(errorNumber([&] { doc.appendChild(pending); }), 0);
    EXPECT_NE(errorNumber([&] { doc.appendChild(doc.createTextNode(u"t"_s)); }), 0);
    EXPECT_NE(errorNumber([&] { a.appendChild(root); }), 0);
    EXPECT_NE(errorNumber([&] { a.firstChild().appendChild(pending); }), 0);
    EXPECT_NE(errorNumber([&] { doc.createElement(u"two words"_s); }), 0);
    EXPECT_NE(errorNumber([&] { root.setNodeValue(u"x"_s); }), 0);
    XmlDocument other;
    EXPECT_NE(errorNumber([&] { root.appendChild(other.createElement(u"X"_s)); }), 0);
    EXPECT_EQ(doc.xml(), u"<Root><B k=\"it's &quot;x&quot;\"/><A>1 &lt; 2 &amp; \"q\"</A></Root>");

    // Searches skip nodes not yet appended, unless they start at one.
    const XmlNameSet wanted(u"pending"_s);
    EXPECT_TRUE(doc.asNode().findFirst(wanted).isNull());
    EXPECT_EQ(pending.findFirst(wanted), pending);

    // Nodes made by kind number.
    XmlDocument byKind = parsedXml(u"<r/>"_s);
    XmlNode t = byKind.createNode(orvane::xmlkind::Text, u"#text"_s, QString());
    t.setNodeValue(u"v"_s);
    byKind.documentElement().appendChild(t);
    byKind.documentElement().appendChild(byKind.createNode(1, u"p:N"_s, u"urn:x"_s));
    EXPECT_EQ(byKind.xml(), u"<r>v<p:N xmlns:p=\"urn:x\"/></r>");
    EXPECT_EQ(errorNumber([&] { byKind.createNode(2, u"a"_s, QString()); }),
              orvane::err::InvalidProcedureCall);
}

TEST(XmlDocument, FindEachMatchesTrimmedNamesWithoutCase)
{
    const XmlDocument doc = parsedXml(u"<Root><Group><Code>1</Code></Group><code>2</code>"
                                      u"<Straße>3</Straße><ſeite>4</ſeite></Root>"_s);
    const XmlNameSet names(
        QStringList{u" CODE "_s, u"missing"_s, u"straße"_s, u"SEITE"_s, u"root"_s, u"code"_s});
    const std::vector<XmlNode> found = doc.asNode().findEach(names);
    ASSERT_EQ(found.size(), 6u);
    EXPECT_EQ(found[0].text(), u"1"); // the first in document order, however deep
    EXPECT_TRUE(found[1].isNull());
    EXPECT_EQ(found[2].text(), u"3");
    EXPECT_EQ(found[3].text(), u"4"); // long s upper-cases to S
    EXPECT_EQ(found[4], doc.documentElement());
    EXPECT_EQ(found[5], found[0]);
    EXPECT_EQ(names.indexOf(found[5]), 0);
}

TEST(XmlDocument, DeepDocumentsNeedNoRecursion)
{
    constexpr int Depth = 100'000;
    const QString text = u"<n>"_s.repeated(Depth) + u"<leaf>x</leaf>"_s + u"</n>"_s.repeated(Depth);
    XmlDocument doc;
    ASSERT_TRUE(doc.loadXml(text)) << doc.parseError().toStdString();
    EXPECT_FALSE(doc.asNode().findFirst(XmlNameSet(u"LEAF"_s)).isNull());
    EXPECT_EQ(doc.xml().size(), text.size());
}
