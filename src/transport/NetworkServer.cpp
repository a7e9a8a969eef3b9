#include "transport/NetworkServer.h"

#include "transport/NetworkProtocol.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHttpServerRequest>
#include <QPointer>
#include <QSaveFile>
#include <QSslCertificate>
#include <QSslKey>
#include <QTcpSocket>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace orvane::transport {

namespace {

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 413:
        return "Payload Too Large";
    case 422:
        return "Unprocessable Entity";
    default:
        return "Internal Server Error";
    }
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A name the network made (a message identifier, a loss reference) as a file
// name: nothing in it can leave the folder.
QString fileNameOf(const QString &name)
{
    QString out = name.left(64);
    for (QChar &c : out)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u'-')
            c = u'_';
    return out;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        file.commit();
}

} // namespace

NetworkServer::NetworkServer(ServerOptions options, QObject *parent)
    : QAbstractHttpServer(parent), options_(std::move(options)), answerer_(options_.rules)
{
    faultsLeft_ = options_.faultCount;
    answerer_.lossFacts = [this](const QString &lossRef) -> std::optional<LossFacts> {
        const auto it = losses_.constFind(lossRef);
        if (it != losses_.constEnd())
            return *it;
        if (options_.stateDir.isEmpty())
            return std::nullopt;
        XmlDocument notice;
        if (!notice.loadXml(QString::fromUtf8(
                readFile(options_.stateDir % u"/losses/"_s % fileNameOf(lossRef) % u".xml"_s))))
            return std::nullopt;
        return NetworkAnswerer::factsOfNotice(notice);
    };
    if (!options_.stateDir.isEmpty()) {
        QDir().mkpath(options_.stateDir % u"/answers"_s);
        QDir().mkpath(options_.stateDir % u"/losses"_s);
    }
}

std::optional<NetworkServer::Cached> NetworkServer::storedAnswer(const QString &messageId) const
{
    if (const auto it = byMessage_.constFind(messageId); it != byMessage_.constEnd())
        return *it;
    if (options_.stateDir.isEmpty())
        return std::nullopt;
    // The status on the first line, the body after it.
    const QByteArray stored =
        readFile(options_.stateDir % u"/answers/"_s % fileNameOf(messageId) % u".txt"_s);
    const qsizetype newline = stored.indexOf('\n');
    if (newline <= 0)
        return std::nullopt;
    return Cached{stored.left(newline).toInt(), stored.mid(newline + 1)};
}

void NetworkServer::keep(const QString &messageId, const Cached &answer, const QString &lossRef,
                         const QString &notice)
{
    byMessage_.insert(messageId, answer);
    if (options_.stateDir.isEmpty())
        return;
    // The notice before the answer: an answer kept always finds its loss.
    if (!lossRef.isEmpty())
        writeFile(options_.stateDir % u"/losses/"_s % fileNameOf(lossRef) % u".xml"_s,
                  notice.toUtf8());
    writeFile(options_.stateDir % u"/answers/"_s % fileNameOf(messageId) % u".txt"_s,
              QByteArray::number(answer.status) + '\n' + answer.body);
}

NetworkServer::~NetworkServer() = default;

bool NetworkServer::useTls(const QString &certificateFile, const QString &keyFile, QString *why)
{
    const QSslCertificate certificate(readFile(certificateFile), QSsl::Pem);
    const QSslKey key(readFile(keyFile), QSsl::Rsa, QSsl::Pem);
    if (certificate.isNull() || key.isNull()) {
        if (why)
            *why =
                u"Cannot read the certificate "_s % certificateFile % u" or its key "_s % keyFile;
        return false;
    }
    sslSetup(certificate, key);
    return true;
}

quint16 NetworkServer::listenOn(const QHostAddress &address, quint16 port)
{
    return listen(address, port);
}

void NetworkServer::respond(QTcpSocket *socket, int status, const QByteArray &body, int delay)
{
    QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) +
                     "\r\nContent-Type: application/xml; charset=utf-8\r\nContent-Length: " +
                     QByteArray::number(body.size()) + "\r\n\r\n" + body;
    if (delay <= 0) {
        socket->write(out);
        return;
    }
    QTimer::singleShot(delay, this, [socket = QPointer<QTcpSocket>(socket), out] {
        if (socket)
            socket->write(out);
    });
}

