// Any authorization request the network is handed gives answer rows the wait
// and results views can read, or is bounced; it never crashes the network's side.
#include "fuzz/FuzzShop.h"
#include "qorOrvaneUI/core/modOrvane.h"
#include <qorOrvaneUI/external/Ig_ackn.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>
#include <qorOrvaneUI/transport/NetworkSimulator.h>

#include <cstddef>
#include <cstdint>

namespace modOrvane = orvane::modOrvane;

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    auto &shop = orvane::fuzz::FuzzShop::instance();
    shop.clear();
    shop.queue(u"AUTHREQ"_s, u"F0220000000000000000000000000001"_s, text);
    // One for the whole run: the network's answers depend on nothing but the input.
    static orvane::transport::NetworkSimulator simulator(shop.env());
    (void)simulator.runOnce();

    // The session the answers belong to, looked up the way the wait view does.
    orvane::XmlDocument doc;
    doc.loadXml(text);
    const orvane::XmlNode session = doc.asNode().findFirst(orvane::XmlNameSet(u"SessionID"_s));
    QString sessionId = session.isNull() ? QString() : session.text().trimmed().left(32);
    if (sessionId.isEmpty())
        sessionId = u"F0220000000000000000000000000001"_s;
    auto ackn =
        orvane::CreateObject<orvane::ext::Ig_ackn>(QString::fromUtf16(orvane::ext::progid::g_ackn));
    ackn->setEnv(shop.env());
    try {
        ackn->Get_g_ACKN(u"g_ackn.sessionid = '"_s % modOrvane::SQLSafeText(sessionId) %
                         u"' AND ACK = .F."_s);
    } catch (const orvane::VbError &) {
        return 0;
    }
    orvane::fuzz::readRows(ackn->itemsrecordset());
    return 0;
}
