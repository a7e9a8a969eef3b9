#include "dispatch/ChooseDispatchfrm.h"

#include "ObjectRegistry.h"
#include "RecordsetModel.h"
#include "Ui.h"
#include "VbError.h"
#include "core/StagingWrites.h"
#include "core/WindowAPImod.h"
#include "core/modOrvane.h"
#include "dispatch/Comparersfrm.h"
#include "dispatch/clsShowDispatch.h"
#include "external/IEnvironment.h"
#include "external/IErrorClass.h"
#include "external/IHostItem.h"
#include "external/IInvoice.h"
#include "external/IOptions.h"
#include "external/IOrderList.h"
#include "external/IOrvaneOut.h"
#include "external/Ig_trans.h"
#include "external/ObjectCast.h"
#include "external/ProgIds.h"
#include "vb.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTableView>

#include <array>

using namespace Qt::StringLiterals;
using orvane::Proc;
using orvane::Recordset;
using orvane::required;
using orvane::Value;
using orvane::ValueKind;
namespace ext = orvane::ext;

namespace {

const QString CRLF = u"\r\n"_s;

// The comparison's shown values hold this many characters: every text a
// dispatch carries, where the order's own fields may hold fewer.
constexpr int kShownSize = 1000;

bool isDateKind(const Value &v)
{
    return v.kind() == ValueKind::Date;
}

bool isNumberKind(const Value &v)
{
    switch (v.kind()) {
    case ValueKind::Int32:
    case ValueKind::Int64:
    case ValueKind::Double:
    case ValueKind::Currency:
    case ValueKind::Bool:
        return true;
    default:
        return false;
    }
}

// How a comparison shows its two values.
enum class Shown {
    Plain,        // the tested field's text
    Other,        // another field's text (the bill-to party's company)
    Date,         // the short date
    DiscountText, // the discount's text, trimmed
    Vehicle,      // year, make, model and body (model before make on the dispatch side)
};

enum class Test { Value, Text };

struct Comparison {
    Test test;
    const char16_t *tested;
    const char *caption; // the row's name; Comparersfrm shows it translated
    Shown shown;
    const char16_t *field;      // copied by a plain transfer; empty for the specials
    const char16_t *shownField; // Shown::Other
    bool keepMissingDate = false;
};

// In the order the user sees them.
const std::array<Comparison, 23> kComparisons{{
    {Test::Value, u"billto_id", QT_TRANSLATE_NOOP("Comparersfrm", "BILL TO"), Shown::Other,
     u"billto_id", u"b_company"},
    {Test::Value, u"DiscountID", QT_TRANSLATE_NOOP("Comparersfrm", "Discount"), Shown::DiscountText,
     u"discountid", nullptr},
    {Test::Value, u"LossDate", QT_TRANSLATE_NOOP("Comparersfrm", "Date of Loss"), Shown::Date,
     u"LossDate", nullptr, true},
    {Test::Text, u"Dispatch", QT_TRANSLATE_NOOP("Comparersfrm", "Dispatch #"), Shown::Plain,
     u"Dispatch", nullptr},
    {Test::Value, u"DispDate", QT_TRANSLATE_NOOP("Comparersfrm", "Dispatch Date"), Shown::Date,
     u"DispDate", nullptr, true},
    {Test::Value, u"carid", QT_TRANSLATE_NOOP("Comparersfrm", "Vehicle"), Shown::Vehicle, u"",
     nullptr},
    {Test::Text, u"S_first", QT_TRANSLATE_NOOP("Comparersfrm", "Sold To First Name"), Shown::Plain,
     u"s_first", nullptr},
    {Test::Text, u"S_last", QT_TRANSLATE_NOOP("Comparersfrm", "Sold To Last Name"), Shown::Plain,
     u"s_last", nullptr},
    {Test::Text, u"s_address", QT_TRANSLATE_NOOP("Comparersfrm", "Sold To Address"), Shown::Plain,
     u"s_address", nullptr},
    {Test::Text, u"s_city", QT_TRANSLATE_NOOP("Comparersfrm", "Sold To City"), Shown::Plain,
     u"s_city", nullptr},
    {Test::Text, u"s_State", QT_TRANSLATE_NOOP("Comparersfrm", "Sold To State"), Shown::Plain,
     u"s_state", nullptr},
    {Test::Text, u"s_Zip", QT_TRANSLATE_NOOP("Comparersfrm", "Sold To Zip"), Shown::Plain, u"s_zip",
     nullptr},
    {Test::Text, u"s_area1", QT_TRANSLATE_NOOP("Comparersfrm", "Sold To Work Area Code"),
     Shown::Plain, u"s_area1", nullptr},
    {Test::Text, u"s_phone1", QT_TRANSLATE_NOOP("Comparersfrm", "Sold To Work Phone #"),
     Shown::Plain, u"s_phone1", nullptr},
    {Test::Text, u"s_area2", QT_TRANSLATE_NOOP("Comparersfrm", "Sold To Home Area Code"),
     Shown::Plain, u"s_area2", nullptr},
    {Test::Text, u"s_phone2", QT_TRANSLATE_NOOP("Comparersfrm", "Sold To Home Phone #"),
     Shown::Plain, u"s_phone2", nullptr},
    {Test::Value, u"Deductible", QT_TRANSLATE_NOOP("Comparersfrm", "Deductible"), Shown::Plain,
     u"Deductible", nullptr},
    {Test::Value, u"Installdat", QT_TRANSLATE_NOOP("Comparersfrm", "Install Date"), Shown::Date,
     u"installdat", nullptr, true},
    {Test::Value, u"InShop", QT_TRANSLATE_NOOP("Comparersfrm", "In Shop"), Shown::Plain, u"InShop",
     nullptr},
    {Test::Text, u"a_first", QT_TRANSLATE_NOOP("Comparersfrm", "Agent First Name"), Shown::Plain,
     u"a_first", nullptr},
    {Test::Text, u"a_last", QT_TRANSLATE_NOOP("Comparersfrm", "Agent Last Name"), Shown::Plain,
     u"A_last", nullptr},
    {Test::Text, u"a_area", QT_TRANSLATE_NOOP("Comparersfrm", "Agent Area Code"), Shown::Plain,
     u"a_area", nullptr},
    {Test::Text, u"a_phone", QT_TRANSLATE_NOOP("Comparersfrm", "Agent Phone #"), Shown::Plain,
     u"a_phone", nullptr},
}};

QString str(const char16_t *s)
{
    return s ? QString::fromUtf16(s) : QString();
}

QString vehicleText(const Recordset &rs, bool modelFirst)
{
    auto part = [&](const char16_t *name) { return vb::Trim(rs.value(str(name)).toText()); };
    const QString year = part(u"Year"), make = part(u"Make"), model = part(u"Model"),
                  body = part(u"Body");
    return modelFirst ? year % u"-"_s % model % u"-"_s % make % u"-"_s % body
                      : year % u"-"_s % make % u"-"_s % model % u"-"_s % body;
}

// Both orders carry a VIN (a host's order may not).
bool hasVin(const Recordset &mine, const Recordset &theirs)
{
    return modOrvane::FieldExists(mine, u"vin"_s) && modOrvane::FieldExists(theirs, u"vin"_s);
}

QString shownValue(const Comparison &c, const Recordset &rs, bool dispatchSide)
{
    switch (c.shown) {
    case Shown::Plain:
        return ChooseDispatchfrm::shownText(rs.value(str(c.tested)));
    case Shown::Other:
        return ChooseDispatchfrm::shownText(rs.value(str(c.shownField)));
    case Shown::Date:
        return ChooseDispatchfrm::shownDate(rs.value(str(c.tested)));
    case Shown::DiscountText:
        return vb::Trim(ChooseDispatchfrm::shownText(rs.value(u"DiscountText"_s)));
    case Shown::Vehicle: {
        QString text = vehicleText(rs, dispatchSide);
        if (modOrvane::FieldExists(rs, u"vin"_s)) {
            const QString vin = vb::Trim(rs.value(u"vin"_s).toText());
            if (!vin.isEmpty())
                text = text % u" VIN "_s % vin;
        }
        return text;
    }
    }
    return {};
}

// The vehicle shows its parts joined by "-": blank when every part is.
bool isBlankShown(const Comparison &c, QString shown)
{
    if (c.shown == Shown::Vehicle)
        shown.remove(u'-');
    return vb::Trim(shown).isEmpty();
}

// The host has the bill-to party or discount of this id (what getbillto or
// getdiscount finds has a current row); asking must not become a failure.
bool hostKnows(const std::shared_ptr<ext::IInvoice> &dispatchOrder, Shown shown, const Value &id)
{
    try {
        const auto party =
            shown == Shown::Other ? dispatchOrder->getbillto(id) : dispatchOrder->getdiscount(id);
        if (!party)
            return false;
        const Recordset item = party->Item();
        return !item.eof() && !item.bof();
    } catch (...) {
        return false;
    }
}

} // namespace

