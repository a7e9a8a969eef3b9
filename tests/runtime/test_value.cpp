#include <qorOrvaneUI/runtime/Value.h>
#include <qorOrvaneUI/runtime/VbError.h>

#include "support/TestHelpers.h"

#include <gtest/gtest.h>

#include <limits>

using namespace Qt::StringLiterals;
using orvane::Currency;
using orvane::DateValue;
using orvane::Value;
using orvane::ValueKind;
using orvane::VbError;
using orvane::test::errorNumber;

TEST(Value, EmptyAndNullAreDistinctStates)
{
    const Value empty;
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_EQ(empty.toText(), u""_s);
    EXPECT_EQ(empty.toDouble(), 0.0);
    EXPECT_FALSE(empty.toBool());

    const Value null = Value::null();
    EXPECT_TRUE(null.isNull());
    EXPECT_FALSE(null.isEmpty());
    EXPECT_EQ(errorNumber([&] { (void)null.toText(); }), 94);
    EXPECT_EQ(errorNumber([&] { (void)null.toInt32(); }), 94);
    // Storing keeps both states as they are.
    EXPECT_TRUE(null.convertedTo(ValueKind::Int32).isNull());
    EXPECT_TRUE(empty.convertedTo(ValueKind::Date).isEmpty());
}

TEST(Value, TextToNumbersIsStrictAndLocaleFree)
{
    EXPECT_EQ(Value(u" 12.5 "_s).toDouble(), 12.5);
    EXPECT_EQ(Value(u"-3"_s).toInt32(), -3);
    EXPECT_EQ(Value(u".5"_s).toDouble(), 0.5);
    EXPECT_EQ(Value(u"-0.25E+2"_s).toDouble(), -25.0);
    EXPECT_EQ(Value(QString(100, u'1') + u".5"_s).toDouble(), 1.1111111111111111e99);
    for (const QString &bad : {u""_s, u"abc"_s, u"12ab"_s, u"1,5"_s, u"  "_s, u"0x10"_s, u"."_s,
                               u"1e"_s, u"inf"_s, u"nan"_s, u"１２"_s})
        EXPECT_EQ(errorNumber([&] { (void)Value(bad).toDouble(); }), 13) << bad.toStdString();
    EXPECT_EQ(errorNumber([&] { (void)Value(u"1e999"_s).toDouble(); }), 6);
}

TEST(Value, IntegersRoundHalfToEvenAndOverflow)
{
    EXPECT_EQ(Value(u"2.5"_s).toInt32(), 2);
    EXPECT_EQ(Value(u"3.5"_s).toInt32(), 4);
    EXPECT_EQ(Value(-2.5).toInt32(), -2);
    EXPECT_EQ(Value(Currency{25000}).toInt64(), 2); // 2.5
    EXPECT_EQ(Value(u"2147483647"_s).toInt32(), 2147483647);
    EXPECT_EQ(errorNumber([] { (void)Value(u"2147483648"_s).toInt32(); }), 6);
    EXPECT_EQ(Value(u"9007199254740993"_s).toInt64(), 9007199254740993LL); // beyond double
    EXPECT_EQ(errorNumber([] { (void)Value(1e300).toInt64(); }), 6);
    // 2^63 itself, one past the largest: as a double, from text, and to currency.
    EXPECT_EQ(errorNumber([] { (void)Value(9223372036854775808.0).toInt64(); }), 6);
    EXPECT_EQ(errorNumber([] { (void)Value(u"9223372036854775808.0"_s).toInt64(); }), 6);
    EXPECT_EQ(errorNumber([] { (void)Value(922337203685477.5808).toCurrency(); }), 6);
    EXPECT_EQ(Value(true).toInt32(), -1);
}

TEST(Value, CurrencyIsExactFixedPoint)
{
    EXPECT_EQ(Value(u"412.50"_s).toCurrency().scaled, 4125000);
    EXPECT_EQ(Value(u"-0.00005"_s).toCurrency().scaled, 0); // half to even
    EXPECT_EQ(Value(u"0.00015"_s).toCurrency().scaled, 2);
    EXPECT_EQ(Value(u"922337203685477.5807"_s).toCurrency().scaled,
              std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(errorNumber([] { (void)Value(u"922337203685478"_s).toCurrency(); }), 6);
    EXPECT_EQ(errorNumber([] { (void)Value(u"12,50"_s).toCurrency(); }), 13);
    EXPECT_EQ(Value(Currency{125000}).toText(), u"12.5"_s);
    EXPECT_EQ(Value(Currency{-5}).toText(), u"-0.0005"_s);
    EXPECT_EQ(Value(Currency{std::numeric_limits<std::int64_t>::min()}).toText(),
              u"-922337203685477.5808"_s);
}

TEST(Value, NumbersAndFlagsAsText)
{
    EXPECT_EQ(Value(125.5).toText(), u"125.5"_s);
    EXPECT_EQ(Value(0.1 + 0.2).toText(), u"0.3"_s);
    EXPECT_EQ(Value(1e20).toText(), u"1E+20"_s);
    EXPECT_EQ(Value(true).toText(), u"True"_s);
    EXPECT_TRUE(Value(u"true"_s).toBool());
    EXPECT_FALSE(Value(u" False "_s).toBool());
    EXPECT_TRUE(Value(u"-1"_s).toBool());
    EXPECT_EQ(errorNumber([] { (void)Value(u"Y"_s).toBool(); }), 13);
}

TEST(Value, DatesCountFromTheZeroDate)
{
    EXPECT_EQ(DateValue::fromDate(QDate(1900, 1, 1)).days, 2);
    EXPECT_EQ(Value(u"2024-01-31"_s).toDate().date(), QDate(2024, 1, 31));
    const DateValue withTime = Value(u"2024-01-31 13:45"_s).toDate();
    EXPECT_EQ(withTime.time(), QTime(13, 45));
    EXPECT_EQ(Value(u"1/31/2024"_s).toDate().date(), QDate(2024, 1, 31));
    EXPECT_EQ(Value(2.5).toDate().time(), QTime(12, 0));
    EXPECT_EQ(errorNumber([] { (void)Value(u"2024-02-30"_s).toDate(); }), 13);
    EXPECT_EQ(errorNumber([] { (void)Value(u"soon"_s).toDate(); }), 13);
    EXPECT_EQ(errorNumber([] { (void)Value(1e12).toDate(); }), 6);
}
