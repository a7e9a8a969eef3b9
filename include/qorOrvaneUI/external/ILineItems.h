#pragma once

#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/Recordset.h>

namespace orvane::ext {

// The line items of an order, as the invoice's getlineitems hands them back.
class ILineItems : public ComObject {
public:
    // One row per order line (mfr_part, part, typeofpart, mfr, Conf, Net, Kit,
    // Labor, Discounted, Quantity); writes to it change the order's lines, which
    // the host saves with the order.
    virtual Recordset itemsrecordset() const = 0;
};

} // namespace orvane::ext
