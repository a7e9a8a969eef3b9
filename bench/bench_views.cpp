// Opening each view offscreen: construct it, give it its data, show it, let the
// events of showing run (layout, first paint) and close it. The argument is the
// size of the data the view shows: the order's lines, or the rows of its list.
// Each view runs with 0 and 50; the baselines are the same view at 0 and a
// plain dialog of labels and fields, in the same run. A view should open in
// well under 50 ms, and its widgets counter says how big a dialog it is.
#include "BenchShop.h"
#include "host/HostEnvironment.h"
#include "host/HostInvoice.h"
#include "host/ReferenceHost.h"
#include "host/ShopDatabase.h"
#include "qorOrvaneUI/authorization/Authoriizewaitfrm.h"
#include "qorOrvaneUI/authorization/AuthorizationShowfrm.h"
#include "qorOrvaneUI/authorization/Authorizationfrm.h"
#include "qorOrvaneUI/dispatch/Comparersfrm.h"
#include "qorOrvaneUI/loss/Coveragefrm.h"
#include "qorOrvaneUI/loss/eNOLfrm.h"
#include "qorOrvaneUI/loss/eNOLwaitfrm.h"
#include "transport/TableObjects.h"
#include <qorOrvaneUI/dispatch/clsShowDispatch.h>
#include <qorOrvaneUI/external/IRsTable.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/loss/eNOLcls.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>

#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSqlQuery>

#include <benchmark/benchmark.h>

#include <functional>

using orvane::authorization::Authoriizewaitfrm;
using orvane::authorization::Authorizationfrm;
using orvane::authorization::AuthorizationShowfrm;
using orvane::dispatch::clsShowDispatch;
using orvane::dispatch::Comparersfrm;
using orvane::loss::Coveragefrm;
using orvane::loss::eNOLcls;
using orvane::loss::eNOLfrm;
using orvane::loss::eNOLwaitfrm;

using namespace Qt::StringLiterals;

