#pragma once

#include "host/FieldUse.h"
#include <qorOrvaneUI/external/IShop.h>

#include <memory>

namespace orvane::host {

class ShopDatabase;

// The shops (customer table). The shop's network participant ID is kept in
// user2 and shown as the field OrvaneShopID as well.
class HostShop : public ext::IShop {
public:
    explicit HostShop(std::shared_ptr<ShopDatabase> db);

    void getshopbyid(const Value &shopId) override;
    // `filter`: a condition on the customer table in the host's dialect.
    void getshops(const QString &filter) override;
    int RecordCount() const override;
    Recordset itemsrecordset() const override
    {
        return fielduse::watch(shops_, QStringLiteral("shop"));
    }

private:
    void load(const QString &whereSql, const QVariantList &params);
    std::shared_ptr<ShopDatabase> db_;
    Recordset shops_;
};

} // namespace orvane::host