// --- the view ---------------------------------------------------------------------

ChooseDispatchfrm::ChooseDispatchfrm(QWidget *parent)
    : LibraryView(u"ChooseDispatchfrm"_s, tr("Choose Dispatch"), parent)
{
    setSizeGripEnabled(true);

    // szrForm: the grid layout keeps the controls in proportion as the view is resized.
    auto *grid = new QGridLayout(this);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);

    lblDispatch = new QLabel(tr("&Dispatch #"), this);
    lblDispatch->setObjectName(u"lblDispatch"_s);
    txtDispatchNum = new QLineEdit(this);
    txtDispatchNum->setObjectName(u"txtDispatchNum"_s);
    txtDispatchNum->setClearButtonEnabled(true);
    lblDispatch->setBuddy(txtDispatchNum);
    cmdFind = new QPushButton(tr("&Find"), this);
    cmdFind->setObjectName(u"cmdFind"_s);
    cmdFind->setToolTip(tr("Find the dispatches whose number starts with the text"));
    grid->addWidget(lblDispatch, 0, 0);
    grid->addWidget(txtDispatchNum, 0, 1);
    grid->addWidget(cmdFind, 0, 2);

    grdDispatches = new QTableView(this);
    grdDispatches->setObjectName(u"grdDispatches"_s);
    grdDispatches->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdDispatches->setSelectionMode(QAbstractItemView::SingleSelection);
    grdDispatches->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdDispatches->setAlternatingRowColors(true);
    grdDispatches->verticalHeader()->hide();
    grdDispatches->horizontalHeader()->setStretchLastSection(true);
    // Tab leaves the grid for the buttons instead of walking its cells.
    grdDispatches->setTabKeyNavigation(false);
    grdDispatches->installEventFilter(this);
    grid->addWidget(grdDispatches, 1, 0, 1, 3);

    model_ = new orvane::RecordsetModel(this);
    grdDispatches->setModel(model_);
    // The grid's current row is the list's current row.
    connect(grdDispatches->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    model_->setCurrentRow(current.row());
            });

    auto *buttons = new QHBoxLayout;
    lblFound = new QLabel(this);
    lblFound->setObjectName(u"lblFound"_s);
    lblFound->setWordWrap(true);
    lblFound->hide();
    buttons->addWidget(lblFound, 1);
    buttons->addStretch(0);
    cmdView = new QPushButton(tr("&View Dispatch"), this);
    cmdView->setObjectName(u"cmdView"_s);
    cmdView->setToolTip(tr("Show the selected dispatch as a report"));
    cmdAttach = new QPushButton(tr("&Attach to Invoice"), this);
    cmdAttach->setObjectName(u"cmdAttach"_s);
    cmdAttach->setToolTip(tr("Link the selected dispatch to the open order"));
    buttons->addWidget(cmdView);
    buttons->addWidget(cmdAttach);
    grid->addLayout(buttons, 2, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);
    // A fixed floor rather than one that follows the grid's contents, so the
    // window never changes its size limits while it is shown.
    grid->setSizeConstraint(QLayout::SetNoConstraint);
    setMinimumSize(300, 260);

    // Enter in the search box searches; it must never attach by accident.
    for (QPushButton *b : {cmdFind, cmdView, cmdAttach})
        b->setAutoDefault(false);
    connect(txtDispatchNum, &QLineEdit::returnPressed, cmdFind, &QPushButton::click);
    connect(cmdFind, &QPushButton::clicked, this, [this] { cmdFind_Click(); });
    connect(cmdView, &QPushButton::clicked, this, [this] { cmdView_Click(); });
    connect(cmdAttach, &QPushButton::clicked, this, [this] { cmdAttach_Click(); });
    connect(grdDispatches, &QTableView::doubleClicked, this, [this] { cmdView_Click(); });
    setTabOrder(txtDispatchNum, cmdFind);
    setTabOrder(cmdFind, grdDispatches);
    setTabOrder(grdDispatches, cmdView);
    setTabOrder(cmdView, cmdAttach);

    resize(380, 420);
    Form_Load();
}

