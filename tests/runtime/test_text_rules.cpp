// The text rules the record set, the criteria parser and the filter dialect share.
#include "runtime/Criteria.h"
#include "runtime/OpenRecordset.h"
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
        {Clef + Clef + Clef, 2, Clef + Clef},       // pairs count once
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
    EXPECT_EQ(vb::Chr(39), QChar(u'\''));
    EXPECT_EQ(vb::Chr(0x80), QChar(u'\u20AC'));
    EXPECT_EQ(vb::Chr(0x9F), QChar(u'\u0178'));
    EXPECT_EQ(vb::Chr(0xE9), QChar(u'\u00E9'));
    EXPECT_EQ(errorNumber([] { vb::Chr(256); }), err::InvalidProcedureCall);
    EXPECT_EQ(errorNumber([] { vb::Chr(-1); }), err::InvalidProcedureCall);
    // The criteria parser answers CHR the same way.
    Recordset rs = test::openRecordset({{u"t"_s, ftype::Text, 5}});
    rs.addNew();
    rs[u"t"_s] = QString(vb::Chr(0x80));
    rs.update();
    rs.setFilter(u"t = '' + CHR(128)"_s);
    EXPECT_EQ(rs.recordCount(), 1);
}

} // namespace
