// Any answer to a coverage request gives a loss acknowledgement the wait view
// can read and, when the work is accepted, a dispatch the library can parse;
// or it is bounced. The dispatch made from it must always be well-formed.
#include "fuzz/FuzzShop.h"
#include "qorOrvaneUI/core/modOrvane.h"
#include <qorOrvaneUI/dispatch/clsShowDispatch.h>
#include <qorOrvaneUI/external/IRsTable.h>
#include <qorOrvaneUI/external/Ig_trans.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>
#include <qorOrvaneUI/transport/NetworkSimulator.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using orvane::dispatch::clsShowDispatch;
namespace modOrvane = orvane::modOrvane;

using namespace Qt::StringLiterals;

namespace {

orvane::Recordset rowsOf(const char16_t *progId, const QString &filter)
{
    auto table = orvane::CreateObject<orvane::ext::IRsTable>(QString::fromUtf16(progId));
    table->setEnv(orvane::fuzz::FuzzShop::instance().env());
    table->get_rs(filter);
    return table->itemsrecordset();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    auto &shop = orvane::fuzz::FuzzShop::instance();
    shop.clear();
    shop.queue(u"LOSSAH"_s, u"C0FFEE00000000000000000000000001"_s, text);
    // One for the whole run: the network's answers depend on nothing but the input.
    static orvane::transport::NetworkSimulator simulator(shop.env());
    (void)simulator.runOnce();

    try {
        // What the wait view reads: the acknowledgement of the loss it follows.
        orvane::XmlDocument doc;
        doc.loadXml(text);
        const orvane::XmlNode ref =
            doc.asNode().findFirst(orvane::XmlNameSet(u"LossReferenceNumber"_s));
        const QString lossRef = ref.isNull() ? QString() : ref.text().trimmed();
        orvane::fuzz::readRows(rowsOf(orvane::ext::progid::g_lossack,
                                      u"g_lossack.lossref = '"_s % modOrvane::SQLSafeText(lossRef) %
                                          u"' AND g_lossack.ack = .F."_s));

        // The dispatch that follows an accepted answer, as the library parses it.
        auto trans = orvane::CreateObject<orvane::ext::Ig_trans>(
            QString::fromUtf16(orvane::ext::progid::g_trans));
        trans->setEnv(shop.env());
        trans->get_g_trans(u"g_trans.rectype = 'DISPATCH'"_s);
        for (orvane::Recordset rows = trans->itemsrecordset(); !rows.eof(); rows.moveNext()) {
            QString xml = rows.value(u"xml"_s).toText();
            orvane::XmlDocument dispatchDoc;
            if (!dispatchDoc.loadXml(xml)) {
                std::fprintf(stderr, "the network's dispatch is not well-formed:\n%s\n",
                             qPrintable(xml));
                std::abort();
            }
            clsShowDispatch dispatch;
            dispatch.CreateRecordset();
            dispatch.FillRecordset(dispatchDoc);
            orvane::fuzz::readRows(dispatch.GetDamages(xml));
        }
    } catch (const orvane::VbError &) {
    }
    return 0;
}
