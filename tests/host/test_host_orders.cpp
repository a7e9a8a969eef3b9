#include "host/HostEnvironment.h"
#include "host/HostInvoice.h"
#include "host/HostOrderList.h"
#include "host/HostShop.h"
#include "host/ReferenceHost.h"
#include "host/ShopDatabase.h"
#include "support/DemoShopTest.h"
#include "support/TestHelpers.h"
#include <qorOrvaneUI/external/IDataCommand.h>
#include <qorOrvaneUI/external/IOptions.h>
#include <qorOrvaneUI/external/IOrderCar.h>
#include <qorOrvaneUI/external/ObjectCast.h>
#include <qorOrvaneUI/external/ProgIds.h>

#include <QSqlQuery>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace orvane;
using namespace orvane::host;
using orvane::test::errorNumber;

namespace {

class HostOrders : public orvane::test::DemoShopTest {
protected:
    int count(const QString &sqlText)
    {
        QSqlQuery q = host_->database().exec(sqlText);
        return q.next() ? q.value(0).toInt() : -1;
    }
};

} // namespace

TEST_F(HostOrders, InvoiceRoundTripWithAddedChangedAndDeletedLines)
{
    auto invoice = host_->openOrder(1);
    Recordset order = invoice->itemsrecordset();
    EXPECT_EQ(order.value(u"S_Last"_s), Value(u"Morgan"_s));
    order.setValue(u"s_first"_s, u"Alexis"_s);
    order.setValue(u"Dispatch"_s, u"D-2026-118734"_s);
    order.setValue(u"lossdate"_s, QDate(2026, 2, 20));

    Recordset lines = invoice->getlineitems()->itemsrecordset();
    ASSERT_EQ(lines.recordCount(), 4);
    EXPECT_EQ(invoice->getlineitems()->itemsrecordset().value(u"mfr_part"_s),
              Value(u"FW04521GTYN"_s)); // the same lines, not a reload
    lines.moveFirst();
    lines.setValue(u"Quantity"_s, 2);
    lines.setValue(u"Conf"_s, u"AUTH-1"_s);
    lines.moveNext();
    lines.deleteRow();
    lines.addNew();
    lines.setValue(u"mfr_part"_s, u"DW01234GTN"_s);
    lines.setValue(u"typeofpart"_s, u"G DR"_s);
    lines.setValue(u"Net"_s, Currency{1999900});
    lines.setValue(u"Quantity"_s, 1);
    lines.update();
    invoice->save();

    // The new line learnt its key, so a further edit updates rather than adds.
    const Value newKey = lines.value(u"lineid"_s);
    EXPECT_GT(newKey.toInt32(), 16);
    lines.setValue(u"Quantity"_s, 3);
    invoice->save();
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM invline WHERE idnumber = 1"_s), 4);

    auto again = host_->openOrder(1);
    Recordset stored = again->itemsrecordset();
    EXPECT_EQ(stored.value(u"s_first"_s), Value(u"Alexis"_s));
    EXPECT_EQ(stored.value(u"dispatch"_s), Value(u"D-2026-118734"_s));
    EXPECT_EQ(stored.value(u"lossdate"_s), Value(QDate(2026, 2, 20)));
    Recordset storedLines = again->getlineitems()->itemsrecordset();
    ASSERT_EQ(storedLines.recordCount(), 4);
    EXPECT_EQ(storedLines.value(u"quantity"_s), Value(2));
    EXPECT_EQ(storedLines.value(u"conf"_s), Value(u"AUTH-1"_s));
    storedLines.moveLast();
    EXPECT_EQ(storedLines.value(u"mfr_part"_s), Value(u"DW01234GTN"_s));
    EXPECT_EQ(storedLines.value(u"lineno"_s), Value(5));
    EXPECT_EQ(storedLines.value(u"quantity"_s), Value(3));
    EXPECT_EQ(storedLines.value(u"net"_s), Value(Currency{1999900}));
    storedLines.setFilter(u"mfr_part = 'MLD4521'"_s);
    EXPECT_EQ(storedLines.recordCount(), 0);
}

TEST_F(HostOrders, NewOrderGetsItsNumberOnSaveAndItsLinesFollow)
{
    auto order = host_->newOrder();
    EXPECT_TRUE(order->isNew());
    order->itemsrecordset().setValue(u"s_last"_s, u"Novak"_s);
    Recordset lines = order->getlineitems()->itemsrecordset();
    lines.addNew();
    lines.setValue(u"mfr_part"_s, u"FW1"_s);
    lines.update();
    order->save();
    EXPECT_FALSE(order->isNew());
    const Value id = order->itemsrecordset().value(u"idnumber"_s);
    EXPECT_EQ(id, Value(5));
    EXPECT_EQ(lines.value(u"idnumber"_s), id);
    auto stored = host_->openOrder(id);
    EXPECT_EQ(stored->itemsrecordset().value(u"s_last"_s), Value(u"Novak"_s));
    EXPECT_EQ(stored->getlineitems()->itemsrecordset().recordCount(), 1);
    EXPECT_EQ(errorNumber([&] { host_->openOrder(999); }), err::NoCurrentRecord);
}

