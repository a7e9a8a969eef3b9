#include "qorOrvaneUI/loss/Coveragefrm.h"

#include "qorOrvaneUI/core/StagingWrites.h"
#include "qorOrvaneUI/core/TransactionQueue.h"
#include "qorOrvaneUI/core/XMLUtilmod.h"
#include "qorOrvaneUI/core/modOrvane.h"
#include "qorOrvaneUI/core/widgets/DatePicker.h"
#include "qorOrvaneUI/loss/LossNotice.h"
#include "runtime/RecordsetModel.h"
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
#include <qorOrvaneUI/runtime/Ui.h>
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimeEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace orvane::loss {

using namespace Qt::StringLiterals;
using orvane::MsgButtons;
using orvane::MsgIcon;
using orvane::Proc;
using orvane::Recordset;
using orvane::RecordsetColumn;
using orvane::Value;
namespace ext = orvane::ext;

namespace {

using modOrvane::CRLF;
const QDate kNoDate(1900, 1, 1);
const int kColumnA = 0;

QString text(const Recordset &rs, const QString &field)
{
    const Value v = rs.value(field);
    return v.isNull() ? QString() : v.toText();
}

} // namespace

Coveragefrm::Coveragefrm(QWidget *parent)
    : LibraryView(u"Coveragefrm"_s, tr("Coverage Information for loss"), parent)
{
    auto *layout = new QVBoxLayout(this);
    lblWarning = new QLabel(tr("Please select the Coverage Vehicle Below and fill in the following "
                               "information to respond to the Insurance Company"),
                            this);
    lblWarning->setObjectName(u"lblWarning"_s);
    lblWarning->setWordWrap(true);
    QFont bold = lblWarning->font();
    bold.setBold(true);
    lblWarning->setFont(bold);
    layout->addWidget(lblWarning);
    lblWarn = new QLabel(this);
    lblWarn->setObjectName(u"lblWarn"_s);
    QPalette red = lblWarn->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    lblWarn->setPalette(red);
    layout->addWidget(lblWarn);

    grdAuthorize = new QTableView(this);
    grdAuthorize->setObjectName(u"grdAuthorize"_s);
    // Tab leaves the grid for the buttons instead of walking its cells.
    grdAuthorize->setTabKeyNavigation(false);
    grdAuthorize->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdAuthorize->setSelectionMode(QAbstractItemView::SingleSelection);
    grdAuthorize->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdAuthorize->verticalHeader()->hide();
    grdAuthorize->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(grdAuthorize, 1);
    connect(grdAuthorize, &QTableView::clicked, this, [this](const QModelIndex &index) {
        if (index.column() == kColumnA)
            toggleRow(index.row());
    });

    auto *vehicle = new QHBoxLayout;
    cmdVehicle = new QPushButton(tr("&Vehicle..."), this);
    cmdVehicle->setObjectName(u"cmdVehicle"_s);
    lblVehicle = new QLabel(this);
    lblVehicle->setObjectName(u"lblVehicle"_s);
    vehicle->addWidget(cmdVehicle);
    vehicle->addWidget(lblVehicle, 1);
    layout->addLayout(vehicle);
    connect(cmdVehicle, &QPushButton::clicked, this, &Coveragefrm::Getvehicle);

    auto *form = new QGridLayout;
    auto *dateLabel = new QLabel(tr("Installation &Date:"), this);
    dateLabel->setObjectName(u"lblInstallDate"_s);
    form->addWidget(dateLabel, 0, 0);
    dteInstallDate = new ui::dtePicker(this);
    dteInstallDate->setObjectName(u"dteInstallDate"_s);
    dateLabel->setBuddy(dteInstallDate->chkSet);
    form->addWidget(dteInstallDate, 0, 1);
    connect(dteInstallDate->edit, &QDateEdit::dateChanged, this,
            &Coveragefrm::dteInstallDate_Change);

    auto *timeBox = new QWidget(this);
    auto *timeRow = new QHBoxLayout(timeBox);
    timeRow->setContentsMargins(0, 0, 0, 0);
    timeRow->setSpacing(2);
    chkInstallTime = new QCheckBox(timeBox);
    chkInstallTime->setObjectName(u"chkInstallTime"_s);
    txtInstallTime = new QTimeEdit(timeBox);
    txtInstallTime->setObjectName(u"txtInstallTime"_s);
    txtInstallTime->setDisplayFormat(u"hh:mm"_s);
    const QString tip = tr("Check to install glass at a specified time");
    chkInstallTime->setToolTip(tip);
    txtInstallTime->setToolTip(tip);
    timeRow->addWidget(chkInstallTime);
    timeRow->addWidget(txtInstallTime, 1);
    auto *timeLabel = new QLabel(tr("Installation &Time:"), this);
    timeLabel->setObjectName(u"lblInstallTime"_s);
    timeLabel->setBuddy(chkInstallTime);
    form->addWidget(timeLabel, 0, 2);
    form->addWidget(timeBox, 0, 3);

    chkMobile = new orvane::ui::AnswerBox(tr("&Mobile?"), this);
    chkMobile->setObjectName(u"chkMobile"_s);
    chkMobile->setTristate(true);
    chkMobile->setCheckState(Qt::PartiallyChecked);
    form->addWidget(chkMobile, 1, 1);
    auto *zipLabel = new QLabel(tr("Work Location &Zip :"), this);
    zipLabel->setObjectName(u"lblZip"_s);
    form->addWidget(zipLabel, 1, 2);
    txtZip = new QLineEdit(this);
    txtZip->setObjectName(u"txtZip"_s);
    zipLabel->setBuddy(txtZip);
    txtZip->setInputMask(u"99999"_s);
    txtZip->setToolTip(tr("Sold To Zip Code"));
    form->addWidget(txtZip, 1, 3);
    layout->addLayout(form);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdBuild = new QPushButton(tr("&Accept Work"), this);
    cmdBuild->setObjectName(u"cmdBuild"_s);
    cmdCancel = new QPushButton(tr("D&ecline Work Assignment"), this);
    cmdCancel->setObjectName(u"cmdCancel"_s);
    cmdBuild->setAutoDefault(false);
    cmdCancel->setAutoDefault(false);
    // Enter accepts (after the checks); declining is never a key press away.
    cmdBuild->setDefault(true);
    buttons->addWidget(cmdBuild);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);
    connect(cmdBuild, &QPushButton::clicked, this, &Coveragefrm::cmdBuild_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &Coveragefrm::cmdCancel_Click);

    setTabOrder(grdAuthorize, cmdVehicle);
    setTabOrder(cmdVehicle, dteInstallDate->chkSet);
    setTabOrder(dteInstallDate->chkSet, dteInstallDate->edit);
    setTabOrder(dteInstallDate->edit, chkInstallTime);
    setTabOrder(chkInstallTime, txtInstallTime);
    setTabOrder(txtInstallTime, chkMobile);
    setTabOrder(chkMobile, txtZip);
    setTabOrder(txtZip, cmdBuild);
    setTabOrder(cmdBuild, cmdCancel);

    // A fixed floor: the vehicle button comes and goes while the view is shown.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    setMinimumSize(640, 360);
    resize(760, 420);
    setWindowIcon(orvane::ui::libraryIcon(111));
    registerView({{grdAuthorize, u"COVERAGE.1.1"_s}});
}

