#include "dispatch/DispatchFixtures.h"
#include <qorOrvaneUI/dispatch/clsShowDispatch.h>

#include <gtest/gtest.h>

using orvane::dispatch::clsShowDispatch;

using namespace Qt::StringLiterals;
using namespace dispatchtest;
using orvane::Recordset;
using orvane::Value;

namespace {

QString discount(const QString &code, const QString &extra = QString())
{
    return u"<DiscountType><DiscountTypeCode>"_s + code + u"</DiscountTypeCode>"_s + extra +
           u"</DiscountType>"_s;
}

QString damage(const QString &opening, const QString &position, const QString &side,
               const QString &qty = QString())
{
    QString xml = u"<DamageInformation><OpeningTypeCode>"_s + opening +
                  u"</OpeningTypeCode><PositionCode>"_s + position +
                  u"</PositionCode><SideCode>"_s + side + u"</SideCode>"_s;
    if (!qty.isNull())
        xml += u"<GlassDamageQuantity>"_s + qty + u"</GlassDamageQuantity>"_s;
    return xml + u"</DamageInformation>"_s;
}

std::vector<QString> column(const Recordset &source, const QString &name)
{
    // A clone, so the caller's cursor stays where it is.
    Recordset rs = source.clone();
    std::vector<QString> out;
    if (rs.recordCount() == 0)
        return out;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        out.push_back(rs.value(name).toText());
    return out;
}

} // namespace

TEST(DispatchGroups, AbsentContainersGiveEmptySets)
{
    clsShowDispatch d;
    QString xml = doc(u"<DispatchNumber>D1</DispatchNumber>"_s);
    for (const Recordset &rs : {d.GetDiscounts(xml), d.GetAuths(xml), d.GetDamages(xml)}) {
        EXPECT_TRUE(rs.eof() && rs.bof());
    }
    QString junk = u"<<not xml"_s;
    EXPECT_EQ(d.GetDiscounts(junk).recordCount(), 0);
    EXPECT_EQ(d.GetDiscounts(junk).fieldCount(), 10);
}

TEST(DispatchGroups, MembersAreDirectChildrenWithTheExactName)
{
    clsShowDispatch d;
    QString xml = doc(
        u"<DispatchNumber>HEAD</DispatchNumber><DiscountDetails>"_s + discount(u"A"_s) +
        u"<Note>x</Note>"_s + discount(u"B"_s, u"<DispatchNumber>OWN</DispatchNumber>"_s) +
        u"<discounttype><DiscountTypeCode>skip</DiscountTypeCode></discounttype>"_s +
        u"<DiscountType><discounttypecode>C</discounttypecode></DiscountType>"_s +
        u"</DiscountDetails><DiscountDetails>"_s + discount(u"SECOND"_s) + u"</DiscountDetails>"_s);
    const Recordset rs = d.GetDiscounts(xml);
    EXPECT_EQ(column(rs, u"DiscountTypeCode"_s), (std::vector<QString>{u"A"_s, u"B"_s, u"C"_s}));
    // Every row carries the document's first dispatch number.
    EXPECT_EQ(column(rs, u"DispatchNumber"_s),
              (std::vector<QString>{u"HEAD"_s, u"HEAD"_s, u"HEAD"_s}));
    // The copy starts on the first row and shares the held rows.
    EXPECT_EQ(rs.value(u"DiscountTypeCode"_s), Value(u"A"_s));
    EXPECT_TRUE(rs.sharesRowsWith(d.discountRecordset()));

    // Each call starts afresh; what the host was handed before keeps its own rows,
    // and the caller's text is not changed.
    QString second = doc(u"<DiscountDetails>"_s + discount(u"D"_s) + u"</DiscountDetails>"_s);
    EXPECT_EQ(column(d.GetDiscounts(second), u"DiscountTypeCode"_s), std::vector<QString>{u"D"_s});
    EXPECT_EQ(column(rs, u"DiscountTypeCode"_s), (std::vector<QString>{u"A"_s, u"B"_s, u"C"_s}));
    EXPECT_TRUE(second.contains(u"<DiscountTypeCode>D"_s));
}

TEST(DispatchGroups, DiscountValuesAreKeptAsWritten)
{
    clsShowDispatch d;
    QString xml = sample(u"glass-replacement.xml"_s);
    Recordset rs = d.GetDiscounts(xml);
    ASSERT_EQ(rs.recordCount(), 3);
    EXPECT_EQ(rs.value(u"DiscountPercentage"_s), Value(0.35));
    EXPECT_EQ(rs.value(u"KitIndicator"_s), Value(false));
    rs.moveLast();
    EXPECT_EQ(rs.value(u"TimeAbove"_s), Value(1.5));
    EXPECT_EQ(rs.value(u"TimeAboveHourlyIndicator"_s), Value(true));
    EXPECT_EQ(rs.value(u"Rate"_s), Value(48.5));

    Recordset auths = d.GetAuths(xml);
    EXPECT_EQ(column(auths, u"Name"_s),
              (std::vector<QString>{u"GLASS"_s, u"MOULDING"_s, u"KIT"_s, u"LABOR"_s}));
    auths.moveFirst();
    auths.move(2);
    EXPECT_EQ(auths.value(u"OnlineEnabled"_s), Value(false));
    EXPECT_EQ(auths.value(u"DispatchNumber"_s), Value(u"D-2026-118734"_s));
}

