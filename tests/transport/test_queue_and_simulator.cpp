// The outgoing queue and the network simulator end to end on a temporary
// shop database (SQLite, and PostgreSQL when the test server runs), through
// the real table objects.
#include "qorOrvaneUI/core/TransactionQueue.h"
#include "runtime/RuntimeHelpers.h"
#include "support/TestHelpers.h"
#include "transport/NetworkServer.h"
#include "transport/StagingSchema.h"
#include "transport/TableObjects.h"
#include "transport/TransportFixture.h"
#include "transport/TransportService.h"
#include <qorOrvaneUI/dispatch/clsShowDispatch.h>
#include <qorOrvaneUI/external/IRsTable.h>
#include <qorOrvaneUI/external/Ig_ackn.h>
#include <qorOrvaneUI/external/Ig_trans.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/transport/NetworkSimulator.h>

#include "support/KillAt.h"
#include "support/NetworkLink.h"
#include "support/OrderOnlyInvoice.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using orvane::dispatch::clsShowDispatch;
namespace TransactionQueue = orvane::TransactionQueue;

using namespace Qt::StringLiterals;
using namespace orvane;
using namespace orvane::ext;
using orvane::test::parsedXml;
using orvane::transport::NetworkSimulator;
using orvane::transport::ServerFault;
using orvane::transport::ServerOptions;
using orvane::transport::SimulationReport;
using orvane::transport::test::rowTexts;

namespace {

// Three lines: a part, a part the network refuses (its number starts with X)
// and labour.
QString authRequest(const QString &session)
{
    QString lines;
    const QString rows[][5] = {{u"1"_s, u"G"_s, u"FW02345GTY"_s, u"1"_s, u"125.5"_s},
                               {u"3"_s, u"K"_s, u"XNOPART"_s, u"1"_s, u"20"_s},
                               {u"4"_s, u"L"_s, u"LABOR"_s, u"2.5"_s, u"48"_s}};
    for (const auto &r : rows)
        lines += uR"(<AuthorizationType><Type>%2</Type><LineNumber>%1</LineNumber>
<RequestPart>%3</RequestPart><RelatedPart/><RequestQuantity>%4</RequestQuantity>
<RequestPrice>%5</RequestPrice><ReasonCode>R1</ReasonCode><AuthorizedPart/><AcceptPrice/>
<AcceptQuantity/><ConfirmationCode/><ManualRequest>N</ManualRequest><ErrorCode/><ErrorText/>
</AuthorizationType>)"_s.arg(r[0], r[1], r[2], r[3], r[4]);
    return uR"(<Authorization><ReturnCode>0</ReturnCode><ReturnText/><AuthorizationHeader>
<EnvironmentID>PROD</EnvironmentID><SessionID>%1</SessionID></AuthorizationHeader>
<AuthorizationDetails>%2</AuthorizationDetails><Filename>%1</Filename></Authorization>)"_s.arg(
        session, lines);
}

using orvane::test::certificateDir;
using orvane::test::clientFor;
using orvane::test::kCredential;
using orvane::test::runUntil;
using orvane::test::serve;
using orvane::test::startNetwork;

class SimulatorTest : public transport::test::TransportTest {
protected:
    void SetUp() override
    {
        TransportTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        env_->location = 4;
        // The order the queue reads: its number alone.
        invoice->env = env_;
        invoice->order = orvane::test::openRecordset({{u"idnumber"_s, ftype::Int32}});
        invoice->order.loadRow({77});
    }

    // The rows a table object's own loader finds.
    template <class T>
    Recordset load(const char16_t *id, void (T::*get)(const QString &), const QString &filter)
    {
        auto t = object<T>(id);
        (*t.*get)(filter);
        return t->itemsrecordset();
    }
    Recordset rows(const char16_t *id, const QString &f) { return load(id, &IRsTable::get_rs, f); }
    Recordset trans(const QString &f) { return load(progid::g_trans, &Ig_trans::get_g_trans, f); }
    Recordset answers(const QString &f) { return load(progid::g_ackn, &Ig_ackn::Get_g_ACKN, f); }
    bool processed(const QString &recid)
    {
        return trans(u"recid = '"_s % recid % u"'"_s).value(u"processed"_s).toBool();
    }
    void queue(const QString &xml, const QString &rectype, const QString &id)
    {
        TransactionQueue::QueueTransaction(invoice, parsedXml(xml), rectype, id);
    }