TEST_F(HostOrders, CalculateInvoiceTotalsTheLines)
{
    auto invoice = host_->openOrder(2);
    invoice->calculateinvoice(false, true);
    // 312.40 + 38.50 discounted by 25% (87.725 -> 87.73), kit 24.00, labor 120.00, tax 8%.
    Recordset order = invoice->itemsrecordset();
    EXPECT_EQ(order.value(u"subtotal"_s), Value(Currency{4949000}));
    EXPECT_EQ(order.value(u"discount"_s), Value(Currency{877300}));
    EXPECT_EQ(order.value(u"tax"_s), Value(Currency{325700}));
    EXPECT_EQ(order.value(u"total"_s), Value(Currency{4397400}));

    // An authorized price written into a line counts at the next calculation.
    Recordset lines = invoice->getlineitems()->itemsrecordset();
    lines.moveLast();
    lines.setValue(u"Labor"_s, Currency{1500000});
    lines.setValue(u"quantity"_s, 2);
    invoice->calculateinvoice(false, true);
    EXPECT_EQ(lines.value(u"total"_s), Value(Currency{3000000}));
    EXPECT_EQ(order.value(u"subtotal"_s), Value(Currency{6749000}));
}

// Bill-to parties and discounts are taken over in the dispatch linking flow's tests.
TEST_F(HostOrders, FieldsCarAndAgentOfTheOrder)
{
    auto invoice = host_->openOrder(3);
    EXPECT_EQ(errorNumber([&] { invoice->itemsrecordset().value(u"no_such_field"_s); }),
              err::ItemNotFound);
    auto car = invoice->Item(u"car"_s);
    ASSERT_TRUE(car);
    EXPECT_EQ(car->carid(), Value(u"CV16031"_s));
    // The car reads the order as it is now.
    invoice->itemsrecordset().setValue(u"model"_s, u"F-250"_s);
    EXPECT_EQ(car->model(), Value(u"F-250"_s));
    EXPECT_EQ(invoice->Item(u"boat"_s), nullptr);

    invoice->SetAgent(HostInvoice::agentRecord(host_->database(), 3));
    EXPECT_EQ(invoice->itemsrecordset().value(u"a_last"_s), Value(u"Lindqvist"_s));
    EXPECT_EQ(invoice->itemsrecordset().value(u"agentid"_s), Value(3));
    // An unknown party gives an empty item, which cannot be taken over.
    EXPECT_EQ(invoice->getbillto(999)->Item().recordCount(), 0);
    EXPECT_EQ(errorNumber([&] {
                  invoice->setbillto(invoice->getbillto(999)->Item(), false, false, false, false);
              }),
              err::NoCurrentRecord);
}

TEST_F(HostOrders, OrderListVoidsTheOrderTheFilterNamesAndRefusesOtherFilters)
{
    auto list = ext::objectAs<ext::IOrderList>(host_->env()->safecreateobj(ext::objkind::OrderList),
                                               u"test"_s);
    list->getinvoices(u"Invoice.idnumber = 3 AND invoice.location = 1"_s, true);
    ASSERT_EQ(list->RecordCount(), 1);
    Recordset rs = list->itemsrecordset();
    EXPECT_EQ(rs.value(u"type"_s), Value(u"workorder"_s));
    EXPECT_EQ(rs.value(u"workid"_s), Value(7001));
    EXPECT_EQ(rs.value(u"CallBackID"_s), Value(0));
    rs.setValue(u"voidmsg"_s, u"ORVANE ORDER REMOVED"_s);
    list->setordertypes(u"void"_s);
    list->Update(true);
    auto stored = host_->openOrder(3)->itemsrecordset();
    EXPECT_EQ(stored.value(u"type"_s), Value(u"void"_s));
    EXPECT_EQ(stored.value(u"voidmsg"_s), Value(u"ORVANE ORDER REMOVED"_s));
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM invoice WHERE type = 'void'"_s), 2);

    list->getinvoices(u"invoice.idnumber = 3 and invoice.idnumber <> 3"_s, true);
    EXPECT_EQ(list->RecordCount(), 0);
    // Filters outside the dialect are refused: the dialect's own tests go
    // through the refusals; these show the list uses it.
    for (const QString &hostile : {u"idnumber = 1; DROP TABLE invoice"_s,
                                   u"idnumber = 1 OR 1 = 1"_s, u"customer.shopid = 1"_s}) {
        EXPECT_NE(errorNumber([&] { list->getinvoices(hostile, true); }), 0)
            << hostile.toStdString();
        EXPECT_EQ(list->RecordCount(), 0) << hostile.toStdString();
    }
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM invoice"_s), 4);
    list->getinvoices(u"s_last like 'c%' OR type = 'quote'"_s, true);
    EXPECT_EQ(list->RecordCount(), 2);
    // A quote inside a value is data, not SQL.
    list->getinvoices(u"s_last = 'O' + CHR(39) + 'Brien' OR s_last = 'x'' OR ''1''=''1'"_s, true);
    EXPECT_EQ(list->RecordCount(), 0);
}

