// Parsing a dispatch into its four record sets, against the bare XML parse of
// the same text in the same run: the fill should stay within a few times the
// parse for a typical dispatch.
//
// Opening the dispatch report's template, as the report does for every
// dispatch shown, against parsing the same template text in the same run (what
// each open cost while templates were not kept): an open should cost a small
// part of a parse. Binding a dispatch to the report, the whole of what the
// report view is given, is measured beside them.
//
// Finding a received dispatch by the first characters of its number, as the
// dispatch chooser does, among 1,000 and 100,000 dispatches: the search should
// cost about the same at both sizes (well under 5 ms), which it does only when
// it reads a range of an index. The same search without that index is measured
// in the same run for comparison.
#include "BenchShop.h"
#include "host/HostEnvironment.h"
#include "host/ShopDatabase.h"
#include "qorOrvaneUI/dispatch/ChooseDispatchfrm.h"
#include "runtime/widgets/RecordsetModel.h"
#include <qorOrvaneUI/dispatch/clsShowDispatch.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>
#include <qorOrvaneUI/widgets/report/Report.h>

#include <QFile>
#include <QLineEdit>
#include <QSqlQuery>

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <map>

using orvane::dispatch::ChooseDispatchfrm;
using orvane::dispatch::clsShowDispatch;

using namespace Qt::StringLiterals;

namespace {

QString sampleText(const char *name)
{
    QFile f(QStringLiteral(ORVANE_SAMPLES_DIR "/dispatch/") + QString::fromLatin1(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

const char *const kSamples[] = {"glass-replacement.xml", "mobile-eschedule.xml", "minimal.xml"};

void BM_BarePugixmlParse(benchmark::State &state)
{
    const QByteArray utf8 = sampleText(kSamples[state.range(0)]).toUtf8();
    for (auto _ : state) {
        pugi::xml_document doc;
        doc.load_buffer(utf8.constData(), size_t(utf8.size()));
        benchmark::DoNotOptimize(doc.first_child());
    }
    state.SetLabel(kSamples[state.range(0)]);
}

void BM_AdapterParse(benchmark::State &state)
{
    const QString text = sampleText(kSamples[state.range(0)]);
    for (auto _ : state) {
        orvane::XmlDocument doc;
        benchmark::DoNotOptimize(doc.loadXml(text));
    }
    state.SetLabel(kSamples[state.range(0)]);
}

// What the report does: parse once, fill the dispatch row and the three groups.
void BM_FillAllRecordsets(benchmark::State &state)
{
    const QString text = sampleText(kSamples[state.range(0)]);
    clsShowDispatch dispatch;
    for (auto _ : state) {
        dispatch.CreateRecordset();
        orvane::XmlDocument doc;
        doc.loadXml(text);
        dispatch.FillRecordset(doc);
        benchmark::DoNotOptimize(dispatch.dispatchRecordset().recordCount());
    }
    state.SetLabel(kSamples[state.range(0)]);
}

const QString kReportTemplate = QStringLiteral(ORVANE_SAMPLES_DIR "/reports/g_dispatch.rpt");

void BM_ReportTemplateParse(benchmark::State &state)
{
    QFile f(kReportTemplate);
    if (!f.open(QIODevice::ReadOnly))
        state.SkipWithError("no report template");
    const QByteArray text = f.readAll();
    for (auto _ : state)
        benchmark::DoNotOptimize(orvane::report::Report::fromText(text, kReportTemplate));
}

void BM_ReportTemplateOpen(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(orvane::report::Report::open(kReportTemplate));
}

void BM_BoundReport(benchmark::State &state)
{
    const QString text = sampleText(kSamples[0]);
    clsShowDispatch dispatch;
    for (auto _ : state)
        benchmark::DoNotOptimize(dispatch.BoundReport(text, kReportTemplate));
    state.SetLabel(kSamples[0]);
}

// A shop whose dispatch list holds `rows` dispatches D-2026-000001 onwards,
// kept for the rest of the run; `prefixIndex` false drops the prefix index.
orvane::bench::DemoShop &shopWithDispatches(int rows, bool prefixIndex)
{
    // Kept to the end of the process and never destroyed: at exit Qt's database
    // connections are gone before a static's destructor could close them.
    static auto *shops =
        new std::map<std::pair<int, bool>, std::unique_ptr<orvane::bench::DemoShop>>;
    auto &shop = (*shops)[{rows, prefixIndex}];
    if (!shop) {
        orvane::bench::ensureApplication();
        shop = std::make_unique<orvane::bench::DemoShop>();
        orvane::transport::Clsg_trans create;
        create.setEnv(shop->host->env());
        create.get_g_trans(u"g_trans.id = 0"_s); // creates the staging tables
        orvane::host::ShopDatabase &db = shop->host->database();
        // One statement: one transaction for all the rows.
        db.exec(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                u"INSERT INTO g_trans (guid, rectype, recid, xml, processed, daskid, daskloc) "
                u"SELECT printf('%032d', i), 'DISPATCH', printf('D-2026-%06d', i), "
                u"'<DispatchAssignment/>', 0, 0, 0 FROM n"_s,
                {rows});
        if (!prefixIndex)
            db.exec(u"DROP INDEX g_trans_rectype_recid_p"_s);
    }
    return *shop;
}

// Typed in lower case: the search ignores letter case. Ten dispatches at either size.
const QString kTyped = u"d-2026-00012"_s;

void searchWithTransport(benchmark::State &state, bool prefixIndex)
{
    orvane::bench::DemoShop &shop = shopWithDispatches(int(state.range(0)), prefixIndex);
    orvane::transport::Clsg_trans list;
    list.setEnv(shop.host->env());
    // The filter the chooser builds from the typed number.
    const QString filter = u"rectype = 'DISPATCH'  AND recid like '"_s % kTyped % u"%'"_s;
    for (auto _ : state) {
        list.get_g_trans(filter);
        if (list.itemsrecordset().recordCount() != 10)
            state.SkipWithError("the search did not find the ten dispatches");
    }
}

void BM_DispatchPrefixSearch(benchmark::State &state)
{
    searchWithTransport(state, true);
}

void BM_DispatchPrefixSearch_NoPrefixIndex(benchmark::State &state)
{
    searchWithTransport(state, false);
}

// The chooser's Find: the search and the grid's rebinding.
void BM_ChooseDispatchFind(benchmark::State &state)
{
    orvane::bench::DemoShop &shop = shopWithDispatches(int(state.range(0)), true);
    ChooseDispatchfrm view;
    view.setInvoice(shop.host->openOrder(2));
    view.txtDispatchNum->setText(kTyped);
    for (auto _ : state) {
        view.cmdFind_Click();
        if (view.dispatchModel()->rowCount() != 10)
            state.SkipWithError("the search did not find the ten dispatches");
    }
    view.Form_Unload();
}

} // namespace

BENCHMARK(BM_DispatchPrefixSearch)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DispatchPrefixSearch_NoPrefixIndex)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ChooseDispatchFind)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BarePugixmlParse)->DenseRange(0, 2);
BENCHMARK(BM_AdapterParse)->DenseRange(0, 2);
BENCHMARK(BM_FillAllRecordsets)->DenseRange(0, 2);
BENCHMARK(BM_ReportTemplateParse)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReportTemplateOpen)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BoundReport)->Unit(benchmark::kMicrosecond);
