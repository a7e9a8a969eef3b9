#include "DemoMainWindow.h"

#include "HostEnvironment.h"
#include "HostErrorClass.h"
#include "HostInvoice.h"
#include "HostOrderList.h"
#include "RecordsetDelegate.h"
#include "RecordsetModel.h"
#include "ReferenceHost.h"
#include "SettingsDialog.h"
#include "ShopDatabase.h"
#include "TableObjects.h"
#include "Ui.h"
#include "VbError.h"
#include "authorization/Authorizationcls.h"
#include "dispatch/clsShowDispatch.h"
#include "external/IErrorClass.h"
#include "external/IInscoIdList.h"
#include "external/IInvoice.h"
#include "external/ILineItems.h"
#include "external/IOidList.h"
#include "external/IOptions.h"
#include "external/IPidList.h"
#include "external/IRsTable.h"
#include "external/Ig_ackn.h"
#include "external/ProgIds.h"
#include "loss/eNOLcls.h"

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
#include <QScrollBar>
#include <QSplitter>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using orvane::ColumnFormat;
using orvane::RecordsetColumn;

namespace {

// The order fields the form edits, in form order, with their captions.
struct FormField {
    const char16_t *field;
    const char16_t *caption;
};

constexpr FormField kInsured[] = {
    {u"s_first", u"First name"}, {u"s_last", u"Last name"}, {u"s_address", u"Address"},
    {u"s_city", u"City"},        {u"s_state", u"State"},    {u"s_zip", u"Postal code"},
    {u"s_area1", u"Area code"},  {u"s_phone1", u"Phone"},
};
constexpr FormField kClaim[] = {
    {u"policy", u"Policy"}, {u"claim", u"Claim"}, {u"deductible", u"Deductible"},
    {u"year", u"Year"},     {u"make", u"Make"},   {u"model", u"Model"},
    {u"body", u"Body"},     {u"vin", u"VIN"},     {u"dispatch", u"Dispatch"},
};

const QString OrvaneIni = u"Orvane.ini"_s;

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

// An input dialog wide enough for its whole title: the static QInputDialog
// helpers size it by the label, and the window manager cuts the title short.
QString ask(QWidget *parent, const QString &title, const QString &label, const QStringList &items,
            bool *ok)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    if (!items.isEmpty()) {
        dialog.setComboBoxItems(items);
        dialog.setComboBoxEditable(false);
    }
    // The title, with room for the window's icon and buttons beside it. The
    // dialog's layout sets its own minimum, so the label carries the width.
    if (auto *text = dialog.findChild<QLabel *>())
        text->setMinimumWidth(dialog.fontMetrics().horizontalAdvance(title) + 160);
    *ok = dialog.exec() == QDialog::Accepted;
    return *ok ? dialog.textValue() : QString();
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
    auto *dispatchLayout = new QVBoxLayout(dispatchPage);
    dispatchNote_ = new QLabel(dispatchPage);
    dispatchNote_->setWordWrap(true);
    dispatchLayout->addWidget(dispatchNote_);
    dispatchView_ = makeGrid(dispatchPage);
    dispatchModel_ = new orvane::RecordsetModel(this);
    dispatchLayout->addWidget(dispatchView_);
    tabs_->addTab(dispatchPage, u"Received dispatches"_s);

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

    buildMenus();
    reloadOrders();
    reloadDispatches();
    refreshCounters();

    connect(ordersView_, &QTableView::activated, this, [this](const QModelIndex &index) {
        const orvane::Value bookmark = ordersModel_->rowBookmark(index.row());
        orvane::Recordset rs = ordersModel_->recordset().clone();
        rs.setBookmark(bookmark);
        openOrder(orvane::RecordsetModel::toVariant(rs.value(u"idnumber"_s)));
    });
}

DemoMainWindow::~DemoMainWindow() = default;

