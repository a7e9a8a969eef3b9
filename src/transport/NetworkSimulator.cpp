#include "NetworkSimulator.h"

#include "StagingDatabase.h"
#include "TableObjects.h"

#include "ObjectRegistry.h"
#include "Recordset.h"
#include "Value.h"
#include "VbError.h"
#include "XmlDocument.h"
#include "external/IEnvironment.h"
#include "external/IRsTable.h"
#include "external/Ig_ackn.h"
#include "external/Ig_trans.h"
#include "external/ProgIds.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QRandomGenerator>
#include <QTime>

#include <cmath>

using namespace Qt::StringLiterals;

namespace orvane::transport {

// A document the network reads and bounces; the row is done with, unlike a
// storage failure, which leaves it to be tried again.
struct NetworkSimulator::Refused {
    QString reason;
};

namespace {

QString progId(const char16_t *id)
{
    return QString::fromUtf16(id);
}

// A value as the filter dialect quotes it: the same splices the library's own
// quoting makes, so no document text can end the quoted value early.
QString quoted(QString text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0)
        text.truncate(nul);
    text.replace(u"'"_s, u"' + CHR(39) + '"_s);
    text.replace(u"\r"_s, u"' + CHR(13) + '"_s);
    text.replace(u"\n"_s, u"' + CHR(10) + '"_s);
    return u"'"_s % text % u"'"_s;
}

// Stores a value so that it fits the column: documents are the network's
// input and may carry longer texts than a column holds.
void put(Recordset &rs, const QString &name, const Value &value)
{
    Field field = rs.field(name);
    if (isTextType(field.type()) && !value.isNull()) {
        field.setValue(field.fitted(value.toText()));
        return;
    }
    field.setValue(value);
}

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

// Builds the dispatch document element by element.
class DocWriter {
public:
    explicit DocWriter(const QString &rootName)
    {
        root_ = doc_.appendChild(doc_.createElement(rootName));
    }
    XmlNode root() const { return root_; }
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
    QString xml() const { return doc_.xml(); }

private:
    XmlDocument doc_;
    XmlNode root_;
};

QString cell(const Recordset &rs, const QString &name)
{
    if (rs.eof() || rs.bof() || rs.fieldIndex(name) < 0)
        return {};
    const Value v = rs.value(name);
    if (v.isNull() || v.isEmpty())
        return {};
    if (v.kind() == ValueKind::Date)
        return v.toDate().date().toString(u"yyyyMMdd"_s);
    return v.toText().trimmed();
}

} // namespace

NetworkSimulator::NetworkSimulator(std::shared_ptr<ext::IEnvironment> env, NetworkRules rules)
    : env_(std::move(env)), rules_(std::move(rules))
{
}

SimulationReport NetworkSimulator::runOnce(int maxDocuments)
{
    SimulationReport report;
    Clsg_trans claimer;
    claimer.setEnv(env_);
    StagingDatabase &db = claimer.core().database();
    const sql::TableDef &table = claimer.core().table();
    Recordset waiting =
        db.load(table, u"g_trans.processed = .F. AND g_trans.rectype <> 'DISPATCH'"_s);

    int taken = 0;
    for (; !waiting.eof() && (maxDocuments <= 0 || taken < maxDocuments); waiting.moveNext()) {
        const QString byId = u"g_trans.id = "_s % QString::number(waiting.value(u"id"_s).toInt64());
        QString rectype = waiting.value(u"rectype"_s).toText().trimmed().toUpper();
        QString recid = waiting.value(u"recid"_s).toText().trimmed();
        QString bounced;
        bool claimed = false;
        try {
            // The claim, the answer and the processed mark are one transaction:
            // of two simulators the second finds the row taken, and one killed
            // half-way leaves the row waiting with no part of its answer stored.
            db.writeTransaction([&] {
                Recordset rows = db.claim(table, byId, u"processed"_s);
                if (rows.eof())
                    return; // another simulator took it
                claimed = true;
                try {
                    XmlDocument doc;
                    if (!doc.loadXml(rows.value(u"xml"_s).toText()))
                        throw Refused{u"The document is not well-formed XML"_s};
                    if (rectype == u"AUTHREQ"_s)
                        answerAuthorization(recid, doc, rows.value(u"daskid"_s),
                                            rows.value(u"daskloc"_s), report);
                    else if (rectype == u"ENOL"_s)
                        answerNotice(recid, doc, report);
                    else if (rectype == u"LOSSAH"_s)
                        answerCoverage(doc, report);
                    else
                        throw Refused{u"Unknown record type '"_s % rectype % u"'"_s};
                } catch (const Refused &refused) {
                    // Refused before anything of an answer was written.
                    bounced = refused.reason;
                }
                auto trans = CreateObject<ext::Ig_trans>(progId(ext::progid::g_trans));
                trans->setEnv(env_);
                trans->get_g_trans(byId);
                Recordset row = trans->itemsrecordset();
                put(row, u"procdate"_s, Value(QDate::currentDate()));
                put(row, u"errortext"_s, bounced);
                trans->Update();
            });
        } catch (const VbError &e) {
            // Nothing of it was stored; the row waits for the next run.
            claimed = false;
            bounced.clear();
            report.problems << rectype % u' ' % recid % u": error "_s %
                                   QString::number(e.number()) % u' ' % e.description();
        }
        if (!claimed)
            continue;
        ++taken;
        if (!bounced.isEmpty()) {
            ++report.bounced;
            report.problems << rectype % u' ' % recid % u": "_s % bounced;
        } else {
            ++report.documents;
        }
    }
    return report;
}

