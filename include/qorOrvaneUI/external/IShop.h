#pragma once

#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/Value.h>

#include <QString>

namespace orvane::ext {

// The host's shop records (Env.safecreateobj(11)), read for the shop's
// participant ID ("OrvaneShopID").
class IShop : public ComObject {
public:
    // Loads the shop with this id (the invoice's "shopid").
    virtual void getshopbyid(const Value &shopId) = 0;
    // Loads the shops matching `filter` (a condition on the customer table).
    virtual void getshops(const QString &filter) = 0;
    // Shops loaded by the last call.
    virtual int RecordCount() const = 0;
    // The loaded shops, on the first; the library reads "OrvaneShopID".
    virtual Recordset itemsrecordset() const = 0;
};

} // namespace orvane::ext
