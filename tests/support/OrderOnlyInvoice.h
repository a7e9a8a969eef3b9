#pragma once

#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/runtime/Recordset.h>

namespace orvane::test {

// An invoice that is only its order row: what the queue reads from it. The
// environment is the subclass's; every other member does nothing.
class OrderOnlyInvoice : public ext::IInvoice {
public:
    Recordset itemsrecordset() const override { return order; }
    std::shared_ptr<ext::ILineItems> getlineitems() override { return nullptr; }
    void calculateinvoice(bool, bool) override {}
    void setbillto(const Recordset &, bool, bool, bool, bool) override {}
    void setdiscount(const Recordset &) override {}
    std::shared_ptr<ext::IHostItem> getbillto(const Value &) override { return nullptr; }
    std::shared_ptr<ext::IHostItem> getdiscount(const Value &) override { return nullptr; }
    std::shared_ptr<ext::IOrderCar> Item(const QString &) const override { return nullptr; }
    void SetAgent(const Recordset &) override {}

    Recordset order;
};

// The same with the environment set from outside.
class OrderInvoiceWithEnv : public OrderOnlyInvoice {
public:
    std::shared_ptr<ext::IEnvironment> Env() const override { return env; }
    std::shared_ptr<ext::IEnvironment> env;
};

} // namespace orvane::test
