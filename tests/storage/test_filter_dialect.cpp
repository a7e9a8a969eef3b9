#include "storage/FilterDialect.h"
#include <qorOrvaneUI/runtime/VbError.h>

#include "support/TestHelpers.h"

#include <QSqlDatabase>
#include <QSqlQuery>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace orvane::sql;
using orvane::VbError;
using orvane::test::raised;

namespace {

using T = ColumnType;

// The staging tables and the host tables the library's texts name, reduced to
// the columns those texts use, and a table for the type checks: a table a
// line, each column with its type's letter (text, integer, real, boolean,
// date: ColumnType's order).
const char *const tableLines = R"(g_trans guid:t rectype:t recid:t daskid:i daskloc:i
g_ackn sessionid:t Ack:b partno:t
g_enol guid:t Lossrefnum:t daskid:i daskloc:i ACK:b
g_enolline guid:t
g_cover lossref:t ack:b
g_lossack lossref:t ack:b
g_dispatch lossidnum:t ack:b Dispatch:t
g_inscoid destpid:t origpid:t inscoid:t
g_insid billtoid:i Origpid:t destpid:t Insurerid:t
g_insurer Name:t
rel_loc Name:t rel_loc_cd:t
Invoice idnumber:i location:i
Customer user2:t OrvaneShopID:t
typed due:d rate:r flag:b)";
const QString typeLetters = u"tirbd"_s;

const StaticSchema &schema()
{
    static const StaticSchema s = [] {
        StaticSchema r;
        for (const QString &line : QString::fromLatin1(tableLines).split(u'\n')) {
            const QStringList words = line.split(u' ');
            std::vector<ColumnInfo> columns;
            for (const QString &w : words.mid(1))
                columns.push_back({w.section(u':', 0, 0), T(typeLetters.indexOf(w.back()))});
            r.addTable(words[0], columns);
        }
        return r;
    }();
    return s;
}

const QString unionQuery =
    u"select g_enol.lossrefnum as lossref from g_enol where ack = .F. union select "
    u"g_cover.lossref as lossref from g_cover where ack = .F. union select g_lossack.lossref as "
    u"lossref from g_lossack where ack = .F. union select g_dispatch.lossidnum as lossref from "
    u"g_dispatch where ack = .F."_s;

QString message(const std::function<void()> &f)
{
    const VbError e = raised(f);
    EXPECT_EQ(e.number(), SyntaxErrorNumber) << e.description().toStdString();
    return e.description();
}

Rendered where(const QString &text, const QString &table = u"g_trans"_s,
               Backend backend = Backend::SQLite)
{
    return renderWhere(parseCondition(text), schema(), table, backend);
}

// The rows the filters are run against; flags as 0 and 1, as the transport's
// bound bools are stored.
const char *const seed = R"(
INSERT INTO g_trans VALUES ('t1', 'DISPATCH', '1234', 55, 1), ('t2', 'DISPATCH', '12399', 0, 0),
  ('t3', 'DISPATCH', '0123', 55, 2), ('t4', 'ENOL', '1235', 55, 1),
  ('t5', 'dispatch', '1236', 55, 1), ('t6', 'DISPATCH', 'D''1', 0, 0);
INSERT INTO g_ackn VALUES ('S1', 0, 'a'), ('S1', 1, 'b'), ('S2', 0, 'c');
INSERT INTO g_enol VALUES ('e1', 'L1', 55, 1, 0), ('e2', 'L2', 55, 1, 1);
INSERT INTO g_cover VALUES ('L1', 0), ('L3', 0), ('L4', 1);
INSERT INTO g_lossack VALUES ('L3', 0), ('L5', 0);
INSERT INTO g_dispatch VALUES ('L6', 0, 'D1'), ('1234', 0, 'D2'), ('L7', 1, 'd3');
INSERT INTO g_inscoid VALUES ('O''Brien', 'NWI', 'c1'), ('OBrien', 'NWI', 'c2'),
  ('Line1' || char(13, 10) || 'Line2', 'NWI', 'c3');
