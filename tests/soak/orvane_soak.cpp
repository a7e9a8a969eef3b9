// One workstation of the two-workstation soak: several of these poll the
// same staging tables through the library's wait flows while each also runs
// the network simulator, and every answer must be handled by exactly one.
//
//   orvane_soak fresh --db CONN             a new empty database on the
//                                            PostgreSQL server of CONN; prints
//                                            its connection text
//   orvane_soak seed  --db CONN --count N    N authorization requests and N
//                                            loss notices, sent and unanswered
//   orvane_soak work  --db CONN --log FILE [--seconds S] [--network service]
//                     [--view-every N]       answers and polls until every
//                                            request is answered and read
//                                            (with service: the transport
//                                            service answers, not this one);
//                                            every Nth (100) through the
//                                            wait views, the rest through
//                                            their flows; logs "auth ID" /
//                                            "enol ID" for each answer this
//                                            process handled
//   orvane_soak check --db CONN --log FILE...
//                                            every answer handled exactly once
#include "support/OrderOnlyInvoice.h"
#include "support/StubEnvironment.h"
#include "transport/StagingDatabase.h"
#include "transport/TableObjects.h"
#include <qorOrvaneUI/transport/NetworkSimulator.h>

#include "qorOrvaneUI/authorization/Authoriizewaitfrm.h"
#include "qorOrvaneUI/authorization/AuthorizationShowfrm.h"
#include "qorOrvaneUI/authorization/AuthorizationWait.h"
#include "qorOrvaneUI/core/StagingWrites.h"
#include "qorOrvaneUI/core/TransactionQueue.h"
#include "qorOrvaneUI/loss/LossWait.h"
#include "qorOrvaneUI/loss/eNOLwaitfrm.h"
#include <qorOrvaneUI/external/IRsTable.h>
#include <qorOrvaneUI/external/Ig_ackn.h>
#include <qorOrvaneUI/external/Ig_trans.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>
#include <qorOrvaneUI/widgets/Ui.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QSqlQuery>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <deque>
#include <optional>

using orvane::authorization::Authoriizewaitfrm;
using orvane::authorization::AuthorizationShowfrm;
using orvane::loss::eNOLwaitfrm;
namespace StagingWrites = orvane::StagingWrites;
namespace TransactionQueue = orvane::TransactionQueue;

using namespace Qt::StringLiterals;
using namespace orvane;

