#pragma once

#include "host/FieldUse.h"
#include <qorOrvaneUI/external/IOrderList.h>

#include <memory>

namespace orvane::host {

class ShopDatabase;

// Orders chosen by a condition in the host's dialect ("Invoice.idnumber = 12
// AND invoice.location = 1"). The condition is parsed and bound, never pasted
// into SQL; one outside the dialect raises the dialect's syntax error and runs
// nothing.
class HostOrderList : public ext::IOrderList {
public:
    explicit HostOrderList(std::shared_ptr<ShopDatabase> db);

    void getinvoices(const QString &filter, bool flag) override;
    int RecordCount() const override;
    Recordset itemsrecordset() const override
    {
        return fielduse::watch(orders_, QStringLiteral("order"));
    }
    // Gives the current order the type (as given); other loaded orders keep theirs.
    void setordertypes(const QString &type) override;
    // Writes every changed order in one transaction.
    void Update(bool flag) override;

private:
    std::shared_ptr<ShopDatabase> db_;
    Recordset orders_;
};

} // namespace orvane::host
