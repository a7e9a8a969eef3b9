#pragma once

#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/Value.h>

namespace orvane::ext {

// The vehicle of an order (the invoice's Item("car")); read only.
class IOrderCar : public ComObject {
public:
    virtual Value Year() const = 0;
    virtual Value make() const = 0;
    virtual Value model() const = 0;
    virtual Value body() const = 0;
    virtual Value carid() const = 0; // catalogue id, as the chooser's car_id
    virtual Value vin() const = 0;
};

} // namespace orvane::ext
