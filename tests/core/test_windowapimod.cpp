#include "qorOrvaneUI/core/WindowAPImod.h"
#include "support/ScriptedUi.h"

#include <QWidget>

#include <gtest/gtest.h>

using namespace orvane::WindowAPImod;

namespace {

const QSize Screen(1920, 1080);

} // namespace

TEST(WindowAPImod, CornerPlacementFollowsOwnerAndStaysOnScreen)
{
    const QSize form(400, 300);
    // Owner at the screen's corner: the form goes to 0, 0.
    EXPECT_EQ(OwnerCornerPosition(QRect(120, 80, 800, 600), form, Screen), QPoint(120, 80));
    // Owner partly off the right edge: pulled left until the right edges meet.
    EXPECT_EQ(OwnerCornerPosition(QRect(1700, 100, 800, 600), form, Screen), QPoint(1520, 100));
    // Right at the edge is not beyond it.
    EXPECT_EQ(OwnerCornerPosition(QRect(1520, 780, 800, 600), form, Screen), QPoint(1520, 780));
    // Owner low on the screen: pulled up until the bottom edges meet.
    EXPECT_EQ(OwnerCornerPosition(QRect(10, 1000, 800, 600), form, Screen), QPoint(10, 780));
    // Owner on a monitor left of the main one.
    EXPECT_EQ(OwnerCornerPosition(QRect(-1280, 200, 1280, 1024), form, Screen), QPoint(0, 200));
}

TEST(WindowAPImod, FormLargerThanScreenEndsAtTopLeft)
{
    EXPECT_EQ(OwnerCornerPosition(QRect(300, 200, 800, 600), QSize(600, 1200), Screen),
              QPoint(300, 0));
    EXPECT_EQ(CentredPosition(QRect(300, 200, 800, 600), QSize(600, 1200), Screen), QPoint(400, 0));
    EXPECT_EQ(CentredPosition(QRect(300, 200, 800, 600), QSize(2000, 1200), Screen), QPoint(0, 0));
}

TEST(WindowAPImod, CentringArithmetic)
{
    // 100 + 400 - 150 and 50 + 300 - 100.
    EXPECT_EQ(CentredPosition(QRect(100, 50, 800, 600), QSize(300, 200), Screen), QPoint(350, 250));
    // The owner's odd halves round to the even neighbour: 101 / 2 -> 50, 103 / 2 -> 52;
    // the form's odd halves drop their fraction: 301 / 2 -> 150, 201 / 2 -> 100.
    EXPECT_EQ(CentredPosition(QRect(100, 50, 101, 103), QSize(31, 21), Screen),
              QPoint(100 + 50 - 15, 50 + 52 - 10));
    // A form wider than its small owner: left of the owner but not off the screen.
    EXPECT_EQ(CentredPosition(QRect(100, 100, 200, 100), QSize(600, 400), Screen), QPoint(0, 0));
    EXPECT_EQ(CentredPosition(QRect(1800, 1000, 200, 100), QSize(600, 400), Screen),
              QPoint(1320, 680));
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
