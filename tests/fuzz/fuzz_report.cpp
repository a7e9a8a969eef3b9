// Any template text opens as a report or fails with the engine's errors, and a
// report that opens renders with real dispatch data bound to every table.
#include <qorOrvaneUI/dispatch/clsShowDispatch.h>
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>
#include <qorOrvaneUI/widgets/report/Report.h>

#include <QCoreApplication>
#include <QFile>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using orvane::dispatch::clsShowDispatch;

using namespace Qt::StringLiterals;
namespace rep = orvane::report;

namespace {

// The record sets of a real dispatch: the rows a template is bound to in use.
const std::array<orvane::Recordset, 4> &dispatchSets()
{
    static clsShowDispatch dispatch;
    static const std::array<orvane::Recordset, 4> sets = [] {
        QFile file(QStringLiteral(ORVANE_SAMPLES_DIR "/dispatch/glass-replacement.xml"));
        if (!file.open(QIODevice::ReadOnly))
            std::abort();
        orvane::XmlDocument doc;
        doc.loadXml(QString::fromUtf8(file.readAll()));
        dispatch.CreateRecordset();
        dispatch.FillRecordset(doc);
        return std::array<orvane::Recordset, 4>{
            dispatch.dispatchRecordset(), dispatch.discountRecordset(), dispatch.authRecordset(),
            dispatch.damageRecordset()};
    }();
    return sets;
}

void bindAll(rep::Report &report, int depth)
{
    for (int i = 1; i <= report.tableCount(); ++i)
        report.table(i).setDataSource(dispatchSets()[std::size_t(i - 1) % 4].clone());
    if (depth > 4)
        return;
    for (const rep::ReportSection &section : report.sections())
        for (const rep::ReportObject &object : section.reportObjects())
            if (object.kind() == rep::ObjectKind::Subreport)
                bindAll(object.openSubreport(), depth + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)dispatchSets();
    try {
        const std::unique_ptr<rep::Report> report = rep::Report::fromText(text);
        for (const rep::FormulaField &formula : report->formulaFields()) {
            try {
                (void)rep::evaluateLiteralFormula(formula.formulaText());
            } catch (const orvane::VbError &) {
            }
        }
        (void)report->toHtml(); // unbound tables render as empty
        bindAll(*report, 0);
        (void)report->toHtml();
    } catch (const orvane::VbError &) {
    }
    return 0;
}
