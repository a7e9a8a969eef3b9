#pragma once

#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/Value.h>

namespace orvane::ext {

// A glass-catalogue vehicle (Env.SafeCreatenagsObj(1)): filled from the order
// before choosing, and what the chooser hands back.
class IVehicle : public ComObject {
public:
    virtual Value Year() const = 0;
    virtual void setYear(const Value &year) = 0;
    virtual Value make() const = 0;
    virtual void setmake(const Value &make) = 0;
    virtual Value model() const = 0;
    virtual void setmodel(const Value &model) = 0;
    virtual Value body() const = 0;
    virtual void setbody(const Value &body) = 0;
    // Catalogue id as text; the library stores its part from the third
    // character on as the coverage row's VehicleID.
    virtual Value car_id() const = 0;
    virtual void setcar_id(const Value &carId) = 0;
};

} // namespace orvane::ext
