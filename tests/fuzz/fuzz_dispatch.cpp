// Any bytes given as a dispatch must give record sets and a report bound to
// them, or a clean error.
#include <qorOrvaneUI/dispatch/clsShowDispatch.h>
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>
#include <qorOrvaneUI/widgets/report/Report.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using orvane::dispatch::clsShowDispatch;

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    clsShowDispatch dispatch;
    try {
        dispatch.CreateRecordset();
        orvane::XmlDocument document;
        document.loadXml(text);
        dispatch.FillRecordset(document);
    } catch (const orvane::VbError &) {
    }
    for (auto get : {&clsShowDispatch::GetDiscounts, &clsShowDispatch::GetAuths,
                     &clsShowDispatch::GetDamages}) {
        try {
            (void)(dispatch.*get)(text);
        } catch (const orvane::VbError &) {
        }
    }
    // What the report view is given: the template bound to these record sets,
    // the dispatch's own texts as formulas that must read back unchanged.
    // (Rendering is the report target's work; here it would cost most of each run.)
    try {
        const auto report = dispatch.BoundReport(
            text, QStringLiteral(ORVANE_SAMPLES_DIR "/reports/g_dispatch.rpt"));
        for (const orvane::report::FormulaField &formula : report->formulaFields()) {
            if (formula.name() != u"MOBILELOCATIONDESCRIPTION"_s)
                continue;
            const QString given =
                dispatch.dispatchRecordset().value(u"MobileLocationDescription"_s).toText();
            if (orvane::report::evaluateLiteralFormula(formula.formulaText()) != given) {
                std::fprintf(stderr, "formula does not read back: %s\n",
                             qPrintable(formula.formulaText()));
                std::abort();
            }
        }
    } catch (const orvane::VbError &) {
    }
    return 0;
}
