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

TEST(DispatchParse, MissingOrEmptyElementsLeaveFieldsUnset)
{
    for (const QString &xml : {u"<Nothing/>"_s, u"this is not xml"_s, QString(),
                               u"<D><MobileIndicator/><Deductible></Deductible></D>"_s}) {
        clsShowDispatch d;
        const Recordset rs = parse(d, xml);
        ASSERT_EQ(rs.recordCount(), 1);
        for (int i = 0; i < rs.fieldCount(); ++i)
            EXPECT_TRUE(rs.field(i).value().isEmpty()) << rs.fieldDef(i).name.toStdString();
    }
}

TEST(DispatchParse, DatesComeFromEightCharacters)
{
    // Seven characters: the day is the seventh alone; out-of-range parts carry.
    for (const auto &[text, date] : {std::pair{u"20240131"_s, QDate(2024, 1, 31)},
                                     {u"20240131123456"_s, QDate(2024, 1, 31)},
                                     {u"2024013"_s, QDate(2024, 1, 3)},
                                     {u"20241301"_s, QDate(2025, 1, 1)}})
        EXPECT_EQ(
            field(u"<DateofLoss>"_s % text % u"</DateofLoss>"_s, u"DateofLoss"_s).toDate().date(),
            date)
            << text.toStdString();

    clsShowDispatch d;
    const auto e = raised([&] { parse(d, doc(u"<TransactionDate>202401</TransactionDate>"_s)); });
    EXPECT_EQ(e.number(), 13);
    EXPECT_EQ(e.source(), u"qorOrvaneUI.clsShowDispatch.FillRecordset()"_s);
    EXPECT_TRUE(
        e.description().startsWith(u"qorOrvaneUI.clsShowDispatch.FillRecordset()\r\nLine : 20\r\n"
                                   u"qorOrvaneUI.clsShowDispatch.NodeValue()\r\nLine : 20\r\n"
                                   u"TransactionDate \"202401\": "_s)) // names what failed
        << e.description().toStdString();
    EXPECT_EQ(raised([&] { parse(d, doc(u"<DateofLoss>2024AB01</DateofLoss>"_s)); }).number(), 13);
}

// Flags are true only for an upper-case Y; element names match in any case;
// text is cut to the field's width before conversion; a fax loses the
// long-distance prefix, a telephone number keeps it.
TEST(DispatchParse, ValuesAreReadAsTheirFieldHoldsThem)
{
    const struct {
        QString element, text;
        Value expected;
    } cases[] = {
        {u"MobileIndicator"_s, u"Y"_s, Value(true)},
        {u"MobileIndicator"_s, u"y"_s, Value(false)},
        {u"MobileIndicator"_s, u"N"_s, Value(false)},
        {u"MobileIndicator"_s, u" Y"_s, Value(false)},
        {u"MobileIndicator"_s, u"Yes"_s, Value(false)},
        {u"eScheduleIndicator|EscheduleIndicator"_s, u"Y"_s, Value(true)},
        {u"ReceivingCompanyID|ReceivingCOmpanyID"_s, u"CLEAR"_s, Value(u"CLEAR"_s)},
        {u"MobileLocationDescription"_s, QString(121, u'x'), Value(QString(120, u'x'))},
        {u"VehicleYear"_s, u"20211"_s, Value(u"2021"_s)},
        {u"MaxRepairs"_s, u"12345"_s, Value(1234)},
        {u"GlassVendorFax"_s, u"12175550101"_s, Value(u"2175550101"_s)},
        {u"GlassVendorFax"_s, u"2175550101"_s, Value(u"2175550101"_s)},
        {u"GlassVendorFax"_s, u"1175550101"_s, Value(u"1175550101"_s)},
        {u"GlassVendorTelephone"_s, u"12175550100"_s, Value(u"12175550100"_s)},
    };
    for (const auto &c : cases) {
        // "Element|Field" where the field is spelt otherwise.
        const QString element = c.element.section(u'|', 0, 0);
        const QString name = c.element.contains(u'|') ? c.element.section(u'|', 1) : element;
        EXPECT_EQ(field(u"<"_s % element % u">"_s % c.text % u"</"_s % element % u">"_s, name),
                  c.expected)
            << element.toStdString() << " " << c.text.toStdString();
    }
    EXPECT_EQ(field(u"<FixedBidAmount>1234.5678</FixedBidAmount>"_s, u"FixedBidAmount"_s)
                  .toCurrency()
                  .scaled,
              12345670);
    EXPECT_EQ(raised([] { field(u"<Deductible>lots</Deductible>"_s, u"Deductible"_s); }).number(),
              13);
    // An element holding elements has no text to read.
    const auto e = raised([] {
        field(u"<InsuredOrClaimantCity><Name>x</Name></InsuredOrClaimantCity>"_s,
              u"InsuredOrClaimantCity"_s);
    });
    EXPECT_EQ(e.number(), 94);
    EXPECT_TRUE(e.description().endsWith(u"Invalid use of Null"_s));
}

