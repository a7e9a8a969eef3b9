// Parsing a dispatch into its four record sets, against the bare XML parse of
// the same text in the same run: the fill should stay within a few times the
// parse for a typical dispatch.
#include "XmlDocument.h"
#include "dispatch/clsShowDispatch.h"

#include <QFile>

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

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

} // namespace

BENCHMARK(BM_BarePugixmlParse)->DenseRange(0, 2);
BENCHMARK(BM_AdapterParse)->DenseRange(0, 2);
BENCHMARK(BM_FillAllRecordsets)->DenseRange(0, 2);