void NetworkSimulator::answerAuthorization(const QString &recid, const XmlDocument &doc,
                                           const Value &daskid, const Value &daskloc,
                                           SimulationReport &report)
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

    auto ackn = CreateObject<ext::Ig_ackn>(progId(ext::progid::g_ackn));
    ackn->setEnv(env_);
    ackn->setblnnosave(false);
    // The answer to a line goes into the row the shop recorded for it when it
    // sent the request, so each line has one row, and the rows that count as
    // unread are exactly the answered ones.
    ackn->Get_g_ACKN(u"g_ackn.sessionid = "_s % quoted(session));
    Recordset rs = ackn->itemsrecordset();
    QHash<int, Value> requestRow;
    for (Recordset scan = rs.clone(); !scan.eof(); scan.moveNext())
        requestRow.insert(scan.value(u"linenumber"_s).toInt32(), scan.bookmark());
    const QDate answered = QDate::currentDate();
    const QString answeredAt = nowTime();
    int position = 0;
    for (const XmlNode &line : lines) {
        ++position;
        const QString part = textOf(line, u"RequestPart"_s);
        const double qty = numberOf(textOf(line, u"RequestQuantity"_s));
        const double price = numberOf(textOf(line, u"RequestPrice"_s));
        const QString lineNumber = textOf(line, u"LineNumber"_s);
        const bool refused = rules_.refusedPart.match(part).hasMatch();

        // A number no line can have answers as the line at its position.
        const double given = std::trunc(numberOf(lineNumber));
        const int number = lineNumber.isEmpty() || std::fabs(given) > 1e9 ? position : int(given);
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
        put(rs, u"part"_s, part);
        put(rs, u"relatedpart"_s, textOf(line, u"RelatedPart"_s));
        put(rs, u"reqqty"_s, qty);
        put(rs, u"reqprice"_s, Value(price).convertedTo(ValueKind::Currency));
        put(rs, u"reasoncode"_s, textOf(line, u"ReasonCode"_s));
        put(rs, u"manualreq"_s, textOf(line, u"ManualRequest"_s) == u"Y"_s);
        if (refused) {
            put(rs, u"AuthPart"_s, QString());
            put(rs, u"accPrice"_s, Value(0.0).convertedTo(ValueKind::Currency));
            put(rs, u"accQty"_s, 0.0);
            put(rs, u"ConfCode"_s, QString());
            put(rs, u"ErrorCode"_s, rules_.lineErrorCode);
            put(rs, u"ErrorText"_s, rules_.lineErrorText);
        } else {
            const double accepted = std::round(price * rules_.acceptedPriceFactor * 100.0) / 100.0;
            put(rs, u"AuthPart"_s, part);
            put(rs, u"accPrice"_s, Value(accepted).convertedTo(ValueKind::Currency));
            put(rs, u"accQty"_s, qty);
            put(rs, u"ConfCode"_s, QString(rules_.confirmationPrefix % digits(6)));
            put(rs, u"ErrorCode"_s, u"0"_s);
            put(rs, u"ErrorText"_s, QString());
        }
        put(rs, u"Respdate"_s, answered);
        put(rs, u"RespTime"_s, answeredAt);
        rs.update();
    }
    // All lines of one answer in one save: the wait view never sees half an answer.
    ackn->Update();
    report.answerLines += int(lines.size());
}

