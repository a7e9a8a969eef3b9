#include "loss/eNOLfrm.h"

#include "ObjectRegistry.h"
#include "RecordsetDelegate.h"
#include "RecordsetModel.h"
#include "Ui.h"
#include "VbError.h"
#include "core/DataCommandScope.h"
#include "core/Form_Utils.h"
#include "core/Orvanemod.h"
#include "core/StagingWrites.h"
#include "core/TransactionQueue.h"
#include "core/WindowAPImod.h"
#include "core/XMLUtilmod.h"
#include "core/modOrvane.h"
#include "core/widgets/Entries.h"
#include "external/IAgentControl.h"
#include "external/IDataCommand.h"
#include "external/IEnvironment.h"
#include "external/IInsIdList.h"
#include "external/IInscoIdList.h"
#include "external/IInvoice.h"
#include "external/IOidList.h"
#include "external/IOptions.h"
#include "external/IPidList.h"
#include "external/IRsTable.h"
#include "external/IShop.h"
#include "external/IUser.h"
#include "external/IVehicle.h"
#include "external/IVehicleChooser.h"
#include "external/Ig_trans.h"
#include "external/ObjectCast.h"
#include "external/ProgIds.h"
#include "loss/eNOLcls.h"
#include "loss/eNOLwaitfrm.h"
#include "vb.h"

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

using namespace Qt::StringLiterals;
using orvane::MsgButtons;
using orvane::MsgIcon;
using orvane::Proc;
using orvane::Recordset;
using orvane::Value;
namespace ext = orvane::ext;

namespace {

const QString CRLF = u"\r\n"_s;
const QDate kNoDate(1900, 1, 1);
const char *kDataField = "dataField";
// Text fields this long or longer hold any length.
constexpr int kUnlimited = 10000;

// An entry takes no more than the text field it is stored in holds, so the
// user sees the limit while typing and nothing is cut when it is stored.
void limitTo(QLineEdit *entry, const orvane::Field &field)
{
    const int size = field.definedSize();
    if (orvane::isTextType(field.type()) && size > 0 && size < kUnlimited &&
        size < entry->maxLength())
        entry->setMaxLength(size);
}

// A masked entry with some but not all of its digits typed.
bool shortNumber(const QLineEdit *entry)
{
    const QString typed = eNOLfrm::unmaskedText(entry);
    return !typed.isEmpty() && typed.size() < orvane::ui::maskSlots(entry->inputMask());
}

// A three-state box the user answers with a click (checked or not); only the
// view puts it back to "not answered yet".
class AnswerBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override
    {
        setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
};

QString trimmed(const QLineEdit *e)
{
    return vb::Trim(e->text());
}

bool blank(const QLineEdit *e)
{
    // A masked entry is blank when nothing but its separators is left.
    return e->inputMask().isEmpty() ? trimmed(e).isEmpty() : eNOLfrm::unmaskedText(e).isEmpty();
}

QString fieldText(const Recordset &rs, const QString &field)
{
    const Value v = rs.value(field);
    return v.isNull() ? QString() : v.toText();
}

void setRed(QWidget *w, bool red)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, red ? QColor(255, 0, 0) : QColor(0, 0, 0));
    w->setPalette(pal);
}

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

} // namespace

// --- date picker ------------------------------------------------------------------

dtePicker::dtePicker(QWidget *parent) : QWidget(parent)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    chkSet = new QCheckBox(this);
    chkSet->setObjectName(u"chkSet"_s);
    chkSet->setToolTip(tr("Clear to leave the date empty"));
    edit = new QDateEdit(this);
    edit->setObjectName(u"edit"_s);
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    edit->setMinimumDate(QDate(1753, 1, 1));
    row->addWidget(chkSet);
    row->addWidget(edit, 1);
    setFocusProxy(edit);
    connect(chkSet, &QCheckBox::toggled, edit, &QWidget::setEnabled);
    // Ticked by the user with no date given yet: today, not the editor's
    // own starting date.
    connect(chkSet, &QCheckBox::clicked, this, [this](bool checked) {
        if (checked && !dated_) {
            edit->setDate(QDate::currentDate());
            dated_ = true;
        }
    });
    chkSet->installEventFilter(this);
    edit->installEventFilter(this);
    clear();
    // An empty picker starts greyed out, as it is after being cleared: a date
    // typed while the box is clear would be silently dropped.
    edit->setEnabled(chkSet->isChecked());
}

bool dtePicker::isEmpty() const
{
    return !chkSet->isChecked();
}

void dtePicker::clear()
{
    chkSet->setChecked(false);
    time_ = QTime(0, 0);
}

QDateTime dtePicker::value() const
{
    return isEmpty() ? QDateTime() : QDateTime(edit->date(), time_);
}

void dtePicker::setValue(const QDateTime &value)
{
    if (!value.isValid()) {
        clear();
        return;
    }
    edit->setDate(value.date());
    time_ = value.time();
    dated_ = true;
    chkSet->setChecked(true);
}

bool dtePicker::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        // Enter never leaves the picker nor presses a button.
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    } else if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        QWidget *now = QApplication::focusWidget();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason &&
            (now == nullptr || !isAncestorOf(now)))
            Q_EMIT left();
    }
    return QWidget::eventFilter(watched, event);
}

// --- the view ---------------------------------------------------------------------

eNOLfrm::eNOLfrm(QWidget *parent) : LibraryView(u"eNOLfrm"_s, tr("Claim Launch"), parent)
{
    setSizeGripEnabled(true);
    buildLayout();
    Form_Load();
}

eNOLfrm::~eNOLfrm()
{
    Form_Unload();
}

void eNOLfrm::setInvoice(std::shared_ptr<ext::IInvoice> invoice)
{
    objInvoice_ = std::move(invoice);
    setErrorInvoice(objInvoice_);
}

