#include "transport/TransportService.h"

#include "transport/RowText.h"
#include "transport/StagingDatabase.h"
#include "transport/StagingSchema.h"
#include <qorOrvaneUI/transport/NetworkAnswers.h>

#include "runtime/CrashPoint.h"
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>

#include <QDate>
#include <QDateTime>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <iterator>

using namespace Qt::StringLiterals;

namespace orvane::transport {

namespace {

using rowtext::put;

QString stamp()
{
    return QDateTime::currentDateTime().toString(u"yyyy-MM-ddTHH:mm:ss"_s);
}

// Message identifiers are 32 hexadecimal digits; a row that somehow has no
// guid gets one made from its key, the same on every scan.
QString messageIdOf(const QString &guid, qint64 id)
{
    QString trimmed = guid.trimmed().toUpper();
    if (protocol::isMessageId(trimmed))
        return trimmed;
    return u"%1"_s.arg(quint64(id), 32, 16, QChar(u'0')).toUpper();
}

const sql::TableDef &sendState()
{
    return *stagingTable(u"g_sendstate"_s);
}

} // namespace

TransportService::TransportService(std::shared_ptr<ext::IEnvironment> env, INetworkClient &client,
                                   ServiceSettings settings, QObject *parent)
    : QObject(parent), env_(std::move(env)), client_(client), settings_(settings),
      trans_(u"g_trans"_s)
{
    scanTimer_.setInterval(settings_.scanMs);
    connect(&scanTimer_, &QTimer::timeout, this, &TransportService::scan);
    flagTimer_.setInterval(settings_.flagPollMs);
    connect(&flagTimer_, &QTimer::timeout, this, [this] {
        if (takeSendFlag && takeSendFlag())
            scan();
    });
    retryTimer_.setSingleShot(true);
    connect(&retryTimer_, &QTimer::timeout, this, &TransportService::pump);
}

TransportService::~TransportService() = default;

void TransportService::start()
{
    running_ = true;
    scanTimer_.start();
    flagTimer_.start();
    if (takeSendFlag)
        takeSendFlag(); // whatever it says, the first scan follows
    scan();
}

void TransportService::stop()
{
    running_ = false;
    scanTimer_.stop();
    flagTimer_.stop();
    retryTimer_.stop();
}

void TransportService::scan()
{
    std::deque<Waiting> found;
    // While documents it already knows are due, the service only adds the rows
    // queued since: reloading a long backlog with every document on every scan
    // made each document cost a read of all the others. The full look, which
    // also drops rows taken elsewhere and finds a row whose key was given out
    // before a later one was seen, comes when nothing known is due, and at
    // least every fullScanMs, so such a row is late at most that long under a
    // backlog that never drains.
    const bool backlog =
        !idle() && sinceFullScan_.isValid() && sinceFullScan_.elapsed() < settings_.fullScanMs;
    try {
        // Opened on the first scan that can: a database that is away when the
        // service starts is looked for again on the next scan.
        if (!trans_.env())
            trans_.setEnv(env_);
        StagingDatabase &db = trans_.database();
        QString filter = u"g_trans.processed = .F. AND g_trans.rectype <> 'DISPATCH'"_s;
        if (backlog)
            filter += u" AND g_trans.id > "_s % QString::number(lastSeenId_);
        Recordset rows = db.load(trans_.table(), filter);
        QHash<QString, int> resends;
        Recordset states =
            db.load(sendState(), u"g_sendstate.state <> 'answered' AND g_sendstate.state <> "
                                 u"'refused'"_s);
        for (; !states.eof(); states.moveNext())
            resends.insert(states.value(u"msgid"_s).toText().trimmed(),
                           states.value(u"resends"_s).toInt32());
        for (; !rows.eof(); rows.moveNext()) {
            Waiting doc;
            doc.id = rows.value(u"id"_s).toInt64();
            doc.msgid = messageIdOf(rows.value(u"guid"_s).toText(), doc.id);
            doc.rectype = rows.value(u"rectype"_s).toText().trimmed().toUpper();
            doc.recid = rows.value(u"recid"_s).toText().trimmed();
            doc.xml = rows.value(u"xml"_s).toText();
            doc.daskid = rows.value(u"daskid"_s);
            doc.daskloc = rows.value(u"daskloc"_s);
            doc.resends = resends.value(doc.msgid, 0);
            lastSeenId_ = std::max(lastSeenId_, doc.id);
            found.push_back(std::move(doc));
        }
    } catch (const VbError &e) {
        state_.lastError = u"The staging database: "_s % e.description();
        Q_EMIT logLine(state_.lastError);
        Q_EMIT stateChanged();
        return;
    }
    if (backlog) {
        std::move(found.begin(), found.end(), std::back_inserter(waiting_));
    } else {
        waiting_ = std::move(found);
        sinceFullScan_.start();
    }
    state_.pending = int(waiting_.size());
    Q_EMIT stateChanged();
    pump();
}

bool TransportService::idle(int withinMs) const
{
    if (inFlight_)
        return false;
    const qint64 horizon = QDateTime::currentMSecsSinceEpoch() + withinMs;
    return std::none_of(waiting_.begin(), waiting_.end(),
                        [&](const Waiting &doc) { return dueAt_.value(doc.msgid, 0) <= horizon; });
}

void TransportService::pump()
{
    if (inFlight_ || !running_)
        return;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    qint64 nextDue = -1;
    for (const Waiting &doc : waiting_) {
        const qint64 due = dueAt_.value(doc.msgid, 0);
        if (due > now) {
            nextDue = nextDue < 0 ? due : std::min(nextDue, due);
            continue;
        }
        inFlight_ = true;
        protocol::Request request{doc.msgid, doc.rectype, doc.recid, doc.resends, doc.xml};
        client_.send(request, [this, doc](const Exchange &exchange) {
            // Back on the event loop: no call re-enters send.
            QMetaObject::invokeMethod(
                this, [this, doc, exchange] { finish(doc, exchange); }, Qt::QueuedConnection);
        });
        return;
    }
    if (nextDue >= 0)
        retryTimer_.start(int(std::clamp<qint64>(nextDue - now, 1, settings_.retryMaxMs)));
}

void TransportService::finish(const Waiting &doc, const Exchange &exchange)
{
    // The network has answered and nothing is filed yet: a crash here is the
    // lost answer that the resend under the same identifier recovers.
    crashPoint("exchanged");
    inFlight_ = false;
    state_.connected = exchange.status != 0;
    bool done = false;
    if (exchange.tooLarge) {
        retryLater(doc, exchange.error, true);
    } else if (exchange.status == 200) {
        QString why;
        const auto answer =
            protocol::readAnswer(exchange.body, doc.msgid, settings_.maxAnswerBytes, &why);
        if (answer && answer->refused) {
            fileRefusal(doc, answer->receipt, answer->errorCode, answer->errorText);
            done = true;
        } else if (answer && fileAnswer(doc, *answer, &why)) {
            done = true;
        } else {
            retryLater(doc, why, true);
        }
    } else if (exchange.status == 422 || exchange.status == 413) {
        // A refusal names the document; one without a readable envelope still
        // refuses it, with the status as the reason.
        const auto answer =
            protocol::readAnswer(exchange.body, doc.msgid, settings_.maxAnswerBytes, nullptr);
        QString code = u"e"_s % QString::number(exchange.status);
        QString text = exchange.status == 413 ? u"The network refused the document as too large"_s
                                              : u"The network refused the document"_s;
        if (answer && answer->refused) {
            code = answer->errorCode.isEmpty() ? code : answer->errorCode;
            text = answer->errorText.isEmpty() ? text : answer->errorText;
        }
        fileRefusal(doc, answer ? answer->receipt : QString(), code, text);
        done = true;
    } else {
        retryLater(doc,
                   exchange.error.isEmpty() ? u"HTTP "_s % QString::number(exchange.status)
                                            : exchange.error,
                   false);
    }
    if (done) {
        // Usually the oldest: taken off the front without moving the rest.
        auto it = std::find_if(waiting_.begin(), waiting_.end(),
                               [&](const Waiting &w) { return w.id == doc.id; });
        if (it != waiting_.end())
            waiting_.erase(it);
        dueAt_.remove(doc.msgid);
        state_.pending = int(waiting_.size());
    }
    Q_EMIT stateChanged();
    pump();
}

bool TransportService::fileAnswer(const Waiting &doc, const protocol::Answer &answer, QString *why)
{
    StagingDatabase &db = trans_.database();
    const QString byId = u"g_trans.id = "_s % QString::number(doc.id);
    bool already = false;
    try {
        db.writeTransaction([&] {
            // Claimed here, with its answer: an answer that comes twice finds the
            // row taken and is not filed again.
            Recordset row = db.claim(trans_.table(), byId, u"processed"_s);
            if (row.eof()) {
                already = true;
                return;
            }
            XmlDocument request;
            request.loadXml(doc.xml);
            AnswerWriter(env_).write(doc.rectype, doc.recid, request, answer.answers(), doc.daskid,
                                     doc.daskloc);
            Recordset stamped = db.load(trans_.table(), byId);
            put(stamped, u"procdate"_s, Value(QDate::currentDate()));
            put(stamped, u"errortext"_s, QString());
            db.save(trans_.table(), stamped);
            record(doc, u"answered"_s, doc.resends, answer.receipt, QString());
        });
    } catch (const Refused &refused) {
        *why = refused.reason;
        return false;
    } catch (const VbError &e) {
        *why = u"The answer could not be stored: "_s % e.description();
        return false;
    }
    if (already) {
        log(doc, u"already answered; the answer again is not filed"_s);
        return true;
    }
    ++state_.sent;
    log(doc, u"answered, receipt "_s % answer.receipt % u" (resent "_s %
                 QString::number(doc.resends) % u" times)"_s);
    return true;
}

void TransportService::fileRefusal(const Waiting &doc, const QString &receipt, const QString &code,
                                   const QString &text)
{
    StagingDatabase &db = trans_.database();
    const QString byId = u"g_trans.id = "_s % QString::number(doc.id);
    const QString reason = text.isEmpty() ? u"Refused by the network"_s : text;
    try {
        db.writeTransaction([&] {
            Recordset row = db.claim(trans_.table(), byId, u"processed"_s);
            if (row.eof())
                return;
            XmlDocument request;
            request.loadXml(doc.xml);
            // The refusal as the network's error answer, where the library's wait
            // looks; a document with nothing to file it against keeps the reason
            // in g_trans alone.
            try {
                AnswerWriter(env_).writeRefusal(doc.rectype, doc.recid, request, code, reason,
                                                doc.daskid, doc.daskloc);
            } catch (const Refused &) {
            }
            Recordset stamped = db.load(trans_.table(), byId);
            put(stamped, u"procdate"_s, Value(QDate::currentDate()));
            put(stamped, u"errortext"_s, reason);
            db.save(trans_.table(), stamped);
            record(doc, u"refused"_s, doc.resends, receipt, code % u' ' % reason);
        });
    } catch (const VbError &e) {
        retryLater(doc, u"The refusal could not be stored: "_s % e.description(), false);
        return;
    }
    ++state_.failed;
    state_.lastError = doc.rectype % u' ' % doc.recid % u": "_s % reason;
    log(doc, u"refused by the network: "_s % code % u' ' % reason);
}

void TransportService::retryLater(const Waiting &doc, const QString &error, bool badAnswer)
{
    auto it = std::find_if(waiting_.begin(), waiting_.end(),
                           [&](const Waiting &w) { return w.id == doc.id; });
    const int resends = (it != waiting_.end() ? it->resends : doc.resends) + 1;
    if (it != waiting_.end())
        it->resends = resends;
    const double base =
        std::min<double>(double(settings_.retryBaseMs) * std::pow(2.0, std::min(resends - 1, 30)),
                         double(settings_.retryMaxMs));
    const qint64 wait = qint64(base * (1.0 + 0.25 * QRandomGenerator::global()->generateDouble()));
    dueAt_.insert(doc.msgid, QDateTime::currentMSecsSinceEpoch() + wait);
    state_.lastError = doc.rectype % u' ' % doc.recid % u": "_s % error;
    if (badAnswer)
        ++state_.badAnswers;
    try {
        record(doc, u"retry"_s, resends, QString(), error);
    } catch (const VbError &) {
        // The bookkeeping is for people; the row itself still waits.
    }
    log(doc, (badAnswer ? u"answer refused: "_s : u"not taken: "_s) % error % u"; attempt "_s %
                 QString::number(resends + 1) % u" in "_s %
                 QString::number(double(wait) / 1000.0, 'f', 1) % u" s"_s);
}

void TransportService::record(const Waiting &doc, const QString &state, int resends,
                              const QString &receipt, const QString &error)
{
    StagingDatabase &db = trans_.database();
    db.writeTransaction([&] {
        Recordset rows = db.load(sendState(), u"g_sendstate.msgid = '"_s % doc.msgid % u"'"_s);
        if (rows.eof()) {
            rows.addNew();
            put(rows, u"msgid"_s, doc.msgid);
            put(rows, u"transid"_s, doc.id);
        }
        put(rows, u"state"_s, state);
        put(rows, u"resends"_s, resends);
        if (!receipt.isEmpty())
            put(rows, u"receipt"_s, receipt);
        put(rows, u"lasterror"_s, error);
        put(rows, u"stamp"_s, stamp());
        rows.update();
        db.save(sendState(), rows);
    });
}

void TransportService::log(const Waiting &doc, const QString &what)
{
    Q_EMIT logLine(stamp() % u' ' % doc.rectype % u' ' % doc.recid % u" ["_s % doc.msgid % u"] "_s %
                   what);
}

} // namespace orvane::transport
