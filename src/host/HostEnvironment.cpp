#include "host/HostEnvironment.h"

#include "host/HostErrorClass.h"
#include "host/HostOptions.h"
#include "host/HostUser.h"
#include <qorOrvaneUI/runtime/VbError.h>

#include <exception>

using namespace Qt::StringLiterals;

namespace orvane::host {

namespace {

QString folder(QString path)
{
    if (!path.isEmpty() && !path.endsWith(u'/') && !path.endsWith(u'\\'))
        path += u'/';
    return path;
}

} // namespace

HostEnvironment::HostEnvironment(EnvironmentConfig config) : config_(std::move(config))
{
    config_.dataPath = folder(config_.dataPath);
    config_.nagsPath = folder(config_.nagsPath);
    user_ = std::make_shared<HostUser>(config_.userFirst, config_.userLast);
    errorClass_ = std::make_shared<HostErrorClass>(config_.dataPath + u"error.log"_s,
                                                   config_.hostName, user_->fullName());
    options_ = std::make_shared<HostOptions>(config_.daskIni, config_.makeDataCommand);
}

HostEnvironment::~HostEnvironment() = default;

std::shared_ptr<orvane::ext::IErrorClass> HostEnvironment::ErrorClass() const
{
    return errorClass_;
}

std::shared_ptr<orvane::ext::IOptions> HostEnvironment::Options() const
{
    return options_;
}

QString HostEnvironment::GetConnectString(const QString &folderPath, int mode) const
{
    return config_.connectString ? config_.connectString(folderPath, mode) : QString();
}

QString HostEnvironment::data_path() const
{
    return config_.dataPath;
}

QString HostEnvironment::nags_path() const
{
    return config_.nagsPath;
}

orvane::Value HostEnvironment::Location() const
{
    return config_.location;
}

QString HostEnvironment::SecurityToken() const
{
    return config_.securityToken;
}

std::shared_ptr<orvane::ext::IUser> HostEnvironment::currentuser() const
{
    return user_;
}

std::shared_ptr<orvane::ComObject> HostEnvironment::make(const Maker &maker, const QString &name,
                                                         int kind)
{
    if (!maker)
        return nullptr;
    const QString procedure =
        u"qorHost.Environment."_s + name + u'(' + QString::number(kind) + u')';
    try {
        return maker(kind);
    } catch (const VbError &e) {
        // The contract is "nothing" for an object that cannot be made; the log
        // keeps the reason the library's error 91 cannot tell.
        errorClass_->log(procedure, e.description(), e.number(), 0);
    } catch (const std::exception &e) {
        errorClass_->log(procedure, QString::fromLocal8Bit(e.what()), err::Unspecified, 0);
    }
    return nullptr;
}

std::shared_ptr<orvane::ComObject> HostEnvironment::safecreateobj(int kind)
{
    return make(config_.safecreateobj, u"safecreateobj"_s, kind);
}

std::shared_ptr<orvane::ComObject> HostEnvironment::SafeCreatenagsObj(int kind)
{
    return make(config_.nagsCreate, u"SafeCreatenagsObj"_s, kind);
}

std::shared_ptr<orvane::ComObject> HostEnvironment::SafeCreateUIObj(int kind)
{
    return make(config_.uiCreate, u"SafeCreateUIObj"_s, kind);
}

} // namespace orvane::host
