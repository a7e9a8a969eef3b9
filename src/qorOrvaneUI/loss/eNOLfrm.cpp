#include "qorOrvaneUI/loss/eNOLfrm.h"

#include "qorOrvaneUI/core/Form_Utils.h"
#include "qorOrvaneUI/core/Orvanemod.h"
#include "qorOrvaneUI/core/StagingWrites.h"
#include "qorOrvaneUI/core/TransactionQueue.h"
#include "qorOrvaneUI/core/WindowAPImod.h"
#include "qorOrvaneUI/core/XMLUtilmod.h"
#include "qorOrvaneUI/core/modOrvane.h"
#include "qorOrvaneUI/core/widgets/BoundEntries.h"
#include "qorOrvaneUI/core/widgets/Entries.h"
#include "qorOrvaneUI/core/widgets/FormParts.h"
#include "qorOrvaneUI/loss/CauseOfLossBox.h"
#include "qorOrvaneUI/loss/DamageLinesBox.h"
#include "qorOrvaneUI/loss/IdLists.h"
#include "qorOrvaneUI/loss/eNOLwaitfrm.h"
#include "runtime/vb.h"
#include "runtime/widgets/RecordsetDelegate.h"
#include "runtime/widgets/RecordsetModel.h"
#include <qorOrvaneUI/external/IAgentControl.h>
#include <qorOrvaneUI/external/IDataCommand.h>
#include <qorOrvaneUI/external/IEnvironment.h>
#include <qorOrvaneUI/external/IInsIdList.h>
#include <qorOrvaneUI/external/IInscoIdList.h>
#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/external/IOidList.h>
#include <qorOrvaneUI/external/IOptions.h>
#include <qorOrvaneUI/external/IPidList.h>
#include <qorOrvaneUI/external/IRsTable.h>
#include <qorOrvaneUI/external/IShop.h>
#include <qorOrvaneUI/external/IUser.h>
#include <qorOrvaneUI/external/IVehicle.h>
#include <qorOrvaneUI/external/IVehicleChooser.h>
#include <qorOrvaneUI/external/Ig_trans.h>
#include <qorOrvaneUI/external/ObjectCast.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/widgets/Ui.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <limits>

