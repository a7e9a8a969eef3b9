#include "qorOrvaneUI/core/WindowAPImod.h"
#include <qorOrvaneUI/widgets/ScriptedUi.h>

#include <QWidget>

#include <gtest/gtest.h>

using namespace orvane::WindowAPImod;

namespace {

const QSize Screen(1920, 1080);

} // namespace

// Owner rectangle, form size, and where each placement puts the form on a 1920 x 1080 screen.
TEST(WindowAPImod, PlacementFollowsTheOwnerAndStaysOnScreen)
{
    const struct {
        QRect owner;
        QSize form;
        QPoint corner, centred;
    } cases[] = {
        // Pulled left until the right edges meet; right at the edge is not beyond it.
        {{120, 80, 800, 600}, {400, 300}, {120, 80}, {320, 230}},
        {{1700, 100, 800, 600}, {400, 300}, {1520, 100}, {1520, 250}},
        {{1520, 780, 800, 600}, {400, 300}, {1520, 780}, {1520, 780}},
        // Low on the screen: pulled up until the bottom edges meet.
        {{10, 1000, 800, 600}, {400, 300}, {10, 780}, {210, 780}},
        // On a monitor left of the main one.
        {{-1280, 200, 1280, 1024}, {400, 300}, {0, 200}, {0, 562}},
        // Larger than the screen: ends at the top left.
        {{300, 200, 800, 600}, {600, 1200}, {300, 0}, {400, 0}},
        {{300, 200, 800, 600}, {2000, 1200}, {0, 0}, {0, 0}},
        // Odd owner halves round to the even neighbour (101 / 2 -> 50, 103 / 2 -> 52),
        // odd form halves drop their fraction.
        {{100, 50, 101, 103}, {31, 21}, {100, 50}, {100 + 50 - 15, 50 + 52 - 10}},
        // Wider than its small owner: left of the owner but not off the screen.
        {{100, 100, 200, 100}, {600, 400}, {100, 100}, {0, 0}},
        {{1800, 1000, 200, 100}, {600, 400}, {1320, 680}, {1320, 680}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.owner.x());
        EXPECT_EQ(OwnerCornerPosition(c.owner, c.form, Screen), c.corner);
        EXPECT_EQ(CentredPosition(c.owner, c.form, Screen), c.centred);
    }
}

TEST(WindowAPImod, MovesTheFormOverTheOwnerWindow)
{
    orvane::test::ScopedScriptedUi ui;
    ui->setScreenSize(QSize(1280, 1024));
    ui->setWindowRect(42, QRect(200, 100, 640, 480));

    QWidget form;
    form.resize(320, 240);

    PlaceAtOwnerCorner(42, &form);
    EXPECT_EQ(form.frameGeometry().topLeft(), QPoint(200, 100));

    CentreOverOwner(42, &form);
    EXPECT_EQ(form.frameGeometry().topLeft(), QPoint(200 + 320 - 160, 100 + 240 - 120));

    // An unknown handle reads as a zero rectangle: the form goes to the top-left area.
    PlaceAtOwnerCorner(0, &form);
    EXPECT_EQ(form.frameGeometry().topLeft(), QPoint(0, 0));

    // No form, nothing to do.
    PlaceAtOwnerCorner(42, nullptr);
    CentreOverOwner(42, nullptr);
}
