// Whatever document the library hands over, the acknowledgement rows come back
// filled and readable, or the call fails cleanly.
#include "fuzz/FuzzShop.h"
#include <qorOrvaneUI/external/Ig_ackn.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/VbError.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    auto &shop = orvane::fuzz::FuzzShop::instance();
    auto ackn =
        orvane::CreateObject<orvane::ext::Ig_ackn>(QString::fromUtf16(orvane::ext::progid::g_ackn));
    ackn->setEnv(shop.env());
    ackn->setblnnosave(true);
    try {
        ackn->get_ackfromxml(text);
    } catch (const orvane::VbError &) {
        return 0;
    }
    orvane::fuzz::readRows(ackn->itemsrecordset());
    return 0;
}