ChooseDispatchfrm::~ChooseDispatchfrm()
{
    Form_Unload();
}

void ChooseDispatchfrm::setInvoice(std::shared_ptr<ext::IInvoice> invoice)
{
    objInvoice_ = std::move(invoice);
    setErrorInvoice(objInvoice_);
}

void ChooseDispatchfrm::Form_Load()
{
    setWindowIcon(orvane::ui::libraryIcon(111));
    cmdFind->setIcon(orvane::ui::libraryIcon(143, QStyle::SP_FileDialogContentsView));
    registerView({{grdDispatches, u"ChooseDispatchfrm.grdDispatches"_s}});
}

bool ChooseDispatchfrm::eventFilter(QObject *watched, QEvent *event)
{
    // Enter on a row views it, as a double-click does.
    if (watched == grdDispatches && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            cmdView->click();
            return true;
        }
    }
    return LibraryView::eventFilter(watched, event);
}

void ChooseDispatchfrm::showEvent(QShowEvent *event)
{
    LibraryView::showEvent(event);
    Form_Activate();
}

void ChooseDispatchfrm::Form_Activate()
{
    if (activated_)
        return;
    activated_ = true;
    Proc p = proc(u"Form_Activate"_s);
    try {
        p.at(10);
        if (objInvoice_)
            txtDispatchNum->setText(objInvoice_->itemsrecordset().value(u"dispatch"_s).toText());
        p.at(20);
        cmdFind_Click();
    } catch (...) {
        reportTrapped(p);
    }
}

