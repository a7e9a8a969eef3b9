#include "qorOrvaneUI/loss/CoverageAnswer.h"

#include "qorOrvaneUI/core/LibraryView.h"
#include "qorOrvaneUI/core/StagingWrites.h"
#include "qorOrvaneUI/core/TransactionQueue.h"
#include "qorOrvaneUI/core/XMLUtilmod.h"
#include "qorOrvaneUI/core/modOrvane.h"
#include "qorOrvaneUI/loss/LossNotice.h"
#include "runtime/vb.h"
#include <qorOrvaneUI/external/IEnvironment.h>
#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/external/IOrderCar.h>
#include <qorOrvaneUI/external/IRsTable.h>
#include <qorOrvaneUI/external/IVehicle.h>
#include <qorOrvaneUI/external/IVehicleChooser.h>
#include <qorOrvaneUI/external/ObjectCast.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>

using namespace Qt::StringLiterals;

namespace orvane::loss {

namespace {

using modOrvane::CRLF;
const auto text = modOrvane::FieldText;
const QDate kNoDate(1900, 1, 1);
const QString kView = u"qorOrvaneUI.Coveragefrm."_s;

} // namespace

void CoverageAnswer::release()
{
    coverage_.reset();
    notice_.reset();
    invoice_.reset();
}

void CoverageAnswer::reportTrapped(const Proc &p) const noexcept
{
    ui::reportTrapped(invoice_, p);
}

void CoverageAnswer::load()
{
    rows_ = required(coverage_)->itemsrecordset();
    selected_.assign(size_t(std::max(0, rows_.recordCount())), false);
    if (selected_.size() == 1)
        selected_[0] = true;
    if (!selected_.empty())
        rows_.moveFirst();
}

QString CoverageAnswer::warning() const
{
    if (rows_.recordCount() <= 0)
        return QString();
    Recordset first = rows_.clone();
    first.moveFirst();
    const QString code = text(first, u"errorcode"_s);
    if (vb::Val(code) == 0)
        return QString();
    return tr("WARNING : Error %1        %2")
        .arg(vb::Trim(code), vb::Trim(text(first, u"ErrorText"_s)));
}

bool CoverageAnswer::isSelected(int row) const
{
    return row >= 0 && size_t(row) < selected_.size() && selected_[size_t(row)];
}

void CoverageAnswer::toggleRow(int row)
{
    if (row < 0 || size_t(row) >= selected_.size())
        return;
    const bool now = !selected_[size_t(row)];
    if (now)
        std::fill(selected_.begin(), selected_.end(), false);
    selected_[size_t(row)] = now;
}

int CoverageAnswer::lastSelected() const
{
    for (size_t i = selected_.size(); i > 0; --i)
        if (selected_[i - 1])
            return int(i - 1);
    return -1;
}

bool CoverageAnswer::hasVehicle() const
{
    return rows_.isOpen() && !rows_.eof() && !rows_.bof() &&
           !vb::Trim(text(rows_, u"vehicleid"_s)).isEmpty();
}

QString CoverageAnswer::chooseVehicle(WindowHandle owner, Proc &p)
{
    p.at(10);
    const auto env = required(required(invoice_)->Env());
    const auto orderCar = required(invoice_->Item(u"car"_s));
    const auto car = ext::objectAs<ext::IVehicle>(env->SafeCreatenagsObj(ext::objkind::NagsCar),
                                                  u"SafeCreatenagsObj"_s);
    car->setYear(orderCar->Year());
    car->setmodel(orderCar->model());
    car->setmake(orderCar->make());
    car->setbody(orderCar->body());
    car->setcar_id(orderCar->carid());
    p.at(20);
    const auto chooser = ext::objectAs<ext::IVehicleChooser>(
        env->SafeCreateUIObj(ext::objkind::VehicleChooser), u"SafeCreateUIObj"_s);
    const Value vin = orderCar->vin();
    chooser->setVIN(vin.isNull() ? QString() : vin.toText());
    const auto chosen = chooser->choosecar(owner, car, u"YEAR"_s);
    if (!chosen)
        return QString();
    p.at(30);
    auto part = [](const Value &v) { return v.isNull() ? QString() : vb::Trim(v.toText()); };
    const QString id = LossNotice::vehicleIdNumber(part(chosen->car_id()));
    modOrvane::setRSValue(rows_.field(u"VehicleID"_s), id);
    rows_.update();
    return part(chosen->Year()) % u"-"_s % part(chosen->make()) % u"-"_s % part(chosen->model()) %
           u"-"_s % part(chosen->body());
}

bool CoverageAnswer::validData(bool accept, const Entries &entries)
{
    Proc p(kView % u"validData"_s);
    try {
        p.at(10);
        int count = 0, last = -1;
        for (std::size_t i = 0; i < selected_.size(); ++i)
            if (selected_[i]) {
                ++count;
                last = int(i);
            }
        if (last >= 0) {
            rows_.moveFirst();
            rows_.move(last);
        }

        p.at(20);
        QString msg;
        auto fails = [&msg](bool failed, const QString &line) {
            if (failed)
                msg += line % CRLF;
        };
        const bool onRow = rows_.isOpen() && !rows_.eof() && !rows_.bof();
        fails(!onRow || vb::Trim(text(rows_, u"VehicleID"_s)).isEmpty(),
              tr("There is no Vehicle ID Specified.  You must specify the Vehicle ID before "
                 "continueing"));
        if (count == 0)
            fails(true, tr("You must select a Vehicle on the customers policy to continue"));
        else if (count > 1)
            fails(true, tr("You cannot select more than one Vehicle on the Policy"));
        // An empty date is left for the insurer to set; only a date that
        // cannot be one is refused.
        fails(entries.installDate && *entries.installDate < kNoDate,
              tr("You must select a valid installation Date"));
        fails(!entries.timeSet, tr("You must select a time for the scheduled install"));
        fails(entries.mobile == Qt::PartiallyChecked,
              tr("You must choose whether the Job is mobile or In-Shop"));
        if (accept) {
            fails(entries.zip.isEmpty(),
                  tr("You must enter a Work Location Zip code where the work will be performed "));
            fails(vb::Trim(entries.zip).size() != 5,
                  tr("The Work Location Zip code must be 5 digits."));
        }
        p.at(30);
        if (msg.isEmpty())
            return true;
        Ui::instance().msgBox(tr("You have not completed all the information to accept "
                                 "this Loss") %
                                  CRLF % CRLF % msg,
                              MsgButtons::OK, MsgIcon::Critical, tr("Invalid Entries"));
        return false;
    } catch (...) {
        reportTrapped(p);
        return false;
    }
}

bool CoverageAnswer::BuildXML(bool accept, const Entries &entries, XmlDocument &doc)
{
    Proc p(kView % u"BuildXML"_s);
    try {
        p.at(10);
        const QString session = modOrvane::CreateGUIDString();
        if (session.isEmpty())
            throw VbError(err::Unspecified, p.name(), u"No session identifier could be made."_s);
        const Recordset notice = required(notice_)->itemsrecordset();
        doc = XmlDocument();
        doc.appendChild(doc.createElement(u"LossNoticeAcknowledgement"_s));
        auto add = [&doc](const XmlNode &parent, const QString &name, QString value) {
            XMLUtilmod::CreateNode(doc, name, value, parent);
        };

        p.at(20);
        const XmlNode header =
            XMLUtilmod::CreateNodeRoot(doc, u"LossNoticeAcknowledgementHeader"_s);
        add(header, u"EnvironmentID"_s, u"PROD"_s);
        add(header, u"SessionID"_s, session);
        add(header, u"OriginationPID"_s, text(notice, u"origpid"_s));
        add(header, u"OriginationCompanyID"_s, text(notice, u"orgcoid"_s));
        add(header, u"DestinationPID"_s, text(notice, u"destpid"_s));
        add(header, u"TransactionDate"_s,
            vb::FormatYYYYMMDD(DateValue::fromDate(QDate::currentDate())));
        add(header, u"TransactionTime"_s, vb::FormatHHMMSS(QTime::currentTime()));
        add(header, u"VersionNumber"_s, u"1.10"_s);

        p.at(30);
        const XmlNode d = XMLUtilmod::CreateNodeRoot(doc, u"LossNoticeAcknowledgementDetails"_s);
        add(d, u"LossReferenceNumber"_s, text(rows_, u"lossref"_s));
        add(d, u"AcceptWork"_s, accept ? u"Y"_s : u"N"_s);
        add(d, u"AcceptanceContact"_s, text(notice, u"contact"_s));
        add(d, u"VehicleID"_s, text(rows_, u"VehicleID"_s));
        add(d, u"VehicleIDSource"_s, text(rows_, u"Vehiclesrc"_s));
        add(d, u"VehicleLineNumber"_s, text(rows_, u"vehline"_s));
        add(d, u"RequestedAppointmentDate"_s,
            entries.installDate ? vb::FormatYYYYMMDD(DateValue::fromDate(*entries.installDate))
                                : QString());
        add(d, u"RequestedAppointmentTime"_s, vb::FormatHHMMSS(entries.installTime));
        add(d, u"MobileIndicator"_s, entries.mobile == Qt::Checked ? u"Y"_s : u"N"_s);
        add(d, u"WorkLocationPostalCode"_s, vb::Trim(entries.zip));
        add(d, u"ErrorCode"_s, QString());
        add(d, u"ErrorText"_s, QString());
        XMLUtilmod::CreateNode(doc, u"Filename"_s, session);
        XMLUtilmod::CreateNode(doc, u"ReturnCode"_s, u"0"_s);
        XMLUtilmod::CreateNode(doc, u"ReturnText"_s, QString());
        return true;
    } catch (...) {
        doc = XmlDocument();
        reportTrapped(p);
        return false;
    }
}

bool CoverageAnswer::SendXML(bool accept, const Entries &entries)
{
    Proc p(kView % u"SendXML"_s);
    try {
        p.at(10);
        XmlDocument doc;
        // A failed build is no answer: the wait view must not go on as if
        // the insurer had been told.
        if (!BuildXML(accept, entries, doc))
            return false;
        const XmlNode root = doc.documentElement();
        auto value = [&root](const QString &name) {
            return XMLUtilmod::ReturnNormValue(root, name);
        };
        const QString session = value(u"SessionID"_s);

        p.at(20);
        // The answer's row and its transaction row are stored together or
        // not at all: an answer kept but never sent could not be given again,
        // the coverage rows being read already. The trap below reports only
        // after the transaction, a local of this block, is taken back.
        StagingWrites::Transaction transaction(required(notice_)->Env());
        auto ack = CreateObject<ext::IRsTable>(QString::fromUtf16(ext::progid::g_lossack));
        ack->setEnv(required(notice_)->Env());
        ack->get_rs(u"g_lossack.guid = '1' and g_lossack.guid <> '1'"_s);
        Recordset rs = ack->itemsrecordset();
        rs.addNew();
        auto put = [&rs](const QString &column, const Value &v) {
            modOrvane::setRSValue(rs.field(column), v);
        };
        put(u"guid"_s, session);
        put(u"lossref"_s, value(u"LossReferenceNumber"_s));
        rs.setValue(u"Accept"_s, accept);
        put(u"vehid"_s, value(u"VehicleID"_s));
        put(u"vehsrc"_s, value(u"VehicleIDSource"_s));
        put(u"vehline"_s, value(u"VehicleLineNumber"_s));
        if (entries.installDate)
            rs.setValue(u"installdat"_s, DateValue::fromDate(*entries.installDate));
        put(u"installtim"_s, value(u"RequestedAppointmentTime"_s));
        rs.setValue(u"Mobile"_s, entries.mobile == Qt::Checked);
        if (modOrvane::FieldExists(rs, u"zip"_s))
            put(u"zip"_s, vb::Trim(entries.zip));
        rs.setValue(u"ack"_s, true);
        rs.update();
        ack->Update();

        p.at(30);
        TransactionQueue::QueueRow(invoice_, doc,
                                   QString::fromUtf16(TransactionQueue::CoverageAnswer), session);
        transaction.commit();
        TransactionQueue::RaiseSendFlag(invoice_);

        p.at(40);
        lossRef_ = value(u"LossReferenceNumber"_s);
        sent_ = true;
        return true;
    } catch (...) {
        reportTrapped(p);
        return false;
    }
}

} // namespace orvane::loss