namespace orvane::loss {

using namespace Qt::StringLiterals;
using orvane::MsgButtons;
using orvane::MsgIcon;
using orvane::Proc;
using orvane::Recordset;
using orvane::Value;
namespace ext = orvane::ext;

namespace {

const QDate kNoDate(1900, 1, 1);
QString trimmed(const QLineEdit *e)
{
    return vb::Trim(e->text());
}

} // namespace

// --- the view ---------------------------------------------------------------------

eNOLfrm::eNOLfrm(QWidget *parent) : LibraryView(u"eNOLfrm"_s, tr("Claim Launch"), parent)
{
    setSizeGripEnabled(true);
    notice_.reporter = [this](const Proc &p) { reportTrapped(p); };
    buildLayout();
    Form_Load();
}

eNOLfrm::~eNOLfrm()
{
    Form_Unload();
}

void eNOLfrm::setInvoice(std::shared_ptr<ext::IInvoice> invoice)
{
    invoice_ = std::move(invoice);
    setErrorInvoice(invoice_);
    notice_.setInvoice(invoice_);
}

void eNOLfrm::buildLayout()
{
    typing_ = new orvane::ui::EntryTyping(this);
    typing_->left = [this](QLineEdit *e) { writeBound(e); };
    const orvane::ui::FormParts parts(this, typing_);
    auto label = [&](const QString &text, QWidget *buddy = nullptr) {
        lbledit.push_back(parts.label(u"lbledit"_s, int(lbledit.size()), text, buddy));
        return lbledit.back();
    };
    auto nolLabel = [&](int index, const QString &text) {
        return lbleNOL[size_t(index)] = parts.label(u"lbleNOL"_s, index, text);
    };
    auto entry = [&](const QString &name, int index = -1, const QString &field = QString(),
                     const QString &tip = QString()) {
        return parts.entry(name, index, field, tip);
    };
    auto masked = [&](const QString &name, int index, const QString &mask, const QString &field,
                      int width, const QString &tip = QString()) {
        return parts.masked(name, index, mask, field, width, tip);
    };
    auto button = [&](const QString &name, const QString &caption, const QString &tip = {}) {
        return parts.button(name, caption, tip);
    };
    auto combo = [&](const QString &name, const QStringList &items = {}) {
        return parts.combo(name, items);
    };

    // Widgets are made in the order the user tabs through them.
    // Identifiers.
    const QString listTip = tr("Click to display a list of Bill To Customers to choose from");
    auto *ids = new QGridLayout;
    ids->setVerticalSpacing(4);
    ids->setColumnStretch(3, 1);
    struct IdRow {
        QLineEdit *&entry;
        QLabel *&name;
        QPushButton *&list;
        const char16_t *entryName, *nameName, *listName;
        const char *caption;
    };
    IdRow idRows[] = {
        {txtPID, lblPIDName, cmdPIDList, u"txtPID", u"lblPIDName", u"cmdPIDList",
         QT_TR_NOOP("&Retail PID :")},
        {txtOID, lblOID, cmdNetID, u"txtOID", u"lblOID", u"cmdNetID",
         QT_TR_NOOP("&Network PID : ")},
        {txtInsCOID, lblInsCOID, cmdCompanyID, u"txtInsCOID", u"lblInsCOID", u"cmdCompanyID",
         QT_TR_NOOP("&Ins Co. ID")},
        {txtInsuranceID, lblInsuranceID, cmdInsuranceID, u"txtInsuranceID", u"lblInsuranceID",
         u"cmdInsuranceID", QT_TR_NOOP("Ins&urer ID : ")},
    };
    for (int i = 0; i < 4; ++i) {
        IdRow &r = idRows[i];
        QLabel *l = nolLabel(i, tr(r.caption));
        r.entry = entry(QString::fromUtf16(r.entryName));
        r.entry->setFixedWidth(150);
        l->setBuddy(r.entry);
        r.list = button(QString::fromUtf16(r.listName), u"..."_s, listTip);
        r.list->setFixedWidth(32);
        r.name = new QLabel(this);
        r.name->setObjectName(QString::fromUtf16(r.nameName));
        r.name->setTextInteractionFlags(Qt::TextSelectableByMouse);
        ids->addWidget(l, i, 0);
        ids->addWidget(r.entry, i, 1);
        ids->addWidget(r.list, i, 2);
        ids->addWidget(r.name, i, 3);
        ids_[size_t(i)] = {r.entry, r.name};
    }
    // The company card runs over several lines; it sits beside the four rows.
    ids->removeWidget(lblInsCOID);
    ids->addWidget(lblInsCOID, 0, 4, 4, 1, Qt::AlignTop | Qt::AlignLeft);
    lblInsCOID->setMinimumWidth(220);
    ids->setColumnStretch(4, 1);

    const auto frameGrid = &orvane::ui::FormParts::frameGrid;
    auto addRow = [](QGridLayout *g, QWidget *rowLabel, std::initializer_list<QWidget *> widgets,
                     bool trailingStretch = false) {
        orvane::ui::FormParts::addRow(g, rowLabel, widgets, trailingStretch);
    };

    // Customer.
    fraCustomer = new QGroupBox(tr("Customer Information"), this);
    fraCustomer->setObjectName(u"fraCustomer"_s);
    auto *cust = frameGrid(fraCustomer);
    txtSoldTo[15] = entry(u"txtSoldTo"_s, 15, u"s_First"_s, tr("Sold To First Name"));
    txtSoldTo[14] = entry(u"txtSoldTo"_s, 14, u"s_Last"_s, tr("Sold To Last Name"));
    addRow(cust, label(tr("&First, Last:"), txtSoldTo[15]), {txtSoldTo[15], txtSoldTo[14]});
    txtSoldTo[13] = entry(u"txtSoldTo"_s, 13, u"s_Address"_s);
    addRow(cust, label(tr("Addr&ess:"), txtSoldTo[13]), {txtSoldTo[13]});
    txtSoldTo[11] = entry(u"txtSoldTo"_s, 11, u"s_City"_s);
    txtSoldTo[10] = entry(u"txtSoldTo"_s, 10, u"s_State"_s);
    txtSoldTo[10]->setFixedWidth(40);
    txtSold_To[3] = masked(u"txtSold_To"_s, 3, u"99999-9999"_s, u"s_Zip"_s, 90);
    addRow(cust, label(tr("Cit&y, St Zip:"), txtSoldTo[11]),
           {txtSoldTo[11], txtSoldTo[10], txtSold_To[3]});
    txtSold_To[0] = masked(u"txtSold_To"_s, 0, u"999"_s, u"s_area1"_s, 44);
    txtSold_To[4] = masked(u"txtSold_To"_s, 4, u"999-9999"_s, u"s_Phone1"_s, 80);
    addRow(cust, label(tr("&Work Ph:"), txtSold_To[0]), {txtSold_To[0], txtSold_To[4]}, true);
    txtSold_To[1] = masked(u"txtSold_To"_s, 1, u"999"_s, u"s_area2"_s, 44);
    txtSold_To[5] = masked(u"txtSold_To"_s, 5, u"999-9999"_s, u"s_Phone2"_s, 80);
    addRow(cust, label(tr("&Home Ph:"), txtSold_To[1]), {txtSold_To[1], txtSold_To[5]}, true);
    dteLossDate = new ui::dtePicker(this);
    dteLossDate->setObjectName(u"dteLossDate"_s);
    orvane::ui::bindToField(dteLossDate, u"LossDate"_s);
    dteLossDate->setToolTip(tr("Date Loss Occurred"));
    dteLossDate->setFixedWidth(170);
    addRow(cust, label(tr("Date of &Loss:"), dteLossDate->chkSet), {dteLossDate}, true);
    cust->setRowStretch(cust->rowCount(), 1);

    // Insurance and agent.
    fraAgent = new QGroupBox(tr("Insurance Information"), this);
    fraAgent->setObjectName(u"fraAgent"_s);
    auto *agent = frameGrid(fraAgent);
    txtLossIDNumber = entry(u"txtLossIDNumber"_s, -1, u"Claim"_s);
    addRow(agent, nolLabel(4, tr("L&oss ID # (claim) :")), {txtLossIDNumber});
    lbleNOL[4]->setBuddy(txtLossIDNumber);
    txtAgent[10] = entry(u"txtAgent"_s, 10, u"Policy"_s, tr("Insurance Policy Number"));
    addRow(agent, label(tr("&Policy Number:"), txtAgent[10]), {txtAgent[10]});
    txtPolicyState = entry(u"txtPolicyState"_s);
    txtPolicyState->setFixedWidth(40);
    txtPolicyState->setMaxLength(2);
    addRow(agent, label(tr("Policy S&tate :"), txtPolicyState), {txtPolicyState}, true);
    txtAgent[17] = entry(u"txtAgent"_s, 17, u"a_Company"_s);
    addRow(agent, label(tr("Company:"), txtAgent[17]), {txtAgent[17]});
    txtAgent[0] = entry(u"txtAgent"_s, 0, u"a_First"_s, tr("Agent's First Name"));
    try {
        agentControl_ =
            orvane::CreateObject<ext::IAgentControl>(QString::fromUtf16(ext::progid::qorAgent));
        qorAgent = agentControl_->widget(this);
    } catch (...) {
        // A host without an agent entry still gets the rest of the view, but is told why.
        qInfo("qorOrvaneUI: %ls; the loss notice shows no agent chooser",
              qUtf16Printable(orvane::currentError().description()));
        agentControl_.reset();
        qorAgent = nullptr;
    }
    if (qorAgent) {
        qorAgent->setObjectName(u"qorAgent"_s);
        qorAgent->setToolTip(tr("Agent for this Order"));
        addRow(agent, label(tr("First, Last:"), txtAgent[0]), {txtAgent[0], qorAgent});
    } else {
        addRow(agent, label(tr("First, Last:"), txtAgent[0]), {txtAgent[0]});
    }
    txtAgents[3] =
        masked(u"txtAgents"_s, 3, u"999"_s, u"a_area"_s, 44, tr("Agent's Phone Area Code"));
    txtAgents[1] =
        masked(u"txtAgents"_s, 1, u"999-9999"_s, u"a_Phone"_s, 80, tr("Agent's Phone Number"));
    addRow(agent, label(tr("Phone:"), txtAgents[3]), {txtAgents[3], txtAgents[1]}, true);
    agent->setRowStretch(agent->rowCount(), 1);

    // Vehicle.
    fraVehicle = new QGroupBox(tr("Vehicle Information"), this);
    fraVehicle->setObjectName(u"fraVehicle"_s);
    auto *veh = new QGridLayout(fraVehicle);
    veh->setContentsMargins(8, 4, 8, 6);
    veh->setVerticalSpacing(4);
    cboOwnership = combo(u"cboOwnership"_s,
                         {u"Owner"_s, u"Commercial"_s, u"Rental"_s, u"Borrowed"_s, u"3rd Part"_s});
    veh->addWidget(nolLabel(8, tr("Ownership :")), 0, 0);
    veh->addWidget(cboOwnership, 0, 1);
    txtVehicleNumber = entry(u"txtVehicleNumber"_s);
    veh->addWidget(nolLabel(7, tr("&Vehicle Number :")), 0, 2);
    veh->addWidget(txtVehicleNumber, 0, 3);
    cboVehicleType = combo(u"cboVehicleType"_s, {u"RV"_s, u"STANDARD"_s});
    veh->addWidget(nolLabel(6, tr("Vehicle Type :")), 1, 0);
    veh->addWidget(cboVehicleType, 1, 1);
    cboVehicleSource = combo(u"cboVehicleSource"_s, {u"NAGS"_s, u"Other"_s});
    veh->addWidget(nolLabel(5, tr("Vehicle Source :")), 1, 2);
    veh->addWidget(cboVehicleSource, 1, 3);
    lbleNOL[8]->setBuddy(cboOwnership);
    lbleNOL[7]->setBuddy(txtVehicleNumber);
    lbleNOL[6]->setBuddy(cboVehicleType);
    lbleNOL[5]->setBuddy(cboVehicleSource);
    auto *carRow = new QHBoxLayout;
    carRow->setSpacing(6);
    const std::pair<const char16_t *, const char *> cars[] = {
        {u"CarID", ""},
        {u"Year", QT_TR_NOOP("Year of Vehicle")},
        {u"Make", QT_TR_NOOP("Make of Vehicle")},
        {u"Model", QT_TR_NOOP("Model of Vehicle")},
        {u"Body", QT_TR_NOOP("Body Style of Vehicle")}};
    const int carWidths[] = {80, 48, 0, 0, 0};
    for (int i = 0; i < 5; ++i) {
        txtCar[size_t(i)] = entry(u"txtCar"_s, i, QString::fromUtf16(cars[i].first),
                                  *cars[i].second ? tr(cars[i].second) : QString());
        if (carWidths[i] > 0)
            txtCar[size_t(i)]->setFixedWidth(carWidths[i]);
        carRow->addWidget(txtCar[size_t(i)], carWidths[i] > 0 ? 0 : 1);
    }
    cmdVehicle = button(u"cmdVehicle"_s, u"..."_s, tr("Click to choose the vehicle"));
    cmdVehicle->setFixedWidth(32);
    carRow->addWidget(cmdVehicle);
    veh->addLayout(carRow, 2, 0, 1, 4);
    txtCar[5] = entry(u"txtCar"_s, 5, u"VIN"_s, tr("Vehicle Identification Number"));
    veh->addWidget(label(tr("VIN:"), txtCar[5]), 3, 0);
    veh->addWidget(txtCar[5], 3, 1, 1, 3);
    veh->setColumnStretch(1, 1);
    veh->setColumnStretch(3, 1);
    veh->setRowStretch(4, 1);

    // Cause of loss.
    causeBox_ = new orvane::loss::CauseOfLossBox(this, typing_);
    cboCauseofLoss = causeBox_->cboCauseofLoss;
    szrSubrogation = causeBox_->szrSubrogation;
    txtsubName = causeBox_->txtsubName;
    txtSubdata = causeBox_->txtSubdata;
    chkBodilyInjury = causeBox_->chkBodilyInjury;
    chkGlassDamage = causeBox_->chkGlassDamage;
    txtContactName = causeBox_->txtContactName;
    for (size_t i = 0; i < 3; ++i)
        lbleNOL[10 + i] = causeBox_->subLabels[i];

    // Damage lines.
    damageBox_ = new orvane::loss::DamageLinesBox(this, typing_);
    cboOpeningType = damageBox_->cboOpeningType;
    txtQuantity = damageBox_->txtQuantity;
    cboPos = damageBox_->cboPos;
    cboLocation = damageBox_->cboLocation;
    cboSide = damageBox_->cboSide;
    chkRepairable = damageBox_->chkRepairable;
    cmdAdd = damageBox_->cmdAdd;
    cmdDelete = damageBox_->cmdDelete;
    grdDamage = damageBox_->grdDamage;

    cmdAction[0] = button(u"cmdAction"_s, tr("&Submit"),
                          tr("Click to accept changes to agent and exit screen"));
    cmdAction[1] = button(u"cmdAction"_s, tr("&Cancel"), tr("Click to cancel agent edit"));
    cmdAction[0]->setIcon(orvane::ui::libraryIcon(101, QStyle::SP_DialogOkButton));
    cmdAction[1]->setIcon(orvane::ui::libraryIcon(102, QStyle::SP_DialogCancelButton));
    for (int i = 0; i < 2; ++i)
        cmdAction[size_t(i)]->setProperty("index", i);
    // Enter submits (the notice is checked first); the pickers keep their own Enter.
    cmdAction[0]->setDefault(true);

    // Identifiers on top; customer and insurance side by side; vehicle and
    // cause side by side; the damage lines across; the buttons at the foot.
    auto *form = new QGridLayout(this);
    form->setSizeConstraint(QLayout::SetNoConstraint);
    form->setContentsMargins(8, 6, 8, 8);
    form->setVerticalSpacing(6);
    form->addLayout(ids, 0, 0, 1, 2);
    form->addWidget(fraCustomer, 1, 0);
    form->addWidget(fraAgent, 1, 1);
    form->addWidget(fraVehicle, 2, 0);
    form->addWidget(causeBox_, 2, 1);
    form->addWidget(damageBox_, 3, 0, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdAction[0]);
    buttons->addWidget(cmdAction[1]);
    form->addLayout(buttons, 4, 0, 1, 2);
    form->setRowStretch(3, 1);
    form->setColumnStretch(0, 1);
    form->setColumnStretch(1, 1);

    using orvane::ui::Typing;
    typing_->set(txtQuantity, Typing::Digits);
    for (QLineEdit *e : {txtPolicyState, txtAgent[10]})
        typing_->set(e, Typing::Upper);
    for (QLineEdit *e : txtSoldTo)
        if (e)
            typing_->set(e, Typing::ProperCase);
    for (QLineEdit *e :
         {txtPolicyState, txtVehicleNumber, txtPID, txtOID, txtInsCOID, txtInsuranceID})
        typing_->keepCaretOnFocus(e);

    // The agent entry comes from the host after the other widgets: put it
    // after the agent's first name in the tab chain.
    if (qorAgent) {
        QWidget *first = qorAgent->findChild<QLineEdit *>();
        if (!first)
            first = qorAgent;
        setTabOrder(txtAgent[0], first);
        setTabOrder(first, txtAgents[3]);
    }

    // The layout keeps no minimum of its own (a window manager may refuse
    // one); the view opens at the size that shows everything.
    resize(form->sizeHint());
    for (int i = 0; i < 4; ++i)
        connect(idRows[i].list, &QPushButton::clicked, this, [this, i] { pickId(IdKind(i)); });
    connect(cmdVehicle, &QPushButton::clicked, this, &eNOLfrm::Getvehicle);
    connect(cboCauseofLoss, &QComboBox::currentIndexChanged, this, &eNOLfrm::cboCauseofLoss_Click);
    connect(cboOpeningType, &QComboBox::currentIndexChanged, this, &eNOLfrm::cboOpeningType_Click);
    connect(chkBodilyInjury, &QCheckBox::stateChanged, this, &eNOLfrm::chkBodilyInjury_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &eNOLfrm::cmdAdd_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &eNOLfrm::cmdDelete_Click);
    connect(cmdAction[0], &QPushButton::clicked, this, [this] { cmdAction_Click(0); });
    connect(cmdAction[1], &QPushButton::clicked, this, [this] { cmdAction_Click(1); });
    connect(dteLossDate, &ui::dtePicker::left, this, &eNOLfrm::dteLossDate_LostFocus);
}

void eNOLfrm::Form_Load()
{
    if (loaded_)
        return;
    loaded_ = true;
    registerView();
}

void eNOLfrm::Form_Unload()
{
    if (!loaded_)
        return;
    unloadView();
    if (agentControl_)
        agentControl_->onAgentChosen({});
}

void eNOLfrm::showEvent(QShowEvent *event)
{
    LibraryView::showEvent(event);
    Form_Activate();
}

bool eNOLfrm::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return LibraryView::event(event);
}

