#pragma once

#include <qorOrvaneUI/external/IOrderCar.h>
#include <qorOrvaneUI/external/IVehicle.h>
#include <qorOrvaneUI/runtime/Recordset.h>

namespace orvane::host {

// A glass-catalogue vehicle: what the library fills from the order before
// choosing and what the chooser hands back. A plain value holder.
class HostVehicle : public ext::IVehicle {
public:
    Value Year() const override { return year_; }
    void setYear(const Value &year) override { year_ = year; }
    Value make() const override { return make_; }
    void setmake(const Value &make) override { make_ = make; }
    Value model() const override { return model_; }
    void setmodel(const Value &model) override { model_ = model; }
    Value body() const override { return body_; }
    void setbody(const Value &body) override { body_ = body; }
    Value car_id() const override { return carId_; }
    void setcar_id(const Value &carId) override { carId_ = carId; }
    // The catalogue's VIN prefix of the vehicle (empty when not from the catalogue).
    QString vinPrefix() const { return vinPrefix_; }
    void setVinPrefix(const QString &prefix) { vinPrefix_ = prefix; }

    // A vehicle from the current row of a catalogue record set (car_id, year,
    // make, model, body, vin_prefix).
    static std::shared_ptr<HostVehicle> fromCatalogueRow(const Recordset &row);

private:
    Value year_, make_, model_, body_, carId_;
    QString vinPrefix_;
};

// The order's vehicle, read live from the order's row, so it always shows
// what the order holds now.
class HostOrderCar : public ext::IOrderCar {
public:
    // `order` is a handle positioned on the order's row.
    explicit HostOrderCar(const Recordset &order);
    Value Year() const override { return read(u"year"); }
    Value make() const override { return read(u"make"); }
    Value model() const override { return read(u"model"); }
    Value body() const override { return read(u"body"); }
    Value carid() const override { return read(u"carid"); }
    Value vin() const override { return read(u"vin"); }

private:
    Value read(const char16_t *field) const;
    Recordset row_;
    Value bookmark_;
};

} // namespace orvane::host