namespace {

const QString DataPath = u"soak/"_s;

// The session or notice a poll is about, for the reports that name none.
QString polling;
QStringList handledNow;

class LoggingErrors : public test::StubErrors {
public:
    void ErrorHandle(int, const QString &, const QString &text, long, int,
                     std::optional<int>) override
    {
        if (text.startsWith(u"The Orvane Transmission Received an error"_s))
            handledNow << polling;
    }
};

// Plays a user who looks at every answer and closes it.
class SoakUi : public Ui {
public:
    MsgResult msgBox(const QString &, MsgButtons, MsgIcon, const QString &) override
    {
        return MsgResult::OK;
    }
    int showModal(QDialog *dialog) override
    {
        if (qobject_cast<AuthorizationShowfrm *>(dialog))
            handledNow << polling;
        return 0;
    }
    void doEvents() override {}
    QRect windowRect(WindowHandle) override { return {}; }
    QSize screenSize() override { return {1280, 800}; }
};

class Invoice : public test::OrderOnlyInvoice {
public:
    explicit Invoice(std::shared_ptr<ext::IEnvironment> e) : env(std::move(e))
    {
        order.appendField(u"idnumber"_s, ftype::Int32);
        order.appendField(u"location"_s, ftype::Int32);
        order.open();
        order.addNew();
        order[u"idnumber"_s] = 2;
        order[u"location"_s] = 1;
        order.update();
    }
    std::shared_ptr<ext::IEnvironment> Env() const override { return env; }
    std::shared_ptr<ext::IEnvironment> env;
};

struct Args {
    QString command, db;
    QStringList logs;
    int count = 0;
    int seconds = 600;
    int viewEvery = 100;
    bool simulate = true;
};

Args parse(const QStringList &argv)
{
    Args a;
    a.command = argv.value(1);
    for (int i = 2; i + 1 < argv.size(); i += 2) {
        const QString &k = argv[i];
        const QString &v = argv[i + 1];
        if (k == u"--db"_s)
            a.db = v;
        else if (k == u"--log"_s)
            a.logs << v;
        else if (k == u"--count"_s)
            a.count = v.toInt();
        else if (k == u"--seconds"_s)
            a.seconds = v.toInt();
        else if (k == u"--view-every"_s)
            a.viewEvery = std::max(1, v.toInt());
        else if (k == u"--network"_s)
            a.simulate = v != u"service"_s;
    }
    return a;
}

template <class T> std::shared_ptr<T> object(const char16_t *id, const Args &a)
{
    auto o = CreateObject<T>(QString::fromUtf16(id));
    o->setEnv(std::make_shared<test::StubEnvironment>(DataPath, a.db));
    return o;
}

QString authRequest(const QString &session, bool refused)
{
    auto line = [](int n, const QString &part) -> QString {
        return u"<AuthorizationType><Type>G</Type><LineNumber>"_s % QString::number(n) %
               u"</LineNumber><RequestPart>"_s % part %
               u"</RequestPart><RequestQuantity>1</RequestQuantity><RequestPrice>125.5"
               u"</RequestPrice><ManualRequest>N</ManualRequest></AuthorizationType>"_s;
    };
    return u"<Authorization><AuthorizationHeader><SessionID>"_s % session %
           u"</SessionID></AuthorizationHeader><AuthorizationDetails>"_s %
           line(1, refused ? u"XNOPART"_s : u"FW02345GTY"_s) % line(2, u"LABOR"_s) %
           u"</AuthorizationDetails></Authorization>"_s;
}

int fresh(const Args &a)
{
    const QString name = u"orvane_soak_"_s % QString::number(QCoreApplication::applicationPid());
    {
        QSqlDatabase db = sql::openConnection(a.db, u"admin"_s, u"soak"_s);
        QSqlQuery q(db);
        if (!q.exec(u"CREATE DATABASE "_s % name))
            return 1;
    }
    QSqlDatabase::removeDatabase(u"admin"_s);
    QStringList parts = a.db.split(u';');
    for (QString &part : parts)
        if (part.trimmed().startsWith(u"dbname="_s, Qt::CaseInsensitive))
            part = u"dbname="_s % name;
    std::printf("%s\n", qPrintable(parts.join(u';')));
    return 0;
}

// Every fifth request and notice is refused by the network, so the error
// paths are soaked too.
int seed(const Args &a)
{
    auto env = std::make_shared<test::StubEnvironment>(DataPath, a.db);
    auto invoice = std::make_shared<Invoice>(env);
    const auto connection = object<ext::Ig_trans>(ext::progid::g_trans, a);
    for (int done = 0; done < a.count;) {
        StagingWrites::Transaction batch(env);
        for (int n = 0; n < 500 && done < a.count; ++n, ++done) {
            const QString session = transport::newGuid();
            const QString xml = authRequest(session, done % 5 == 4);
            auto ackn = CreateObject<ext::Ig_ackn>(QString::fromUtf16(ext::progid::g_ackn));
            ackn->setEnv(env);
            ackn->get_ackfromxml(xml);
            ackn->Update();
            XmlDocument doc;
            doc.loadXml(xml);
            TransactionQueue::QueueTransaction(invoice, doc, u"AUTHREQ"_s, session);

            auto notice = CreateObject<ext::IRsTable>(QString::fromUtf16(ext::progid::g_enol));
            notice->setEnv(env);
            notice->get_rs(u"guid = 'A' and guid <> 'A'"_s);
            Recordset rs = notice->itemsrecordset();
            rs.addNew();
            rs.setValue(u"lossid"_s,
                        QString((done % 5 == 4 ? u"REFUSE"_s : u"CLM"_s) % QString::number(done)));
            rs.setValue(u"ack"_s, true);
            rs.update();
            notice->Update();
            const QString guid = rs.value(u"guid"_s).toText();
            doc.loadXml(u"<LossNotice><LossNoticeHeader><SessionID>"_s % guid %
                        u"</SessionID></LossNoticeHeader><LossNoticeDetails>"
                        u"<LossIdentificationNumbers>"_s %
                        rs.value(u"lossid"_s).toText() %
                        u"</LossIdentificationNumbers></LossNoticeDetails></LossNotice>"_s);
            TransactionQueue::QueueTransaction(invoice, doc, u"ENOL"_s, guid);
        }
        batch.commit();
    }
    return 0;
}

std::deque<QString> sent(const Args &a, const QString &rectype)
{
    auto trans = object<ext::Ig_trans>(ext::progid::g_trans, a);
    trans->get_g_trans(u"g_trans.rectype = '"_s % rectype % u"'"_s);
    std::deque<QString> out;
    for (Recordset rs = trans->itemsrecordset(); !rs.eof(); rs.moveNext())
        out.push_back(rs.value(u"recid"_s).toText().trimmed());
    return out;
}

// The table objects a worker reads the staging tables through besides the
// waits, made once: building one costs more than the query it runs.
struct Lookups {
    explicit Lookups(const Args &a)
        : trans(object<ext::Ig_trans>(ext::progid::g_trans, a)),
          ackn(object<ext::Ig_ackn>(ext::progid::g_ackn, a)),
          notice(object<ext::IRsTable>(ext::progid::g_enol, a))
    {
    }

