#include "qorOrvaneUI/core/XMLUtilmod.h"
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>

#include "runtime/RuntimeHelpers.h"

#include <gtest/gtest.h>

namespace XMLUtilmod = orvane::XMLUtilmod;

using namespace Qt::StringLiterals;
using orvane::VbError;
using orvane::XmlDocument;
using orvane::XmlNode;
using orvane::test::errorText;
using orvane::test::parsedXml;

TEST(XMLUtilmod, FindNodeTakesTheFirstMatchAndEmptyElementsGiveEmptyText)
{
    const XmlDocument doc = parsedXml(
        u"<Dispatch><Header><DispatchNumber>D1</DispatchNumber></Header>"
        u"<DispatchNumber>D2</DispatchNumber><Item><Item>inner</Item></Item></Dispatch>"_s);
    const XmlNode docNode = doc.asNode();

    // A nested match under an earlier sibling wins over a later sibling's own.
    EXPECT_EQ(XMLUtilmod::FindNode(docNode, u"dispatchnumber"_s).text(), u"D1");
    EXPECT_EQ(XMLUtilmod::ReturnNormValue(docNode, u" DispatchNumber"_s), u"D1");

    // The start node itself comes first, before a deeper element of the same name.
    const XmlNode outer = XMLUtilmod::FindNode(docNode, u"item"_s);
    EXPECT_EQ(outer.parentNode(), doc.documentElement());
    EXPECT_EQ(XMLUtilmod::FindNode(outer, u"ITEM"_s), outer);

    // The search stays inside the start node.
    const XmlNode header = doc.documentElement().child(0);
    EXPECT_TRUE(XMLUtilmod::FindNode(header, u"Item"_s).isNull());
    EXPECT_TRUE(XMLUtilmod::FindNode(docNode, u"Missing"_s).isNull());

    XmlDocument empty;
    EXPECT_EQ(XMLUtilmod::ReturnNormValue(empty.asNode(), u"a"_s), u"");

    const XmlDocument blanks =
        parsedXml(u"<r><e1/><e3>   </e3><t> 7 </t><c><![CDATA[<x>]]></c></r>"_s);
    for (const QString &name : {u"e1"_s, u"e3"_s})
        EXPECT_EQ(XMLUtilmod::ReturnNormValue(blanks.asNode(), name), u"") << name.toStdString();
    EXPECT_EQ(XMLUtilmod::ReturnNormValue(blanks.asNode(), u"t"_s), u" 7 ");
    EXPECT_EQ(XMLUtilmod::ReturnNormValue(blanks.asNode(), u"C"_s), u"<x>");
}

TEST(XMLUtilmod, CreateNodeKeepsOrderAndSpacesRulesAndWrapsFailures)
{
    XmlDocument doc = parsedXml(u"<Msg/>"_s);
    XMLUtilmod::CreateNode(doc, u"Empty"_s, QString());
    XMLUtilmod::CreateNode(doc, u"Spaces"_s, u"  "_s);
    const XmlNode group = XMLUtilmod::CreateNodeRoot(doc, u"Group"_s);

    QString blank = u"  "_s;
    QString qty = u" 12 "_s;
    QString plain = u"a & b"_s;
    XMLUtilmod::CreateNode(doc, u"Blank"_s, blank, group);
    XMLUtilmod::CreateNode(doc, u"Qty"_s, qty, group);
    XMLUtilmod::CreateNode(doc, u"Plain"_s, plain, group);
    XMLUtilmod::CreateNode(doc, u"Last"_s, u"x"_s);
    EXPECT_EQ(qty, u"12");
    EXPECT_EQ(doc.xml(), u"<Msg><Empty/><Spaces>  </Spaces><Group><Blank/><Qty>12</Qty>"
                         u"<Plain>a &amp; b</Plain></Group><Last>x</Last></Msg>");

    const QString notSet = u"Object variable or With block variable not set\r\n"_s;
    const XmlDocument nested = parsedXml(u"<a><b><c>1</c></b></a>"_s);
    EXPECT_EQ(errorText([&] { XMLUtilmod::ReturnNormValue(nested.asNode(), u"b"_s); }),
              u"94 XMLUtilmod.ReturnNormValue: Invalid use of Null\r\n"
              u"XMLUtilmod.ReturnNormValue\r\nLine # : 50"_s);
    EXPECT_EQ(errorText([] { XMLUtilmod::FindNode(XmlNode(), u"a"_s); }),
              u"91 XMLUtilmod.FindNode: "_s + notSet + u"XMLUtilmod.FindNode\r\nLine # : 20"_s);

    // Building on a document without a root element.
    XmlDocument rootless;
    EXPECT_EQ(errorText([&] { XMLUtilmod::CreateNode(rootless, u"A"_s, u"1"_s); }),
              u"91 XMLUtilmod.CreateNode: "_s + notSet + u"XMLUtilmod.CreateNode\r\nLine # : 50"_s);
    EXPECT_EQ(orvane::test::raised([&] { XMLUtilmod::CreateNodeRoot(rootless, u"A"_s); }).source(),
              u"XMLUtilmod.CreateNodeRoot");

    // The four-argument form chains the caught source.
    QString value = u" v "_s;
    EXPECT_EQ(errorText([&] { XMLUtilmod::CreateNode(rootless, u"A"_s, value, XmlNode()); }),
              u"91 qorOrvaneUI:XMLUtilmod.CreateNode: "_s + notSet +
                  u"XMLUtilmod.CreateNode\r\nLine # : 60"_s);
    EXPECT_EQ(value, u"v");
}
