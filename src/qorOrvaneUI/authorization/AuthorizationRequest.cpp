#include "qorOrvaneUI/authorization/AuthorizationRequest.h"

#include "qorOrvaneUI/authorization/AuthorizationText.h"
#include "qorOrvaneUI/core/LibraryView.h"
#include "qorOrvaneUI/core/Orvanemod.h"
#include "qorOrvaneUI/core/StagingWrites.h"
#include "qorOrvaneUI/core/TransactionQueue.h"
#include "qorOrvaneUI/core/XMLUtilmod.h"
#include "qorOrvaneUI/core/modOrvane.h"
#include "runtime/vb.h"
#include <qorOrvaneUI/dispatch/clsShowDispatch.h>
#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/external/ILineItems.h>
#include <qorOrvaneUI/external/Ig_ackn.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/VbError.h>

#include <vector>

using namespace Qt::StringLiterals;
using orvane::authorization::flagOf;
using orvane::authorization::numberOf;
using orvane::authorization::quoted;
using orvane::authorization::textOf;
using orvane::authorization::valueOf;
using vb::Trim;

namespace orvane::authorization {

namespace {

using modOrvane::CRLF;
const QString kView = u"qorOrvaneUI.Authorizationfrm."_s;

// Reason texts offered for a kind of authorization, and the code each stands for.
// The texts are what the line stores; the grid shows them translated.
const std::vector<const char *> &reasonTexts(const QString &typeCode)
{
    static const std::vector<const char *> yesNo{
        QT_TRANSLATE_NOOP("orvane::authorization::Authorizationfrm", "Yes"),
        QT_TRANSLATE_NOOP("orvane::authorization::Authorizationfrm", "No")};
    static const std::vector<const char *> choice{
        QT_TRANSLATE_NOOP("orvane::authorization::Authorizationfrm", "After-market not available"),
        QT_TRANSLATE_NOOP("orvane::authorization::Authorizationfrm", "Customer request"),
        QT_TRANSLATE_NOOP("orvane::authorization::Authorizationfrm", "After-market quality issue")};
    static const std::vector<const char *> none;
    if (typeCode == u"1"_s)
        return yesNo;
    if (typeCode == u"6"_s || typeCode == u"9"_s || typeCode == u"15"_s)
        return choice;
    return none;
}

// Sub-kinds of hardware that are mouldings.
bool isMouldingSubKind(const QString &subKind)
{
    static const QStringList mouldings{u"ML"_s, u"WS"_s, u"PG"_s, u"GS"_s, u"ES"_s,
                                       u"FL"_s, u"BD"_s, u"LP"_s, u"M1"_s};
    return mouldings.contains(subKind);
}

QString reasonCodeOf(const QString &reasonText)
{
    const QString key = vb::UCase(Trim(reasonText));
    if (key == u"YES"_s)
        return u"4"_s;
    if (key == u"NO"_s)
        return u"5"_s;
    if (key == u"AFTER-MARKET NOT AVAILABLE"_s)
        return u"1"_s;
    if (key == u"CUSTOMER REQUEST"_s)
        return u"2"_s;
    if (key == u"AFTER-MARKET QUALITY ISSUE"_s)
        return u"3"_s;
    return {};
}

// Text cut to the field's defined size by the record set's own rule, untrimmed.
void setFitted(Recordset &rs, const QString &field, const QString &text)
{
    rs.setValue(field, rs.field(field).fitted(text));
}

bool onRow(const Recordset &rs)
{
    return !rs.eof() && !rs.bof();
}

} // namespace

Choices AuthorizationRequest::reasonsFor(const QString &typeCode)
{
    Choices list;
    for (const char *reason : reasonTexts(typeCode))
        list.append({QString::fromUtf8(reason), tr(reason)});
    return list;
}

void AuthorizationRequest::reportTrapped(const Proc &p) const noexcept
{
    ui::reportTrapped(invoice_, p);
}

void AuthorizationRequest::release()
{
    invoice_.reset();
    dispatch_ = XmlDocument();
    lines_ = types_ = typeLookup_ = dispatchAuths_ = Recordset();
}

bool AuthorizationRequest::load()
{
    Proc p(kView % u"Form_Activate"_s);
    try {
        p.at(10);
        QString xml = dispatch_.xml();
        orvane::dispatch::clsShowDispatch dispatch;
        dispatchAuths_ = dispatch.GetAuths(xml);
        p.at(20);
        CreateRS();
        SetColumns();
        PopulateRS();
        return true;
    } catch (...) {
        reportTrapped(p);
        return false;
    }
}

void AuthorizationRequest::showAll(bool all)
{
    lines_.setFilter(all ? QString() : u"Filter = False"_s);
}

bool AuthorizationRequest::typeEdited()
{
    const QString name = textOf(lines_, u"TypeDesc"_s);
    if (!findType(u"Name = "_s % quoted(name))) {
        lines_.setValue(u"TypeDesc"_s, QString());
        lines_.update();
        return false;
    }
    setFitted(lines_, u"Type"_s, textOf(typeLookup_, u"code"_s));
    SetReason();
    lines_.update();
    return true;
}

void AuthorizationRequest::reasonEdited()
{
    const QString code = reasonCodeOf(textOf(lines_, u"ReasonCodeName"_s));
    if (code.isEmpty())
        lines_.setValue(u"ReasonCodeName"_s, QString());
    else
        lines_.setValue(u"ReasonCode"_s, code);
    lines_.update();
}

void AuthorizationRequest::CreateRS()
{
    Proc p(kView % u"CreateRS"_s);
    try {
        p.at(10);
        Recordset rs;
        rs.appendField(u"Authorize"_s, ftype::Bool);
        rs.appendField(u"Type"_s, ftype::Text, 15);
        rs.appendField(u"TypeDesc"_s, ftype::Text, 50);
        rs.appendField(u"Part"_s, ftype::Text, 30);
        rs.appendField(u"RelatedPart"_s, ftype::Text, 30);
        rs.appendField(u"Qty"_s, ftype::Int32);
        rs.appendField(u"Price"_s, ftype::Double);
        rs.appendField(u"ReasonCode"_s, ftype::Text, 10);
        rs.appendField(u"ReasonCodeName"_s, ftype::Text, 30);
        rs.appendField(u"ManualRequest"_s, ftype::Bool);
        rs.appendField(u"RequestDescription"_s, ftype::Text, 40);
        rs.appendField(u"RequestExplanation"_s, ftype::Text, 50);
        rs.appendField(u"Fax"_s, ftype::Bool);
        rs.appendField(u"Filter"_s, ftype::Bool);
        rs.appendField(u"Hardware"_s, ftype::Bool);
        p.at(20);
        rs.open();
        lines_ = rs;
    } catch (...) {
        reportTrapped(p);
    }
}

void AuthorizationRequest::SetColumns()
{
    Proc p(kView % u"SetColumns"_s);
    try {
        p.at(10);
        types_ = Orvanemod::AuthorizationTypes();
        p.at(20);
        typeNames_.clear();
        Recordset names = types_.clone();
        for (names.moveFirst(); !names.eof(); names.moveNext())
            typeNames_ << textOf(names, u"Name"_s);
        p.at(30);
        typeLookup_ = types_.clone();
    } catch (...) {
        reportTrapped(p);
    }
}

bool AuthorizationRequest::findType(const QString &criteria)
{
    if (typeLookup_.recordCount() == 0)
        return false;
    typeLookup_.moveFirst();
    typeLookup_.find(criteria);
    return !typeLookup_.eof();
}

void AuthorizationRequest::PopulateRS()
{
    Proc p(kView % u"PopulateRS"_s);
    try {
        p.at(10);
        const auto lineItems = required(required(invoice_)->getlineitems());
        Recordset lines = lineItems->itemsrecordset().clone();
        Recordset previous = lines.clone();
        p.at(20);
        relatedParts_ = {{QString(), QString()}};
        p.at(30);
        if (lines.recordCount() > 0) {
            for (lines.moveFirst(); !lines.eof(); lines.moveNext()) {
                p.at(40);
                lines_.addNew();
                lines_.setValue(u"Authorize"_s, false);
                for (const QString &flag :
                     {u"ManualRequest"_s, u"Fax"_s, u"Filter"_s, u"Hardware"_s})
                    lines_.setValue(flag, false);
                const QString mfrPart = textOf(lines, u"mfr_part"_s);
                const QString typeOfPart = textOf(lines, u"typeofpart"_s);
                setFitted(lines_, u"Part"_s, Trim(mfrPart));

                p.at(50);
                // Hardware belongs to the nearest glass line above it.
                if (vb::Left(typeOfPart, 1) == u"H"_s) {
                    previous.setBookmark(lines.bookmark());
                    while (!previous.bof()) {
                        if (vb::Left(textOf(previous, u"typeofpart"_s), 1) == u"G"_s) {
                            setFitted(lines_, u"RelatedPart"_s, textOf(previous, u"mfr_part"_s));
                            break;
                        }
                        previous.movePrevious();
                    }
                }

                p.at(60);
                if (vb::Left(typeOfPart, 1) == u"K"_s) {
                    const QString kit = Trim(typeOfPart);
                    lines_.setValue(u"Filter"_s, !(kit == u"K LU"_s || kit == u"K RS"_s));
                }

                p.at(70);
                try {
                    // A line already confirmed needs no second request.
                    if (!Trim(textOf(lines, u"Conf"_s)).isEmpty())
                        lines_.setValue(u"Filter"_s, true);
                } catch (const VbError &) {
                    // an order whose lines carry no confirmation code
                }

                p.at(80);
                const QString part = textOf(lines, u"part"_s);
                bool typed = findType(u"name="_s % quoted(vb::UCase(part)));
                if (!typed) {
                    p.at(90);
                    const QString trimmedPart = Trim(part);
                    const QString firstTwo = vb::Left(trimmedPart, 2);
                    const QString kind = Trim(typeOfPart);
                    const QString subKind = vb::Mid(typeOfPart, 3, 2);
                    QString code;
                    if (firstTwo == u"DY"_s || firstTwo == u"FY"_s) {
                        code = u"2"_s;
                    } else if (firstTwo == u"DR"_s || firstTwo == u"FR"_s) {
                        code = u"10"_s;
                    } else if (kind.startsWith(u'G')) {
                        if (Trim(textOf(lines, u"mfr"_s)) != u"NAG"_s)
                            code = u"6"_s;
                        else if (vb::Mid(trimmedPart, 11, 1) == u"Y"_s)
                            code = u"9"_s;
                        else if (numberOf(lines, u"Net"_s) == 0)
                            code = u"11"_s;
                        else if (!flagOf(lines, u"Discounted"_s))
                            code = u"25"_s;
                        else
                            lines_.setValue(u"Filter"_s, true);
                    } else if (kind.startsWith(u'H')) {
                        lines_.setValue(u"Hardware"_s, true);
                        const bool fromMaker = vb::Val(textOf(lines, u"mfr"_s)) > 0;
                        const bool moulding = isMouldingSubKind(subKind);
                        code = fromMaker ? (moulding ? u"15"_s : u"17"_s)
                                         : (moulding ? u"14"_s : u"8"_s);
                    } else if (kind.startsWith(u'K') &&
                               (subKind == u"RS"_s || subKind == u"LU"_s)) {
                        setFitted(lines_, u"Part"_s, vb::Left(Trim(mfrPart), 9));
                        code = u"8"_s;
                    }
                    p.at(100);
                    if (!code.isEmpty())
                        typed = findType(u"Code="_s % quoted(code));
                }
                if (typed) {
                    setFitted(lines_, u"TypeDesc"_s, Trim(textOf(typeLookup_, u"Name"_s)));
                    setFitted(lines_, u"Type"_s, Trim(textOf(typeLookup_, u"Code"_s)));
                }

                p.at(110);
                SetReason();

                p.at(120);
                lines_.setValue(u"Qty"_s, valueOf(lines, u"Quantity"_s));
                double price = 0;
                for (const QString &field : {u"Net"_s, u"Kit"_s, u"Labor"_s}) {
                    price = numberOf(lines, field);
                    if (price != 0)
                        break;
                }
                lines_.setValue(u"Price"_s, price);

                p.at(130);
                lines_.update();
                relatedParts_.append({Trim(mfrPart), Trim(mfrPart)});
            }
        }
        p.at(140);
        lines_.setFilter(u"Filter = False"_s);
    } catch (...) {
        reportTrapped(p);
    }
}

void AuthorizationRequest::SetReason()
{
    Proc p(kView % u"SetReason"_s);
    try {
        p.at(10);
        if (!onRow(typeLookup_))
            return;
        p.at(20);
        // The grid shows a value list's display text; the reason text is both.
        reasons_ = reasonsFor(Trim(textOf(typeLookup_, u"code"_s)));
        p.at(30);
        bool listed = false;
        if (dispatchAuths_.isOpen() && dispatchAuths_.recordCount() > 0) {
            dispatchAuths_.moveFirst();
            dispatchAuths_.find(u"Name = "_s % quoted(textOf(typeLookup_, u"Name"_s)));
            listed = !dispatchAuths_.eof();
        }
        p.at(40);
        const bool manual = listed ? !dispatchAuths_.value(u"onlineenabled"_s).toBool()
                                   : !typeLookup_.value(u"rtauth"_s).toBool();
        lines_.setValue(u"ManualRequest"_s, manual);
    } catch (...) {
        reportTrapped(p);
    }
}

bool AuthorizationRequest::ValidData()
{
    Proc p(kView % u"ValidData"_s);
    try {
        p.at(10);
        Recordset all = lines_.clone();
        all.setFilter(QString());
        if (all.recordCount() == 0) {
            p.at(20);
            ui::reportMessage(invoice_, p.name(),
                              tr("You cannot Authorize parts that do not exist.") % CRLF %
                                  tr("Please add parts to your order and try authorizing "
                                     "them later"),
                              p.line());
            return false;
        }
        p.at(30);
        QString problems;
        int ticked = 0;
        for (all.moveFirst(); !all.eof(); all.moveNext()) {
            if (!all.value(u"Authorize"_s).toBool())
                continue;
            const QString part = textOf(all, u"Part"_s);
            auto problem = [&](const QString &message) { problems += message.arg(part) % CRLF; };
            p.at(40);
            if (all.value(u"Hardware"_s).toBool() && Trim(textOf(all, u"RelatedPart"_s)).isEmpty())
                problem(tr("You must enter a related Part for part %1"));
            if (all.value(u"Qty"_s).toDouble() == 0)
                problem(tr("You must enter a non-zero Quantity for part %1"));
            if (all.value(u"Price"_s).toDouble() == 0)
                problem(tr("You must enter a non-zero Price for part %1"));
            ++ticked;
            p.at(50);
            const QString type = Trim(textOf(all, u"Type"_s));
            const QString reason = Trim(textOf(all, u"ReasonCode"_s));
            if (type == u"1"_s) {
                if (reason != u"4"_s && reason != u"5"_s)
                    problem(tr("You must enter a valid reason code for part %1"));
            } else if (type == u"6"_s || type == u"9"_s || type == u"15"_s) {
                if (reason != u"1"_s && reason != u"2"_s && reason != u"3"_s)
                    problem(tr("You must enter a valid reason code for this Authorization %1"));
            } else if (type.isEmpty()) {
                problem(tr("You must select an auth description from the list for part %1"));
            }
            p.at(60);
            if (all.value(u"ManualRequest"_s).toBool()) {
                if (Trim(textOf(all, u"RequestDescription"_s)).isEmpty())
                    problem(tr("You must select an Request Description for manual requests for "
                               "part %1"));
                if (Trim(textOf(all, u"RequestExplanation"_s)).isEmpty())
                    problem(tr("You must select an Request Explanation for manual requests for "
                               "part %1"));
            }
        }
        p.at(70);
        if (ticked == 0)
            problems += tr("You have not selected any parts to authorize.  Please click the "
                           "authorize check box for the parts you want authorization for.");
        if (!problems.isEmpty()) {
            p.at(80);
            ui::reportMessage(invoice_, p.name(),
                              tr("Authorization cannot be sent due to the following "
                                 "problems \r\n\r\n%1")
                                  .arg(problems),
                              p.line());
            return false;
        }
        return true;
    } catch (...) {
        reportTrapped(p);
        return false;
    }
}

bool AuthorizationRequest::CreateXML(XmlDocument &doc, const QString &sessionId)
{
    Proc p(kView % u"CreateXML"_s);
    try {
        p.at(10);
        doc = XmlDocument();
        doc.appendChild(doc.createElement(u"Authorization"_s));
        XMLUtilmod::CreateNode(doc, u"ReturnCode"_s, u"0"_s);
        XMLUtilmod::CreateNode(doc, u"ReturnText"_s, QString());
        p.at(20);
        const XmlNode header = XMLUtilmod::CreateNodeRoot(doc, u"AuthorizationHeader"_s);
        const XmlNode dispatch = dispatch_.asNode();
        auto add = [&doc](const XmlNode &parent, const QString &name, QString value) {
            XMLUtilmod::CreateNode(doc, name, value, parent);
        };
        auto fromDispatch = [&dispatch](const QString &name) {
            return XMLUtilmod::ReturnNormValue(dispatch, name);
        };
        add(header, u"EnvironmentID"_s, u"PROD"_s);
        add(header, u"SessionID"_s, sessionId);
        add(header, u"OriginationPID"_s, fromDispatch(u"DestinationPID"_s));
        add(header, u"DestinationPID"_s, fromDispatch(u"OriginationPID"_s));
        add(header, u"DispatchNumber"_s, fromDispatch(u"DispatchNumber"_s));
        add(header, u"OriginationCompanyID"_s, fromDispatch(u"ReceivingCompanyID"_s));
        add(header, u"TransactionDate"_s,
            vb::FormatYYYYMMDD(DateValue::fromDate(QDate::currentDate())));
        add(header, u"TransactionTime"_s, vb::FormatHHMMSS(QTime::currentTime()));
        add(header, u"VersionNumber"_s, u"1.10"_s);

        p.at(30);
        XmlNode details = XMLUtilmod::CreateNodeRoot(doc, u"AuthorizationDetails"_s);
        Recordset all = lines_.clone();
        all.setFilter(QString());
        int lineNumber = 0;
        if (all.recordCount() > 0) {
            for (all.moveFirst(); !all.eof(); all.moveNext()) {
                ++lineNumber;
                if (!all.value(u"Authorize"_s).toBool())
                    continue;
                p.at(40);
                const XmlNode line = details.appendChild(doc.createElement(u"AuthorizationType"_s));
                const bool manual = all.value(u"ManualRequest"_s).toBool();
                add(line, u"Type"_s, textOf(all, u"Type"_s));
                add(line, u"LineNumber"_s, QString::number(lineNumber));
                add(line, u"RequestPart"_s, textOf(all, u"Part"_s));
                add(line, u"RelatedPart"_s, textOf(all, u"RelatedPart"_s));
                add(line, u"RequestQuantity"_s, vb::NumberText(numberOf(all, u"Qty"_s)));
                add(line, u"RequestPrice"_s, vb::NumberText(numberOf(all, u"Price"_s)));
                add(line, u"ReasonCode"_s, textOf(all, u"ReasonCode"_s));
                for (const QString &answer : {u"AuthorizedPart"_s, u"AcceptPrice"_s,
                                              u"AcceptQuantity"_s, u"ConfirmationCode"_s})
                    add(line, answer, QString());
                add(line, u"ManualRequest"_s, manual ? u"Y"_s : u"N"_s);
                if (manual) {
                    add(line, u"RequestDescription"_s, textOf(all, u"RequestDescription"_s));
                    add(line, u"RequestExplanation"_s, textOf(all, u"RequestExplanation"_s));
                    add(line, u"FaxingPOP"_s, all.value(u"Fax"_s).toBool() ? u"Y"_s : u"N"_s);
                }
                add(line, u"ErrorCode"_s, QString());
                add(line, u"ErrorText"_s, QString());
            }
        }
        p.at(50);
        XMLUtilmod::CreateNode(doc, u"Filename"_s, sessionId);
        return true;
    } catch (...) {
        reportTrapped(p);
        return false;
    }
}

bool AuthorizationRequest::SendAuth()
{
    Proc p(kView % u"SendAuth"_s);
    try {
        p.at(10);
        const QString session = modOrvane::CreateGUIDString();
        if (session.isEmpty())
            throw VbError(err::Unspecified, p.name(), u"No session identifier could be made."_s);
        p.at(20);
        XmlDocument doc;
        // A request that could not be built whole is never sent; CreateXML
        // has told the user why.
        if (!CreateXML(doc, session))
            return false;

        p.at(30);
        // The request's rows and its transaction row are stored together or
        // not at all: answers never come for rows whose request was not sent.
        StagingWrites::Transaction transaction(required(invoice_)->Env());
        auto ackn = CreateObject<ext::Ig_ackn>(QString::fromUtf16(ext::progid::g_ackn));
        ackn->setEnv(invoice_->Env());
        p.at(40);
        ackn->setblnnosave(true);
        ackn->get_ackfromxml(doc.xml());
        p.at(50);
        Recordset rows = ackn->itemsrecordset();
        const Recordset order = invoice_->itemsrecordset();
        if (rows.recordCount() > 0) {
            for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
                p.at(60);
                rows.setValue(u"sessionid"_s, session);
                rows.setValue(u"daskid"_s, order.value(u"idnumber"_s));
                rows.setValue(u"daskloc"_s, order.value(u"location"_s));
                rows.setValue(u"Ack"_s, true);
                rows.update();
                ackn->setblnnosave(false);
                ackn->Update();
                ackn->setblnnosave(true);
            }
        }
        p.at(70);
        TransactionQueue::QueueRow(
            invoice_, doc, QString::fromUtf16(TransactionQueue::AuthorizationRequest), session);
        transaction.commit();
        TransactionQueue::RaiseSendFlag(invoice_);
        p.at(80);
        sent_ = true;
        session_ = session;
        return true;
    } catch (...) {
        reportTrapped(p);
        return false;
    }
}

} // namespace orvane::authorization
