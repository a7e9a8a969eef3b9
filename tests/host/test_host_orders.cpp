#include "host/AgentControl.h"
#include "host/HostEnvironment.h"
#include "host/HostInvoice.h"
#include "host/HostOrderList.h"
#include "host/HostVehicle.h"
#include "host/ReferenceHost.h"
#include "host/ShopDatabase.h"
#include "host/VehicleChooserDialog.h"
#include "support/DemoShopTest.h"
#include "support/TestHelpers.h"
#include <qorOrvaneUI/external/IDataCommand.h>
#include <qorOrvaneUI/external/IOptions.h>
#include <qorOrvaneUI/external/IOrderCar.h>
#include <qorOrvaneUI/external/IVehicleChooser.h>
#include <qorOrvaneUI/external/ObjectCast.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/widgets/ScriptedUi.h>

#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace orvane;
using namespace orvane::host;
using orvane::test::errorNumber;
using orvane::test::raised;

namespace {

int countRows(ShopDatabase &db, const QString &sqlText, const QVariantList &params = {})
{
    QSqlQuery q = db.exec(sqlText, params);
    return q.next() ? q.value(0).toInt() : -1;
}

using HostOrders = orvane::test::DemoShopTest;
using HostWidgets = orvane::test::DemoShopTest;

} // namespace

// Header fields and changed lines are also saved by the demo window's flows.
TEST_F(HostOrders, OrderRoundTripWithAddedAndDeletedLinesAndNewOrdersNumberedOnSave)
{
    auto invoice = host_->openOrder(1);
    invoice->itemsrecordset().setValue(u"lossdate"_s, QDate(2026, 2, 20));
    Recordset lines = invoice->getlineitems()->itemsrecordset();
    lines.moveNext();
    lines.deleteRow();
    lines.addNew();
    lines.setValue(u"mfr_part"_s, u"DW01234GTN"_s);
    lines.setValue(u"Net"_s, Currency{1999900});
    lines.update();
    invoice->save();
    // The new line learnt its key, so a further edit updates rather than adds.
    lines.setValue(u"Quantity"_s, 3);
    invoice->save();
    EXPECT_EQ(countRows(host_->database(), u"SELECT COUNT(*) FROM invline WHERE idnumber = 1"_s),
              4);

    auto again = host_->openOrder(1);
    EXPECT_EQ(again->itemsrecordset().value(u"lossdate"_s), Value(QDate(2026, 2, 20)));
    Recordset storedLines = again->getlineitems()->itemsrecordset();
    storedLines.moveLast();
    EXPECT_EQ(storedLines.value(u"lineno"_s), Value(5));
    EXPECT_EQ(storedLines.value(u"quantity"_s), Value(3));
    EXPECT_EQ(storedLines.value(u"net"_s), Value(Currency{1999900}));

    // A new order gets its number on saving, and its lines follow it.
    auto order = host_->newOrder();
    Recordset newLines = order->getlineitems()->itemsrecordset();
    newLines.addNew();
    newLines.setValue(u"mfr_part"_s, u"FW1"_s);
    newLines.update();
    order->save();
    EXPECT_FALSE(order->isNew());
    // Keys handed out after the seed do not collide with the seeded ones.
    const Value id = order->itemsrecordset().value(u"idnumber"_s);
    EXPECT_EQ(id, Value(5));
    const Recordset saved = order->itemsrecordset();
    EXPECT_EQ(std::pair(saved.value(u"shopid"_s).toInt32(), saved.value(u"billto_id"_s).toInt32()),
              std::pair(1, 0));
    EXPECT_EQ(newLines.value(u"idnumber"_s), id);
    EXPECT_EQ(host_->openOrder(id)->getlineitems()->itemsrecordset().recordCount(), 1);
    EXPECT_EQ(errorNumber([&] { host_->openOrder(999); }), err::NoCurrentRecord);
}