    // A saved loss notice with two damage lines, queued as the library does;
    // gives its guid.
    QString queueNotice(const QString &claim)
    {
        auto enol = object<IRsTable>(progid::g_enol);
        enol->get_rs(u"guid = 'A' and guid <> 'A'"_s);
        Recordset n = enol->itemsrecordset();
        n.addNew();
        const QString texts = u"origpid=SHP20931|orgcoid=NORTHWIND|destpid=NWI00417|insurerid=NWI|"
                              u"s_first=Ada|s_last=O'Hara|s_phone=2175550143|year=2021|make=Toyota|"
                              u"model=RAV4|vin=2T3P1RFV8MW123456|contact=Pat Rivera"_s;
        for (const QString &f : texts.split(u'|'))
            n[f.section(u'=', 0, 0)] = f.section(u'=', 1);
        n[u"daskid"_s] = 77;
        n[u"daskloc"_s] = 4;
        n[u"lossid"_s] = claim;
        n[u"lossdate"_s] = QDate(2026, 11, 28);
        n[u"ACK"_s] = true;
        enol->Update();
        QString guid = n.value(u"guid"_s).toText();

        sql::exec(transport::StagingDatabase::open(connection_)->db(),
                  u"INSERT INTO g_enolline (nolguid, opentype, poscode, sidecode, qty) "
                  u"VALUES (?, 'WS', 'F', 'L', 1), (?, 'DR', 'F', 'L', 2)"_s,
                  {guid, guid}, u"test"_s);
        queue(uR"(<LossNotice><LossNoticeHeader><SessionID>%1</SessionID></LossNoticeHeader>
<LossNoticeDetails><LossIdentificationNumbers>%2</LossIdentificationNumbers>
<VehicleID>448201</VehicleID><VehicleIDSource>NAGS</VehicleIDSource>
<VehicleYear>2021</VehicleYear><VehicleMake>Toyota</VehicleMake></LossNoticeDetails>
<Filename>%1</Filename></LossNotice>)"_s.arg(guid, claim),
              u"ENOL"_s, guid);
        return guid;
    }

    void queueCoverageAnswer(const QString &lossRef, bool accept)
    {
        const QString session = u"C0FFEE00000000000000000000000001"_s;
        queue(uR"(<LossNoticeAcknowledgement><LossNoticeAcknowledgementHeader>
<SessionID>%1</SessionID></LossNoticeAcknowledgementHeader><LossNoticeAcknowledgementDetails>
<LossReferenceNumber>%2</LossReferenceNumber><AcceptWork>%3</AcceptWork>
<VehicleID>448201</VehicleID><VehicleIDSource>NAGS</VehicleIDSource>
<VehicleLineNumber>1</VehicleLineNumber><RequestedAppointmentDate>20261210</RequestedAppointmentDate>
<RequestedAppointmentTime>09:30:00</RequestedAppointmentTime>
<MobileIndicator>Y</MobileIndicator><WorkLocationPostalCode>62704</WorkLocationPostalCode>
</LossNoticeAcknowledgementDetails></LossNoticeAcknowledgement>)"_s.arg(session, lossRef,
                                                                        accept ? u"Y"_s : u"N"_s),
              u"LOSSAH"_s, session);
    }

    void queueAuth(const QString &session) { queue(authRequest(session), u"AUTHREQ"_s, session); }
    // The dispatch row of a received dispatch document.
    static Recordset dispatchOf(const Recordset &doc)
    {
        clsShowDispatch parsed;
        parsed.CreateRecordset();
        parsed.FillRecordset(parsedXml(doc.value(u"xml"_s).toText()));
        return parsed.dispatchRecordset();
    }

    int answerRows(const QString &session)
    {
        return answers(u"g_ackn.sessionid = '"_s % session % u"' AND Ack = .F."_s).recordCount();
    }

    std::shared_ptr<orvane::test::OrderInvoiceWithEnv> invoice =
        std::make_shared<orvane::test::OrderInvoiceWithEnv>();
};

