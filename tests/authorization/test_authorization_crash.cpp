// A workstation killed at each step of sending a request and of taking its
// answer: the database holds the whole step or none of it, and what was
// stored before stays.
#include "authorization/AuthorizationFixture.h"
#include "support/KillAt.h"

#include "qorOrvaneUI/authorization/AuthorizationAnswer.h"
#include "qorOrvaneUI/authorization/AuthorizationWait.h"
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/transport/NetworkSimulator.h>

using namespace authtest;
using orvane::test::diesAt;
using orvane::test::KillAt;

namespace {

struct Step {
    KillAt at;
    bool stored; // the whole step is in the database afterwards
};

} // namespace

class AuthorizationCrash : public AuthorizationTest, public ::testing::WithParamInterface<Step> {
protected:
    // Sends the moulding and the kit of order 1: two answer rows, one request.
    QString send()
    {
        auto request = requestFor(host_->openOrder(1));
        edit(*request, 1, {{u"Authorize"_s, true}});
        edit(*request, 2,
             {{u"Authorize"_s, true},
              {u"RequestDescription"_s, u"Urethane kit"_s},
              {u"RequestExplanation"_s, u"Long body"_s}});
        request->SendAuth();
        return request->session();
    }

    int count(const char16_t *progId, const QString &filter)
    {
        auto t = orvane::CreateObject<orvane::ext::ITableObject>(QString::fromUtf16(progId));
        t->setEnv(host_->env());
        if (auto ackn = std::dynamic_pointer_cast<orvane::ext::Ig_ackn>(t))
            ackn->Get_g_ACKN(filter);
        else
            std::dynamic_pointer_cast<orvane::ext::Ig_trans>(t)->get_g_trans(filter);
        return t->itemsrecordset().recordCount();
    }
    int answerRows(const QString &extra = {})
    {
        return count(orvane::ext::progid::g_ackn, u"g_ackn.linenumber > 0"_s % extra);
    }
    int requests() { return count(orvane::ext::progid::g_trans, u"rectype = 'AUTHREQ'"_s); }
};

class SendCrash : public AuthorizationCrash {};
class ApplyCrash : public AuthorizationCrash {};

// Rows of the request: one per line (two), then the transaction row.
TEST_P(SendCrash, TheRequestIsStoredWholeOrNotAtAll)
{
    const QString earlier = send();
    ASSERT_FALSE(earlier.isEmpty());
    EXPECT_TRUE(diesAt(GetParam().at, [&] { send(); }));
    const int extra = GetParam().stored ? 1 : 0;
    EXPECT_EQ(requests(), 1 + extra);
    EXPECT_EQ(answerRows(), 2 + 2 * extra);
    EXPECT_EQ(answerRows(u" AND g_ackn.sessionid = '"_s % earlier % u"'"_s), 2);
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
    ASSERT_EQ(answerRows(u" AND ACK = .F."_s), 2);
    EXPECT_TRUE(diesAt(GetParam().at, [&] {
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
