// A host of its own: one environment object, an order, the transport registered, and every
// public method called once. Usage: minimal_host DISPATCH.xml REPORT.rpt DATA_FOLDER
#include <qorOrvaneUI/authorization/Authorizationcls.h>
#include <qorOrvaneUI/dispatch/clsShowDispatch.h>
#include <qorOrvaneUI/external/IEnvironment.h>
#include <qorOrvaneUI/external/IErrorClass.h>
#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/external/IOptions.h>
#include <qorOrvaneUI/external/Ig_ackn.h>
#include <qorOrvaneUI/loss/eNOLcls.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>
#include <qorOrvaneUI/transport/TransportClasses.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>

using orvane::authorization::Authorizationcls;
using orvane::dispatch::clsShowDispatch;
using orvane::loss::eNOLcls;

using namespace orvane;
using std::shared_ptr;
static const auto say = [](const QString &text) { std::printf("%s\n", qPrintable(text)); };

// Environment, error reporter and settings in one. It has no database, user or creators: what
// needs them fails, reported through ErrorHandle or thrown to the caller.
struct Host : ext::IEnvironment,
              ext::IErrorClass,
              ext::IOptions,
              std::enable_shared_from_this<Host> {
    QString dir; // data_path: the transport's SQLite database and Orvane.ini live here
    shared_ptr<Host> self() const { return std::const_pointer_cast<Host>(shared_from_this()); }
    shared_ptr<ext::IErrorClass> ErrorClass() const override { return self(); }
    shared_ptr<ext::IOptions> Options() const override { return self(); }
    QString GetConnectString(const QString &, int) const override
    {
        return "QSQLITE:" + dir + "t.db";
    }
    QString data_path() const override { return dir; }
    QString nags_path() const override { return dir; }
    Value Location() const override { return 1; }
    QString SecurityToken() const override { return {}; }
    shared_ptr<ext::IUser> currentuser() const override { return nullptr; }
    shared_ptr<ComObject> safecreateobj(int) override { return nullptr; }
    shared_ptr<ComObject> SafeCreatenagsObj(int) override { return nullptr; }
    shared_ptr<ComObject> SafeCreateUIObj(int) override { return nullptr; }
    void ErrorHandle(int, const QString &where, const QString &text, long n, int,
                     std::optional<int>) override
    {
        say(QStringLiteral("  reported %1 by %2: %3").arg(n).arg(where, text));
    }
    QString readinistring(const QString &, const QString &, const QString &) const override
    {
        return {};
    }
    void writeinistring(const QString &, const QString &k, const QString &v,
                        const QString &) override
    {
        say("  setting " + k + "=" + v);
    }
    QString dask_ini() const override { return {}; }
    shared_ptr<ext::IDataCommand> dcobject() const override { return nullptr; }
};
struct Order : ext::IInvoice {
    shared_ptr<Host> env;
    Recordset row;
    Recordset itemsrecordset() const override { return row; }
    shared_ptr<ext::IEnvironment> Env() const override { return env; }
    shared_ptr<ext::ILineItems> getlineitems() override { return nullptr; }
    void calculateinvoice(bool, bool) override {}
    void setbillto(const Recordset &, bool, bool, bool, bool) override {}
    void setdiscount(const Recordset &) override {}
    shared_ptr<ext::IHostItem> getbillto(const Value &) override { return nullptr; }
    shared_ptr<ext::IHostItem> getdiscount(const Value &) override { return nullptr; }
    shared_ptr<ext::IOrderCar> Item(const QString &) const override { return nullptr; }
    void SetAgent(const Recordset &) override {}
};
// With ORVANE_EXAMPLE_AUTOCLOSE set, each dialog closes itself and each message box says No.
struct AutoUi : QtUi {
    MsgResult msgBox(const QString &text, MsgButtons, MsgIcon, const QString &) override
    {
        say("  box: " + text);
        return MsgResult::No;
    }
    int showModal(QDialog *d) override
    {
        say("  dialog: " + d->windowTitle());
        QTimer::singleShot(200, d, &QDialog::reject);
        return QtUi::showModal(d);
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("ORVANE_EXAMPLE_AUTOCLOSE"))
        Ui::install(std::make_shared<AutoUi>());
    transport::registerTransportClasses();
    auto host = std::make_shared<Host>();
    host->dir = app.arguments().value(3) + "/";
    auto order = std::make_shared<Order>();
    order->env = host;
    for (const char *field : {"idnumber", "location"})
        order->row.appendField(field, 3);
    order->row.open();
    order->row.addNew();
    order->row.setValue("idnumber", 1001);
    XmlDocument dom;
    dom.load(app.arguments().value(1));
    QString xml = dom.xml(), report = app.arguments().value(2);
    WindowHandle owner = 0;
    shared_ptr<ext::IInvoice> invoice = order;
    shared_ptr<ext::IEnvironment> env = host;
    auto answers = CreateObject<ext::Ig_ackn>("qorOrvaneOut.g_ackncls");
    answers->setEnv(env);
    answers->Get_g_ACKN("g_ackn.Ack = .F.");
    clsShowDispatch dispatch;
    Authorizationcls auth;
    eNOLcls loss;
    const std::pair<const char *, std::function<void()>> calls[] = {
        {"ShowDispatch", [&] { dispatch.ShowDispatch(owner, xml, report); }},
        {"ShowEschedule", [&] { dispatch.ShowEschedule(owner, xml, report); }},
        {"GetDiscounts", [&] { dispatch.GetDiscounts(xml); }},
        {"GetAuths", [&] { dispatch.GetAuths(xml); }},
        {"GetDamages", [&] { dispatch.GetDamages(xml); }},
        {"ChooseDispatch", [&] { dispatch.ChooseDispatch(owner, invoice); }},
        {"PartAuthorization", [&] { auth.PartAuthorization(invoice, dom, owner); }},
        {"ShowAuth", [&] { auth.ShowAuth(invoice, answers, owner); }},
        {"RecalcAuths", [&] { auth.RecalcAuths(env); }},
        {"VerifyFields", [&] { loss.VerifyFields(invoice); }},
        {"SendeNOL", [&] { loss.SendeNOL(invoice, owner); }},
        {"ShowResponses", [&] { loss.ShowResponses(invoice, "L-1", "COVER", owner); }},
        {"PIDList", [&] { loss.PIDList(env, owner); }},
        {"NetIDList", [&] { loss.NetIDList(env, owner); }},
        {"INSCOIDList", [&] { loss.INSCOIDList(env, "P1", "O1", owner); }},
        {"InsurerIDList", [&] { loss.InsurerIDList(env, owner); }},
    };
    for (const auto &[method, work] : calls) {
        say(method);
        try {
            work();
        } catch (const VbError &e) { // what reaches the host's own error trap
            say(QStringLiteral("  error %1 from %2").arg(e.number()).arg(e.source()));
        }
    }
}