Coveragefrm::~Coveragefrm()
{
    Form_Unload();
}

void Coveragefrm::Form_Unload()
{
    if (!unloadView())
        return;
    coverage_.reset();
    notice_.reset();
    invoice_.reset();
}

void Coveragefrm::setCoverage(std::shared_ptr<ext::IRsTable> coverage)
{
    coverage_ = std::move(coverage);
}

void Coveragefrm::setNotice(std::shared_ptr<ext::IRsTable> notice)
{
    notice_ = std::move(notice);
}

void Coveragefrm::setInvoice(std::shared_ptr<ext::IInvoice> invoice)
{
    invoice_ = std::move(invoice);
    setErrorInvoice(invoice_);
}

void Coveragefrm::showEvent(QShowEvent *event)
{
    LibraryView::showEvent(event);
    Form_Activate();
}

bool Coveragefrm::isSelected(int row) const
{
    return row >= 0 && std::size_t(row) < selected_.size() && selected_[std::size_t(row)];
}

void Coveragefrm::Form_Activate()
{
    if (activated_)
        return;
    activated_ = true;
    Proc p = proc(u"Form_Activate"_s);
    try {
        p.at(10);
        rows_ = orvane::required(coverage_)->itemsrecordset();
        if (rows_.recordCount() > 0) {
            rows_.moveFirst();
            const QString code = text(rows_, u"errorcode"_s);
            if (vb::Val(code) != 0)
                lblWarn->setText(tr("WARNING : Error ") % vb::Trim(code) % u"        "_s %
                                 vb::Trim(text(rows_, u"ErrorText"_s)));
        }
        p.at(20);
        model_ = new orvane::RecordsetModel(this);
        model_->addColumn(RecordsetColumn::unbound(
            tr("A"),
            [this](int row, const Value &) {
                return QVariant(isSelected(row) ? Qt::Checked : Qt::Unchecked);
            },
            {}, orvane::ColumnFormat::CheckBox));
        const int w = model_->addColumn(
            RecordsetColumn::unbound(tr("W"), [this](int row, const Value &bookmark) {
                Recordset r = rows_.clone();
                r.setBookmark(bookmark);
                (void)row;
                return QVariant(vb::Val(text(r, u"veherr"_s)) != 0 ? u"!"_s : QString());
            }));
        model_->setCellTipProvider(w, [this](int, const Value &bookmark) {
            Recordset r = rows_.clone();
            r.setBookmark(bookmark);
            return text(r, u"errorcode"_s).isEmpty() ? QString()
                                                     : vb::Trim(text(r, u"veherrtext"_s));
        });
        model_->addColumn(RecordsetColumn::bound(u"Deductible"_s, tr("Deductible"),
                                                 orvane::ColumnFormat::Currency));
        model_->addColumn(RecordsetColumn::bound(u"VehicleID"_s, tr("Vehicle ID")));
        model_->addColumn(RecordsetColumn::bound(u"vehiclesrc"_s, tr("Source")));
        model_->addColumn(RecordsetColumn::bound(u"Vehline"_s, tr("Vehicle Line")));
        model_->addColumn(RecordsetColumn::bound(u"VehNum"_s, tr("Vehicle Number")));
        model_->addColumn(RecordsetColumn::bound(u"VehDesc"_s, tr("Description")));
        for (int c = 0; c < model_->columnCount(); ++c)
            model_->setColumnReadOnly(c, true);
        model_->setRecordset(rows_);
        grdAuthorize->setModel(model_);
        grdAuthorize->setColumnWidth(0, 28);
        grdAuthorize->setColumnWidth(1, 28);
        connect(grdAuthorize->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                [this](const QModelIndex &now) {
                    model_->setCurrentRow(now.row());
                    showVehicleButton();
                });
        selected_.assign(std::size_t(model_->rowCount()), false);
        if (selected_.size() == 1)
            selected_[0] = true;
        if (model_->rowCount() > 0)
            model_->setCurrentRow(0);

        p.at(30);
        showVehicleButton();
        dteInstallDate->clear();
        chkInstallTime->setChecked(false);
    } catch (...) {
        reportTrapped(p);
    }
}