TEST_F(HostOrders, CalculateInvoiceTotalsTheLinesAndTheOrderHasItsCarAndAgent)
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

    invoice = host_->openOrder(3);
    auto car = invoice->Item(u"car"_s);
    EXPECT_EQ(car->carid(), Value(u"CV16031"_s));
    // The car reads the order as it is now.
    invoice->itemsrecordset().setValue(u"model"_s, u"F-250"_s);
    EXPECT_EQ(car->model(), Value(u"F-250"_s));
    EXPECT_EQ(invoice->Item(u"boat"_s), nullptr);

    invoice->SetAgent(HostInvoice::agentRecord(host_->database(), 3));
    EXPECT_EQ(invoice->itemsrecordset().value(u"a_last"_s), Value(u"Lindqvist"_s));
    // An unknown party gives an empty item, which cannot be taken over.
    EXPECT_EQ(invoice->getbillto(999)->Item().recordCount(), 0);
    EXPECT_EQ(errorNumber([&] {
                  invoice->setbillto(invoice->getbillto(999)->Item(), false, false, false, false);
              }),
              err::NoCurrentRecord);
}

TEST_F(HostOrders, DataCommandRunsTheFixedQueriesAndTheRegistryMakesTheHostsObjects)
{
    auto env = host_->env();
    auto dc = env->Options()->dcobject();
    dc->setconstructstring(env->GetConnectString(env->data_path(), 0));
    Recordset insurers;
    ASSERT_TRUE(dc->Execute(env->SecurityToken(), u"Select * from g_insurer"_s, insurers,
                            {1, 2, 100, false}));
    EXPECT_EQ(insurers.value(u"orvaneid"_s), Value(u"CMI01"_s));
    // The catalogue's and the staging tables' queries run in the demo's loss
    // notice and authorization flows.

    // Refusals answer false and leave the caller's record set alone; the
    // dialect's own tests go through the kinds of query it refuses.
    Recordset untouched = insurers;
    EXPECT_FALSE(dc->Execute(u"wqkd"_s, u"Select * from g_insurer; delete from g_insurer"_s,
                             untouched, {2}));
    EXPECT_TRUE(untouched.sharesRowsWith(insurers));
    dc->setconstructstring(u"QSQLITE:/nowhere/else.sqlite"_s);
    EXPECT_FALSE(dc->Execute(u"wqkd"_s, u"Select * from g_insurer"_s, untouched, {2}));
    EXPECT_EQ(countRows(host_->database(), u"SELECT COUNT(*) FROM g_insurer"_s), 3);

    // The registry makes the host's objects; an unknown kind is nothing.
    EXPECT_EQ(host_->env()->safecreateobj(99), nullptr);
    EXPECT_TRUE(CreateObject<ext::IInvoice>(u"qorhost.invoice"_s));
    EXPECT_TRUE(CreateObject<ext::IOrderList>(u"qorHost.OrderList"_s));
    EXPECT_TRUE(CreateObject<ComObject>(QString::fromUtf16(ext::progid::ControlUI)));
    // Once the host is gone its classes cannot be made.
    host_.reset();
    EXPECT_EQ(errorNumber([] { CreateObject<ext::IOrderList>(u"qorHost.OrderList"_s); }),
              err::CantCreateObject);
}

