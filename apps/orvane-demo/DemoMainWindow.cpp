#include "orvane-demo/DemoMainWindow.h"

#include "host/HostEnvironment.h"
#include "host/HostErrorClass.h"
#include "host/HostInvoice.h"
#include "host/HostOrderList.h"
#include "host/ReferenceHost.h"
#include "host/ShopDatabase.h"
#include "orvane-demo/SettingsDialog.h"
#include "qorOrvaneUI/core/XMLUtilmod.h"
#include "qorOrvaneUI/loss/eNOLwaitfrm.h"
#include "runtime/widgets/RecordsetDelegate.h"
#include "runtime/widgets/RecordsetModel.h"
#include "transport/StagingDatabase.h"
#include "transport/StagingSchema.h"
#include "transport/TableObjects.h"
#include <qorOrvaneUI/authorization/Authorizationcls.h>
#include <qorOrvaneUI/dispatch/clsShowDispatch.h>
#include <qorOrvaneUI/external/IDataCommand.h>
#include <qorOrvaneUI/external/IErrorClass.h>
#include <qorOrvaneUI/external/IInscoIdList.h>
#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/external/ILineItems.h>
#include <qorOrvaneUI/external/IOidList.h>
#include <qorOrvaneUI/external/IOptions.h>
#include <qorOrvaneUI/external/IPidList.h>
#include <qorOrvaneUI/external/IRsTable.h>
#include <qorOrvaneUI/external/Ig_ackn.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/loss/eNOLcls.h>
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>
#include <qorOrvaneUI/widgets/Ui.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <optional>

using orvane::authorization::Authorizationcls;
using orvane::dispatch::clsShowDispatch;
using orvane::loss::eNOLcls;
using orvane::loss::eNOLwaitfrm;
namespace XMLUtilmod = orvane::XMLUtilmod;

using namespace Qt::StringLiterals;
using orvane::ColumnFormat;
using orvane::RecordsetColumn;

