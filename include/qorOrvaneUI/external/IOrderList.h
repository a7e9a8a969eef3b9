#pragma once

#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/Recordset.h>

#include <QString>

namespace orvane::ext {

// The host's order list (Env.safecreateobj(15)), used to void the order a
// dispatch was linked to before.
class IOrderList : public ComObject {
public:
    // Loads the orders matching `filter` (a condition on the invoice table);
    // the library passes true as `flag`.
    virtual void getinvoices(const QString &filter, bool flag) = 0;
    // Orders loaded.
    virtual int RecordCount() const = 0;
    // The loaded orders: "type", "quoteid", "invoiceid", "workid", "CallBackID",
    // "idnumber", "voidmsg".
    virtual Recordset itemsrecordset() const = 0;
    // Gives the current order a type; the library only passes "void".
    virtual void setordertypes(const QString &type) = 0;
    // Saves the current order; the library passes true.
    virtual void Update(bool flag) = 0;
};

} // namespace orvane::ext
