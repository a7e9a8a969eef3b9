#include "dispatch/DispatchFixtures.h"
#include <qorOrvaneUI/dispatch/clsShowDispatch.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>

#include <gtest/gtest.h>

using orvane::dispatch::clsShowDispatch;

using namespace Qt::StringLiterals;
using namespace dispatchtest;
using orvane::Recordset;
using orvane::Value;

namespace {

// Parses a document as the report does and returns the dispatch row.
Recordset parse(clsShowDispatch &d, const QString &xml)
{
    d.CreateRecordset();
    orvane::XmlDocument document;
    document.loadXml(xml);
    d.FillRecordset(document);
    return d.dispatchRecordset();
}

Value field(const QString &body, const QString &name)
{
    clsShowDispatch d;
    return parse(d, doc(body)).value(name);
}

} // namespace

// Flags are true only for an upper-case Y; element names match in any case;
// text is cut to the field's width before conversion; a fax loses the
// long-distance prefix, a telephone number keeps it.
TEST(DispatchParse, ValuesAreReadAsTheirFieldHoldsThemWithDatesAndComments)
{
    EXPECT_EQ(field(u"<InsurerComments><Comment>First</Comment><comment>skip</comment>"
                    u"<Other>skip</Other><Comment>  Second  </Comment><Comment/>"
                    u"</InsurerComments><Comment>elsewhere</Comment>"_s,
                    u"InsurerComments"_s),
              Value(u"First\r\nSecond\r\n"_s));

    // Seven characters: the day is the seventh alone; out-of-range parts carry.
    for (const auto &[text, date] : {std::pair{u"20240131"_s, QDate(2024, 1, 31)},
                                     {u"20240131123456"_s, QDate(2024, 1, 31)},
                                     {u"2024013"_s, QDate(2024, 1, 3)},
                                     {u"20241301"_s, QDate(2025, 1, 1)}})
        EXPECT_EQ(field(element(u"DateofLoss"_s, text), u"DateofLoss"_s).toDate().date(), date)
            << text.toStdString();

    clsShowDispatch d;
    const auto e = raised([&] { parse(d, doc(u"<TransactionDate>202401</TransactionDate>"_s)); });
    EXPECT_EQ(errorOf(e), "13|qorOrvaneUI.clsShowDispatch.FillRecordset()|"
                          "qorOrvaneUI.clsShowDispatch.FillRecordset()\r\nLine : 20\r\n"
                          "qorOrvaneUI.clsShowDispatch.NodeValue()\r\nLine : 20\r\n"
                          "TransactionDate \"202401\": Type mismatch"); // names what failed
    EXPECT_EQ(raised([&] { parse(d, doc(u"<DateofLoss>2024AB01</DateofLoss>"_s)); }).number(), 13);

    const struct {
        QString element, text;
        Value expected;
    } cases[] = {
        {u"MobileIndicator"_s, u"Y"_s, Value(true)},
        {u"MobileIndicator"_s, u"y"_s, Value(false)},
        {u"MobileIndicator"_s, u" Y"_s, Value(false)},
        {u"eScheduleIndicator|EscheduleIndicator"_s, u"Y"_s, Value(true)},
        {u"MobileLocationDescription"_s, QString(121, u'x'), Value(QString(120, u'x'))},
        {u"MaxRepairs"_s, u"12345"_s, Value(1234)},
        {u"GlassVendorFax"_s, u"12175550101"_s, Value(u"2175550101"_s)},
        {u"GlassVendorFax"_s, u"2175550101"_s, Value(u"2175550101"_s)},
        {u"GlassVendorFax"_s, u"1175550101"_s, Value(u"1175550101"_s)},
        {u"GlassVendorTelephone"_s, u"12175550100"_s, Value(u"12175550100"_s)},
        {u"FixedBidAmount"_s, u"1234.5678"_s, Value(orvane::Currency{12345670})},
    };
    for (const auto &c : cases) {
        // "Element|Field" where the field is spelt otherwise.
        const QString tag = c.element.section(u'|', 0, 0);
        const QString name = c.element.contains(u'|') ? c.element.section(u'|', 1) : tag;
        EXPECT_EQ(field(element(tag, c.text), name), c.expected)
            << tag.toStdString() << " " << c.text.toStdString();
    }
    // An element holding elements has no text to read.
    const auto nested = raised([] {
        field(u"<InsuredOrClaimantCity><Name>x</Name></InsuredOrClaimantCity>"_s,
              u"InsuredOrClaimantCity"_s);
    });
    EXPECT_EQ(nested.number(), 94);
    EXPECT_TRUE(nested.description().endsWith(u"Invalid use of Null"_s));
}