namespace {

// The order fields the form edits, in form order, with their captions.
struct FormField {
    const char16_t *field;
    const char16_t *caption;
};

// An area code is shown on one row with the number after it.
constexpr FormField kInsured[] = {
    {u"s_first", u"First name"},     {u"s_last", u"Last name"},
    {u"s_address", u"Address"},      {u"s_city", u"City"},
    {u"s_state", u"State"},          {u"s_zip", u"Postal code"},
    {u"s_area2", u"Home area code"}, {u"s_phone2", u"Home phone"},
    {u"s_area1", u"Work area code"}, {u"s_phone1", u"Work phone"},
};
constexpr FormField kClaim[] = {
    {u"policy", u"Policy"}, {u"claim", u"Claim"}, {u"deductible", u"Deductible"},
    {u"year", u"Year"},     {u"make", u"Make"},   {u"model", u"Model"},
    {u"body", u"Body"},     {u"vin", u"VIN"},     {u"dispatch", u"Dispatch"},
};

const QString OrvaneIni = u"Orvane.ini"_s;

// The widest a text column of the order list grows; longer names are cut on
// screen (the whole text is the cell's tip) so the order form keeps its room.
constexpr int MaxListColumnWidth = 180;

bool isAreaCode(const QString &field)
{
    return field.startsWith(u"s_area"_s, Qt::CaseInsensitive);
}
bool isPhone(const QString &field)
{
    return field.startsWith(u"s_phone"_s, Qt::CaseInsensitive);
}

QString captionOf(const QString &field)
{
    auto find = [&field](const auto &group) -> const char16_t * {
        for (const FormField &f : group)
            if (field.compare(QString::fromUtf16(f.field), Qt::CaseInsensitive) == 0)
                return f.caption;
        return nullptr;
    };
    const char16_t *caption = find(kInsured);
    caption = caption ? caption : find(kClaim);
    return caption ? QString::fromUtf16(caption) : field;
}

// A value as the form shows it; a NULL column is an empty box.
QString formText(const orvane::Value &v)
{
    return v.isNull() ? QString() : v.toText();
}

// What was wrong with what the user typed into `field`, in the shop's words.
QString fieldProblem(const orvane::Recordset &row, const QString &field, const orvane::VbError &e)
{
    const QString caption = captionOf(field);
    const orvane::FieldDef &def = row.fieldDef(row.fieldIndex(field));
    if (e.number() == orvane::err::TypeMismatch)
        return caption %
               (def.type == orvane::ftype::Date ? u" must be a date"_s : u" must be a number"_s);
    if (e.number() == orvane::err::Overflow)
        return caption % u" is too large"_s;
    if (def.type == orvane::ftype::Text && def.definedSize > 0)
        return caption % u" is too long: at most "_s % QString::number(def.definedSize) %
               u" characters"_s;
    return u"The value of "_s % caption % u" cannot be stored"_s;
}

// Asks for a text, one of `items` when given, through the Ui service (so a
// test can play the user); nullopt when cancelled.
std::optional<QString> ask(QWidget *parent, const QString &title, const QString &label,
                           const QStringList &items = {}, const QString &value = {})
{
    QInputDialog dialog(parent);
    dialog.setObjectName(u"DemoAsk"_s);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    if (!items.isEmpty()) {
        dialog.setComboBoxItems(items);
        dialog.setComboBoxEditable(false);
    }
    dialog.setTextValue(value.isEmpty() ? items.value(0) : value);
    // Wide enough for the whole title, with room for the window's icon and
    // buttons: the dialog sizes itself by its label, and the window manager
    // would cut the title short. The layout sets its own minimum, so the label
    // carries the width.
    if (auto *text = dialog.findChild<QLabel *>())
        text->setMinimumWidth(dialog.fontMetrics().horizontalAdvance(title) + 160);
    if (orvane::Ui::instance().showModal(&dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

QTableView *makeGrid(QWidget *parent)
{
    auto *view = new QTableView(parent);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setAlternatingRowColors(true);
    view->verticalHeader()->setVisible(false);
    view->horizontalHeader()->setStretchLastSection(true);
    view->setItemDelegate(new orvane::RecordsetDelegate(view));
    return view;
}

} // namespace

DemoMainWindow::DemoMainWindow(std::shared_ptr<orvane::host::ReferenceHost> host, QWidget *parent)
    : QMainWindow(parent), host_(std::move(host))
{
    setObjectName(u"DemoMainWindow"_s);
    setWindowTitle(host_->env()->config().hostName);
    resize(1180, 720);

    auto *splitter = new QSplitter(this);
    auto *left = new QWidget(splitter);
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->addWidget(new QLabel(u"<b>Orders</b>"_s, left));
    ordersView_ = makeGrid(left);
    ordersModel_ = new orvane::RecordsetModel(this);
    leftLayout->addWidget(ordersView_);
    auto *buttons = new QHBoxLayout;
    auto *newButton = new QPushButton(u"&New order"_s, left);
    auto *reload = new QPushButton(u"&Reload"_s, left);
    buttons->addWidget(newButton);
    buttons->addWidget(reload);
    buttons->addStretch();
    leftLayout->addLayout(buttons);
    connect(newButton, &QPushButton::clicked, this, &DemoMainWindow::newOrder);
    connect(reload, &QPushButton::clicked, this, &DemoMainWindow::reloadOrders);

    tabs_ = new QTabWidget(splitter);
    auto *orderPage = new QWidget(tabs_);
    buildOrderForm(orderPage);
    tabs_->addTab(orderPage, u"Order"_s);

    auto *dispatchPage = new QWidget(tabs_);
    buildDispatchPage(dispatchPage);
    tabs_->addTab(dispatchPage, u"Received dispatches"_s);
    // Ctrl+Tab switches tabs wherever the focus is, the order list included.
    auto *nextTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    connect(nextTab, &QShortcut::activated, this,
            [this] { tabs_->setCurrentIndex((tabs_->currentIndex() + 1) % tabs_->count()); });
    auto *previousTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), this);
    connect(previousTab, &QShortcut::activated, this, [this] {
        tabs_->setCurrentIndex((tabs_->currentIndex() + tabs_->count() - 1) % tabs_->count());
    });

    splitter->addWidget(left);
    splitter->addWidget(tabs_);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    splitter->setSizes({470, 710}); // the order list shows all its columns
    setCentralWidget(splitter);

    counters_ = new QLabel(this);
    statusBar()->addPermanentWidget(counters_);
    counterTimer_ = new QTimer(this);
    counterTimer_->setInterval(5000);
    connect(counterTimer_, &QTimer::timeout, this, &DemoMainWindow::refreshCounters);
    counterTimer_->start();

    prepareShop();
    buildMenus();
    reloadOrders();
    refreshCounters();

    connect(ordersView_, &QTableView::activated, this, [this](const QModelIndex &index) {
        const orvane::Value bookmark = ordersModel_->rowBookmark(index.row());
        orvane::Recordset rs = ordersModel_->recordset().clone();
        rs.setBookmark(bookmark);
        openOrder(orvane::RecordsetModel::toVariant(rs.value(u"idnumber"_s)));
    });
}

DemoMainWindow::~DemoMainWindow() = default;

// The host's report folder, or the template shipped with the library.
QString DemoMainWindow::dispatchTemplate() const
{
    const auto options = host_->env()->Options();
    QString folder = options->readinistring(u"Defaults"_s, u"ReportPath"_s, options->dask_ini());
    if (folder.trimmed().isEmpty())
        folder = QStringLiteral(ORVANE_SAMPLES_DIR "/reports/");
    return folder + u"g_dispatch.rpt"_s;
}

void DemoMainWindow::buildMenus()
{
    QMenu *file = menuBar()->addMenu(u"&File"_s);
    QAction *newAction = file->addAction(u"&New order"_s, this, &DemoMainWindow::newOrder);
    newAction->setShortcut(QKeySequence::New);
    QAction *open = file->addAction(u"&Open order..."_s, this, [this] {
        const auto id = ask(this, u"Open order"_s, u"Order number:"_s);
        if (!id)
            return;
        bool number = false;
        const int value = id->trimmed().toInt(&number);
        if (number && value > 0)
            openOrder(value);
        else
            orvane::Ui::instance().msgBox(u"\""_s % *id % u"\" is no order number."_s,
                                          orvane::MsgButtons::OK, orvane::MsgIcon::Exclamation,
                                          host_->env()->config().hostName);
    });
    open->setShortcut(QKeySequence::Open);
    QAction *save = file->addAction(u"&Save"_s, this, [this] { saveOrder(); });
    save->setShortcut(QKeySequence::Save);
    file->addSeparator();
    file->addAction(u"Se&ttings..."_s, this, &DemoMainWindow::showSettings);
    file->addSeparator();
    QAction *quit = file->addAction(u"&Quit"_s, this, &QWidget::close);
    // Ctrl+Q also where the platform names no key for quitting.
    quit->setShortcut(
        QKeySequence::keyBindings(QKeySequence::Quit).value(0, QKeySequence(Qt::CTRL | Qt::Key_Q)));

    // One action per public method of the library, as its views arrive.
    QMenu *orvaneMenu = menuBar()->addMenu(u"&Orvane"_s);
    // A dispatch document picked from disk, shown by the library as the host would.
    auto withDispatchFile = [this](const QString &title, auto show) {
        const QString picked = QFileDialog::getOpenFileName(
            this, title, QStringLiteral(ORVANE_SAMPLES_DIR "/dispatch"),
            u"Dispatch documents (*.xml);;All files (*)"_s);
        if (picked.isEmpty())
            return;
        try {
            QFile in(picked);
            if (!in.open(QIODevice::ReadOnly))
                throw orvane::VbError(53, u"orvane-demo"_s, u"File not found: "_s % picked);
            QString xml = QString::fromUtf8(in.readAll());
            QString reportPath = dispatchTemplate();
            orvane::WindowHandle owner = orvane::handleOf(this);
            clsShowDispatch dispatch;
            show(dispatch, owner, xml, reportPath);
        } catch (...) {
            reportError(u"The dispatch file was not shown."_s,
                        u"Check that the file is a dispatch document from the network and "
                        u"open it again."_s);
        }
    };
    orvaneMenu->addAction(u"View &Dispatch from file..."_s, this, [withDispatchFile] {
        withDispatchFile(u"View Dispatch"_s,
                         [](clsShowDispatch &d, orvane::WindowHandle &owner, QString &xml,
                            QString &reportPath) { d.ShowDispatch(owner, xml, reportPath); });
    });
    orvaneMenu->addAction(u"&E-Schedule from file..."_s, this, [withDispatchFile] {
        withDispatchFile(u"E-Schedule"_s,
                         [](clsShowDispatch &d, orvane::WindowHandle &owner, QString &xml,
                            QString &reportPath) { d.ShowEschedule(owner, xml, reportPath); });
    });
    orvaneMenu->addSeparator();
    // Links a received dispatch to the open order and takes over its values.
    QAction *choose = orvaneMenu->addAction(u"&Choose Dispatch..."_s, this, [this] {
        if (!order_ || !maySwitchAway())
            return;
        try {
            // A link records the order's number, which a new order gets when stored.
            if (order_->isNew())
                storeOrder();
            const auto options = host_->env()->Options();
            if (options->readinistring(u"Defaults"_s, u"ReportPath"_s, options->dask_ini())
                    .trimmed()
                    .isEmpty())
                options->writeinistring(u"Defaults"_s, u"ReportPath"_s,
                                        QStringLiteral(ORVANE_SAMPLES_DIR "/reports/"),
                                        options->dask_ini());
            orvane::WindowHandle owner = orvane::handleOf(this);
            std::shared_ptr<orvane::ext::IInvoice> invoice = order_;
            clsShowDispatch dispatch;
            dispatch.ChooseDispatch(owner, invoice);
            // The library changed the order in memory only; the host stores it.
            storeOrder();
            showOrder();
            reloadDispatches();
        } catch (...) {
            reportError(u"The dispatch was not attached to the order."_s,
                        u"Open the order again and choose the dispatch once more."_s);
        }
    });
    choose->setObjectName(u"actionChooseDispatch"_s);
    choose->setEnabled(false);
    orvaneMenu->addSeparator();
    addAuthorizationActions(orvaneMenu);

    // The notice of loss: the order's check, the loss notice over it, the ID lists.
    QMenu *loss = orvaneMenu->addMenu(u"Notice of &Loss"_s);
    auto lossCall = [this](bool needsOrder, auto call) {
        if (needsOrder && (!order_ || !applyForm()))
            return;
        try {
            eNOLcls enol;
            call(enol, orvane::handleOf(this));
        } catch (...) {
            reportError(u"The notice of loss step did not finish."_s,
                        u"Check the order's insured, vehicle and policy, then start the step "
                        u"again."_s);
        }
    };
    QAction *verify = loss->addAction(u"&Verify Fields"_s, this, [this, lossCall] {
        lossCall(true, [this](eNOLcls &enol, orvane::WindowHandle) {
            enol.VerifyFields(order_);
            statusBar()->showMessage(u"The order holds what a loss notice needs."_s, 4000);
        });
    });
    QAction *send = loss->addAction(u"&Send Loss Notice..."_s, this, [this, lossCall] {
        lossCall(true, [this](eNOLcls &enol, orvane::WindowHandle owner) {
            enol.SendeNOL(order_, owner);
            // The view edited the order in memory; the host stores what was sent.
            if (orderState() != savedState_)
                storeOrder();
            showOrder();
            refreshCounters();
        });
    });
    // The follow-through of the order's last notice, at the step the user picks.
    QAction *answers = loss->addAction(u"Loss Notice &Answers..."_s, this, [this, lossCall] {
        const auto picked = ask(this, u"Loss Notice Answers"_s, u"Show:"_s,
                                {u"ENOL"_s, u"COVER"_s, u"LOSSACK"_s, u"DISPATCH"_s});
        if (!picked)
            return;
        const QString &type = *picked;
        lossCall(true, [this, &type](eNOLcls &enol, orvane::WindowHandle owner) {
            auto notices = orvane::CreateObject<orvane::ext::IRsTable>(
                QString::fromUtf16(orvane::ext::progid::g_enol));
            notices->setEnv(host_->env());
            notices->get_rs(
                u"g_enol.daskid = "_s %
                QString::number(order_->itemsrecordset().value(u"idnumber"_s).toInt64()));
            orvane::Recordset rows = notices->itemsrecordset();
            QString lossRef;
            if (rows.recordCount() > 0) {
                rows.moveLast();
                const orvane::Value ref = rows.value(u"Lossrefnum"_s);
                lossRef = ref.isNull() ? QString() : ref.toText();
            }
            enol.ShowResponses(order_, lossRef, type, owner);
            // A dispatch linked at the end is the order's from now on: the host
            // stores it together with the link the library wrote.
            if (orderState() != savedState_)
                storeOrder();
            showOrder();
            refreshCounters();
        });
    });
    loss->addSeparator();
    auto chosen = [this](const QString &what, const QString &id) {
        statusBar()->showMessage(
            id.isNull() ? u"No "_s % what % u" chosen."_s : what % u" chosen: "_s % id, 4000);
    };
    loss->addAction(u"&PID List..."_s, this, [lossCall, chosen, this] {
        lossCall(false, [&](eNOLcls &enol, orvane::WindowHandle owner) {
            const auto list = enol.PIDList(host_->env(), owner);
            chosen(u"Participant ID"_s,
                   list ? list->itemsrecordset().value(u"PID"_s).toText() : QString());
        });
    });
    loss->addAction(u"&Network ID List..."_s, this, [lossCall, chosen, this] {
        lossCall(false, [&](eNOLcls &enol, orvane::WindowHandle owner) {
            const auto list = enol.NetIDList(host_->env(), owner);
            chosen(u"Network ID"_s,
                   list ? list->itemsrecordset().value(u"Origid"_s).toText() : QString());
        });
    });
    loss->addAction(u"&Insurance Company ID List..."_s, this, [lossCall, chosen, this] {
        // The shop's and the network's IDs as the network delivered them.
        auto first = [this](const QString &sql) {
            QSqlQuery q = host_->database().exec(sql);
            QString id = q.next() ? q.value(0).toString() : QString();
            q.finish();
            return id;
        };
        const auto pid = ask(this, u"Insurance Company IDs"_s, u"Retail PID:"_s, {},
                             first(u"SELECT PID FROM g_pidlist ORDER BY id"_s));
        if (!pid)
            return;
        const auto oid = ask(this, u"Insurance Company IDs"_s, u"Network PID:"_s, {},
                             first(u"SELECT Origid FROM g_oidlist ORDER BY id"_s));
        if (!oid)
            return;
        lossCall(false, [&](eNOLcls &enol, orvane::WindowHandle owner) {
            const auto list = enol.INSCOIDList(host_->env(), *pid, *oid, owner);
            chosen(u"Insurance company ID"_s,
                   list ? list->itemsrecordset().value(u"INScoid"_s).toText() : QString());
        });
    });
    loss->addAction(u"Insu&rer ID List..."_s, this, [lossCall, chosen, this] {
        lossCall(false, [&](eNOLcls &enol, orvane::WindowHandle owner) {
            const auto rows = enol.InsurerIDList(host_->env(), owner);
            chosen(u"Insurer ID"_s, rows ? rows->value(u"orvaneid"_s).toText() : QString());
        });
    });
    connect(loss, &QMenu::aboutToShow, this, [this, verify, send, answers] {
        verify->setEnabled(order_ != nullptr);
        send->setEnabled(order_ != nullptr);
        answers->setEnabled(order_ != nullptr);
    });
}

// Part authorization for the open order: the request (answered by the
// network, or by the simulator with --simulate-network) and the last answer.
void DemoMainWindow::addAuthorizationActions(QMenu *menu)
{
    auto prepared = [this] {
        // Answer rows and the queued request carry the order's number.
        if (order_->isNew())
            storeOrder();
        return std::shared_ptr<orvane::ext::IInvoice>(order_);
    };
    QAction *request = menu->addAction(u"&Part Authorization..."_s, this, [this, prepared] {
        if (!order_ || !applyForm())
            return;
        try {
            std::shared_ptr<orvane::ext::IInvoice> invoice = prepared();
            // The dispatch the order is linked to says which kinds the insurer
            // accepts online; an order without one asks for every kind by hand.
            orvane::XmlDocument dispatch;
            const orvane::Value number = order_->itemsrecordset().value(u"dispatch"_s);
            if (!number.isNull() && !number.toText().trimmed().isEmpty()) {
                QSqlQuery q = host_->database().exec(
                    u"SELECT xml FROM g_trans WHERE rectype = ? AND recid = ?"_s,
                    {u"DISPATCH"_s, number.toText().trimmed()});
                const QString xml = q.next() ? q.value(0).toString() : QString();
                q.finish(); // no reader may hold the file while the library writes
                if (!xml.isEmpty())
                    dispatch.loadXml(xml);
            }
            Authorizationcls().PartAuthorization(invoice, dispatch, orvane::handleOf(this));
            // The library changed the order in memory only; the host stores it.
            storeOrder();
            showOrder();
            refreshCounters();
        } catch (...) {
            reportError(u"The part authorization was not sent, or its answer was not stored "
                        u"in the order."_s,
                        u"Look at the order's lines, save the order, then start Part "
                        u"Authorization again."_s);
        }
    });
    request->setObjectName(u"actionPartAuthorization"_s);
    QAction *answer = menu->addAction(u"Show Authorization &Answer..."_s, this, [this, prepared] {
        if (!order_ || !applyForm())
            return;
        try {
            std::shared_ptr<orvane::ext::IInvoice> invoice = prepared();
            QSqlQuery q = host_->database().exec(
                u"SELECT sessionid FROM g_ackn WHERE daskid = ? ORDER BY id DESC"_s,
                {qlonglong(order_->itemsrecordset().value(u"idnumber"_s).toInt64())});
            const QString session = q.next() ? q.value(0).toString() : QString();
            // Read and done: a statement left active here held the shop file
            // while the answer's rows were marked read on another connection.
            q.finish();
            if (session.isEmpty()) {
                statusBar()->showMessage(u"No authorization answer for this order."_s, 4000);
                return;
            }
            auto ackn = orvane::CreateObject<orvane::ext::Ig_ackn>(
                QString::fromUtf16(orvane::ext::progid::g_ackn));
            ackn->setEnv(host_->env());
            ackn->Get_g_ACKN(u"g_ackn.sessionid = '"_s % session % u"'"_s);
            Authorizationcls().ShowAuth(invoice, ackn, orvane::handleOf(this));
            // Seen now: the answer no longer counts as unread.
            orvane::Recordset rows = ackn->itemsrecordset();
            for (rows.recordCount() > 0 ? rows.moveFirst() : void(); !rows.eof(); rows.moveNext())
                rows.setValue(u"Ack"_s, true);
            ackn->Update();
            storeOrder();
            showOrder();
            refreshCounters();
        } catch (...) {
            reportError(u"The authorization answer was not applied to the order, and it still "
                        u"counts as unread."_s,
                        u"Try Show Authorization Answer again in a moment."_s);
        }
    });
    answer->setObjectName(u"actionShowAuthorization"_s);
    for (QAction *a : {request, answer})
        a->setEnabled(false);
}

void DemoMainWindow::buildOrderForm(QWidget *page)
{
    auto *layout = new QVBoxLayout(page);
    orderTitle_ = new QLabel(u"No order open"_s, page);
    QFont title = orderTitle_->font();
    title.setPointSizeF(title.pointSizeF() * 1.3);
    title.setBold(true);
    orderTitle_->setFont(title);
    layout->addWidget(orderTitle_);

    auto *groups = new QHBoxLayout;
    const orvane::host::TableDef &invoice = host_->database().table(u"invoice"_s);
    auto addGroup = [&](const QString &caption, const auto &fields) {
        auto *box = new QGroupBox(caption, page);
        auto *form = new QFormLayout(box);
        QLineEdit *area = nullptr;
        for (const FormField &f : fields) {
            const QString field = QString::fromUtf16(f.field);
            auto *edit = new QLineEdit(box);
            edit->setObjectName(u"txt_"_s + field);
            // Staff see the limit while typing instead of a refusal on saving.
            if (const orvane::host::ColumnDef *c = invoice.column(field);
                c && c->kind == orvane::host::ColumnKind::Text && c->size > 0)
                edit->setMaxLength(c->size);
            editors_.emplace_back(field, edit);
            if (isAreaCode(field)) {
                edit->setValidator(
                    new QRegularExpressionValidator(QRegularExpression(u"[0-9]{0,3}"_s), edit));
                edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(u"0000"_s) + 16);
                edit->setToolTip(QString::fromUtf16(f.caption));
                area = edit;
                continue;
            }
            if (isPhone(field))
                edit->setValidator(new QRegularExpressionValidator(
                    QRegularExpression(u"[0-9]{0,3}-?[0-9]{0,4}"_s), edit));
            if (area) {
                auto *row = new QHBoxLayout;
                row->addWidget(area);
                row->addWidget(edit, 1);
                form->addRow(QString::fromUtf16(f.caption), row);
                area = nullptr;
            } else {
                form->addRow(QString::fromUtf16(f.caption), edit);
            }
        }
        groups->addWidget(box, 1);
    };
    addGroup(u"Insured"_s, kInsured);
    addGroup(u"Claim and vehicle"_s, kClaim);
    layout->addLayout(groups);
    editorFor(u"dispatch"_s)->setReadOnly(true);

