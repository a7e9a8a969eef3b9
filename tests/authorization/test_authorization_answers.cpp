// Waiting for the network's answer, applying it to the order, the whole
// round trip through the network, and a workstation killed on the way.
#include "authorization/AuthorizationFixture.h"

#include "qorOrvaneUI/authorization/Authoriizewaitfrm.h"
#include "qorOrvaneUI/authorization/AuthorizationAnswer.h"
#include "qorOrvaneUI/authorization/AuthorizationShowfrm.h"
#include "qorOrvaneUI/authorization/AuthorizationWait.h"
#include "support/KillAt.h"
#include <qorOrvaneUI/authorization/Authorizationcls.h>
#include <qorOrvaneUI/external/IOptions.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/transport/NetworkSimulator.h>

#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

using orvane::authorization::Authoriizewaitfrm;
using orvane::authorization::Authorizationcls;
using orvane::authorization::AuthorizationShowfrm;

using namespace authtest;
using orvane::transport::G_ackncls;

namespace {

struct Answer {
    QString part;
    double price = 0, qty = 0;
    QString conf = {}, error = {};
    bool ack = false;
    int line = 1;
};

} // namespace

class AuthorizationAnswers : public AuthorizationTest {
protected:
    std::shared_ptr<G_ackncls> ackn(const QString &filter)
    {
        auto t = std::make_shared<G_ackncls>();
        t->setEnv(host_->env());
        t->Get_g_ACKN(filter);
        return t;
    }

    void addAnswers(const QString &session, const std::vector<Answer> &answers)
    {
        auto t = ackn(u"g_ackn.sessionid = '1' AND g_ackn.sessionid <> '1'"_s);
        Recordset rs = t->itemsrecordset();
        for (const Answer &a : answers) {
            rs.addNew();
            setFields(rs, {{u"sessionid"_s, session},
                           {u"Ack"_s, a.ack},
                           {u"linenumber"_s, a.line},
                           {u"part"_s, a.part},
                           {u"AuthPart"_s, a.ack ? QString() : a.part},
                           {u"accPrice"_s, a.price},
                           {u"accQty"_s, a.qty},
                           {u"ConfCode"_s, a.conf},
                           {u"ErrorCode"_s, a.error},
                           {u"ErrorText"_s, a.error.isEmpty() ? QString() : u"Part not found"_s}});
        }
        t->Update();
    }

    // The answer rows, those matching `extra` ("AND ..." of a filter) when given.
    int answerRows(const QString &extra = {})
    {
        return ackn(u"g_ackn.linenumber > 0"_s % extra)->itemsrecordset().recordCount();
    }

    // The order line with this maker's part number.
    static Recordset line(const std::shared_ptr<orvane::ext::IInvoice> &order, const QString &part)
    {
        Recordset rs = order->getlineitems()->itemsrecordset().clone();
        rs.find(u"mfr_part = "_s % authorization::quoted(part));
        EXPECT_FALSE(rs.eof()) << part.toStdString();
        return rs;
    }
};

// Ticks of the wait: the answer arrives on the given tick. Error answers are
// reported and end the wait; any other answer opens the results. Every row of
// the request is read afterwards. A wait never activated fails every poll:
// told once, and Cancel still comes.
TEST_F(AuthorizationAnswers, WaitTicksUntilAnAnswerOrCancel)
{
    struct Case {
        const char16_t *errorCode;
        int answerTick; // 0: never
        bool results;
        bool activated = true;
    };
    const Case cases[] = {{u"E7", 2, true},
                          {u"e104", 1, false},
                          {u"0", 4, true},
                          {nullptr, 0, false},
                          {nullptr, 0, false, false}};
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(n);
        const QString session = u"SESSION"_s % QString::number(++n);
        addAnswers(session, {{u"FW1"_s, 1, 1, {}, {}, true, 1}, {u"FW2"_s, 1, 1, {}, {}, true, 2}});
        ui_->clear();
        Authoriizewaitfrm wait;
        wait.setInvoice(host_->openOrder(1));
        wait.setSessionID(session);
        if (c.activated)
            wait.ActivateMe();
        int shownRows = -1;
        if (c.results)
            on<AuthorizationShowfrm>([&shownRows](AuthorizationShowfrm *results) {
                shownRows = results->answerModel()->rowCount();
                results->hide();
            });
        for (int tick = 1; tick <= 4; ++tick) {
            if (tick == c.answerTick)
                addAnswers(session,
                           {{u"FW1"_s, 1, 1, u"AC1"_s, QString::fromUtf16(c.errorCode), false, 1}});
            if (!wait.answered())
                wait.tmrAuthResponse_Timer();
            EXPECT_EQ(wait.cmdCancel->isVisibleTo(&wait), tick == 4 && c.answerTick == 0) << tick;
        }
        EXPECT_EQ(wait.lblWarning->isVisibleTo(&wait), c.answerTick == 0);
        EXPECT_EQ(shownRows, c.results ? 3 : -1);
        EXPECT_EQ(answerRows(u" AND g_ackn.sessionid = '"_s % session % u"' AND ACK = .F."_s), 0);
        if (c.answerTick != 0 && !c.results) {
            EXPECT_EQ(boxTexts(),
                      QStringList{u"The Orvane Transmission Received an error\r\n\r\nError Code "
                                  u": e104\r\nError Desc : Part not found\r\n\r\nYou may want "
                                  u"to try your authorization again later"_s});
        }
        if (c.answerTick == 0) {
            EXPECT_EQ(ui_->boxes().size(), c.activated ? 0u : 1u);
            wait.cmdCancel->click();
            EXPECT_FALSE(wait.tmrAuthResponse->isActive());
        }
    }
}

