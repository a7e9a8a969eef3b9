// Opening the loss notice view (first activation: the four ID fill-ins, the
// order's entries, the agent entry, the code tables and the catalogue lists)
// in a shop with 1,000 agents and 10,000 catalogue vehicles, against the same
// shop with none in the same run: the view should not read either table whole.
#include "BenchShop.h"
#include "host/HostInvoice.h"
#include "host/ReferenceHost.h"
#include "host/ShopDatabase.h"
#include "qorOrvaneUI/loss/eNOLfrm.h"
#include "transport/TableObjects.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

using orvane::loss::eNOLfrm;

using namespace Qt::StringLiterals;

namespace {

using orvane::bench::ensureApplication;

struct Shop : orvane::bench::DemoShop {
    explicit Shop(int agents, int vehicles)
    {
        fill(host->database(), u"agents"_s, agents, [](QSqlQuery &q, int i) {
            q.prepare(u"INSERT INTO agents (agentid, a_company, a_first, a_last, a_area, a_phone) "
                      u"VALUES (?, ?, ?, ?, ?, ?)"_s);
            q.addBindValue(1000 + i);
            q.addBindValue(u"Agency %1"_s.arg(i % 50));
            q.addBindValue(u"First%1"_s.arg(i));
            q.addBindValue(u"Last%1"_s.arg(i));
            q.addBindValue(u"503"_s);
            q.addBindValue(u"5551%1"_s.arg(i % 1000, 3, 10, QChar(u'0')));
        });
        fill(*host->catalogue(), u"vehicles"_s, vehicles, [](QSqlQuery &q, int i) {
            q.prepare(u"INSERT INTO vehicles (car_id, year, make, model, body, vin_prefix) "
                      u"VALUES (?, ?, ?, ?, ?, ?)"_s);
            q.addBindValue(u"BV%1"_s.arg(i, 6, 10, QChar(u'0')));
            q.addBindValue(1990 + i % 35);
            q.addBindValue(u"Make%1"_s.arg(i % 40));
            q.addBindValue(u"Model%1"_s.arg(i % 400));
            q.addBindValue(u"4 Door Sedan"_s);
            q.addBindValue(u"VIN%1"_s.arg(i));
        });
    }

    // Empties the table and puts `count` rows in it.
    template <class Row>
    static void fill(orvane::host::ShopDatabase &db, const QString &table, int count, Row row)
    {
        QSqlDatabase &sql = db.db();
        sql.transaction();
        QSqlQuery q(sql);
        q.exec(u"DELETE FROM "_s % table);
        for (int i = 0; i < count; ++i) {
            row(q, i);
            q.exec();
        }
        sql.commit();
    }
};

void openForm(benchmark::State &state, Shop &shop)
{
    auto order = shop.host->openOrder(2);
    for (auto _ : state) {
        eNOLfrm view;
        view.setInvoice(order);
        view.show();
        benchmark::DoNotOptimize(view.cboSide->count());
        view.hide();
    }
}

void BM_OpenLossNotice_EmptyShop(benchmark::State &state)
{
    ensureApplication();
    Shop shop(0, 0);
    openForm(state, shop);
}

void BM_OpenLossNotice_1000Agents10000Vehicles(benchmark::State &state)
{
    ensureApplication();
    Shop shop(1000, 10000);
    openForm(state, shop);
}

} // namespace

BENCHMARK(BM_OpenLossNotice_EmptyShop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenLossNotice_1000Agents10000Vehicles)->Unit(benchmark::kMillisecond);
