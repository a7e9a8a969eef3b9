#include "qorOrvaneUI/loss/Coveragefrm.h"

#include "qorOrvaneUI/core/StagingWrites.h"
#include "qorOrvaneUI/core/TransactionQueue.h"
#include "qorOrvaneUI/core/XMLUtilmod.h"
#include "qorOrvaneUI/core/modOrvane.h"
#include "qorOrvaneUI/core/widgets/DatePicker.h"
#include "qorOrvaneUI/loss/LossNotice.h"
#include "runtime/vb.h"
#include "runtime/widgets/RecordsetModel.h"
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
#include <qorOrvaneUI/widgets/Ui.h>

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
#include <QVBoxLayout>

namespace orvane::loss {

using namespace Qt::StringLiterals;
using orvane::Proc;
using orvane::Recordset;
using orvane::RecordsetColumn;
using orvane::Value;
namespace ext = orvane::ext;

namespace {

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
    answer_.release();
}

void Coveragefrm::setCoverage(std::shared_ptr<ext::IRsTable> coverage)
{
    answer_.setCoverage(std::move(coverage));
}

void Coveragefrm::setNotice(std::shared_ptr<ext::IRsTable> notice)
{
    answer_.setNotice(std::move(notice));
}

void Coveragefrm::setInvoice(std::shared_ptr<ext::IInvoice> invoice)
{
    setErrorInvoice(invoice);
    answer_.setInvoice(std::move(invoice));
}

void Coveragefrm::showEvent(QShowEvent *event)
{
    LibraryView::showEvent(event);
    Form_Activate();
}

void Coveragefrm::Form_Activate()
{
    if (activated_)
        return;
    activated_ = true;
    Proc p = proc(u"Form_Activate"_s);
    try {
        p.at(10);
        answer_.load();
        if (const QString warning = answer_.warning(); !warning.isEmpty())
            lblWarn->setText(warning);
        const Recordset &rows = answer_.rows();
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
                Recordset r = answer_.rows().clone();
                r.setBookmark(bookmark);
                (void)row;
                return QVariant(vb::Val(text(r, u"veherr"_s)) != 0 ? u"!"_s : QString());
            }));
        model_->setCellTipProvider(w, [this](int, const Value &bookmark) {
            Recordset r = answer_.rows().clone();
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
        model_->setRecordset(rows);
        grdAuthorize->setModel(model_);
        grdAuthorize->setColumnWidth(0, 28);
        grdAuthorize->setColumnWidth(1, 28);
        connect(grdAuthorize->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                [this](const QModelIndex &now) {
                    model_->setCurrentRow(now.row());
                    showVehicleButton();
                });
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
    const bool show = answer_.hasVehicle();
    cmdVehicle->setVisible(show);
    lblVehicle->setVisible(show);
}

void Coveragefrm::toggleRow(int row)
{
    answer_.toggleRow(row);
    if (model_)
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
        const QString chosen = answer_.chooseVehicle(orvane::handleOf(this), p);
        if (chosen.isEmpty())
            return;
        lblVehicle->setText(chosen);
        model_->refresh();
    } catch (...) {
        reportTrapped(p);
    }
}

orvane::loss::CoverageAnswer::Entries Coveragefrm::entries() const
{
    orvane::loss::CoverageAnswer::Entries e;
    if (!dteInstallDate->isEmpty())
        e.installDate = dteInstallDate->edit->date();
    e.timeSet = chkInstallTime->isChecked();
    e.installTime = txtInstallTime->time();
    e.mobile = chkMobile->checkState();
    e.zip = txtZip->text();
    return e;
}

bool Coveragefrm::validData(bool accept)
{
    // The chosen row becomes the grid's current one before it is checked.
    if (const int last = answer_.lastSelected(); last >= 0 && model_)
        model_->setCurrentRow(last);
    return answer_.validData(accept, entries());
}

bool Coveragefrm::BuildXML(bool accept, orvane::XmlDocument &doc)
{
    return answer_.BuildXML(accept, entries(), doc);
}

void Coveragefrm::SendXML(bool accept)
{
    if (answer_.SendXML(accept, entries()))
        hide();
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
            answer_.setDeclined(true);
            SendXML(false);
        }
    } catch (...) {
        reportTrapped(p);
    }
}

} // namespace orvane::loss