bool NetworkServer::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    const QString path = request.url().path();
    if (path == QLatin1String(protocol::HealthPath)) {
        respond(socket, 200, "ok", 0);
        return true;
    }
    if (path != QLatin1String(protocol::DocumentsPath))
        return false;
    if (request.method() != QHttpServerRequest::Method::Post) {
        respond(socket, 405, {}, 0);
        return true;
    }
    if (request.value("Authorization") != "Bearer " + options_.credential.toUtf8() ||
        options_.credential.isEmpty()) {
        Q_EMIT logLine(u"refused a request without the shop's credential"_s);
        respond(socket, 401, protocol::writeRefusal({}, {}, u"401"_s, u"Credential refused"_s), 0);
        return true;
    }

    const bool faulty = options_.fault != ServerFault::None && faultsLeft_ != 0;
    if (faulty && faultsLeft_ > 0)
        --faultsLeft_;
    const ServerFault fault = faulty ? options_.fault : ServerFault::None;
    QPointer<QTcpSocket> guarded(socket);
    switch (fault) {
    case ServerFault::Drop:
        Q_EMIT logLine(u"fault: dropped the connection"_s);
        socket->abort();
        return true;
    case ServerFault::Error500:
        Q_EMIT logLine(u"fault: answered 500"_s);
        respond(socket, 500, {}, 0);
        return true;
    case ServerFault::Stall:
        Q_EMIT logLine(u"fault: stalling"_s);
        QTimer::singleShot(options_.stallMs, this, [guarded] {
            if (guarded)
                guarded->abort();
        });
        return true;
    default:
        break;
    }

    QString logText;
    Cached answer = answerDocument(request.body(), &logText);
    Q_EMIT logLine(logText);
    if (fault == ServerFault::LoseAnswer) {
        Q_EMIT logLine(u"fault: lost the answer on the way"_s);
        socket->abort();
        return true;
    }
    QByteArray body = answer.body;
    if (fault == ServerFault::Twice && answer.status == 200) {
        // Every answer element twice: the shop must file it once.
        XmlDocument doc;
        if (doc.loadXml(QString::fromUtf8(body))) {
            XmlNode root = doc.documentElement();
            std::vector<QString> copies;
            for (XmlNode c = root.firstChild(); !c.isNull(); c = c.nextSibling())
                copies.push_back(c.xml());
            QString text = doc.xml();
            const qsizetype end = text.lastIndexOf(u"</NetworkAnswer>"_s);
            if (end > 0) {
                QString extra;
                for (const QString &c : copies)
                    extra += c;
                text.insert(end, extra);
                body = text.toUtf8();
            }
        }
        Q_EMIT logLine(u"fault: answered twice over"_s);
    }
    int delay = 0;
    if (const auto r = protocol::readRequest(request.body(), nullptr))
        delay = options_.delayMs.value(r->rectype, 0);
    respond(socket, answer.status, body, delay);
    return true;
}

void NetworkServer::missingHandler(const QHttpServerRequest &, QTcpSocket *socket)
{
    respond(socket, 404, {}, 0);
}

NetworkServer::Cached NetworkServer::answerDocument(const QByteArray &body, QString *logText)
{
    if (body.size() > protocol::DefaultSizeLimit) {
        ++badRequests_;
        *logText = u"refused a request of "_s % QString::number(body.size()) % u" bytes"_s;
        return {413, protocol::writeRefusal({}, {}, u"413"_s, u"The request is too large"_s)};
    }
    QString why;
    const std::optional<protocol::Request> request = protocol::readRequest(body, &why);
    if (!request) {
        ++badRequests_;
        *logText = u"bad request: "_s % why;
        return {400, protocol::writeRefusal({}, {}, u"400"_s, why)};
    }
    // The same identifier is the same document: the answer it had.
    if (const std::optional<Cached> before = storedAnswer(request->messageId)) {
        *logText = request->rectype % u' ' % request->messageId % u": answered again as before"_s;
        return *before;
    }

    const QString receipt = u"R-"_s % QDate::currentDate().toString(u"yyyyMMdd"_s) % u'-' %
                            QString::number(QDateTime::currentMSecsSinceEpoch() % 100000000) %
                            u'-' % QString::number(++receipts_);
    Cached cached;
    QString lossRef;
    if (options_.refuse.contains(request->rectype)) {
        cached = {422, protocol::writeRefusal(request->messageId, receipt, u"e422"_s,
                                              options_.refuse.value(request->rectype))};
        *logText = request->rectype % u' ' % request->messageId % u": refused by rule"_s;
    } else {
        XmlDocument document;
        document.loadXml(request->document);
        XmlDocument out = protocol::newAnswer(request->messageId, receipt, false);
        XmlNode answers = out.documentElement();
        try {
            answerer_.answer(request->rectype, request->recid, document, out, answers);
            if (request->rectype == u"ENOL"_s) {
                const XmlNode given = answers.findFirst(XmlNameSet(u"LossReferenceNumber"_s));
                if (!given.isNull()) {
                    lossRef = given.text().trimmed();
                    losses_.insert(lossRef, NetworkAnswerer::factsOfNotice(document));
                }
            }
            cached = {200, out.xml().toUtf8()};
            ++answered_;
            *logText =
                request->rectype % u' ' % request->messageId % u": answered, receipt "_s % receipt;
        } catch (const Refused &refused) {
            cached = {422, protocol::writeRefusal(request->messageId, receipt, u"e422"_s,
                                                  refused.reason)};
            *logText =
                request->rectype % u' ' % request->messageId % u": refused: "_s % refused.reason;
        }
    }
    keep(request->messageId, cached, lossRef, request->document);
    return cached;
}

} // namespace orvane::transport