void Coveragefrm::showVehicleButton()
{
    const bool show = rows_.isOpen() && !rows_.eof() && !rows_.bof() &&
                      !vb::Trim(text(rows_, u"vehicleid"_s)).isEmpty();
    cmdVehicle->setVisible(show);
    lblVehicle->setVisible(show);
}

void Coveragefrm::toggleRow(int row)
{
    if (row < 0 || std::size_t(row) >= selected_.size())
        return;
    const bool now = !selected_[std::size_t(row)];
    if (now)
        std::fill(selected_.begin(), selected_.end(), false);
    selected_[std::size_t(row)] = now;
    model_->refreshColumn(kColumnA);
}

void Coveragefrm::dteInstallDate_Change()
{
    if (!dteInstallDate->isEmpty() && dteInstallDate->edit->date() <= kNoDate)
        dteInstallDate->edit->setDate(QDate::currentDate());
}

void Coveragefrm::Getvehicle()
{
    Proc p = proc(u"Getvehicle"_s);
    try {
        p.at(10);
        const auto env = orvane::required(orvane::required(invoice_)->Env());
        const auto orderCar = orvane::required(invoice_->Item(u"car"_s));
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
        const auto chosen = chooser->choosecar(orvane::handleOf(this), car, u"YEAR"_s);
        if (!chosen)
            return;
        p.at(30);
        auto part = [](const Value &v) { return v.isNull() ? QString() : vb::Trim(v.toText()); };
        lblVehicle->setText(part(chosen->Year()) % u"-"_s % part(chosen->make()) % u"-"_s %
                            part(chosen->model()) % u"-"_s % part(chosen->body()));
        const QString id = orvane::loss::LossNotice::vehicleIdNumber(part(chosen->car_id()));
        modOrvane::setRSValue(rows_.field(u"VehicleID"_s), id);
        rows_.update();
        model_->refresh();
    } catch (...) {
        reportTrapped(p);
    }
}

