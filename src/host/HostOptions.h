#pragma once

#include <qorOrvaneUI/external/IOptions.h>

#include <QString>

#include <functional>
#include <memory>

namespace orvane::ext {
class IDataCommand;
}

namespace orvane::host {

// Env.Options: settings files in the profile format and the shop database's
// data-command object.
class HostOptions : public orvane::ext::IOptions {
public:
    using DataCommandMaker = std::function<std::shared_ptr<orvane::ext::IDataCommand>()>;

    HostOptions(QString daskIni, DataCommandMaker makeDataCommand);

    // Reads through IniFile: never throws, empty text for anything missing.
    QString readinistring(const QString &section, const QString &key,
                          const QString &file) const override;
    // Writes through IniFile; raises its VbError when the file cannot be written.
    void writeinistring(const QString &section, const QString &key, const QString &value,
                        const QString &file) override;
    QString dask_ini() const override;
    // One object for the life of the options, as a shop application shares its
    // data command: whatever the library points it at, the host's next query sees.
    // Raises 91 when the host was set up without a data-command maker or the
    // maker gives nothing, rather than hand the library a null object.
    std::shared_ptr<orvane::ext::IDataCommand> dcobject() const override;

private:
    QString daskIni_;
    DataCommandMaker makeDataCommand_;
    mutable std::shared_ptr<orvane::ext::IDataCommand> command_;
};

} // namespace orvane::host
