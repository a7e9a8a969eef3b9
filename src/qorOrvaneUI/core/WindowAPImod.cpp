#include "qorOrvaneUI/core/WindowAPImod.h"

#include <QWidget>

namespace orvane::WindowAPImod {

namespace {

// Half of a length, rounded as the runtime rounds to a whole number: halves go
// to the even neighbour (101 / 2 = 50, 103 / 2 = 52). Lengths are never negative.
int roundedHalf(int length)
{
    const int half = length / 2;
    if (length % 2 == 0 || half % 2 == 0)
        return half;
    return half + 1;
}

// A window the desktop does not know reads as an all-zero rectangle, which
// sends the form to the screen's top-left area rather than somewhere odd.
QRect ownerRect(orvane::WindowHandle owner)
{
    const QRect rect = orvane::Ui::instance().windowRect(owner);
    return rect.isValid() ? rect : QRect(0, 0, 0, 0);
}

QSize frameSize(const QWidget *form)
{
    return form->frameGeometry().size();
}

} // namespace

QPoint KeepOnScreen(QPoint position, const QSize &form, const QSize &screen)
{
    if (position.y() + form.height() > screen.height())
        position.setY(screen.height() - form.height());
    if (position.x() + form.width() > screen.width())
        position.setX(screen.width() - form.width());
    if (position.y() < 0)
        position.setY(0);
    if (position.x() < 0)
        position.setX(0);
    return position;
}

QPoint OwnerCornerPosition(const QRect &owner, const QSize &form, const QSize &screen)
{
    return KeepOnScreen(owner.topLeft(), form, screen);
}

QPoint CentredPosition(const QRect &owner, const QSize &form, const QSize &screen)
{
    const int left = owner.x() + roundedHalf(owner.width()) - form.width() / 2;
    const int top = owner.y() + roundedHalf(owner.height()) - form.height() / 2;
    return KeepOnScreen(QPoint(left, top), form, screen);
}

void PlaceAtOwnerCorner(orvane::WindowHandle owner, QWidget *form)
{
    if (form == nullptr)
        return;
    const QSize screen = orvane::Ui::instance().screenSize();
    form->move(OwnerCornerPosition(ownerRect(owner), frameSize(form), screen));
}

void CentreOverOwner(orvane::WindowHandle owner, QWidget *form)
{
    if (form == nullptr)
        return;
    const QSize screen = orvane::Ui::instance().screenSize();
    form->move(CentredPosition(ownerRect(owner), frameSize(form), screen));
}

} // namespace orvane::WindowAPImod
