#include "host/HostShop.h"

#include "host/ShopDatabase.h"

#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace orvane::host {

HostShop::HostShop(std::shared_ptr<ShopDatabase> db) : db_(std::move(db))
{
    load(u"1 = 0"_s, {});
}

void HostShop::load(const QString &whereSql, const QVariantList &params)
{
    const TableDef &t = db_->table(u"customer"_s);
    Recordset plain = db_->select(t, whereSql, params, u"shopid"_s);
    Recordset rs;
    for (const FieldDef &f : plain.fields())
        rs.appendField(f.name, f.type, f.definedSize);
    rs.appendField(u"OrvaneShopID"_s, ftype::Text, t.column(u"user2"_s)->size);
    rs.open();
    const int user2 = plain.fieldIndex(u"user2"_s);
    for (plain.recordCount() > 0 ? plain.moveFirst() : void(); !plain.eof(); plain.moveNext()) {
        std::vector<Value> row;
        // A shop without user fields shows them as empty text: the library
        // trims OrvaneShopID, and Null cannot be trimmed.
        for (int i = 0; i < plain.fieldCount(); ++i) {
            const Value v = plain.field(i).value();
            row.push_back(v.isNull() ? Value(QString()) : v);
        }
        row.push_back(row[size_t(user2)]);
        rs.loadRow(row);
    }
    if (rs.recordCount() > 0)
        rs.moveFirst();
    shops_ = rs;
}

void HostShop::getshopbyid(const Value &shopId)
{
    load(u"shopid = ?"_s, {ShopDatabase::toSql(shopId, ColumnKind::Int)});
}

void HostShop::getshops(const QString &filter)
{
    fielduse::noteQuery(filter);
    const sql::Rendered where =
        sql::renderWhere(sql::parseCondition(filter), db_->schema(), u"customer"_s, db_->backend());
    load(where.sql, where.params);
}

int HostShop::RecordCount() const
{
    return shops_.recordCount();
}

} // namespace orvane::host
