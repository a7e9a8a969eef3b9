#pragma once

#include "host/FieldUse.h"
#include <qorOrvaneUI/external/IHostItem.h>
#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/external/ILineItems.h>
#include <qorOrvaneUI/runtime/Recordset.h>

#include <memory>

namespace orvane::host {

class ShopDatabase;

// A party record (bill-to party, discount, agent) handed from one order to another.
class HostItem : public ext::IHostItem {
public:
    explicit HostItem(Recordset item) : item_(std::move(item)) {}
    Recordset Item() const override { return fielduse::watch(item_, QStringLiteral("party")); }

private:
    Recordset item_;
};

// The lines of one order; edits go to the order's lines and are saved with it.
class HostLineItems : public ext::ILineItems {
public:
    explicit HostLineItems(Recordset lines) : lines_(std::move(lines)) {}
    Recordset itemsrecordset() const override
    {
        return fielduse::watch(lines_, QStringLiteral("line"));
    }
    const Recordset &rows() const { return lines_; } // the host's own handle

private:
    Recordset lines_;
};

// One order of the shop database (table "invoice") with its lines ("invline").
//
// Totals (calculateinvoice): a line's price is Net + Kit + Labor, its total
// price x Quantity. The order's discount is its discount percentage of the
// lines marked Discounted; tax is the tax rate on what remains; every amount is
// rounded to the cent. The library never saves an order: the host calls save().
class HostInvoice : public ext::IInvoice {
public:
    // The order with this idnumber; 3021 when there is none.
    static std::shared_ptr<HostInvoice> load(std::shared_ptr<ShopDatabase> db,
                                             std::shared_ptr<ext::IEnvironment> env,
                                             const Value &idnumber);
    // A new quote, stored (and given its idnumber) by the first save().
    static std::shared_ptr<HostInvoice> create(std::shared_ptr<ShopDatabase> db,
                                               std::shared_ptr<ext::IEnvironment> env,
                                               const Value &location, const Value &shopId);

    // Writes the order's row and its added, changed and deleted lines in one
    // transaction; a refusal raises a VbError and leaves database and record
    // sets as they were, ready for another try.
    void save();
    bool isNew() const;

    Recordset itemsrecordset() const override
    {
        return fielduse::watch(order_, QStringLiteral("order"));
    }
    const Recordset &record() const { return order_; } // the host's own handle
    std::shared_ptr<ext::IEnvironment> Env() const override { return env_; }
    std::shared_ptr<ext::ILineItems> getlineitems() override;
    void calculateinvoice(bool flag1, bool flag2) override;
    void setbillto(const Recordset &item, bool flag1, bool flag2, bool flag3, bool flag4) override;
    void setdiscount(const Recordset &item) override;
    std::shared_ptr<ext::IHostItem> getbillto(const Value &billtoId) override;
    std::shared_ptr<ext::IHostItem> getdiscount(const Value &discountId) override;
    std::shared_ptr<ext::IOrderCar> Item(const QString &name) const override;
    void SetAgent(const Recordset &agent) override;

    // The party look-ups behind getbillto and getdiscount, and the agent's record.
    static Recordset billtoRecord(ShopDatabase &db, const Value &billtoId);
    static Recordset discountRecord(ShopDatabase &db, const Value &discountId);
    static Recordset agentRecord(ShopDatabase &db, const Value &agentId);

private:
    HostInvoice(std::shared_ptr<ShopDatabase> db, std::shared_ptr<ext::IEnvironment> env,
                Recordset order);
    // Copies the party's fields that the order also has (by name), never the
    // order's own identity.
    void takeOver(const Recordset &item, const QString &source);
    Recordset orderRow() const; // a cursor of our own on the order's row
    Value idnumber() const;

    std::shared_ptr<ShopDatabase> db_;
    std::shared_ptr<ext::IEnvironment> env_;
    Recordset order_;
    Value bookmark_;
    std::shared_ptr<HostLineItems> lines_;
};

} // namespace orvane::host
