#include <qorOrvaneUI/transport/NetworkAnswers.h>

#include "transport/TableObjects.h"

#include "transport/RowText.h"
#include <qorOrvaneUI/external/IEnvironment.h>
#include <qorOrvaneUI/external/IRsTable.h>
#include <qorOrvaneUI/external/Ig_ackn.h>
#include <qorOrvaneUI/external/Ig_trans.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/Value.h>
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QRandomGenerator>
#include <QTime>

#include <cmath>

using namespace Qt::StringLiterals;

namespace orvane::transport {

namespace {

using rowtext::cell;
using rowtext::progId;
using rowtext::put;
using rowtext::quoted;

QString digits(int count)
{
    QString out;
    for (int i = 0; i < count; ++i)
        out += QChar(u'0' + QRandomGenerator::global()->bounded(10));
    return out;
}

// The trimmed text of the first element of that name under `node`; empty
// when there is none.
QString textOf(const XmlNode &node, const QString &name)
{
    const XmlNode found = node.findFirst(XmlNameSet(name));
    return found.isNull() ? QString() : found.text().trimmed();
}

double numberOf(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

// "YYYYMMDD" as a date; Null when it is not one.
Value dateOf(const QString &text)
{
    const QDate date = QDate::fromString(text.trimmed(), u"yyyyMMdd"_s);
    return date.isValid() ? Value(date) : Value::null();
}

QString today()
{
    return QDate::currentDate().toString(u"yyyyMMdd"_s);
}

QString nowTime()
{
    return QTime::currentTime().toString(u"HH:mm:ss"_s);
}

// Element children of `parent` named `name`, in document order.
std::vector<XmlNode> childrenNamed(const XmlNode &parent, const QString &name)
{
    std::vector<XmlNode> out;
    const XmlNameSet wanted(name);
    for (XmlNode child = parent.firstChild(); !child.isNull(); child = child.nextSibling())
        if (child.nodeType() == xmlkind::Element && wanted.indexOf(child) == 0)
            out.push_back(child);
    return out;
}

// Builds elements under a parent of a document.
class DocWriter {
public:
    explicit DocWriter(XmlDocument &doc) : doc_(doc) {}
    XmlNode section(const XmlNode &parent, const QString &name)
    {
        return XmlNode(parent).appendChild(doc_.createElement(name));
    }
    void add(const XmlNode &parent, const QString &name, const QString &value)
    {
        XmlNode element = XmlNode(parent).appendChild(doc_.createElement(name));
        if (!value.isEmpty())
            element.appendChild(doc_.createTextNode(value));
    }

private:
    XmlDocument &doc_;
};

// The first element child of `parent` named `name`; null when none.
XmlNode childNamed(const XmlNode &parent, const QString &name)
{
    const std::vector<XmlNode> found = childrenNamed(parent, name);
    return found.empty() ? XmlNode() : found.front();
}

QString fact(const LossFacts *facts, const QString &column)
{
    return facts ? facts->notice.value(column.toLower()) : QString();
}

} // namespace

// --- the network's side ------------------------------------------------------------

void NetworkAnswerer::answer(const QString &rectype, const QString &recid,
                             const XmlDocument &request, XmlDocument &out,
                             XmlNode &answerParent) const
{
    const QString type = rectype.trimmed().toUpper();
    if (request.documentElement().isNull())
        throw Refused{u"The document is not well-formed XML"_s};
    if (type == u"AUTHREQ"_s)
        answerAuthorization(recid, request, out, answerParent);
    else if (type == u"ENOL"_s)
        answerNotice(recid, request, out, answerParent);
    else if (type == u"LOSSAH"_s)
        answerCoverage(request, out, answerParent);
    else
        throw Refused{u"Unknown record type '"_s % type % u"'"_s};
}

void NetworkAnswerer::answerAuthorization(const QString &recid, const XmlDocument &doc,
                                          XmlDocument &out, XmlNode &parent) const
{
    const XmlNode root = doc.documentElement();
    QString session = textOf(root, u"SessionID"_s);
    if (session.isEmpty())
        session = recid;
    const XmlNode details = root.findFirst(XmlNameSet(u"AuthorizationDetails"_s));
    const std::vector<XmlNode> lines =
        details.isNull() ? std::vector<XmlNode>{} : childrenNamed(details, u"AuthorizationType"_s);
    if (lines.empty())
        throw Refused{u"The authorization request has no lines"_s};

    DocWriter w(out);
    const XmlNode answer = w.section(parent, u"AuthorizationAnswer"_s);
    w.add(answer, u"SessionID"_s, session);
    for (const XmlNode &line : lines) {
        const QString part = textOf(line, u"RequestPart"_s);
        const double qty = numberOf(textOf(line, u"RequestQuantity"_s));
        const double price = numberOf(textOf(line, u"RequestPrice"_s));
        const bool refused = rules_.refusedPart.match(part).hasMatch();
        const XmlNode a = w.section(answer, u"Line"_s);
        w.add(a, u"LineNumber"_s, textOf(line, u"LineNumber"_s));
        if (refused) {
            w.add(a, u"AuthorizedPart"_s, QString());
            w.add(a, u"AcceptPrice"_s, u"0"_s);
            w.add(a, u"AcceptQuantity"_s, u"0"_s);
            w.add(a, u"ConfirmationCode"_s, QString());
            w.add(a, u"ErrorCode"_s, rules_.lineErrorCode);
            w.add(a, u"ErrorText"_s, rules_.lineErrorText);
        } else {
            const double accepted = std::round(price * rules_.acceptedPriceFactor * 100.0) / 100.0;
            w.add(a, u"AuthorizedPart"_s, part);
            w.add(a, u"AcceptPrice"_s, QString::number(accepted, 'f', 2));
            w.add(a, u"AcceptQuantity"_s, QString::number(qty, 'g', 15));
            w.add(a, u"ConfirmationCode"_s, QString(rules_.confirmationPrefix % digits(6)));
            w.add(a, u"ErrorCode"_s, u"0"_s);
            w.add(a, u"ErrorText"_s, QString());
        }
    }
}

void NetworkAnswerer::answerNotice(const QString &recid, const XmlDocument &doc, XmlDocument &out,
                                   XmlNode &parent) const
{
    const XmlNode root = doc.documentElement();
    QString guid = textOf(root, u"SessionID"_s);
    if (guid.isEmpty())
        guid = recid;
    const QString claim = textOf(root, u"LossIdentificationNumbers"_s);
    const bool refused = rules_.refusedClaim.match(claim).hasMatch();
    const QString lossRef = rules_.lossReferencePrefix % digits(8);

    DocWriter w(out);
    const XmlNode answer = w.section(parent, u"LossNoticeAnswer"_s);
    w.add(answer, u"SessionID"_s, guid);
    w.add(answer, u"ErrorCode"_s, refused ? rules_.noticeErrorCode : u"0"_s);
    w.add(answer, u"ErrorText"_s, refused ? rules_.noticeErrorText : rules_.noticeConfirmText);
    w.add(answer, u"LossReferenceNumber"_s, lossRef);
    w.add(answer, u"LossContact"_s, rules_.lossContact);
    if (refused)
        return;

    // The insurer's coverage request: one row per vehicle on the policy, the
    // noticed vehicle first.
    QString vehicleId = textOf(root, u"VehicleID"_s);
    if (vehicleId.isEmpty() || vehicleId == u"0"_s)
        vehicleId = u"1"_s;
    const QString description =
        QStringList{textOf(root, u"VehicleYear"_s), textOf(root, u"VehicleMake"_s),
                    textOf(root, u"VehicleModel"_s), textOf(root, u"VehicleStyle"_s)}
            .join(u' ')
            .simplified();
    const int vehicles = std::max(1, rules_.policyVehicles);
    for (int i = 0; i < vehicles; ++i) {
        const XmlNode c = w.section(answer, u"Coverage"_s);
        w.add(c, u"VehicleID"_s,
              i == 0 ? vehicleId : QString::number(qint64(numberOf(vehicleId)) + qint64(1000) * i));
        w.add(c, u"VehicleIDSource"_s, textOf(root, u"VehicleIDSource"_s));
        w.add(c, u"VehicleLineNumber"_s, QString::number(i + 1));
        w.add(c, u"Deductible"_s, QString::number(rules_.deductible, 'f', 2));
        w.add(c, u"VehicleNumber"_s, i == 0 ? textOf(root, u"VehicleNumber"_s) : QString());
        w.add(c, u"VehicleDescription"_s,
              i == 0 ? description : u"Other vehicle on the policy "_s % QString::number(i + 1));
        w.add(c, u"ErrorCode"_s, u"0"_s);
        w.add(c, u"ErrorText"_s, rules_.coverageText);
    }
}

void NetworkAnswerer::answerCoverage(const XmlDocument &doc, XmlDocument &out,
                                     XmlNode &parent) const
{
    const XmlNode root = doc.documentElement();
    const QString lossRef = textOf(root, u"LossReferenceNumber"_s);
    if (lossRef.isEmpty())
        throw Refused{u"The coverage answer names no loss reference"_s};
    const bool accepted = textOf(root, u"AcceptWork"_s).toUpper() == u"Y"_s;
    const bool confirmed = rules_.lossAckErrorCode.trimmed() == u"0"_s;

    DocWriter w(out);
    const XmlNode answer = w.section(parent, u"LossAckAnswer"_s);
    w.add(answer, u"LossReferenceNumber"_s, lossRef);
    w.add(answer, u"ErrorCode"_s, confirmed ? u"0"_s : rules_.lossAckErrorCode);
    // The wait view takes a decline as accepted when this text reads as the
    // number 0, which any plain sentence does.
    w.add(answer, u"ErrorText"_s,
          !confirmed ? rules_.lossAckErrorText
                     : (accepted ? rules_.lossAckErrorText : rules_.declineText));
    if (!accepted || !confirmed)
        return;

    // What the shop told the insurer about the loss. A loss the network never
    // saw gives a dispatch with only what the coverage answer carries.
    const std::optional<LossFacts> known = lossFacts ? lossFacts(lossRef) : std::nullopt;
    const LossFacts *facts = known ? &*known : nullptr;
    auto cellOf = [&](const char16_t *column) { return fact(facts, QString::fromUtf16(column)); };

    const QString number =
        rules_.dispatchPrefix % QDate::currentDate().toString(u"yyyy"_s) % u'-' % digits(6);
    const QString now = nowTime();
    const XmlNode dispatchRoot = w.section(parent, u"DispatchAssignment"_s);
    const XmlNode header = w.section(dispatchRoot, u"DispatchAssignmentHeader"_s);
    w.add(header, u"EnvironmentID"_s, u"PROD"_s);
    w.add(header, u"SessionID"_s, newGuid());
    w.add(header, u"OriginationPID"_s, cellOf(u"destpid"));
    w.add(header, u"OriginationCompanyID"_s, cellOf(u"orgcoid"));
    w.add(header, u"DestinationPID"_s, cellOf(u"origpid"));
    w.add(header, u"ReceivingCompanyID"_s, cellOf(u"origpid"));
    w.add(header, u"TransactionDate"_s, today());
    w.add(header, u"TransactionTime"_s, now);
    w.add(header, u"VersionNumber"_s, u"1.10"_s);

    const XmlNode details = w.section(dispatchRoot, u"DispatchAssignmentDetails"_s);
    const XmlNode dispatch = w.section(details, u"Dispatch"_s);
    w.add(dispatch, u"DispatchNumber"_s, number);
    w.add(dispatch, u"DispatchCreateDate"_s, today());
    w.add(dispatch, u"DispatchCreateTime"_s, now);
    w.add(dispatch, u"DateofLoss"_s, cellOf(u"lossdate"));
    w.add(dispatch, u"LossIdentificationNumbers"_s, cellOf(u"lossid"));
    w.add(dispatch, u"LossReferenceNumber"_s, lossRef);
    w.add(dispatch, u"ClaimType"_s, u"GLASS"_s);
    w.add(dispatch, u"ClaimTypeDescription"_s, u"Glass claim reported by notice of loss"_s);
    w.add(dispatch, u"InsurerID"_s, cellOf(u"insurerid"));
    w.add(dispatch, u"InsurerName"_s, rules_.insurerName);

    const XmlNode vehicle = w.section(dispatch, u"Vehicle"_s);
    w.add(vehicle, u"VehicleID"_s, textOf(root, u"VehicleID"_s));
    w.add(vehicle, u"VehicleIDSource"_s, textOf(root, u"VehicleIDSource"_s));
    w.add(vehicle, u"VehicleYear"_s, cellOf(u"year"));
    w.add(vehicle, u"VehicleMake"_s, cellOf(u"make"));
    w.add(vehicle, u"VehicleModel"_s, cellOf(u"model"));
    w.add(vehicle, u"VehicleStyle"_s, cellOf(u"body"));
    w.add(vehicle, u"VehicleIDNumber"_s, cellOf(u"vin"));

    const XmlNode insured = w.section(dispatch, u"Insured"_s);
    w.add(insured, u"InsuredOrClaimantFirstName"_s, cellOf(u"s_first"));
    w.add(insured, u"InsuredOrClaimantLastName"_s, cellOf(u"s_last"));
    w.add(insured, u"InsuredOrClaimantAddress"_s, cellOf(u"s_address"));
    w.add(insured, u"InsuredOrClaimantCity"_s, cellOf(u"s_city"));
    w.add(insured, u"InsuredOrClaimantStateProvince"_s, cellOf(u"s_state"));
    w.add(insured, u"InsuredOrClaimantPostalCode"_s, cellOf(u"s_zip"));
    w.add(insured, u"InsuredOrClaimantTelephone"_s, cellOf(u"s_phone"));
    w.add(insured, u"InsuredOrClaimantAlternateTelephone"_s, cellOf(u"s_altphone"));

    w.add(dispatch, u"Deductible"_s, QString::number(rules_.deductible, 'f', 2));
    w.add(dispatch, u"MaxRepairs"_s, u"3"_s);
    const XmlNode agent = w.section(dispatch, u"Agent"_s);
    w.add(agent, u"AgentFirstName"_s, cellOf(u"a_first"));
    w.add(agent, u"AgentLastName"_s, cellOf(u"a_last"));
    w.add(agent, u"AgentTelephone"_s, cellOf(u"a_phone"));
    w.add(dispatch, u"RequestedAppointmentDate"_s, textOf(root, u"RequestedAppointmentDate"_s));
    w.add(dispatch, u"MobileIndicator"_s, textOf(root, u"MobileIndicator"_s));
    w.add(dispatch, u"WorkLocationPostalCode"_s, textOf(root, u"WorkLocationPostalCode"_s));
    const XmlNode comments = w.section(dispatch, u"InsurerComments"_s);
    w.add(comments, u"Comment"_s, u"Work assignment for loss "_s % lossRef % u"."_s);
    if (facts) {
        for (const QHash<QString, QString> &line : facts->lines) {
            const XmlNode damage = w.section(dispatch, u"DamageInformation"_s);
            w.add(damage, u"OpeningTypeCode"_s, line.value(u"opentype"_s));
            w.add(damage, u"PositionCode"_s, line.value(u"poscode"_s));
            w.add(damage, u"SideCode"_s, line.value(u"sidecode"_s));
            w.add(damage, u"GlassDamageQuantity"_s, line.value(u"qty"_s));
        }
    }

    const XmlNode discounts = w.section(details, u"DiscountDetails"_s);
    const XmlNode discount = w.section(discounts, u"DiscountType"_s);
    w.add(discount, u"DiscountTypeCode"_s, u"GLS"_s);
    w.add(discount, u"DiscountTypeDescription"_s, u"Glass list discount"_s);
    w.add(discount, u"KitIndicator"_s, u"N"_s);
    w.add(discount, u"DiscountPercentage"_s, QString::number(rules_.glassDiscount));
    w.add(discount, u"HourlyIndicator"_s, u"N"_s);
    const XmlNode auths = w.section(details, u"AuthorizationDetails"_s);
    for (const auto &[type, name, description] :
         {std::tuple{u"G"_s, u"GLASS"_s, u"Glass part price authorization"_s},
          std::tuple{u"L"_s, u"LABOR"_s, u"Additional labour authorization"_s}}) {
        const XmlNode auth = w.section(auths, u"AuthorizationType"_s);
        w.add(auth, u"Type"_s, type);
        w.add(auth, u"Name"_s, name);
        w.add(auth, u"Description"_s, description);
        w.add(auth, u"OnlineEnabled"_s, u"Y"_s);
    }
    w.add(dispatchRoot, u"ReturnCode"_s, u"0"_s);
    w.add(dispatchRoot, u"ReturnText"_s, u"Dispatch accepted by network"_s);
}

LossFacts NetworkAnswerer::factsOfNotice(const XmlDocument &notice)
{
    LossFacts facts;
    const XmlNode root = notice.documentElement();
    if (root.isNull())
        return facts;
    static const std::pair<const char16_t *, const char16_t *> fields[] = {
        {u"origpid", u"OriginationPID"},
        {u"orgcoid", u"OriginationCompanyID"},
        {u"destpid", u"DestinationPID"},
        {u"insurerid", u"InsurerID"},
        {u"lossid", u"LossIdentificationNumbers"},
        {u"lossdate", u"DateOfLoss"},
        {u"year", u"VehicleYear"},
        {u"make", u"VehicleMake"},
        {u"model", u"VehicleModel"},
        {u"body", u"VehicleStyle"},
        {u"vin", u"VehicleIDNumber"},
        {u"s_first", u"InsuredOrClaimantFirstName"},
        {u"s_last", u"InsuredOrClaimantLastName"},
        {u"s_address", u"InsuredOrClaimantAddress"},
        {u"s_city", u"InsuredOrClaimantCity"},
        {u"s_state", u"InsuredOrClaimantStateProvince"},
        {u"s_zip", u"InsuredOrClaimantPostalCode"},
        {u"s_phone", u"InsuredOrClaimantTelephone"},
        {u"s_altphone", u"InsuredOrClaimantAlternateTelephone"},
        {u"a_first", u"AgentFirstName"},
        {u"a_last", u"AgentLastName"},
        {u"a_phone", u"AgentPhoneNumber"}};
    for (const auto &[column, element] : fields)
        facts.notice.insert(QString::fromUtf16(column), textOf(root, QString::fromUtf16(element)));
    const XmlNode details = root.findFirst(XmlNameSet(u"LossNoticeDetails"_s));
    if (!details.isNull()) {
        for (const XmlNode &damage : childrenNamed(details, u"DamageInformation"_s))
            facts.lines.push_back({{u"opentype"_s, textOf(damage, u"OpeningTypeCode"_s)},
                                   {u"poscode"_s, textOf(damage, u"PositionCode"_s)},
                                   {u"sidecode"_s, textOf(damage, u"SideCode"_s)},
                                   {u"qty"_s, textOf(damage, u"GlassDamageQuantity"_s)}});
    }
    return facts;
}

// --- the shop's side -------------------------------------------------------------------

WrittenAnswer AnswerWriter::write(const QString &rectype, const QString &recid,
                                  const XmlDocument &request, const XmlNode &answers,
                                  const Value &daskid, const Value &daskloc)
{
    WrittenAnswer written;
    const QString type = rectype.trimmed().toUpper();
    const XmlNode root = request.documentElement();
    if (root.isNull())
        throw Refused{u"The document is not well-formed XML"_s};

    if (type == u"AUTHREQ"_s) {
        QString session = textOf(root, u"SessionID"_s);
        if (session.isEmpty())
            session = recid;
        const XmlNode details = root.findFirst(XmlNameSet(u"AuthorizationDetails"_s));
        const std::vector<XmlNode> lines = details.isNull()
                                               ? std::vector<XmlNode>{}
                                               : childrenNamed(details, u"AuthorizationType"_s);
        if (lines.empty())
            throw Refused{u"The authorization request has no lines"_s};
        const XmlNode answer = childNamed(answers, u"AuthorizationAnswer"_s);
        if (answer.isNull())
            throw Refused{u"The answer holds no authorization answer"_s};
        if (textOf(answer, u"SessionID"_s) != session)
            throw Refused{u"The answer names another session"_s};
        const std::vector<XmlNode> answered = childrenNamed(answer, u"Line"_s);
        if (answered.size() != lines.size())
            throw Refused{u"The answer has "_s % QString::number(answered.size()) %
                          u" line(s) for "_s % QString::number(lines.size()) % u" requested"_s};

        auto ackn = CreateObject<ext::Ig_ackn>(progId(ext::progid::g_ackn));
        ackn->setEnv(env_);
        ackn->setblnnosave(false);
        // The answer to a line goes into the row the shop recorded for it when
        // it sent the request, so each line has one row, and the rows that
        // count as unread are exactly the answered ones.
        ackn->Get_g_ACKN(u"g_ackn.sessionid = "_s % quoted(session));
        Recordset rs = ackn->itemsrecordset();
        QHash<int, Value> requestRow;
        for (Recordset scan = rs.clone(); !scan.eof(); scan.moveNext())
            requestRow.insert(scan.value(u"linenumber"_s).toInt32(), scan.bookmark());
        const QDate answeredOn = QDate::currentDate();
        const QString answeredAt = nowTime();
        for (size_t position = 0; position < lines.size(); ++position) {
            const XmlNode &line = lines[position];
            const XmlNode &a = answered[position];
            const QString lineNumber = textOf(line, u"LineNumber"_s);
            // A number no line can have answers as the line at its position.
            const double given = std::trunc(numberOf(lineNumber));
            const int number =
                lineNumber.isEmpty() || std::fabs(given) > 1e9 ? int(position) + 1 : int(given);
            if (requestRow.contains(number))
                rs.setBookmark(requestRow.value(number));
            else
                rs.addNew();
            put(rs, u"sessionid"_s, session);
            put(rs, u"daskid"_s, daskid);
            put(rs, u"daskloc"_s, daskloc);
            put(rs, u"Ack"_s, false);
            put(rs, u"authtype"_s, textOf(line, u"Type"_s));
            put(rs, u"linenumber"_s, number);
            put(rs, u"part"_s, textOf(line, u"RequestPart"_s));
            put(rs, u"relatedpart"_s, textOf(line, u"RelatedPart"_s));
            put(rs, u"reqqty"_s, numberOf(textOf(line, u"RequestQuantity"_s)));
            put(rs, u"reqprice"_s,
                Value(numberOf(textOf(line, u"RequestPrice"_s))).convertedTo(ValueKind::Currency));
            put(rs, u"reasoncode"_s, textOf(line, u"ReasonCode"_s));
            put(rs, u"manualreq"_s, textOf(line, u"ManualRequest"_s) == u"Y"_s);
            put(rs, u"AuthPart"_s, textOf(a, u"AuthorizedPart"_s));
            put(rs, u"accPrice"_s,
                Value(numberOf(textOf(a, u"AcceptPrice"_s))).convertedTo(ValueKind::Currency));
            put(rs, u"accQty"_s, numberOf(textOf(a, u"AcceptQuantity"_s)));
            put(rs, u"ConfCode"_s, textOf(a, u"ConfirmationCode"_s));
            put(rs, u"ErrorCode"_s, textOf(a, u"ErrorCode"_s));
            put(rs, u"ErrorText"_s, textOf(a, u"ErrorText"_s));
            put(rs, u"Respdate"_s, answeredOn);
            put(rs, u"RespTime"_s, answeredAt);
            rs.update();
        }
        // All lines of one answer in one save: the wait view never sees half an answer.
        ackn->Update();
        written.answerLines = int(lines.size());
        return written;
    }

    if (type == u"ENOL"_s) {
        QString guid = textOf(root, u"SessionID"_s);
        if (guid.isEmpty())
            guid = recid;
        const XmlNode answer = childNamed(answers, u"LossNoticeAnswer"_s);
        if (answer.isNull())
            throw Refused{u"The answer holds no loss notice answer"_s};
        auto enol = CreateObject<ext::IRsTable>(progId(ext::progid::g_enol));
        enol->setEnv(env_);
        enol->get_rs(u"g_enol.guid = "_s % quoted(guid));
        Recordset notice = enol->itemsrecordset();
        if (notice.eof())
            throw Refused{u"No loss notice with guid "_s % guid};
        // A notice answered before (its row saved, then a later step failed)
        // keeps the loss reference the shop may already have seen.
        QString lossRef = cell(notice, u"Lossrefnum"_s);
        if (lossRef.isEmpty())
            lossRef = textOf(answer, u"LossReferenceNumber"_s);
        const QString code = textOf(answer, u"ErrorCode"_s);
        if (lossRef.isEmpty() && code == u"0"_s)
            throw Refused{u"The loss notice confirmation gives no loss reference"_s};
        put(notice, u"Lossrefnum"_s, lossRef);
        put(notice, u"Losscont"_s, textOf(answer, u"LossContact"_s));
        put(notice, u"ErrCode"_s, code);
        put(notice, u"ErrText"_s, textOf(answer, u"ErrorText"_s));
        put(notice, u"ACK"_s, false);
        enol->Update();
        written.notices = 1;

        const std::vector<XmlNode> coverage = childrenNamed(answer, u"Coverage"_s);
        if (coverage.empty())
            return written;
        auto cover = CreateObject<ext::IRsTable>(progId(ext::progid::g_cover));
        cover->setEnv(env_);
        cover->get_rs(u"g_cover.lossref = '1' and g_cover.lossref <> '1'"_s);
        Recordset rows = cover->itemsrecordset();
        for (const XmlNode &c : coverage) {
            rows.addNew();
            put(rows, u"lossref"_s, lossRef);
            put(rows, u"VehicleID"_s, textOf(c, u"VehicleID"_s));
            put(rows, u"Vehiclesrc"_s, textOf(c, u"VehicleIDSource"_s));
            put(rows, u"vehline"_s, textOf(c, u"VehicleLineNumber"_s));
            put(rows, u"Deductible"_s,
                Value(numberOf(textOf(c, u"Deductible"_s))).convertedTo(ValueKind::Currency));
            put(rows, u"VehNum"_s, textOf(c, u"VehicleNumber"_s));
            put(rows, u"VehDesc"_s, textOf(c, u"VehicleDescription"_s));
            put(rows, u"errorcode"_s, textOf(c, u"ErrorCode"_s));
            put(rows, u"ErrorText"_s, textOf(c, u"ErrorText"_s));
            put(rows, u"veherr"_s, u"0"_s);
            put(rows, u"veherrtext"_s, QString());
            put(rows, u"ack"_s, false);
            if (rows.fieldIndex(u"recvdate"_s) >= 0)
                put(rows, u"recvdate"_s, QDate::currentDate());
        }
        cover->Update();
        written.coverageRows = int(coverage.size());
        return written;
    }

    if (type == u"LOSSAH"_s) {
        const QString lossRef = textOf(root, u"LossReferenceNumber"_s);
        if (lossRef.isEmpty())
            throw Refused{u"The coverage answer names no loss reference"_s};
        const XmlNode answer = childNamed(answers, u"LossAckAnswer"_s);
        if (answer.isNull())
            throw Refused{u"The answer holds no loss acknowledgement"_s};
        const XmlNode dispatchDoc = childNamed(answers, u"DispatchAssignment"_s);
        const QString number =
            dispatchDoc.isNull() ? QString() : textOf(dispatchDoc, u"DispatchNumber"_s);
        if (!dispatchDoc.isNull() && number.isEmpty())
            throw Refused{u"The dispatch in the answer has no number"_s};

        auto lossack = CreateObject<ext::IRsTable>(progId(ext::progid::g_lossack));
        lossack->setEnv(env_);
        lossack->get_rs(u"g_lossack.guid = '1' and g_lossack.guid <> '1'"_s);
        Recordset rs = lossack->itemsrecordset();
        rs.addNew();
        put(rs, u"guid"_s, newGuid());
        put(rs, u"lossref"_s, lossRef);
        put(rs, u"Accept"_s, textOf(root, u"AcceptWork"_s).toUpper() == u"Y"_s);
        put(rs, u"vehid"_s, textOf(root, u"VehicleID"_s));
        put(rs, u"vehsrc"_s, textOf(root, u"VehicleIDSource"_s));
        put(rs, u"vehline"_s, textOf(root, u"VehicleLineNumber"_s));
        put(rs, u"installdat"_s, dateOf(textOf(root, u"RequestedAppointmentDate"_s)));
        put(rs, u"installtim"_s, textOf(root, u"RequestedAppointmentTime"_s));
        put(rs, u"Mobile"_s, textOf(root, u"MobileIndicator"_s).toUpper() == u"Y"_s);
        if (rs.fieldIndex(u"zip"_s) >= 0)
            put(rs, u"zip"_s, textOf(root, u"WorkLocationPostalCode"_s));
        put(rs, u"ack"_s, false);
        put(rs, u"errcode"_s, textOf(answer, u"ErrorCode"_s));
        put(rs, u"errtext"_s, textOf(answer, u"ErrorText"_s));
        lossack->Update();
        written.lossAcks = 1;
        if (dispatchDoc.isNull())
            return written;

        // The document first: the wait view looks the document up as soon as
        // it sees the g_dispatch row.
        auto trans = CreateObject<ext::Ig_trans>(progId(ext::progid::g_trans));
        trans->setEnv(env_);
        trans->get_g_trans(u"g_trans.guid = '1' and g_trans.guid <> '1'"_s);
        Recordset doc = trans->itemsrecordset();
        doc.addNew();
        put(doc, u"guid"_s, newGuid());
        put(doc, u"rectype"_s, u"DISPATCH"_s);
        put(doc, u"recid"_s, number);
        put(doc, u"xml"_s, dispatchDoc.xml());
        put(doc, u"processed"_s, false);
        if (doc.fieldIndex(u"transdate"_s) >= 0)
            put(doc, u"transdate"_s, QDate::currentDate());
        trans->Update();

        auto dispatches = CreateObject<ext::IRsTable>(progId(ext::progid::g_dispatch));
        dispatches->setEnv(env_);
        dispatches->get_rs(u"g_dispatch.lossidnum = '1' and g_dispatch.lossidnum <> '1'"_s);
        Recordset row = dispatches->itemsrecordset();
        row.addNew();
        put(row, u"lossidnum"_s, lossRef);
        put(row, u"Dispatch"_s, number);
        put(row, u"ack"_s, false);
        if (row.fieldIndex(u"recvdate"_s) >= 0)
            put(row, u"recvdate"_s, QDate::currentDate());
        dispatches->Update();
        written.dispatches = 1;
        return written;
    }
    throw Refused{u"Unknown record type '"_s % type % u"'"_s};
}

void AnswerWriter::writeRefusal(const QString &rectype, const QString &recid,
                                const XmlDocument &request, const QString &code,
                                const QString &text, const Value &daskid, const Value &daskloc)
{
    // The refusal as the answer the network would have given, so one writer
    // files both. A refused authorization line carries a code starting with "e".
    const QString type = rectype.trimmed().toUpper();
    const XmlNode root = request.documentElement();
    XmlDocument out;
    XmlNode answers = out.appendChild(out.createElement(u"NetworkAnswer"_s));
    DocWriter w(out);
    if (type == u"AUTHREQ"_s && !root.isNull()) {
        QString session = textOf(root, u"SessionID"_s);
        if (session.isEmpty())
            session = recid;
        const XmlNode details = root.findFirst(XmlNameSet(u"AuthorizationDetails"_s));
        const XmlNode answer = w.section(answers, u"AuthorizationAnswer"_s);
        w.add(answer, u"SessionID"_s, session);
        const QString lineCode = code.startsWith(u'e', Qt::CaseInsensitive) ? code : u"e"_s % code;
        if (!details.isNull())
            for (const XmlNode &line : childrenNamed(details, u"AuthorizationType"_s)) {
                const XmlNode a = w.section(answer, u"Line"_s);
                w.add(a, u"LineNumber"_s, textOf(line, u"LineNumber"_s));
                w.add(a, u"ErrorCode"_s, lineCode);
                w.add(a, u"ErrorText"_s, text);
            }
    } else if (type == u"ENOL"_s) {
        const XmlNode answer = w.section(answers, u"LossNoticeAnswer"_s);
        w.add(answer, u"ErrorCode"_s, code);
        w.add(answer, u"ErrorText"_s, text);
    } else if (type == u"LOSSAH"_s) {
        const XmlNode answer = w.section(answers, u"LossAckAnswer"_s);
        w.add(answer, u"ErrorCode"_s, code);
        w.add(answer, u"ErrorText"_s, text);
    }
    write(rectype, recid, request, answers, daskid, daskloc);
}

} // namespace orvane::transport