void eNOLfrm::Form_Activate()
{
    if (activated_ || !invoice_)
        return;
    activated_ = true;
    Proc p = proc(u"Form_Activate"_s);
    try {
        p.at(10);
        for (const IdKind kind :
             {IdKind::Retail, IdKind::Network, IdKind::Company, IdKind::Insurer})
            fillInId(kind);
        p.at(20);
        limitNoticeEntries();
        loadBoundEntries();
        if (agentControl_) {
            agentControl_->setEnv(invoice_->Env());
            agentControl_->setRecordset(invoice_->itemsrecordset());
            agentControl_->onAgentChosen([this](const Recordset &agent) { agentChosen(agent); });
        }
        p.at(30);
        ResetControls();
        p.at(40);
        cboVehicleSource->setCurrentIndex(0);
        cboVehicleType->setCurrentIndex(1);
        p.at(50);
        SetCauseofLoss();
        FillDamageCode();
        FillNagsRS();
        p.at(60);
        const auto user = orvane::required(orvane::required(invoice_->Env())->currentuser());
        txtContactName->setText(vb::Trim(user->Item(u"First"_s) % u" "_s % user->Item(u"Last"_s)));
    } catch (...) {
        reportTrapped(p);
    }
}

// --- identifiers -------------------------------------------------------------------

