#include "host/HostInvoice.h"
#include "host/ReferenceHost.h"
#include "host/ShopDatabase.h"
#include "support/TestHelpers.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace orvane;
using namespace orvane::host;
using orvane::test::raised;

namespace {

int countRows(ShopDatabase &db, const QString &sqlText, const QVariantList &params = {})
{
    QSqlQuery q = db.exec(sqlText, params);
    return q.next() ? q.value(0).toInt() : -1;
}

} // namespace

TEST(ShopDatabase, CreatesEveryTableOnceAndRecordsTheVersion)
{
    QTemporaryDir dir;
    const QString conn = ShopDatabase::sqliteConnection(dir.filePath(u"shop.sqlite"_s));
    {
        auto db = ShopDatabase::open(ShopDatabase::Kind::Shop, conn);
        EXPECT_EQ(db->version(), ShopDatabase::CurrentVersion);
        for (const QString &t : {u"invoice"_s, u"invline"_s, u"customer"_s, u"billto"_s,
                                 u"discounts"_s, u"agents"_s, u"g_insurer"_s})
            EXPECT_TRUE(db->db().tables().contains(t)) << t.toStdString();
        db->exec(u"INSERT INTO invoice (idnumber, s_last) VALUES (5, 'Kim')"_s);
    }
    // Opening again changes nothing and keeps the row.
    auto db = ShopDatabase::open(ShopDatabase::Kind::Shop, conn);
    EXPECT_EQ(countRows(*db, u"SELECT COUNT(*) FROM invoice"_s), 1);
    EXPECT_EQ(countRows(*db, u"SELECT COUNT(*) FROM host_schema"_s), 1);
    // Columns the library only reads get defaults, never NULL text.
    Recordset rs = db->select(db->table(u"invoice"_s), u"idnumber = 5"_s);
    EXPECT_EQ(rs.value(u"s_first"_s), Value(QString()));
    EXPECT_EQ(rs.value(u"Deductible"_s).toCurrency().scaled, 0);
    EXPECT_TRUE(rs.value(u"lossdate"_s).isEmpty());
}

TEST(ShopDatabase, MigratingAnOlderDatabaseAddsColumnsAndTablesAndKeepsRows)
{
    QTemporaryDir dir;
    const QString conn = ShopDatabase::sqliteConnection(dir.filePath(u"shop.sqlite"_s));
    {
        auto old = ShopDatabase::open(ShopDatabase::Kind::Shop, conn, 1);
        EXPECT_EQ(old->version(), 1);
        EXPECT_FALSE(old->db().tables().contains(u"agents"_s));
        EXPECT_FALSE(old->db().record(u"invoice"_s).contains(u"voidmsg"_s));
        old->exec(u"INSERT INTO invoice (idnumber, type, s_last) VALUES (9, 'quote', 'Ito')"_s);
    }
    auto db = ShopDatabase::open(ShopDatabase::Kind::Shop, conn);
    EXPECT_EQ(db->version(), ShopDatabase::CurrentVersion);
    EXPECT_TRUE(db->db().tables().contains(u"agents"_s));
    Recordset rs = db->select(db->table(u"invoice"_s), u"idnumber = 9"_s);
    ASSERT_EQ(rs.recordCount(), 1);
    EXPECT_EQ(rs.value(u"s_last"_s), Value(u"Ito"_s));
    EXPECT_EQ(rs.value(u"voidmsg"_s), Value(QString()));
    // Names and addresses hold what dispatches carry.
    EXPECT_NO_THROW(rs.setValue(u"s_last"_s, QString(64, u'x')));
    EXPECT_NO_THROW(rs.setValue(u"s_address"_s, QString(120, u'x')));
    EXPECT_TRUE(rs.value(u"installdat"_s).isEmpty());
}

TEST(ShopDatabase, ValuesKeepTheirTypesThroughTheDatabase)
{
    using K = ColumnKind;
    EXPECT_EQ(
        ShopDatabase::fromSql(ShopDatabase::toSql(Currency{1234500}, K::Currency), K::Currency),
        Value(Currency{1234500}));
    const Value date(QDate(2026, 2, 28));
    EXPECT_EQ(ShopDatabase::fromSql(ShopDatabase::toSql(date, K::Date).toString(), K::Date), date);
    const Value stamp(DateValue::fromDateTime(QDateTime(QDate(2026, 2, 28), QTime(14, 30))));
    EXPECT_EQ(ShopDatabase::fromSql(
                  ShopDatabase::toSql(stamp, K::Date).toDateTime().toString(Qt::ISODate), K::Date),
              stamp);
    EXPECT_TRUE(ShopDatabase::toSql(Value(), K::Date).isNull());
    EXPECT_EQ(ShopDatabase::fromSql(QVariant(qlonglong(1)), K::Bool), Value(true));
    EXPECT_EQ(ShopDatabase::fromSql(QVariant(u"1"_s), K::Bool), Value(true));
}