INSERT INTO g_insurer VALUES ('First Mutual'), ('Second Mutual');
INSERT INTO Invoice VALUES (55, 1), (55, 2);
INSERT INTO Customer VALUES (' ', 's0'), ('X', 's1'), ('', 's2'))";

class SqlDialectDb : public ::testing::Test {
protected:
    void SetUp() override
    {
        db_ = QSqlDatabase::addDatabase(u"QSQLITE"_s, connection);
        db_.setDatabaseName(u":memory:"_s);
        ASSERT_TRUE(db_.open());
        static const char *const sqlTypes[] = {"TEXT", "INTEGER", "REAL", "BOOLEAN", "DATE"};
        for (const QString &line : QString::fromLatin1(tableLines).split(u'\n')) {
            QStringList columns = line.split(u' ');
            const QString table = columns.takeFirst();
            for (QString &c : columns)
                c = c.section(u':', 0, 0) % u' ' %
                    QLatin1StringView(sqlTypes[typeLetters.indexOf(c.back())]);
            exec(u"CREATE TABLE "_s % table % u" ("_s % columns.join(u", "_s) % u")"_s);
        }
        for (const QString &statement : QString::fromLatin1(seed).split(u';'))
            exec(statement);
    }

    void TearDown() override
    {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection);
    }

    void exec(const QString &sql)
    {
        QSqlQuery q(db_);
        ASSERT_TRUE(q.exec(sql)) << sql.toStdString();
    }

    // The first column of every row the filter lets through, sorted.
    QStringList keys(const QString &table, const QString &filter)
    {
        const Rendered w = where(filter, table);
        Rendered r{u"SELECT * FROM \""_s % table % u"\""_s %
                       (w.sql.isEmpty() ? QString() : u" WHERE "_s % w.sql),
                   w.params};
        return column(r, 0);
    }

    QStringList column(const Rendered &r, int index)
    {
        QSqlQuery q = run(db_, r);
        QStringList out;
        while (q.next())
            out << q.value(index).toString();
        out.sort();
        return out;
    }

    inline static const QString connection = u"test_filter_dialect"_s;
    QSqlDatabase db_;
};