void eNOLfrm::fillInId(IdKind kind)
{
    const auto found = notice_.fillIn(kind, txtPID->text(), txtOID->text());
    const auto [entry, name] = ids_[size_t(kind)];
    if (found.id)
        entry->setText(*found.id);
    if (found.name)
        name->setText(*found.name);
}

void eNOLfrm::pickId(IdKind kind)
{
    // The company list reports under the network list's name, as the host's logs know it.
    static const char16_t *const procs[] = {u"cmdPIDList_Click", u"cmdNetID_Click",
                                            u"cmdNetID_Click", u"cmdInsuranceID_Click"};
    Proc p = proc(QString::fromUtf16(procs[int(kind)]));
    try {
        p.at(10);
        if (const auto row = orvane::loss::chooseId(kind, invoice_->Env(), txtPID->text(),
                                                    txtOID->text(), orvane::handleOf(cmdPIDList))) {
            const auto [id, text] = LossNotice::chosenId(kind, *row);
            ids_[size_t(kind)].first->setText(id);
            ids_[size_t(kind)].second->setText(text);
        }
        p.at(20);
        ResetControls();
    } catch (...) {
        reportTrapped(p);
    }
}

// --- entries bound to the order ----------------------------------------------------

void eNOLfrm::loadBoundEntries()
{
    orvane::ui::loadBoundEntries(this, invoice_->itemsrecordset());
}

