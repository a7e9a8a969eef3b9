#pragma once

#include <qorOrvaneUI/external/ITableObject.h>

#include <QString>

namespace orvane::ext {

// Insurance-company IDs (qorOrvaneOut.g_inscoidcls): INScoid, Company, Address,
// City, State, Zip, PhoneArea, Phone, FaxArea, FaxPhone.
class IInscoIdList : public ITableObject {
public:
    // Loads the rows matching `filter` (on destpid and origpid).
    virtual void get_g_inscoid(const QString &filter) = 0;
    // The participant and network IDs the list was loaded for, as typed
    // (trimmed, not quoted); rows the user adds belong to them.
    virtual QString PID() const = 0;
    virtual void setPID(const QString &pid) = 0;
    virtual QString oid() const = 0;
    virtual void setoid(const QString &oid) = 0;
};

} // namespace orvane::ext
