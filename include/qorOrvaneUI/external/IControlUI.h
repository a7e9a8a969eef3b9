#pragma once

#include <qorOrvaneUI/runtime/ObjectRegistry.h>

#include <QString>

class QWidget;

namespace orvane::ext {

// The host's layout service (ControlUI.ControlUIcls): keeps the size and grid
// layout of each view and grid the library registers. Created anew for each
// registration; the library ignores its failures, so a host without one works.
class IControlUI : public ComObject {
public:
    // Registers a view (key: its name) or a grid (key: view name "." grid name
    // "." one more grid property, or a key starting with the grid's tag). The
    // host may keep the pointer only until the matching Terminate.
    virtual void Initialize(QWidget *control, const QString &key) = 0;
    // Unregisters it, as the view unloads.
    virtual void Terminate(QWidget *control, const QString &key) = 0;
};

} // namespace orvane::ext
