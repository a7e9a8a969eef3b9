#include "host/HostVehicle.h"

namespace orvane::host {

std::shared_ptr<HostVehicle> HostVehicle::fromCatalogueRow(const Recordset &row)
{
    auto v = std::make_shared<HostVehicle>();
    v->setcar_id(row.value(QStringLiteral("car_id")));
    v->setYear(row.value(QStringLiteral("year")));
    v->setmake(row.value(QStringLiteral("make")));
    v->setmodel(row.value(QStringLiteral("model")));
    v->setbody(row.value(QStringLiteral("body")));
    v->setVinPrefix(row.value(QStringLiteral("vin_prefix")).toText());
    return v;
}

HostOrderCar::HostOrderCar(const Recordset &order) : row_(order.clone())
{
    // Own cursor: the library may move its handle on the order's record set.
    bookmark_ = order.bookmark();
}

Value HostOrderCar::read(const char16_t *field) const
{
    Recordset cursor = row_;
    cursor.setBookmark(bookmark_);
    return cursor.value(QString::fromUtf16(field));
}

} // namespace orvane::host
