#pragma once

#include <QIcon>

namespace orvane::ui {

// The library's icon resource by its number (164 the window icon of the
// e-schedule view, 101 its OK button, ...); a number without an icon gives a
// null icon, which a window or button simply does not show.
QIcon libraryIcon(int id);

} // namespace orvane::ui
