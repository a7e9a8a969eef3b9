// Filtering and walking a large record set: lists of a few thousand order
// lines or staging rows are filtered on every keystroke of a search box.
#include <qorOrvaneUI/runtime/Recordset.h>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

orvane::Recordset parts(int rows)
{
    orvane::Recordset rs;
    rs.appendField(u"PartNo"_s, orvane::ftype::Text, 20);
    rs.appendField(u"Qty"_s, orvane::ftype::Int32);
    rs.appendField(u"Sent"_s, orvane::ftype::Bool);
    rs.open();
    for (int i = 0; i < rows; ++i)
        rs.loadRow({QString(u"P"_s + QString::number(i)), i, (i % 3) == 0});
    return rs;
}

// A plain walk of every row reading one field: the baseline.
void BM_WalkAllRows(benchmark::State &state)
{
    orvane::Recordset rs = parts(int(state.range(0)));
    for (auto _ : state) {
        int n = 0;
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            n += rs.value(u"Qty"_s).toInt32() & 1;
        benchmark::DoNotOptimize(n);
    }
}

void BM_FilterAndWalk(benchmark::State &state)
{
    orvane::Recordset rs = parts(int(state.range(0)));
    for (auto _ : state) {
        rs.setFilter(u"Sent = True AND (Qty < 5000 OR PartNo LIKE 'P99*')"_s);
        int n = 0;
        for (; !rs.eof(); rs.moveNext())
            n += rs.value(u"Qty"_s).toInt32() & 1;
        benchmark::DoNotOptimize(n);
    }
}

void BM_FindFromTheTop(benchmark::State &state)
{
    orvane::Recordset rs = parts(int(state.range(0)));
    for (auto _ : state) {
        rs.moveFirst();
        rs.find(u"PartNo = 'P9999'"_s);
        benchmark::DoNotOptimize(rs.eof());
    }
}

} // namespace

BENCHMARK(BM_WalkAllRows)->Arg(10000);
BENCHMARK(BM_FilterAndWalk)->Arg(10000);
BENCHMARK(BM_FindFromTheTop)->Arg(10000);
