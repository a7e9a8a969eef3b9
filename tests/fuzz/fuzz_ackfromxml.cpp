// Whatever document the library hands over, the acknowledgement rows come back
// filled and readable, or the call fails cleanly.
#include "FuzzShop.h"
#include "ObjectRegistry.h"
#include "VbError.h"
#include "external/Ig_ackn.h"
#include "external/ProgIds.h"

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