TEST_P(SimulatorTest, FollowsALossFromNoticeToDispatch)
{
    const QString guid = queueNotice(u"PA-7734-2291-03"_s);
    NetworkSimulator simulator(env_);
    // The counts are what the command-line tool's `net simulate` prints.
    SimulationReport report = simulator.runOnce();
    EXPECT_EQ(std::pair(report.notices, report.coverageRows), std::pair(1, 1));

    Recordset notice = rows(progid::g_enol, u"g_enol.guid = '"_s % guid % u"' AND ACK = .F."_s);
    EXPECT_EQ(notice.value(u"ErrCode"_s).toText(), u"0"_s);
    const QString lossRef = notice.value(u"Lossrefnum"_s).toText();

    Recordset cover =
        rows(progid::g_cover, u"g_cover.lossref = '"_s % lossRef % u"' AND g_cover.ack = .F."_s);
    EXPECT_EQ(rowTexts(cover, {u"VehDesc"_s, u"errorcode"_s}), QStringList{u"2021 Toyota|0"_s});

    queueCoverageAnswer(lossRef, true);
    report = simulator.runOnce();
    EXPECT_EQ(std::pair(report.lossAcks, report.dispatches), std::pair(1, 1));

    Recordset ack = rows(progid::g_lossack,
                         u"g_lossack.lossref = '"_s % lossRef % u"' AND g_lossack.ack = .F."_s);
    EXPECT_EQ(rowTexts(ack, {u"Accept"_s, u"vehline"_s}), QStringList{u"True|1"_s});
    EXPECT_EQ(ack.value(u"installdat"_s).toDate().date(), QDate(2026, 12, 10));

    Recordset dispatch = rows(progid::g_dispatch, u"g_dispatch.lossidnum = '"_s % lossRef %
                                                      u"' ANd g_dispatch.ack = .F."_s);
    ASSERT_EQ(dispatch.recordCount(), 1);
    const QString number = dispatch.value(u"Dispatch"_s).toText();
    Recordset doc = trans(u"g_trans.rectype= 'DISPATCH' and g_trans.recid = '"_s % number % u"'"_s);
    EXPECT_EQ(doc.value(u"daskid"_s).toInt32(), 0) << "arrives unlinked";

    // The document reads as a dispatch, carrying the loss's own data.
    const Recordset d = dispatchOf(doc);
    EXPECT_EQ(rowTexts(d, {u"LossReferenceNumber"_s, u"DestinationPID"_s}),
              QStringList{lossRef % u"|SHP20931"_s});
    QString xml = doc.value(u"xml"_s).toText();
    EXPECT_EQ(clsShowDispatch().GetDamages(xml).recordCount(), 2);
    EXPECT_TRUE(xml.contains(u"<ReturnCode>0</ReturnCode>"_s)) << "accepted, as the network says";
}