TEST_F(HostWidgets, ChooserFindsByVinNarrowsAsTheUserTypesAndCancelledGivesNothing)
{
    auto chooser = ext::objectAs<ext::IVehicleChooser>(
        host_->env()->SafeCreateUIObj(ext::objkind::VehicleChooser), u"test"_s);
    auto car = ext::objectAs<ext::IVehicle>(host_->env()->SafeCreatenagsObj(ext::objkind::NagsCar),
                                            u"test"_s);
    // Found by VIN; wildcards are text.
    chooser->setVIN(u"1FTEW1EP1LF000003"_s);
    on<VehicleChooserDialog>([](VehicleChooserDialog *dialog) {
        EXPECT_EQ(dialog->shownCount(), 1);
        QTest::keyClicks(dialog->txtMake, u"%"_s);
        EXPECT_EQ(dialog->shownCount(), 0);
        EXPECT_FALSE(dialog->cmdOK->isEnabled());
        dialog->txtMake->clear();
        EXPECT_EQ(dialog->shownCount(), 1);
        QTest::mouseClick(dialog->cmdOK, Qt::LeftButton);
    });
    auto chosen = chooser->choosecar(0, car, u"YEAR"_s);
    EXPECT_EQ(chosen->model(), Value(u"F-150"_s));
    EXPECT_EQ(chooser->VIN(), u"1FTEW1EP1LF000003"_s);

    // Cancelled: nothing, and the VIN stays.
    chooser->setVIN(u"SOMEVIN"_s);
    on<VehicleChooserDialog>([](VehicleChooserDialog *dialog) {
        dialog->txtVIN->clear();
        EXPECT_EQ(dialog->shownCount(), 20);
        QTest::mouseClick(dialog->cmdCancel, Qt::LeftButton);
    });
    EXPECT_EQ(chooser->choosecar(0, car, u"YEAR"_s), nullptr);
    EXPECT_EQ(chooser->VIN(), u"SOMEVIN"_s);

    chooser->setVIN(QString());
    car->setYear(2021);
    on<VehicleChooserDialog>([](VehicleChooserDialog *dialog) {
        // Starts from the order's vehicle, on the year.
        EXPECT_EQ(dialog->txtYear->text(), u"2021"_s);
        EXPECT_EQ(dialog->shownCount(), 4);
        QTest::keyClicks(dialog->txtMake, u"toy"_s);
        EXPECT_EQ(dialog->shownCount(), 3);
        QTest::keyClicks(dialog->txtModel, u"ca"_s);
        ASSERT_EQ(dialog->shownCount(), 1);
        dialog->grdVehicles->selectRow(0);
        QTest::mouseClick(dialog->cmdOK, Qt::LeftButton);
    });
    chosen = chooser->choosecar(0, car, u"YEAR"_s);
    EXPECT_EQ(chosen->car_id(), Value(u"CV15022"_s));
    EXPECT_EQ(chosen->body(), Value(u"4 Door Sedan"_s));
}

TEST_F(HostWidgets, AgentEntryLooksUpAgentsAndReportsThePick)
{
    auto control = CreateObject<ext::IAgentControl>(QString::fromUtf16(ext::progid::qorAgent));
    auto invoice = host_->openOrder(1);
    QWidget parent;
    QWidget *w = control->widget(&parent);
    EXPECT_EQ(control->widget(&parent), w);
    control->setEnv(host_->env());
    control->setRecordset(invoice->itemsrecordset());
    auto *entry = qobject_cast<AgentEntry *>(w);
    EXPECT_EQ(entry->txtAgent->text(), u"Okafor"_s); // beside the view's first name

    std::vector<QString> picked;
    control->onAgentChosen([&](const Recordset &agent) {
        picked.push_back(agent.value(u"a_last"_s).toText());
        invoice->SetAgent(agent);
    });

    // Typing without focus: the offer list fills, its popup stays closed.
    entry->txtAgent->clear();
    QTest::keyClicks(entry->txtAgent, u"OKA"_s);
    ASSERT_EQ(entry->matches->rowCount(), 2);
    EXPECT_EQ(entry->matches->item(0)->text(), u"Dana Okafor (Bridgeway Insurance)"_s);
    entry->lookUp(u"%"_s);
    EXPECT_EQ(entry->matches->rowCount(), 0);
    entry->lookUp(u"o_"_s);
    EXPECT_EQ(entry->matches->rowCount(), 0);

    entry->lookUp(u"o'n"_s);
    entry->pick(0);
    EXPECT_EQ(picked.at(0), u"O'Neill"_s);
    EXPECT_EQ(entry->txtAgent->text(), u"O'Neill"_s);
    EXPECT_EQ(invoice->itemsrecordset().value(u"a_company"_s), Value(u"Summit Agency"_s));
    entry->pick(7); // nothing offered there
    EXPECT_EQ(picked.size(), 1u);
}

