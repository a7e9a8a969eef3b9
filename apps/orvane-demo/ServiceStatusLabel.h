#pragma once

#include <QLabel>
#include <QString>
#include <QTimer>

#include <memory>

namespace orvane::ext {
class IEnvironment;
}
namespace orvane::transport {
class HttpsNetworkClient;
}

// The transport service's state for the demo's status bar: whether the
// network answers, how many documents wait, and the service's last error,
// read from the staging tables the service keeps its bookkeeping in.
class ServiceStatusLabel : public QLabel {
public:
    ServiceStatusLabel(std::shared_ptr<orvane::ext::IEnvironment> env, const QString &endpoint,
                       const QString &caFile, QWidget *parent = nullptr);
    ~ServiceStatusLabel() override;

    void refresh();

private:
    void show(bool connected);

    std::shared_ptr<orvane::ext::IEnvironment> env_;
    std::unique_ptr<orvane::transport::HttpsNetworkClient> client_;
    QTimer timer_;
};
