// A workstation killed at each step of saving a loss notice: the notice, its
// lines and its transaction row are stored together or not at all, and the
// notice sent before stays.
#include "loss/LossFixture.h"
#include "support/KillAt.h"

#include "qorOrvaneUI/loss/eNOLwaitfrm.h"

#include <QPushButton>

using orvane::loss::eNOLfrm;
using orvane::loss::eNOLwaitfrm;

using namespace losstest;
using orvane::test::diesAt;
using orvane::test::KillAt;

namespace {

struct Step {
    KillAt at;
    bool stored;
};

} // namespace

class NoticeCrash : public LossTest, public ::testing::WithParamInterface<Step> {
protected:
    void submit()
    {
        openForm(2, [this](eNOLfrm *view) {
            fillValid(view);
            on<eNOLwaitfrm>([](eNOLwaitfrm *wait) { wait->cmdCancel->click(); });
            view->cmdAction[0]->click();
        });
    }
};

// Writes: the notice, its two lines, the transaction row; then the commit.
TEST_P(NoticeCrash, TheNoticeIsStoredWholeOrNotAtAll)
{
    submit();
    ASSERT_EQ(trans(u"ENOL"_s).recordCount(), 1);
    EXPECT_TRUE(diesAt(GetParam().at, [this] { submit(); }));
    const int notices = GetParam().stored ? 2 : 1;
    EXPECT_EQ(count(ext::progid::g_enol), notices);
    EXPECT_EQ(count(ext::progid::g_enolline), 2 * notices);
    EXPECT_EQ(trans(u"ENOL"_s).recordCount(), notices);
}

INSTANTIATE_TEST_SUITE_P(KillPoints, NoticeCrash,
                         ::testing::Values(Step{{"write", 1}, false}, Step{{"write", 3}, false},
                                           Step{{"write", 4}, false}, Step{{"commit", 1}, false},
                                           Step{{"committed", 1}, true}));