TEST(ShopDatabase, CreatesOnceAndMigratesAnOlderDatabaseKeepingRows)
{
    QTemporaryDir dir;
    const QString conn = ShopDatabase::sqliteConnection(dir.filePath(u"shop.sqlite"_s));
    {
        auto db = ShopDatabase::open(ShopDatabase::Kind::Shop, conn);
        EXPECT_EQ(db->version(), ShopDatabase::CurrentVersion);
        db->exec(u"INSERT INTO invoice (idnumber, s_last) VALUES (5, 'Kim')"_s);
    }
    // Opening again changes nothing and keeps the row.
    auto db = ShopDatabase::open(ShopDatabase::Kind::Shop, conn);
    EXPECT_EQ(countRows(*db, u"SELECT COUNT(*) FROM invoice"_s), 1);
    EXPECT_EQ(countRows(*db, u"SELECT COUNT(*) FROM host_schema"_s), 1);
    // Columns the library only reads get defaults, never NULL text.
    Recordset rs = db->select(db->table(u"invoice"_s), u"idnumber = 5"_s);
    EXPECT_EQ(rs.value(u"s_first"_s), Value(QString()));
    EXPECT_EQ(rs.value(u"Deductible"_s).toCurrency().scaled, 0);
    EXPECT_TRUE(rs.value(u"lossdate"_s).isEmpty());

    // An older database gets the new columns and tables and keeps its rows.
    const QString older = ShopDatabase::sqliteConnection(dir.filePath(u"older.sqlite"_s));
    {
        auto old = ShopDatabase::open(ShopDatabase::Kind::Shop, older, 1);
        old->exec(u"INSERT INTO invoice (idnumber, type, s_last) VALUES (9, 'quote', 'Ito')"_s);
    }
    db = ShopDatabase::open(ShopDatabase::Kind::Shop, older);
    EXPECT_EQ(db->version(), ShopDatabase::CurrentVersion);
    EXPECT_TRUE(db->db().tables().contains(u"agents"_s));
    rs = db->select(db->table(u"invoice"_s), u"idnumber = 9"_s);
    EXPECT_EQ(rs.value(u"s_last"_s), Value(u"Ito"_s));
    EXPECT_EQ(rs.value(u"voidmsg"_s), Value(QString()));
    // Names and addresses hold what dispatches carry.
    EXPECT_NO_THROW(rs.setValue(u"s_address"_s, QString(120, u'x')));
}

TEST(ShopDatabase, DialectAndValueConversionsKeepBackendDifferencesApart)
{
    const BackendDialect lite = BackendDialect::forBackend(sql::Backend::SQLite);
    const BackendDialect pg = BackendDialect::forBackend(sql::Backend::PostgreSQL);
    const ColumnDef key{u"id"_s, ColumnKind::Key};
    EXPECT_EQ(lite.columnType(key), u"INTEGER PRIMARY KEY"_s);
    EXPECT_EQ(pg.columnType(key), u"SERIAL PRIMARY KEY"_s);
    // SQLite's empty resync and the seed's insert that skips rows already there
    // run whenever the demo shop is seeded, twice in the refused-writes test.
    EXPECT_TRUE(pg.resyncKey(u"invoice"_s, u"idnumber"_s).contains(u"setval"_s));
    EXPECT_EQ(pg.defaultFor({u"f"_s, ColumnKind::Bool}), u"NOT NULL DEFAULT FALSE"_s);

    // Dates and amounts also go through the database in the order round trip.
    using K = ColumnKind;
    const Value stamp(DateValue::fromDateTime(QDateTime(QDate(2026, 2, 28), QTime(14, 30))));
    EXPECT_EQ(ShopDatabase::fromSql(
                  ShopDatabase::toSql(stamp, K::Date).toDateTime().toString(Qt::ISODate), K::Date),
              stamp);
    EXPECT_TRUE(ShopDatabase::toSql(Value(), K::Date).isNull());
    EXPECT_EQ(ShopDatabase::fromSql(QVariant(qlonglong(1)), K::Bool), Value(true));
    EXPECT_EQ(ShopDatabase::fromSql(QVariant(u"1"_s), K::Bool), Value(true));
}

