#include "runtime/vb.h"
#include <qorOrvaneUI/runtime/VbError.h>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(Vb, ValReadsTheLeadingNumber)
{
    EXPECT_EQ(vb::Val(u"1 2"_s), 12);
    EXPECT_EQ(vb::Val(u"2abc"_s), 2);
    EXPECT_EQ(vb::Val(u"1e3"_s), 1000);
    EXPECT_EQ(vb::Val(u"&HFF"_s), 255);
    EXPECT_EQ(vb::Val(u"&O17"_s), 15);
    EXPECT_EQ(vb::Val(u" -\t3.5\n0x"_s), -3.5);
    EXPECT_EQ(vb::Val(u"1e"_s), 1);
    EXPECT_EQ(vb::Val(u"1,5"_s), 1);
}

TEST(Vb, DateSerialCarriesMonthsAndDays)
{
    EXPECT_EQ(vb::DateSerial(2024, 0, 0).date(), QDate(2023, 11, 30));
    EXPECT_EQ(vb::DateSerial(2024, 4, 31).date(), QDate(2024, 5, 1));
    EXPECT_EQ(vb::DateSerial(2024, 13, 1).date(), QDate(2025, 1, 1));
    EXPECT_EQ(vb::DateSerial(2024, 3, -1).date(), QDate(2024, 2, 28));
    // Two-digit years follow the runtime's window.
    EXPECT_EQ(vb::DateSerial(24, 1, 1).date(), QDate(2024, 1, 1));
    EXPECT_EQ(vb::DateSerial(85, 1, 1).date(), QDate(1985, 1, 1));
    EXPECT_THROW(vb::DateSerial(10000, 1, 1), orvane::VbError);
    EXPECT_THROW(vb::DateSerial(2024, 1, 2'000'000'000), orvane::VbError);
}

TEST(Vb, TrimRemovesSpacesOnly)
{
    EXPECT_EQ(vb::Trim(u"  a b  "_s), u"a b"_s);
    EXPECT_EQ(vb::Trim(u"\ta\n"_s), u"\ta\n"_s);
    EXPECT_EQ(vb::LTrim(u"  a "_s), u"a "_s);
    EXPECT_EQ(vb::RTrim(u" a  "_s), u" a"_s);
    EXPECT_EQ(vb::UCase(u"straße"_s), u"STRASSE"_s);
}

TEST(Vb, SlicingUsesOneBasedPositions)
{
    EXPECT_EQ(vb::Mid(u"20240131"_s, 5, 2), u"01"_s);
    EXPECT_EQ(vb::Mid(u"2024013"_s, 7, 2), u"3"_s);
    EXPECT_EQ(vb::Mid(u"202401"_s, 7, 2), u""_s);
    EXPECT_THROW(vb::Mid(u"abc"_s, 0), orvane::VbError);
    EXPECT_EQ(vb::Left(u"abc"_s, 10), u"abc"_s);
    EXPECT_EQ(vb::Left(u"abc"_s, -1), u""_s);
    EXPECT_EQ(vb::Right(u"abc"_s, 2), u"bc"_s);
}

TEST(Vb, DocumentFormats)
{
    const auto d = orvane::DateValue::fromDate(QDate(987, 3, 5));
    EXPECT_EQ(vb::FormatYYYYMMDD(d), u"09870305"_s);
    EXPECT_EQ(vb::FormatHHMMSS(QTime(7, 5, 9)), u"07:05:09"_s);
    EXPECT_EQ(vb::NumberText(0.1 + 0.2), u"0.3"_s);
    EXPECT_EQ(vb::NumberText(1e-7), u"1E-07"_s);
}