void eNOLfrm::limitNoticeEntries()
{
    const Recordset columns = notice_.noticeColumns();
    if (!columns.isOpen())
        return; // without the limits the values are still fitted when they are stored
    const std::pair<QLineEdit *, const char16_t *> stored[] = {{txtPID, u"origpid"},
                                                               {txtInsCOID, u"orgcoid"},
                                                               {txtOID, u"destpid"},
                                                               {txtInsuranceID, u"insurerid"},
                                                               {txtPolicyState, u"policyst"},
                                                               {txtLossIDNumber, u"lossid"},
                                                               {txtVehicleNumber, u"vehiclenum"},
                                                               {txtsubName, u"subname"},
                                                               {txtSubdata, u"subdata"},
                                                               {txtContactName, u"contact"}};
    for (const auto &[entry, column] : stored)
        orvane::ui::limitTo(entry, columns.field(QString::fromUtf16(column)));
}

void eNOLfrm::commitPendingEntry(QWidget *focused)
{
    if (dteLossDate->isAncestorOf(focused))
        dteLossDate_LostFocus();
    else if (auto *entry = qobject_cast<QLineEdit *>(focused))
        writeBound(entry);
}

void eNOLfrm::writeBound(QLineEdit *entry)
{
    const QString field = orvane::ui::boundField(entry);
    if (field.isEmpty() || !invoice_)
        return;
    Proc p = proc(entry->objectName() % u"_LostFocus"_s);
    try {
        p.at(10);
        modOrvane::setRSValue(invoice_->itemsrecordset().field(field),
                              orvane::ui::storedText(entry));
    } catch (...) {
        reportTrapped(p);
    }
}