// Seeding twice adds nothing; a refused save writes nothing, leaves nothing
// marked as saved, and works when tried again.
TEST(RefusedWrites, ReadOnlyOrLockedDatabaseWritesNothingAndTheSameSaveWorksLater)
{
    QTemporaryDir dir;
    {
        auto host = ReferenceHost::open(dir.filePath(u"data"_s), dir.filePath(u"nags"_s));
        host->seedDemo();
        host->seedDemo();
        EXPECT_EQ(countRows(host->database(), u"SELECT COUNT(*) FROM invoice"_s), 4);
        EXPECT_EQ(countRows(*host->catalogue(), u"SELECT COUNT(*) FROM vehicles"_s), 20);
    }
    const QString file = ShopDatabase::sqliteConnection(dir.filePath(u"data/shop.sqlite"_s));
    // The order and its lines as stored, for comparing before and after.
    const auto snapshot = [&file] {
        auto db = ShopDatabase::open(ShopDatabase::Kind::Shop, file);
        QSqlQuery q = db->exec(
            u"SELECT (SELECT s_last || '|' || ifnull(total, '') FROM invoice WHERE idnumber = 1)"
            u" || ';' || (SELECT group_concat(lineid || ':' || quantity) FROM invline"
            u" WHERE idnumber = 1)"_s);
        return q.next() ? q.value(0).toString() : QString();
    };
    // The order opened through a connection with these options, its header and
    // one line changed and a line added: a save touches both tables.
    const auto edited = [&file](const QString &options) {
        auto invoice = HostInvoice::load(
            ShopDatabase::open(ShopDatabase::Kind::Shop, file % options), nullptr, 1);
        invoice->itemsrecordset().setValue(u"s_last"_s, u"Changed"_s);
        Recordset lines = invoice->getlineitems()->itemsrecordset();
        lines.moveFirst();
        lines.setValue(u"quantity"_s, 7);
        lines.addNew();
        lines.setValue(u"mfr_part"_s, u"NEW1"_s);
        lines.update();
        return invoice;
    };

    const QString before = snapshot();
    auto invoice = edited(u";READONLY"_s);
    const VbError e = raised([&] { invoice->save(); });
    EXPECT_TRUE(e.description().contains(u"readonly"_s, Qt::CaseInsensitive))
        << e.description().toStdString();
    EXPECT_EQ(snapshot(), before);

    // Locked: rolled back, and the same save works later.
    invoice = edited(u";BUSY_TIMEOUT=50"_s);
    {
        auto locker = ShopDatabase::open(ShopDatabase::Kind::Shop, file);
        locker->exec(u"BEGIN EXCLUSIVE"_s);
        const VbError locked = raised([&] { invoice->save(); });
        EXPECT_TRUE(locked.description().contains(u"locked"_s, Qt::CaseInsensitive))
            << locked.description().toStdString();
        locker->exec(u"ROLLBACK"_s);
    }
    EXPECT_EQ(snapshot(), before);
    // Nothing was marked as saved, so the retry writes everything once.
    invoice->save();
    auto check = ShopDatabase::open(ShopDatabase::Kind::Shop, file);
    EXPECT_EQ(countRows(*check, u"SELECT COUNT(*) FROM invline WHERE idnumber = 1"_s), 5);
    EXPECT_EQ(countRows(*check, u"SELECT COUNT(*) FROM invoice WHERE s_last = 'Changed'"_s), 1);
}