void ChooseDispatchfrm::Form_Unload()
{
    if (!unloadView())
        return;
    rsDispatches_.reset();
    objInvoice_.reset();
    setErrorInvoice(nullptr);
}

void ChooseDispatchfrm::cmdFind_Click()
{
    Proc p = proc(u"cmdFind_Click"_s);
    try {
        p.at(10);
        auto list = orvane::CreateObject<ext::Ig_trans>(QString::fromUtf16(ext::progid::g_trans));
        list->setEnv(objInvoice_ ? objInvoice_->Env() : nullptr);
        rsDispatches_ = list;

        p.at(20);
        QString filter = u"rectype = 'DISPATCH' "_s;
        const QString typed = vb::Trim(txtDispatchNum->text());
        // A typed quote is spliced out, so it is searched for rather than ending the
        // text; a typed % or _ is escaped, so it is searched for rather than
        // matching any record id.
        if (!typed.isEmpty()) {
            QString pattern = typed;
            pattern.replace(u"\\"_s, u"\\\\"_s).replace(u"%"_s, u"\\%"_s).replace(u"_"_s, u"\\_"_s);
            filter +=
                u" AND recid like '"_s % modOrvane::SQLSafeText(pattern) % u"%' ESCAPE '\\'"_s;
        }

        p.at(30);
        list->get_g_trans(filter);

        p.at(40);
        const Recordset rows = list->itemsrecordset();
        model_->setRecordset(rows);
        if (model_->columnCount() == 0) {
            orvane::RecordsetColumn recid =
                orvane::RecordsetColumn::bound(u"recid"_s, tr("Dispatch #"));
            recid.readOnly = true;
            model_->addColumn(recid);
        }
        if (model_->rowCount() > 0)
            grdDispatches->setCurrentIndex(model_->index(0, 0));
        // An empty grid alone reads like a failure to search.
        lblFound->setText(model_->rowCount() > 0 ? QString()
                          : typed.isEmpty()
                              ? tr("No dispatch has been received.")
                              : tr("No dispatch number starts with \"%1\".").arg(typed));
        lblFound->setVisible(model_->rowCount() == 0);
    } catch (...) {
        reportTrapped(p);
    }
}

void ChooseDispatchfrm::cmdView_Click()
{
    Proc p = proc(u"cmdView_Click"_s);
    try {
        p.at(10);
        if (!rsDispatches_ || rsDispatches_->itemsrecordset().recordCount() == 0)
            return;
        p.at(20);
        clsShowDispatch dispatch;
        orvane::WindowHandle owner = orvane::handleOf(this);
        QString xml = rsDispatches_->itemsrecordset().value(u"xml"_s).toText();
        const auto options = required(required(required(objInvoice_)->Env())->Options());
        QString reportPath =
            options->readinistring(u"Defaults"_s, u"ReportPath"_s, options->dask_ini()) %
            u"g_dispatch.rpt"_s;
        p.at(30);
        dispatch.ShowDispatch(owner, xml, reportPath);
    } catch (...) {
        reportTrapped(p);
    }
}

bool ChooseDispatchfrm::currentRowIsThisOrder() const
{
    const Recordset row = rsDispatches_->itemsrecordset();
    const Recordset order = objInvoice_->itemsrecordset();
    return row.value(u"daskid"_s).toInt64() == order.value(u"idnumber"_s).toInt64() &&
           row.value(u"daskloc"_s).toInt64() == order.value(u"location"_s).toInt64();
}