void eNOLfrm::ResetControls()
{
    Proc p = proc(u"ResetControls"_s);
    try {
        p.at(10);
        const Recordset rs = invoice_->itemsrecordset();
        orvane::ui::loadMaskedEntries(this, rs);
        p.at(20);
        const Value loss = rs.value(orvane::ui::boundField(dteLossDate));
        if (loss.kind() != orvane::ValueKind::Date || loss.toDate().date() <= kNoDate)
            dteLossDate->clear();
        else
            dteLossDate->setValue(loss.toDate().toDateTime());
    } catch (...) {
        reportTrapped(p);
    }
}

void eNOLfrm::dteLossDate_LostFocus()
{
    Proc p = proc(u"dteLossDate_LostFocus"_s);
    try {
        p.at(10);
        if (!invoice_)
            return;
        Recordset rs = invoice_->itemsrecordset();
        const QString field = orvane::ui::boundField(dteLossDate);
        if (dteLossDate->isEmpty()) {
            rs.setValue(field, Value(QDate(1899, 12, 31)));
            return;
        }
        if (dteLossDate->value().date() <= kNoDate)
            dteLossDate->setValue(QDateTime::currentDateTime());
        p.at(20);
        rs.setValue(field, Value(orvane::DateValue::fromDateTime(dteLossDate->value())));
    } catch (...) {
        reportTrapped(p);
    }
}

