// The text rules the record set, the criteria parser and the filter dialect
// share, and the runtime's text, number and date functions.
#include "runtime/Criteria.h"
#include "runtime/RuntimeHelpers.h"
#include "runtime/vb.h"
#include "support/TestHelpers.h"
#include <qorOrvaneUI/runtime/Recordset.h>

#include <QString>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace orvane;
using orvane::test::errorNumber;

namespace {

const QString Clef = QString::fromUtf16(u"\U0001D11E"); // two UTF-16 units, one character

TEST(FitText, CutsByTheCharactersTheRecordSetCounts)
{
    struct Case {
        QString text;
        int size;
        QString fitted;
    };
    const Case cases[] = {
        {u"abcdef"_s, 0, u"abcdef"_s},              // no size: any length
        {u"abc"_s, 3, u"abc"_s},                    // exact
        {u"abcdef"_s, 4, u"abcd"_s},                // cut
        {u"a"_s + Clef + u"b"_s, 2, u"a"_s + Clef}, // the pair stays whole
        {u"abc"_s + Clef, 3, u"abc"_s},             // never half a pair
    };
    for (const Case &c : cases) {
        const QString fitted = fitText(c.text, c.size);
        EXPECT_EQ(fitted, c.fitted) << c.text.toStdString() << " / " << c.size;
        // Whatever the rule leaves, the field takes.
        Recordset rs = test::openRecordset({{u"t"_s, ftype::Text, c.size}, {u"n"_s, ftype::Int32}});
        rs.addNew();
        EXPECT_EQ(errorNumber([&] { rs[u"t"_s] = rs.field(u"t"_s).fitted(c.text); }), 0);
        EXPECT_EQ(rs.field(u"n"_s).fitted(u"123456"_s), u"123456"_s); // converted, not cut
    }
}

TEST(VbChr, Windows1252AndItsRange)
{
    EXPECT_EQ(vb::Chr(0), QChar(u'\0'));
    EXPECT_EQ(vb::Chr(0x80), QChar(u'\u20AC'));
    EXPECT_EQ(vb::Chr(0x9F), QChar(u'\u0178'));
    EXPECT_EQ(vb::Chr(0xE9), QChar(u'\u00E9'));
    EXPECT_EQ(errorNumber([] { vb::Chr(256); }), err::InvalidProcedureCall);
    EXPECT_EQ(errorNumber([] { vb::Chr(-1); }), err::InvalidProcedureCall);
}

} // namespace

TEST(Vb, NumbersAndDatesInAndOutOfText)
{
    EXPECT_EQ(vb::Val(u"1 2"_s), 12);
    EXPECT_EQ(vb::Val(u"2abc"_s), 2);
    EXPECT_EQ(vb::Val(u"&HFF"_s), 255);
    EXPECT_EQ(vb::Val(u"&O17"_s), 15);
    EXPECT_EQ(vb::Val(u" -\t3.5\n0x"_s), -3.5);
    EXPECT_EQ(vb::Val(u"1e"_s), 1);
    EXPECT_EQ(vb::Val(u"1,5"_s), 1);

    const auto d = orvane::DateValue::fromDate(QDate(987, 3, 5));
    EXPECT_EQ(vb::FormatYYYYMMDD(d), u"09870305"_s);
    EXPECT_EQ(vb::FormatHHMMSS(QTime(7, 5, 9)), u"07:05:09"_s);
    EXPECT_EQ(vb::NumberText(0.1 + 0.2), u"0.3"_s);
    EXPECT_EQ(vb::NumberText(1e-7), u"1E-07"_s);

    EXPECT_EQ(vb::DateSerial(2024, 0, 0).date(), QDate(2023, 11, 30));
    EXPECT_EQ(vb::DateSerial(2024, 4, 31).date(), QDate(2024, 5, 1));
    EXPECT_EQ(vb::DateSerial(2024, 3, -1).date(), QDate(2024, 2, 28));
    // Two-digit years follow the runtime's window.
    EXPECT_EQ(vb::DateSerial(24, 1, 1).date(), QDate(2024, 1, 1));
    EXPECT_EQ(vb::DateSerial(85, 1, 1).date(), QDate(1985, 1, 1));
    EXPECT_THROW(vb::DateSerial(10000, 1, 1), orvane::VbError);
    EXPECT_THROW(vb::DateSerial(2024, 1, 2'000'000'000), orvane::VbError);
}

TEST(Vb, TrimRemovesSpacesOnlyAndSlicingCountsFromOne)
{
    EXPECT_EQ(vb::Trim(u"  a b  "_s), u"a b"_s);
    EXPECT_EQ(vb::Trim(u"\ta\n"_s), u"\ta\n"_s);
    EXPECT_EQ(vb::LTrim(u"  a "_s), u"a "_s);
    EXPECT_EQ(vb::RTrim(u" a  "_s), u" a"_s);
    EXPECT_EQ(vb::UCase(u"straße"_s), u"STRASSE"_s);

    EXPECT_EQ(vb::Mid(u"2024013"_s, 7, 2), u"3"_s);
    EXPECT_EQ(vb::Mid(u"202401"_s, 7, 2), u""_s);
    EXPECT_THROW(vb::Mid(u"abc"_s, 0), orvane::VbError);
    EXPECT_EQ(vb::Left(u"abc"_s, -1), u""_s);
    EXPECT_EQ(vb::Right(u"abc"_s, 2), u"bc"_s);
}
