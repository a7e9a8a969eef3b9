#include "runtime/Criteria.h"
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/VbError.h>

#include "runtime/RuntimeHelpers.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;
using orvane::test::errorNumber;
using namespace orvane;

namespace {

QString descriptionOf(const std::function<void()> &f)
{
    return orvane::test::raised(f).description();
}

// PartNo text(10), Qty int, Price currency, Sent bool, Due date.
Recordset makeParts()
{
    return test::openRecordset({{u"PartNo"_s, ftype::Text, 10},
                                {u"Qty"_s, ftype::Int32},
                                {u"Price"_s, ftype::Currency},
                                {u"Sent"_s, ftype::Bool},
                                {u"Due"_s, ftype::Date}});
}

Recordset sampleParts()
{
    Recordset rs = makeParts();
    rs.loadRow({u"BACKTINT"_s, 1, u"10.5"_s, false, QDate(2024, 1, 31)});
    rs.loadRow({u"O'Brien"_s, 12, u"99.99"_s, true, QDate(2024, 2, 29)});
    rs.loadRow({u"WS-100"_s, 5, u"250"_s, false, QDate(2023, 12, 24)});
    rs.loadRow({u"ws-200"_s, -3, u"0.0001"_s, true, QDate(2024, 6, 1)});
    rs.moveFirst();
    return rs;
}

// Part numbers of the rows the cursor visits from the first visible row.
QStringList visibleParts(Recordset rs)
{
    QStringList parts;
    if (rs.eof() && rs.bof())
        return parts;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        parts << rs.value(u"PartNo"_s).toText();
    return parts;
}

QStringList filtered(const Recordset &rs, const QString &criteria)
{
    Recordset view = rs.clone();
    view.setFilter(criteria);
    return visibleParts(view);
}

} // namespace

TEST(RecordsetFields, SizesTypesAndNames)
{
    Recordset rs;
    const int types[] = {ftype::Text,     203,         ftype::Int32, ftype::Int64, ftype::Double,
                         ftype::Currency, ftype::Date, ftype::Bool};
    const int sizes[] = {30, 0, 4, 8, 8, 8, 8, 2};
    for (int i = 0; i < 8; ++i)
        rs.appendField(i == 5 ? u"Money"_s : u"F"_s + QString::number(i), types[i], sizes[i]);
    EXPECT_EQ(errorNumber([&] { rs.appendField(u"MONEY"_s, ftype::Text, 5); }), 3367);
    EXPECT_EQ(errorNumber([&] { rs.appendField(u"Odd"_s, 999); }), err::BadArguments);
    rs.open();
    EXPECT_EQ(errorNumber([&] { rs.appendField(u"Late"_s, ftype::Text, 5); }),
              err::OperationNotAllowed);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(rs.fieldDef(i).definedSize, sizes[i]) << i;
    EXPECT_EQ(rs.fieldIndex(u"mONEY"_s), 5);
    EXPECT_TRUE(descriptionOf([&] { rs.field(u"nope"_s); }).endsWith(u"ordinal. (\"nope\")"_s));
}

TEST(RecordsetCursor, EmptySetAndBoundaries)
{
    Recordset rs = makeParts();
    EXPECT_TRUE(rs.bof() && rs.eof());
    EXPECT_EQ(errorNumber([&] { rs.moveNext(); }), err::NoCurrentRecord);

    rs = sampleParts();
    rs.movePrevious();
    EXPECT_TRUE(rs.bof());
    EXPECT_EQ(rs.absolutePosition(), 0);
    EXPECT_EQ(errorNumber([&] { rs.movePrevious(); }), err::NoCurrentRecord);
    rs.move(3);
    EXPECT_EQ(rs.value(u"PartNo"_s), Value(u"WS-100"_s));
    rs.move(5);
    EXPECT_TRUE(rs.eof());
    rs.moveLast();
    EXPECT_EQ(rs.absolutePosition(), 4);
    rs.move(-3);
    Recordset same = rs; // a second handle on the same cursor
    same.moveNext();
    EXPECT_EQ(rs.value(u"PartNo"_s), Value(u"O'Brien"_s));
}