    layout->addWidget(new QLabel(u"<b>Lines</b>"_s, page));
    linesView_ = makeGrid(page);
    linesModel_ = new orvane::RecordsetModel(this);
    layout->addWidget(linesView_, 1);

    auto *bottom = new QHBoxLayout;
    totals_ = new QLabel(page);
    bottom->addWidget(totals_, 1);
    auto *recalc = new QPushButton(u"Re&calculate"_s, page);
    auto *save = new QPushButton(u"&Save"_s, page);
    bottom->addWidget(recalc);
    bottom->addWidget(save);
    layout->addLayout(bottom);
    connect(save, &QPushButton::clicked, this, [this] { saveOrder(); });
    connect(recalc, &QPushButton::clicked, this, [this] {
        if (!order_)
            return;
        order_->calculateinvoice(false, true);
        showOrder();
    });
    page->setEnabled(false);
}

QLineEdit *DemoMainWindow::editorFor(const QString &field) const
{
    for (const auto &[name, edit] : editors_)
        if (name.compare(field, Qt::CaseInsensitive) == 0)
            return edit;
    return nullptr;
}

void DemoMainWindow::reloadOrders()
{
    try {
        orvane::host::HostOrderList list(host_->shopDatabase());
        list.getinvoices(QString(), true);
        const orvane::Recordset orders = list.itemsrecordset();
        auto *model = new orvane::RecordsetModel(orders, this);
        // A text column cut to MaxListColumnWidth shows its whole text as the tip.
        auto text = [&orders](const QString &field, const QString &caption) {
            RecordsetColumn column = RecordsetColumn::bound(field, caption);
            column.tipProvider = [orders, field](int, const orvane::Value &bookmark) {
                orvane::Recordset row = orders.clone();
                row.setBookmark(bookmark);
                return formText(row.value(field));
            };
            return column;
        };
        model->addColumn(RecordsetColumn::bound(u"idnumber"_s, u"Order"_s));
        model->addColumn(RecordsetColumn::bound(u"type"_s, u"Type"_s));
        model->addColumn(text(u"s_last"_s, u"Insured"_s));
        model->addColumn(text(u"make"_s, u"Make"_s));
        model->addColumn(text(u"model"_s, u"Model"_s));
        model->addColumn(text(u"dispatch"_s, u"Dispatch"_s));
        model->addColumn(RecordsetColumn::bound(u"total"_s, u"Total"_s, ColumnFormat::Currency));
        for (int c = 0; c < model->columnCount(); ++c)
            model->setColumnReadOnly(c, true);
        ordersView_->setModel(model);
        delete ordersModel_;
        ordersModel_ = model;
        // Columns as wide as their contents; a stretched last one would keep
        // a width of its own and push Total out of sight.
        ordersView_->horizontalHeader()->setStretchLastSection(false);
        ordersView_->resizeColumnsToContents();
        for (int c = 0; c < model->columnCount(); ++c)
            if (ordersView_->columnWidth(c) > MaxListColumnWidth)
                ordersView_->setColumnWidth(c, MaxListColumnWidth);
        ordersView_->setWordWrap(false);
        fitOrderList();
        selectOpenOrder();
    } catch (...) {
        reportError(u"The list of orders was not refreshed."_s,
                    u"Press Reload; if the list stays old, restart the demo."_s);
    }
}

