#include "host/HostInvoice.h"

#include "host/HostVehicle.h"
#include "host/ShopDatabase.h"

#include <QSet>

#include <cmath>

using namespace Qt::StringLiterals;

namespace orvane::host {

namespace {

const QString Source = u"qorHost.Invoice"_s;

// Rounds a scaled amount to whole cents (a cent is 100 scaled units).
std::int64_t toCents(double scaled)
{
    return std::llround(scaled / 100.0) * 100;
}

Recordset partyRecord(ShopDatabase &db, const QString &table, const Value &id)
{
    const TableDef &t = db.table(table);
    if (id.isEmpty() || id.isNull())
        return db.emptyRecordset(t);
    return db.select(t, t.key % u" = ?"_s, {ShopDatabase::toSql(id, ColumnKind::Int)});
}

} // namespace

HostInvoice::HostInvoice(std::shared_ptr<ShopDatabase> db, std::shared_ptr<ext::IEnvironment> env,
                         Recordset order)
    : db_(std::move(db)), env_(std::move(env)), order_(std::move(order)),
      bookmark_(order_.bookmark())
{
}

std::shared_ptr<HostInvoice> HostInvoice::load(std::shared_ptr<ShopDatabase> db,
                                               std::shared_ptr<ext::IEnvironment> env,
                                               const Value &idnumber)
{
    const TableDef &t = db->table(u"invoice"_s);
    Recordset rs =
        db->select(t, u"idnumber = ?"_s, {ShopDatabase::toSql(idnumber, ColumnKind::Int)});
    if (rs.recordCount() == 0)
        throw VbError(err::NoCurrentRecord, Source,
                      u"There is no order "_s % idnumber.toText() % u"."_s);
    return std::shared_ptr<HostInvoice>(new HostInvoice(std::move(db), std::move(env), rs));
}

std::shared_ptr<HostInvoice> HostInvoice::create(std::shared_ptr<ShopDatabase> db,
                                                 std::shared_ptr<ext::IEnvironment> env,
                                                 const Value &location, const Value &shopId)
{
    const TableDef &t = db->table(u"invoice"_s);
    Recordset rs = db->emptyRecordset(t);
    rs.addNew();
    // Every field gets a value, so that reading one never meets "never assigned".
    for (const ColumnDef &c : t.columns) {
        switch (c.kind) {
        case ColumnKind::Text:
            rs.setValue(c.name, QString());
            break;
        case ColumnKind::Int:
        case ColumnKind::Double:
        case ColumnKind::Currency:
            rs.setValue(c.name, 0);
            break;
        case ColumnKind::Bool:
            rs.setValue(c.name, false);
            break;
        case ColumnKind::Key:
        case ColumnKind::Date:
            break;
        }
    }
    rs.setValue(u"idnumber"_s, 0);
    rs.setValue(u"type"_s, u"quote"_s);
    rs.setValue(u"location"_s, location.isEmpty() ? Value(1) : location);
    rs.setValue(u"shopid"_s, shopId.isEmpty() ? Value(0) : shopId);
    rs.setValue(u"orderdate"_s, QDate::currentDate());
    rs.update();
    return std::shared_ptr<HostInvoice>(new HostInvoice(std::move(db), std::move(env), rs));
}

Recordset HostInvoice::orderRow() const
{
    Recordset row = order_.clone();
    row.setBookmark(bookmark_);
    return row;
}

Value HostInvoice::idnumber() const
{
    return orderRow().value(u"idnumber"_s);
}

bool HostInvoice::isNew() const
{
    const Value id = idnumber();
    return id.isEmpty() || id.toInt64() == 0;
}

std::shared_ptr<ext::ILineItems> HostInvoice::getlineitems()
{
    // Loaded once: a second call must not throw away edits not yet saved.
    if (!lines_) {
        const TableDef &t = db_->table(u"invline"_s);
        Recordset rs = isNew() ? db_->emptyRecordset(t)
                               : db_->select(t, u"idnumber = ?"_s,
                                             {ShopDatabase::toSql(idnumber(), ColumnKind::Int)},
                                             u"lineno, lineid"_s);
        lines_ = std::make_shared<HostLineItems>(rs);
    }
    return lines_;
}

void HostInvoice::save()
{
    const TableDef &orders = db_->table(u"invoice"_s);
    const TableDef &lineTable = db_->table(u"invline"_s);
    Recordset lines;
    if (lines_) {
        lines = lines_->rows();
        lines.update(); // ends an AddNew the caller left open
        // New lines without a number go after the others.
        Recordset cursor = lines.clone();
        cursor.setFilter(QString());
        int last = 0;
        for (cursor.recordCount() > 0 ? cursor.moveFirst() : void(); !cursor.eof();
             cursor.moveNext())
            last = std::max(last, cursor.value(u"lineno"_s).toInt32());
        for (cursor.recordCount() > 0 ? cursor.moveFirst() : void(); !cursor.eof();
             cursor.moveNext()) {
            if (cursor.value(u"lineno"_s).toInt32() <= 0) {
                cursor.setValue(u"lineno"_s, ++last);
                cursor.update();
            }
        }
    }
    order_.update();

    TransactionGuard guard(db_->db(), Source);
    const ShopDatabase::Written orderWritten = db_->writeChanges(orders, order_);
    Value id = idnumber();
    if (!orderWritten.keys.empty())
        id = orderWritten.keys.front().second;
    ShopDatabase::Written linesWritten;
    if (lines_)
        linesWritten = db_->writeChanges(lineTable, lines, {{u"idnumber"_s, id}});
    guard.commit();

    // Only now, with the rows stored, do the record sets learn their keys.
    ShopDatabase::applyWritten(orders, order_, orderWritten);
    if (lines_)
        ShopDatabase::applyWritten(lineTable, lines, linesWritten);
}

void HostInvoice::calculateinvoice(bool, bool)
{
    Recordset order = orderRow();
    const double discountPct = order.value(u"discountpct"_s).toDouble();
    const double taxRate = order.value(u"taxrate"_s).toDouble();
    std::int64_t subtotal = 0;
    std::int64_t discountable = 0;
    getlineitems();
    Recordset lines = lines_->rows().clone();
    lines.setFilter(QString());
    for (lines.recordCount() > 0 ? lines.moveFirst() : void(); !lines.eof(); lines.moveNext()) {
        const std::int64_t price = lines.value(u"net"_s).toCurrency().scaled +
                                   lines.value(u"kit"_s).toCurrency().scaled +
                                   lines.value(u"labor"_s).toCurrency().scaled;
        const std::int64_t total = price * lines.value(u"quantity"_s).toInt32();
        if (lines.value(u"price"_s).toCurrency().scaled != price)
            lines.setValue(u"price"_s, Currency{price});
        if (lines.value(u"total"_s).toCurrency().scaled != total)
            lines.setValue(u"total"_s, Currency{total});
        lines.update();
        subtotal += total;
        if (lines.value(u"discounted"_s).toBool())
            discountable += total;
    }
    const std::int64_t discount = toCents(double(discountable) * discountPct / 100.0);
    const std::int64_t taxable = subtotal - discount;
    const std::int64_t tax = toCents(double(taxable) * taxRate / 100.0);
    order.setValue(u"subtotal"_s, Currency{subtotal});
    order.setValue(u"discount"_s, Currency{discount});
    order.setValue(u"tax"_s, Currency{tax});
    order.setValue(u"total"_s, Currency{taxable + tax});
    order.update();
}

void HostInvoice::takeOver(const Recordset &item, const QString &source)
{
    static const QSet<QString> identity{u"idnumber"_s, u"location"_s,  u"shopid"_s,
                                        u"type"_s,     u"quoteid"_s,   u"invoiceid"_s,
                                        u"workid"_s,   u"callbackid"_s};
    if (item.eof() || item.bof())
        throw VbError(err::NoCurrentRecord, source,
                      u"Either BOF or EOF is True, or the current record has been deleted. "
                      u"Requested operation requires a current record."_s);
    Recordset order = orderRow();
    for (int i = 0; i < item.fieldCount(); ++i) {
        const QString name = item.fieldDef(i).name;
        if (identity.contains(name.toLower()) || order.fieldIndex(name) < 0)
            continue;
        order.setValue(name, item.field(i).value());
    }
    order.update();
}

void HostInvoice::setbillto(const Recordset &item, bool, bool, bool, bool)
{
    takeOver(item, Source % u".setbillto"_s);
}

void HostInvoice::setdiscount(const Recordset &item)
{
    takeOver(item, Source % u".setdiscount"_s);
    // The discount amount and total follow the new percentage at once; an
    // order saved before Recalculate would otherwise keep the old amounts.
    calculateinvoice(false, true);
}

void HostInvoice::SetAgent(const Recordset &agent)
{
    takeOver(agent, Source % u".SetAgent"_s);
}

Recordset HostInvoice::billtoRecord(ShopDatabase &db, const Value &billtoId)
{
    return partyRecord(db, u"billto"_s, billtoId);
}

Recordset HostInvoice::discountRecord(ShopDatabase &db, const Value &discountId)
{
    return partyRecord(db, u"discounts"_s, discountId);
}

Recordset HostInvoice::agentRecord(ShopDatabase &db, const Value &agentId)
{
    return partyRecord(db, u"agents"_s, agentId);
}

std::shared_ptr<ext::IHostItem> HostInvoice::getbillto(const Value &billtoId)
{
    return std::make_shared<HostItem>(billtoRecord(*db_, billtoId));
}

std::shared_ptr<ext::IHostItem> HostInvoice::getdiscount(const Value &discountId)
{
    return std::make_shared<HostItem>(discountRecord(*db_, discountId));
}

std::shared_ptr<ext::IOrderCar> HostInvoice::Item(const QString &name) const
{
    if (name.trimmed().compare(u"car"_s, Qt::CaseInsensitive) != 0)
        return nullptr;
    return std::make_shared<HostOrderCar>(orderRow());
}

} // namespace orvane::host
