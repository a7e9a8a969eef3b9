#include "host/ShopDatabase.h"
#include "transport/StagingSchema.h"
#include "transport/TransportFixture.h"

#include <QSqlError>
#include <QSqlRecord>

#include <set>
#include <thread>

using namespace Qt::StringLiterals;
using namespace orvane;
using namespace orvane::transport;
using namespace orvane::transport::test;

class StagingSchemaTest : public TransportTest {};

TEST_P(StagingSchemaTest, CreatesEveryTableAndUpgradesAnOlderOneKeepingItsRows)
{
    {
        auto old = StagingDatabase::open(connection_, 1);
        QSqlQuery q(old->db());
        // Workstations' readers must not hold up each other's commits on a shared file.
        if (!postgres()) {
            EXPECT_TRUE(q.exec(u"PRAGMA journal_mode"_s) && q.next() &&
                        q.value(0).toString() == u"wal"_s);
        }
        ASSERT_TRUE(q.exec(u"INSERT INTO g_lossack (guid, lossref, ack) VALUES ('G1', 'LR-1', "_s %
                           old->dialect().trueLiteral() % u")"_s));
        ASSERT_TRUE(q.exec(u"INSERT INTO g_ackn (sessionid, ConfCode) VALUES ('S1', 'AC1')"_s));
    }
    auto db = StagingDatabase::open(connection_, SchemaVersion);
    EXPECT_EQ(db->version(), SchemaVersion);
    for (const sql::TableDef &t : stagingTables()) {
        const QSqlRecord rec = db->db().record(t.name);
        for (const sql::ColumnDef &c : t.columns)
            EXPECT_TRUE(rec.contains(c.name))
                << t.name.toStdString() << "." << c.name.toStdString();
    }
    // The rows of the older version are still there, new columns at their defaults.
    EXPECT_EQ(
        rowTexts(db->load(*stagingTable(u"g_lossack"_s), {}), {u"lossref"_s, u"ack"_s, u"zip"_s}),
        QStringList{u"LR-1|True|"_s});
    EXPECT_EQ(rowTexts(db->load(*stagingTable(u"g_ackn"_s), {}), {u"sessionid"_s, u"ConfCode"_s}),
              QStringList{u"S1|AC1"_s});
    // A notice holds the order's whole address, also in an upgraded database.
    QSqlQuery q(db->db());
    EXPECT_TRUE(q.exec(u"INSERT INTO g_enol (guid, s_address) VALUES ('W1', '"_s %
                       QString(150, u'a') % u"')"_s))
        << q.lastError().text().toStdString();

    // Polls and searches have their indexes.
    q.exec(postgres() ? u"SELECT indexname FROM pg_indexes WHERE schemaname = 'public'"_s
                      : u"SELECT name FROM sqlite_master WHERE type = 'index'"_s);
    QStringList missing =
        u"g_ackn_sessionid_t g_ackn_ack g_trans_guid_t g_trans_rectype_recid_t "
        u"g_trans_daskid_daskloc g_enol_guid_t g_cover_lossref_t "
        u"g_lossack_lossref_t g_dispatch_lossidnum_t g_inscoid_destpid_origpid_t"_s.split(u' ');
    while (q.next())
        missing.removeAll(q.value(0).toString().toLower());
    EXPECT_TRUE(missing.isEmpty()) << missing.join(u' ').toStdString();
    // Opening again changes nothing and loses nothing.
    auto again = StagingDatabase::open(connection_, SchemaVersion);
    EXPECT_EQ(again->load(*stagingTable(u"g_lossack"_s), {}).recordCount(), 1);
}

// Two workstations poll the same unread rows and each takes what it claims:
// every row is handled once, none is lost.
TEST_P(StagingSchemaTest, TwoConnectionsClaimingAtOnceNeitherLoseNorDoubleHandleARow)
{
    constexpr int Rows = 120;
    {
        auto db = StagingDatabase::open(connection_, SchemaVersion);
        db->writeTransaction([&] {
            for (int i = 0; i < Rows; ++i)
                sql::exec(db->db(),
                          u"INSERT INTO g_ackn (sessionid, linenumber, ack) VALUES ('S1', ?, "_s %
                              db->dialect().falseLiteral() % u")"_s,
                          {i}, u"test"_s);
        });
    }
    std::vector<qint64> claimed[2];
    auto worker = [&](int who) {
        try {
            auto db = StagingDatabase::open(connection_, SchemaVersion); // its own connection
            const sql::TableDef &ackn = *stagingTable(u"g_ackn"_s);
            for (int from = 0; from < Rows; from += 7) {
                Recordset rs = db->claim(ackn,
                                         u"g_ackn.sessionid = 'S1' AND linenumber >= %1 AND "
                                         "linenumber < %2"_s.arg(from)
                                             .arg(from + 7),
                                         u"Ack"_s);
                for (; rs.recordCount() > 0 && !rs.eof(); rs.moveNext())
                    claimed[who].push_back(rs.value(u"linenumber"_s).toInt64());
            }
        } catch (const VbError &e) {
            ADD_FAILURE() << e.description().toStdString();
        }
    };
    std::thread a(worker, 0), b(worker, 1);
    a.join();
    b.join();
    std::set<qint64> all(claimed[0].begin(), claimed[0].end());
    for (qint64 n : claimed[1])
        EXPECT_TRUE(all.insert(n).second) << "row " << n << " claimed twice";
    EXPECT_EQ(all.size(), size_t(Rows));
    auto db = StagingDatabase::open(connection_, SchemaVersion);
    EXPECT_EQ(db->claim(*stagingTable(u"g_ackn"_s), u"sessionid = 'S1'"_s, u"ack"_s).recordCount(),
              0);
}

// An order line must hold a whole confirmation code, and an order a long
// name, after the upgrade, also where the database enforces the old columns.
TEST_P(StagingSchemaTest, HostUpgradeWidensTheConfirmationCode)
{
    using host::ShopDatabase;
    {
        auto old = ShopDatabase::open(ShopDatabase::Kind::Shop, connection_, 2);
    }
    auto db = ShopDatabase::open(ShopDatabase::Kind::Shop, connection_);
    for (const auto &[table, column, width] :
         {std::tuple{u"invline"_s, u"conf"_s, 30}, std::tuple{u"invoice"_s, u"s_last"_s, 64}}) {
        const QString value(width, u'C');
        db->exec(u"INSERT INTO "_s % table % u" (idnumber, "_s % column % u") VALUES (1, ?)"_s,
                 {value});
        QSqlQuery q =
            db->exec(u"SELECT "_s % column % u" FROM "_s % table % u" WHERE idnumber = 1"_s);
        q.next();
        EXPECT_EQ(q.value(0).toString(), value);
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, StagingSchemaTest, backends, backendName);
