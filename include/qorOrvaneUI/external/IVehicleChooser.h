#pragma once

#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/WindowHandle.h>

#include <QString>

#include <memory>

namespace orvane::ext {

class IVehicle;

// The host's vehicle chooser (Env.SafeCreateUIObj(16)).
class IVehicleChooser : public ComObject {
public:
    // Set to the order's VIN before choosing; after a choice, the chosen vehicle's VIN.
    virtual QString VIN() const = 0;
    virtual void setVIN(const QString &vin) = 0;
    // Lets the user pick a vehicle in a modal window over `owner`, starting from
    // `car` at the step `startAt` (the library passes "YEAR"). The chosen
    // vehicle, or nullptr when the user cancelled.
    virtual std::shared_ptr<IVehicle> choosecar(WindowHandle owner, std::shared_ptr<IVehicle> car,
                                                const QString &startAt) = 0;
};

} // namespace orvane::ext
