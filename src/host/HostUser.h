#pragma once

#include <qorOrvaneUI/external/IUser.h>

#include <QString>

namespace orvane::host {

// The signed-in user of the shop.
class HostUser : public orvane::ext::IUser {
public:
    HostUser(QString first, QString last);

    // "First" and "Last" (any letter case); empty text for every other field.
    QString Item(const QString &name) const override;

    // "First Last", for logs and titles.
    QString fullName() const;

private:
    QString first_;
    QString last_;
};

} // namespace orvane::host
