// A complete host: its own order and lines, the library's base classes for the rest. Opens the
// dispatch view, Part Authorization and the loss notice. Usage: minimal_host XML RPT FOLDER
#include <qorOrvaneUI/authorization/Authorizationcls.h>
#include <qorOrvaneUI/dispatch/clsShowDispatch.h>
#include <qorOrvaneUI/external/Ig_ackn.h>
#include <qorOrvaneUI/host/HostBase.h>
#include <qorOrvaneUI/loss/eNOLcls.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>
#include <qorOrvaneUI/transport/SqlDataCommand.h>
#include <qorOrvaneUI/transport/TransportClasses.h> // the shipped transport
#include <qorOrvaneUI/widgets/Ui.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>

using namespace orvane;

// With ORVANE_EXAMPLE_AUTOCLOSE set, each view closes itself and each box answers No.
struct AutoUi : QtUi {
    MsgResult msgBox(const QString &text, MsgButtons, MsgIcon, const QString &) override
    {
        std::printf("  box: %s\n", qPrintable(text));
        return MsgResult::No;
    }
    int showModal(QDialog *view) override
    {
        std::printf("  view: %s\n", qPrintable(view->windowTitle()));
        QTimer::singleShot(300, view, &QDialog::reject);
        return QtUi::showModal(view);
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (qEnvironmentVariableIsSet("ORVANE_EXAMPLE_AUTOCLOSE"))
        Ui::install(std::make_shared<AutoUi>());
    transport::registerTransportClasses();

    // The shop: data folder (settings, transport tables), a data command over its database.
    const QString data = args.value(3) + u'/';
    auto env = std::make_shared<hostbase::Environment>(
        data, data, std::make_shared<transport::SqlDataCommand>());
    env->shopPid = QStringLiteral("SHOP-0001");
    env->userFirst = QStringLiteral("Pat");
    env->userLast = QStringLiteral("Rivera");
    const auto errors = std::static_pointer_cast<hostbase::LoggingErrorClass>(env->errors);

    // The order: one record and its lines, with the fields the host guide lists.
    using Fields = std::initializer_list<std::pair<const char *, Value>>;
    const auto fill = [](Recordset &rs, Fields fields) {
        for (const auto &[name, value] : fields)
            rs.setValue(QString::fromLatin1(name), value);
        rs.update();
    };
    auto invoice = std::make_shared<hostbase::Invoice>(env);
    // clang-format off
    fill(invoice->order, {{"idnumber", 1001}, {"location", 1}, {"shopid", 1}, {"type", "INVOICE"},
        {"s_first", "Alex"}, {"s_last", "Morgan"}, {"s_area2", "503"}, {"s_phone2", "5550172"},
        {"policy", "POL-88-2"}, {"lossdate", QDate(2026, 11, 30)}, {"carid", "AB00123"},
        {"year", "2021"}, {"make", "Subaru"}, {"model", "Outback"}, {"body", "4 Door Wagon"}});
    for (const auto &[part, kind, net] : {std::tuple{"FW04521GTYN", "G", 300}, {"KT-LU-1002", "K LU", 25}}) {
        invoice->lines.addNew();
        fill(invoice->lines, {{"mfr_part", part}, {"part", part}, {"typeofpart", kind}, {"mfr", "NAG"},
                              {"Net", net}, {"Quantity", 1}});
    }
    // clang-format on

    XmlDocument doc;
    doc.load(args[1]);
    auto answers = CreateObject<ext::Ig_ackn>(QStringLiteral("qorOrvaneOut.g_ackncls"));
    answers->setEnv(env);
    answers->Get_g_ACKN(QStringLiteral("g_ackn.Ack = .F."));
    dispatch::clsShowDispatch view;
    authorization::Authorizationcls auth;
    loss::eNOLcls notice;
    const std::pair<const char *, std::function<void()>> calls[] = {
        {"ShowDispatch", [&] { view.ShowDispatch(0, doc.xml(), args[2]); }},
        {"PartAuthorization", [&] { auth.PartAuthorization(invoice, doc); }},
        {"ShowAuth", [&] { auth.ShowAuth(invoice, answers); }},
        {"RecalcAuths", [&] { auth.RecalcAuths(env); }},
        {"VerifyFields", [&] { notice.VerifyFields(invoice); }},
        {"SendeNOL", [&] { notice.SendeNOL(invoice); }},
    };
    int failed = 0;
    for (const auto &[method, call] : calls) {
        std::printf("%s\n", method);
        try {
            call();
        } catch (const VbError &e) { // what reaches the host's own error trap
            ++failed;
            std::printf("  error %ld from %s\n", e.number(), qPrintable(e.source()));
        }
    }
    std::printf("%d failed, %d reported\n", failed, errors->reports());
    return failed + errors->reports() == 0 ? 0 : 1;
}
