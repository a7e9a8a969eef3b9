#pragma once

#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/Value.h>

#include <QString>

#include <memory>

namespace orvane::ext {

class IErrorClass;
class IOptions;
class IUser;

// The host's environment object (Env, or objEnv where a public method takes it).
class IEnvironment : public ComObject {
public:
    // The error reporter every view reports through; never null.
    virtual std::shared_ptr<IErrorClass> ErrorClass() const = 0;
    // Settings and database access; never null.
    virtual std::shared_ptr<IOptions> Options() const = 0;
    // Connection text for the database in `folder` (data_path: shop data,
    // nags_path: glass catalogue); callers pass 0 as `mode`.
    virtual QString GetConnectString(const QString &folder, int mode) const = 0;
    // Folders ending so that a file name can be appended directly ("Orvane.ini").
    virtual QString data_path() const = 0;
    virtual QString nags_path() const = 0;
    // The current location number, stored as it is with outgoing rows (daskloc).
    virtual Value Location() const = 0;
    // Handed to the data-command object by the queries that need it.
    virtual QString SecurityToken() const = 0;
    // The signed-in user; never null.
    virtual std::shared_ptr<IUser> currentuser() const = 0;

    // The host's own creators, by kind number (objkind in ProgIds.h): 15 an
    // IOrderList, 11 an IShop; SafeCreatenagsObj(1) an IVehicle,
    // SafeCreateUIObj(16) an IVehicleChooser. A new object per call; nullptr
    // when the host cannot make it. Callers cast with objectAs (ObjectCast.h).
    virtual std::shared_ptr<ComObject> safecreateobj(int kind) = 0;
    virtual std::shared_ptr<ComObject> SafeCreatenagsObj(int kind) = 0;
    virtual std::shared_ptr<ComObject> SafeCreateUIObj(int kind) = 0;
};

} // namespace orvane::ext