// Every filter and query the library hands to a table object, and the rows it finds.
TEST_F(SqlDialectDb, LibraryTextsFindTheRightRows)
{
    const std::vector<std::tuple<QString, QString, QStringList>> cases = {
        // The opening filter of an empty row set: nothing, though the table has rows.
        {u"g_trans"_s, u"g_trans.guid = '1' and g_trans.guid <> '1'"_s, {}},
        // `=` keeps letter case, so 'dispatch' is not a dispatch row; LIKE ignores it.
        {u"g_trans"_s, u"rectype = 'DISPATCH' "_s, {u"t1"_s, u"t2"_s, u"t3"_s, u"t6"_s}},
        {u"g_trans"_s, u"rectype = 'DISPATCH'  AND recid like '123%'"_s, {u"t1"_s, u"t2"_s}},
        {u"g_dispatch"_s, u"Dispatch like 'D%'"_s, {u"1234"_s, u"L6"_s, u"L7"_s}},
        {u"g_dispatch"_s, u"Dispatch not like 'd%'"_s, {}},
        // Unquoted numbers against integer columns, and a number against a text column.
        {u"g_trans"_s, u"rectype = 'DISPATCH' AND daskid = 55 and daskloc = 1"_s, {u"t1"_s}},
        {u"g_dispatch"_s, u"lossidnum = 1234"_s, {u"1234"_s}},
        {u"Invoice"_s, u"Invoice.idnumber = '55' AND invoice.location = 2"_s, {u"55"_s}},
        // The splices of the quoting routine find the values they stand for.
        {u"g_inscoid"_s,
         u"g_inscoid.destpid = 'O' + CHR(39) + 'Brien' AND g_inscoid.origpid = 'NWI'"_s,
         {u"O'Brien"_s}},
        {u"g_inscoid"_s,
         u"g_inscoid.destpid = 'Line1' + CHR(13) + CHR(10) + 'Line2' AND g_inscoid.origpid = 'NWI'"_s,
         {u"Line1\r\nLine2"_s}},
        // '' is empty text, not NULL; trailing blanks do not count in = and <>,
        // so a blank shop ID is not an ID.
        {u"Customer"_s, u"user2 = ''"_s, {QString(), u" "_s}},
        {u"Customer"_s, u"Customer.user2 <> ' ' "_s, {u"X"_s}},
        {u"Customer"_s, u"user2 = 'X  '"_s, {u"X"_s}},
        {u"Customer"_s, u" \r\n\t"_s, {QString(), u" "_s, u"X"_s}},
        {u"g_ackn"_s, u"g_ackn.sessionid = 'S1' AND ACK = .F."_s, {u"S1"_s}},
        {u"g_ackn"_s, u"ack = .t."_s, {u"S1"_s}},
        {u"g_ackn"_s, u"ack = FALSE"_s, {u"S1"_s, u"S2"_s}},
        {u"g_ackn"_s, u"ack = -1"_s, {u"S1"_s}},
        {u"g_ackn"_s, u"not ack = .F."_s, {u"S1"_s}},
        {u"g_enol"_s,
         u"g_enol.daskid = 55 AND g_enol.daskloc = 1 AND g_enol.ack = .F."_s,
         {u"e1"_s}},
    };
    for (const auto &[table, filter, expected] : cases)
        EXPECT_EQ(keys(table, filter), expected) << filter.toStdString();

    const std::vector<std::pair<QString, QStringList>> queries = {
        {u"Select count(*) as cnt from g_ackn where g_ackn.Ack = .F."_s, {u"2"_s}},
        {u"Select * from g_insurer"_s, {u"First Mutual"_s, u"Second Mutual"_s}},
        {u"Select * from rel_loc"_s, {}},
        {unionQuery, {u"1234"_s, u"L1"_s, u"L3"_s, u"L5"_s, u"L6"_s}},
        {u"select lossref from g_cover union all select lossref from g_lossack order by lossref "
         u"desc"_s,
         {u"L1"_s, u"L3"_s, u"L3"_s, u"L4"_s, u"L5"_s}},
    };
    for (const auto &[text, expected] : queries) {
        EXPECT_EQ(column(renderSelect(parseSelect(text), schema(), Backend::SQLite), 0), expected)
            << text.toStdString();
    }
}