void DemoMainWindow::selectOpenOrder()
{
    if (!order_ || order_->isNew() || !ordersModel_)
        return;
    const qint64 id = order_->itemsrecordset().value(u"idnumber"_s).toInt64();
    for (int r = 0; r < ordersModel_->rowCount(); ++r)
        if (ordersModel_->index(r, 0).data(orvane::RecordsetModel::RawValueRole).toLongLong() ==
            id) {
            ordersView_->selectRow(r);
            return;
        }
}

void DemoMainWindow::fitOrderList()
{
    // Every column, Total last, stays in sight however long a dispatch number
    // is: the list's side of the splitter is never narrower than its columns.
    auto *splitter = qobject_cast<QSplitter *>(centralWidget());
    if (!splitter || splitter->count() < 2)
        return;
    QWidget *pane = splitter->widget(0);
    const QMargins margins = pane->layout()->contentsMargins();
    pane->setMinimumWidth(
        ordersView_->horizontalHeader()->length() + 2 * ordersView_->frameWidth() +
        ordersView_->verticalScrollBar()->sizeHint().width() + margins.left() + margins.right());
}

void DemoMainWindow::buildDispatchPage(QWidget *page)
{
    auto *layout = new QVBoxLayout(page);
    dispatchNote_ = new QLabel(page);
    dispatchNote_->setWordWrap(true);
    layout->addWidget(dispatchNote_);
    dispatchView_ = makeGrid(page);
    dispatchModel_ = new orvane::RecordsetModel(this);
    layout->addWidget(dispatchView_);
    auto *buttons = new QHBoxLayout;
    viewDispatch_ = new QPushButton(u"&View dispatch"_s, page);
    scheduleDispatch_ = new QPushButton(u"&E-schedule"_s, page);
    unlinkDispatch_ = new QPushButton(u"&Unlink"_s, page);
    viewDispatch_->setObjectName(u"cmdViewDispatch"_s);
    scheduleDispatch_->setObjectName(u"cmdDispatchSchedule"_s);
    unlinkDispatch_->setObjectName(u"cmdUnlinkDispatch"_s);
    for (QPushButton *b : {viewDispatch_, scheduleDispatch_, unlinkDispatch_}) {
        buttons->addWidget(b);
        b->setEnabled(false);
    }
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(viewDispatch_, &QPushButton::clicked, this, [this] { viewSelectedDispatch(); });
    connect(scheduleDispatch_, &QPushButton::clicked, this, [this] { viewSelectedDispatch(true); });
    connect(unlinkDispatch_, &QPushButton::clicked, this, &DemoMainWindow::unlinkSelectedDispatch);
    // Enter or a double-click on a row opens its report.
    connect(dispatchView_, &QTableView::activated, this, [this] { viewSelectedDispatch(); });
}

