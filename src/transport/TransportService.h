#pragma once

#include "transport/NetworkClient.h"
#include "transport/TableObjects.h"

#include <qorOrvaneUI/runtime/Value.h>

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>

namespace orvane::ext {
class IEnvironment;
}

namespace orvane::transport {

struct ServiceSettings {
    int scanMs = 30000;     // the periodic look for waiting rows
    int flagPollMs = 1000;  // how often the send flag is looked at
    int retryBaseMs = 2000; // first wait after a failed attempt, doubled each time
    int retryMaxMs = 300000;
    qint64 maxAnswerBytes = protocol::DefaultSizeLimit;
    int fullScanMs = 60000; // the longest a backlog goes without a full look
};

// What the status display shows.
struct ServiceState {
    bool connected = false; // the last exchange reached the network
    int pending = 0;        // outgoing rows not yet taken
    int sent = 0;           // taken by the network since start
    int failed = 0;         // refused by the network since start
    int badAnswers = 0;     // answers refused since start
    QString lastError;
};

// The transport service: carries the outgoing rows of g_trans to the network
// one at a time, oldest first, and files the answers (AnswerWriter) in the
// staging tables. A row is marked processed in the same transaction that
// files its answer and records the receipt, so a crash anywhere leaves it
// either waiting (sent again under the same message identifier, which the
// network answers as before) or done. No transaction is open while a request
// is under way. Lives on one thread with an event loop.
class TransportService : public QObject {
    Q_OBJECT
public:
    TransportService(std::shared_ptr<ext::IEnvironment> env, INetworkClient &client,
                     ServiceSettings settings = {}, QObject *parent = nullptr);
    ~TransportService() override;

    // Tells whether the send flag is raised, and lowers it. Unset: no flag.
    std::function<bool()> takeSendFlag;

    void start();
    void stop();
    // Looks for waiting rows now and sends the next one that is due.
    void scan();
    // Nothing under way and nothing due before `withinMs`.
    bool idle(int withinMs = 0) const;
    const ServiceState &state() const { return state_; }

Q_SIGNALS:
    void logLine(const QString &line);
    void stateChanged();

private:
    struct Waiting {
        qint64 id = 0;
        QString msgid;
        QString rectype;
        QString recid;
        QString xml;
        Value daskid;
        Value daskloc;
        int resends = 0;
    };
    void pump();
    void finish(const Waiting &doc, const Exchange &exchange);
    bool fileAnswer(const Waiting &doc, const protocol::Answer &answer, QString *why);
    void fileRefusal(const Waiting &doc, const QString &receipt, const QString &code,
                     const QString &text);
    void retryLater(const Waiting &doc, const QString &error, bool badAnswer);
    // Inside the caller's transaction, or a short one of its own.
    void record(const Waiting &doc, const QString &state, int resends, const QString &receipt,
                const QString &error);
    void log(const Waiting &doc, const QString &what);

    std::shared_ptr<ext::IEnvironment> env_;
    INetworkClient &client_;
    ServiceSettings settings_;
    TableCore trans_;
    std::deque<Waiting> waiting_;
    QHash<QString, qint64> dueAt_; // msgid -> earliest next attempt (ms since the epoch)
    qint64 lastSeenId_ = 0;        // the highest key a scan has found
    QElapsedTimer sinceFullScan_;
    bool inFlight_ = false;
    bool running_ = false;
    QTimer scanTimer_;
    QTimer flagTimer_;
    QTimer retryTimer_;
    ServiceState state_;
};

} // namespace orvane::transport
