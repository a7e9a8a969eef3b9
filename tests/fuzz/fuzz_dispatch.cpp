// Any bytes given as a dispatch must give record sets, or a report bound to
// them, or a clean error.
#include "VbError.h"
#include "XmlDocument.h"
#include "dispatch/clsShowDispatch.h"
#include "report/Report.h"

#include <cstddef>
#include <cstdint>

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
    // What the report view shows: every value of the dispatch through the
    // shipped template's fields and formulas.
    try {
        (void)dispatch
            .BoundReport(text, QStringLiteral(ORVANE_SAMPLES_DIR "/reports/g_dispatch.rpt"))
            ->toHtml();
    } catch (const orvane::VbError &) {
    }
    return 0;
}
