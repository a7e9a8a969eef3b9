// The network over HTTPS on 127.0.0.1 for tests: a self-signed certificate
// made with the openssl tool, the network server in this process, and the
// transport service run against it until the outgoing rows are all taken.
// Header-only; the test program links orvane::transport_service.
#pragma once

#include "transport/NetworkServer.h"
#include "transport/StagingDatabase.h"
#include "transport/TableObjects.h"
#include "transport/TransportService.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace orvane::test {

// A self-signed certificate for 127.0.0.1, made once per test program.
inline const QString &certificateDir()
{
    static QTemporaryDir dir;
    static const bool made = [] {
        QProcess openssl;
        QStringList args = QStringLiteral("req -x509 -newkey rsa:2048 -nodes -days 2 -subj "
                                          "/CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1")
                               .split(u' ');
        args << QStringLiteral("-keyout") << dir.filePath(QStringLiteral("key.pem"))
             << QStringLiteral("-out") << dir.filePath(QStringLiteral("cert.pem"));
        openssl.start(QStringLiteral("openssl"), args);
        return openssl.waitForFinished(30000) && openssl.exitCode() == 0;
    }();
    EXPECT_TRUE(made) << "openssl could not make the test certificate";
    static const QString path = dir.path();
    return path;
}

// Runs the event loop until `done` or the deadline; the outcome of `done`.
inline bool runUntil(const std::function<bool()> &done, int ms = 20000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

inline constexpr const char *kCredential = "shop-credential-7731";

// The network in this process, over TLS on 127.0.0.1.
inline std::unique_ptr<transport::NetworkServer> startNetwork(transport::ServerOptions options,
                                                              quint16 port = 0)
{
    options.credential = QString::fromLatin1(kCredential);
    auto server = std::make_unique<transport::NetworkServer>(options);
    QString why;
    EXPECT_TRUE(server->useTls(certificateDir() + QStringLiteral("/cert.pem"),
                               certificateDir() + QStringLiteral("/key.pem"), &why))
        << why.toStdString();
    EXPECT_NE(server->listenOn(QHostAddress::LocalHost, port), 0);
    return server;
}

inline transport::HttpsClientSettings clientFor(quint16 port, int timeoutMs = 5000)
{
    transport::HttpsClientSettings settings;
    settings.endpoint = QUrl(QStringLiteral("https://127.0.0.1:") + QString::number(port));
    settings.credential = QString::fromLatin1(kCredential);
    settings.caFile = certificateDir() + QStringLiteral("/cert.pem");
    settings.timeoutMs = timeoutMs;
    return settings;
}

// The service against `client` until no outgoing row waits; false when the
// deadline came first.
inline bool serve(const std::shared_ptr<ext::IEnvironment> &env, transport::INetworkClient &client,
                  int ms = 20000)
{
    transport::ServiceSettings settings;
    settings.retryBaseMs = 50;
    settings.retryMaxMs = 400;
    transport::TransportService service(env, client, settings);
    transport::TableCore trans(QStringLiteral("g_trans"));
    trans.setEnv(env);
    service.start();
    const bool done = runUntil(
        [&] {
            return service.idle(1000) &&
                   trans.database()
                           .load(trans.table(), QStringLiteral("g_trans.processed = .F. AND "
                                                               "g_trans.rectype <> 'DISPATCH'"))
                           .recordCount() == 0;
        },
        ms);
    service.stop();
    return done;
}

} // namespace orvane::test