TEST(RecordsetRows, AddNewUpdateCancelAndDelete)
{
    Recordset rs = sampleParts();
    rs.addNew();
    rs[u"PartNo"_s] = u"HALF"_s;
    rs.cancelUpdate(); // filling the row failed
    EXPECT_EQ(rs.recordCount(), 4);
    EXPECT_EQ(rs.value(u"PartNo"_s), Value(u"BACKTINT"_s)) << "back where it was";

    rs[u"Qty"_s] = 77;
    rs.cancelUpdate();
    EXPECT_EQ(rs.value(u"Qty"_s), Value(std::int32_t(1)));

    rs.addNew();
    rs[u"PartNo"_s] = u"KEPT"_s;
    rs.moveFirst(); // leaving an added row commits it
    rs.cancelUpdate();
    rs.moveLast();
    EXPECT_EQ(rs.value(u"PartNo"_s), Value(u"KEPT"_s));

    // A deleted row stays current, without values, until the next move.
    rs = sampleParts();
    rs.moveNext();
    ASSERT_EQ(rs.recordCount(), 4);
    rs.deleteRow();
    EXPECT_EQ(rs.recordCount(), 3);
    EXPECT_FALSE(rs.eof() || rs.bof());
    EXPECT_EQ(errorNumber([&] { rs.value(u"PartNo"_s); }), err::NoCurrentRecord);
    EXPECT_EQ(errorNumber([&] { rs.deleteRow(); }), err::NoCurrentRecord);
    EXPECT_EQ(errorNumber([] { Recordset().deleteRow(); }), 3704) << "closed, not merely empty";
    rs.moveNext();
    rs.movePrevious();
    EXPECT_EQ(rs.value(u"PartNo"_s), Value(u"BACKTINT"_s)) << "deleted row is skipped";

    // The usual delete-all loop ends at EOF without a 3021.
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        rs.deleteRow();
    EXPECT_EQ(rs.recordCount(), 0);
}

TEST(RecordsetClone, SharesRowsOwnCursorFilterAndBookmarks)
{
    Recordset rs = sampleParts();
    rs.moveLast();
    rs.setFilter(u"Sent = True"_s);
    Recordset copy = rs.clone();
    EXPECT_EQ(copy.recordCount(), 4) << "the clone has no filter";
    EXPECT_EQ(copy.value(u"PartNo"_s), Value(u"BACKTINT"_s)) << "clone starts on the first row";
    copy.addNew();
    copy[u"Sent"_s] = true;
    copy.update();
    EXPECT_EQ(rs.recordCount(), 3) << "the original's filter now lets the clone's row through";

    // A bookmark works across clones, never across record sets.
    rs = sampleParts();
    rs.moveNext();
    const Value mark = rs.bookmark();
    copy = rs.clone();
    copy.setBookmark(mark);
    EXPECT_EQ(copy.value(u"PartNo"_s), Value(u"O'Brien"_s));
    Recordset other = sampleParts();
    EXPECT_EQ(errorNumber([&] { other.setBookmark(mark); }), err::BadArguments);
    EXPECT_EQ(errorNumber([&] { other.setBookmark(Value(u"x"_s)); }), err::BadArguments);
    rs.deleteRow();
    EXPECT_EQ(errorNumber([&] {
                  copy.moveFirst();
                  copy.setBookmark(mark);
              }),
              err::BadArguments);
}