void DemoMainWindow::buildMenus()
{
    QMenu *file = menuBar()->addMenu(u"&File"_s);
    QAction *newAction = file->addAction(u"&New order"_s, this, &DemoMainWindow::newOrder);
    newAction->setShortcut(QKeySequence::New);
    QAction *open = file->addAction(u"&Open order..."_s, this, [this] {
        bool ok = false;
        const int id = QInputDialog::getInt(this, u"Open order"_s, u"Order number:"_s, 1, 1,
                                            std::numeric_limits<int>::max(), 1, &ok);
        if (ok)
            openOrder(id);
    });
    open->setShortcut(QKeySequence::Open);
    QAction *save = file->addAction(u"&Save"_s, this, [this] { saveOrder(); });
    save->setShortcut(QKeySequence::Save);
    file->addSeparator();
    file->addAction(u"Se&ttings..."_s, this, &DemoMainWindow::showSettings);
    file->addSeparator();
    QAction *quit = file->addAction(u"&Quit"_s, this, &QWidget::close);
    quit->setShortcut(QKeySequence::Quit);

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
            const auto options = host_->env()->Options();
            QString folder =
                options->readinistring(u"Defaults"_s, u"ReportPath"_s, options->dask_ini());
            // The host's report folder, or the template shipped with the library.
            if (folder.trimmed().isEmpty())
                folder = QStringLiteral(ORVANE_SAMPLES_DIR "/reports/");
            QString reportPath = folder + u"g_dispatch.rpt"_s;
            orvane::WindowHandle owner = orvane::handleOf(this);
            clsShowDispatch dispatch;
            show(dispatch, owner, xml, reportPath);
        } catch (...) {
            reportError(u"The dispatch file could not be shown."_s);
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
            // The dispatch tables are the transport's; without the network
            // simulator nobody has registered it yet.
            if (!orvane::ObjectRegistry::instance().isRegistered(
                    QString::fromUtf16(orvane::ext::progid::g_trans)))
                orvane::transport::registerTransportClasses();
            // A link records the order's number, which a new order gets when stored.
            if (order_->isNew())
                order_->save();
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
            order_->save();
            showOrder();
            reloadOrders();
            reloadDispatches();
        } catch (...) {
            reportError(u"The dispatch could not be attached to the order."_s);
        }
    });
    choose->setObjectName(u"actionChooseDispatch"_s);
    choose->setEnabled(false);
    orvaneMenu->addSeparator();
    addAuthorizationActions(orvaneMenu);

    // The notice of loss: the order's check, the loss notice over it, the ID lists.
    QMenu *loss = orvaneMenu->addMenu(u"Notice of &Loss"_s);
    auto lossCall = [this](bool needsOrder, auto call) {
        if (needsOrder && !order_)
            return;
        try {
            if (!orvane::ObjectRegistry::instance().isRegistered(
                    QString::fromUtf16(orvane::ext::progid::g_pidList)))
                orvane::transport::registerTransportClasses();
            eNOLcls enol;
            call(enol, orvane::handleOf(this));
        } catch (...) {
            reportError(u"The notice of loss could not be run."_s);
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
            // The view edited the order in memory; the host stores it.
            showOrder();
        });
    });
    // The follow-through of the order's last notice, at the step the user picks.
    QAction *answers = loss->addAction(u"Loss Notice &Answers..."_s, this, [this, lossCall] {
        bool ok = false;
        const QString type = ask(this, u"Loss Notice Answers"_s, u"Show:"_s,
                                 {u"ENOL"_s, u"COVER"_s, u"LOSSACK"_s, u"DISPATCH"_s}, &ok);
        if (!ok)
            return;
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
            showOrder();
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
        bool ok = false;
        const QString pid = ask(this, u"Insurance Company IDs"_s, u"Retail PID:"_s, {}, &ok);
        if (!ok)
            return;
        const QString oid = ask(this, u"Insurance Company IDs"_s, u"Network PID:"_s, {}, &ok);
        if (!ok)
            return;
        lossCall(false, [&](eNOLcls &enol, orvane::WindowHandle owner) {
            const auto list = enol.INSCOIDList(host_->env(), pid, oid, owner);
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
        if (!orvane::ObjectRegistry::instance().isRegistered(
                QString::fromUtf16(orvane::ext::progid::g_ackn)))
            orvane::transport::registerTransportClasses();
        // Answer rows and the queued request carry the order's number.
        if (order_->isNew())
            order_->save();
        return std::shared_ptr<orvane::ext::IInvoice>(order_);
    };
    QAction *request = menu->addAction(u"&Part Authorization..."_s, this, [this, prepared] {
        if (!order_)
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
                if (q.next())
                    dispatch.loadXml(q.value(0).toString());
            }
            Authorizationcls().PartAuthorization(invoice, dispatch, orvane::handleOf(this));
            // The library changed the order in memory only; the host stores it.
            order_->save();
            showOrder();
            reloadOrders();
            refreshCounters();
        } catch (...) {
            reportError(u"The part authorization could not be run."_s);
        }
    });
    request->setObjectName(u"actionPartAuthorization"_s);
    QAction *answer = menu->addAction(u"Show Authorization &Answer..."_s, this, [this, prepared] {
        if (!order_)
            return;
        try {
            std::shared_ptr<orvane::ext::IInvoice> invoice = prepared();
            QSqlQuery q = host_->database().exec(
                u"SELECT sessionid FROM g_ackn WHERE daskid = ? ORDER BY id DESC"_s,
                {qlonglong(order_->itemsrecordset().value(u"idnumber"_s).toInt64())});
            if (!q.next()) {
                statusBar()->showMessage(u"No authorization answer for this order."_s, 4000);
                return;
            }
            auto ackn = orvane::CreateObject<orvane::ext::Ig_ackn>(
                QString::fromUtf16(orvane::ext::progid::g_ackn));
            ackn->setEnv(host_->env());
            ackn->Get_g_ACKN(u"g_ackn.sessionid = '"_s % q.value(0).toString() % u"'"_s);
            Authorizationcls().ShowAuth(invoice, ackn, orvane::handleOf(this));
            // Seen now: the answer no longer counts as unread.
            orvane::Recordset rows = ackn->itemsrecordset();
            for (rows.recordCount() > 0 ? rows.moveFirst() : void(); !rows.eof(); rows.moveNext())
                rows.setValue(u"Ack"_s, true);
            ackn->Update();
            order_->save();
            showOrder();
            refreshCounters();
        } catch (...) {
            reportError(u"The authorization answer could not be shown."_s);
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
    auto addGroup = [&](const QString &caption, const auto &fields) {
        auto *box = new QGroupBox(caption, page);
        auto *form = new QFormLayout(box);
        for (const FormField &f : fields) {
            auto *edit = new QLineEdit(box);
            edit->setObjectName(u"txt_"_s + QString::fromUtf16(f.field));
            form->addRow(QString::fromUtf16(f.caption), edit);
            editors_.emplace_back(QString::fromUtf16(f.field), edit);
        }
        groups->addWidget(box);
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
        auto *model = new orvane::RecordsetModel(list.itemsrecordset(), this);
        model->addColumn(RecordsetColumn::bound(u"idnumber"_s, u"Order"_s));
        model->addColumn(RecordsetColumn::bound(u"type"_s, u"Type"_s));
        model->addColumn(RecordsetColumn::bound(u"s_last"_s, u"Insured"_s));
        model->addColumn(RecordsetColumn::bound(u"make"_s, u"Make"_s));
        model->addColumn(RecordsetColumn::bound(u"model"_s, u"Model"_s));
        model->addColumn(RecordsetColumn::bound(u"dispatch"_s, u"Dispatch"_s));
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
        fitOrderList();
    } catch (...) {
        reportError(u"The list of orders could not be read."_s);
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

void DemoMainWindow::reloadDispatches()
{
    // The staging tables belong to the transport component; until it has
    // created them there is nothing to list.
    if (!hasStagingTables()) {
        dispatchNote_->setText(u"No dispatches yet: the network staging tables have not been "
                               u"created in this shop database."_s);
        dispatchView_->setModel(nullptr);
        return;
    }
    try {
        // Each dispatch with the order it is linked to, as the order list names it.
        QSqlQuery q = host_->database().exec(
            u"SELECT g.recid, g.transdate, CASE WHEN COALESCE(g.daskid, 0) = 0 THEN '' "
            u"WHEN i.idnumber IS NULL THEN 'Order ' || CAST(g.daskid AS VARCHAR(12)) || "
            u"' (not found)' ELSE 'Order ' || CAST(g.daskid AS VARCHAR(12)) || ' (' || "
            u"i.type || ')' END AS linkedto FROM g_trans g LEFT JOIN invoice i ON "
            u"i.idnumber = g.daskid AND i.location = g.daskloc WHERE g.rectype = ? "
            u"ORDER BY g.id"_s,
            {u"DISPATCH"_s});
        const orvane::Recordset rs = host_->database().toRecordset(q);
        dispatchModel_->setRecordset(rs);
        if (dispatchModel_->columnCount() == 0) {
            dispatchModel_->addColumn(RecordsetColumn::bound(u"recid"_s, u"Dispatch"_s));
            dispatchModel_->addColumn(RecordsetColumn::bound(u"transdate"_s, u"Received"_s));
            dispatchModel_->addColumn(RecordsetColumn::bound(u"linkedto"_s, u"Linked to"_s));
            for (int c = 0; c < dispatchModel_->columnCount(); ++c)
                dispatchModel_->setColumnReadOnly(c, true);
        }
        dispatchView_->setModel(dispatchModel_);
        // Whole dispatch numbers: the columns take their contents' width.
        dispatchView_->resizeColumnsToContents();
        dispatchNote_->setText(QString::number(rs.recordCount()) % u" dispatch(es) received."_s);
    } catch (...) {
        reportError(u"The received dispatches could not be read."_s);
    }
}

void DemoMainWindow::openOrder(const QVariant &idnumber)
{
    if (!maySwitchAway())
        return;
    try {
        order_ = host_->openOrder(orvane::RecordsetModel::toValue(idnumber));
        showOrder();
    } catch (...) {
        reportError(orvane::currentError().number() == orvane::err::NoCurrentRecord
                        ? u"There is no order "_s % idnumber.toString()
                        : u"The order could not be opened."_s);
    }
}

void DemoMainWindow::newOrder()
{
    if (!maySwitchAway())
        return;
    try {
        order_ = host_->newOrder();
        showOrder();
    } catch (...) {
        reportError(u"A new order could not be started."_s);
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
    } catch (...) {
        return true; // when in doubt, ask rather than lose the edits
    }
    return false;
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
    QString problem;
    try {
        orvane::Recordset row = order_->itemsrecordset();
        for (const auto &[field, edit] : editors_) {
            if (edit->isReadOnly())
                continue;
            const QString text = edit->text().trimmed();
            const orvane::Value current = row.value(field);
            if (!current.isNull() && current.toText() == text)
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
        order_->calculateinvoice(false, true);
        order_->save();
        showOrder();
        reloadOrders();
        statusBar()->showMessage(u"Order saved."_s, 4000);
        return true;
    } catch (...) {
        reportError(problem.isEmpty() ? u"The order could not be saved."_s : problem);
        return false;
    }
}

void DemoMainWindow::refreshCounters()
{
    if (hasStagingTables()) {
        try {
            std::shared_ptr<orvane::ext::IEnvironment> env = host_->env();
            Authorizationcls().RecalcAuths(env);
        } catch (...) {
            // the counter keeps its last value
        }
    }
    counters_->setText(counterText());
    if (hasStagingTables())
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
    return u"Queued to send: "_s % read(u"SendTrans"_s) % u"   Unread authorizations: "_s %
           read(u"Acknowledgements"_s) % u"   Loss notice answers: "_s % read(u"ENOL"_s);
}

void DemoMainWindow::showSettings()
{
    SettingsDialog dialog(host_->env(), this);
    orvane::Ui::instance().showModal(&dialog);
}

bool DemoMainWindow::hasStagingTables() const
{
    return host_->database().db().tables().contains(u"g_trans"_s, Qt::CaseInsensitive);
}

void DemoMainWindow::reportError(const QString &shopWords)
{
    const orvane::VbError e = orvane::currentError();
    const auto &errors = host_->env()->hostErrorClass();
    errors->log(e.source().isEmpty() ? u"orvane-demo.DemoMainWindow"_s : e.source(),
                e.description(), e.number(), 0);
    orvane::Ui::instance().msgBox(shopWords % u"\n\nThe details are in the error log ("_s %
                                      QDir::toNativeSeparators(errors->logFile()) % u")."_s,
                                  orvane::MsgButtons::OK, orvane::MsgIcon::Exclamation,
                                  host_->env()->config().hostName);
}
