#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/Value.h>
#include <qorOrvaneUI/runtime/VbError.h>

#include "support/TestHelpers.h"

#include <gtest/gtest.h>

#include <limits>

using namespace Qt::StringLiterals;
using orvane::test::errorNumber;
using orvane::test::raised;
using namespace orvane;

TEST(Value, EmptyAndNullAreDistinctStates)
{
    const Value empty;
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_EQ(empty.toDouble(), 0.0);
    EXPECT_FALSE(empty.toBool());

    const Value null = Value::null();
    EXPECT_TRUE(null.isNull());
    EXPECT_EQ(errorNumber([&] { (void)null.toText(); }), 94);
    // Storing keeps both states as they are.
    EXPECT_TRUE(null.convertedTo(ValueKind::Int32).isNull());
    EXPECT_TRUE(empty.convertedTo(ValueKind::Date).isEmpty());
}

TEST(Value, TextToNumbersIsStrictAndLocaleFreeAndBack)
{
    EXPECT_EQ(Value(u" 12.5 "_s).toDouble(), 12.5);
    EXPECT_EQ(Value(u".5"_s).toDouble(), 0.5);
    EXPECT_EQ(Value(u"-0.25E+2"_s).toDouble(), -25.0);
    EXPECT_EQ(Value(QString(100, u'1') + u".5"_s).toDouble(), 1.1111111111111111e99);
    for (const QString &bad :
         {u""_s, u"12ab"_s, u"1,5"_s, u"0x10"_s, u"."_s, u"1e"_s, u"inf"_s, u"１２"_s})
        EXPECT_EQ(errorNumber([&] { (void)Value(bad).toDouble(); }), 13) << bad.toStdString();
    EXPECT_EQ(errorNumber([&] { (void)Value(u"1e999"_s).toDouble(); }), 6);

    EXPECT_EQ(Value(0.1 + 0.2).toText(), u"0.3"_s);
    EXPECT_EQ(Value(1e20).toText(), u"1E+20"_s);
    EXPECT_EQ(Value(true).toText(), u"True"_s);
    EXPECT_TRUE(Value(u"true"_s).toBool());
    EXPECT_FALSE(Value(u" False "_s).toBool());
    EXPECT_TRUE(Value(u"-1"_s).toBool());
    EXPECT_EQ(errorNumber([] { (void)Value(u"Y"_s).toBool(); }), 13);
}

TEST(Value, IntegersAndExactCurrencyRoundHalfToEvenAndOverflow)
{
    EXPECT_EQ(Value(u"2.5"_s).toInt32(), 2);
    EXPECT_EQ(Value(u"3.5"_s).toInt32(), 4);
    EXPECT_EQ(Value(Currency{25000}).toInt64(), 2); // 2.5
    EXPECT_EQ(errorNumber([] { (void)Value(u"2147483648"_s).toInt32(); }), 6);
    EXPECT_EQ(Value(u"9007199254740993"_s).toInt64(), 9007199254740993LL); // beyond double
    // 2^63 itself, one past the largest: as a double, from text, and to currency.
    EXPECT_EQ(errorNumber([] { (void)Value(9223372036854775808.0).toInt64(); }), 6);
    EXPECT_EQ(errorNumber([] { (void)Value(u"9223372036854775808.0"_s).toInt64(); }), 6);
    EXPECT_EQ(errorNumber([] { (void)Value(922337203685477.5808).toCurrency(); }), 6);
    EXPECT_EQ(Value(true).toInt32(), -1);

    EXPECT_EQ(Value(u"-0.00005"_s).toCurrency().scaled, 0); // half to even
    EXPECT_EQ(Value(u"0.00015"_s).toCurrency().scaled, 2);
    EXPECT_EQ(Value(u"922337203685477.5807"_s).toCurrency().scaled,
              std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(errorNumber([] { (void)Value(u"922337203685478"_s).toCurrency(); }), 6);
    EXPECT_EQ(errorNumber([] { (void)Value(u"12,50"_s).toCurrency(); }), 13);
    EXPECT_EQ(Value(Currency{-5}).toText(), u"-0.0005"_s);
    EXPECT_EQ(Value(Currency{std::numeric_limits<std::int64_t>::min()}).toText(),
              u"-922337203685477.5808"_s);
}

TEST(Value, DatesCountFromTheZeroDate)
{
    EXPECT_EQ(DateValue::fromDate(QDate(1900, 1, 1)).days, 2);
    EXPECT_EQ(Value(u"2024-01-31"_s).toDate().date(), QDate(2024, 1, 31));
    EXPECT_EQ(Value(u"2024-01-31 13:45"_s).toDate().time(), QTime(13, 45));
    EXPECT_EQ(Value(u"1/31/2024"_s).toDate().date(), QDate(2024, 1, 31));
    EXPECT_EQ(Value(2.5).toDate().time(), QTime(12, 0));
    EXPECT_EQ(errorNumber([] { (void)Value(u"2024-02-30"_s).toDate(); }), 13);
    EXPECT_EQ(errorNumber([] { (void)Value(1e12).toDate(); }), 6);
}

namespace {

class Greeter : public ComObject {
public:
    virtual QString hello() const { return u"hello"_s; }
};

class Other : public ComObject {};

} // namespace

TEST(ObjectRegistry, CreatesByIdentifierWithoutRegardToCase)
{
    auto &registry = ObjectRegistry::instance();
    registry.registerClass(u"Test.Greeter"_s, [] { return std::make_shared<Greeter>(); });
    registry.registerClass(u"Test.Other"_s, [] { return std::make_shared<Other>(); });

    const VbError missing = raised([] { CreateObject<Greeter>(u"Test.Missing"_s); });
    EXPECT_EQ(missing.number(), 429);
    EXPECT_EQ(missing.description(), u"ActiveX component can't create object (\"Test.Missing\")"_s);
    EXPECT_EQ(raised([] { CreateObject<Greeter>(u"Test.Other"_s); }).number(), 13);
    EXPECT_EQ(CreateObject<Greeter>(u"test.GREETER"_s)->hello(), u"hello"_s);
    registry.unregisterClass(u"TEST.GREETER"_s);
    EXPECT_FALSE(registry.isRegistered(u"Test.Greeter"_s));
    registry.unregisterClass(u"Test.Other"_s);
}

TEST(VbError, ProceduresWrapOncePerLevel)
{
    Proc inner(u"qorOrvaneUI.clsShowDispatch.NodeValue()"_s);
    Proc outer(u"qorOrvaneUI.clsShowDispatch.FillRecordset()"_s);
    inner.at(20);
    outer.at(30);
    const VbError caught(13, u"x"_s, u"Type mismatch"_s);
    const VbError once = inner.wrap(caught);
    const VbError twice = outer.wrap(once);
    EXPECT_EQ(twice.source(), u"qorOrvaneUI.clsShowDispatch.FillRecordset()"_s);
    EXPECT_EQ(twice.description(),
              u"qorOrvaneUI.clsShowDispatch.FillRecordset()\r\nLine : 30\r\n"
              u"qorOrvaneUI.clsShowDispatch.NodeValue()\r\nLine : 20\r\nType mismatch"_s);

    // The other wrapping styles are checked in the texts of the XML and
    // record set helpers that use them.
    // Anything thrown that is not a VbError still arrives with a number.
    const VbError foreign = raised([&] {
        try {
            throw std::runtime_error("boom");
        } catch (...) {
            outer.rethrow();
        }
    });
    EXPECT_NE(foreign.number(), 0);
    EXPECT_TRUE(foreign.description().endsWith(u"boom"_s));
}
