#pragma once

#include <qorOrvaneUI/widgets/Ui.h>

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Placement of the library's forms over the host's window. Positions are in
// screen pixels; the screen's origin is its top-left corner.
namespace orvane::WindowAPImod {

// Where a form of this size goes with its top-left corner on the owner's
// top-left corner, kept on the screen.
QPoint OwnerCornerPosition(const QRect &owner, const QSize &form, const QSize &screen);

// Where a form of this size goes centred over the owner, kept on the screen.
QPoint CentredPosition(const QRect &owner, const QSize &form, const QSize &screen);

// Pulls a form back inside the screen: bottom edge, right edge, then top and
// left, so a form larger than the screen ends at the screen's top-left corner.
QPoint KeepOnScreen(QPoint position, const QSize &form, const QSize &screen);

// Moves the form's frame to the owner's top-left corner (kept on screen). An
// unknown owner counts as a zero rectangle at the screen's origin.
void PlaceAtOwnerCorner(orvane::WindowHandle owner, QWidget *form);

// Moves the form's frame so it is centred over the owner (kept on screen).
void CentreOverOwner(orvane::WindowHandle owner, QWidget *form);

} // namespace orvane::WindowAPImod
