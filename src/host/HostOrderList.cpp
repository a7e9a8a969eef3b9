#include "host/HostOrderList.h"

#include "host/ShopDatabase.h"

using namespace Qt::StringLiterals;

namespace orvane::host {

namespace {
const QString Source = u"qorHost.OrderList"_s;
}

HostOrderList::HostOrderList(std::shared_ptr<ShopDatabase> db) : db_(std::move(db))
{
    orders_ = db_->emptyRecordset(db_->table(u"invoice"_s));
}

void HostOrderList::getinvoices(const QString &filter, bool)
{
    fielduse::noteQuery(filter);
    const TableDef &t = db_->table(u"invoice"_s);
    const sql::Rendered where =
        sql::renderWhere(sql::parseCondition(filter), db_->schema(), t.name, db_->backend());
    orders_ = db_->select(t, where.sql, where.params, u"idnumber"_s);
}

int HostOrderList::RecordCount() const
{
    return orders_.recordCount();
}

void HostOrderList::setordertypes(const QString &type)
{
    orders_.setValue(u"type"_s, type);
    orders_.update();
}

void HostOrderList::Update(bool)
{
    const TableDef &t = db_->table(u"invoice"_s);
    orders_.update();
    TransactionGuard guard(db_->db(), Source);
    const ShopDatabase::Written written = db_->writeChanges(t, orders_);
    guard.commit();
    ShopDatabase::applyWritten(t, orders_, written);
}

} // namespace orvane::host