bool Coveragefrm::validData(bool accept)
{
    Proc p = proc(u"validData"_s);
    try {
        p.at(10);
        int count = 0, last = -1;
        for (std::size_t i = 0; i < selected_.size(); ++i)
            if (selected_[i]) {
                ++count;
                last = int(i);
            }
        if (last >= 0)
            model_->setCurrentRow(last);

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
        fails(!dteInstallDate->isEmpty() && dteInstallDate->edit->date() < kNoDate,
              tr("You must select a valid installation Date"));
        fails(!chkInstallTime->isChecked(), tr("You must select a time for the scheduled install"));
        fails(chkMobile->checkState() == Qt::PartiallyChecked,
              tr("You must choose whether the Job is mobile or In-Shop"));
        if (accept) {
            fails(txtZip->text().isEmpty(),
                  tr("You must enter a Work Location Zip code where the work will be performed "));
            fails(vb::Trim(txtZip->text()).size() != 5,
                  tr("The Work Location Zip code must be 5 digits."));
        }
        p.at(30);
        if (msg.isEmpty())
            return true;
        orvane::Ui::instance().msgBox(tr("You have not completed all the information to accept "
                                         "this Loss") %
                                          CRLF % CRLF % msg,
                                      MsgButtons::OK, MsgIcon::Critical, tr("Invalid Entries"));
        return false;
    } catch (...) {
        reportTrapped(p);
        return false;
    }
}

