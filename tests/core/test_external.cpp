// Every external header, compiled together, and small fakes showing that the
// host and transport interfaces can be implemented, registered and used as the
// library uses them.
#include "ObjectRegistry.h"
#include "Recordset.h"
#include "TestHelpers.h"
#include "VbError.h"
#include "external/IAgentControl.h"
#include "external/IControlUI.h"
#include "external/IDataCommand.h"
#include "external/IEnvironment.h"
#include "external/IErrorClass.h"
#include "external/IHostItem.h"
#include "external/IInsIdList.h"
#include "external/IInscoIdList.h"
#include "external/IInvoice.h"
#include "external/ILineItems.h"
#include "external/IOidList.h"
#include "external/IOptions.h"
#include "external/IOrderCar.h"
#include "external/IOrderList.h"
#include "external/IOrvaneOut.h"
#include "external/IPidList.h"
#include "external/IRsTable.h"
#include "external/IShop.h"
#include "external/ITableObject.h"
#include "external/IUser.h"
#include "external/IVehicle.h"
#include "external/IVehicleChooser.h"
#include "external/Ig_ackn.h"
#include "external/Ig_trans.h"
#include "external/ObjectCast.h"
#include "external/ProgIds.h"

#include <QLineEdit>
#include <QMap>
#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace Qt::StringLiterals;
using namespace orvane;
using namespace orvane::ext;
using orvane::test::errorNumber;
using orvane::test::raised;

namespace {

struct LoggedError {
    QString procedure;
    QString text;
    long number;
    int ErrorLine;
    std::optional<int> Mode;
};

class FakeErrorClass : public IErrorClass {
public:
    void ErrorHandle(int, const QString &procedure, const QString &text, long number, int ErrorLine,
                     std::optional<int> Mode) override
    {
        log.push_back({procedure, text, number, ErrorLine, Mode});
    }
    std::vector<LoggedError> log;
};

class FakeOptions : public IOptions {
public:
    QString readinistring(const QString &section, const QString &key,
                          const QString &file) const override
    {
        return ini.value(file % u'|' % section % u'|' % key);
    }
    void writeinistring(const QString &section, const QString &key, const QString &value,
                        const QString &file) override
    {
        ini.insert(file % u'|' % section % u'|' % key, value);
    }
    QString dask_ini() const override { return u"/shop/dask.ini"_s; }
    std::shared_ptr<IDataCommand> dcobject() const override { return nullptr; }
    QMap<QString, QString> ini;
};

class FakeOrderList : public IOrderList {
public:
    void getinvoices(const QString &, bool) override {}
    int RecordCount() const override { return 0; }
    Recordset itemsrecordset() const override { return {}; }
    void setordertypes(const QString &) override {}
    void Update(bool) override {}
};

class FakeEnv : public IEnvironment {
public:
    std::shared_ptr<IErrorClass> ErrorClass() const override { return errors; }
    std::shared_ptr<IOptions> Options() const override { return options; }
    QString GetConnectString(const QString &folder, int) const override { return folder; }
    QString data_path() const override { return u"/shop/data/"_s; }
    QString nags_path() const override { return u"/shop/nags/"_s; }
    Value Location() const override { return 3; }
    QString SecurityToken() const override { return u"token"_s; }
    std::shared_ptr<IUser> currentuser() const override { return nullptr; }
    // Only the order list is known; the shop (11) comes back as nothing.
    std::shared_ptr<ComObject> safecreateobj(int kind) override
    {
        return kind == objkind::OrderList ? std::make_shared<FakeOrderList>() : nullptr;
    }
    std::shared_ptr<ComObject> SafeCreatenagsObj(int) override { return nullptr; }
    std::shared_ptr<ComObject> SafeCreateUIObj(int) override { return nullptr; }