TEST(SqlDialect, RendersParameterizedSql)
{
    Rendered r =
        where(u"rectype = 'DISPATCH'  AND recid like '123%'"_s, u"g_trans"_s, Backend::PostgreSQL);
    EXPECT_EQ(r.sql, uR"(rtrim("rectype", ' ') = ? AND "recid" ILIKE ? ESCAPE '')"_s);
    EXPECT_EQ(r.params, (QVariantList{u"DISPATCH"_s, u"123%"_s}));
    // A typed wildcard searched for as itself: a printable escape character is
    // written into the statement (SQLite's index ranges need that), others bound.
    r = where(u"recid like '5\\%%' ESCAPE '\\'"_s, u"g_trans"_s, Backend::PostgreSQL);
    EXPECT_EQ(r.sql, uR"("recid" ILIKE ? ESCAPE '\')"_s);
    EXPECT_EQ(r.params, (QVariantList{u"5\\%%"_s}));
    r = where(u"recid like 'O''%' ESCAPE ''''"_s);
    EXPECT_EQ(r.sql, uR"("recid" LIKE ? ESCAPE '''')"_s);
    r = where(u"recid like 'a%' ESCAPE '\u00e9'"_s);
    EXPECT_EQ(r.sql, uR"("recid" LIKE ? ESCAPE ?)"_s);
    EXPECT_EQ(r.params, (QVariantList{u"a%"_s, u"\u00e9"_s}));

    // Canonical column names; booleans bound as such for PostgreSQL.
    r = where(u"G_ACKN.SESSIONID = 'S1' AND ack = .F."_s, u"g_ackn"_s, Backend::PostgreSQL);
    EXPECT_EQ(r.sql, uR"(rtrim("sessionid", ' ') = ? AND "Ack" = ?)"_s);
    EXPECT_EQ(r.params, (QVariantList{u"S1"_s, false}));
    EXPECT_EQ(where(u"ack = 1"_s, u"g_ackn"_s, Backend::PostgreSQL).params, QVariantList{true});

    // Splices fold into one parameter; literals take their column's type.
    r = where(u"g_insid.billtoid = '12' AND destpid = 'O' + CHR(39) + 'Brien' + chr(146)"_s,
              u"g_insid"_s, Backend::PostgreSQL);
    EXPECT_EQ(r.sql, uR"("billtoid" = ? AND rtrim("destpid", ' ') = ?)"_s);
    EXPECT_EQ(r.params, (QVariantList{qint64(12), QString(u"O'Brien"_s + QChar(0x2019))}));

    // Grouping survives; NULL comparisons become IS [NOT] NULL.
    r = where(u"(guid = 'a' or guid = 'b') and not (daskid = 1 or daskid is null) "
              u"and recid != null"_s);
    EXPECT_EQ(
        r.sql,
        uR"((rtrim("guid", ' ') = ? OR rtrim("guid", ' ') = ?) AND NOT ("daskid" = ? OR "daskid" IS NULL))"
        uR"( AND "recid" IS NOT NULL)"_s);
    r = where(u"guid = 'a' or guid = 'b' and (guid = 'c' or not not guid = 'd')"_s);
    EXPECT_EQ(
        r.sql,
        uR"(rtrim("guid", ' ') = ? OR rtrim("guid", ' ') = ? AND (rtrim("guid", ' ') = ? OR NOT NOT rtrim("guid", ' ') = ?))"_s);

    r = renderSelect(parseSelect(unionQuery), schema(), Backend::PostgreSQL);
    EXPECT_EQ(r.sql, uR"(SELECT "Lossrefnum" AS "lossref" FROM "g_enol" WHERE "ACK" = ? UNION )"
                     uR"(SELECT "lossref" AS "lossref" FROM "g_cover" WHERE "ack" = ? UNION )"
                     uR"(SELECT "lossref" AS "lossref" FROM "g_lossack" WHERE "ack" = ? UNION )"
                     uR"(SELECT "lossidnum" AS "lossref" FROM "g_dispatch" WHERE "ack" = ?)"_s);
    EXPECT_EQ(r.params, (QVariantList{false, false, false, false}));
    r = renderSelect(parseSelect(u"select * from typed order by DUE desc, rate"_s), schema(),
                     Backend::SQLite);
    EXPECT_EQ(r.sql, uR"(SELECT * FROM "typed" ORDER BY "due" DESC, "rate")"_s);
}

TEST(SqlDialect, LiteralsMustFitTheirColumns)
{
    const QString table = u"typed"_s;
    EXPECT_EQ(where(u"due = '2024-02-29'"_s, table).params, QVariantList{QDate(2024, 2, 29)});
    EXPECT_EQ(where(u"rate >= -1.25"_s, table).params, QVariantList{-1.25});
    EXPECT_EQ(where(u"rate < ' 3 '"_s, table).params, QVariantList{3.0});
    EXPECT_EQ(where(u"flag = 0"_s, table).params, QVariantList{0});

    const std::vector<std::tuple<QString, QString, QString>> refused = {
        {u"daskid = 'abc'"_s, u"g_trans"_s,
         u"The value at position 10 does not fit the integer column g_trans.daskid"_s},
        {u"due = '2024-02-30'"_s, table, u"date"_s},
        {u"flag = 'yes'"_s, table, u"boolean"_s},
        {u"flag = 2"_s, table, u"boolean"_s},
        {u"rate = 'inf'"_s, table, u"double"_s},
        {u"guid = .T."_s, u"g_trans"_s, u"text column"_s},
        {u"flag like '1%'"_s, table,
         u"LIKE needs a text column; typed.flag is boolean at position 1"_s},
        {u"daskid < NULL"_s, u"g_trans"_s,
         u"NULL can only be compared with = or <> at position 10"_s},
        {u"recid like 5"_s, u"g_trans"_s, u"Expected a quoted pattern after LIKE at position 12"_s},
        {u"recid like 'a%' ESCAPE '!!'"_s, u"g_trans"_s,
         u"ESCAPE needs one quoted character at position 24"_s},
        {u"guid = CHR(0)"_s, u"g_trans"_s,
         u"CHR needs a whole number from 1 to 255 at position 12"_s},
        {u"guid = 'a' + 5"_s, u"g_trans"_s, u"after '+'"_s},
        {u"daskid = 99999999999999999999"_s, u"g_trans"_s, u"out of range"_s},
        {u"daskid = "_s + QString(31, u'9'), u"g_trans"_s,
         u"Number '"_s + QString(30, u'9') + u"...' is out of range"_s},
    };
    for (const auto &[text, in, problem] : refused) {
        const QString d = message([&, &text = text, &in = in] { where(text, in); });
        EXPECT_TRUE(d.contains(problem)) << d.toStdString();
    }
}

