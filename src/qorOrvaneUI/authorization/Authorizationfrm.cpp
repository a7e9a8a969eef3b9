#include "qorOrvaneUI/authorization/Authorizationfrm.h"

#include "qorOrvaneUI/authorization/AuthorizationText.h"
#include "qorOrvaneUI/core/Orvanemod.h"
#include "qorOrvaneUI/core/StagingWrites.h"
#include "qorOrvaneUI/core/TransactionQueue.h"
#include "qorOrvaneUI/core/XMLUtilmod.h"
#include "qorOrvaneUI/core/modOrvane.h"
#include "runtime/vb.h"
#include "runtime/widgets/RecordsetDelegate.h"
#include <qorOrvaneUI/dispatch/clsShowDispatch.h>
#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/external/ILineItems.h>
#include <qorOrvaneUI/external/Ig_ackn.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/widgets/Ui.h>

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <vector>

namespace orvane::authorization {

using dispatch::clsShowDispatch;

using namespace Qt::StringLiterals;
using orvane::ColumnFormat;
using orvane::Recordset;
using orvane::RecordsetColumn;
using orvane::Value;

Authorizationfrm::Authorizationfrm(QWidget *parent)
    : LibraryView(u"Authorizationfrm"_s, tr("Part Authorization"), parent)
{
    setSizeGripEnabled(true);
    auto *layout = new QVBoxLayout(this);

    grdAuthorize = new QTableView(this);
    grdAuthorize->setObjectName(u"grdAuthorize"_s);
    // Tab leaves the grid (arrows walk the cells; an open editor still
    // moves on to the next cell with Tab).
    grdAuthorize->setTabKeyNavigation(false);
    grdAuthorize->setSelectionBehavior(QAbstractItemView::SelectItems);
    grdAuthorize->setSelectionMode(QAbstractItemView::SingleSelection);
    grdAuthorize->setAlternatingRowColors(true);
    grdAuthorize->setWordWrap(false);
    grdAuthorize->verticalHeader()->hide();
    grdAuthorize->setItemDelegate(new orvane::RecordsetDelegate(grdAuthorize));
    // Arrows walk the cells; typing, F2 or a double click edits one.
    grdAuthorize->setEditTriggers(
        QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
        QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    layout->addWidget(grdAuthorize, 1);

    model_ = new orvane::RecordsetModel(this);
    auto check = [](const QString &field, const QString &caption) {
        RecordsetColumn c = RecordsetColumn::bound(field, caption, ColumnFormat::CheckBox);
        c.alignment = Qt::AlignCenter;
        return c;
    };
    model_->addColumn(check(u"Authorize"_s, QString()));
    model_->addColumn(RecordsetColumn::bound(u"TypeDesc"_s, tr("Auth Description")));
    model_->addColumn(RecordsetColumn::bound(u"Part"_s, tr("Part")));
    model_->addColumn(RecordsetColumn::bound(u"RelatedPart"_s, tr("Related Part")));
    RecordsetColumn qty = RecordsetColumn::bound(u"Qty"_s, tr("Qty"));
    qty.alignment = Qt::AlignRight | Qt::AlignVCenter;
    model_->addColumn(qty);
    RecordsetColumn price = RecordsetColumn::bound(u"Price"_s, tr("Price"), ColumnFormat::Currency);
    price.alignment = Qt::AlignRight | Qt::AlignVCenter;
    model_->addColumn(price);
    model_->addColumn(RecordsetColumn::bound(u"ReasonCodeName"_s, tr("Reason")));
    model_->addColumn(check(u"ManualRequest"_s, tr("Manual")));
    model_->addColumn(RecordsetColumn::bound(u"RequestDescription"_s, tr("Request Desc")));
    model_->addColumn(RecordsetColumn::bound(u"RequestExplanation"_s, tr("Request Explanation")));
    model_->addColumn(check(u"Fax"_s, tr("Fax POP")));
    // The reasons offered in a cell are always its own line's: the editor can
    // open on a row before the row change has set the column's list.
    model_->setValueListProvider(colReason, [this](int, const Value &bookmark) {
        Recordset line = request_.lines().clone();
        line.setFilter(QString());
        line.setBookmark(bookmark);
        return orvane::authorization::AuthorizationRequest::reasonsFor(
            vb::Trim(authorization::textOf(line, u"Type"_s)));
    });
    grdAuthorize->setModel(model_);
    QHeaderView *header = grdAuthorize->horizontalHeader();
    header->setStretchLastSection(false);
    const int widths[] = {28, 200, 110, 110, 44, 84, 170, 56, 140, 160, 60};
    for (int c = 0; c < int(std::size(widths)); ++c)
        header->resizeSection(c, widths[c]);

    connect(model_, &orvane::RecordsetModel::afterColumnUpdate, this,
            &Authorizationfrm::grdAuthorize_AfterColUpdate);
    connect(grdAuthorize->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current, const QModelIndex &previous) {
                if (current.isValid() && current.row() != previous.row())
                    grdAuthorize_RowColChange(current.row());
            });

    auto *bottom = new QHBoxLayout;
    chkShow = new QCheckBox(tr("&Show All Parts"), this);
    chkShow->setObjectName(u"chkShow"_s);
    bottom->addWidget(chkShow);
    bottom->addStretch(1);
    cmdBuild = new QPushButton(tr("Send &Authorization"), this);
    cmdBuild->setObjectName(u"cmdBuild"_s);
    cmdCancel = new QPushButton(tr("&Cancel"), this);
    cmdCancel->setObjectName(u"cmdCancel"_s);
    for (QPushButton *b : {cmdBuild, cmdCancel}) {
        b->setMinimumWidth(120);
        b->setAutoDefault(false);
        bottom->addWidget(b);
    }
    // Enter sends (the request is checked first); a cell editor takes its own Enter.
    cmdBuild->setDefault(true);
    layout->addLayout(bottom);
    connect(chkShow, &QCheckBox::clicked, this, &Authorizationfrm::chkShow_Click);
    connect(cmdBuild, &QPushButton::clicked, this, &Authorizationfrm::cmdBuild_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &Authorizationfrm::cmdCancel_Click);
    setTabOrder(grdAuthorize, chkShow);
    setTabOrder(chkShow, cmdBuild);
    setTabOrder(cmdBuild, cmdCancel);

    // A fixed floor rather than one that follows the contents, so the window
    // never changes its size limits while it is shown.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    setMinimumSize(640, 260);
    resize(1200, 420);
    setWindowIcon(orvane::ui::libraryIcon(111));
    registerView({{grdAuthorize, u"Authorizationfrm.grdAuthorize"_s}});
}

Authorizationfrm::~Authorizationfrm()
{
    Form_Unload();
}

void Authorizationfrm::setInvoice(std::shared_ptr<orvane::ext::IInvoice> invoice)
{
    setErrorInvoice(invoice);
    request_.setInvoice(std::move(invoice));
}

void Authorizationfrm::Form_Unload()
{
    if (!unloadView())
        return;
    model_->setRecordset(Recordset());
    request_.release();
}

void Authorizationfrm::showEvent(QShowEvent *event)
{
    LibraryView::showEvent(event);
    Form_Activate();
}

void Authorizationfrm::reject()
{
    cmdCancel_Click();
}

void Authorizationfrm::Form_Activate()
{
    if (filled_)
        return;
    if (!request_.load())
        return; // tried again on the next activation
    filled_ = true;
    orvane::Proc p = proc(u"Form_Activate"_s);
    try {
        p.at(30);
        model_->setDropDownList(colTypeDesc, request_.typeNames());
        showLists();
        Recordset &lines = request_.lines();
        model_->setRecordset(lines);
        if (lines.recordCount() > 0) {
            lines.moveFirst();
            grdAuthorize->setCurrentIndex(model_->index(0, colAuthorize));
        }
    } catch (...) {
        reportTrapped(p);
    }
}

void Authorizationfrm::showLists()
{
    model_->setValueList(colRelatedPart, request_.relatedParts());
    model_->setValueList(colReason, request_.reasons());
}

void Authorizationfrm::CreateRS()
{
    request_.CreateRS();
}

void Authorizationfrm::SetColumns()
{
    request_.SetColumns();
    model_->setDropDownList(colTypeDesc, request_.typeNames());
}

void Authorizationfrm::AddValueItem(int column, const QString &value, const QString &display)
{
    QList<orvane::ValueListEntry> list = model_->column(column).valueList;
    list.append({value, display});
    model_->setValueList(column, list);
}

void Authorizationfrm::PopulateRS()
{
    request_.PopulateRS();
    showLists();
}

void Authorizationfrm::SetReason()
{
    request_.SetReason();
    model_->setValueList(colReason, request_.reasons());
}

void Authorizationfrm::chkShow_Click()
{
    try {
        request_.showAll(chkShow->isChecked());
        model_->refresh();
    } catch (...) {
        orvane::Proc p = proc(u"chkShow_Click"_s);
        reportTrapped(p);
    }
}

void Authorizationfrm::grdAuthorize_RowColChange(int row)
{
    try {
        if (!model_->setCurrentRow(row))
            return;
        const int typeColumn = model_->findColumn(u"TypeDesc"_s);
        const QString typeName = model_->index(row, typeColumn).data(Qt::EditRole).toString();
        request_.findType(u"Name = "_s % authorization::quoted(typeName));
        SetReason();
        model_->refreshRow(row);
    } catch (...) {
        // moving between rows never stops the user
    }
}

void Authorizationfrm::grdAuthorize_AfterColUpdate(int row, int column)
{
    // Failures in these edits leave the cell as the user typed it.
    try {
        model_->setCurrentRow(row);
        const QString field = vb::UCase(vb::Trim(model_->column(column).field));
        if (field == u"TYPEDESC"_s) {
            if (!request_.typeEdited()) {
                model_->refreshRow(row);
                orvane::Ui::instance().msgBox(tr("Cleared"), orvane::MsgButtons::OK);
            } else {
                model_->setValueList(colReason, request_.reasons());
            }
        } else if (field == u"REASONCODENAME"_s) {
            request_.reasonEdited();
        }
        model_->refreshRow(row);
    } catch (...) {
    }
}

bool Authorizationfrm::ValidData()
{
    return request_.ValidData();
}

bool Authorizationfrm::CreateXML(orvane::XmlDocument &doc, const QString &sessionId)
{
    return request_.CreateXML(doc, sessionId);
}

void Authorizationfrm::SendAuth()
{
    if (request_.SendAuth())
        hide();
}

void Authorizationfrm::cmdBuild_Click()
{
    orvane::Proc p = proc(u"cmdBuild_Click"_s);
    try {
        p.at(10);
        if (ValidData())
            SendAuth();
    } catch (...) {
        reportTrapped(p);
    }
}

void Authorizationfrm::cmdCancel_Click()
{
    hide();
}

} // namespace orvane::authorization
