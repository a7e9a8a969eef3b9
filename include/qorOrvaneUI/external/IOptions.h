#pragma once

#include <qorOrvaneUI/runtime/ObjectRegistry.h>

#include <QString>

#include <memory>

namespace orvane::ext {

class IDataCommand;

// The host's settings and database access (Env.Options).
class IOptions : public ComObject {
public:
    // Text of `key` in `section` of the settings file `file`; empty text when
    // the file, section or key is missing.
    virtual QString readinistring(const QString &section, const QString &key,
                                  const QString &file) const = 0;
    // Writes the setting, creating file and section as needed; raises a VbError
    // when the file cannot be written (the library never treats that as done).
    virtual void writeinistring(const QString &section, const QString &key, const QString &value,
                                const QString &file) = 0;
    // Path of the host's own settings file (holds "Defaults"/"ReportPath").
    virtual QString dask_ini() const = 0;
    // The shop database's data-command object; never null.
    virtual std::shared_ptr<IDataCommand> dcobject() const = 0;
};

} // namespace orvane::ext