TEST(RecordsetFilter, ClausesValuesKeywordsAndTextComparison)
{
    const Recordset rs = sampleParts();
    const struct {
        QString criteria, parts;
    } cases[] = {
        {u"partno = 'backtint'"_s, u"BACKTINT"_s},
        {u"PartNo LIKE 'ws*'"_s, u"WS-100|ws-200"_s},
        {u"PartNo like '%1%'"_s, u"WS-100"_s},
        {u"Qty = -3 OR Qty = '12'"_s, u"O'Brien|ws-200"_s},
        {u"Qty < 0 OR (Qty > 10 AND Sent = False)"_s, u"ws-200"_s},
        {u"Sent = -1"_s, u"O'Brien|ws-200"_s},
        {u"Price >= 99.99"_s, u"O'Brien|WS-100"_s},
        {u"Due < #2024-01-31#"_s, u"WS-100"_s},
        {u"Due = #1/31/2024#"_s, u"BACKTINT"_s},
        {u"Due >= #2024-02-29 00:00:01#"_s, u"ws-200"_s},
        // 12 AM is midnight and 12 PM noon; <= takes the equal row; True is -1.
        {u"Due = #1/31/2024 12:00 AM#"_s, u"BACKTINT"_s},
        {u"Due < #1/31/2024 12:00 PM#"_s, u"BACKTINT|WS-100"_s},
        {u"Qty <= 1"_s, u"BACKTINT|ws-200"_s},
        {u"Qty > True"_s, u"BACKTINT|O'Brien|WS-100"_s},
        {u"[PartNo] = 'O''Brien'"_s, u"O'Brien"_s},
        {u"PartNo = 'O' + CHR(39) + 'Brien'"_s, u"O'Brien"_s},
    };
    for (const auto &c : cases)
        EXPECT_EQ(filtered(rs, c.criteria).join(u'|'), c.parts) << c.criteria.toStdString();

    // Text compares whole, trailing spaces and line breaks included; a part never
    // assigned compares as ""; Null equals nothing.
    Recordset texts = makeParts();
    for (const Value &part : {Value(u"BACKTINT "_s), Value(u"L1\r\nL2"_s), Value(), Value::null()})
        texts.loadRow({part, texts.recordCount() + 1, Value(), Value(), Value()});
    EXPECT_EQ(filtered(texts, u"PartNo = 'BACKTINT'"_s), QStringList());
    EXPECT_EQ(filtered(texts, u"PartNo = 'backtint '"_s), QStringList{u"BACKTINT "_s});
    EXPECT_EQ(filtered(texts, u"PartNo = 'L1' + CHR(13) + CHR(10) + 'L2'"_s),
              QStringList{u"L1\r\nL2"_s});
    EXPECT_EQ(filtered(texts, u"PartNo = '' AND Qty = 3"_s), QStringList{QString()});
    // A whole number against a field of fractions compares as a number, not as 0.
    Recordset hours =
        test::openRecordset({{u"PartNo"_s, ftype::Text, 10}, {u"Hours"_s, ftype::Double}});
    hours.loadRow({u"LABOR"_s, 2.5});
    EXPECT_EQ(filtered(hours, u"Hours > 2"_s), QStringList{u"LABOR"_s});
    for (const auto &[text, count] : {std::pair{u"PartNo IS NULL"_s, 1},
                                      {u"PartNo = NULL"_s, 1},
                                      {u"PartNo <> 'x'"_s, 3},
                                      {u"PartNo is not null"_s, 3}}) {
        Recordset nulls = texts.clone(); // Null is unequal to nothing
        nulls.setFilter(text);
        EXPECT_EQ(nulls.recordCount(), count) << text.toStdString();
    }
}

TEST(RecordsetFilter, CursorRulesAddedRowsAndFind)
{
    Recordset rs = sampleParts();
    rs.moveLast();
    rs.setFilter(u"Sent = True"_s);
    EXPECT_EQ(rs.value(u"PartNo"_s), Value(u"O'Brien"_s)) << "moves to the first visible row";

    // A row added under a filter stays reachable by its cursor while being
    // filled in, until the filter is set again.
    rs.addNew();
    rs[u"PartNo"_s] = u"UNSENT"_s;
    rs.update();
    EXPECT_EQ(visibleParts(rs), (QStringList{u"O'Brien"_s, u"ws-200"_s, u"UNSENT"_s}));
    rs.setFilter(u"Sent = True"_s);
    EXPECT_EQ(rs.recordCount(), 2);

    // Other rows are judged when looked at: an edit takes effect at once.
    rs[u"Sent"_s] = false;
    EXPECT_EQ(rs.recordCount(), 1);
    rs.setFilter(u"PartNo = 'none'"_s);
    EXPECT_TRUE(rs.bof() && rs.eof());
    rs.setFilter(QString());
    EXPECT_EQ(rs.recordCount(), 5);

    // Find moves to a matching row, either way, within the filter.
    rs = sampleParts();
    rs.find(u"Sent = True"_s);
    rs.find(u"Sent = True"_s); // skip 0: the current row matches
    EXPECT_EQ(rs.value(u"PartNo"_s), Value(u"O'Brien"_s));
    rs.find(u"Qty > 0"_s, 1, SearchDirection::Backward);
    EXPECT_EQ(rs.value(u"PartNo"_s), Value(u"BACKTINT"_s));
    rs.find(u"PartNo = 'nothing'"_s, 0, SearchDirection::Backward);
    EXPECT_TRUE(rs.bof());
    rs.setFilter(u"Sent = False"_s);
    rs.find(u"Qty = 12"_s);
    EXPECT_TRUE(rs.eof()) << "find honours the filter";
    EXPECT_EQ(errorNumber([&] { rs.find(u"Qty = 1"_s); }), err::NoCurrentRecord);
    rs.moveFirst();
    EXPECT_EQ(errorNumber([&] { rs.find(u"Qty = 1 AND Qty = 2"_s); }), err::BadArguments);
    EXPECT_EQ(errorNumber([&] { rs.find(u"Qty = 1"_s, -1); }), err::BadArguments);
}

