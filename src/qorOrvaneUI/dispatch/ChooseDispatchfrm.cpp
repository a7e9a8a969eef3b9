#include "qorOrvaneUI/dispatch/ChooseDispatchfrm.h"

#include "runtime/vb.h"
#include "runtime/widgets/RecordsetModel.h"
#include <qorOrvaneUI/external/IInvoice.h>

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

namespace orvane::dispatch {

using namespace Qt::StringLiterals;
using orvane::Proc;
using orvane::Recordset;
namespace ext = orvane::ext;

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
    link_.setInvoice(invoice);
    setErrorInvoice(std::move(invoice));
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
        if (const auto &order = link_.invoice())
            txtDispatchNum->setText(order->itemsrecordset().value(u"dispatch"_s).toText());
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
    link_.release();
    setErrorInvoice(nullptr);
}

void ChooseDispatchfrm::cmdFind_Click()
{
    const QString typed = vb::Trim(txtDispatchNum->text());
    link_.find(typed, [this, &typed](const Recordset &rows) {
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
    });
}

void ChooseDispatchfrm::cmdView_Click()
{
    link_.setOwner(orvane::handleOf(this));
    link_.view();
}

void ChooseDispatchfrm::cmdAttach_Click()
{
    link_.setOwner(orvane::handleOf(this));
    if (link_.attach())
        hide();
}

bool ChooseDispatchfrm::CompareOrders(const std::shared_ptr<ext::IInvoice> &invoice,
                                      const std::shared_ptr<ext::IInvoice> &dispatchOrder)
{
    link_.setOwner(orvane::handleOf(this));
    return link_.comparison().CompareOrders(invoice, dispatchOrder);
}

} // namespace orvane::dispatch
