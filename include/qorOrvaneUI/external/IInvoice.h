#pragma once

#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/Value.h>

#include <QString>

#include <memory>

namespace orvane::ext {

class IEnvironment;
class IHostItem;
class ILineItems;
class IOrderCar;

// The host's order object (objInvoice): the local order the user has open, and
// equally the order the transport builds from a dispatch (returnorder). The
// library reads and writes it but never saves it; the host does.
class IInvoice : public ComObject {
public:
    // Positioned on the order's row; fields read and written by name
    // ("idnumber", "location", "dispatch", sold-to, agent, policy, vehicle ...).
    virtual Recordset itemsrecordset() const = 0;
    // The host environment; never null.
    virtual std::shared_ptr<IEnvironment> Env() const = 0;
    // Loads the order's line items and hands back the object holding them.
    virtual std::shared_ptr<ILineItems> getlineitems() = 0;
    // Recalculates totals after line prices changed; the library passes (false, true).
    virtual void calculateinvoice(bool flag1, bool flag2) = 0;
    // Takes over a bill-to party (an IHostItem's Item); the library passes four false flags.
    virtual void setbillto(const Recordset &item, bool flag1, bool flag2, bool flag3,
                           bool flag4) = 0;
    // Takes over a discount (an IHostItem's Item).
    virtual void setdiscount(const Recordset &item) = 0;
    // The bill-to party and discount with these ids, for the open order's
    // setbillto and setdiscount; asked of a dispatch order.
    virtual std::shared_ptr<IHostItem> getbillto(const Value &billtoId) = 0;
    virtual std::shared_ptr<IHostItem> getdiscount(const Value &discountId) = 0;
    // A part of the order by name; only "car" (the vehicle) is asked for.
    // nullptr for a name the host does not know.
    virtual std::shared_ptr<IOrderCar> Item(const QString &name) const = 0;
    // Takes over the agent record the agent entry reported.
    virtual void SetAgent(const Recordset &agent) = 0;
};

} // namespace orvane::ext