void NetworkSimulator::answerNotice(const QString &recid, const XmlDocument &doc,
                                    SimulationReport &report)
{
    const XmlNode root = doc.documentElement();
    QString guid = textOf(root, u"SessionID"_s);
    if (guid.isEmpty())
        guid = recid;
    auto enol = CreateObject<ext::IRsTable>(progId(ext::progid::g_enol));
    enol->setEnv(env_);
    enol->get_rs(u"g_enol.guid = "_s % quoted(guid));
    Recordset notice = enol->itemsrecordset();
    if (notice.eof())
        throw Refused{u"No loss notice with guid "_s % guid};

    QString claim = textOf(root, u"LossIdentificationNumbers"_s);
    if (claim.isEmpty())
        claim = cell(notice, u"lossid"_s);
    const bool refused = rules_.refusedClaim.match(claim).hasMatch();
    // A notice answered before (its row saved, then a later step failed)
    // keeps the loss reference the shop may already have seen.
    QString lossRef = cell(notice, u"Lossrefnum"_s);
    if (lossRef.isEmpty())
        lossRef = rules_.lossReferencePrefix % digits(8);

    put(notice, u"Lossrefnum"_s, lossRef);
    put(notice, u"Losscont"_s, rules_.lossContact);
    put(notice, u"ErrCode"_s, refused ? rules_.noticeErrorCode : u"0"_s);
    put(notice, u"ErrText"_s, refused ? rules_.noticeErrorText : rules_.noticeConfirmText);
    put(notice, u"ACK"_s, false);
    enol->Update();
    ++report.notices;
    if (refused)
        return;

    // The insurer's coverage request: one row per vehicle on the policy, the
    // noticed vehicle first.
    auto cover = CreateObject<ext::IRsTable>(progId(ext::progid::g_cover));
    cover->setEnv(env_);
    cover->get_rs(u"g_cover.lossref = '1' and g_cover.lossref <> '1'"_s);
    Recordset rows = cover->itemsrecordset();
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
        rows.addNew();
        put(rows, u"lossref"_s, lossRef);
        put(rows, u"VehicleID"_s,
            i == 0 ? vehicleId : QString::number(qint64(numberOf(vehicleId)) + 1000 * i));
        put(rows, u"Vehiclesrc"_s, textOf(root, u"VehicleIDSource"_s));
        put(rows, u"vehline"_s, QString::number(i + 1));
        put(rows, u"Deductible"_s, Value(rules_.deductible).convertedTo(ValueKind::Currency));
        put(rows, u"VehNum"_s, i == 0 ? textOf(root, u"VehicleNumber"_s) : QString());
        put(rows, u"VehDesc"_s,
            i == 0 ? description : u"Other vehicle on the policy "_s % QString::number(i + 1));
        put(rows, u"errorcode"_s, u"0"_s);
        put(rows, u"ErrorText"_s, rules_.coverageText);
        put(rows, u"veherr"_s, u"0"_s);
        put(rows, u"veherrtext"_s, QString());
        put(rows, u"ack"_s, false);
        if (rows.fieldIndex(u"recvdate"_s) >= 0)
            put(rows, u"recvdate"_s, QDate::currentDate());
    }
    cover->Update();
    report.coverageRows += vehicles;
}

