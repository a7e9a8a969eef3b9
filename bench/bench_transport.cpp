// The transport service against a network server on this machine, each
// measurement beside its baseline in the same run:
// - documents per second carried through the service over HTTPS to a local
//   network server, against the staging write alone (the same answers filed
//   in process by the simulator, no network);
// - the time from queueing a document to its answer rows with the network
//   answering at once, against the same with the simulator in process.
#include "BenchShop.h"
#include "host/HostEnvironment.h"
#include "host/IniFile.h"
#include "host/ReferenceHost.h"
#include "qorOrvaneUI/core/TransactionQueue.h"
#include "transport/NetworkServer.h"
#include "transport/TransportService.h"
#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/external/Ig_ackn.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>
#include <qorOrvaneUI/transport/NetworkSimulator.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;
namespace TransactionQueue = orvane::TransactionQueue;

namespace {

using orvane::bench::ensureApplication;

QString authRequest(const QString &session)
{
    QString lines;
    for (int n = 1; n <= 4; ++n)
        lines += u"<AuthorizationType><Type>G</Type><LineNumber>"_s % QString::number(n) %
                 u"</LineNumber><RequestPart>FW0234"_s % QString::number(n) %
                 u"</RequestPart><RequestQuantity>1</RequestQuantity><RequestPrice>125.5"
                 u"</RequestPrice></AuthorizationType>"_s;
    return u"<Authorization><AuthorizationHeader><SessionID>"_s % session %
           u"</SessionID></AuthorizationHeader><AuthorizationDetails>"_s % lines %
           u"</AuthorizationDetails></Authorization>"_s;
}

const QString &certificates()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        QProcess openssl;
        openssl.start(u"openssl"_s,
                      {u"req"_s, u"-x509"_s, u"-newkey"_s, u"rsa:2048"_s, u"-nodes"_s, u"-keyout"_s,
                       dir.filePath(u"key.pem"_s), u"-out"_s, dir.filePath(u"cert.pem"_s),
                       u"-days"_s, u"2"_s, u"-subj"_s, u"/CN=127.0.0.1"_s, u"-addext"_s,
                       u"subjectAltName=IP:127.0.0.1"_s});
        openssl.waitForFinished(30000);
        return dir.path();
    }();
    return path;
}

// A shop, a network server and a service between them.
struct Link {
    orvane::bench::DemoShop shop;
    std::shared_ptr<orvane::ext::IInvoice> order = shop.host->openOrder(2);
    std::unique_ptr<orvane::transport::NetworkServer> server;
    std::unique_ptr<orvane::transport::HttpsNetworkClient> client;
    std::unique_ptr<orvane::transport::TransportService> service;
    int queued = 0;

    explicit Link(bool network)
    {
        if (!network)
            return;
        orvane::transport::ServerOptions options;
        options.credential = u"bench"_s;
        server = std::make_unique<orvane::transport::NetworkServer>(options);
        server->useTls(certificates() + u"/cert.pem"_s, certificates() + u"/key.pem"_s, nullptr);
        const quint16 port = server->listenOn(QHostAddress::LocalHost, 0);
        orvane::transport::HttpsClientSettings settings;
        settings.endpoint = QUrl(u"https://127.0.0.1:"_s % QString::number(port));
        settings.credential = u"bench"_s;
        settings.caFile = certificates() + u"/cert.pem"_s;
        client = std::make_unique<orvane::transport::HttpsNetworkClient>(settings);
        orvane::transport::ServiceSettings service_settings;
        service_settings.flagPollMs = 5;
        service = std::make_unique<orvane::transport::TransportService>(shop.host->env(), *client,
                                                                        service_settings);
        const orvane::host::IniFile flag(shop.host->env()->data_path() % u"Orvane.ini"_s);
        service->takeSendFlag = [flag] {
            if (flag.read(u"Orvane"_s, u"SendTrans"_s) != u"1"_s)
                return false;
            orvane::host::IniFile(flag).write(u"Orvane"_s, u"SendTrans"_s, u"0"_s);
            return true;
        };
        service->start();
    }

    QString queue()
    {
        QString session = u"%1"_s.arg(++queued, 32, 10, QChar(u'0'));
        orvane::XmlDocument doc;
        doc.loadXml(authRequest(session));
        TransactionQueue::QueueTransaction(order, doc, u"AUTHREQ"_s, session);
        return session;
    }

    bool answered(const QString &session)
    {
        auto ackn = orvane::CreateObject<orvane::ext::Ig_ackn>(
            QString::fromUtf16(orvane::ext::progid::g_ackn));
        ackn->setEnv(shop.host->env());
        ackn->Get_g_ACKN(u"g_ackn.sessionid = '"_s % session % u"'"_s);
        return ackn->itemsrecordset().recordCount() == 4;
    }

    // Until the network or the simulator has answered everything queued.
    void drain()
    {
        if (!service) {
            orvane::transport::NetworkSimulator(shop.host->env()).runOnce();
            return;
        }
        service->scan();
        QElapsedTimer clock;
        clock.start();
        while (!(service->idle() && service->state().pending == 0) && clock.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
};

// Documents per second: `range(0)` queued, then carried and answered.
void documentsPerSecond(benchmark::State &state, bool network)
{
    ensureApplication();
    Link link(network);
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < state.range(0); ++i)
            link.queue();
        state.ResumeTiming();
        link.drain();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_StagingWriteAlone(benchmark::State &state)
{
    documentsPerSecond(state, false);
}
void BM_ThroughServiceOverHttps(benchmark::State &state)
{
    documentsPerSecond(state, true);
}
BENCHMARK(BM_StagingWriteAlone)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ThroughServiceOverHttps)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime();

// Queueing to the answer rows, one document at a time; the service notices
// the send flag within 5 ms here (its default look is every second).
void queueToAnswer(benchmark::State &state, bool network)
{
    ensureApplication();
    Link link(network);
    for (auto _ : state) {
        const QString session = link.queue();
        if (!network) {
            link.drain();
            continue;
        }
        QElapsedTimer clock;
        clock.start();
        while (!link.answered(session) && clock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
}

void BM_QueueToAnswerInProcess(benchmark::State &state)
{
    queueToAnswer(state, false);
}
void BM_QueueToAnswerOverHttps(benchmark::State &state)
{
    queueToAnswer(state, true);
}
BENCHMARK(BM_QueueToAnswerInProcess)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_QueueToAnswerOverHttps)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
