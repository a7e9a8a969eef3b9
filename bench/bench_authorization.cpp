// Opening the authorization view for an order (the cost should follow the
// order's lines, not the kinds table or the dispatch); one poll for unread
// answers, which should cost about the same at 1,000 and 1,000,000 rows of
// answers; and the wait view's 10,000 polls (about fourteen hours) with no
// answer, which must not grow the process (resident memory, after a warm-up,
// in kilobytes).
#include "BenchShop.h"
#include "host/HostEnvironment.h"
#include "host/HostInvoice.h"
#include "host/ReferenceHost.h"
#include "host/ShopDatabase.h"
#include "qorOrvaneUI/authorization/Authoriizewaitfrm.h"
#include "qorOrvaneUI/authorization/Authorizationfrm.h"
#include "transport/TableObjects.h"
#include <qorOrvaneUI/external/ILineItems.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

using orvane::authorization::Authoriizewaitfrm;
using orvane::authorization::Authorizationfrm;

using namespace Qt::StringLiterals;

namespace {

using orvane::bench::ensureApplication;
using Shop = orvane::bench::DemoShop;

// An unsaved order with `lines` lines of the usual mix (glass, moulding, kit, labour).
std::shared_ptr<orvane::ext::IInvoice> orderWith(Shop &shop, int lines)
{
    auto order = shop.host->newOrder();
    orvane::bench::setLines(*order, lines);
    return order;
}

void BM_OpenAuthorizationView(benchmark::State &state)
{
    ensureApplication();
    static Shop shop;
    auto order = orderWith(shop, int(state.range(0)));
    orvane::XmlDocument dispatch;
    dispatch.loadXml(u"<DispatchAssignment><AuthorizationDetails><AuthorizationType><Name>Other"
                     u"</Name><OnlineEnabled>Y</OnlineEnabled></AuthorizationType>"
                     u"</AuthorizationDetails></DispatchAssignment>"_s);
    for (auto _ : state) {
        Authorizationfrm view;
        view.setInvoice(order);
        view.setDispatch(dispatch);
        view.Form_Activate();
        benchmark::DoNotOptimize(view.request().lines().recordCount());
    }
}
BENCHMARK(BM_OpenAuthorizationView)->Arg(0)->Arg(50)->Unit(benchmark::kMillisecond);

// A shop whose answer table holds `rows` rows of earlier requests, all read,
// and one request of four lines with two unread answers.
// Built once per size for the whole run; `setupMs` tells what building took.
Shop &shopWithAnswers(int rows, double *setupMs = nullptr)
{
    static std::map<int, std::unique_ptr<Shop>> shops;
    static std::map<int, double> took;
    auto &shop = shops[rows];
    if (!shop) {
        QElapsedTimer timer;
        timer.start();
        shop = std::make_unique<Shop>();
        orvane::transport::G_ackncls create;
        create.setEnv(shop->host->env());
        create.Get_g_ACKN(u"g_ackn.sessionid = 'none'"_s); // creates the staging tables
        orvane::host::ShopDatabase &db = shop->host->database();
        db.exec(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                u"INSERT INTO g_ackn (sessionid, daskid, daskloc, Ack, linenumber, part, "
                u"ErrorCode) SELECT printf('%032d', i / 4), 1, 1, 1, i % 4 + 1, 'P' || i, '0' "
                u"FROM n"_s,
                {rows});
        db.exec(u"UPDATE g_ackn SET sessionid = 'WANTED', Ack = 0 WHERE id IN "
                u"(SELECT id FROM g_ackn ORDER BY id DESC LIMIT 2)"_s);
        took[rows] = double(timer.nsecsElapsed()) / 1e6;
    }
    if (setupMs)
        *setupMs = took[rows];
    return *shop;
}

void BM_PollUnreadAnswers(benchmark::State &state)
{
    double setupMs = 0;
    Shop &shop = shopWithAnswers(int(state.range(0)), &setupMs);
    orvane::transport::G_ackncls ackn;
    ackn.setEnv(shop.host->env());
    for (auto _ : state) {
        ackn.Get_g_ACKN(u"g_ackn.sessionid = 'WANTED' AND ACK = .F."_s);
        if (ackn.itemsrecordset().recordCount() != 2)
            state.SkipWithError("the poll did not find the two answers");
    }
    state.counters["setup_ms"] = setupMs;
}
BENCHMARK(BM_PollUnreadAnswers)
    ->Arg(1000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMicrosecond);

void BM_AuthorizationWait_Polls(benchmark::State &state)
{
    ensureApplication();
    Shop &shop = shopWithAnswers(1000);
    const int polls = int(state.range(0));
    double growth = 0;
    for (auto _ : state) {
        Authoriizewaitfrm wait;
        wait.setInvoice(shop.host->openOrder(2));
        wait.setSessionID(u"NO-ANSWER"_s);
        wait.ActivateMe();
        for (int i = 0; i < 200; ++i) // warm-up: caches and first allocations
            wait.tmrAuthResponse_Timer();
        const double before = orvane::bench::residentKb();
        for (int i = 0; i < polls; ++i)
            wait.tmrAuthResponse_Timer();
        growth = orvane::bench::residentKb() - before;
        if (wait.answered())
            state.SkipWithError("the wait found an answer");
        wait.Form_Unload();
    }
    state.counters["rss_growth_kb"] = growth;
    state.counters["polls"] = polls;
}
BENCHMARK(BM_AuthorizationWait_Polls)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