TEST(DispatchParse, CommentsJoinTheCommentChildrenOfTheFirstContainer)
{
    EXPECT_EQ(field(u"<InsurerComments><Comment>First</Comment><comment>skip</comment>"
                    u"<Other>skip</Other><Comment>  Second  </Comment><Comment/>"
                    u"</InsurerComments><Comment>elsewhere</Comment>"_s,
                    u"InsurerComments"_s),
              Value(u"First\r\nSecond\r\n"_s));

    QString many = u"<InsurerComments>"_s;
    for (int i = 0; i < 20; ++i)
        many += u"<Comment>comment number "_s + QString::number(i) + u"</Comment>"_s;
    const QString joined = field(many + u"</InsurerComments>"_s, u"InsurerComments"_s).toText();
    EXPECT_EQ(joined.size(), 100);
    EXPECT_TRUE(joined.startsWith(u"comment number 0\r\ncomment number 1\r\n"_s));
}

TEST(DispatchParse, FirstElementInDocumentOrderWins)
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
}

TEST(DispatchParse, NodeValueSearchesBelowTheGivenNode)
{
    clsShowDispatch d;
    d.CreateRecordset();
    orvane::XmlDocument document;
    document.loadXml(
        u"<a><b><VehicleMake>Ford</VehicleMake></b><VehicleMake>Kia</VehicleMake></a>"_s);
    Recordset rs = d.dispatchRecordset();
    rs.addNew();
    d.NodeValue(document.documentElement().child(1), u"VehicleMake"_s, rs);
    EXPECT_EQ(rs.value(u"VehicleMake"_s), Value(u"Kia"_s));
    d.NodeValue(document.asNode(), u"VehicleMake"_s, rs);
    EXPECT_EQ(rs.value(u"VehicleMake"_s), Value(u"Ford"_s));
    const auto e = raised([&] { d.NodeValue(document.asNode(), u"NoSuchField"_s, rs); });
    EXPECT_EQ(e.number(), 3265);
    EXPECT_EQ(e.source(), u"qorOrvaneUI.clsShowDispatch.NodeValue()"_s);
}

TEST(DispatchParse, SamplesParseWithTheirValues)
{
    clsShowDispatch d;
    Recordset rs = parse(d, sample(u"glass-replacement.xml"_s));
    EXPECT_EQ(rs.value(u"DispatchNumber"_s), Value(u"D-2026-118734"_s));
    EXPECT_EQ(rs.value(u"InsuredOrClaimantLastName"_s), Value(u"O'Donnell"_s));
    EXPECT_EQ(rs.value(u"Deductible"_s).toCurrency().scaled, 2500000);
    EXPECT_EQ(rs.value(u"TransactionDate"_s).toDate().date(), QDate(2026, 12, 1));
    EXPECT_EQ(rs.value(u"InsurerComments"_s).toText(),
              u"Stone chip spreading across the driver's view.\r\n"
              u"Verify ADAS camera recalibration.\r\n"_s);
    EXPECT_EQ(d.authRecordset().recordCount(), 4);
    // A new parse replaces the held sets; a set handed out before keeps its rows.
    d.CreateRecordset();
    EXPECT_EQ(d.dispatchRecordset().recordCount(), 0);
    EXPECT_EQ(d.discountRecordset().recordCount(), 0);
    EXPECT_EQ(rs.recordCount(), 1);

    rs = parse(d, sample(u"mobile-eschedule.xml"_s));
    EXPECT_EQ(rs.value(u"EscheduleIndicator"_s), Value(true));
    EXPECT_EQ(rs.value(u"BeginRequestedTime"_s), Value(u"0800"_s));
    EXPECT_EQ(rs.value(u"InsurerName"_s), Value(u"Peregrine Life & Auto"_s));
}

TEST(DispatchParse, HostileDocumentsNeitherCrashNorHang)
{
    // Very deep nesting.
    QString deep;
    const int depth = 100000;
    deep.reserve(depth * 8 + 64);
    for (int i = 0; i < depth; ++i)
        deep += u"<a>"_s;
    deep += u"<DispatchNumber>DEEP</DispatchNumber>"_s;
    for (int i = 0; i < depth; ++i)
        deep += u"</a>"_s;
    clsShowDispatch d;
    Recordset rs = parse(d, deep);
    EXPECT_EQ(rs.recordCount(), 1);

    // NUL characters and over-long values.
    rs = parse(d, doc(u"<DispatchNumber>AB"_s + QChar(u'\0') + u"CD</DispatchNumber>"_s));
    EXPECT_EQ(rs.recordCount(), 1);
    rs = parse(d, doc(u"<Alert>"_s + QString(1'000'000, u'z') + u"</Alert>"_s));
    EXPECT_EQ(rs.value(u"Alert"_s).toText().size(), 200);
}