    std::shared_ptr<FakeErrorClass> errors = std::make_shared<FakeErrorClass>();
    std::shared_ptr<FakeOptions> options = std::make_shared<FakeOptions>();
};

// A transaction table that keeps its rows in memory and understands only the
// never-matching filter the queueing uses and "all rows" otherwise.
class FakeTrans : public Ig_trans {
public:
    FakeTrans()
    {
        table_.appendField(u"rectype"_s, ftype::Text, 10);
        table_.appendField(u"recid"_s, ftype::Text, 40);
        table_.appendField(u"processed"_s, ftype::Bool);
        table_.appendField(u"daskloc"_s, ftype::Int32);
        table_.open();
    }
    std::shared_ptr<IEnvironment> Env() const override { return env_; }
    void setEnv(std::shared_ptr<IEnvironment> env) override { env_ = std::move(env); }
    Recordset itemsrecordset() const override { return rows_; }
    void Update() override
    {
        requireEnv();
        rows_.forEachRow([this](RowStatus status, const std::vector<Value> &values) {
            if (status == RowStatus::New)
                table_.loadRow(values);
        });
        rows_.acceptChanges();
    }
    void get_g_trans(const QString &filter) override
    {
        requireEnv();
        rows_ = filter.contains(u"<>"_s) ? table_.emptyCopy() : table_.clone();
    }
    int storedRows() const { return table_.recordCount(); }

private:
    void requireEnv() const
    {
        if (!env_)
            throw VbError(err::ObjectVariableNotSet, u"clsg_trans"_s, u"no Env"_s);
    }
    std::shared_ptr<IEnvironment> env_;
    Recordset table_;
    Recordset rows_;
};

class FakeCar : public IOrderCar {
public:
    Value Year() const override { return 2019; }
    Value make() const override { return u"FORD"_s; }
    Value model() const override { return u"FOCUS"_s; }
    Value body() const override { return u"4D SDN"_s; }
    Value carid() const override { return u"C-12345"_s; }
    Value vin() const override { return u"1FADP3F2XKL000001"_s; }
};

class FakeInvoice : public IInvoice {
public:
    Recordset itemsrecordset() const override { return {}; }
    std::shared_ptr<IEnvironment> Env() const override { return env; }
    std::shared_ptr<ILineItems> getlineitems() override { return nullptr; }
    void calculateinvoice(bool, bool) override {}
    void setbillto(const Recordset &, bool, bool, bool, bool) override {}
    void setdiscount(const Recordset &) override {}
    std::shared_ptr<IHostItem> getbillto(const Value &) override { return nullptr; }
    std::shared_ptr<IHostItem> getdiscount(const Value &) override { return nullptr; }
    std::shared_ptr<IOrderCar> Item(const QString &name) const override
    {
        return name.compare(u"car"_s, Qt::CaseInsensitive) == 0 ? std::make_shared<FakeCar>()
                                                                : nullptr;
    }
    void SetAgent(const Recordset &agent) override { agents.push_back(agent); }

    std::shared_ptr<IEnvironment> env;
    std::vector<Recordset> agents;
};

class FakeOrvaneOut : public IOrvaneOut {
public:
    void returnorder(const QString &key, const QString &dispatchXml,
                     std::shared_ptr<IInvoice> &order) override
    {
        if (dispatchXml.isEmpty())
            throw VbError(err::BadArguments, key, u"no dispatch"_s);
        order = std::make_shared<FakeInvoice>();
    }
};

class FakeAgentControl : public IAgentControl {
public:
    QWidget *widget(QWidget *parent) override
    {
        if (!edit_)
            edit_ = new QLineEdit(parent);
        return edit_;
    }
    void setEnv(std::shared_ptr<IEnvironment>) override {}
    void setRecordset(const Recordset &) override {}
    void onAgentChosen(AgentChosen handler) override { chosen_ = std::move(handler); }
    // What the host's control does when the user picks an agent.
    void pick(const Recordset &agent)
    {
        if (chosen_)
            chosen_(agent);
    }
    bool widgetAlive() const { return !edit_.isNull(); }

private:
    QPointer<QLineEdit> edit_;
    AgentChosen chosen_;
};

QString id(const char16_t *progId)
{
    return QString::fromUtf16(progId);
}

class ExternalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ObjectRegistry::instance().registerClass(id(progid::g_trans),
                                                 [] { return std::make_shared<FakeTrans>(); });
        ObjectRegistry::instance().registerClass(id(progid::clsorvaneout),
                                                 [] { return std::make_shared<FakeOrvaneOut>(); });
    }
    void TearDown() override
    {
        ObjectRegistry::instance().unregisterClass(id(progid::g_trans));
        ObjectRegistry::instance().unregisterClass(id(progid::clsorvaneout));
    }
};

TEST_F(ExternalTest, TableObjectsAreCreatedByProgramIdentifierInAnyCase)
{
    auto first = CreateObject<Ig_trans>(u"QORORVANEOUT.CLSG_TRANS"_s);
    auto second = CreateObject<ITableObject>(u"qorOrvaneOut.clsg_trans"_s);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.get(), second.get()) << "one object per operation";

    // The wrong interface and an unregistered identifier fail as the callers expect.
    EXPECT_EQ(errorNumber([] { CreateObject<IRsTable>(id(progid::g_trans)); }), err::TypeMismatch);
    EXPECT_EQ(errorNumber([] { CreateObject<Ig_ackn>(id(progid::g_ackn)); }),
              err::CantCreateObject);
}