    // Of `ids`, those whose answer is filed (the document is processed).
    QSet<QString> filed(const QString &rectype, const std::deque<QString> &ids, size_t n)
    {
        QStringList any;
        for (size_t i = 0; i < std::min(n, ids.size()); ++i)
            any << u"g_trans.recid = '"_s % ids[i] % u"'"_s;
        QSet<QString> out;
        if (any.isEmpty())
            return out;
        trans->get_g_trans(u"g_trans.rectype = '"_s % rectype %
                           u"' AND g_trans.processed = .T. AND ("_s % any.join(u" OR "_s) % u")"_s);
        for (Recordset rs = trans->itemsrecordset(); !rs.eof(); rs.moveNext())
            out.insert(rs.value(u"recid"_s).toText().trimmed());
        return out;
    }

    // Answered and read: handled by some workstation. The answer and the
    // processed mark are stored together, so "processed" means "answered".
    bool handledAnywhere(const QString &rectype, const QString &id)
    {
        trans->get_g_trans(u"g_trans.rectype = '"_s % rectype % u"' AND g_trans.recid = '"_s % id %
                           u"' AND g_trans.processed = .T."_s);
        if (trans->itemsrecordset().recordCount() == 0)
            return false;
        if (rectype == u"AUTHREQ"_s) {
            ackn->Get_g_ACKN(u"g_ackn.sessionid = '"_s % id % u"' AND ACK = .F."_s);
            return ackn->itemsrecordset().recordCount() == 0;
        }
        notice->get_rs(u"g_enol.guid = '"_s % id % u"' AND ACK = .F."_s);
        return notice->itemsrecordset().recordCount() == 0;
    }