TEST_P(SimulatorTest, ErrorRulesStopTheFlowWhereTheNetworkWould)
{
    NetworkSimulator simulator(env_);
    // A refused claim: the error in the confirmation, no coverage.
    const QString refused = queueNotice(u"REFUSE-001"_s);
    simulator.runOnce();
    Recordset notice = rows(progid::g_enol, u"g_enol.guid = '"_s % refused % u"'"_s);
    EXPECT_EQ(rowTexts(notice, {u"ErrCode"_s, u"ACK"_s, u"ErrText"_s}),
              QStringList{u"120|False|Policy not found for the claim number given"_s});
    EXPECT_EQ(rows(progid::g_cover,
                   u"g_cover.lossref = '"_s % notice.value(u"Lossrefnum"_s).toText() % u"'"_s)
                  .recordCount(),
              0);

    // A decline is confirmed without a dispatch, with a text that reads as 0;
    // the mobile choice is kept whatever the letter's case.
    queue(u"<LossNoticeAcknowledgement><LossReferenceNumber>LR-DECLINED</LossReferenceNumber>"
          u"<AcceptWork>N</AcceptWork><MobileIndicator>y</MobileIndicator>"
          u"</LossNoticeAcknowledgement>"_s,
          u"LOSSAH"_s, u"D1"_s);
    simulator.runOnce();
    EXPECT_EQ(rowTexts(rows(progid::g_lossack, u"g_lossack.lossref = 'LR-DECLINED'"_s),
                       {u"errcode"_s, u"Accept"_s, u"Mobile"_s}),
              QStringList{u"0|False|True"_s});

    // A configured loss error: the acknowledgement carries it, no dispatch.
    simulator.rules().lossAckErrorCode = u"e310"_s;
    simulator.rules().lossAckErrorText = u"Appointment outside the service area"_s;
    queueCoverageAnswer(u"LR-REFUSED"_s, true);
    simulator.runOnce();
    EXPECT_EQ(
        rows(progid::g_lossack, u"g_lossack.lossref = 'LR-REFUSED'"_s).value(u"errcode"_s).toText(),
        u"e310"_s);
    EXPECT_EQ(rows(progid::g_dispatch, u""_s).recordCount(), 0);

    // By default a part is accepted with error code 0, one starting with X refused; then
    // every part, when the rule says so.
    queueAuth(u"S1"_s);
    simulator.runOnce();
    EXPECT_EQ(rowTexts(answers(u"g_ackn.sessionid = 'S1'"_s), {u"ErrorCode"_s}),
              (QStringList{u"0"_s, u"e104"_s, u"0"_s}));
    simulator.rules().refusedPart.setPattern(u".*"_s);
    queueAuth(u"S2"_s);
    simulator.runOnce();
    EXPECT_EQ(rowTexts(answers(u"g_ackn.sessionid = 'S2'"_s), {u"ErrorCode"_s}),
              QStringList(3, u"e104"_s));
}

TEST_P(SimulatorTest, UnreadableDocumentsBounceAndStorageFailuresAreRetried)
{
    // Hostile or broken documents are answered with a reason, not retried forever.
    queue(u"<Authorization/>"_s, u"AUTHREQ"_s, u"EMPTY"_s);
    queue(u"<LossNotice><SessionID>x' OR '1'='1</SessionID></LossNotice>"_s, u"ENOL"_s,
          u"x' OR '1'='1"_s);
    NetworkSimulator simulator(env_);
    SimulationReport report = simulator.runOnce();
    EXPECT_EQ(report.bounced, 2);
    EXPECT_EQ(rowTexts(trans(u"recid = 'EMPTY'"_s), {u"processed"_s, u"errortext"_s}),
              QStringList{u"True|The authorization request has no lines"_s});
    EXPECT_TRUE(trans(u"rectype = 'ENOL'"_s)
                    .value(u"errortext"_s)
                    .toText()
                    .startsWith(u"No loss notice"_s));

    // The answer table cannot be reached: the request goes back to the queue.
    queueAuth(u"S3"_s);
    ObjectRegistry::instance().unregisterClass(QString::fromUtf16(progid::g_ackn));
    report = simulator.runOnce();
    transport::registerTransportClasses();
    ASSERT_EQ(report.problems.size(), 1);
    EXPECT_TRUE(report.problems[0].contains(u"429"_s));
    EXPECT_FALSE(processed(u"S3"_s));
    report = simulator.runOnce();
    EXPECT_EQ(report.answerLines, 3);
}

// Killed anywhere before its commit, the simulator leaves the row waiting
// with nothing of its answer stored; the next run answers it once.
TEST_P(SimulatorTest, AKilledSimulatorLeavesTheRowWaiting)
{
    const struct {
        orvane::test::KillAt at;
        bool answered;
    } steps[] = {{{"write", 1}, false},
                 {{"write", 4}, false},
                 {{"commit", 1}, false},
                 {{"committed", 1}, true}};
    int n = 0;
    for (const auto &step : steps) {
        const QString session = u"K"_s % QString::number(++n);
        SCOPED_TRACE(session.toStdString());
        queueAuth(session);
        EXPECT_TRUE(orvane::test::diesAt(step.at, [this] { NetworkSimulator(env_).runOnce(); }));
        EXPECT_EQ(processed(session), step.answered);
        EXPECT_EQ(answerRows(session), step.answered ? 3 : 0);
        NetworkSimulator(env_).runOnce();
        EXPECT_EQ(answerRows(session), 3);
    }
}