TEST_F(HostOrders, ShopsByIdAndByFilter)
{
    auto shop =
        ext::objectAs<ext::IShop>(host_->env()->safecreateobj(ext::objkind::Shop), u"test"_s);
    shop->getshopbyid(1);
    ASSERT_EQ(shop->RecordCount(), 1);
    EXPECT_EQ(shop->itemsrecordset().value(u"OrvaneShopID"_s), Value(u"RPID00417"_s));
    shop->getshopbyid(42);
    EXPECT_EQ(shop->RecordCount(), 0);
    shop->getshops(u"Customer.user2 <> ' ' "_s);
    ASSERT_EQ(shop->RecordCount(), 1);
    EXPECT_EQ(shop->itemsrecordset().value(u"name"_s), Value(u"Harbor Auto Glass"_s));
    EXPECT_NE(errorNumber([&] { shop->getshops(u"user2 <> ' ' UNION SELECT 1"_s); }), 0);
    EXPECT_EQ(host_->env()->safecreateobj(99), nullptr);
}

TEST_F(HostOrders, DataCommandRunsTheFixedQueries)
{
    auto env = host_->env();
    auto dc = env->Options()->dcobject();
    const QList<Value> tokenOptions{1, 2, 100, false};

    dc->setconstructstring(env->GetConnectString(env->data_path(), 0));
    Recordset insurers;
    ASSERT_TRUE(
        dc->Execute(env->SecurityToken(), u"Select * from g_insurer"_s, insurers, tokenOptions));
    EXPECT_EQ(insurers.recordCount(), 3);
    EXPECT_EQ(insurers.value(u"orvaneid"_s), Value(u"CMI01"_s));
    EXPECT_EQ(insurers.value(u"Insurer"_s), Value(u"Cascade Mutual Insurance"_s));

    dc->setconstructstring(env->GetConnectString(env->nags_path(), 0));
    for (const auto &[query, code, rows] :
         {std::tuple{u"Select * from POS"_s, u"pos_cd"_s, 3},
          std::tuple{u"Select * from rel_loc"_s, u"rel_loc_cd"_s, 4},
          std::tuple{u"Select * from side"_s, u"side_cd"_s, 3}}) {
        Recordset rs;
        ASSERT_TRUE(dc->Execute(env->SecurityToken(), query, rs, tokenOptions));
        EXPECT_EQ(rs.recordCount(), rows);
        EXPECT_FALSE(rs.value(u"Name"_s).toText().isEmpty());
        EXPECT_FALSE(rs.value(code).toText().isEmpty());
    }

    // The staging tables belong to the transport; a minimal one stands in here.
    // (The dialect's own tests run the union of the loss poll.)
    host_->database().exec(u"CREATE TABLE g_ackn (guid VARCHAR(40), ack BOOLEAN)"_s);
    host_->database().exec(u"INSERT INTO g_ackn VALUES ('a', 0), ('b', 0), ('c', 1)"_s);
    dc->setconstructstring(env->GetConnectString(env->data_path(), 0));
    Recordset cnt;
    ASSERT_TRUE(dc->Execute(
        u"wqkd"_s, u"Select count(*) as cnt from g_ackn where g_ackn.Ack = .F."_s, cnt, {2}));
    EXPECT_EQ(cnt.value(u"cnt"_s).toInt32(), 2);

    // Refusals answer false and leave the caller's record set alone.
    Recordset untouched = insurers;
    for (const QString &bad :
         {u"Select * from g_insurer; delete from g_insurer"_s, u"Select * from nosuchtable"_s,
          u"delete from g_insurer"_s, u"Select * from g_insurer where x = 1"_s}) {
        EXPECT_FALSE(dc->Execute(u"wqkd"_s, bad, untouched, {2})) << bad.toStdString();
        EXPECT_TRUE(untouched.sharesRowsWith(insurers));
    }
    dc->setconstructstring(u"QSQLITE:/nowhere/else.sqlite"_s);
    EXPECT_FALSE(dc->Execute(u"wqkd"_s, u"Select * from g_insurer"_s, untouched, {2}));
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM g_insurer"_s), 3);
}

TEST_F(HostOrders, RegistryCreatesTheHostsObjects)
{
    EXPECT_TRUE(CreateObject<ext::IInvoice>(u"qorhost.invoice"_s));
    EXPECT_TRUE(CreateObject<ext::IOrderList>(u"qorHost.OrderList"_s));
    EXPECT_TRUE(CreateObject<ext::IDataCommand>(u"qorHost.DataCommand"_s));
    EXPECT_TRUE(CreateObject<ComObject>(QString::fromUtf16(ext::progid::ControlUI)));
    // Once the host is gone its classes cannot be made.
    host_.reset();
    EXPECT_EQ(errorNumber([] { CreateObject<ext::IOrderList>(u"qorHost.OrderList"_s); }),
              err::CantCreateObject);
}
