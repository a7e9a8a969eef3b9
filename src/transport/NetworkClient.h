#pragma once

#include "transport/NetworkProtocol.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

namespace orvane::transport {

// What came back for one request.
struct Exchange {
    int status = 0;  // the HTTP status; 0 when no complete answer came (connection, TLS, timeout)
    QByteArray body; // empty when the answer was larger than the limit
    QString error;   // why there was no answer, or why it was cut off
    bool tooLarge = false;
};

// The service's one way to the network. Another network endpoint is one more
// implementation. Calls complete on the caller's thread through its event loop.
class INetworkClient {
public:
    virtual ~INetworkClient() = default;
    virtual void send(const protocol::Request &request,
                      std::function<void(const Exchange &)> done) = 0;
    // Whether the network answers at all (for the status display).
    virtual void checkHealth(std::function<void(bool up, const QString &error)> done) = 0;
};

struct HttpsClientSettings {
    QUrl endpoint;      // https://host:port (a path prefix is kept)
    QString credential; // sent as a bearer credential
    QString caFile;     // PEM certificates to trust instead of the system's; empty: the system's
    int timeoutMs = 15000;
    qint64 maxAnswerBytes = protocol::DefaultSizeLimit;
};

// The network over HTTPS with Qt Network: verifies the server's certificate
// and name, sends the credential, gives up on a request after the timeout.
class HttpsNetworkClient : public QObject, public INetworkClient {
public:
    explicit HttpsNetworkClient(HttpsClientSettings settings, QObject *parent = nullptr);
    ~HttpsNetworkClient() override;

    // False, with `why`, when the CA file cannot be read.
    bool ready(QString *why) const;

    void send(const protocol::Request &request,
              std::function<void(const Exchange &)> done) override;
    void checkHealth(std::function<void(bool, const QString &)> done) override;

private:
    QNetworkReply *get(const QString &path, const QByteArray &body, bool post);

    HttpsClientSettings settings_;
    QNetworkAccessManager *manager_;
    QString caError_;
};

} // namespace orvane::transport