void DemoMainWindow::reloadDispatches()
{
    try {
        const QString selected =
            dispatchView_->currentIndex().isValid()
                ? dispatchView_->currentIndex().siblingAtColumn(0).data().toString()
                : QString();
        // Each dispatch with the order it is linked to, as the order list
        // names it, and whether the work is to be done at a mobile location.
        QSqlQuery q = host_->database().exec(
            u"SELECT g.id, g.recid, g.transdate, CASE WHEN COALESCE(g.daskid, 0) = 0 THEN '' "
            u"WHEN i.idnumber IS NULL THEN 'Order ' || CAST(g.daskid AS VARCHAR(12)) || "
            u"' (not found)' ELSE 'Order ' || CAST(g.daskid AS VARCHAR(12)) || ' (' || "
            u"i.type || ')' END AS linkedto, g.daskid, g.daskloc, g.xml FROM g_trans g "
            u"LEFT JOIN invoice i ON i.idnumber = g.daskid AND i.location = g.daskloc "
            u"WHERE g.rectype = ? ORDER BY g.id"_s,
            {u"DISPATCH"_s});
        orvane::Recordset rs = host_->database().toRecordset(q);
        dispatchModel_->setRecordset(rs);
        if (dispatchModel_->columnCount() == 0) {
            dispatchModel_->addColumn(RecordsetColumn::bound(u"recid"_s, u"Dispatch"_s));
            dispatchModel_->addColumn(RecordsetColumn::bound(u"transdate"_s, u"Received"_s));
            dispatchModel_->addColumn(RecordsetColumn::bound(u"linkedto"_s, u"Linked to"_s));
            for (int c = 0; c < dispatchModel_->columnCount(); ++c)
                dispatchModel_->setColumnReadOnly(c, true);
        }
        if (dispatchView_->model() != dispatchModel_) {
            dispatchView_->setModel(dispatchModel_);
            connect(dispatchView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                    &DemoMainWindow::updateDispatchButtons);
        }
        // Whole dispatch numbers: the columns take their contents' width.
        dispatchView_->resizeColumnsToContents();
        dispatchNote_->setText(QString::number(rs.recordCount()) %
                               u" dispatch(es) received. Enter opens the selected one's report."_s);
        for (int r = 0; r < dispatchModel_->rowCount(); ++r)
            if (dispatchModel_->index(r, 0).data().toString() == selected || r == 0)
                dispatchView_->setCurrentIndex(dispatchModel_->index(r, 0));
        updateDispatchButtons();
    } catch (...) {
        reportError(u"The list of received dispatches was not refreshed."_s,
                    u"Try again in a moment; the dispatches themselves are kept."_s);
    }
}