void ChooseDispatchfrm::cmdAttach_Click()
{
    Proc p = proc(u"cmdAttach_Click"_s);
    // Whatever ends this attach, nothing of it is left for the next one.
    struct Reset {
        ChooseDispatchfrm *self;
        ~Reset()
        {
            self->unlink_.reset();
            self->cutTexts_.clear();
            self->relinking_ = false;
        }
    } reset{this};
    try {
        p.at(10);
        if (!rsDispatches_ || rsDispatches_->itemsrecordset().recordCount() == 0)
            return;

        p.at(20);
        std::shared_ptr<ext::IOrvaneOut> out;
        try {
            out = orvane::CreateObject<ext::IOrvaneOut>(
                QString::fromUtf16(ext::progid::clsorvaneout));
        } catch (...) {
            return; // no transport to build the order: the click just ends
        }

        p.at(25);
        // A void order is not worked: linking a dispatch to one is almost
        // always the wrong order open.
        const Recordset current = required(objInvoice_)->itemsrecordset();
        if (modOrvane::FieldExists(current, u"type"_s) &&
            vb::UCase(vb::Trim(current.value(u"type"_s).toText())) == u"VOID"_s &&
            orvane::Ui::instance().msgBoxWithDefault(
                tr("This order is void.") % CRLF % CRLF %
                    tr("Do you want to link the dispatch to this void order anyway?"),
                orvane::MsgButtons::YesNo, orvane::MsgIcon::Exclamation, tr("Order Is Void"),
                orvane::MsgResult::No) != orvane::MsgResult::Yes)
            return;

        p.at(30);
        if (!CheckCurrentLInk())
            return;

        p.at(40);
        Recordset row = rsDispatches_->itemsrecordset();
        std::shared_ptr<ext::IInvoice> order;
        out->returnorder(u"DISPATCH"_s % row.value(u"recid"_s).toText(),
                         row.value(u"xml"_s).toText(), order);
        cutTexts_ = out->cutTexts();

        p.at(50);
        required(order);
        relinking_ = row.value(u"daskid"_s).toInt64() != 0 && currentRowIsThisOrder();
        if (!CompareOrders(objInvoice_, order))
            return;

        p.at(60);
        // The order being linked is never offered for voiding: it is the
        // same order, not one the dispatch was taken from.
        if (row.value(u"daskid"_s).toInt64() != 0 && !currentRowIsThisOrder())
            RemoveOrder();

        p.at(70);
        // The old links go and the new one comes in one transaction: a
        // failure leaves every link as it was, never a dispatch linked to nothing.
        const Recordset invoice = objInvoice_->itemsrecordset();
        StagingWrites::Transaction transaction(objInvoice_->Env());
        if (unlink_)
            unlink_->Update();
        row.setValue(u"daskid"_s, invoice.value(u"idnumber"_s));
        row.setValue(u"daskloc"_s, invoice.value(u"location"_s));
        row.update();
        rsDispatches_->Update();
        transaction.commit();

        p.at(80);
        hide();
    } catch (...) {
        reportTrapped(p);
    }
}

bool ChooseDispatchfrm::CheckCurrentLInk()
{
    bool answer = true;
    Proc p = proc(u"CheckCurrentLInk"_s);
    try {
        p.at(10);
        auto links = orvane::CreateObject<ext::Ig_trans>(QString::fromUtf16(ext::progid::g_trans));
        links->setEnv(required(objInvoice_)->Env());

        p.at(20);
        const Recordset invoice = objInvoice_->itemsrecordset();
        links->get_g_trans(u"rectype = 'DISPATCH' AND daskid = "_s %
                           invoice.value(u"idnumber"_s).toText() % u" and daskloc = "_s %
                           invoice.value(u"location"_s).toText());

        p.at(30);
        // The dispatch being attached is relinked to this same order, so it
        // is no other link to give up (and unlinking it behind the list's
        // back would leave the list's row out of date).
        Value attaching;
        if (rsDispatches_ && modOrvane::FieldExists(rsDispatches_->itemsrecordset(), u"id"_s))
            attaching = rsDispatches_->itemsrecordset().value(u"id"_s);
        Recordset rows = links->itemsrecordset();
        auto isAttaching = [&](const Recordset &r) {
            return !attaching.isEmpty() && modOrvane::FieldExists(r, u"id"_s) &&
                   r.value(u"id"_s) == attaching;
        };
        int others = 0;
        {
            Recordset scan = rows.clone();
            for (; !scan.eof(); scan.moveNext())
                if (!isAttaching(scan))
                    ++others;
        }
        if (others == 0)
            return answer;

        p.at(40);
        const orvane::MsgResult choice = orvane::Ui::instance().msgBoxWithDefault(
            tr("This invoice is currently linked to a dispatch.  Linking it to another dispatch "
               "will unlink this record") %
                CRLF % CRLF % tr("Are you sure you want to do this?") % CRLF %
                tr("YES will continue and unlink your current invoice") % CRLF %
                tr("NO will abort this operation"),
            orvane::MsgButtons::YesNo, orvane::MsgIcon::Question, tr("Unlink Order?"),
            orvane::MsgResult::No);

        p.at(50);
        if (choice == orvane::MsgResult::Yes) {
            // Cleared here, written only together with the new link (Attach).
            for (; !rows.eof(); rows.moveNext()) {
                if (isAttaching(rows))
                    continue;
                rows.setValue(u"daskid"_s, 0);
                rows.setValue(u"daskloc"_s, 0);
                rows.update();
            }
            unlink_ = links;
            answer = true;
        } else {
            p.at(60);
            answer = false;
        }
    } catch (...) {
        reportTrapped(p);
    }
    return answer;
}