void eNOLfrm::buildLayout()
{
    auto label = [this](const QString &text, QWidget *buddy = nullptr) {
        auto *l = new QLabel(text, this);
        l->setObjectName(u"lbledit"_s);
        l->setProperty("index", int(lbledit.size()));
        if (buddy)
            l->setBuddy(buddy);
        lbledit.push_back(l);
        return l;
    };
    auto nolLabel = [this](int index, const QString &text) {
        auto *l = new QLabel(text, this);
        l->setObjectName(u"lbleNOL"_s);
        l->setProperty("index", index);
        lbleNOL[size_t(index)] = l;
        return l;
    };
    auto entry = [this](const QString &name, int index = -1, const QString &field = QString(),
                        const QString &tip = QString()) {
        auto *e = new QLineEdit(this);
        e->setObjectName(name);
        if (index >= 0)
            e->setProperty("index", index);
        if (!field.isEmpty())
            e->setProperty(kDataField, field);
        e->setToolTip(tip);
        e->installEventFilter(this);
        return e;
    };
    auto masked = [&](const QString &name, int index, const QString &mask, const QString &field,
                      int width, const QString &tip = QString()) {
        QLineEdit *e = entry(name, index, field, tip);
        e->setInputMask(mask);
        e->setFixedWidth(width);
        return e;
    };
    auto button = [this](const QString &name, const QString &caption, const QString &tip = {}) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setToolTip(tip);
        b->setAutoDefault(false);
        return b;
    };
    auto combo = [this](const QString &name, const QStringList &items = {}) {
        auto *c = new QComboBox(this);
        c->setObjectName(name);
        c->addItems(items);
        c->setCurrentIndex(-1);
        return c;
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
    }
    // The company card runs over several lines; it sits beside the four rows.
    ids->removeWidget(lblInsCOID);
    ids->addWidget(lblInsCOID, 0, 4, 4, 1, Qt::AlignTop | Qt::AlignLeft);
    lblInsCOID->setMinimumWidth(220);
    ids->setColumnStretch(4, 1);

    // Each frame: a label column, and a row of entries beside each label.
    auto frameGrid = [](QGroupBox *frame) {
        auto *g = new QGridLayout(frame);
        g->setContentsMargins(8, 4, 8, 6);
        g->setVerticalSpacing(4);
        g->setColumnStretch(1, 1);
        return g;
    };
    auto addRow = [](QGridLayout *g, QWidget *rowLabel, std::initializer_list<QWidget *> widgets,
                     bool trailingStretch = false) {
        const int r = g->rowCount();
        auto *row = new QHBoxLayout;
        row->setSpacing(6);
        for (QWidget *w : widgets)
            row->addWidget(w, w->maximumWidth() == QWIDGETSIZE_MAX ? 1 : 0);
        if (trailingStretch)
            row->addStretch(1);
        g->addWidget(rowLabel, r, 0);
        g->addLayout(row, r, 1);
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
    dteLossDate = new dtePicker(this);
    dteLossDate->setObjectName(u"dteLossDate"_s);
    dteLossDate->setProperty(kDataField, u"LossDate"_s);
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
    auto *causeBox = new QGroupBox(tr("Cause of Loss"), this);
    causeBox->setObjectName(u"fraCause"_s);
    auto *cause = new QGridLayout(causeBox);
    cause->setContentsMargins(8, 4, 8, 6);
    cause->setVerticalSpacing(4);
    cboCauseofLoss = combo(u"cboCauseofLoss"_s);
    cboCauseofLoss->setMinimumContentsLength(28);
    auto *causeLabel = new QLabel(tr("Cause of Loss :"), this);
    causeLabel->setObjectName(u"lblCauseofLoss"_s);
    causeLabel->setBuddy(cboCauseofLoss);
    cause->addWidget(causeLabel, 0, 0);
    cause->addWidget(cboCauseofLoss, 0, 1, 1, 3);
    szrSubrogation = new QWidget(this);
    szrSubrogation->setObjectName(u"szrSubrogation"_s);
    auto *sub = new QGridLayout(szrSubrogation);
    sub->setContentsMargins(0, 0, 0, 0);
    txtsubName = new QLineEdit(szrSubrogation);
    txtsubName->setObjectName(u"txtsubName"_s);
    txtsubName->installEventFilter(this);
    txtSubdata = new QLineEdit(szrSubrogation);
    txtSubdata->setObjectName(u"txtSubdata"_s);
    txtSubdata->installEventFilter(this);
    auto subLabel = [&](int index, QLineEdit *buddy) {
        auto *l = new QLabel(szrSubrogation);
        l->setObjectName(u"lbleNOL"_s);
        l->setProperty("index", index);
        l->setBuddy(buddy);
        lbleNOL[size_t(index)] = l;
        return l;
    };
    sub->addWidget(subLabel(10, txtsubName), 0, 0);
    sub->addWidget(txtsubName, 0, 1);
    sub->addWidget(subLabel(11, txtSubdata), 1, 0);
    sub->addWidget(txtSubdata, 1, 1);
    auto *expl = new QLabel(szrSubrogation);
    expl->setObjectName(u"lbleNOL"_s);
    expl->setProperty("index", 12);
    expl->setWordWrap(true);
    setRed(expl, true);
    lbleNOL[12] = expl;
    sub->addWidget(expl, 2, 0, 1, 2);
    sub->setColumnStretch(1, 1);
    szrSubrogation->hide();
    cause->addWidget(szrSubrogation, 1, 0, 1, 4);
    chkBodilyInjury = new AnswerBox(tr("&Bodily Injury?"), this);
    chkBodilyInjury->setObjectName(u"chkBodilyInjury"_s);
    chkGlassDamage = new AnswerBox(tr("&Glass Only Damage"), this);
    chkGlassDamage->setObjectName(u"chkGlassDamage"_s);
    for (QCheckBox *c : {chkBodilyInjury, chkGlassDamage}) {
        c->setTristate(true);
        c->setCheckState(Qt::PartiallyChecked);
        setRed(c, true);
    }
    cause->addWidget(chkBodilyInjury, 2, 0, 1, 2);
    cause->addWidget(chkGlassDamage, 2, 2, 1, 2);
    txtContactName = entry(u"txtContactName"_s);
    auto *contactLabel = new QLabel(tr("Contact Na&me :"), this);
    contactLabel->setObjectName(u"lblContactName"_s);
    contactLabel->setBuddy(txtContactName);
    cause->addWidget(contactLabel, 3, 0);
    cause->addWidget(txtContactName, 3, 1, 1, 3);
    cause->setColumnStretch(1, 1);
    cause->setColumnStretch(3, 1);
    cause->setRowStretch(4, 1);

    // Damage lines.
    auto *damageBox = new QGroupBox(tr("Damage Information"), this);
    damageBox->setObjectName(u"fraDamage"_s);
    auto *damage = new QGridLayout(damageBox);
    damage->setContentsMargins(8, 4, 8, 6);
    damage->setVerticalSpacing(4);
    cboOpeningType = combo(u"cboOpeningType"_s);
    txtQuantity = entry(u"txtQuantity"_s);
    txtQuantity->setFixedWidth(44);
    cboPos = combo(u"cboPos"_s);
    cboLocation = combo(u"cboLocation"_s);
    cboSide = combo(u"cboSide"_s);
    chkRepairable = new AnswerBox(tr("Not Repairable?"), this);
    chkRepairable->setObjectName(u"chkRepairable"_s);
    chkRepairable->setTristate(true);
    chkRepairable->setCheckState(Qt::PartiallyChecked);
    cmdAdd = button(u"cmdAdd"_s, tr("&Add"), tr("Click to add the damage line"));
    cmdDelete =
        button(u"cmdDelete"_s, tr("&Delete"), tr("Click to delete the selected damage line"));
    const std::pair<const char *, QWidget *> damageEntries[] = {
        {QT_TR_NOOP("Opening Type"), cboOpeningType},
        {QT_TR_NOOP("&Qty:"), txtQuantity},
        {QT_TR_NOOP("Position"), cboPos},
        {QT_TR_NOOP("Location"), cboLocation},
        {QT_TR_NOOP("Side"), cboSide}};
    int col = 0;
    for (const auto &[caption, w] : damageEntries) {
        auto *l = new QLabel(tr(caption), this);
        l->setObjectName(u"lbl"_s % w->objectName().mid(3));
        l->setBuddy(w);
        damage->addWidget(l, 0, col);
        damage->addWidget(w, 1, col);
        damage->setColumnStretch(col, w == txtQuantity ? 0 : 1);
        ++col;
    }
    damage->addWidget(chkRepairable, 1, col++);
    damage->addWidget(cmdAdd, 1, col++);
    damage->addWidget(cmdDelete, 1, col++);
    grdDamage = new QTableView(this);
    grdDamage->setObjectName(u"grdDamage"_s);
    // Tab leaves the grid for the buttons instead of walking its cells.
    grdDamage->setTabKeyNavigation(false);
    grdDamage->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdDamage->setSelectionMode(QAbstractItemView::SingleSelection);
    grdDamage->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdDamage->setItemDelegate(new orvane::RecordsetDelegate(grdDamage));
    grdDamage->horizontalHeader()->setStretchLastSection(true);
    grdDamage->verticalHeader()->setDefaultSectionSize(22);
    grdDamage->setMinimumHeight(84);
    damage->addWidget(grdDamage, 2, 0, 1, col);

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
    form->addWidget(causeBox, 2, 1);
    form->addWidget(damageBox, 3, 0, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdAction[0]);
    buttons->addWidget(cmdAction[1]);
    form->addLayout(buttons, 4, 0, 1, 2);
    form->setRowStretch(3, 1);
    form->setColumnStretch(0, 1);
    form->setColumnStretch(1, 1);

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
    connect(cmdPIDList, &QPushButton::clicked, this, &eNOLfrm::cmdPIDList_Click);
    connect(cmdNetID, &QPushButton::clicked, this, &eNOLfrm::cmdNetID_Click);
    connect(cmdCompanyID, &QPushButton::clicked, this, &eNOLfrm::cmdCompanyID_Click);
    connect(cmdInsuranceID, &QPushButton::clicked, this, &eNOLfrm::cmdInsuranceID_Click);
    connect(cmdVehicle, &QPushButton::clicked, this, &eNOLfrm::Getvehicle);
    connect(cboCauseofLoss, &QComboBox::currentIndexChanged, this, &eNOLfrm::cboCauseofLoss_Click);
    connect(cboOpeningType, &QComboBox::currentIndexChanged, this, &eNOLfrm::cboOpeningType_Click);
    connect(chkBodilyInjury, &QCheckBox::stateChanged, this, &eNOLfrm::chkBodilyInjury_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &eNOLfrm::cmdAdd_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &eNOLfrm::cmdDelete_Click);
    connect(cmdAction[0], &QPushButton::clicked, this, [this] { cmdAction_Click(0); });
    connect(cmdAction[1], &QPushButton::clicked, this, [this] { cmdAction_Click(1); });
    connect(dteLossDate, &dtePicker::left, this, &eNOLfrm::dteLossDate_LostFocus);
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
    if (activated_ || !objInvoice_)
        return;
    activated_ = true;
    Proc p = proc(u"Form_Activate"_s);
    try {
        p.at(10);
        FillInOriginationPID();
        FillInNetworkID();
        FillInINSCOID();
        FillInsuranceID();
        p.at(20);
        limitNoticeEntries();
        loadBoundEntries();
        if (agentControl_) {
            agentControl_->setEnv(objInvoice_->Env());
            agentControl_->setRecordset(objInvoice_->itemsrecordset());
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
        const auto user = orvane::required(orvane::required(objInvoice_->Env())->currentuser());
        txtContactName->setText(vb::Trim(user->Item(u"First"_s) % u" "_s % user->Item(u"Last"_s)));
    } catch (...) {
        reportTrapped(p);
    }
}

// --- identifiers -------------------------------------------------------------------

void eNOLfrm::FillInOriginationPID()
{
    Proc p = proc(u"FillInOriginationPID"_s);
    try {
        p.at(10);
        const auto env = orvane::required(objInvoice_->Env());
        auto list = orvane::CreateObject<ext::IPidList>(QString::fromUtf16(ext::progid::g_pidList));
        list->setEnv(env);
        list->get_g_pidlist();
        Recordset rows = list->itemsrecordset();
        if (rows.recordCount() == 1) {
            rows.moveFirst();
            txtPID->setText(fieldText(rows, u"pid"_s));
            lblPIDName->setText(fieldText(rows, u"pidname"_s));
        }
        p.at(20);
        const auto shop =
            ext::objectAs<ext::IShop>(env->safecreateobj(ext::objkind::Shop), u"safecreateobj"_s);
        shop->getshopbyid(objInvoice_->itemsrecordset().value(u"shopid"_s));
        if (shop->RecordCount() > 0) {
            const QString id = vb::Trim(fieldText(shop->itemsrecordset(), u"OrvaneShopID"_s));
            if (!id.isEmpty()) {
                txtPID->setText(id);
                return;
            }
        }
        p.at(30);
        shop->getshops(u"Customer.user2 <> ' ' "_s);
        if (shop->RecordCount() > 0) {
            Recordset shops = shop->itemsrecordset();
            shops.moveFirst();
            txtPID->setText(vb::Trim(fieldText(shops, u"OrvaneShopID"_s)));
        }
    } catch (...) {
        reportTrapped(p);
    }
}

void eNOLfrm::FillInNetworkID()
{
    Proc p = proc(u"FillInNetworkID"_s);
    try {
        p.at(10);
        auto list = orvane::CreateObject<ext::IOidList>(QString::fromUtf16(ext::progid::g_oidList));
        list->setEnv(objInvoice_->Env());
        list->Get_g_oidList();
        Recordset rows = list->itemsrecordset();
        if (rows.recordCount() == 1) {
            rows.moveFirst();
            txtOID->setText(fieldText(rows, u"origid"_s));
            lblOID->setText(fieldText(rows, u"Company"_s));
        }
    } catch (...) {
        reportTrapped(p);
    }
}

QString eNOLfrm::companyCard(const Recordset &row)
{
    QString card;
    auto part = [&](const QString &text) {
        if (!text.isEmpty())
            card += text % CRLF;
    };
    auto value = [&](const char16_t *field) {
        return vb::Trim(fieldText(row, QString::fromUtf16(field)));
    };
    for (const char16_t *f : {u"Company", u"Address", u"City", u"State", u"Zip"})
        part(value(f));
    auto phone = [&](const char16_t *area, const char16_t *number) {
        const QString a = value(area);
        if (a.isEmpty())
            return;
        const QString n = value(number);
        part(u"("_s % a % u") "_s % n.left(3) % u"-"_s % n.mid(3));
    };
    phone(u"PhoneArea", u"Phone");
    phone(u"FaxArea", u"FaxPhone");
    return card;
}

void eNOLfrm::FillInINSCOID()
{
    Proc p = proc(u"FillInINSCOID"_s);
    try {
        p.at(10);
        auto list =
            orvane::CreateObject<ext::IInscoIdList>(QString::fromUtf16(ext::progid::g_inscoid));
        list->setEnv(objInvoice_->Env());
        list->get_g_inscoid(eNOLcls::inscoidFilter(txtPID->text(), txtOID->text()));
        Recordset rows = list->itemsrecordset();
        if (rows.recordCount() == 1) {
            rows.moveFirst();
            txtInsCOID->setText(fieldText(rows, u"inscoid"_s));
            lblInsCOID->setText(companyCard(rows));
        }
    } catch (...) {
        reportTrapped(p);
    }
}

void eNOLfrm::FillInsuranceID()
{
    Proc p = proc(u"FillInsuranceID"_s);
    try {
        p.at(10);
        // An order without a bill-to party has no insurer to look up; a
        // filter with nothing after "billtoid =" would only fail.
        const Value billto = objInvoice_->itemsrecordset().value(u"billto_id"_s);
        if (billto.isNull() || billto.isEmpty() || vb::Trim(billto.toText()).isEmpty())
            return;
        const qint64 billtoId = billto.toInt64();
        p.at(20);
        auto list = orvane::CreateObject<ext::IInsIdList>(QString::fromUtf16(ext::progid::g_insid));
        list->setEnv(objInvoice_->Env());
        list->get_g_insid(u"g_insid.billtoid = "_s % QString::number(billtoId) %
                          u" AND g_insid.Origpid = '"_s % modOrvane::SQLSafeText(txtOID->text()) %
                          u"' AND "_s % u" g_insid.destpid = '"_s %
                          modOrvane::SQLSafeText(txtPID->text()) % u"'"_s);
        Recordset rows = list->itemsrecordset();
        if (rows.recordCount() == 1) {
            rows.moveFirst();
            txtInsuranceID->setText(fieldText(rows, u"Insurerid"_s));
            lblInsuranceID->setText(fieldText(rows, u"Insurer"_s));
        }
    } catch (...) {
        reportTrapped(p);
    }
}

void eNOLfrm::cmdPIDList_Click()
{
    Proc p = proc(u"cmdPIDList_Click"_s);
    try {
        p.at(10);
        eNOLcls lists;
        if (auto list = lists.PIDList(objInvoice_->Env(), orvane::handleOf(cmdPIDList))) {
            const Recordset row = list->itemsrecordset();
            txtPID->setText(vb::Trim(fieldText(row, u"pid"_s)));
            lblPIDName->setText(vb::Trim(fieldText(row, u"pidname"_s)));
        }
        p.at(20);
        ResetControls();
    } catch (...) {
        reportTrapped(p);
    }
}

void eNOLfrm::cmdNetID_Click()
{
    Proc p = proc(u"cmdNetID_Click"_s);
    try {
        p.at(10);
        eNOLcls lists;
        if (auto list = lists.NetIDList(objInvoice_->Env(), orvane::handleOf(cmdPIDList))) {
            const Recordset row = list->itemsrecordset();
            txtOID->setText(vb::Trim(fieldText(row, u"origid"_s)));
            lblOID->setText(vb::Trim(fieldText(row, u"Company"_s)));
        }
        p.at(20);
        ResetControls();
    } catch (...) {
        reportTrapped(p);
    }
}

void eNOLfrm::cmdCompanyID_Click()
{
    // Reports under the network list's name, as the host's logs know it.
    Proc p = proc(u"cmdNetID_Click"_s);
    try {
        p.at(10);
        eNOLcls lists;
        if (auto list = lists.INSCOIDList(objInvoice_->Env(), txtPID->text(), txtOID->text(),
                                          orvane::handleOf(cmdPIDList))) {
            const Recordset row = list->itemsrecordset();
            txtInsCOID->setText(vb::Trim(fieldText(row, u"inscoid"_s)));
            lblInsCOID->setText(companyCard(row));
        }
        p.at(20);
        ResetControls();
    } catch (...) {
        reportTrapped(p);
    }
}

void eNOLfrm::cmdInsuranceID_Click()
{
    Proc p = proc(u"cmdInsuranceID_Click"_s);
    try {
        p.at(10);
        eNOLcls lists;
        if (auto row = lists.InsurerIDList(objInvoice_->Env(), orvane::handleOf(cmdPIDList))) {
            txtInsuranceID->setText(vb::Trim(fieldText(*row, u"orvaneid"_s)));
            lblInsuranceID->setText(vb::Trim(fieldText(*row, u"insurer"_s)));
        }
        p.at(20);
        ResetControls();
    } catch (...) {
        reportTrapped(p);
    }
}

// --- entries bound to the order ----------------------------------------------------

QString eNOLfrm::unmaskedText(const QLineEdit *entry)
{
    const QString mask = entry->inputMask().section(u';', 0, 0);
    static const QString meta = u"AaNnXx90Dd#HhBb><!"_s;
    QString literals;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        if (mask[i] == u'\\' && i + 1 < mask.size())
            literals += mask[++i];
        else if (!meta.contains(mask[i]))
            literals += mask[i];
    }
    QString out;
    for (const QChar c : entry->text())
        if (!literals.contains(c))
            out += c;
    return vb::Trim(out);
}