void NetworkSimulator::answerCoverage(const XmlDocument &doc, SimulationReport &report)
{
    const XmlNode root = doc.documentElement();
    const QString lossRef = textOf(root, u"LossReferenceNumber"_s);
    if (lossRef.isEmpty())
        throw Refused{u"The coverage answer names no loss reference"_s};
    const bool accepted = textOf(root, u"AcceptWork"_s).toUpper() == u"Y"_s;
    const bool confirmed = rules_.lossAckErrorCode.trimmed() == u"0"_s;

    auto lossack = CreateObject<ext::IRsTable>(progId(ext::progid::g_lossack));
    lossack->setEnv(env_);
    lossack->get_rs(u"g_lossack.guid = '1' and g_lossack.guid <> '1'"_s);
    Recordset rs = lossack->itemsrecordset();
    rs.addNew();
    put(rs, u"guid"_s, newGuid());
    put(rs, u"lossref"_s, lossRef);
    put(rs, u"Accept"_s, accepted);
    put(rs, u"vehid"_s, textOf(root, u"VehicleID"_s));
    put(rs, u"vehsrc"_s, textOf(root, u"VehicleIDSource"_s));
    put(rs, u"vehline"_s, textOf(root, u"VehicleLineNumber"_s));
    put(rs, u"installdat"_s, dateOf(textOf(root, u"RequestedAppointmentDate"_s)));
    put(rs, u"installtim"_s, textOf(root, u"RequestedAppointmentTime"_s));
    put(rs, u"Mobile"_s, textOf(root, u"MobileIndicator"_s).toUpper() == u"Y"_s);
    if (rs.fieldIndex(u"zip"_s) >= 0)
        put(rs, u"zip"_s, textOf(root, u"WorkLocationPostalCode"_s));
    put(rs, u"ack"_s, false);
    put(rs, u"errcode"_s, confirmed ? u"0"_s : rules_.lossAckErrorCode);
    // The wait view takes a decline as accepted when this text reads as the
    // number 0, which any plain sentence does.
    put(rs, u"errtext"_s,
        !confirmed ? rules_.lossAckErrorText
                   : (accepted ? rules_.lossAckErrorText : rules_.declineText));
    lossack->Update();
    ++report.lossAcks;

    if (accepted && confirmed)
        sendDispatch(lossRef, doc, report);
}

