#include "qorOrvaneUI/loss/LossNotice.h"

#include "qorOrvaneUI/core/DataCommandScope.h"
#include "qorOrvaneUI/core/LibraryView.h"
#include "qorOrvaneUI/core/Orvanemod.h"
#include "qorOrvaneUI/core/StagingWrites.h"
#include "qorOrvaneUI/core/TransactionQueue.h"
#include "qorOrvaneUI/core/XMLUtilmod.h"
#include "qorOrvaneUI/core/modOrvane.h"
#include "runtime/vb.h"
#include <qorOrvaneUI/external/IDataCommand.h>
#include <qorOrvaneUI/external/IEnvironment.h>
#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/external/IOptions.h>
#include <qorOrvaneUI/external/IRsTable.h>
#include <qorOrvaneUI/external/IVehicle.h>
#include <qorOrvaneUI/external/IVehicleChooser.h>
#include <qorOrvaneUI/external/ObjectCast.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>
#include <qorOrvaneUI/widgets/Ui.h>

#include <limits>

using namespace Qt::StringLiterals;
using orvane::MsgButtons;
using orvane::MsgIcon;
using orvane::Proc;
using orvane::Recordset;
using orvane::Value;
namespace ext = orvane::ext;

namespace orvane::loss {

namespace {

using modOrvane::CRLF;
const QDate kNoDate(1900, 1, 1);
const QString kNoRow = u"guid = 'A' and guid <> 'A'"_s;

// A criterion value for Find and Filter: typed and received texts are made safe.
QString quotedCriterion(const QString &field, const QString &text)
{
    return field % u" = '"_s % modOrvane::SQLSafeText(text) % u"'"_s;
}

// Moves to the first row and searches forward; true when a row was found.
bool findFirst(Recordset &rs, const QString &criteria)
{
    if (rs.recordCount() == 0)
        return false;
    rs.moveFirst();
    rs.find(criteria);
    return !rs.eof();
}

std::shared_ptr<ext::IRsTable> lossTable(const char16_t *progId,
                                         const std::shared_ptr<ext::IEnvironment> &env)
{
    auto table = orvane::CreateObject<ext::IRsTable>(QString::fromUtf16(progId).toLower());
    table->setEnv(env);
    return table;
}

QString yn(const Value &v)
{
    return !v.isNull() && v.toBool() ? u"Y"_s : u"N"_s;
}

} // namespace

Proc LossNotice::proc(const QString &procedure) const
{
    return Proc(u"qorOrvaneUI.eNOLfrm."_s % procedure);
}

void LossNotice::reportTrapped(const Proc &p) const noexcept
{
    if (reporter) {
        try {
            reporter(p);
            return;
        } catch (...) {
        }
    }
    ui::reportTrapped(invoice_, p);
}

// --- the order's entries -----------------------------------------------------------

Recordset LossNotice::noticeColumns()
{
    Proc p = proc(u"limitNoticeEntries"_s);
    try {
        p.at(10);
        const auto notice = lossTable(ext::progid::g_enol, orvane::required(invoice_)->Env());
        notice->get_rs(kNoRow);
        return notice->itemsrecordset();
    } catch (...) {
        reportTrapped(p);
        return Recordset();
    }
}

bool LossNotice::Getvehicle(WindowHandle owner)
{
    Proc p = proc(u"Getvehicle"_s);
    try {
        p.at(10);
        const auto env = orvane::required(orvane::required(invoice_)->Env());
        Recordset rs = invoice_->itemsrecordset();
        const auto car = ext::objectAs<ext::IVehicle>(env->SafeCreatenagsObj(ext::objkind::NagsCar),
                                                      u"SafeCreatenagsObj"_s);
        car->setYear(rs.value(u"Year"_s));
        car->setmodel(rs.value(u"model"_s));
        car->setmake(rs.value(u"make"_s));
        car->setbody(rs.value(u"body"_s));
        car->setcar_id(rs.value(u"carid"_s));
        p.at(20);
        const auto chooser = ext::objectAs<ext::IVehicleChooser>(
            env->SafeCreateUIObj(ext::objkind::VehicleChooser), u"SafeCreateUIObj"_s);
        chooser->setVIN(modOrvane::FieldText(rs, u"vin"_s));
        p.at(30);
        const auto chosen = chooser->choosecar(owner, car, u"YEAR"_s);
        if (!chosen)
            return false;
        p.at(40);
        modOrvane::setRSValue(rs.field(u"Year"_s), chosen->Year());
        modOrvane::setRSValue(rs.field(u"make"_s), chosen->make());
        modOrvane::setRSValue(rs.field(u"model"_s), chosen->model());
        modOrvane::setRSValue(rs.field(u"body"_s), chosen->body());
        modOrvane::setRSValue(rs.field(u"carid"_s), chosen->car_id());
        modOrvane::setRSValue(rs.field(u"vin"_s), chooser->VIN());
        return true;
    } catch (...) {
        reportTrapped(p);
        return false;
    }
}

// --- cause of loss and damage lines ------------------------------------------------

std::vector<std::pair<QString, qint64>> LossNotice::SetCauseofLoss()
{
    Proc p = proc(u"SetCauseofLoss"_s);
    std::vector<std::pair<QString, qint64>> causes;
    try {
        p.at(10);
        rsCause_ = Orvanemod::CauseOfLoss();
        for (rsCause_.moveFirst(); !rsCause_.eof(); rsCause_.moveNext())
            causes.emplace_back(rsCause_.value(u"Description"_s).toText(),
                                rsCause_.value(u"LossCode"_s).toInt64());
    } catch (...) {
        reportTrapped(p);
    }
    return causes;
}

QStringList LossNotice::FillDamageCode()
{
    Proc p = proc(u"FillDamageCode"_s);
    QStringList openings;
    try {
        p.at(10);
        rsOpening_ = Orvanemod::OpeningType();
        for (rsOpening_.moveFirst(); !rsOpening_.eof(); rsOpening_.moveNext())
            openings << rsOpening_.value(u"Opening"_s).toText();
        p.at(20);
        rsDamage_ = Orvanemod::DamageInformationRS();
    } catch (...) {
        reportTrapped(p);
    }
    return openings;
}

std::array<QStringList, 3> LossNotice::FillNagsRS()
{
    Proc p = proc(u"FillNagsRS"_s);
    std::array<QStringList, 3> names;
    try {
        p.at(10);
        const auto env = orvane::required(orvane::required(invoice_)->Env());
        const auto dc = orvane::required(orvane::required(env->Options())->dcobject());
        const orvane::DataCommandScope onCatalogue(dc, env->GetConnectString(env->nags_path(), 0));
        const char16_t *queries[] = {u"Select * from POS", u"Select * from rel_loc",
                                     u"Select * from side"};
        for (size_t i = 0; i < 3; ++i) {
            p.at(20 + int(i));
            Recordset rows;
            if (dc->Execute(env->SecurityToken(), QString::fromUtf16(queries[i]), rows,
                            {2, 1, 2, 0, false}) &&
                rows.isOpen()) {
                rsNags_[i] = rows;
                if (rows.recordCount() > 0)
                    for (rows.moveFirst(); !rows.eof(); rows.moveNext())
                        names[i] << modOrvane::FieldText(rows, u"Name"_s);
            }
        }
    } catch (...) {
        reportTrapped(p);
    }
    return names;
}

bool LossNotice::findCause(qint64 code)
{
    return rsCause_.isOpen() && findFirst(rsCause_, u"losscode = "_s % QString::number(code));
}

std::optional<LossNotice::Subrogation> LossNotice::subrogation(qint64 code)
{
    Proc p = proc(u"cboCauseofLoss_Click"_s);
    try {
        p.at(10);
        if (!findCause(code))
            return std::nullopt;
        p.at(20);
        Subrogation s;
        const Value subreq = rsCause_.value(u"subreq"_s);
        s.required = !subreq.isNull() && subreq.toBool();
        s.nameCaption = vb::Trim(modOrvane::FieldText(rsCause_, u"subnamefield"_s));
        s.dataCaption = vb::Trim(modOrvane::FieldText(rsCause_, u"subdatafield"_s));
        s.explanation = modOrvane::FieldText(rsCause_, u"subExpl"_s);
        return s;
    } catch (...) {
        reportTrapped(p);
        return std::nullopt;
    }
}

bool LossNotice::cmdAdd_Click(const DamageEntry &entry)
{
    Proc p = proc(u"cmdAdd_Click"_s);
    try {
        p.at(10);
        const QString opening = entry.opening.value_or(QString());
        const QString openingUpper = vb::Trim(opening).toUpper();
        QString msg;
        if (!entry.opening)
            msg += tr("You must fill out the opening type") % CRLF;
        // A damage line stores its quantity as a 32-bit count.
        const double quantity = vb::Val(entry.quantity);
        if (!(quantity > 0))
            msg += tr("You must enter a quantity for the Glass Replacement") % CRLF;
        else if (quantity > double(std::numeric_limits<std::int32_t>::max()))
            msg += tr("The quantity for the Glass Replacement is too large") % CRLF;
        if (opening.toUpper() == u"WINDSHIELD"_s && entry.repairable == Qt::PartiallyChecked)
            msg += tr("You must check whether the glass is repairable or not") % CRLF;
        if ((openingUpper == u"DOOR"_s || openingUpper == u"VENT"_s ||
             openingUpper == u"QUARTER"_s) &&
            vb::Trim(entry.side).isEmpty())
            msg += tr("With a Door, Vent, or Quarter, you must select a side code") % CRLF;
        if (!msg.isEmpty()) {
            orvane::Ui::instance().msgBox(tr("The information you entered is incorrect.  Please "
                                             "correct the information to add "
                                             "it to your damage information") %
                                              CRLF % CRLF % msg,
                                          MsgButtons::OK, MsgIcon::Critical, tr("Data Error"));
            return false;
        }
        p.at(20);
        if (!findFirst(rsOpening_, quotedCriterion(u"opening"_s, opening))) {
            orvane::Ui::instance().msgBox(tr("Could not find the opening type you have specified"),
                                          MsgButtons::OK, MsgIcon::Critical, tr("Error"));
            return false;
        }
        p.at(30);
        Recordset &pos = rsNags_[0], &loc = rsNags_[1], &side = rsNags_[2];
        auto found = [](Recordset &table, const QString &chosen) {
            const QString text = vb::Trim(chosen);
            return !text.isEmpty() && table.isOpen() &&
                   findFirst(table, quotedCriterion(u"name"_s, text));
        };
        QString dup = quotedCriterion(u"openingcode"_s,
                                      vb::Trim(rsOpening_.value(u"OpeningType"_s).toText()));
        if (found(pos, entry.position))
            dup += u" AND "_s % quotedCriterion(u"positioncode"_s,
                                                vb::Trim(modOrvane::FieldText(pos, u"pos_cd"_s)));
        if (found(side, entry.side))
            dup += u" AND "_s % quotedCriterion(u"sidecode"_s,
                                                vb::Trim(modOrvane::FieldText(side, u"side_cd"_s)));
        p.at(40);
        rsDamage_.setFilter(dup);
        const bool duplicate = rsDamage_.recordCount() > 0;
        rsDamage_.setFilter(QString());
        if (duplicate) {
            orvane::Ui::instance().msgBox(tr("You already have a record with the same opening "
                                             "type, position, and side codes."),
                                          MsgButtons::OK, MsgIcon::Critical, tr("Data Error"));
            return false;
        }
        p.at(50);
        rsDamage_.addNew();
        auto store = [this](const char16_t *field, const Value &v) {
            modOrvane::setRSValue(rsDamage_.field(QString::fromUtf16(field)), v);
        };
        if (found(pos, entry.position)) {
            store(u"PositionCodeText", pos.value(u"name"_s));
            store(u"PositionCode", pos.value(u"pos_cd"_s));
        }
        if (found(loc, entry.location)) {
            store(u"LocationCodeText", loc.value(u"name"_s));
            store(u"LocationCode", loc.value(u"rel_loc_cd"_s));
        }
        if (found(side, entry.side)) {
            store(u"SideCodeText", side.value(u"name"_s));
            store(u"SideCode", side.value(u"side_cd"_s));
        }
        store(u"OpeningCode", rsOpening_.value(u"Openingtype"_s));
        store(u"OpeningCodeDesc", rsOpening_.value(u"Opening"_s));
        p.at(60);
        // The number the quantity check accepted ("2 pcs" is 2).
        rsDamage_.setValue(u"GlassQuantity"_s, qint64(quantity));
        if (!entry.repairableAsked || entry.repairable == Qt::Unchecked)
            rsDamage_.setValue(u"notrepairable"_s, false);
        else if (entry.repairable == Qt::Checked)
            rsDamage_.setValue(u"notrepairable"_s, true);
        rsDamage_.update();
        return true;
    } catch (...) {
        reportTrapped(p);
        return false;
    }
}

// --- the check before sending -----------------------------------------------------------

bool LossNotice::validdata(const Form &form)
{
    Proc p = proc(u"validdata"_s);
    try {
        p.at(10);
        QString msg;
        auto fails = [&](bool failed, const QString &text) {
            if (failed)
                msg += text % CRLF;
        };
        fails(form.pid.isEmpty(), tr("Retail PID"));
        fails(form.oid.isEmpty(), tr("Network PID "));
        fails(form.inscoid.isEmpty(), tr("Insurance Company ID "));
        fails(form.insurerId.isEmpty(), tr("Network PID"));
        fails(form.soldFirst.blank(), tr("Sold To First Name"));
        fails(form.soldLast.blank(), tr("Sold To Last Name"));
        fails(form.homeArea.blank(), tr("Sold To Area Code"));
        fails(form.zip.blank(), tr("Sold To Zip Code"));
        fails(form.homePhone.blank(), tr("Sold To Phone #"));
        fails(form.policy.blank(), tr("Policy Number"));
        fails(form.policyState.isEmpty(), tr("Policy State"));
        fails(form.lossDate && *form.lossDate < kNoDate, tr("Date of Loss"));
        fails(!form.vehicleSource, tr("Vehicle Source"));
        fails(!form.vehicleType, tr("Vehicle Type"));
        fails(!form.owner, tr("Vehicle Ownership"));
        fails(!form.cause, tr("Cause of Loss"));
        fails(form.glassOnly == Qt::PartiallyChecked, tr("Glass Only Damage Check box"));
        fails(!rsDamage_.isOpen() || rsDamage_.recordCount() == 0,
              tr("Must have at least one damage type added."));
        fails(form.bodilyInjury == Qt::PartiallyChecked, tr("Bodily Insury Check box"));
        fails(form.contact.isEmpty(), tr("Contact Name"));
        fails(form.bodilyInjury == Qt::Checked && form.lossId.isEmpty(),
              tr("Loss ID # ( Claim ) when bodily injury has occurred"));
        p.at(20);
        if (form.cause && findCause(*form.cause)) {
            const auto flag = [this](const char16_t *field) {
                const Value v = rsCause_.value(QString::fromUtf16(field));
                return !v.isNull() && v.toBool();
            };
            fails(flag(u"subreq") && form.subData.isEmpty(),
                  tr("%1 is required for this cause.")
                      .arg(modOrvane::FieldText(rsCause_, u"subdatafield"_s)));
            fails(flag(u"subnamereq") && form.subName.isEmpty(),
                  tr("%1 is required for this cause.")
                      .arg(modOrvane::FieldText(rsCause_, u"subnamefield"_s)));
        }
        p.at(25);
        // A phone number short of digits would be sent as a wrong number.
        const std::pair<const Typed *, const char *> phones[] = {
            {&form.homeArea, QT_TR_NOOP("Sold To Area Code must have 3 digits")},
            {&form.homePhone, QT_TR_NOOP("Sold To Phone # must have 7 digits")},
            {&form.workArea, QT_TR_NOOP("Sold To Work Area Code must have 3 digits")},
            {&form.workPhone, QT_TR_NOOP("Sold To Work Phone # must have 7 digits")},
            {&form.agentArea, QT_TR_NOOP("Agent Area Code must have 3 digits")},
            {&form.agentPhone, QT_TR_NOOP("Agent Phone # must have 7 digits")}};
        for (const auto &[entry, text] : phones)
            fails(entry->shortNumber(), tr(text));
        p.at(30);
        if (msg.isEmpty())
            return true;
        orvane::Ui::instance().msgBox(
            tr("To submit this Notice of Loss, you must fill out the following "
               "information\r\n\r\n%1")
                .arg(msg),
            MsgButtons::OK, MsgIcon::Critical, tr("Missing or invalid data"));
        return false;
    } catch (...) {
        reportTrapped(p);
        return false;
    }
}

// --- saving and sending the notice ------------------------------------------------------

QString LossNotice::telephoneForm(const QString &phone)
{
    const QString digits = vb::Left(phone, 10);
    if (vb::Trim(digits).isEmpty())
        return QString();
    const QString pattern = u"@@@-@@@-@@@@"_s;
    QString out = pattern;
    qsizetype from = digits.size() - 1;
    for (qsizetype i = out.size() - 1; i >= 0; --i) {
        if (out[i] != u'@')
            continue;
        out[i] = from >= 0 ? digits[from--] : u' ';
    }
    return out;
}

QString LossNotice::vehicleIdNumber(const QString &vehicleId)
{
    const QString rest = vb::Mid(vehicleId, 3);
    qsizetype n = 0;
    while (n < rest.size() && rest[n] == u' ')
        ++n;
    QString digits;
    for (; n < rest.size() && rest[n].isDigit() && rest[n].unicode() < 128; ++n)
        digits += rest[n];
    while (digits.size() > 1 && digits.startsWith(u'0'))
        digits.remove(0, 1);
    return digits.isEmpty() ? u"0"_s : digits;
}
void LossNotice::SaveToTable(const Form &form, std::shared_ptr<ext::IRsTable> &notice,
                             std::shared_ptr<ext::IRsTable> &lines)
{
    Proc p = proc(u"SaveToTable"_s);
    try {
        p.at(10);
        const auto env = orvane::required(invoice_)->Env();
        notice = lossTable(ext::progid::g_enol, env);
        lines = lossTable(ext::progid::g_enolline, env);
        p.at(20);
        notice->get_rs(kNoRow);
        Recordset rs = notice->itemsrecordset();
        rs.addNew();
        const Recordset inv = invoice_->itemsrecordset();
        auto put = [&rs](const char16_t *column, const Value &v) {
            modOrvane::setRSValue(rs.field(QString::fromUtf16(column)), v);
        };
        auto fromInvoice = [&](const char16_t *column, const char16_t *field) {
            put(column, inv.value(QString::fromUtf16(field)));
        };
        auto joined = [&](const char16_t *a, const char16_t *b) {
            return Value(modOrvane::FieldText(inv, QString::fromUtf16(a)) %
                         modOrvane::FieldText(inv, QString::fromUtf16(b)));
        };
        p.at(30);
        put(u"origpid", form.pid);
        put(u"orgcoid", form.inscoid);
        put(u"destpid", form.oid);
        put(u"insurerid", form.insurerId);
        fromInvoice(u"daskid", u"idnumber");
        fromInvoice(u"daskloc", u"location");
        fromInvoice(u"s_first", u"s_first");
        fromInvoice(u"s_last", u"s_last");
        put(u"s_phone", joined(u"s_area2", u"s_phone2"));
        put(u"s_altphone", joined(u"s_area1", u"s_phone1"));
        fromInvoice(u"s_address", u"s_address");
        fromInvoice(u"s_city", u"s_city");
        fromInvoice(u"s_state", u"s_state");
        fromInvoice(u"s_zip", u"s_zip");
        fromInvoice(u"policy", u"policy");
        put(u"policyst", form.policyState);
        fromInvoice(u"a_company", u"a_company");
        fromInvoice(u"a_first", u"a_first");
        fromInvoice(u"a_last", u"a_last");
        put(u"a_phone", joined(u"a_area", u"a_phone"));
        put(u"lossid", form.lossId);
        fromInvoice(u"lossdate", u"lossdate");
        fromInvoice(u"vehicleid", u"Carid");
        fromInvoice(u"year", u"year");
        fromInvoice(u"make", u"make");
        fromInvoice(u"model", u"model");
        fromInvoice(u"body", u"body");
        put(u"owner", vb::Trim(form.owner.value_or(QString())));
        put(u"vehiclesrc", vb::Trim(form.vehicleSource.value_or(QString())));
        put(u"vehtype", vb::Trim(form.vehicleType.value_or(QString())));
        fromInvoice(u"vin", u"vin");
        put(u"vehiclenum", form.vehicleNumber);
        put(u"glassonly", form.glassOnly != Qt::Unchecked);
        p.at(40);
        if (form.cause && findCause(*form.cause)) {
            put(u"causeloss", rsCause_.value(u"LossCode"_s));
            put(u"lossdesc", rsCause_.value(u"Description"_s));
        }
        put(u"subname", form.subName);
        put(u"subdata", form.subData);
        put(u"contact", form.contact);
        put(u"bodilyinj", form.bodilyInjury != Qt::Unchecked);
        p.at(50);
        rs.setValue(u"ack"_s, true);
        rs.update();
        notice->Update();

        p.at(60);
        lines->get_rs(kNoRow);
        Recordset out = lines->itemsrecordset();
        const QString guid = modOrvane::FieldText(rs, u"guid"_s);
        Recordset damage = rsDamage_.isOpen() ? rsDamage_.clone() : Recordset();
        if (damage.isOpen() && damage.recordCount() > 0) {
            for (damage.moveFirst(); !damage.eof(); damage.moveNext()) {
                out.addNew();
                auto line = [&](const char16_t *column, const Value &v) {
                    modOrvane::setRSValue(out.field(QString::fromUtf16(column)), v);
                };
                line(u"nolguid", guid);
                line(u"opentype", damage.value(u"OpeningCode"_s));
                line(u"opendesc", damage.value(u"OpeningCodeDesc"_s));
                line(u"poscode", vb::Trim(modOrvane::FieldText(damage, u"PositionCode"_s)));
                line(u"relloc", vb::Trim(modOrvane::FieldText(damage, u"LocationCode"_s)));
                line(u"sidecode", vb::Trim(modOrvane::FieldText(damage, u"SideCode"_s)));
                line(u"qty", damage.value(u"GlassQuantity"_s));
                line(u"notrepair", damage.value(u"notrepairable"_s));
                out.update();
            }
            // All lines in one save: a notice has all of its lines or none.
            lines->Update();
        }
    } catch (...) {
        notice.reset();
        lines.reset();
        reportTrapped(p);
    }
}

bool LossNotice::CreateXML(const std::shared_ptr<ext::IRsTable> &notice,
                           const std::shared_ptr<ext::IRsTable> &lines, XmlDocument &doc)
{
    Proc p = proc(u"CreateXML"_s);
    try {
        p.at(10);
        const Recordset rs = orvane::required(notice)->itemsrecordset();
        auto col = [&rs](const char16_t *column) {
            return modOrvane::FieldText(rs, QString::fromUtf16(column));
        };
        doc = orvane::XmlDocument();
        doc.appendChild(doc.createElement(u"LossNotice"_s));
        auto add = [&doc](const orvane::XmlNode &parent, const QString &name, QString value) {
            XMLUtilmod::CreateNode(doc, name, value, parent);
        };

        p.at(20);
        const orvane::XmlNode header = XMLUtilmod::CreateNodeRoot(doc, u"LossNoticeHeader"_s);
        add(header, u"EnvironmentID"_s, u"PROD"_s);
        add(header, u"SessionID"_s, col(u"guid"));
        add(header, u"OriginationPID"_s, col(u"origpid"));
        add(header, u"OriginationCompanyID"_s, col(u"orgcoid"));
        add(header, u"DestinationPID"_s, col(u"destpid"));
        add(header, u"TransactionDate"_s,
            vb::FormatYYYYMMDD(orvane::DateValue::fromDate(QDate::currentDate())));
        add(header, u"TransactionTime"_s, vb::FormatHHMMSS(QTime::currentTime()));
        add(header, u"VersionNumber"_s, u"1.10"_s);

        p.at(30);
        orvane::XmlNode d = XMLUtilmod::CreateNodeRoot(doc, u"LossNoticeDetails"_s);
        const Value lossDate = rs.value(u"lossdate"_s);
        add(d, u"InsurerID"_s, col(u"insurerid"));
        add(d, u"InsuredOrClaimantFirstName"_s, col(u"s_first"));
        add(d, u"InsuredOrClaimantLastName"_s, col(u"s_last"));
        add(d, u"InsuredOrClaimantTelephone"_s, telephoneForm(col(u"s_phone")));
        add(d, u"InsuredOrClaimantAlternateTelephone"_s, telephoneForm(col(u"s_altphone")));
        add(d, u"InsuredOrClaimantAddress"_s, col(u"s_address"));
        add(d, u"InsuredOrClaimantCity"_s, col(u"s_city"));
        add(d, u"InsuredOrClaimantStateProvince"_s, col(u"s_state"));
        add(d, u"InsuredOrClaimantPostalCode"_s, col(u"s_zip"));
        add(d, u"InsuredOrClaimantPolicyNumber"_s, col(u"policy").remove(u' '));
        add(d, u"InsuredOrClaimantPolicyState"_s, col(u"policyst"));
        add(d, u"AgencyName"_s, col(u"a_company"));
        add(d, u"AgentFirstName"_s, col(u"a_first"));
        add(d, u"AgentLastName"_s, col(u"a_last"));
        add(d, u"AgentPhoneNumber"_s, telephoneForm(col(u"a_phone")));
        add(d, u"LossIdentificationNumbers"_s, col(u"lossid").remove(u' '));
        add(d, u"DateOfLoss"_s,
            lossDate.isNull() || lossDate.isEmpty() ? QString()
                                                    : vb::FormatYYYYMMDD(lossDate.toDate()));
        add(d, u"VehicleID"_s, vehicleIdNumber(col(u"vehicleid")));
        add(d, u"VehicleIDSource"_s, col(u"vehiclesrc"));
        add(d, u"VehicleType"_s, col(u"vehtype"));
        add(d, u"VehicleIDNumber"_s, col(u"vin"));
        add(d, u"VehicleNumber"_s, col(u"vehiclenum"));
        add(d, u"VehicleYear"_s, col(u"year"));
        add(d, u"VehicleMake"_s, col(u"make"));
        add(d, u"VehicleModel"_s, col(u"model"));
        add(d, u"VehicleStyle"_s, col(u"body"));
        add(d, u"VehicleOwnership"_s, col(u"owner"));
        add(d, u"GlassOnlyDamage"_s, yn(rs.value(u"glassonly"_s)));
        add(d, u"CauseOfLossCode"_s, col(u"causeloss"));
        const orvane::XmlNode sub = d.appendChild(doc.createElement(u"SubrogationInformation"_s));
        add(sub, u"SubrogationContactName"_s, col(u"subname"));
        add(sub, u"SubrogationData"_s, col(u"subdata"));

        p.at(40);
        Recordset line = orvane::required(lines)->itemsrecordset();
        if (line.isOpen() && line.recordCount() > 0) {
            for (line.moveFirst(); !line.eof(); line.moveNext()) {
                const orvane::XmlNode damage =
                    d.appendChild(doc.createElement(u"DamageInformation"_s));
                add(damage, u"OpeningTypeCode"_s, modOrvane::FieldText(line, u"opentype"_s));
                add(damage, u"PositionCode"_s, modOrvane::FieldText(line, u"poscode"_s));
                add(damage, u"RelativeLocationCode"_s, modOrvane::FieldText(line, u"relloc"_s));
                add(damage, u"SideCode"_s, modOrvane::FieldText(line, u"sidecode"_s));
                add(damage, u"GlassDamageQuantity"_s, modOrvane::FieldText(line, u"qty"_s));
                add(damage, u"RepairQualification"_s, yn(line.value(u"notrepair"_s)));
            }
        }
        add(d, u"BodilyInjury"_s, yn(rs.value(u"bodilyinj"_s)));
        add(d, u"OriginationContactName"_s, col(u"contact"));

        p.at(50);
        orvane::XmlNode response = XMLUtilmod::CreateNodeRoot(doc, u"LossNoticeResponse"_s);
        const orvane::XmlNode rh =
            response.appendChild(doc.createElement(u"LossNoticeResponseHeader"_s));
        for (const QString &name : {u"LossReferenceNumber"_s, u"LossNoticeContactNumber"_s,
                                    u"ErrorCode"_s, u"ErrorText"_s})
            add(rh, name, QString());
        XMLUtilmod::CreateNode(doc, u"Filename"_s, vb::Trim(col(u"guid")));
        XMLUtilmod::CreateNode(doc, u"ReturnCode"_s, u"0"_s);
        XMLUtilmod::CreateNode(doc, u"ReturnText"_s, QString());
        return true;
    } catch (...) {
        doc = orvane::XmlDocument();
        reportTrapped(p);
        return false;
    }
}

bool LossNotice::BuildXML(const Form &form, std::shared_ptr<ext::IRsTable> &notice, QString &guid)
{
    Proc p = proc(u"BuildXML"_s);
    try {
        p.at(10);
        // The notice, its lines and its transaction row are stored together
        // or not at all: a notice is never kept half saved or never sent.
        std::shared_ptr<ext::IRsTable> lines;
        {
            StagingWrites::Transaction transaction(orvane::required(invoice_)->Env());
            SaveToTable(form, notice, lines);
            if (!notice)
                return false; // SaveToTable has reported why; nothing was kept
            XmlDocument doc;
            if (!CreateXML(notice, lines, doc))
                return false;

            p.at(20);
            guid = vb::Trim(modOrvane::FieldText(notice->itemsrecordset(), u"guid"_s));
            TransactionQueue::QueueRow(invoice_, doc,
                                       QString::fromUtf16(TransactionQueue::LossNotice), guid);
            transaction.commit();
        }
        TransactionQueue::RaiseSendFlag(invoice_);
        return true;
    } catch (...) {
        reportTrapped(p);
        return false;
    }
}

} // namespace orvane::loss