TEST(DispatchGroups, DamageCodesAreTranslatedAndAMissingQuantityStaysEmpty)
{
    clsShowDispatch d;
    QString xml = doc(u"<Dispatch>"_s + damage(u"ws"_s, u"R"_s, u"L"_s, u"2"_s) +
                      damage(u" WS "_s, u"f"_s, u"R"_s, u"1"_s) +
                      damage(u"ZZ"_s, u"X"_s, u"c"_s, u"1"_s) + damage(u"WS"_s, u"F"_s, u"C"_s) +
                      damage(u"BK"_s, u"B"_s, u"C"_s, u""_s) + u"</Dispatch>"_s);
    Recordset rs = d.GetDamages(xml);
    ASSERT_EQ(rs.recordCount(), 5);
    EXPECT_EQ(rs.value(u"OpeningType"_s), Value(u"Windshield"_s));
    EXPECT_EQ(rs.value(u"Position"_s), Value(u"Rear"_s));
    EXPECT_EQ(rs.value(u"Side"_s), Value(u"Driver"_s));
    EXPECT_EQ(rs.value(u"Qty"_s), Value(std::int64_t(2)));
    rs.moveNext();
    EXPECT_EQ(rs.value(u"OpeningTypeCode"_s), Value(u" WS "_s)); // kept as written
    EXPECT_EQ(rs.value(u"OpeningType"_s), Value(u"Windshield"_s));
    EXPECT_EQ(rs.value(u"Side"_s), Value(u"Passenger"_s));
    rs.moveNext();
    EXPECT_EQ(rs.value(u"OpeningType"_s).toText(), u""_s);
    EXPECT_EQ(rs.value(u"Side"_s), Value(u"Center"_s));
    // A missing or empty quantity stays empty.
    rs.moveNext();
    EXPECT_TRUE(rs.value(u"Qty"_s).isEmpty());
    rs.moveNext();
    EXPECT_TRUE(rs.value(u"Qty"_s).isEmpty());
}

TEST(DispatchGroups, ConversionFailuresAreWrappedByEachLevel)
{
    clsShowDispatch d;
    QString xml = doc(u"<DiscountDetails>"_s + discount(u"A"_s) +
                      discount(u"B"_s, u"<Rate>fast</Rate>"_s) + u"</DiscountDetails>"_s);
    const auto e = raised([&] { d.GetDiscounts(xml); });
    EXPECT_EQ(e.number(), 13);
    EXPECT_EQ(e.source(), u"qorOrvaneUI.clsShowDispatch.GetDiscounts()"_s);
    EXPECT_TRUE(e.description().startsWith(
        u"qorOrvaneUI.clsShowDispatch.GetDiscounts()\r\nLine : 30\r\n"
        u"qorOrvaneUI.clsShowDispatch.FillDisRecordset()\r\nLine : 30\r\n"
        u"qorOrvaneUI.clsShowDispatch.NodeValue()\r\nLine : 20\r\n"_s))
        << e.description().toStdString();
    EXPECT_EQ(d.discountRecordset().recordCount(), 1);

    // The row saved before the failure stays; the failing one is not saved.
    QString bad = doc(u"<Dispatch>"_s + damage(u"WS"_s, u"F"_s, u"C"_s, u"1"_s) +
                      damage(u"DR"_s, u"F"_s, u"L"_s, u"two"_s) + u"</Dispatch>"_s);
    const auto damages = raised([&] { d.GetDamages(bad); });
    EXPECT_EQ(damages.number(), 13);
    EXPECT_EQ(damages.source(), u"qorOrvaneUI.clsShowDispatch.Getdamages()"_s);
    EXPECT_TRUE(damages.description().startsWith(
        u"qorOrvaneUI.clsShowDispatch.GetDamages()\r\nLine : 30\r\n"
        u"qorOrvaneUI.clsShowDispatch.FillDamageRecordset()\r\nLine : 40\r\n"_s))
        << damages.description().toStdString();
    EXPECT_EQ(d.damageRecordset().recordCount(), 1);

    QString authXml = doc(u"<AuthorizationDetails><AuthorizationType><Type>TOOLONG</Type>"
                          u"</AuthorizationType></AuthorizationDetails>"_s);
    EXPECT_EQ(d.GetAuths(authXml).value(u"Type"_s), Value(u"TOOLO"_s));
}