TEST_F(AuthorizationAnswers, OkWritesAcceptedAnswersIntoTheOrder)
{
    std::shared_ptr<orvane::ext::IInvoice> order = host_->openOrder(1);
    Recordset lines = order->getlineitems()->itemsrecordset();
    lines.addNew();
    setFields(lines, {{u"mfr_part"_s, u"O'RING"_s}, {u"net"_s, 5.0}, {u"quantity"_s, 1}});
    const Recordset record = std::dynamic_pointer_cast<orvane::host::HostInvoice>(order)->record();
    const double totalBefore = record.value(u"total"_s).toDouble();
    addAnswers(u"R1"_s, {{u"FW04521GTYN"_s, 300, 0, u"AC1"_s, u"0"_s},
                         {u"LABOR WS"_s, 110, 2, QString(), QString()},
                         {u"KIT URE"_s, 0, 0, u"AC3"_s, u"0"_s},
                         {u"NOPE"_s, 1, 1, u"AC4"_s, u"0"_s},
                         {u"O'RING"_s, 6, 0, u"AC5"_s, u"0"_s},
                         {u"MLD4521"_s, 1, 0, u"AC6"_s, u"e104"_s},
                         {u"MLD4521"_s, 2, 0, u"AC7"_s, u"0"_s}});
    on<AuthorizationShowfrm>([](AuthorizationShowfrm *view) {
        EXPECT_EQ(view->blnAccept(), std::vector<bool>(7, true));
        view->grdAuthorize_Click(1, 0);
        view->grdAuthorize_Click(1, 0);
        view->grdAuthorize_Click(6, 0);
        view->grdAuthorize_Click(2, 3); // not the "A" column
        EXPECT_EQ(view->blnAccept(),
                  (std::vector<bool>{true, true, true, true, true, true, false}));
        view->cmdAction->click();
        EXPECT_FALSE(view->isVisible());
    });
    Authorizationcls().ShowAuth(order, ackn(u"g_ackn.sessionid = 'R1'"_s));

    // Each line's net|kit|labor|quantity|conf.
    const std::pair<QString, QString> expected[] = {{u"FW04521GTYN"_s, u"300|0|0|1|AC1"_s},
                                                    {u"MLD4521"_s, u"38.5|0|0|1|"_s},
                                                    {u"KIT URE"_s, u"0|24|0|1|AC3"_s},
                                                    {u"LABOR WS"_s, u"0|0|110|2|"_s},
                                                    {u"O'RING"_s, u"6|||1|AC5"_s}};
    for (const auto &[part, fields] : expected)
        EXPECT_EQ(fieldsOf(line(order, part), u"net|kit|labor|quantity|conf"_s), fields);
    EXPECT_NE(record.value(u"total"_s).toDouble(), totalBefore);
}