TEST_F(SqlDialectDb, HostileTextsAreRefusedAndNothingRuns)
{
    const QStringList before = keys(u"g_trans"_s, {});
    const std::vector<std::pair<QString, QString>> filters = {
        {u"guid = 'O'Brien'"_s, u"Unterminated text starting at position 16"_s},
        {u"guid = 'a'; DROP TABLE g_trans"_s, u"';' is not allowed at position 11"_s},
        {u"guid = 'a' -- '"_s, u"Comments ('--') are not allowed at position 12"_s},
        {u"guid = 'a' /* x */"_s, u"Comments ('/*') are not allowed at position 12"_s},
        {u"guid = (select guid from g_trans)"_s, u"Sub-queries are not allowed at position 9"_s},
        {u"(select guid from g_trans) = 'a'"_s, u"Sub-queries are not allowed at position 2"_s},
        {u"guid in (select guid from g_trans)"_s,
         u"Expected a comparison operator at position 6, found 'in'"_s},
        {u"upper(guid) = 'A'"_s, u"Unknown function 'upper' at position 1"_s},
        {u"foo = 'a'"_s, u"Unknown column 'foo' in table g_trans at position 1"_s},
        {u"g_ackn.guid = 'a'"_s,
         u"Column 'g_ackn.guid' at position 1 does not belong to table g_trans"_s},
        {u"guid = 'a' or 1=1"_s, u"A comparison must start with a column name at position 15"_s},
        {u"guid = \"a\""_s, u"The character '\"' is not allowed at position 8"_s},
        {u"guid = 'a' and"_s, u"Expected a column name at the end of the text"_s},
        {u"(guid = 'a'"_s, u"Expected ')' at the end of the text"_s},
        {u"guid = 'a')"_s, u"Unexpected ')' after the end of the condition at position 11"_s},
        {u"guid = 'a" + QChar(0) + u"'"_s, u"A NUL character is not allowed at position 10"_s},
        {u"guid = 'a'" + QChar(0x1B), u"The character U+1B is not allowed at position 11"_s},
        {u"guid = 'a' " + QString(MaxLength, u' '),
         u"the limit is "_s + QString::number(MaxLength)},
        {QString(10000, u'(') + u"guid = 'a'" + QString(10000, u')'),
         u"Nesting deeper than 16 levels at position 17"_s},
        {QString(qsizetype(17) * 4, u' ').replace(u"    "_s, u"not "_s) + u"guid = 'a'"_s,
         u"Nesting deeper than 16 levels at position 65"_s},
    };
    for (const auto &[text, problem] : filters) {
        SCOPED_TRACE(text.left(60).toStdString());
        const QString d = message([&, &text = text] { (void)keys(u"g_trans"_s, text); });
        EXPECT_TRUE(d.startsWith(u"Syntax error in query: "_s)) << d.toStdString();
        EXPECT_TRUE(d.contains(problem)) << d.toStdString();
    }
    const std::vector<std::pair<QString, QString>> queries = {
        {u"Select * from g_trans; delete from g_trans"_s, u"';' is not allowed at position 22"_s},
        {u"select * from (select * from g_trans)"_s, u"Sub-queries are not allowed"_s},
        {u"select max(daskid) from g_trans"_s, u"Unknown function 'max' at position 8"_s},
        {u"select * from nosuch"_s, u"Unknown table 'nosuch' at position 15"_s},
        {u"select guid from g_trans union select guid, recid from g_trans"_s,
         u"same number of columns"_s},
        {u"select * from g_trans where guid = 'a' order by foo"_s,
         u"Unknown column 'foo' in table g_trans"_s},
        {u"select guid as g from g_trans union select recid from g_trans order by recid"_s,
         u"ORDER BY of a UNION must name a result column"_s},
        {u"select * from g_trans order by guid union select * from g_trans"_s,
         u"Unexpected 'union' after the end of the query"_s},
        {u"delete from g_trans"_s, u"Expected SELECT at position 1, found 'delete'"_s},
    };
    for (const auto &[text, problem] : queries) {
        SCOPED_TRACE(text.toStdString());
        const QString d = message([&, t = text] {
            (void)column(renderSelect(parseSelect(t), schema(), Backend::SQLite), 0);
        });
        EXPECT_TRUE(d.contains(problem)) << d.toStdString();
    }
    EXPECT_EQ(keys(u"g_trans"_s, {}), before);
}