void eNOLfrm::agentChosen(const Recordset &agent)
{
    Proc p = proc(u"qorAgent_LostFocus"_s);
    try {
        p.at(10);
        invoice_->SetAgent(agent);
        p.at(20);
        loadBoundEntries();
        ResetControls();
    } catch (...) {
        reportTrapped(p);
    }
}

void eNOLfrm::Getvehicle()
{
    if (!notice_.Getvehicle(orvane::handleOf(this)))
        return;
    Proc p = proc(u"Getvehicle"_s);
    try {
        p.at(50);
        loadBoundEntries();
    } catch (...) {
        reportTrapped(p);
    }
}

// --- cause of loss and damage lines ------------------------------------------------

void eNOLfrm::SetCauseofLoss()
{
    causeBox_->setCauses(notice_.SetCauseofLoss());
}

void eNOLfrm::FillDamageCode()
{
    damageBox_->setOpenings(notice_.FillDamageCode());
    Proc p = proc(u"FillDamageCode"_s);
    try {
        p.at(20);
        damageBox_->bind(notice_.damageLines());
    } catch (...) {
        reportTrapped(p);
    }
}

void eNOLfrm::FillNagsRS()
{
    damageBox_->setCodes(notice_.FillNagsRS());
}

void eNOLfrm::cboCauseofLoss_Click()
{
    const auto cause = causeBox_->chosenCause();
    if (const auto sub = cause ? notice_.subrogation(*cause) : std::nullopt)
        causeBox_->showSubrogation(*sub);
}

void eNOLfrm::cboOpeningType_Click()
{
    damageBox_->openingChosen();
}

orvane::RecordsetModel *eNOLfrm::damageModel() const
{
    return damageBox_->model();
}

void eNOLfrm::chkBodilyInjury_Click()
{
    // A bodily injury makes the claim number required.
    orvane::ui::setRed(lbleNOL[4], chkBodilyInjury->checkState() == Qt::Checked);
}

void eNOLfrm::cmdAdd_Click()
{
    if (notice_.cmdAdd_Click(damageBox_->entry()))
        damageBox_->lineAdded();
}

void eNOLfrm::cmdDelete_Click()
{
    Proc p = proc(u"cmdDelete_Click"_s);
    try {
        p.at(10);
        Recordset damage = notice_.damageLines();
        if (!damage.isOpen() || damage.recordCount() == 0)
            return;
        const int row = grdDamage->currentIndex().isValid() ? grdDamage->currentIndex().row() : -1;
        if (row >= 0)
            damageBox_->model()->setCurrentRow(row);
        if (damage.eof() || damage.bof())
            return;
        p.at(20);
        damage.deleteRow();
        // Off the deleted row, so a second delete takes another line, not the same one.
        if (damage.recordCount() > 0)
            damage.moveFirst();
        damageBox_->model()->refresh();
    } catch (...) {
        reportTrapped(p);
    }
}

