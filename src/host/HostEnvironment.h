#pragma once

#include <qorOrvaneUI/external/IEnvironment.h>
#include <qorOrvaneUI/runtime/Value.h>

#include <QString>

#include <functional>
#include <memory>

namespace orvane::ext {
class IDataCommand;
}

namespace orvane::host {

class HostErrorClass;
class HostOptions;
class HostUser;

// Everything a HostEnvironment is made of; the reference host fills it in.
struct EnvironmentConfig {
    QString dataPath; // ends with '/', the shop's data folder (Orvane.ini, logs, shop.sqlite)
    QString nagsPath; // ends with '/', the glass catalogue folder
    orvane::Value location = 1;
    QString securityToken;
    QString userFirst, userLast;
    QString daskIni; // full path of the host's own settings file (Options.dask_ini)
    // The host's name: the title of the error boxes.
    QString hostName = QStringLiteral("Orvane Demo Shop");
    // Makers of the objects the library asks the environment for; nullptr-returning when unknown.
    std::function<std::shared_ptr<orvane::ComObject>(int kind)> safecreateobj, nagsCreate, uiCreate;
    // The data-command object that Options.dcobject hands out.
    std::function<std::shared_ptr<orvane::ext::IDataCommand>()> makeDataCommand;
    // Connection text for a folder (GetConnectString).
    std::function<QString(const QString &folder, int mode)> connectString;
};

// Env: the shop's environment as the library sees it. The error class,
// options and user are made once and live as long as the environment.
class HostEnvironment : public orvane::ext::IEnvironment {
public:
    // Folders given without a final separator get one, so that a file name
    // can always be appended.
    explicit HostEnvironment(EnvironmentConfig config);
    ~HostEnvironment() override;

    std::shared_ptr<orvane::ext::IErrorClass> ErrorClass() const override;
    std::shared_ptr<orvane::ext::IOptions> Options() const override;
    // The config's connectString; empty text when none was given.
    QString GetConnectString(const QString &folder, int mode) const override;
    QString data_path() const override;
    QString nags_path() const override;
    orvane::Value Location() const override;
    QString SecurityToken() const override;
    std::shared_ptr<orvane::ext::IUser> currentuser() const override;

    // The config's makers. A maker that fails is logged and answers nullptr,
    // which the library reports as error 91 where it needed the object.
    std::shared_ptr<orvane::ComObject> safecreateobj(int kind) override;
    std::shared_ptr<orvane::ComObject> SafeCreatenagsObj(int kind) override;
    std::shared_ptr<orvane::ComObject> SafeCreateUIObj(int kind) override;

    const EnvironmentConfig &config() const { return config_; }
    const std::shared_ptr<HostErrorClass> &hostErrorClass() const { return errorClass_; }

private:
    using Maker = std::function<std::shared_ptr<orvane::ComObject>(int)>;
    std::shared_ptr<orvane::ComObject> make(const Maker &maker, const QString &name, int kind);

    EnvironmentConfig config_;
    std::shared_ptr<HostErrorClass> errorClass_;
    std::shared_ptr<HostOptions> options_;
    std::shared_ptr<HostUser> user_;
};

} // namespace orvane::host