bool Coveragefrm::BuildXML(bool accept, orvane::XmlDocument &doc)
{
    Proc p = proc(u"BuildXML"_s);
    try {
        p.at(10);
        const QString session = modOrvane::CreateGUIDString();
        if (session.isEmpty())
            throw orvane::VbError(orvane::err::Unspecified, p.name(),
                                  u"No session identifier could be made."_s);
        const Recordset notice = orvane::required(notice_)->itemsrecordset();
        doc = orvane::XmlDocument();
        doc.appendChild(doc.createElement(u"LossNoticeAcknowledgement"_s));
        auto add = [&doc](const orvane::XmlNode &parent, const QString &name, QString value) {
            XMLUtilmod::CreateNode(doc, name, value, parent);
        };

        p.at(20);
        const orvane::XmlNode header =
            XMLUtilmod::CreateNodeRoot(doc, u"LossNoticeAcknowledgementHeader"_s);
        add(header, u"EnvironmentID"_s, u"PROD"_s);
        add(header, u"SessionID"_s, session);
        add(header, u"OriginationPID"_s, text(notice, u"origpid"_s));
        add(header, u"OriginationCompanyID"_s, text(notice, u"orgcoid"_s));
        add(header, u"DestinationPID"_s, text(notice, u"destpid"_s));
        add(header, u"TransactionDate"_s,
            vb::FormatYYYYMMDD(orvane::DateValue::fromDate(QDate::currentDate())));
        add(header, u"TransactionTime"_s, vb::FormatHHMMSS(QTime::currentTime()));
        add(header, u"VersionNumber"_s, u"1.10"_s);

        p.at(30);
        const orvane::XmlNode d =
            XMLUtilmod::CreateNodeRoot(doc, u"LossNoticeAcknowledgementDetails"_s);
        add(d, u"LossReferenceNumber"_s, text(rows_, u"lossref"_s));
        add(d, u"AcceptWork"_s, accept ? u"Y"_s : u"N"_s);
        add(d, u"AcceptanceContact"_s, text(notice, u"contact"_s));
        add(d, u"VehicleID"_s, text(rows_, u"VehicleID"_s));
        add(d, u"VehicleIDSource"_s, text(rows_, u"Vehiclesrc"_s));
        add(d, u"VehicleLineNumber"_s, text(rows_, u"vehline"_s));
        add(d, u"RequestedAppointmentDate"_s,
            dteInstallDate->isEmpty()
                ? QString()
                : vb::FormatYYYYMMDD(orvane::DateValue::fromDate(dteInstallDate->edit->date())));
        add(d, u"RequestedAppointmentTime"_s, vb::FormatHHMMSS(txtInstallTime->time()));
        add(d, u"MobileIndicator"_s, chkMobile->checkState() == Qt::Checked ? u"Y"_s : u"N"_s);
        add(d, u"WorkLocationPostalCode"_s, vb::Trim(txtZip->text()));
        add(d, u"ErrorCode"_s, QString());
        add(d, u"ErrorText"_s, QString());
        XMLUtilmod::CreateNode(doc, u"Filename"_s, session);
        XMLUtilmod::CreateNode(doc, u"ReturnCode"_s, u"0"_s);
        XMLUtilmod::CreateNode(doc, u"ReturnText"_s, QString());
        return true;
    } catch (...) {
        doc = orvane::XmlDocument();
        reportTrapped(p);
        return false;
    }
}

void Coveragefrm::SendXML(bool accept)
{
    Proc p = proc(u"SendXML"_s);
    try {
        p.at(10);
        orvane::XmlDocument doc;
        // A failed build is no answer: the wait view must not go on as if
        // the insurer had been told.
        if (!BuildXML(accept, doc))
            return;
        const orvane::XmlNode root = doc.documentElement();
        auto value = [&root](const QString &name) {
            return XMLUtilmod::ReturnNormValue(root, name);
        };
        const QString session = value(u"SessionID"_s);

        p.at(20);
        // The answer's row and its transaction row are stored together or
        // not at all: an answer kept but never sent could not be given again,
        // the coverage rows being read already. The trap below reports only
        // after the transaction, a local of this block, is taken back.
        StagingWrites::Transaction transaction(orvane::required(notice_)->Env());
        auto ack = orvane::CreateObject<ext::IRsTable>(QString::fromUtf16(ext::progid::g_lossack));
        ack->setEnv(orvane::required(notice_)->Env());
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
        if (!dteInstallDate->isEmpty())
            rs.setValue(u"installdat"_s, orvane::DateValue::fromDate(dteInstallDate->edit->date()));
        put(u"installtim"_s, value(u"RequestedAppointmentTime"_s));
        rs.setValue(u"Mobile"_s, chkMobile->checkState() == Qt::Checked);
        if (modOrvane::FieldExists(rs, u"zip"_s))
            put(u"zip"_s, vb::Trim(txtZip->text()));
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
        hide();
    } catch (...) {
        reportTrapped(p);
    }
}

void Coveragefrm::cmdBuild_Click()
{
    Proc p(u"qorOrvaneUI.Authorizationfrm.cmdBuild_Click"_s);
    try {
        p.at(10);
        if (validData(true))
            SendXML(true);
    } catch (...) {
        reportTrapped(p);
    }
}

void Coveragefrm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    LibraryView::keyPressEvent(event);
}

void Coveragefrm::cmdCancel_Click()
{
    Proc p(u"qorOrvaneUI.Authorizationfrm.cmdCancel_Click"_s);
    try {
        p.at(10);
        if (validData(false)) {
            declined_ = true;
            SendXML(false);
        }
    } catch (...) {
        reportTrapped(p);
    }
}

} // namespace orvane::loss