void ChooseDispatchfrm::RemoveOrder()
{
    Proc p = proc(u"RemoveOrder"_s);
    try {
        p.at(10);
        const auto orders = ext::objectAs<ext::IOrderList>(
            required(required(objInvoice_)->Env())->safecreateobj(ext::objkind::OrderList),
            p.name());

        p.at(20);
        const Recordset row = rsDispatches_->itemsrecordset();
        orders->getinvoices(u"Invoice.idnumber = "_s % row.value(u"daskid"_s).toText() %
                                u" AND invoice.location = "_s % row.value(u"daskloc"_s).toText(),
                            true);

        p.at(30);
        if (orders->RecordCount() <= 0)
            return;

        p.at(40);
        Recordset order = orders->itemsrecordset();
        const QString type = vb::UCase(vb::Trim(order.value(u"type"_s).toText()));
        const QString name = orderName(order);
        if (name.isEmpty())
            return; // a void order

        if (type == u"INVOICE"_s) {
            p.at(50);
            orvane::Ui::instance().msgBox(
                tr("This order is already linked to an order ") % CRLF % name % CRLF % CRLF %
                    tr("This order cannot be voided automatically.  Please remember to void this "
                       "order"),
                orvane::MsgButtons::OK, orvane::MsgIcon::None, QString());
            return;
        }

        p.at(60);
        const orvane::MsgResult choice = orvane::Ui::instance().msgBoxWithDefault(
            tr("This dispatch is currently linked to order ") % CRLF % name % CRLF % CRLF %
                tr("Press YES to automatically void the order it was linked to") % CRLF %
                tr("Press NO to leave the other order intact"),
            orvane::MsgButtons::YesNo, orvane::MsgIcon::Question, tr("Void Order?"),
            orvane::MsgResult::No);

        if (choice == orvane::MsgResult::Yes) {
            p.at(70);
            order.setValue(u"voidmsg"_s, u"ORVANE ORDER REMOVED"_s);
            order.update();
            orders->setordertypes(u"void"_s);
            orders->Update(true);
        }
    } catch (...) {
        reportTrapped(p);
    }
}

// --- the comparison -------------------------------------------------------------------

bool ChooseDispatchfrm::valuesDiffer(const Value &a, const Value &b)
{
    if (a.isNull() || b.isNull())
        return false;
    if (a.isEmpty() && b.isEmpty())
        return false;
    // A value never given compares as the zero of the other side's kind.
    if (isDateKind(a) || isDateKind(b)) {
        auto date = [](const Value &v) { return v.isEmpty() ? orvane::DateValue{} : v.toDate(); };
        return date(a) != date(b);
    }
    if (isNumberKind(a) || isNumberKind(b)) {
        auto number = [](const Value &v) {
            if (const auto *c = v.get<orvane::Currency>())
                return double(c->scaled) / double(orvane::Currency::Scale);
            return v.isEmpty() ? 0.0 : v.toDouble();
        };
        // Currency on both sides compares exactly, without a trip through double.
        if (const auto *ca = a.get<orvane::Currency>())
            if (const auto *cb = b.get<orvane::Currency>())
                return ca->scaled != cb->scaled;
        return number(a) != number(b);
    }
    return a.toText() != b.toText();
}

bool ChooseDispatchfrm::textsDiffer(const Value &a, const Value &b)
{
    return vb::UCase(vb::Trim(a.toText())) != vb::UCase(vb::Trim(b.toText()));
}

QString ChooseDispatchfrm::shownText(const Value &v)
{
    return v.isNull() ? QString() : v.toText();
}

QString ChooseDispatchfrm::shownDate(const Value &v)
{
    if (v.isNull() || v.isEmpty())
        return {};
    return vb::FormatShortDate(v.toDate());
}

bool ChooseDispatchfrm::isMissingDate(const Value &dispatchDate)
{
    if (dispatchDate.isNull())
        return false;
    if (dispatchDate.isEmpty())
        return true; // the zero date, 30 December 1899
    return dispatchDate.toDate() < orvane::DateValue::fromDate(QDate(1900, 1, 1));
}