// Lines the network did not answer are never taken; a line declined once
// stays declined when the answer is shown again.
TEST_F(AuthorizationAnswers, UnansweredAndDeclinedLinesNeverReachTheOrder)
{
    addAnswers(u"R3"_s, {{u"FW04521GTYN"_s, 300, 0, u"AC1"_s, u"0"_s},
                         {u"KIT URE"_s, 0, 0, u"AC3"_s, u"0"_s},
                         {u"MLD4521"_s, 0, 0, {}, {}, true}});
    struct Showing {
        std::vector<bool> flags;
        const char16_t *status1, *status2;
        Qt::Key key; // pressed in the grid after the second line was made current
        const char16_t *fwConf, *kitConf;
    };
    const Showing showings[] = {
        {{true, true, false}, u"", u"Not answered", Qt::Key_Space, u"AC1", u""},
        {{true, false, false}, u"Declined", u"Not answered", Qt::Key_Escape, u"", u""},
    };
    for (const Showing &sh : showings) {
        std::shared_ptr<orvane::ext::IInvoice> order = host_->openOrder(1);
        const QString mouldingConf = authorization::textOf(line(order, u"MLD4521"_s), u"conf"_s);
        on<AuthorizationShowfrm>([&sh](AuthorizationShowfrm *view) {
            EXPECT_EQ(view->blnAccept(), sh.flags);
            orvane::RecordsetModel *m = view->answerModel();
            EXPECT_EQ(m->index(1, 10).data().toString(), QString::fromUtf16(sh.status1));
            EXPECT_EQ(m->index(2, 10).data().toString(), QString::fromUtf16(sh.status2));
            view->toggleAccept(2); // nothing to take
            EXPECT_FALSE(view->blnAccept()[2]);
            view->grdAuthorize->setCurrentIndex(m->index(1, 1));
            QTest::keyClick(view->grdAuthorize, sh.key);
            if (sh.key == Qt::Key_Space)
                view->cmdAction->click();
            EXPECT_FALSE(view->isVisible());
        });
        Authorizationcls().ShowAuth(order, ackn(u"g_ackn.sessionid = 'R3'"_s));
        QStringList confs;
        for (const QString &part : {u"FW04521GTYN"_s, u"KIT URE"_s, u"MLD4521"_s})
            confs << authorization::textOf(line(order, part), u"conf"_s);
        EXPECT_EQ(confs, (QStringList{QString::fromUtf16(sh.fwConf), QString::fromUtf16(sh.kitConf),
                                      mouldingConf}));
        EXPECT_EQ(boxTexts(), QStringList());
    }
}

namespace {

// An answer table that cannot save: the answer can never be claimed.
class UnsavableAckn : public G_ackncls {
public:
    void Update() override { throw orvane::VbError(3704, u"g_ackn"_s, u"Database locked"_s); }
};

} // namespace

// An answer that cannot be claimed is not shown, and the wait goes on and
// can be left.
TEST_F(AuthorizationAnswers, AnAnswerThatCannotBeClaimedKeepsTheWaitCancellable)
{
    addAnswers(u"U1"_s, {{u"FW1"_s, 1, 1, u"AC1"_s, u"0"_s}});
    orvane::ObjectRegistry::instance().registerClass(
        QString::fromUtf16(orvane::ext::progid::g_ackn),
        [] { return std::make_shared<UnsavableAckn>(); });
    Authoriizewaitfrm wait;
    wait.setInvoice(host_->openOrder(1));
    wait.setSessionID(u"U1"_s);
    wait.ActivateMe();
    orvane::transport::registerTransportClasses();
    for (int tick = 1; tick <= 4; ++tick)
        wait.tmrAuthResponse_Timer();
    EXPECT_TRUE(wait.cmdCancel->isVisibleTo(&wait));
    EXPECT_EQ(ui_->boxes().size(), 1u);
    EXPECT_EQ(ui_->dialogsShown(), std::vector<QString>{});
}

// One answer the order cannot take leaves every line as it was.
TEST_F(AuthorizationAnswers, OkWritesAllAnswersOrNone)
{
    std::shared_ptr<orvane::ext::IInvoice> order = host_->openOrder(1);
    addAnswers(u"R2"_s, {{u"FW04521GTYN"_s, 300, 0, u"AC1"_s, u"0"_s},
                         {u"MLD4521"_s, 0, 1e12, u"AC2"_s, u"0"_s}});
    on<AuthorizationShowfrm>([](AuthorizationShowfrm *view) {
        view->cmdAction->click();
        EXPECT_TRUE(view->isVisible());
    });
    Authorizationcls().ShowAuth(order, ackn(u"g_ackn.sessionid = 'R2'"_s));
    EXPECT_DOUBLE_EQ(line(order, u"FW04521GTYN"_s).value(u"net"_s).toDouble(), 312.4);
    EXPECT_TRUE(ui_->boxes().at(0).text.contains(u"AuthorizationShowfrm.cmdAction_Click"_s));
}

