#pragma once

#include <qorOrvaneUI/runtime/ObjectRegistry.h>

#include <QString>

namespace orvane::ext {

// The signed-in user (Env.currentuser).
class IUser : public ComObject {
public:
    // A field of the user's record by name ("First", "Last"); empty text when
    // the field is empty or unknown.
    virtual QString Item(const QString &name) const = 0;
};

} // namespace orvane::ext
