#include "transport/NetworkProtocol.h"

#include <qorOrvaneUI/runtime/Value.h>

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace orvane::transport::protocol {

namespace {

QString attributeText(const XmlNode &node, const QString &name)
{
    const Value v = node.attribute(name);
    return v.isNull() ? QString() : v.toText();
}

// The text of the first direct child element of that name.
QString childText(const XmlNode &parent, const QString &name)
{
    for (XmlNode child = parent.firstChild(); !child.isNull(); child = child.nextSibling())
        if (child.nodeType() == xmlkind::Element && child.nodeName() == name)
            return child.text();
    return {};
}

bool hasChild(const XmlNode &parent, const QString &name)
{
    for (XmlNode child = parent.firstChild(); !child.isNull(); child = child.nextSibling())
        if (child.nodeType() == xmlkind::Element && child.nodeName() == name)
            return true;
    return false;
}

} // namespace

bool isMessageId(const QString &text)
{
    static const QRegularExpression form(u"^[0-9A-Fa-f]{32}$"_s);
    return form.match(text).hasMatch();
}

QByteArray writeRequest(const Request &request)
{
    XmlDocument doc;
    XmlNode root = doc.appendChild(doc.createElement(u"NetworkRequest"_s));
    root.setAttribute(u"MessageID"_s, request.messageId);
    root.setAttribute(u"RecordType"_s, request.rectype);
    root.setAttribute(u"RecordID"_s, request.recid);
    root.setAttribute(u"Resend"_s, QString::number(request.resend));
    XmlNode document = root.appendChild(doc.createElement(u"Document"_s));
    document.appendChild(doc.createTextNode(request.document));
    return doc.xml().toUtf8();
}

std::optional<Request> readRequest(const QByteArray &body, QString *why)
{
    auto refuse = [why](const QString &reason) -> std::optional<Request> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    if (body.size() > DefaultSizeLimit)
        return refuse(u"The request is larger than the limit"_s);
    XmlDocument doc;
    if (!doc.loadXml(QString::fromUtf8(body)))
        return refuse(u"The request is not well-formed XML"_s);
    const XmlNode root = doc.documentElement();
    if (root.nodeName() != u"NetworkRequest"_s)
        return refuse(u"The request is not a NetworkRequest"_s);
    Request request;
    request.messageId = attributeText(root, u"MessageID"_s).toUpper();
    request.rectype = attributeText(root, u"RecordType"_s).trimmed().toUpper();
    request.recid = attributeText(root, u"RecordID"_s);
    request.resend = attributeText(root, u"Resend"_s).toInt();
    if (!isMessageId(request.messageId))
        return refuse(u"The request's MessageID is not 32 hexadecimal digits"_s);
    if (request.rectype.isEmpty())
        return refuse(u"The request names no RecordType"_s);
    if (!hasChild(root, u"Document"_s))
        return refuse(u"The request carries no Document"_s);
    request.document = childText(root, u"Document"_s);
    return request;
}

XmlDocument newAnswer(const QString &messageId, const QString &receipt, bool refused)
{
    XmlDocument doc;
    XmlNode root = doc.appendChild(doc.createElement(u"NetworkAnswer"_s));
    root.setAttribute(u"MessageID"_s, messageId);
    root.setAttribute(u"Receipt"_s, receipt);
    root.setAttribute(u"Status"_s, refused ? u"refused"_s : u"answered"_s);
    return doc;
}

QByteArray writeRefusal(const QString &messageId, const QString &receipt, const QString &code,
                        const QString &text)
{
    XmlDocument doc = newAnswer(messageId, receipt, true);
    XmlNode root = doc.documentElement();
    for (const auto &[name, value] : {std::pair{u"ErrorCode"_s, code}, {u"ErrorText"_s, text}}) {
        XmlNode e = root.appendChild(doc.createElement(name));
        e.appendChild(doc.createTextNode(value));
    }
    return doc.xml().toUtf8();
}

std::optional<Answer> readAnswer(const QByteArray &body, const QString &messageId, qint64 sizeLimit,
                                 QString *why)
{
    auto refuse = [why](const QString &reason) -> std::optional<Answer> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    if (body.size() > sizeLimit)
        return refuse(u"The answer is larger than "_s % QString::number(sizeLimit) % u" bytes"_s);
    Answer answer;
    if (!answer.envelope.loadXml(QString::fromUtf8(body)))
        return refuse(u"The answer is not well-formed XML"_s);
    const XmlNode root = answer.envelope.documentElement();
    if (root.nodeName() != u"NetworkAnswer"_s)
        return refuse(u"The answer is not a NetworkAnswer"_s);
    answer.messageId = attributeText(root, u"MessageID"_s);
    if (answer.messageId.compare(messageId, Qt::CaseInsensitive) != 0)
        return refuse(u"The answer names another document ("_s % answer.messageId.left(40) %
                      u")"_s);
    answer.receipt = attributeText(root, u"Receipt"_s).left(60);
    const QString status = attributeText(root, u"Status"_s);
    if (status == u"refused"_s) {
        answer.refused = true;
        answer.errorCode = childText(root, u"ErrorCode"_s).trimmed();
        answer.errorText = childText(root, u"ErrorText"_s).trimmed();
    } else if (status != u"answered"_s) {
        return refuse(u"The answer's Status is neither answered nor refused"_s);
    }
    return answer;
}

} // namespace orvane::transport::protocol