QString ChooseDispatchfrm::orderName(const Recordset &order)
{
    // A host's order may lack some of these fields: they read as empty.
    auto field = [&](const QString &name) {
        return modOrvane::FieldExists(order, name) ? order.value(name).toText() : QString();
    };
    const QString type = vb::UCase(vb::Trim(field(u"type"_s)));
    if (type == u"QUOTE"_s)
        return u"Quote-"_s % field(u"quoteid"_s);
    if (type == u"INVOICE"_s)
        return u"Invoice-"_s % field(u"invoiceid"_s);
    if (type == u"WORKORDER"_s)
        return u"Workorder-"_s % field(u"workid"_s);
    if (type == u"CALLBACK"_s)
        return u"CallBack-"_s % field(u"CallBackID"_s);
    if (type == u"VOID"_s)
        return {};
    if (type == u"COPY"_s)
        return u"Copy-"_s % field(u"quoteid"_s);
    const QString id = field(u"idnumber"_s);
    return id.isEmpty() ? QString() : u"Dispatch-"_s % id;
}

Recordset ChooseDispatchfrm::CreateCompareRecordset()
{
    Recordset rs;
    Proc p = proc(u"CreateCompareRecordset"_s);
    try {
        p.at(10);
        // The values are shown whole: a cut one would hide what differs.
        rs.appendField(u"FieldName"_s, orvane::ftype::Text, 30);
        rs.appendField(u"OriginalVal"_s, orvane::ftype::Text, kShownSize);
        rs.appendField(u"NewValue"_s, orvane::ftype::Text, kShownSize);
        rs.appendField(u"KeepValue"_s, orvane::ftype::Bool);
        rs.appendField(u"Field"_s, orvane::ftype::Text, 30);
        // False for a value the order cannot take over (kept whatever is ticked).
        rs.appendField(u"CanTransfer"_s, orvane::ftype::Bool);
        // Why a value cannot be taken over, or will be cut when it is.
        rs.appendField(u"Note"_s, orvane::ftype::Text, kShownSize);
        p.at(20);
        rs.open();
    } catch (...) {
        reportTrapped(p);
    }
    return rs;
}

void ChooseDispatchfrm::AddCompare(Recordset &rs, const QString &FieldName,
                                   const QString &OriginalVal, const QString &NewValue,
                                   const QString &Field)
{
    Proc p = proc(u"AddCompare"_s);
    try {
        p.at(10);
        rs.addNew();
        p.at(20);
        // Shown values are cut to the grid's fields; the transfer reads the
        // full value from the dispatch order, never from here.
        auto put = [&rs](const QString &name, const QString &text) {
            rs.setValue(name, rs.field(name).fitted(text));
        };
        put(u"FieldName"_s, FieldName);
        put(u"OriginalVal"_s, OriginalVal);
        put(u"NewValue"_s, NewValue);
        put(u"Field"_s, Field);
        rs.setValue(u"KeepValue"_s, false);
        if (rs.fieldIndex(u"CanTransfer"_s) >= 0)
            rs.setValue(u"CanTransfer"_s, true);
        p.at(30);
        rs.update();
    } catch (...) {
        reportTrapped(p);
    }
}