// The library's rows travel through the service over HTTPS to the network
// server and its answers come back into the rows the wait views poll.
TEST_P(SimulatorTest, TheServiceCarriesEveryFlowOverHttps)
{
    ServerOptions kept;
    kept.stateDir = dataPath_ + u"network-state"_s;
    auto network = startNetwork(kept);
    const quint16 port = network->serverPorts().value(0);
    transport::HttpsNetworkClient client(clientFor(port));

    const QString guid = queueNotice(u"PA-7734-2291-03"_s);
    ASSERT_TRUE(serve(env_, client));
    Recordset notice = rows(progid::g_enol, u"g_enol.guid = '"_s % guid % u"' AND ACK = .F."_s);
    const QString lossRef = notice.value(u"Lossrefnum"_s).toText();

    // Restarted between the notice and the coverage answer, the network still
    // knows the loss it confirmed.
    network.reset();
    network = startNetwork(kept, port);
    queueCoverageAnswer(lossRef, true);
    ASSERT_TRUE(serve(env_, client));
    Recordset dispatch = rows(progid::g_dispatch, u"g_dispatch.lossidnum = '"_s % lossRef % u"'"_s);
    Recordset doc = trans(u"g_trans.rectype = 'DISPATCH' and g_trans.recid = '"_s %
                          dispatch.value(u"Dispatch"_s).toText() % u"'"_s);
    EXPECT_EQ(dispatchOf(doc).value(u"LossIdentificationNumbers"_s).toText(), u"PA-7734-2291-03"_s)
        << "the network remembers the notice behind the dispatch";

    // Each document with its receipt; a refusal becomes the error answer the wait shows.
    network->options().refuse.insert(u"AUTHREQ"_s, u"No online requests"_s);
    queueAuth(u"S9"_s);
    ASSERT_TRUE(serve(env_, client));
    Recordset refused = answers(u"g_ackn.sessionid = 'S9'"_s);
    EXPECT_EQ(refused.value(u"ErrorText"_s).toText(), u"No online requests"_s);
    EXPECT_EQ(trans(u"recid = 'S9'"_s).value(u"errortext"_s).toText(), u"No online requests"_s);
    auto states = transport::StagingDatabase::open(connection_)
                      ->load(*transport::stagingTable(u"g_sendstate"_s), u"state = 'answered'"_s);
    EXPECT_TRUE(states.value(u"receipt"_s).toText().startsWith(u"R-"_s));

    // A loss reference names a stored loss; it never reaches outside the network's folder.
    ASSERT_TRUE(QFile::copy(kept.stateDir % u"/losses/"_s % lossRef % u".xml"_s,
                            kept.stateDir % u"/stray.xml"_s));
    queueCoverageAnswer(u"../stray"_s, true);
    ASSERT_TRUE(serve(env_, client));
    Recordset stray = trans(u"g_trans.rectype = 'DISPATCH' and g_trans.recid = '"_s %
                            rows(progid::g_dispatch, u"g_dispatch.lossidnum = '../stray'"_s)
                                .value(u"Dispatch"_s)
                                .toText() %
                            u"'"_s);
    EXPECT_EQ(dispatchOf(stray).value(u"LossIdentificationNumbers"_s).toText(), QString());
}

// Whatever the network does wrong, every document is taken once and every
// answer filed once.
TEST_P(SimulatorTest, TheServiceRidesOutNetworkFaults)
{
    const struct {
        const char *name;
        ServerFault fault;
        int count;
    } cases[] = {{"drop", ServerFault::Drop, 2},    {"500", ServerFault::Error500, 2},
                 {"stall", ServerFault::Stall, 1},  {"lost answer", ServerFault::LoseAnswer, 1},
                 {"twice", ServerFault::Twice, -1}, {"down then up", ServerFault::None, 0}};
    int n = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString session = u"F"_s % QString::number(++n);
        queueAuth(session);
        ServerOptions options;
        options.fault = c.fault;
        options.faultCount = c.count;
        options.stallMs = 3000;
        std::unique_ptr<transport::NetworkServer> network;
        quint16 port = 0;
        if (c.fault == ServerFault::None) {
            // Nobody listens at first; the network comes up while the service retries.
            port = startNetwork({})->serverPorts().value(0);
            QTimer::singleShot(600, [&] { network = startNetwork(options, port); });
        } else {
            network = startNetwork(options);
            port = network->serverPorts().value(0);
        }
        transport::HttpsNetworkClient client(clientFor(port, 500));
        ASSERT_TRUE(serve(env_, client));
        EXPECT_EQ(network->documentsAnswered(), 1);
        EXPECT_EQ(answerRows(session), 3);
    }
}