TEST_F(AuthorizationAnswers, CancelSendsNothingAndOpensNoWait)
{
    on<Authorizationfrm>([](Authorizationfrm *view) {
        view->authModel()->setData(view->authModel()->index(0, Authorizationfrm::colAuthorize),
                                   Qt::Checked, Qt::CheckStateRole);
        view->cmdCancel->click();
    });
    orvane::XmlDocument dispatch;
    EXPECT_FALSE(Authorizationcls().PartAuthorization(host_->openOrder(1), dispatch));
    EXPECT_EQ(ui_->dialogsShown(), std::vector<QString>{u"Authorizationfrm"_s});
    EXPECT_EQ(ackn(QString())->itemsrecordset().recordCount(), 0);
}

// A workstation killed at each step of sending a request and of taking its
// answer: the database holds the whole step or none of it, and what was
// stored before stays.
namespace {

struct Step {
    orvane::test::KillAt at;
    bool stored; // the whole step is in the database afterwards
};

} // namespace

class AuthorizationCrash : public AuthorizationAnswers, public ::testing::WithParamInterface<Step> {
protected:
    // Sends the moulding and the kit of order 1: two answer rows, one request.
    QString send()
    {
        auto request = requestFor(host_->openOrder(1));
        edit(*request, 1, u"Authorize=True"_s);
        edit(*request, 2,
             u"Authorize=True|RequestDescription=Urethane kit|RequestExplanation=Long body"_s);
        EXPECT_TRUE(request->SendAuth());
        return request->session();
    }

    int requests()
    {
        orvane::transport::Clsg_trans t;
        t.setEnv(host_->env());
        t.get_g_trans(u"rectype = 'AUTHREQ'"_s);
        return t.itemsrecordset().recordCount();
    }
};

class SendCrash : public AuthorizationCrash {};
class ApplyCrash : public AuthorizationCrash {};

// Rows of the request: one per line (two), then the transaction row.
TEST_P(SendCrash, TheRequestIsStoredWholeOrNotAtAll)
{
    const QString earlier = send();
    // Stored, then the service is told.
    const auto env = host_->env();
    EXPECT_EQ(env->Options()->readinistring(u"Orvane"_s, u"SendTrans"_s,
                                            env->data_path() % u"Orvane.ini"_s),
              u"1"_s);
    EXPECT_TRUE(orvane::test::diesAt(GetParam().at, [&] { send(); }));
    const int extra = GetParam().stored ? 1 : 0;
    EXPECT_EQ(requests(), 1 + extra);
    EXPECT_EQ(answerRows(), 2 + 2 * extra);
    // The earlier request's rows stay, and name their order.
    EXPECT_EQ(answerRows(u" AND g_ackn.daskid = 1 AND g_ackn.sessionid = '"_s % earlier % u"'"_s),
              2);
}

INSTANTIATE_TEST_SUITE_P(KillPoints, SendCrash,
                         ::testing::Values(Step{{"write", 1}, false}, Step{{"write", 3}, false},
                                           Step{{"commit", 1}, false},
                                           Step{{"committed", 1}, true}));

// Taking the answer marks both rows read in one save, then the order takes it
// in memory, to be stored by the host's own save of the order. The answer rows
// stay in g_ackn, where ShowAuth shows them again for an order never saved.
TEST_P(ApplyCrash, TheAnswerIsTakenWholeOrLeftUnread)
{
    const QString session = send();
    orvane::transport::NetworkSimulator(host_->env()).runOnce();
    EXPECT_TRUE(orvane::test::diesAt(GetParam().at, [&] {
        auto order = host_->openOrder(1);
        orvane::authorization::AuthorizationWait wait;
        wait.setInvoice(order);
        wait.setSessionID(session);
        wait.activate();
        if (wait.tick() == orvane::authorization::AuthorizationWait::Outcome::Answer) {
            orvane::authorization::AuthorizationAnswer answer;
            answer.setAckObject(wait.ackn());
            answer.setInvoice(order);
            answer.load();
            orvane::Proc p(u"apply"_s);
            answer.apply(p);
        }
    }));
    EXPECT_EQ(answerRows(u" AND ACK = .F."_s), GetParam().stored ? 0 : 2);
    EXPECT_EQ(answerRows(), 2);
}

INSTANTIATE_TEST_SUITE_P(KillPoints, ApplyCrash,
                         ::testing::Values(Step{{"write", 1}, false}, Step{{"commit", 1}, false},
                                           Step{{"committed", 1}, true}));