void NetworkSimulator::sendDispatch(const QString &lossRef, const XmlDocument &coverageAnswer,
                                    SimulationReport &report)
{
    const XmlNode answer = coverageAnswer.documentElement();

    // What the shop told the insurer about the loss: the notice row and its
    // damage lines. A loss the simulator never saw gives a dispatch with only
    // what the coverage answer carries.
    auto enol = CreateObject<ext::IRsTable>(progId(ext::progid::g_enol));
    enol->setEnv(env_);
    enol->get_rs(u"g_enol.Lossrefnum = "_s % quoted(lossRef));
    const Recordset notice = enol->itemsrecordset();
    Recordset lines;
    if (!notice.eof()) {
        auto enolline = CreateObject<ext::IRsTable>(progId(ext::progid::g_enolline));
        enolline->setEnv(env_);
        enolline->get_rs(u"g_enolline.nolguid = "_s % quoted(cell(notice, u"guid"_s)));
        lines = enolline->itemsrecordset();
    }

    const QString number =
        rules_.dispatchPrefix % QDate::currentDate().toString(u"yyyy"_s) % u'-' % digits(6);
    const QString now = nowTime();
    DocWriter w(u"DispatchAssignment"_s);
    const XmlNode header = w.section(w.root(), u"DispatchAssignmentHeader"_s);
    w.add(header, u"EnvironmentID"_s, u"PROD"_s);
    w.add(header, u"SessionID"_s, newGuid());
    w.add(header, u"OriginationPID"_s, cell(notice, u"destpid"_s));
    w.add(header, u"OriginationCompanyID"_s, cell(notice, u"orgcoid"_s));
    w.add(header, u"DestinationPID"_s, cell(notice, u"origpid"_s));
    w.add(header, u"ReceivingCompanyID"_s, cell(notice, u"origpid"_s));
    w.add(header, u"TransactionDate"_s, today());
    w.add(header, u"TransactionTime"_s, now);
    w.add(header, u"VersionNumber"_s, u"1.10"_s);

    const XmlNode details = w.section(w.root(), u"DispatchAssignmentDetails"_s);
    const XmlNode dispatch = w.section(details, u"Dispatch"_s);
    w.add(dispatch, u"DispatchNumber"_s, number);
    w.add(dispatch, u"DispatchCreateDate"_s, today());
    w.add(dispatch, u"DispatchCreateTime"_s, now);
    w.add(dispatch, u"DateofLoss"_s, cell(notice, u"lossdate"_s));
    w.add(dispatch, u"LossIdentificationNumbers"_s, cell(notice, u"lossid"_s));
    w.add(dispatch, u"LossReferenceNumber"_s, lossRef);
    w.add(dispatch, u"ClaimType"_s, u"GLASS"_s);
    w.add(dispatch, u"ClaimTypeDescription"_s, u"Glass claim reported by notice of loss"_s);
    w.add(dispatch, u"InsurerID"_s, cell(notice, u"insurerid"_s));
    w.add(dispatch, u"InsurerName"_s, rules_.insurerName);

    const XmlNode vehicle = w.section(dispatch, u"Vehicle"_s);
    w.add(vehicle, u"VehicleID"_s, textOf(answer, u"VehicleID"_s));
    w.add(vehicle, u"VehicleIDSource"_s, textOf(answer, u"VehicleIDSource"_s));
    w.add(vehicle, u"VehicleYear"_s, cell(notice, u"year"_s));
    w.add(vehicle, u"VehicleMake"_s, cell(notice, u"make"_s));
    w.add(vehicle, u"VehicleModel"_s, cell(notice, u"model"_s));
    w.add(vehicle, u"VehicleStyle"_s, cell(notice, u"body"_s));
    w.add(vehicle, u"VehicleIDNumber"_s, cell(notice, u"vin"_s));

    const XmlNode insured = w.section(dispatch, u"Insured"_s);
    w.add(insured, u"InsuredOrClaimantFirstName"_s, cell(notice, u"s_first"_s));
    w.add(insured, u"InsuredOrClaimantLastName"_s, cell(notice, u"s_last"_s));
    w.add(insured, u"InsuredOrClaimantAddress"_s, cell(notice, u"s_address"_s));
    w.add(insured, u"InsuredOrClaimantCity"_s, cell(notice, u"s_city"_s));
    w.add(insured, u"InsuredOrClaimantStateProvince"_s, cell(notice, u"s_state"_s));
    w.add(insured, u"InsuredOrClaimantPostalCode"_s, cell(notice, u"s_zip"_s));
    w.add(insured, u"InsuredOrClaimantTelephone"_s, cell(notice, u"s_phone"_s));
    w.add(insured, u"InsuredOrClaimantAlternateTelephone"_s, cell(notice, u"s_altphone"_s));

    w.add(dispatch, u"Deductible"_s, QString::number(rules_.deductible, 'f', 2));
    w.add(dispatch, u"MaxRepairs"_s, u"3"_s);
    const XmlNode agent = w.section(dispatch, u"Agent"_s);
    w.add(agent, u"AgentFirstName"_s, cell(notice, u"a_first"_s));
    w.add(agent, u"AgentLastName"_s, cell(notice, u"a_last"_s));
    w.add(agent, u"AgentTelephone"_s, cell(notice, u"a_phone"_s));
    w.add(dispatch, u"RequestedAppointmentDate"_s, textOf(answer, u"RequestedAppointmentDate"_s));
    w.add(dispatch, u"MobileIndicator"_s, textOf(answer, u"MobileIndicator"_s));
    w.add(dispatch, u"WorkLocationPostalCode"_s, textOf(answer, u"WorkLocationPostalCode"_s));
    const XmlNode comments = w.section(dispatch, u"InsurerComments"_s);
    w.add(comments, u"Comment"_s, u"Work assignment for loss "_s % lossRef % u"."_s);
    if (lines.isOpen()) {
        for (; !lines.eof(); lines.moveNext()) {
            const XmlNode damage = w.section(dispatch, u"DamageInformation"_s);
            w.add(damage, u"OpeningTypeCode"_s, cell(lines, u"opentype"_s));
            w.add(damage, u"PositionCode"_s, cell(lines, u"poscode"_s));
            w.add(damage, u"SideCode"_s, cell(lines, u"sidecode"_s));
            w.add(damage, u"GlassDamageQuantity"_s, cell(lines, u"qty"_s));
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
    w.add(w.root(), u"ReturnCode"_s, u"0"_s);
    w.add(w.root(), u"ReturnText"_s, u"Dispatch accepted by network"_s);

    // The document first: the wait view looks the document up as soon as it
    // sees the g_dispatch row.
    auto trans = CreateObject<ext::Ig_trans>(progId(ext::progid::g_trans));
    trans->setEnv(env_);
    trans->get_g_trans(u"g_trans.guid = '1' and g_trans.guid <> '1'"_s);
    Recordset doc = trans->itemsrecordset();
    doc.addNew();
    put(doc, u"guid"_s, newGuid());
    put(doc, u"rectype"_s, u"DISPATCH"_s);
    put(doc, u"recid"_s, number);
    put(doc, u"xml"_s, w.xml());
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
    ++report.dispatches;
}

} // namespace orvane::transport
