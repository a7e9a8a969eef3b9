#pragma once

#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/Recordset.h>

namespace orvane::ext {

// What an order's getbillto and getdiscount give back: a host object whose Item
// is the bill-to party's or the discount's record, to be handed to the open
// order's setbillto or setdiscount.
class IHostItem : public ComObject {
public:
    virtual Recordset Item() const = 0;
};

} // namespace orvane::ext