bool ChooseDispatchfrm::CompareOrders(const std::shared_ptr<ext::IInvoice> &invoice,
                                      const std::shared_ptr<ext::IInvoice> &dispatchOrder)
{
    bool answer = false;
    Proc p = proc(u"CompareOrders"_s);
    std::unique_ptr<Comparersfrm> view;
    try {
        p.at(10);
        Recordset rs = CreateCompareRecordset();

        p.at(20);
        const Recordset mine = required(invoice)->itemsrecordset();
        const Recordset theirs = required(dispatchOrder)->itemsrecordset();
        for (const Comparison &c : kComparisons) {
            const QString tested = str(c.tested);
            const Value old = mine.value(tested);
            const Value now = theirs.value(tested);
            // A text the order could not hold whole is compared whole.
            const auto cut = cutTexts_.constFind(str(c.field).toLower());
            const bool isCut = c.shown == Shown::Plain && cut != cutTexts_.constEnd();
            bool differs = c.test == Test::Value ? valuesDiffer(old, now)
                           : isCut               ? textsDiffer(old, Value(*cut))
                                                 : textsDiffer(old, now);
            // The VIN belongs to the vehicle: a different one is a different vehicle.
            if (c.shown == Shown::Vehicle && !differs && hasVin(mine, theirs))
                differs = !vb::Trim(theirs.value(u"vin"_s).toText()).isEmpty() &&
                          textsDiffer(mine.value(u"vin"_s), theirs.value(u"vin"_s));
            // A bill-to party or discount the host does not know cannot be
            // taken over: shown, when the dispatch names one, with the
            // dispatch's name for it, and kept.
            const bool party = c.shown == Shown::Other || c.shown == Shown::DiscountText;
            const bool transferable = !party || hostKnows(dispatchOrder, c.shown, now);
            const QString oldShown = shownValue(c, mine, false);
            QString newShown = shownValue(c, theirs, true);
            if (!transferable)
                differs = !isBlankShown(c, newShown) && textsDiffer(oldShown, newShown);
            if (!differs)
                continue;
            QString note;
            if (!transferable) {
                note = c.shown == Shown::Other
                           ? tr("The shop has no bill-to party for this insurer; it cannot be "
                                "taken over.")
                           : tr("The shop has no discount like this one; it cannot be taken "
                                "over.");
            } else if (isCut) {
                newShown = *cut;
                note = tr("The order holds only %n characters here; taking it over cuts the rest.",
                          nullptr, int(mine.field(str(c.field)).definedSize()));
            }
            AddCompare(rs, QString::fromUtf8(c.caption), oldShown, newShown, str(c.field));
            // Taking over a blank would erase the shop's value, so keeping it
            // is the default the user has to overrule. Re-attaching the
            // dispatch the order is linked to keeps what the user chose then.
            const bool blankOverValue = isBlankShown(c, newShown) && !isBlankShown(c, oldShown);
            if (!transferable || relinking_ || blankOverValue ||
                (c.keepMissingDate && isMissingDate(now)))
                rs.setValue(u"KeepValue"_s, true);
            rs.setValue(u"CanTransfer"_s, transferable);
            rs.setValue(u"Note"_s, note);
            rs.update();
        }

        p.at(30);
        if (rs.recordCount() == 0)
            return true;

        p.at(40);
        rs.moveFirst();
        view = std::make_unique<Comparersfrm>();
        view->rsCompare = rs;
        view->setOrders(orderName(mine), vb::Trim(theirs.value(u"dispatch"_s).toText()));
        WindowAPImod::CentreOverOwner(orvane::handleOf(this), view.get());
        view->setCompareRecordset(rs);
        orvane::Ui::instance().showModal(view.get());

        p.at(50);
        if (view->accepted) {
            setNewValues(rs, invoice, dispatchOrder);
            answer = true;
        }
        p.at(60);
        view->Form_Unload();
    } catch (...) {
        orvane::ui::reportTrapped(invoice ? invoice : objInvoice_, p);
        answer = false;
    }
    return answer;
}

void ChooseDispatchfrm::setNewValues(Recordset &rs, const std::shared_ptr<ext::IInvoice> &invoice,
                                     const std::shared_ptr<ext::IInvoice> &dispatchOrder)
{
    Proc p = proc(u"setNewValues"_s);
    try {
        p.at(10);
        Recordset mine = required(invoice)->itemsrecordset();
        const Recordset theirs = required(dispatchOrder)->itemsrecordset();
        if (rs.recordCount() == 0)
            return;
        for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
            if (rs.value(u"KeepValue"_s).toBool())
                continue;
            if (rs.fieldIndex(u"CanTransfer"_s) >= 0 && !rs.value(u"CanTransfer"_s).toBool())
                continue;
            p.at(20);
            const QString name = vb::UCase(vb::Trim(rs.value(u"FieldName"_s).toText()));
            if (name == u"BILL TO"_s) {
                p.at(30);
                const auto party = dispatchOrder->getbillto(theirs.value(u"billto_id"_s));
                invoice->setbillto(required(party)->Item(), false, false, false, false);
            } else if (name == u"DISCOUNT"_s) {
                p.at(40);
                const auto discount = dispatchOrder->getdiscount(theirs.value(u"discountid"_s));
                invoice->setdiscount(required(discount)->Item());
            } else if (name == u"VEHICLE"_s) {
                p.at(50);
                for (const QString &field :
                     {u"carid"_s, u"year"_s, u"make"_s, u"model"_s, u"body"_s})
                    mine.setValue(field, theirs.value(field));
                // The VIN goes with its vehicle, even a blank one: the old
                // vehicle's VIN on the new vehicle would be wrong.
                if (hasVin(mine, theirs))
                    mine.setValue(u"vin"_s, theirs.value(u"vin"_s));
                mine.update();
            } else {
                p.at(60);
                const QString field = vb::Trim(rs.value(u"Field"_s).toText());
                mine.setValue(field, theirs.value(field));
                mine.update();
            }
        }
    } catch (...) {
        orvane::ui::reportTrapped(invoice ? invoice : objInvoice_, p);
    }
}