    std::shared_ptr<ext::Ig_trans> trans;
    std::shared_ptr<ext::Ig_ackn> ackn;
    std::shared_ptr<ext::IRsTable> notice;
};

// One look at the authorization answer for `polling`, through the wait flow
// alone or through its view; true when it became this workstation's.
bool pollAuthorization(const std::shared_ptr<Invoice> &invoice, bool viaView)
{
    handledNow.clear();
    if (viaView) {
        Authoriizewaitfrm view;
        view.setInvoice(invoice);
        view.setSessionID(polling);
        view.ActivateMe();
        view.tmrAuthResponse_Timer();
        view.Form_Unload();
    } else {
        // An error answer is reported through the host, which notes it.
        authorization::AuthorizationWait wait;
        wait.setInvoice(invoice);
        wait.setSessionID(polling);
        wait.activate();
        if (wait.tick() == authorization::AuthorizationWait::Outcome::Answer)
            handledNow << polling;
    }
    return !handledNow.isEmpty();
}

bool pollNotice(const Args &a, const std::shared_ptr<Invoice> &invoice, bool viaView)
{
    if (viaView) {
        eNOLwaitfrm view;
        view.setNoticeTable(object<ext::IRsTable>(ext::progid::g_enol, a));
        view.setInvoice(invoice);
        view.setNoticeID(polling);
        view.tmrAuthResponse_Timer();
        const bool handled = view.mode() == 1 || view.waitResult() != 0;
        view.Form_Unload();
        return handled;
    }
    loss::LossWait wait;
    wait.setNoticeTable(object<ext::IRsTable>(ext::progid::g_enol, a));
    wait.setInvoice(invoice);
    wait.setNoticeID(polling);
    wait.tick();
    return wait.mode() == 1 || wait.result() != 0;
}

int work(const Args &a)
{
    auto env = std::make_shared<test::StubEnvironment>(DataPath, a.db);
    env->errors = std::make_shared<LoggingErrors>();
    auto invoice = std::make_shared<Invoice>(env);
    QFile log(a.logs.value(0));
    if (!log.open(QIODevice::Append | QIODevice::Text))
        return 2;
    // The transport service answers in its own process when it is in the loop.
    std::optional<transport::NetworkSimulator> network;
    if (a.simulate)
        network.emplace(env);
    // Held for the whole run: the table objects share its connection instead
    // of each opening one, as a workstation's long-lived views would.
    Lookups lookups(a);
    std::deque<QString> auths = sent(a, u"AUTHREQ"_s);
    std::deque<QString> notices = sent(a, u"ENOL"_s);
    // A share of the answers goes through the wait views, polled from before
    // their answer comes, so the views stay in the loop; the rest are looked
    // at through the flows once their answer is filed, so each costs one poll
    // and not one for every pass until the network gets to it.
    QSet<QString> viaView;
    for (const std::deque<QString> *ids : {&auths, &notices})
        for (size_t i = 0; i < ids->size(); i += size_t(a.viewEvery))
            viaView.insert((*ids)[i]);
    const QDeadlineTimer deadline(qint64(a.seconds) * 1000);
    int mine = 0, polls = 0;
    // The front of each list: the network answers the oldest documents first.
    const size_t window = 8;
    // Polls the oldest of `ids` with `poll`, and drops each one handled here or
    // by another workstation.
    auto drain = [&](std::deque<QString> &ids, const QString &kind, const QString &rectype,
                     auto poll) {
        const QSet<QString> filed = lookups.filed(rectype, ids, window);
        for (size_t i = 0; i < std::min(window, ids.size());) {
            polling = ids[i];
            const bool view = viaView.contains(polling);
            if (!view && !filed.contains(polling)) {
                ++i;
                continue;
            }
            const bool handled = poll(view);
            ++polls;
            if (handled || lookups.handledAnywhere(rectype, polling)) {
                if (handled) {
                    log.write((kind % u' ' % polling % u'\n').toUtf8());
                    ++mine;
                }
                ids.erase(ids.begin() + qsizetype(i));
            } else {
                ++i;
            }
        }
    };
    while ((!auths.empty() || !notices.empty()) && !deadline.hasExpired()) {
        const size_t before = auths.size() + notices.size();
        if (network)
            network->runOnce(6);
        drain(auths, u"auth"_s, u"AUTHREQ"_s,
              [&](bool view) { return pollAuthorization(invoice, view); });
        drain(notices, u"enol"_s, u"ENOL"_s,
              [&](bool view) { return pollNotice(a, invoice, view); });
        log.flush();
        // Waiting on another process: no point in polling an unchanged table flat out.
        if (!network && auths.size() + notices.size() == before)
            QThread::msleep(20);
    }
    std::printf("worker %lld: handled %d answers in %d polls, %.1f s of CPU%s\n",
                qint64(QCoreApplication::applicationPid()), mine, polls,
                double(std::clock()) / CLOCKS_PER_SEC,
                deadline.hasExpired() ? " (time ran out)" : "");
    return auths.empty() && notices.empty() ? 0 : 1;
}

int check(const Args &a)
{
    QHash<QString, int> handled;
    for (const QString &path : a.logs) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
            return 2;
        QTextStream in(&f);
        for (QString line; in.readLineInto(&line);)
            if (!line.isEmpty())
                ++handled[line];
    }
    int expected = 0, lost = 0, twice = 0;
    for (const auto &[kind, rectype] :
         {std::pair{u"auth"_s, u"AUTHREQ"_s}, std::pair{u"enol"_s, u"ENOL"_s}}) {
        for (const QString &id : sent(a, rectype)) {
            ++expected;
            const int n = handled.take(kind % u' ' % id);
            lost += n == 0;
            twice += n > 1;
        }
    }
    std::printf("soak: %d answers, %d lost, %d handled twice, %lld unknown\n", expected, lost,
                twice, qint64(handled.size()));
    return lost == 0 && twice == 0 && handled.isEmpty() ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const Args a = parse(app.arguments());
    transport::registerTransportClasses();
    Ui::install(std::make_shared<SoakUi>());
    try {
        if (a.command == u"fresh"_s)
            return fresh(a);
        if (a.command == u"seed"_s)
            return seed(a);
        if (a.command == u"work"_s)
            return work(a);
        if (a.command == u"check"_s)
            return check(a);
    } catch (const VbError &e) {
        std::fprintf(stderr, "orvane_soak: %s\n", qPrintable(e.description()));
        return 2;
    }
    std::fprintf(stderr, "usage: orvane_soak fresh|seed|work|check --db CONN ...\n");
    return 2;
}
