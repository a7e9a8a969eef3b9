#include "transport/NetworkClient.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslCertificate>
#include <QSslConfiguration>

using namespace Qt::StringLiterals;

namespace orvane::transport {

HttpsNetworkClient::HttpsNetworkClient(HttpsClientSettings settings, QObject *parent)
    : QObject(parent), settings_(std::move(settings)), manager_(new QNetworkAccessManager(this))
{
    if (!settings_.caFile.isEmpty()) {
        const QList<QSslCertificate> cas = QSslCertificate::fromPath(settings_.caFile);
        if (cas.isEmpty())
            caError_ = u"No certificate in the CA file "_s % settings_.caFile;
    }
}

HttpsNetworkClient::~HttpsNetworkClient() = default;

bool HttpsNetworkClient::ready(QString *why) const
{
    if (!caError_.isEmpty() && why)
        *why = caError_;
    return caError_.isEmpty();
}

QNetworkReply *HttpsNetworkClient::get(const QString &path, const QByteArray &body, bool post)
{
    QUrl url = settings_.endpoint;
    QString prefix = url.path();
    while (prefix.endsWith(u'/'))
        prefix.chop(1);
    url.setPath(prefix + path);
    QNetworkRequest request(url);
    request.setTransferTimeout(settings_.timeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    if (!settings_.caFile.isEmpty()) {
        QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
        ssl.setCaCertificates(QSslCertificate::fromPath(settings_.caFile));
        request.setSslConfiguration(ssl);
    }
    if (!post)
        return manager_->get(request);
    request.setHeader(QNetworkRequest::ContentTypeHeader, u"application/xml; charset=utf-8"_s);
    request.setRawHeader("Authorization", "Bearer " + settings_.credential.toUtf8());
    return manager_->post(request, body);
}

void HttpsNetworkClient::send(const protocol::Request &request,
                              std::function<void(const Exchange &)> done)
{
    if (!caError_.isEmpty()) {
        done(Exchange{0, {}, caError_, false});
        return;
    }
    QNetworkReply *reply =
        get(QString::fromLatin1(protocol::DocumentsPath), protocol::writeRequest(request), true);
    auto tooLarge = std::make_shared<bool>(false);
    const qint64 limit = settings_.maxAnswerBytes;
    // An answer over the limit is cut off as it arrives, not read into memory.
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply, tooLarge, limit](qint64 got) {
        if (got > limit && !*tooLarge) {
            *tooLarge = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [reply, tooLarge, limit, done] {
        reply->deleteLater();
        Exchange exchange;
        if (*tooLarge) {
            exchange.tooLarge = true;
            exchange.status = 200;
            exchange.error = u"The answer is larger than "_s % QString::number(limit) % u" bytes"_s;
            done(exchange);
            return;
        }
        exchange.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (reply->error() != QNetworkReply::NoError && exchange.status == 0) {
            exchange.error = reply->errorString();
            done(exchange);
            return;
        }
        exchange.body = reply->read(limit + 1);
        if (exchange.body.size() > limit) {
            exchange.tooLarge = true;
            exchange.body.clear();
            exchange.error = u"The answer is larger than "_s % QString::number(limit) % u" bytes"_s;
        }
        if (exchange.status != 200 && exchange.error.isEmpty())
            exchange.error = u"HTTP "_s % QString::number(exchange.status);
        done(exchange);
    });
}

void HttpsNetworkClient::checkHealth(std::function<void(bool, const QString &)> done)
{
    QNetworkReply *reply = get(QString::fromLatin1(protocol::HealthPath), {}, false);
    connect(reply, &QNetworkReply::finished, this, [reply, done] {
        reply->deleteLater();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        done(status == 200, status == 200 ? QString() : reply->errorString());
    });
}

} // namespace orvane::transport