namespace {

// The selected dispatch row's value of `field`.
orvane::Value dispatchValue(orvane::RecordsetModel *model, const QModelIndex &index,
                            const QString &field)
{
    orvane::Recordset rs = model->recordset().clone();
    rs.setBookmark(model->rowBookmark(index.row()));
    return rs.value(field);
}

bool isMobile(const QString &xml)
{
    orvane::XmlDocument doc;
    if (!doc.loadXml(xml))
        return false;
    const orvane::XmlNode node = XMLUtilmod::FindNode(doc.documentElement(), u"MobileIndicator"_s);
    return node && node.text().trimmed().toUpper() == u"Y"_s;
}

} // namespace

void DemoMainWindow::updateDispatchButtons()
{
    const QModelIndex index = dispatchView_->currentIndex();
    const bool any = index.isValid();
    viewDispatch_->setEnabled(any);
    scheduleDispatch_->setEnabled(
        any && isMobile(dispatchValue(dispatchModel_, index, u"xml"_s).toText()));
    unlinkDispatch_->setEnabled(any &&
                                dispatchValue(dispatchModel_, index, u"daskid"_s).toInt64() != 0);
}

void DemoMainWindow::viewSelectedDispatch(bool schedule)
{
    const QModelIndex index = dispatchView_->currentIndex();
    if (!index.isValid())
        return;
    try {
        QString xml = dispatchValue(dispatchModel_, index, u"xml"_s).toText();
        QString reportPath = dispatchTemplate();
        orvane::WindowHandle owner = orvane::handleOf(this);
        clsShowDispatch dispatch;
        if (schedule)
            dispatch.ShowEschedule(owner, xml, reportPath);
        else
            dispatch.ShowDispatch(owner, xml, reportPath);
        // A mobile dispatch's appointment follows its report.
        if (!schedule && isMobile(xml))
            dispatch.ShowEschedule(owner, xml, reportPath);
    } catch (...) {
        reportError(u"The dispatch was not shown."_s,
                    u"The dispatch document may be damaged; ask the insurer to send it "
                    u"again."_s);
    }
}

void DemoMainWindow::unlinkSelectedDispatch()
{
    const QModelIndex index = dispatchView_->currentIndex();
    if (!index.isValid())
        return;
    const orvane::Value daskid = dispatchValue(dispatchModel_, index, u"daskid"_s);
    const orvane::Value daskloc = dispatchValue(dispatchModel_, index, u"daskloc"_s);
    const QString recid = dispatchValue(dispatchModel_, index, u"recid"_s).toText();
    if (daskid.toInt64() == 0)
        return;
    const bool isOpen = order_ && !order_->isNew() &&
                        order_->itemsrecordset().value(u"idnumber"_s).toInt64() == daskid.toInt64();
    // The open order is read again afterwards: its edits are saved or dropped first.
    if (isOpen && !maySwitchAway())
        return;
    // Enter alone must not unlink: No is the default.
    if (orvane::Ui::instance().msgBoxWithDefault(
            u"Unlink dispatch "_s % recid % u" from order "_s % daskid.toText() % u"?"_s,
            orvane::MsgButtons::YesNo, orvane::MsgIcon::Question, u"Unlink Order?"_s,
            orvane::MsgResult::No) != orvane::MsgResult::Yes)
        return;
    try {
        // The dispatch and the order give up the link together or not at all.
        orvane::host::ShopDatabase &db = host_->database();
        orvane::host::TransactionGuard guard(db.db(), u"orvane-demo"_s);
        db.exec(u"UPDATE g_trans SET daskid = 0, daskloc = 0 WHERE id = ?"_s,
                {qlonglong(dispatchValue(dispatchModel_, index, u"id"_s).toInt64())});
        db.exec(u"UPDATE invoice SET dispatch = '' WHERE idnumber = ? AND location = ? AND "
                u"dispatch = ?"_s,
                {qlonglong(daskid.toInt64()), qlonglong(daskloc.toInt64()), recid});
        guard.commit();
        if (isOpen) {
            order_ = host_->openOrder(daskid);
            savedState_ = orderState();
            showOrder();
            tabs_->setCurrentIndex(1);
        }
        reloadOrders();
        reloadDispatches();
        statusBar()->showMessage(u"Dispatch "_s % recid % u" unlinked."_s, 4000);
    } catch (...) {
        reportError(u"The dispatch is still linked to order "_s % daskid.toText() % u"."_s,
                    u"Try Unlink again in a moment."_s);
    }
}