// --- validation and the buttons -------------------------------------------------------

orvane::loss::LossNotice::Form eNOLfrm::form() const
{
    auto typed = [](const QLineEdit *e) {
        const QString mask = e->inputMask();
        return LossNotice::Typed{orvane::ui::storedText(e),
                                 mask.isEmpty() ? 0 : orvane::ui::maskSlots(mask)};
    };
    auto chosen = [](const QComboBox *c) -> std::optional<QString> {
        if (c->currentIndex() < 0)
            return std::nullopt;
        return c->currentText();
    };
    LossNotice::Form f;
    f.pid = trimmed(txtPID);
    f.oid = trimmed(txtOID);
    f.inscoid = trimmed(txtInsCOID);
    f.insurerId = trimmed(txtInsuranceID);
    f.policyState = trimmed(txtPolicyState);
    f.lossId = trimmed(txtLossIDNumber);
    f.vehicleNumber = trimmed(txtVehicleNumber);
    f.subName = trimmed(txtsubName);
    f.subData = trimmed(txtSubdata);
    f.contact = trimmed(txtContactName);
    f.soldFirst = typed(txtSoldTo[15]);
    f.soldLast = typed(txtSoldTo[14]);
    f.policy = typed(txtAgent[10]);
    f.homeArea = typed(txtSold_To[1]);
    f.homePhone = typed(txtSold_To[5]);
    f.zip = typed(txtSold_To[3]);
    f.workArea = typed(txtSold_To[0]);
    f.workPhone = typed(txtSold_To[4]);
    f.agentArea = typed(txtAgents[3]);
    f.agentPhone = typed(txtAgents[1]);
    if (!dteLossDate->isEmpty())
        f.lossDate = dteLossDate->value().date();
    f.owner = chosen(cboOwnership);
    f.vehicleSource = chosen(cboVehicleSource);
    f.vehicleType = chosen(cboVehicleType);
    f.cause = causeBox_->chosenCause();
    f.glassOnly = chkGlassDamage->checkState();
    f.bodilyInjury = chkBodilyInjury->checkState();
    return f;
}

void eNOLfrm::cmdAction_Click(int index)
{
    Proc p = proc(u"cmdAction_Click"_s);
    try {
        p.at(10);
        if (index == 0) {
            if (validdata())
                BuildXML();
            return;
        }
        p.at(20);
        hide();
    } catch (...) {
        reportTrapped(p);
    }
}

// --- saving and sending the notice ------------------------------------------------------

void eNOLfrm::SaveToTable(std::shared_ptr<ext::IRsTable> &notice,
                          std::shared_ptr<ext::IRsTable> &lines)
{
    notice_.SaveToTable(form(), notice, lines);
}

bool eNOLfrm::CreateXML(const std::shared_ptr<ext::IRsTable> &notice,
                        const std::shared_ptr<ext::IRsTable> &lines, orvane::XmlDocument &doc)
{
    return notice_.CreateXML(notice, lines, doc);
}

void eNOLfrm::BuildXML()
{
    Proc p = proc(u"BuildXML"_s);
    try {
        p.at(10);
        std::shared_ptr<ext::IRsTable> notice;
        QString guid;
        {
            // What fails is told once the write is taken back.
            ReportsAfter reports(this);
            if (!notice_.BuildXML(form(), notice, guid))
                return;
        }
        sent_ = true;

        p.at(30);
        eNOLwaitfrm wait(this);
        WindowAPImod::CentreOverOwner(orvane::handleOf(this), &wait);
        wait.setNoticeTable(notice);
        wait.setInvoice(invoice_);
        wait.setNoticeID(guid);
        wait.tmrAuthResponse->start();
        orvane::Ui::instance().showModal(&wait);

        p.at(40);
        lastWaitResult_ = wait.waitResult();
        wait.Form_Unload();
        if (lastWaitResult_ < 1)
            hide();
    } catch (...) {
        reportTrapped(p);
    }
}

} // namespace orvane::loss
