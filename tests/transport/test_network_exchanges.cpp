// The exchanges with the network in detail: the service with rows queued
// while one is under way, a stop, an answer too large and a statement the
// database refused; the network's memory of its answers across a restart and
// what its answers carry.
#include "storage/SqlTable.h"
#include "support/NetworkLink.h"
#include "transport/NetworkProtocol.h"
#include "transport/StagingSchema.h"
#include "transport/TransportFixture.h"
#include <qorOrvaneUI/external/IInscoIdList.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>
#include <qorOrvaneUI/transport/NetworkAnswers.h>

#include <QSqlQuery>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace orvane;
using transport::Exchange;

namespace {

// One document sent to the network and what came back, waited for.
Exchange sendOne(transport::HttpsNetworkClient &client, const QString &messageId)
{
    Exchange got{-1, {}, {}, false};
    client.send({messageId, u"AUTHREQ"_s, u"S1"_s, 0, u"<Authorization/>"_s},
                [&](const Exchange &e) { got = e; });
    orvane::test::runUntil([&] { return got.status >= 0; }, 5000);
    return got;
}

class ExchangeTest : public transport::test::TransportTest {
protected:
    void SetUp() override
    {
        TransportTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        db_ = transport::StagingDatabase::open(connection_);
        // No retry comes back while a case runs.
        settings_.retryBaseMs = 60000;
        settings_.retryMaxMs = 60000;
    }
    void queue(const QString &recid)
    {
        sql::exec(db_->db(),
                  u"INSERT INTO g_trans (rectype, recid, xml, processed) VALUES (?, ?, ?, "_s %
                      db_->dialect().falseLiteral() % u")"_s,
                  {u"AUTHREQ"_s, recid, u"<Authorization/>"_s}, u"test"_s);
    }