TEST_F(ExternalTest, QueueingSequenceRunsThroughTheInterfaces)
{
    auto env = std::make_shared<FakeEnv>();
    auto trans = CreateObject<Ig_trans>(id(progid::g_trans));
    EXPECT_EQ(errorNumber([&] { trans->get_g_trans(u"rectype = 'DISPATCH'"_s); }),
              err::ObjectVariableNotSet)
        << "nothing works before Env is set";

    trans->setEnv(env);
    trans->get_g_trans(u"g_trans.guid = '1' and g_trans.guid <> '1'"_s);
    Recordset rs = trans->itemsrecordset();
    EXPECT_EQ(rs.recordCount(), 0);
    rs.addNew();
    rs[u"rectype"_s] = u"ENOL"_s;
    rs[u"processed"_s] = false;
    rs[u"daskloc"_s] = trans->Env()->Location();
    trans->Update();
    auto *options = trans->Env()->Options().get();
    options->writeinistring(u"Orvane"_s, u"SendTrans"_s, u"1"_s,
                            env->data_path() % u"Orvane.ini"_s);

    EXPECT_EQ(std::static_pointer_cast<FakeTrans>(trans)->storedRows(), 1);
    // The handle the caller holds is the object's row set, not a copy.
    EXPECT_TRUE(trans->itemsrecordset().sharesRowsWith(rs));
    EXPECT_EQ(options->readinistring(u"Orvane"_s, u"SendTrans"_s, u"/shop/data/Orvane.ini"_s),
              u"1"_s);
}

TEST_F(ExternalTest, HostCreatorResultsAreCheckedBeforeUse)
{
    FakeEnv env;
    auto list = objectAs<IOrderList>(env.safecreateobj(objkind::OrderList), u"RemoveOrder"_s);
    EXPECT_NE(list, nullptr);

    // The host answers nothing for the shop: an error for the trap, not a crash.
    const VbError none =
        raised([&] { objectAs<IShop>(env.safecreateobj(objkind::Shop), u"FillIn"_s); });
    EXPECT_EQ(none.number(), err::ObjectVariableNotSet);
    EXPECT_EQ(none.source(), u"FillIn"_s);
    EXPECT_EQ(
        errorNumber([&] { objectAs<IShop>(env.safecreateobj(objkind::OrderList), u"FillIn"_s); }),
        err::TypeMismatch);
}

TEST_F(ExternalTest, ErrorHandleTakesItsNamedArguments)
{
    FakeEnv env;
    env.ErrorClass()->ErrorHandle(0, u"qorOrvaneUI.ChooseDispatchfrm.cmdFind_Click"_s,
                                  u"Type mismatch"_s, 13, 30);
    env.ErrorClass()->ErrorHandle(0, u"qorOrvaneUI.Authorizationfrm.CheckLossAck"_s, QString(), 0,
                                  70, 1);

    const auto &log = env.errors->log;
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].ErrorLine, 30);
    EXPECT_FALSE(log[0].Mode.has_value());
    EXPECT_EQ(log[1].ErrorLine, 70);
    EXPECT_EQ(log[1].Mode, 1);
}

TEST_F(ExternalTest, ReturnorderFillsTheOrderVariable)
{
    auto out = CreateObject<IOrvaneOut>(u"qorOrvaneOut.clsOrvaneOut"_s);
    std::shared_ptr<IInvoice> order;
    EXPECT_NE(errorNumber([&] { out->returnorder(u"DISPATCH1"_s, QString(), order); }), 0);
    EXPECT_EQ(order, nullptr) << "a failed build leaves the variable as it was";

    out->returnorder(u"DISPATCH1"_s, u"<Dispatch/>"_s, order);
    ASSERT_NE(order, nullptr);
    auto car = order->Item(u"CAR"_s);
    ASSERT_NE(car, nullptr);
    EXPECT_EQ(car->carid().toText(), u"C-12345"_s);
    EXPECT_EQ(order->Item(u"boat"_s), nullptr);
}

TEST_F(ExternalTest, AgentControlIsEmbeddedAndReportsThePick)
{
    FakeInvoice invoice;
    auto agent = std::make_shared<FakeAgentControl>();
    {
        QWidget view;
        QWidget *entry = agent->widget(&view);
        EXPECT_EQ(entry->parent(), &view);
        EXPECT_EQ(agent->widget(&view), entry);
        agent->onAgentChosen([&](const Recordset &row) { invoice.SetAgent(row); });

        Recordset row;
        row.appendField(u"a_first"_s, ftype::Text, 20);
        row.open();
        row.addNew();
        row[u"a_first"_s] = u"Dana"_s;
        agent->pick(row);
    }
    ASSERT_EQ(invoice.agents.size(), 1u);
    EXPECT_EQ(invoice.agents[0].value(u"a_first"_s).toText(), u"Dana"_s);
    // The view owned the widget; the control object outlives it safely.
    EXPECT_FALSE(agent->widgetAlive());
}

} // namespace
