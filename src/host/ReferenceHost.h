#pragma once

#include <qorOrvaneUI/runtime/Value.h>

#include <QString>

#include <memory>

namespace orvane::ext {
class IDataCommand;
}

namespace orvane::host {

class HostEnvironment;
class HostInvoice;
class ShopDatabase;

// The reference host put together: the shop database and the glass catalogue,
// the environment the library works in, and every host class registered under
// its program identifier.
//
// Registered identifiers: ControlUI.ControlUIcls, qorAgent.qorAgentctl,
// qorHost.Invoice (a new order), qorHost.OrderList, qorHost.Shop,
// qorHost.Vehicle, qorHost.VehicleChooser, qorHost.DataCommand. They create
// objects of the host opened last that is still alive.
class ReferenceHost : public std::enable_shared_from_this<ReferenceHost> {
public:
    struct Settings {
        // Empty: the SQLite file shop.sqlite in the data folder.
        QString shopConnection;
        Value location = 1;
        QString securityToken = QStringLiteral("host-token");
        QString userFirst = QStringLiteral("Pat"), userLast = QStringLiteral("Rivera");
    };

    // Creates the folders' databases as needed (or brings them up to date).
    static std::shared_ptr<ReferenceHost> open(const QString &dataFolder,
                                               const QString &nagsFolder);
    static std::shared_ptr<ReferenceHost> open(const QString &dataFolder, const QString &nagsFolder,
                                               Settings settings);
    ~ReferenceHost();

    std::shared_ptr<HostEnvironment> env() const { return env_; }
    std::shared_ptr<HostInvoice> openOrder(const Value &idnumber);
    std::shared_ptr<HostInvoice> newOrder();
    ShopDatabase &database() const { return *shop_; }
    std::shared_ptr<ShopDatabase> shopDatabase() const { return shop_; }
    std::shared_ptr<ShopDatabase> catalogue() const { return catalogue_; }

    // The connection text of a folder: the catalogue's for the nags folder,
    // the shop database's otherwise.
    QString connectString(const QString &folder) const;
    // The open database a connection text names; nullptr for an unknown one.
    std::shared_ptr<ShopDatabase> databaseFor(const QString &connection) const;
    std::shared_ptr<ext::IDataCommand> makeDataCommand() const;

    // The demo shop's orders, parties and catalogue; running it again adds nothing.
    void seedDemo();

private:
    ReferenceHost() = default;
    void registerClasses();

    QString dataPath_, nagsPath_;
    std::shared_ptr<ShopDatabase> shop_, catalogue_;
    std::shared_ptr<HostEnvironment> env_;
    Settings settings_;
};

} // namespace orvane::host