    std::shared_ptr<transport::StagingDatabase> db_;
    transport::ServiceSettings settings_;
    transport::test::HeldClient client_;
};

TEST_P(ExchangeTest, RowsQueuedDuringAnExchangeGoNextAndAStoppedServiceSendsNoMore)
{
    transport::TransportService service(env_, client_, settings_);
    queue(u"D1"_s);
    service.start();
    queue(u"D2"_s);
    service.scan(); // while D1 is under way
    client_.answer({0, {}, u"The answer is larger than allowed"_s, true});
    ASSERT_TRUE(orvane::test::runUntil([&] { return client_.sent.size() == 2; }, 5000));
    EXPECT_EQ(service.state().badAnswers, 1);

    queue(u"D3"_s);
    service.scan();
    service.stop();
    client_.answer({422, {}, {}, false});
    ASSERT_TRUE(orvane::test::runUntil([&] { return service.state().failed == 1; }, 5000));
    EXPECT_EQ(client_.sent.size(), 2) << "sent after the stop";
    EXPECT_EQ(service.state().pending, 2); // D1 waits for its retry, D3 for the next start
}

// PostgreSQL keeps a statement it refused prepared until the transaction is
// rolled back; the connection must not gather them.
TEST_P(ExchangeTest, ARefusedStatementIsFreedWithItsTransaction)
{
    if (!postgres())
        return;
    auto prepared = [&] {
        QSqlQuery q(db_->db());
        return q.exec(u"SELECT count(*) FROM pg_prepared_statements"_s) && q.next()
                   ? q.value(0).toInt()
                   : -1;
    };
    const int before = prepared();
    const QString insert = u"INSERT INTO g_trans (id, rectype) VALUES (?, 'X')"_s;
    EXPECT_THROW(db_->writeTransaction([&] {
        sql::exec(db_->db(), insert, {4711}, {});
        sql::exec(db_->db(), insert, {4711}, {}); // the key is taken
    }),
                 VbError);
    EXPECT_EQ(prepared(), before);
}

// Rows added to an insurance company list belong to the IDs it was loaded
// for (a key of 0 is a row not stored yet); a stored row keeps its own.
TEST_P(ExchangeTest, AnInsuranceCompanyListFillsTheIdsOfNewRowsOnly)
{
    QSqlQuery q(db_->db());
    ASSERT_TRUE(
        q.exec(u"INSERT INTO g_inscoid (destpid, origpid, INScoid) VALUES ('', '', 'OLD')"_s));
    auto list = object<ext::IInscoIdList>(ext::progid::g_inscoid);
    list->setPID(u"P1"_s);
    list->setoid(u"N1"_s);
    list->get_g_inscoid(u"g_inscoid.INScoid = 'OLD'"_s);
    Recordset rs = list->itemsrecordset();
    rs.addNew();
    rs[u"id"_s] = 0;
    rs[u"INScoid"_s] = u"NEW"_s;
    rs.update();
    list->Update();
    EXPECT_EQ(transport::test::rowTexts(db_->load(*transport::stagingTable(u"g_inscoid"_s), {}),
                                        {u"INScoid"_s, u"destpid"_s, u"origpid"_s}),
              (QStringList{u"OLD||"_s, u"NEW|P1|N1"_s}));
}

// A number another workstation changed since the row was read is a conflict,
// as a flag is; a date alone is stored so that a filter on the day finds it,
// and a time of day comes back whole.
TEST_P(ExchangeTest, NumbersAreGuardedAndDatesKeepTheirDayAndTime)
{
    queue(u"W1"_s);
    auto change = [&](int daskid, bool dated) {
        transport::TableCore table(u"g_trans"_s);
        table.setEnv(env_);
        table.load(u"recid = 'W1'"_s);
        return [table, daskid, dated]() mutable {
            Recordset row = table.rows();
            row.setValue(u"daskid"_s, daskid);
            if (dated) {
                row.setValue(u"transdate"_s, QDate(2026, 12, 10));
                row.setValue(u"procdate"_s, Value(DateValue::fromDateTime(
                                                QDateTime(QDate(2026, 12, 10), QTime(1, 0)))));
            }
            row.update();
            table.save();
        };
    };
    auto first = change(1, true);
    auto second = change(2, false);
    first();
    EXPECT_THROW(second(), VbError);
    const Recordset stored =
        db_->load(*transport::stagingTable(u"g_trans"_s), u"transdate = '2026-12-10'"_s);
    EXPECT_EQ(stored.value(u"daskid"_s).toInt32(), 1);
    EXPECT_EQ(stored.value(u"procdate"_s).toDate().time(), QTime(1, 0));
}

// Rows added with values given for every new row (an order's lines their
// order's number) hold them in memory too once written.
TEST_P(ExchangeTest, NewRowsTakeTheValuesGivenForThem)
{
    const sql::TableDef &table = *transport::stagingTable(u"g_trans"_s);
    Recordset rows = sql::emptyRecordset(table);
    rows.addNew();
    rows.setValue(u"recid"_s, u"N1"_s);
    rows.update();
    sql::applyWritten(
        table, rows,
        sql::writeChanges(db_->db(), db_->dialect(), table, rows, {{u"daskid"_s, Value(7)}}, {}));
    rows.moveFirst();
    EXPECT_EQ(rows.value(u"daskid"_s).toInt32(), 7);
}

INSTANTIATE_TEST_SUITE_P(Backends, ExchangeTest, transport::test::backends,
                         transport::test::backendName);

// A document sent again after the network restarted gets the answer it had.
// The faults to make are counted from the first request once they are turned
// on; requests while they are off do not use them up.
TEST(NetworkServerTest, KeepsItsAnswersAcrossARestartAndSavesFaultsUntilTheyAreOn)
{
    QTemporaryDir dir;
    transport::ServerOptions kept;
    kept.stateDir = dir.path();
    kept.faultCount = 1;
    auto network = orvane::test::startNetwork(kept);
    const quint16 port = network->serverPorts().value(0);
    transport::HttpsNetworkClient client(orvane::test::clientFor(port));
    const QString id = u"0123456789ABCDEF0123456789ABCDEF"_s;
    const Exchange first = sendOne(client, id);
    EXPECT_EQ(first.status, 422);
    ASSERT_TRUE(first.body.contains("Receipt"));
    network.reset();
    EXPECT_FALSE(sendOne(client, id).error.isEmpty()) << "nobody listens";
    network = orvane::test::startNetwork(kept, port);
    EXPECT_EQ(sendOne(client, id).body, first.body);
    network->options().fault = transport::ServerFault::Error500;
    EXPECT_EQ(sendOne(client, QString(32, u'A')).status, 500);
}

// The policy's other vehicles are numbered on from the noticed one; the
// dispatch carries the policy's deductible.
TEST(NetworkAnswererTest, AnswersCarryThePolicysVehiclesAndDeductible)
{
    transport::NetworkRules rules;
    rules.policyVehicles = 2;
    rules.deductible = 125.5;
    const transport::NetworkAnswerer network(rules);
    auto answered = [&](const QString &rectype, const QString &xml) {
        XmlDocument request;
        request.loadXml(xml);
        XmlDocument out = transport::protocol::newAnswer(QString(32, u'0'), u"R-1"_s, false);
        XmlNode answers = out.documentElement();
        network.answer(rectype, u"X1"_s, request, out, answers);
        return out.xml();
    };
    EXPECT_TRUE(answered(u"ENOL"_s, u"<LossNotice><VehicleID>448201</VehicleID></LossNotice>"_s)
                    .contains(u"<VehicleID>449201</VehicleID>"_s));
    EXPECT_TRUE(answered(u"LOSSAH"_s, u"<LossNoticeAcknowledgement><LossReferenceNumber>LR-1"
                                      u"</LossReferenceNumber><AcceptWork>Y</AcceptWork>"
                                      u"</LossNoticeAcknowledgement>"_s)
                    .contains(u"<Deductible>125.50</Deductible>"_s));
}

// A table defined anew, its text wider, gets record sets of the new width.
TEST(StorageLayoutTest, ATableDefinedAnewGetsItsNewWidths)
{
    sql::TableDef table{u"t"_s, {{u"code"_s, sql::ColumnKind::Text, 8}}, {}};
    EXPECT_EQ(sql::emptyRecordset(table).fields().at(0).definedSize, 8);
    table.columns[0].size = 20;
    EXPECT_EQ(sql::emptyRecordset(table).fields().at(0).definedSize, 20);
}

} // namespace
