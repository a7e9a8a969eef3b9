#pragma once

#include <qorOrvaneUI/transport/NetworkAnswers.h>

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QString>

#include <optional>

namespace orvane::transport {

// How the network server misbehaves, for the service's fault tests and for
// staff who want to see the service ride out a bad network.
enum class ServerFault {
    None,
    Drop,       // closes the connection without an answer
    Error500,   // answers 500
    Stall,      // says nothing until stallMs has passed, then closes
    LoseAnswer, // answers and remembers the document, then closes before the answer goes out
    Twice,      // puts every answer element in the answer twice
};

struct ServerOptions {
    // The shop's credential every document request must carry.
    QString credential;
    NetworkRules rules;
    // Milliseconds before answering, per record type (AUTHREQ, ENOL, LOSSAH).
    QHash<QString, int> delayMs;
    // Record types the network refuses outright (422), with the reason.
    QHash<QString, QString> refuse;
    ServerFault fault = ServerFault::None;
    // How many document requests get the fault; -1: all of them.
    int faultCount = -1;
    int stallMs = 60000;
    // Where the answers given and the notices confirmed are kept, so that a
    // restarted server answers a resent document as before; empty: memory only.
    QString stateDir;
};

// The network behind its HTTP interface (docs/network-protocol.md): the
// simulator's answers over HTTPS, with a cache of the answer given to each
// message identifier so that a resent document is answered as the first time.
// Loss notices are remembered by their loss reference, for the dispatch that
// follows the shop's coverage answer. Lives on one thread.
class NetworkServer : public QAbstractHttpServer {
    Q_OBJECT
public:
    explicit NetworkServer(ServerOptions options, QObject *parent = nullptr);
    ~NetworkServer() override;

    ServerOptions &options() { return options_; }

    // PEM files; without them the server speaks plain HTTP (tests of the
    // service's TLS refusal only).
    bool useTls(const QString &certificateFile, const QString &keyFile, QString *why);
    // The port listened on (0 on failure).
    quint16 listenOn(const QHostAddress &address, quint16 port);

    // Counters for tests and the log.
    int documentsAnswered() const { return answered_; }
    int requestsRefused() const { return badRequests_; }

Q_SIGNALS:
    // One line per request, for the log.
    void logLine(const QString &line);

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    struct Cached {
        int status = 200;
        QByteArray body;
    };
    Cached answerDocument(const QByteArray &body, QString *logText);
    void respond(QTcpSocket *socket, int status, const QByteArray &body, int delay);
    std::optional<Cached> storedAnswer(const QString &messageId) const;
    void keep(const QString &messageId, const Cached &answer, const QString &lossRef,
              const QString &notice);

    ServerOptions options_;
    NetworkAnswerer answerer_;
    QHash<QString, Cached> byMessage_;
    QHash<QString, LossFacts> losses_;
    int faultsLeft_ = -1;
    int answered_ = 0;
    int badRequests_ = 0;
    quint64 receipts_ = 0;
};

} // namespace orvane::transport