TEST(RecordsetCriteria, MalformedOrHostileIsBadArgumentsWithDetail)
{
    Recordset rs = sampleParts();
    rs.setFilter(u"Qty > 1"_s);
    const QStringList malformed{
        u"Nope = 1"_s,          u"PartNo = 'abc"_s, u"PartNo = "_s,     u"Qty = 1 garbage"_s,
        u"(Qty = 1"_s,          u"Qty = 'abc'"_s,   u"Qty == 1"_s,      u"Sent LIKE 1"_s,
        u"Qty > NULL"_s,        u"AND Qty = 1"_s,   u"[PartNo = 'x'"_s, u"Due = #2024-02-30#"_s,
        u"PartNo = 'a' + 1"_s,  u"1a = 1"_s,        u"Qty = 1)"_s,      u"Qty = 12ab"_s,
        u"PartNo = CHR(256)"_s, u"Caf\u00e9 = 1"_s};
    for (const QString &text : malformed) {
        const QString description = descriptionOf([&] { rs.setFilter(text); });
        EXPECT_TRUE(description.startsWith(u"Arguments are of the wrong type"_s) &&
                    (description.contains(u"position"_s) || description.contains(u"end"_s)))
            << text.toStdString() << " -> " << description.toStdString();
    }
    EXPECT_TRUE(
        descriptionOf([&] { rs.setFilter(u"Qty = 1 OR Nope = 2"_s); }).contains(u"\"Nope\""_s));
    EXPECT_EQ(rs.recordCount(), 2) << "a refused filter leaves the old one";

    // Hostile criteria are refused cleanly, not by crashing; nesting up to the
    // limit and a long OR chain evaluate fine.
    rs = sampleParts();
    const QStringList hostile{u"PartNo = 'a"_s + QChar(0) + u"b'"_s, QString(300, u'('),
                              QString(100000, u'(') + u"Qty = 1"_s + QString(100000, u')'),
                              u"PartNo = '"_s + QString(1 << 20, u'x') + u"'"_s};
    for (const QString &text : hostile)
        EXPECT_EQ(errorNumber([&] { rs.setFilter(text); }), err::BadArguments);
    EXPECT_TRUE(descriptionOf([&] {
                    rs.setFilter(QString(201, u'(') + u"Qty = 1"_s + QString(201, u')'));
                }).contains(u"deeper"_s));
    rs.setFilter(QString(200, u'(') + u"Qty = 5"_s + QString(200, u')'));
    EXPECT_EQ(rs.recordCount(), 1);
    rs.setFilter(u"Qty = 5"_s + u" OR Qty = 1000"_s.repeated(4000));
    EXPECT_EQ(rs.recordCount(), 1);
    EXPECT_FALSE(likeMatch(QString(2000, u'a'), QString(QString(50, u'*') + u"b"_s)));
}

TEST(RecordsetStorage, LoadedRowsAndRowStatus)
{
    Recordset rs = makeParts();
    rs.loadRow({u"A"_s, u"1"_s, Value(), Value(), Value()});
    rs.loadRow({u"B"_s, 2, Value(), true, QDate(2024, 3, 1)});
    EXPECT_EQ(rs.value(u"Qty"_s), Value(std::int32_t(1))) << "on the first row, converted";
    EXPECT_EQ(errorNumber([&] { rs.loadRow({u"D"_s}); }), err::BadArguments);
    EXPECT_EQ(errorNumber([&] {
                  rs.loadRow({u"01234567890"_s, 1, Value(), Value(), Value()});
              }),
              err::MultipleStep);

    // The table object tests save new, changed and deleted rows end to end;
    // here a row added and deleted before a save, which is never stored.
    rs.deleteRow();
    rs.addNew();
    rs[u"PartNo"_s] = u"E"_s;
    rs.deleteRow();
    QStringList seen; // status (Unchanged, New, Modified, Deleted: U N M D) and part
    rs.forEachRow([&](RowStatus s, const std::vector<Value> &values) {
        seen << QChar(u"UNMD"[int(s)]) + values[0].toText();
    });
    EXPECT_EQ(seen.join(u' '), u"DA UB"_s);
}