// While the network takes its time the shop's database is free: another
// program queues a document at once, through a connection of its own.
TEST_P(SimulatorTest, NoDatabaseLockIsHeldWhileTheNetworkAnswers)
{
    ServerOptions slow;
    slow.delayMs.insert(u"AUTHREQ"_s, 1500);
    auto network = startNetwork(slow);
    transport::HttpsNetworkClient client(clientFor(network->serverPorts().value(0)));
    queueAuth(u"L1"_s);
    bool queued = false;
    QTimer::singleShot(300, [&] {
        const QJsonObject row{{u"rectype"_s, u"AUTHREQ"_s},
                              {u"recid"_s, u"L2"_s},
                              {u"xml"_s, authRequest(u"L2"_s)},
                              {u"processed"_s, false}};
        QProcess other;
        other.start(QStringLiteral(ORVANE_CLI),
                    {u"db"_s, u"add"_s, u"g_trans"_s,
                     QString::fromUtf8(QJsonDocument(row).toJson(QJsonDocument::Compact)),
                     u"--db"_s, connection_});
        // The service cannot finish while this waits: a lock it held would
        // keep the other program waiting past the deadline.
        queued = other.waitForFinished(3000) && other.exitCode() == 0;
    });
    transport::TransportService service(env_, client);
    service.start();
    EXPECT_TRUE(runUntil([&] { return answerRows(u"L1"_s) == 3; }));
    service.stop();
    EXPECT_TRUE(queued);
    ASSERT_TRUE(serve(env_, client));
    EXPECT_EQ(answerRows(u"L2"_s), 3);
}

// An answer the shop cannot trust changes nothing the library reads; the
// document waits for a better one. A request the network cannot read gets
// 400 and the network keeps serving.
TEST_P(SimulatorTest, BadAnswersAndBadRequestsAreRefused)
{
    queueAuth(u"B1"_s);
    auto envelope = [](const QString &id, const QString &inside) {
        return (u"<NetworkAnswer MessageID=\""_s % id % u"\" Receipt=\"R\" Status=\"answered\">"_s %
                inside % u"</NetworkAnswer>"_s)
            .toUtf8();
    };
    const std::function<QByteArray(const QString &)> bodies[] = {
        [](const QString &) { return QByteArray("<NetworkAnswer MessageID="); },
        [&](const QString &) { return envelope(u"0123456789ABCDEF0123456789ABCDEF"_s, {}); },
        [&](const QString &id) {
            return envelope(id, u"<AuthorizationAnswer><SessionID>B1</SessionID><Line/>"
                                u"</AuthorizationAnswer>"_s);
        },
        [&](const QString &id) {
            return envelope(id, u"<Padding>"_s % QString(qsizetype(5) * 1024 * 1024, u'x') %
                                    u"</Padding>"_s);
        }};
    for (const auto &body : bodies) {
        transport::test::HeldClient held;
        transport::TransportService service(env_, held);
        service.start();
        ASSERT_TRUE(runUntil([&] { return !held.sent.isEmpty(); }));
        held.answer({200, body(held.messageId), {}, false});
        EXPECT_TRUE(runUntil([&] { return service.state().badAnswers == 1; }, 5000));
        service.stop();
        EXPECT_FALSE(processed(u"B1"_s));
        EXPECT_EQ(answerRows(u"B1"_s), 0);
    }

    auto network = startNetwork({});
    const quint16 port = network->serverPorts().value(0);
    QNetworkAccessManager manager;
    QNetworkRequest request(
        QUrl(u"https://127.0.0.1:"_s % QString::number(port) % u"/v1/documents"_s));
    QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
    ssl.setCaCertificates(QSslCertificate::fromPath(certificateDir() + u"/cert.pem"_s));
    request.setSslConfiguration(ssl);
    request.setRawHeader("Authorization", QByteArray("Bearer ") + kCredential);
    request.setHeader(QNetworkRequest::ContentTypeHeader, u"application/xml"_s);
    QNetworkReply *reply = manager.post(request, QByteArray("<NetworkRequest>not closed"));
    ASSERT_TRUE(runUntil([&] { return reply->isFinished(); }));
    EXPECT_EQ(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 400);
    delete reply;
    reply = manager.get(request); // documents are only ever posted
    ASSERT_TRUE(runUntil([&] { return reply->isFinished(); }));
    EXPECT_EQ(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 405);
    delete reply;
    // Without the shop's credential the network takes nothing.
    transport::HttpsClientSettings stranger = clientFor(port);
    stranger.credential = u"guess"_s;
    transport::HttpsNetworkClient refusedClient(stranger);
    transport::TransportService service(env_, refusedClient);
    service.start();
    EXPECT_TRUE(runUntil([&] { return !service.state().lastError.isEmpty(); }, 5000));
    EXPECT_TRUE(service.state().lastError.contains(u"401"_s))
        << service.state().lastError.toStdString();
    service.stop();
    EXPECT_EQ(answerRows(u"B1"_s), 0);
    transport::HttpsNetworkClient client(clientFor(port));
    ASSERT_TRUE(serve(env_, client));
    EXPECT_EQ(answerRows(u"B1"_s), 3);
}