TEST(DispatchParse, FirstElementInDocumentOrderWinsAndMissingOnesLeaveFieldsUnset)
{
    const QString xml =
        u"<Root><Header><DispatchNumber>H-1</DispatchNumber></Header>"
        u"<Body><Dispatch><DispatchNumber>B-2</DispatchNumber></Dispatch></Body></Root>"_s;
    clsShowDispatch d;
    EXPECT_EQ(parse(d, xml).value(u"DispatchNumber"_s), Value(u"H-1"_s));
    // The discount columns of the record are never filled from the document.
    const Recordset rs = parse(d, sample(u"glass-replacement.xml"_s));
    for (int i = 60; i < 73; ++i)
        EXPECT_TRUE(rs.field(i).value().isEmpty()) << rs.fieldDef(i).name.toStdString();
    EXPECT_EQ(d.authRecordset().recordCount(), 4);
    // A new parse replaces the held sets; a set handed out before keeps its rows.
    d.CreateRecordset();
    EXPECT_EQ(d.dispatchRecordset().recordCount(), 0);
    EXPECT_EQ(rs.recordCount(), 1);

    // NodeValue finds the first element below the node it is given.
    d.CreateRecordset();
    orvane::XmlDocument document = orvane::test::parsedXml(
        u"<a><b><VehicleMake>Ford</VehicleMake></b><VehicleMake>Kia</VehicleMake></a>"_s);
    Recordset row = d.dispatchRecordset();
    row.addNew();
    d.NodeValue(document.documentElement().child(1), u"VehicleMake"_s, row);
    EXPECT_EQ(row.value(u"VehicleMake"_s), Value(u"Kia"_s));
    d.NodeValue(document.asNode(), u"VehicleMake"_s, row);
    EXPECT_EQ(row.value(u"VehicleMake"_s), Value(u"Ford"_s));
    const auto e = raised([&] { d.NodeValue(document.asNode(), u"NoSuchField"_s, row); });
    EXPECT_EQ(e.number(), 3265);
    EXPECT_EQ(e.source(), u"qorOrvaneUI.clsShowDispatch.NodeValue()"_s);

    // Missing or empty elements leave the fields unset.
    for (const QString &text : {u"<Nothing/>"_s, u"this is not xml"_s, QString(),
                                u"<D><MobileIndicator/><Deductible></Deductible></D>"_s}) {
        clsShowDispatch fresh;
        const Recordset empty = parse(fresh, text);
        for (int i = 0; i < empty.fieldCount(); ++i)
            EXPECT_TRUE(empty.field(i).value().isEmpty()) << empty.fieldDef(i).name.toStdString();
    }
}

TEST(DispatchGroups, ConversionFailuresAreWrappedByEachLevel)
{
    clsShowDispatch d;
    QString xml = doc(u"<DiscountDetails><DiscountType><DiscountTypeCode>A</DiscountTypeCode>"
                      u"</DiscountType><DiscountType><DiscountTypeCode>B</DiscountTypeCode>"
                      u"<Rate>fast</Rate></DiscountType></DiscountDetails>"_s);
    const auto e = raised([&] { d.GetDiscounts(xml); });
    EXPECT_EQ(errorOf(e), "13|qorOrvaneUI.clsShowDispatch.GetDiscounts()|"
                          "qorOrvaneUI.clsShowDispatch.GetDiscounts()\r\nLine : 30\r\n"
                          "qorOrvaneUI.clsShowDispatch.FillDisRecordset()\r\nLine : 30\r\n"
                          "qorOrvaneUI.clsShowDispatch.NodeValue()\r\nLine : 20\r\n"
                          "Rate \"fast\": Type mismatch");
    EXPECT_EQ(d.discountRecordset().recordCount(), 1);

    // The row saved before the failure stays; the failing one is not saved.
    QString bad = doc(u"<Dispatch><DamageInformation><OpeningTypeCode>WS</OpeningTypeCode>"
                      u"<GlassDamageQuantity>1</GlassDamageQuantity></DamageInformation>"
                      u"<DamageInformation><OpeningTypeCode>DR</OpeningTypeCode>"
                      u"<GlassDamageQuantity>two</GlassDamageQuantity></DamageInformation>"
                      u"</Dispatch>"_s);
    const auto damages = raised([&] { d.GetDamages(bad); });
    EXPECT_EQ(errorOf(damages), "13|qorOrvaneUI.clsShowDispatch.Getdamages()|"
                                "qorOrvaneUI.clsShowDispatch.GetDamages()\r\nLine : 30\r\n"
                                "qorOrvaneUI.clsShowDispatch.FillDamageRecordset()\r\nLine : 40\r\n"
                                "Type mismatch");
    EXPECT_EQ(d.damageRecordset().recordCount(), 1);

    QString authXml = doc(u"<AuthorizationDetails><AuthorizationType><Type>TOOLONG</Type>"
                          u"</AuthorizationType></AuthorizationDetails>"_s);
    EXPECT_EQ(d.GetAuths(authXml).value(u"Type"_s), Value(u"TOOLO"_s));
}