void DemoMainWindow::openOrder(const QVariant &idnumber)
{
    if (!maySwitchAway())
        return;
    try {
        order_ = host_->openOrder(orvane::RecordsetModel::toValue(idnumber));
        savedState_ = orderState();
        showOrder();
        selectOpenOrder();
    } catch (...) {
        if (orvane::currentError().number() == orvane::err::NoCurrentRecord)
            reportError(u"There is no order "_s % idnumber.toString() % u"."_s,
                        u"Pick the order from the list on the left."_s);
        else
            reportError(u"The order was not opened."_s,
                        u"Try again; if it keeps failing, restart the demo."_s);
    }
}

void DemoMainWindow::newOrder()
{
    if (!maySwitchAway())
        return;
    try {
        order_ = host_->newOrder();
        savedState_ = orderState();
        showOrder();
    } catch (...) {
        reportError(u"No new order was started."_s, u"Try New order again."_s);
    }
}

bool DemoMainWindow::hasUnsavedEdits() const
{
    if (!order_)
        return false;
    try {
        const orvane::Recordset row = order_->itemsrecordset();
        for (const auto &[field, edit] : editors_)
            if (!edit->isReadOnly() &&
                edit->text().trimmed() != formText(row.value(field)).trimmed())
                return true;
        // What the library (or Recalculate) wrote into the order counts as much
        // as what was typed.
        return orderState() != savedState_;
    } catch (...) {
        return true; // when in doubt, ask rather than lose the edits
    }
}

QString DemoMainWindow::orderState() const
{
    if (!order_)
        return {};
    QStringList out;
    auto add = [&out](const orvane::Recordset &rows) {
        rows.forEachRow([&out](orvane::RowStatus status, const std::vector<orvane::Value> &values) {
            if (status == orvane::RowStatus::Deleted)
                out << u"deleted"_s;
            for (const orvane::Value &v : values)
                out << (v.isNull() ? QStringLiteral("<null>") : v.toText());
        });
    };
    // The order's row as its cursor reads it, an edit not yet ended included.
    const orvane::Recordset row = order_->itemsrecordset();
    for (int i = 0; i < row.fieldCount(); ++i) {
        const orvane::Value v = row.value(row.fieldDef(i).name);
        out << (v.isNull() ? QStringLiteral("<null>") : v.toText());
    }
    add(order_->getlineitems()->itemsrecordset());
    return out.join(u'\x1f');
}

bool DemoMainWindow::applyForm()
{
    if (!order_)
        return false;
    QString problem;
    try {
        orvane::Recordset row = order_->itemsrecordset();
        for (const auto &[field, edit] : editors_) {
            if (edit->isReadOnly())
                continue;
            const QString text = edit->text().trimmed();
            const orvane::Value current = row.value(field);
            if (formText(current).trimmed() == text)
                continue;
            try {
                row.setValue(field, text.isEmpty() && row.fieldDef(row.fieldIndex(field)).type !=
                                                          orvane::ftype::Text
                                        ? orvane::Value::null()
                                        : orvane::Value(text));
            } catch (const orvane::VbError &e) {
                problem = fieldProblem(row, field, e);
                edit->setFocus();
                throw;
            }
        }
        return true;
    } catch (...) {
        reportError(problem.isEmpty() ? u"The order's fields were not taken over."_s : problem,
                    u"Correct the field and try again."_s);
        return false;
    }
}

void DemoMainWindow::storeOrder()
{
    order_->save();
    savedState_ = orderState();
    reloadOrders(); // the list shows what is stored
}

bool DemoMainWindow::maySwitchAway()
{
    if (!hasUnsavedEdits())
        return true;
    const orvane::MsgResult answer = orvane::Ui::instance().msgBox(
        orderTitle_->text() % u" has changes that are not saved. Save them?"_s,
        orvane::MsgButtons::YesNoCancel, orvane::MsgIcon::Question, u"Save changes?"_s);
    if (answer == orvane::MsgResult::Yes)
        return saveOrder();
    return answer == orvane::MsgResult::No;
}

void DemoMainWindow::closeEvent(QCloseEvent *event)
{
    if (maySwitchAway())
        event->accept();
    else
        event->ignore();
}

void DemoMainWindow::showOrder()
{
    QWidget *page = tabs_->widget(0);
    page->setEnabled(order_ != nullptr);
    for (const QString &name :
         {u"actionChooseDispatch"_s, u"actionPartAuthorization"_s, u"actionShowAuthorization"_s})
        if (auto *action = findChild<QAction *>(name))
            action->setEnabled(order_ != nullptr);
    tabs_->setCurrentIndex(0);
    if (!order_)
        return;
    const orvane::Recordset row = order_->itemsrecordset();
    const QString type = row.value(u"type"_s).toText();
    orderTitle_->setText(order_->isNew()
                             ? QString(u"New "_s % type)
                             : QString(type % u" "_s % row.value(u"idnumber"_s).toText()));
    for (const auto &[field, edit] : editors_)
        edit->setText(formText(row.value(field)));

    auto *model = new orvane::RecordsetModel(order_->getlineitems()->itemsrecordset(), this);
    model->addColumn(RecordsetColumn::bound(u"typeofpart"_s, u"Kind"_s));
    model->addColumn(RecordsetColumn::bound(u"part"_s, u"Part"_s));
    model->addColumn(RecordsetColumn::bound(u"description"_s, u"Description"_s));
    model->addColumn(RecordsetColumn::bound(u"quantity"_s, u"Qty"_s));
    model->addColumn(RecordsetColumn::bound(u"price"_s, u"Price"_s, ColumnFormat::Currency));
    model->addColumn(RecordsetColumn::bound(u"total"_s, u"Total"_s, ColumnFormat::Currency));
    model->addColumn(RecordsetColumn::bound(u"conf"_s, u"Confirmation"_s));
    linesView_->setModel(model);
    delete linesModel_;
    linesModel_ = model;
    linesView_->resizeColumnsToContents();
    // The description takes the spare width; the money columns stay narrow.
    linesView_->horizontalHeader()->setStretchLastSection(false);
    linesView_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);

    const QLocale locale;
    auto money = [&](const QString &field) {
        return locale.toCurrencyString(row.value(field).toDouble());
    };
    totals_->setText(u"Subtotal "_s % money(u"subtotal"_s) % u"   Discount "_s %
                     money(u"discount"_s) % u"   Tax "_s % money(u"tax"_s) % u"   <b>Total "_s %
                     money(u"total"_s) % u"</b>"_s);
}