TEST(ShopDatabase, DialectKeepsBackendDifferencesApart)
{
    const BackendDialect lite = BackendDialect::forBackend(sql::Backend::SQLite);
    const BackendDialect pg = BackendDialect::forBackend(sql::Backend::PostgreSQL);
    const ColumnDef key{u"id"_s, ColumnKind::Key};
    EXPECT_EQ(lite.columnType(key), u"INTEGER PRIMARY KEY"_s);
    EXPECT_EQ(pg.columnType(key), u"SERIAL PRIMARY KEY"_s);
    EXPECT_TRUE(lite.resyncKey(u"invoice"_s, u"idnumber"_s).isEmpty());
    EXPECT_TRUE(pg.resyncKey(u"invoice"_s, u"idnumber"_s).contains(u"setval"_s));
    EXPECT_EQ(lite.insertIgnore(u"t"_s, {u"a"_s, u"b"_s}),
              u"INSERT INTO t (a, b) VALUES (?, ?) ON CONFLICT DO NOTHING"_s);
    EXPECT_EQ(pg.defaultFor({u"f"_s, ColumnKind::Bool}), u"NOT NULL DEFAULT FALSE"_s);
}

class RefusedWrites : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        auto host = ReferenceHost::open(dir.filePath(u"data"_s), dir.filePath(u"nags"_s));
        host->seedDemo();
        file = dir.filePath(u"data/shop.sqlite"_s);
    }

    // The order and its lines as stored, for comparing before and after.
    QString snapshot()
    {
        auto db =
            ShopDatabase::open(ShopDatabase::Kind::Shop, ShopDatabase::sqliteConnection(file));
        QString out;
        QSqlQuery q = db->exec(u"SELECT s_last, total FROM invoice WHERE idnumber = 1"_s);
        while (q.next())
            out += q.value(0).toString() % u'|' % q.value(1).toString() % u';';
        QSqlQuery l = db->exec(u"SELECT lineid, quantity FROM invline WHERE idnumber = 1 "
                               u"ORDER BY lineid"_s);
        while (l.next())
            out += l.value(0).toString() % u':' % l.value(1).toString() % u';';
        return out;
    }

    // Changes the order, one line, and adds a line: a save touches both tables.
    static void edit(HostInvoice &invoice)
    {
        invoice.itemsrecordset().setValue(u"s_last"_s, u"Changed"_s);
        Recordset lines = invoice.getlineitems()->itemsrecordset();
        lines.moveFirst();
        lines.setValue(u"quantity"_s, 7);
        lines.addNew();
        lines.setValue(u"mfr_part"_s, u"NEW1"_s);
        lines.update();
    }

    QTemporaryDir dir;
    QString file;
};

TEST_F(RefusedWrites, ReadOnlyOrLockedDatabaseWritesNothingAndTheSameSaveWorksLater)
{
    const QString before = snapshot();
    auto db = ShopDatabase::open(ShopDatabase::Kind::Shop,
                                 ShopDatabase::sqliteConnection(file) % u";READONLY"_s);
    auto invoice = HostInvoice::load(db, nullptr, 1);
    edit(*invoice);
    const VbError e = raised([&] { invoice->save(); });
    EXPECT_NE(e.number(), 0);
    EXPECT_TRUE(e.description().contains(u"readonly"_s, Qt::CaseInsensitive))
        << e.description().toStdString();
    EXPECT_EQ(snapshot(), before);
    // The record sets still hold the unsaved edits.
    EXPECT_EQ(invoice->itemsrecordset().value(u"s_last"_s), Value(u"Changed"_s));

    // Locked: rolled back, and the same save works later.
    db = ShopDatabase::open(ShopDatabase::Kind::Shop,
                            ShopDatabase::sqliteConnection(file) % u";BUSY_TIMEOUT=50"_s);
    invoice = HostInvoice::load(db, nullptr, 1);
    edit(*invoice);
    {
        auto locker =
            ShopDatabase::open(ShopDatabase::Kind::Shop, ShopDatabase::sqliteConnection(file));
        locker->exec(u"BEGIN EXCLUSIVE"_s);
        const VbError locked = raised([&] { invoice->save(); });
        EXPECT_TRUE(locked.description().contains(u"locked"_s, Qt::CaseInsensitive))
            << locked.description().toStdString();
        locker->exec(u"ROLLBACK"_s);
    }
    EXPECT_EQ(snapshot(), before);
    // Nothing was marked as saved, so the retry writes everything once.
    invoice->save();
    auto check = ShopDatabase::open(ShopDatabase::Kind::Shop, ShopDatabase::sqliteConnection(file));
    EXPECT_EQ(countRows(*check, u"SELECT COUNT(*) FROM invline WHERE idnumber = 1"_s), 5);
    EXPECT_EQ(countRows(*check, u"SELECT COUNT(*) FROM invoice WHERE s_last = 'Changed'"_s), 1);
}

TEST(ShopDatabase, SeedingTwiceAddsNothing)
{
    QTemporaryDir dir;
    auto host = ReferenceHost::open(dir.filePath(u"data"_s), dir.filePath(u"nags"_s));
    host->seedDemo();
    host->seedDemo();
    EXPECT_EQ(countRows(host->database(), u"SELECT COUNT(*) FROM invoice"_s), 4);
    EXPECT_EQ(countRows(host->database(), u"SELECT COUNT(*) FROM invline"_s), 16);
    EXPECT_EQ(countRows(*host->catalogue(), u"SELECT COUNT(*) FROM vehicles"_s), 20);
    // Keys handed out after the seed do not collide with the seeded ones.
    auto order = host->newOrder();
    order->save();
    EXPECT_EQ(order->itemsrecordset().value(u"idnumber"_s), Value(5));
}