void eNOLfrm::loadBoundEntries()
{
    const Recordset rs = objInvoice_->itemsrecordset();
    for (QLineEdit *e : findChildren<QLineEdit *>()) {
        const QString field = e->property(kDataField).toString();
        if (field.isEmpty() || !e->inputMask().isEmpty())
            continue;
        limitTo(e, rs.field(field));
        e->setText(fieldText(rs, field));
        e->setCursorPosition(0);
    }
}

void eNOLfrm::limitNoticeEntries()
{
    Proc p = proc(u"limitNoticeEntries"_s);
    try {
        p.at(10);
        auto notice =
            orvane::CreateObject<ext::IRsTable>(QString::fromUtf16(ext::progid::g_enol).toLower());
        notice->setEnv(objInvoice_->Env());
        notice->get_rs(u"guid = 'A' and guid <> 'A'"_s);
        const Recordset columns = notice->itemsrecordset();
        const std::pair<QLineEdit *, const char16_t *> stored[] = {
            {txtPID, u"origpid"},
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
            limitTo(entry, columns.field(QString::fromUtf16(column)));
    } catch (...) {
        // Without the limits the values are still fitted when they are stored.
        reportTrapped(p);
    }
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
    const QString field = entry->property(kDataField).toString();
    if (field.isEmpty() || !objInvoice_)
        return;
    Proc p = proc(entry->objectName() % u"_LostFocus"_s);
    try {
        p.at(10);
        const QString text = entry->inputMask().isEmpty() ? trimmed(entry) : unmaskedText(entry);
        modOrvane::setRSValue(objInvoice_->itemsrecordset().field(field), text);
    } catch (...) {
        reportTrapped(p);
    }
}

void eNOLfrm::ResetControls()
{
    Proc p = proc(u"ResetControls"_s);
    try {
        p.at(10);
        const Recordset rs = objInvoice_->itemsrecordset();
        for (QLineEdit *e : findChildren<QLineEdit *>()) {
            const QString mask = e->inputMask();
            if (mask.isEmpty())
                continue;
            // Cleared without the mask, so the stored value is laid into an empty mask.
            e->setInputMask(QString());
            e->clear();
            e->setInputMask(mask);
            const QString field = e->property(kDataField).toString();
            if (!field.isEmpty()) {
                e->setCursorPosition(0);
                e->insert(fieldText(rs, field));
            }
        }
        p.at(20);
        const Value loss = rs.value(dteLossDate->property(kDataField).toString());
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
        if (!objInvoice_)
            return;
        Recordset rs = objInvoice_->itemsrecordset();
        const QString field = dteLossDate->property(kDataField).toString();
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
        objInvoice_->SetAgent(agent);
        p.at(20);
        loadBoundEntries();
        ResetControls();
    } catch (...) {
        reportTrapped(p);
    }
}

void eNOLfrm::Getvehicle()
{
    Proc p = proc(u"Getvehicle"_s);
    try {
        p.at(10);
        const auto env = orvane::required(orvane::required(objInvoice_)->Env());
        Recordset rs = objInvoice_->itemsrecordset();
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
        chooser->setVIN(fieldText(rs, u"vin"_s));
        p.at(30);
        const auto chosen = chooser->choosecar(orvane::handleOf(this), car, u"YEAR"_s);
        if (!chosen)
            return;
        p.at(40);
        modOrvane::setRSValue(rs.field(u"Year"_s), chosen->Year());
        modOrvane::setRSValue(rs.field(u"make"_s), chosen->make());
        modOrvane::setRSValue(rs.field(u"model"_s), chosen->model());
        modOrvane::setRSValue(rs.field(u"body"_s), chosen->body());
        modOrvane::setRSValue(rs.field(u"carid"_s), chosen->car_id());
        modOrvane::setRSValue(rs.field(u"vin"_s), chooser->VIN());
        p.at(50);
        loadBoundEntries();
    } catch (...) {
        reportTrapped(p);
    }
}

bool eNOLfrm::eventFilter(QObject *watched, QEvent *event)
{
    auto *e = qobject_cast<QLineEdit *>(watched);
    if (!e)
        return LibraryView::eventFilter(watched, event);
    const bool maskedEntry = !e->inputMask().isEmpty();
    switch (event->type()) {
    case QEvent::FocusIn:
        // After the line edit has placed its own cursor.
        if (e == txtPolicyState || e == txtVehicleNumber || e == txtPID || e == txtOID ||
            e == txtInsCOID || e == txtInsuranceID)
            break;
        QTimer::singleShot(0, e, [e, maskedEntry] {
            if (!maskedEntry) {
                Form_Utils::SelectAllText(e);
                return;
            }
            e->setCursorPosition(0);
            e->setSelection(0, int(vb::Trim(e->text()).size()));
        });
        break;
    case QEvent::FocusOut:
        writeBound(e);
        break;
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        if (text.size() != 1 || key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            break;
        const QChar c = text.front();
        // Tab, Enter and Escape keep their meaning for the view.
        if (!c.isPrint() && c != u'\b')
            break;
        if (e == txtQuantity) {
            // Digits and backspace only.
            return !(c.isDigit() && c.unicode() < 128) && c != u'\b';
        }
        if (maskedEntry && c != u'\b' && !(c.isDigit() && c.unicode() < 128)) {
            // The mask takes digits only; a refused letter is heard, not lost unnoticed.
            QApplication::beep();
            return true;
        }
        if (e == txtPolicyState || e == txtAgent[10]) {
            if (c.isLower()) {
                e->insert(c.toUpper());
                return true;
            }
            break;
        }
        const int index = e->property("index").toInt();
        if (e->objectName() == u"txtSoldTo"_s && index >= 0 && index < 16) {
            int code = c.unicode();
            properCase_[size_t(index)].KeyPressed(e, code);
            if (code != c.unicode()) {
                e->insert(QChar(char16_t(code)));
                return true;
            }
        }
        break;
    }
    default:
        break;
    }
    return LibraryView::eventFilter(watched, event);
}

// --- cause of loss and damage lines ------------------------------------------------

void eNOLfrm::SetCauseofLoss()
{
    Proc p = proc(u"SetCauseofLoss"_s);
    try {
        p.at(10);
        rsCause_ = Orvanemod::CauseOfLoss();
        cboCauseofLoss->clear();
        for (rsCause_.moveFirst(); !rsCause_.eof(); rsCause_.moveNext())
            cboCauseofLoss->addItem(rsCause_.value(u"Description"_s).toText(),
                                    QVariant::fromValue(rsCause_.value(u"LossCode"_s).toInt64()));
        cboCauseofLoss->setCurrentIndex(-1);
    } catch (...) {
        reportTrapped(p);
    }
}

void eNOLfrm::FillDamageCode()
{
    Proc p = proc(u"FillDamageCode"_s);
    try {
        p.at(10);
        rsOpening_ = Orvanemod::OpeningType();
        cboOpeningType->clear();
        for (rsOpening_.moveFirst(); !rsOpening_.eof(); rsOpening_.moveNext())
            cboOpeningType->addItem(rsOpening_.value(u"Opening"_s).toText());
        cboOpeningType->setCurrentIndex(-1);
        p.at(20);
        rsDamage_ = Orvanemod::DamageInformationRS();
        auto *model = new orvane::RecordsetModel(this);
        model->addColumn(orvane::RecordsetColumn::bound(u"OpeningCodeDesc"_s, tr("Opening Type")));
        model->addColumn(orvane::RecordsetColumn::bound(u"GlassQuantity"_s, tr("Qty")));
        model->addColumn(orvane::RecordsetColumn::bound(u"PositionCodeText"_s, tr("Position")));
        model->addColumn(orvane::RecordsetColumn::bound(u"LocationCodeText"_s, tr("Location")));
        model->addColumn(orvane::RecordsetColumn::bound(u"SideCodeText"_s, tr("Side")));
        model->addColumn(orvane::RecordsetColumn::bound(u"notrepairable"_s, tr("Not Repairable"),
                                                        orvane::ColumnFormat::CheckBox));
        for (int c = 0; c < model->columnCount(); ++c)
            model->setColumnReadOnly(c, true);
        model->setRecordset(rsDamage_);
        grdDamage->setModel(model);
        delete damageModel_;
        damageModel_ = model;
        grdDamage->setColumnWidth(0, 150);
        grdDamage->setColumnWidth(1, 50);
        for (int c = 2; c < 5; ++c)
            grdDamage->setColumnWidth(c, 110);
        connect(grdDamage->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                [this](const QModelIndex &current) {
                    if (current.isValid())
                        damageModel_->setCurrentRow(current.row());
                });
    } catch (...) {
        reportTrapped(p);
    }
}

void eNOLfrm::FillNagsRS()
{
    Proc p = proc(u"FillNagsRS"_s);
    try {
        p.at(10);
        const auto env = orvane::required(objInvoice_->Env());
        const auto dc = orvane::required(orvane::required(env->Options())->dcobject());
        const orvane::DataCommandScope onCatalogue(dc, env->GetConnectString(env->nags_path(), 0));
        const std::pair<QComboBox *, const char16_t *> lists[] = {
            {cboPos, u"Select * from POS"},
            {cboLocation, u"Select * from rel_loc"},
            {cboSide, u"Select * from side"}};
        for (size_t i = 0; i < 3; ++i) {
            p.at(20 + int(i));
            QComboBox *list = lists[i].first;
            list->clear();
            list->addItem(QString());
            Recordset rows;
            if (dc->Execute(env->SecurityToken(), QString::fromUtf16(lists[i].second), rows,
                            {2, 1, 2, 0, false}) &&
                rows.isOpen()) {
                rsNags_[i] = rows;
                if (rows.recordCount() > 0)
                    for (rows.moveFirst(); !rows.eof(); rows.moveNext())
                        list->addItem(fieldText(rows, u"Name"_s));
            }
            list->setCurrentIndex(-1);
        }
    } catch (...) {
        reportTrapped(p);
    }
}

bool eNOLfrm::findCause(int index)
{
    if (index < 0 || !rsCause_.isOpen())
        return false;
    const qint64 code = cboCauseofLoss->itemData(index).toLongLong();
    return findFirst(rsCause_, u"losscode = "_s % QString::number(code));
}

void eNOLfrm::cboCauseofLoss_Click()
{
    Proc p = proc(u"cboCauseofLoss_Click"_s);
    try {
        p.at(10);
        if (!findCause(cboCauseofLoss->currentIndex()))
            return;
        p.at(20);
        const Value subreq = rsCause_.value(u"subreq"_s);
        if (subreq.isNull() || !subreq.toBool()) {
            szrSubrogation->hide();
            return;
        }
        szrSubrogation->show();
        const QString name = vb::Trim(fieldText(rsCause_, u"subnamefield"_s));
        lbleNOL[10]->setText(name);
        lbleNOL[10]->setVisible(!name.isEmpty());
        txtsubName->setVisible(!name.isEmpty());
        const QString detail = vb::Trim(fieldText(rsCause_, u"subdatafield"_s));
        lbleNOL[11]->setText(detail);
        lbleNOL[11]->setVisible(!detail.isEmpty());
        txtSubdata->setVisible(!detail.isEmpty());
        lbleNOL[12]->setText(fieldText(rsCause_, u"subExpl"_s));
    } catch (...) {
        reportTrapped(p);
    }
}

void eNOLfrm::cboOpeningType_Click()
{
    const bool windshield = cboOpeningType->currentText().toUpper() == u"WINDSHIELD"_s;
    chkRepairable->setEnabled(windshield);
    // Only a windshield can be repaired: any other opening shows and stores
    // "repairable", not a tick left over from the line before.
    chkRepairable->setCheckState(windshield ? Qt::PartiallyChecked : Qt::Unchecked);
}

void eNOLfrm::chkBodilyInjury_Click()
{
    // A bodily injury makes the claim number required.
    setRed(lbleNOL[4], chkBodilyInjury->checkState() == Qt::Checked);
}

void eNOLfrm::cmdAdd_Click()
{
    Proc p = proc(u"cmdAdd_Click"_s);
    try {
        p.at(10);
        const QString opening = cboOpeningType->currentText();
        const QString openingUpper = vb::Trim(opening).toUpper();
        QString msg;
        if (cboOpeningType->currentIndex() < 0)
            msg += tr("You must fill out the opening type") % CRLF;
        // A damage line stores its quantity as a 32-bit count.
        const double quantity = vb::Val(txtQuantity->text());
        if (!(quantity > 0))
            msg += tr("You must enter a quantity for the Glass Replacement") % CRLF;
        else if (quantity > double(std::numeric_limits<std::int32_t>::max()))
            msg += tr("The quantity for the Glass Replacement is too large") % CRLF;
        if (opening.toUpper() == u"WINDSHIELD"_s &&
            chkRepairable->checkState() == Qt::PartiallyChecked)
            msg += tr("You must check whether the glass is repairable or not") % CRLF;
        if ((openingUpper == u"DOOR"_s || openingUpper == u"VENT"_s ||
             openingUpper == u"QUARTER"_s) &&
            vb::Trim(cboSide->currentText()).isEmpty())
            msg += tr("With a Door, Vent, or Quarter, you must select a side code") % CRLF;
        if (!msg.isEmpty()) {
            orvane::Ui::instance().msgBox(tr("The information you entered is incorrect.  Please "
                                             "correct the information to add "
                                             "it to your damage information") %
                                              CRLF % CRLF % msg,
                                          MsgButtons::OK, MsgIcon::Critical, tr("Data Error"));
            return;
        }
        p.at(20);
        if (!findFirst(rsOpening_, quotedCriterion(u"opening"_s, opening))) {
            orvane::Ui::instance().msgBox(tr("Could not find the opening type you have specified"),
                                          MsgButtons::OK, MsgIcon::Critical, tr("Error"));
            return;
        }
        p.at(30);
        Recordset &pos = rsNags_[0], &loc = rsNags_[1], &side = rsNags_[2];
        auto found = [](Recordset &table, QComboBox *list) {
            const QString text = vb::Trim(list->currentText());
            return !text.isEmpty() && table.isOpen() &&
                   findFirst(table, quotedCriterion(u"name"_s, text));
        };
        QString dup = quotedCriterion(u"openingcode"_s,
                                      vb::Trim(rsOpening_.value(u"OpeningType"_s).toText()));
        if (found(pos, cboPos))
            dup += u" AND "_s %
                   quotedCriterion(u"positioncode"_s, vb::Trim(fieldText(pos, u"pos_cd"_s)));
        if (found(side, cboSide))
            dup += u" AND "_s %
                   quotedCriterion(u"sidecode"_s, vb::Trim(fieldText(side, u"side_cd"_s)));
        p.at(40);
        rsDamage_.setFilter(dup);
        const bool duplicate = rsDamage_.recordCount() > 0;
        rsDamage_.setFilter(QString());
        if (duplicate) {
            orvane::Ui::instance().msgBox(tr("You already have a record with the same opening "
                                             "type, position, and side codes."),
                                          MsgButtons::OK, MsgIcon::Critical, tr("Data Error"));
            return;
        }
        p.at(50);
        rsDamage_.addNew();
        auto store = [this](const char16_t *field, const Value &v) {
            modOrvane::setRSValue(rsDamage_.field(QString::fromUtf16(field)), v);
        };
        if (found(pos, cboPos)) {
            store(u"PositionCodeText", pos.value(u"name"_s));
            store(u"PositionCode", pos.value(u"pos_cd"_s));
        }
        if (found(loc, cboLocation)) {
            store(u"LocationCodeText", loc.value(u"name"_s));
            store(u"LocationCode", loc.value(u"rel_loc_cd"_s));
        }
        if (found(side, cboSide)) {
            store(u"SideCodeText", side.value(u"name"_s));
            store(u"SideCode", side.value(u"side_cd"_s));
        }
        store(u"OpeningCode", rsOpening_.value(u"Openingtype"_s));
        store(u"OpeningCodeDesc", rsOpening_.value(u"Opening"_s));
        p.at(60);
        // The number the quantity check accepted ("2 pcs" is 2).
        rsDamage_.setValue(u"GlassQuantity"_s, qint64(quantity));
        if (!chkRepairable->isEnabled() || chkRepairable->checkState() == Qt::Unchecked)
            rsDamage_.setValue(u"notrepairable"_s, false);
        else if (chkRepairable->checkState() == Qt::Checked)
            rsDamage_.setValue(u"notrepairable"_s, true);
        rsDamage_.update();
        p.at(70);
        damageModel_->refresh();
        for (QComboBox *c : {cboOpeningType, cboPos, cboSide, cboLocation})
            c->setCurrentIndex(-1);
    } catch (...) {
        reportTrapped(p);
    }
}

void eNOLfrm::cmdDelete_Click()
{
    Proc p = proc(u"cmdDelete_Click"_s);
    try {
        p.at(10);
        if (!rsDamage_.isOpen() || rsDamage_.recordCount() == 0)
            return;
        const int row = grdDamage->currentIndex().isValid() ? grdDamage->currentIndex().row() : -1;
        if (row >= 0)
            damageModel_->setCurrentRow(row);
        if (rsDamage_.eof() || rsDamage_.bof())
            return;
        p.at(20);
        rsDamage_.deleteRow();
        // Off the deleted row, so a second delete takes another line, not the same one.
        if (rsDamage_.recordCount() > 0)
            rsDamage_.moveFirst();
        damageModel_->refresh();
    } catch (...) {
        reportTrapped(p);
    }
}

// --- validation and the buttons -------------------------------------------------------

bool eNOLfrm::validdata()
{
    Proc p = proc(u"validdata"_s);
    try {
        p.at(10);
        QString msg;
        auto fails = [&](bool failed, const QString &text) {
            if (failed)
                msg += text % CRLF;
        };
        const auto unanswered = [](const QCheckBox *c) {
            return c->checkState() == Qt::PartiallyChecked;
        };
        fails(blank(txtPID), tr("Retail PID"));
        fails(blank(txtOID), tr("Network PID "));
        fails(blank(txtInsCOID), tr("Insurance Company ID "));
        fails(blank(txtInsuranceID), tr("Network PID"));
        fails(blank(txtSoldTo[15]), tr("Sold To First Name"));
        fails(blank(txtSoldTo[14]), tr("Sold To Last Name"));
        fails(blank(txtSold_To[1]), tr("Sold To Area Code"));
        fails(blank(txtSold_To[3]), tr("Sold To Zip Code"));
        fails(blank(txtSold_To[5]), tr("Sold To Phone #"));
        fails(blank(txtAgent[10]), tr("Policy Number"));
        fails(blank(txtPolicyState), tr("Policy State"));
        fails(!dteLossDate->isEmpty() && dteLossDate->value().date() < kNoDate, tr("Date of Loss"));
        fails(cboVehicleSource->currentIndex() < 0, tr("Vehicle Source"));
        fails(cboVehicleType->currentIndex() < 0, tr("Vehicle Type"));
        fails(cboOwnership->currentIndex() < 0, tr("Vehicle Ownership"));
        fails(cboCauseofLoss->currentIndex() < 0, tr("Cause of Loss"));
        fails(unanswered(chkGlassDamage), tr("Glass Only Damage Check box"));
        fails(!rsDamage_.isOpen() || rsDamage_.recordCount() == 0,
              tr("Must have at least one damage type added."));
        fails(unanswered(chkBodilyInjury), tr("Bodily Insury Check box"));
        fails(blank(txtContactName), tr("Contact Name"));
        fails(chkBodilyInjury->checkState() == Qt::Checked && blank(txtLossIDNumber),
              tr("Loss ID # ( Claim ) when bodily injury has occurred"));
        p.at(20);
        if (findCause(cboCauseofLoss->currentIndex())) {
            const auto flag = [this](const char16_t *field) {
                const Value v = rsCause_.value(QString::fromUtf16(field));
                return !v.isNull() && v.toBool();
            };
            fails(flag(u"subreq") && blank(txtSubdata),
                  fieldText(rsCause_, u"subdatafield"_s) % tr(" is required for this cause."));
            fails(flag(u"subnamereq") && blank(txtsubName),
                  fieldText(rsCause_, u"subnamefield"_s) % tr(" is required for this cause."));
        }
        p.at(25);
        // A phone number short of digits would be sent as a wrong number.
        const std::pair<QLineEdit *, const char *> phones[] = {
            {txtSold_To[1], QT_TR_NOOP("Sold To Area Code must have 3 digits")},
            {txtSold_To[5], QT_TR_NOOP("Sold To Phone # must have 7 digits")},
            {txtSold_To[0], QT_TR_NOOP("Sold To Work Area Code must have 3 digits")},
            {txtSold_To[4], QT_TR_NOOP("Sold To Work Phone # must have 7 digits")},
            {txtAgents[3], QT_TR_NOOP("Agent Area Code must have 3 digits")},
            {txtAgents[1], QT_TR_NOOP("Agent Phone # must have 7 digits")}};
        for (const auto &[entry, text] : phones)
            fails(shortNumber(entry), tr(text));
        p.at(30);
        if (msg.isEmpty())
            return true;
        orvane::Ui::instance().msgBox(
            tr("To submit this Notice of Loss, you must fill out the following information") %
                CRLF % CRLF % msg,
            MsgButtons::OK, MsgIcon::Critical, tr("Missing or invalid data"));
        return false;
    } catch (...) {
        reportTrapped(p);
        return false;
    }
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

namespace {

const QString kNoRow = u"guid = 'A' and guid <> 'A'"_s;

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

QString eNOLfrm::telephoneForm(const QString &phone)
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

QString eNOLfrm::vehicleIdNumber(const QString &vehicleId)
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

void eNOLfrm::SaveToTable(std::shared_ptr<ext::IRsTable> &notice,
                          std::shared_ptr<ext::IRsTable> &lines)
{
    Proc p = proc(u"SaveToTable"_s);
    try {
        p.at(10);
        const auto env = orvane::required(objInvoice_)->Env();
        notice = lossTable(ext::progid::g_enol, env);
        lines = lossTable(ext::progid::g_enolline, env);
        p.at(20);
        notice->get_rs(kNoRow);
        Recordset rs = notice->itemsrecordset();
        rs.addNew();
        const Recordset inv = objInvoice_->itemsrecordset();
        auto put = [&rs](const char16_t *column, const Value &v) {
            modOrvane::setRSValue(rs.field(QString::fromUtf16(column)), v);
        };
        auto fromInvoice = [&](const char16_t *column, const char16_t *field) {
            put(column, inv.value(QString::fromUtf16(field)));
        };
        auto joined = [&](const char16_t *a, const char16_t *b) {
            return Value(fieldText(inv, QString::fromUtf16(a)) %
                         fieldText(inv, QString::fromUtf16(b)));
        };
        p.at(30);
        put(u"origpid", trimmed(txtPID));
        put(u"orgcoid", trimmed(txtInsCOID));
        put(u"destpid", trimmed(txtOID));
        put(u"insurerid", trimmed(txtInsuranceID));
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
        put(u"policyst", trimmed(txtPolicyState));
        fromInvoice(u"a_company", u"a_company");
        fromInvoice(u"a_first", u"a_first");
        fromInvoice(u"a_last", u"a_last");
        put(u"a_phone", joined(u"a_area", u"a_phone"));
        put(u"lossid", trimmed(txtLossIDNumber));
        fromInvoice(u"lossdate", u"lossdate");
        fromInvoice(u"vehicleid", u"Carid");
        fromInvoice(u"year", u"year");
        fromInvoice(u"make", u"make");
        fromInvoice(u"model", u"model");
        fromInvoice(u"body", u"body");
        put(u"owner", vb::Trim(cboOwnership->currentText()));
        put(u"vehiclesrc", vb::Trim(cboVehicleSource->currentText()));
        put(u"vehtype", vb::Trim(cboVehicleType->currentText()));
        fromInvoice(u"vin", u"vin");
        put(u"vehiclenum", trimmed(txtVehicleNumber));
        put(u"glassonly", chkGlassDamage->checkState() != Qt::Unchecked);
        p.at(40);
        if (findCause(cboCauseofLoss->currentIndex())) {
            put(u"causeloss", rsCause_.value(u"LossCode"_s));
            put(u"lossdesc", rsCause_.value(u"Description"_s));
        }
        put(u"subname", trimmed(txtsubName));
        put(u"subdata", trimmed(txtSubdata));
        put(u"contact", trimmed(txtContactName));
        put(u"bodilyinj", chkBodilyInjury->checkState() != Qt::Unchecked);
        p.at(50);
        rs.setValue(u"ack"_s, true);
        rs.update();
        notice->Update();

        p.at(60);
        lines->get_rs(kNoRow);
        Recordset out = lines->itemsrecordset();
        const QString guid = fieldText(rs, u"guid"_s);
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
                line(u"poscode", vb::Trim(fieldText(damage, u"PositionCode"_s)));
                line(u"relloc", vb::Trim(fieldText(damage, u"LocationCode"_s)));
                line(u"sidecode", vb::Trim(fieldText(damage, u"SideCode"_s)));
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

bool eNOLfrm::CreateXML(const std::shared_ptr<ext::IRsTable> &notice,
                        const std::shared_ptr<ext::IRsTable> &lines, orvane::XmlDocument &doc)
{
    Proc p = proc(u"CreateXML"_s);
    try {
        p.at(10);
        const Recordset rs = orvane::required(notice)->itemsrecordset();
        auto col = [&rs](const char16_t *column) {
            return fieldText(rs, QString::fromUtf16(column));
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
                add(damage, u"OpeningTypeCode"_s, fieldText(line, u"opentype"_s));
                add(damage, u"PositionCode"_s, fieldText(line, u"poscode"_s));
                add(damage, u"RelativeLocationCode"_s, fieldText(line, u"relloc"_s));
                add(damage, u"SideCode"_s, fieldText(line, u"sidecode"_s));
                add(damage, u"GlassDamageQuantity"_s, fieldText(line, u"qty"_s));
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

void eNOLfrm::BuildXML()
{
    Proc p = proc(u"BuildXML"_s);
    try {
        p.at(10);
        // The notice, its lines and its transaction row are stored together
        // or not at all: a notice is never kept half saved or never sent.
        // What fails is told once the transaction is taken back.
        std::shared_ptr<ext::IRsTable> notice, lines;
        QString guid;
        {
            ReportsAfter reports(this);
            StagingWrites::Transaction transaction(orvane::required(objInvoice_)->Env());
            SaveToTable(notice, lines);
            if (!notice)
                return; // SaveToTable has reported why; nothing was kept
            orvane::XmlDocument doc;
            if (!CreateXML(notice, lines, doc))
                return;

            p.at(20);
            guid = vb::Trim(fieldText(notice->itemsrecordset(), u"guid"_s));
            TransactionQueue::QueueRow(objInvoice_, doc,
                                       QString::fromUtf16(TransactionQueue::LossNotice), guid);
            transaction.commit();
        }
        TransactionQueue::RaiseSendFlag(objInvoice_);

        p.at(30);
        eNOLwaitfrm wait(this);
        WindowAPImod::CentreOverOwner(orvane::handleOf(this), &wait);
        wait.setNoticeTable(notice);
        wait.setInvoice(objInvoice_);
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