// The service killed at each step of filing an answer leaves the row waiting
// with nothing filed, or done; run again, it files the answer once.
TEST_P(SimulatorTest, AKilledServiceOrNetworkDeliversOnceWhenRestarted)
{
    QTemporaryDir portDir;
    // The network in a process of its own, so that it can be killed.
    auto startServer = [&](quint16 port, const QStringList &extra) {
        auto server = std::make_unique<QProcess>();
        QFile::remove(portDir.filePath(u"port"_s));
        server->start(
            QStringLiteral(ORVANE_CLI),
            QStringList{u"network"_s, u"serve"_s, u"--cert"_s, certificateDir() + u"/cert.pem"_s,
                        u"--key"_s, certificateDir() + u"/key.pem"_s, u"--credential"_s,
                        QString::fromLatin1(kCredential), u"--port"_s, QString::number(port),
                        u"--port-file"_s, portDir.filePath(u"port"_s)} +
                extra);
        runUntil([&] { return QFile(portDir.filePath(u"port"_s)).size() > 0; }, 10000);
        return server;
    };
    std::unique_ptr<QProcess> network = startServer(0, {});
    QFile portFile(portDir.filePath(u"port"_s));
    ASSERT_TRUE(portFile.open(QIODevice::ReadOnly));
    const quint16 port = quint16(portFile.readAll().trimmed().toUInt());
    ASSERT_NE(port, 0);

    const orvane::test::KillAt steps[] = {
        {"exchanged", 1}, {"write", 1}, {"commit", 1}, {"committed", 1}};
    int n = 0;
    for (const auto &step : steps) {
        const QString session = u"K"_s % QString::number(++n);
        SCOPED_TRACE(session.toStdString());
        queueAuth(session);
        EXPECT_TRUE(orvane::test::diesAt(step, [&] {
            transport::HttpsNetworkClient client(clientFor(port));
            serve(env_, client, 10000);
        }));
        transport::HttpsNetworkClient client(clientFor(port));
        ASSERT_TRUE(serve(env_, client));
        EXPECT_EQ(answerRows(session), 3);
    }

    // The network killed while it holds a document: the service sends it to
    // the network that comes back, and files its answer once.
    network->kill();
    network->waitForFinished(5000);
    network = startServer(port, {u"--delay"_s, u"AUTHREQ=1500"_s});
    queueAuth(u"K9"_s);
    QTimer::singleShot(500, [&] {
        network->kill();
        network->waitForFinished(5000);
        network = startServer(port, {});
    });
    transport::HttpsNetworkClient client(clientFor(port, 3000));
    ASSERT_TRUE(serve(env_, client));
    EXPECT_EQ(answerRows(u"K9"_s), 3);
    network->kill();
    network->waitForFinished(5000);
}

INSTANTIATE_TEST_SUITE_P(Backends, SimulatorTest, transport::test::backends,
                         transport::test::backendName);

} // namespace
