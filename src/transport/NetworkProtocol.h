#pragma once

#include <qorOrvaneUI/runtime/XmlDocument.h>

#include <QByteArray>
#include <QString>

#include <optional>

// The envelope of docs/network-protocol.md: what the service sends and what
// the network answers. Readers take bytes from the other side of a socket and
// never throw: a reader gives nothing and says why.
namespace orvane::transport::protocol {

inline constexpr const char *DocumentsPath = "/v1/documents";
inline constexpr const char *HealthPath = "/v1/health";
// Neither side reads a body larger than this unless told otherwise.
inline constexpr qint64 DefaultSizeLimit = qint64(4) * 1024 * 1024;

struct Request {
    QString messageId;
    QString rectype;
    QString recid;
    int resend = 0;
    QString document; // the document's XML text
};

QByteArray writeRequest(const Request &request);
// Nothing, with `why`, for a body that is not a request envelope.
std::optional<Request> readRequest(const QByteArray &body, QString *why);

struct Answer {
    QString messageId;
    QString receipt;
    bool refused = false;
    QString errorCode; // refusals only
    QString errorText;
    // The parsed envelope: its root element holds the answer elements.
    XmlDocument envelope;
    XmlNode answers() const { return envelope.documentElement(); }
};

// An envelope around answer elements the caller appends under the root.
XmlDocument newAnswer(const QString &messageId, const QString &receipt, bool refused);
QByteArray writeRefusal(const QString &messageId, const QString &receipt, const QString &code,
                        const QString &text);

// Nothing, with `why`, for a body that is not an answer envelope for
// `messageId`, or that is larger than `sizeLimit`.
std::optional<Answer> readAnswer(const QByteArray &body, const QString &messageId, qint64 sizeLimit,
                                 QString *why);

// 32 hexadecimal digits, the form of every message identifier.
bool isMessageId(const QString &text);

} // namespace orvane::transport::protocol
