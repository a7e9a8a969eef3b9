#pragma once

#include <qorOrvaneUI/external/IEnvironment.h>
#include <qorOrvaneUI/runtime/Value.h>

#include <QString>

#include <memory>

namespace orvane::transport {

// The environment the table objects need when no host is there (the command
// line tool, the transport service): a staging database and a data folder for
// Orvane.ini; no error class, options, user or host objects.
class StagingEnvironment : public ext::IEnvironment {
public:
    StagingEnvironment(QString connection, QString dataPath)
        : connection_(std::move(connection)), dataPath_(std::move(dataPath))
    {
    }
    std::shared_ptr<ext::IErrorClass> ErrorClass() const override { return nullptr; }
    std::shared_ptr<ext::IOptions> Options() const override { return nullptr; }
    QString GetConnectString(const QString &, int) const override { return connection_; }
    QString data_path() const override { return dataPath_; }
    QString nags_path() const override { return dataPath_; }
    Value Location() const override { return 1; }
    QString SecurityToken() const override { return {}; }
    std::shared_ptr<ext::IUser> currentuser() const override { return nullptr; }
    std::shared_ptr<ComObject> safecreateobj(int) override { return nullptr; }
    std::shared_ptr<ComObject> SafeCreatenagsObj(int) override { return nullptr; }
    std::shared_ptr<ComObject> SafeCreateUIObj(int) override { return nullptr; }

private:
    QString connection_;
    QString dataPath_;
};

} // namespace orvane::transport