TEST_F(SqlDialectDb, TextsAtTheLimitsStillRun)
{
    // The nestings that cost SQLite's parser most, as deep as the dialect allows:
    // what is accepted must also run.
    const std::vector<std::pair<QString, int>> levels = {
        {u"("_s, 1},
        {u"guid = 'x' OR ("_s, 1},
        {u"guid = 'x' OR guid = 'x' AND ("_s, 1},
        {u"guid = 'x' OR recid LIKE 'x' AND NOT ("_s, 2},
        {u"NOT NOT ("_s, 3},
    };
    for (const auto &[open, units] : levels) {
        QString deep = u"guid = 't1'"_s;
        for (int depth = units; depth <= MaxDepth; depth += units)
            deep = open % deep % u")"_s;
        SCOPED_TRACE(deep.toStdString());
        EXPECT_NO_THROW((void)keys(u"g_trans"_s, deep));
        EXPECT_NO_THROW((void)column(
            renderSelect(parseSelect(u"select guid from g_trans where "_s % deep %
                                     u" union select guid from g_trans where "_s % deep),
                         schema(), Backend::SQLite),
            0));
    }

    // As many comparisons as allowed, in one chain.
    QString chain = u"guid = 't2'"_s;
    for (int i = 1; i < MaxTerms; ++i)
        chain += u" OR guid = 'x'"_s;
    EXPECT_EQ(keys(u"g_trans"_s, chain), QStringList{u"t2"_s});
    EXPECT_TRUE(message([&] {
                    parseCondition(chain + u" OR guid = 'y'"_s);
                }).contains(u"More than 500 comparisons and columns"_s));

    QString unions = u"select guid from g_trans"_s;
    for (int i = 1; i < MaxSelects; ++i)
        unions += u" union select guid from g_trans"_s;
    EXPECT_EQ(column(renderSelect(parseSelect(unions), schema(), Backend::SQLite), 0).size(), 6);
    EXPECT_TRUE(message([&] {
                    parseSelect(unions + u" union select guid from g_trans"_s);
                }).contains(u"More than 100 SELECTs"_s));
}

TEST_F(SqlDialectDb, DatabaseFailuresBecomeErrors)
{
    const VbError e = raised([&] { run(db_, {u"SELECT * FROM missing_table"_s, {}}); });
    EXPECT_EQ(e.number(), orvane::err::Unspecified);
    EXPECT_TRUE(e.description().contains(u"missing_table"_s)) << e.description().toStdString();
    QSqlDatabase closed;
    EXPECT_EQ(raised([&] { run(closed, {u"SELECT 1"_s, {}}); }).number(), orvane::err::Unspecified);
}

} // namespace