namespace {

using orvane::bench::DemoShop;
using orvane::bench::showAndClose;

QString sample(const QString &relative)
{
    QFile f(QStringLiteral(ORVANE_SAMPLES_DIR "/") + relative);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// One demo shop for every view, with the staging rows the views read:
// answers, coverage rows and payer IDs for the sizes measured.
DemoShop &shop()
{
    static DemoShop *shop = [] {
        orvane::bench::ensureApplication();
        auto *s = new DemoShop;
        orvane::transport::G_ackncls create;
        create.setEnv(s->host->env());
        create.Get_g_ACKN(u"g_ackn.sessionid = 'none'"_s); // creates the staging tables
        orvane::host::ShopDatabase &db = s->host->database();
        for (int rows : {0, 50}) {
            const QString n = QString::number(rows);
            db.exec(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                    u"INSERT INTO g_ackn (sessionid, daskid, daskloc, Ack, linenumber, part, "
                    u"ErrorCode) SELECT ?, 2, 1, 0, i, 'FW' || i, '0' FROM n WHERE ? > 0"_s,
                    {rows, QString(u"SHOW"_s % n), rows});
            db.exec(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                    u"INSERT INTO g_cover (lossref, VehicleID, Vehiclesrc, vehline, VehDesc, "
                    u"errorcode, ack) SELECT ?, 'V' || i, 'NAGS', i, '2019 Make Model', '0', 0 "
                    u"FROM n WHERE ? > 0"_s,
                    {rows, QString(u"LR-B"_s % n), rows});
        }
        return s;
    }();
    return *shop;
}

std::shared_ptr<orvane::host::HostInvoice> orderWith(int lines)
{
    auto order = shop().host->openOrder(2);
    orvane::bench::setLines(*order, lines);
    return order;
}

template <class T> std::shared_ptr<T> table(const char16_t *progId, const QString &filter)
{
    auto t = orvane::CreateObject<T>(QString::fromUtf16(progId));
    t->setEnv(shop().host->env());
    t->get_rs(filter);
    return t;
}

// A sent loss notice of order 2, not yet answered.
std::shared_ptr<orvane::ext::IRsTable> sentNotice()
{
    static std::shared_ptr<orvane::ext::IRsTable> notice = [] {
        auto t = table<orvane::ext::IRsTable>(orvane::ext::progid::g_enol,
                                              u"guid = 'A' and guid <> 'A'"_s);
        orvane::Recordset rs = t->itemsrecordset();
        rs.addNew();
        rs.setValue(u"daskid"_s, 2);
        rs.setValue(u"daskloc"_s, 1);
        rs.setValue(u"ACK"_s, true);
        rs.update();
        t->Update();
        return t;
    }();
    return notice;
}

// Runs `open` once per iteration; a message box shown on the way fails the run.
void measure(benchmark::State &state, const std::function<int()> &open)
{
    orvane::bench::ShowAndClose ui;
    int widgets = 0;
    for (auto _ : state)
        widgets = open();
    if (widgets == 0) // shown by the library: counted as it went by
        widgets = ui.ui->widgets;
    if (ui.ui->boxes > 0)
        state.SkipWithError("the view reported a failure");
    state.counters["widgets"] = widgets;
}

void BM_OpenPlainDialog(benchmark::State &state)
{
    orvane::bench::ensureApplication();
    const int pairs = int(state.range(0)) / 2;
    measure(state, [&] {
        QDialog dialog;
        auto *grid = new QGridLayout(&dialog);
        for (int i = 0; i < pairs; ++i) {
            grid->addWidget(new QLabel(u"Caption %1"_s.arg(i), &dialog), i % 20, (i / 20) * 2);
            grid->addWidget(new QLineEdit(u"Value %1"_s.arg(i), &dialog), i % 20, (i / 20) * 2 + 1);
        }
        return showAndClose(&dialog);
    });
}

void BM_Open_Dispatchfrm(benchmark::State &state)
{
    shop();
    QString xml = sample(u"dispatch/glass-replacement.xml"_s);
    QString report = QStringLiteral(ORVANE_SAMPLES_DIR "/reports/g_dispatch.rpt");
    measure(state, [&] {
        orvane::WindowHandle owner = 0;
        clsShowDispatch dispatch;
        dispatch.ShowDispatch(owner, xml, report);
        return 0;
    });
}

void BM_Open_frmEscheduleInfo(benchmark::State &state)
{
    shop();
    QString xml = sample(u"dispatch/mobile-eschedule.xml"_s);
    QString unused;
    measure(state, [&] {
        orvane::WindowHandle owner = 0;
        clsShowDispatch dispatch;
        dispatch.ShowEschedule(owner, xml, unused);
        return 0;
    });
}

void BM_Open_ChooseDispatchfrm(benchmark::State &state)
{
    std::shared_ptr<orvane::ext::IInvoice> order = orderWith(int(state.range(0)));
    measure(state, [&] {
        orvane::WindowHandle owner = 0;
        clsShowDispatch dispatch;
        dispatch.ChooseDispatch(owner, order);
        return 0;
    });
}

void BM_Open_Comparersfrm(benchmark::State &state)
{
    shop();
    orvane::Recordset rs;
    rs.appendField(u"FieldName"_s, orvane::ftype::Text, 30);
    rs.appendField(u"OriginalVal"_s, orvane::ftype::Text, 30);
    rs.appendField(u"NewValue"_s, orvane::ftype::Text, 30);
    rs.appendField(u"KeepValue"_s, orvane::ftype::Bool);
    rs.appendField(u"Field"_s, orvane::ftype::Text, 30);
    rs.open();
    for (int i = 0; i < state.range(0); ++i)
        rs.loadRow(
            {u"Field %1"_s.arg(i), u"Old %1"_s.arg(i), u"New %1"_s.arg(i), false, u"f%1"_s.arg(i)});
    measure(state, [&] {
        Comparersfrm view;
        view.setCompareRecordset(rs);
        view.Form_Load();
        const int widgets = showAndClose(&view);
        view.Form_Unload();
        return widgets;
    });
}

void BM_Open_Authorizationfrm(benchmark::State &state)
{
    auto order = orderWith(int(state.range(0)));
    orvane::XmlDocument dispatch;
    dispatch.loadXml(u"<DispatchAssignment><AuthorizationDetails><AuthorizationType><Name>Other"
                     u"</Name><OnlineEnabled>Y</OnlineEnabled></AuthorizationType>"
                     u"</AuthorizationDetails></DispatchAssignment>"_s);
    measure(state, [&] {
        Authorizationfrm view;
        view.setInvoice(order);
        view.setDispatch(dispatch);
        const int widgets = showAndClose(&view);
        view.Form_Unload();
        return widgets;
    });
}

void BM_Open_AuthorizationShowfrm(benchmark::State &state)
{
    auto order = orderWith(int(state.range(0)));
    auto answers = std::make_shared<orvane::transport::G_ackncls>();
    answers->setEnv(shop().host->env());
    answers->Get_g_ACKN(u"g_ackn.sessionid = 'SHOW"_s % QString::number(state.range(0)) % u"'"_s);
    if (answers->itemsrecordset().recordCount() != state.range(0))
        state.SkipWithError("the answers are not there");
    measure(state, [&] {
        AuthorizationShowfrm view;
        view.setAckObject(answers);
        view.setInvoice(order);
        const int widgets = showAndClose(&view);
        view.Form_Unload();
        return widgets;
    });
}

void BM_Open_Authoriizewaitfrm(benchmark::State &state)
{
    auto order = orderWith(int(state.range(0)));
    measure(state, [&] {
        Authoriizewaitfrm view;
        view.setInvoice(order);
        view.setSessionID(u"NO-ANSWER"_s);
        view.ActivateMe();
        const int widgets = showAndClose(&view);
        view.Form_Unload();
        return widgets;
    });
}

void BM_Open_eNOLfrm(benchmark::State &state)
{
    auto order = orderWith(int(state.range(0)));
    measure(state, [&] {
        eNOLfrm view;
        view.setInvoice(order);
        return showAndClose(&view);
    });
}

void BM_Open_eNOLwaitfrm(benchmark::State &state)
{
    auto order = orderWith(int(state.range(0)));
    auto notice = sentNotice();
    const QString guid = notice->itemsrecordset().value(u"guid"_s).toText();
    measure(state, [&] {
        eNOLwaitfrm view;
        view.setNoticeTable(notice);
        view.setInvoice(order);
        view.setNoticeID(guid);
        view.setLossRef(u"LR-NONE"_s);
        const int widgets = showAndClose(&view);
        view.Form_Unload();
        return widgets;
    });
}

void BM_Open_Coveragefrm(benchmark::State &state)
{
    auto order = orderWith(int(state.range(0)));
    auto cover = table<orvane::ext::IRsTable>(orvane::ext::progid::g_cover,
                                              u"g_cover.lossref = 'LR-B"_s %
                                                  QString::number(state.range(0)) % u"'"_s);
    if (cover->itemsrecordset().recordCount() != state.range(0))
        state.SkipWithError("the coverage rows are not there");
    auto notice = sentNotice();
    measure(state, [&] {
        Coveragefrm view;
        view.setCoverage(cover);
        view.setNotice(notice);
        view.setInvoice(order);
        const int widgets = showAndClose(&view);
        view.Form_Unload();
        return widgets;
    });
}

void BM_Open_frmPIDList(benchmark::State &state)
{
    orvane::host::ShopDatabase &db = shop().host->database();
    db.exec(u"DELETE FROM g_pidlist"_s);
    db.exec(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
            u"INSERT INTO g_pidlist (PID, PIDname) SELECT printf('PID%05d', i), 'Payer ' || i "
            u"FROM n WHERE ? > 0"_s,
            {int(state.range(0)), int(state.range(0))});
    const auto env = shop().host->env();
    measure(state, [&] {
        eNOLcls loss;
        benchmark::DoNotOptimize(loss.PIDList(env));
        return 0;
    });
}

} // namespace

BENCHMARK(BM_OpenPlainDialog)->Arg(20)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Open_Dispatchfrm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Open_frmEscheduleInfo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Open_ChooseDispatchfrm)->Arg(0)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Open_Comparersfrm)->Arg(0)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Open_Authorizationfrm)->Arg(0)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Open_AuthorizationShowfrm)->Arg(0)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Open_Authoriizewaitfrm)->Arg(0)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Open_eNOLfrm)->Arg(0)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Open_eNOLwaitfrm)->Arg(0)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Open_Coveragefrm)->Arg(0)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Open_frmPIDList)->Arg(0)->Arg(50)->Unit(benchmark::kMillisecond);