bool DemoMainWindow::saveOrder()
{
    if (!order_)
        return false;
    if (!applyForm())
        return false;
    try {
        order_->calculateinvoice(false, true);
        storeOrder();
        showOrder();
        statusBar()->showMessage(u"Order saved."_s, 4000);
        return true;
    } catch (...) {
        reportError(u"The order was not saved; its changes are still on the screen."_s,
                    u"Try Save again in a moment."_s);
        return false;
    }
}

void DemoMainWindow::refreshCounters()
{
    std::shared_ptr<orvane::ext::IEnvironment> env = host_->env();
    try {
        Authorizationcls().RecalcAuths(env);
        // The loss notice answers are counted by the wait view only while it
        // is open; answers that arrive after a Cancel are counted here.
        orvane::Recordset open;
        const auto options = env->Options();
        if (options->dcobject()->Execute(u"wqkd"_s, eNOLwaitfrm::openMessagesQuery(), open,
                                         {orvane::Value(2)}))
            options->writeinistring(u"Orvane"_s, u"ENOL"_s, QString::number(open.recordCount()),
                                    env->data_path() % OrvaneIni);
    } catch (...) {
        // the counters keep their last values
    }
    counters_->setText(counterText());
    reloadDispatches();
}

QString DemoMainWindow::counterText() const
{
    const auto options = host_->env()->Options();
    const QString ini = host_->env()->data_path() + OrvaneIni;
    auto read = [&](const QString &key) {
        const QString value = options->readinistring(u"Orvane"_s, key, ini);
        return value.isEmpty() ? u"0"_s : value;
    };
    // The send flag only says "look again"; what waits to be sent are the
    // outgoing rows the transport has not processed yet.
    QString queued = u"0"_s;
    try {
        QSqlQuery q = host_->database().exec(
            u"SELECT COUNT(*) FROM g_trans WHERE rectype <> ? AND processed = ?"_s,
            {u"DISPATCH"_s, orvane::host::ShopDatabase::toSql(orvane::Value(false),
                                                              orvane::host::ColumnKind::Bool)});
        if (q.next())
            queued = QString::number(q.value(0).toLongLong());
        q.finish();
    } catch (...) {
        queued = read(u"SendTrans"_s);
    }
    return u"Queued to send: "_s % queued % u"   Unread authorizations: "_s %
           read(u"Acknowledgements"_s) % u"   Loss notice answers: "_s % read(u"ENOL"_s);
}

void DemoMainWindow::showSettings()
{
    SettingsDialog dialog(host_->env(), this);
    orvane::Ui::instance().showModal(&dialog);
}

namespace {

// The ID lists as the network delivers them to the demo shop: its participant
// ID, the network, and the insurers the network knows for both.
void seedIdLists(orvane::transport::StagingDatabase &db)
{
    struct List {
        const char16_t *table;
        QStringList fields;
        QList<QVariantList> rows;
    };
    const QString shop = u"RPID00417"_s, network = u"ORVNET1"_s;
    const List lists[] = {
        {u"g_pidlist", {u"PID"_s, u"PIDname"_s}, {{shop, u"Harbor Auto Glass"_s}}},
        {u"g_oidlist",
         {u"Origid"_s, u"Company"_s, u"Address"_s, u"City"_s, u"State"_s, u"Zip"_s},
         {{network, u"Orvane Claims Network"_s, u"1 Exchange Plaza"_s, u"Portland"_s, u"OR"_s,
           u"97204"_s}}},
        {u"g_inscoid",
         {u"destpid"_s, u"origpid"_s, u"INScoid"_s, u"Company"_s, u"Address"_s, u"City"_s,
          u"State"_s, u"Zip"_s, u"PhoneArea"_s, u"Phone"_s},
         {{shop, network, u"CMI01"_s, u"Cascade Mutual Insurance"_s, u"PO Box 4410"_s, u"Salem"_s,
           u"OR"_s, u"97301"_s, u"503"_s, u"5550101"_s},
          {shop, network, u"NSC07"_s, u"Northstar Casualty"_s, u"1200 Grand Ave"_s, u"Seattle"_s,
           u"WA"_s, u"98101"_s, u"206"_s, u"5550177"_s},
          {shop, network, u"PVA12"_s, u"Pioneer Valley Assurance"_s, u"77 River Road"_s,
           u"Eugene"_s, u"OR"_s, u"97401"_s, u"541"_s, u"5550150"_s}}},
        {u"g_insid",
         {u"billtoid"_s, u"Origpid"_s, u"destpid"_s, u"Insurerid"_s, u"Insurer"_s},
         {{1, network, shop, u"CMI01"_s, u"Cascade Mutual Insurance"_s},
          {2, network, shop, u"NSC07"_s, u"Northstar Casualty"_s}}},
    };
    for (const List &list : lists) {
        const orvane::sql::TableDef *table =
            orvane::transport::stagingTable(QString::fromUtf16(list.table));
        orvane::Recordset rows = db.load(*table, QString());
        if (rows.recordCount() > 0)
            continue; // the network's lists, or the shop's own edits of them
        for (const QVariantList &values : list.rows) {
            rows.addNew();
            for (int i = 0; i < list.fields.size(); ++i)
                rows.setValue(list.fields[i], orvane::RecordsetModel::toValue(values[i]));
            rows.update();
        }
        db.save(*table, rows);
    }
}

} // namespace

void DemoMainWindow::prepareShop()
{
    try {
        orvane::transport::registerTransportClasses();
        const auto env = host_->env();
        // Creates the staging tables of a new shop, so it lists, counts and
        // links from its first start.
        staging_ =
            orvane::transport::StagingDatabase::open(env->GetConnectString(env->data_path(), 0));
        seedIdLists(*staging_);
    } catch (...) {
        reportError(u"The shop's network tables were not set up; the Orvane menu will not "
                    u"work."_s,
                    u"Check that the shop's data folder can be written to and start the demo "
                    u"again."_s);
    }
}

void DemoMainWindow::reportError(const QString &shopWords, const QString &nextStep)
{
    const orvane::VbError e = orvane::currentError();
    const auto &errors = host_->env()->hostErrorClass();
    errors->log(e.source().isEmpty() ? u"orvane-demo.DemoMainWindow"_s : e.source(),
                e.description(), e.number(), 0);
    // What did not happen and what to do about it; the technical detail is in
    // the log for whoever supports the shop.
    QString text = shopWords;
    if (!nextStep.isEmpty())
        text += u"\n\n"_s % nextStep;
    orvane::Ui::instance().msgBox(text, orvane::MsgButtons::OK, orvane::MsgIcon::Exclamation,
                                  host_->env()->config().hostName);
}
