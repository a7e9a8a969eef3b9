// The loss notice wait polls every five seconds for as long as the user lets
// it: 10,000 polls (about fourteen hours) with no answer must not grow the
// process. Reported as the growth of resident memory over the polls, after a
// warm-up, in kilobytes.
#include "BenchShop.h"
#include "host/HostEnvironment.h"
#include "host/HostInvoice.h"
#include "host/ReferenceHost.h"
#include "qorOrvaneUI/loss/eNOLwaitfrm.h"
#include "transport/TableObjects.h"
#include <qorOrvaneUI/external/IRsTable.h>
#include <qorOrvaneUI/external/ProgIds.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using orvane::loss::eNOLwaitfrm;

using namespace Qt::StringLiterals;

namespace {

using orvane::bench::ensureApplication;
using orvane::bench::residentKb;

void pollWait(benchmark::State &state, int mode)
{
    ensureApplication();
    orvane::bench::DemoShop shop;
    const auto &host = shop.host;

    auto notice = orvane::CreateObject<orvane::ext::IRsTable>(
        QString::fromUtf16(orvane::ext::progid::g_enol));
    notice->setEnv(host->env());
    notice->get_rs(u"guid = 'A' and guid <> 'A'"_s);
    orvane::Recordset rs = notice->itemsrecordset();
    rs.addNew();
    rs.setValue(u"daskid"_s, 2);
    rs.setValue(u"ACK"_s, true); // sent, not yet answered
    rs.update();
    notice->Update();

    const int polls = int(state.range(0));
    double growth = 0;
    for (auto _ : state) {
        eNOLwaitfrm wait;
        wait.setNoticeTable(notice);
        wait.setInvoice(host->openOrder(2));
        wait.setNoticeID(rs.value(u"guid"_s).toText());
        wait.setLossRef(u"LR-NONE"_s);
        wait.setMode(mode);
        for (int i = 0; i < 200; ++i) // warm-up: caches and first allocations
            wait.tmrAuthResponse_Timer();
        const double before = residentKb();
        for (int i = 0; i < polls; ++i)
            wait.tmrAuthResponse_Timer();
        growth = residentKb() - before;
        wait.Form_Unload();
    }
    state.counters["rss_growth_kb"] = growth;
    state.counters["polls"] = polls;
}

void BM_LossWait_NoticeConfirmation(benchmark::State &state)
{
    pollWait(state, 0);
}

void BM_LossWait_LossAckAndDispatch(benchmark::State &state)
{
    pollWait(state, 2);
}

} // namespace

BENCHMARK(BM_LossWait_NoticeConfirmation)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LossWait_LossAckAndDispatch)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);
