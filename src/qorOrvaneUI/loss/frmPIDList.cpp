#include "qorOrvaneUI/loss/frmPIDList.h"

#include "runtime/widgets/RecordsetDelegate.h"
#include "runtime/widgets/RecordsetModel.h"
#include <qorOrvaneUI/external/IEnvironment.h>
#include <qorOrvaneUI/external/IErrorClass.h>
#include <qorOrvaneUI/external/ITableObject.h>
#include <qorOrvaneUI/widgets/Ui.h>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>

#include <algorithm>

namespace orvane::loss {

using namespace Qt::StringLiterals;
using orvane::MsgButtons;
using orvane::MsgIcon;
using orvane::MsgResult;

frmPIDList::frmPIDList(QWidget *parent) : LibraryView(u"frmPIDList"_s, tr("PID List"), parent)
{
    setWindowIcon(orvane::ui::libraryIcon(111));
    setSizeGripEnabled(true);

    grdEdits = new QTableView(this);
    grdEdits->setObjectName(u"grdEdits"_s);
    // Tab leaves the grid (arrows walk the cells; an open editor still
    // moves on to the next cell with Tab).
    grdEdits->setTabKeyNavigation(false);
    grdEdits->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdEdits->setSelectionMode(QAbstractItemView::SingleSelection);
    grdEdits->setItemDelegate(new orvane::RecordsetDelegate(grdEdits));
    grdEdits->horizontalHeader()->setStretchLastSection(true);
    grdEdits->verticalHeader()->setDefaultSectionSize(22);

    auto button = [this](const QString &name, int index, const QString &caption, const QString &tip,
                         int icon, QStyle::StandardPixmap fallback) {
        auto *b = new QPushButton(orvane::ui::libraryIcon(icon, fallback), caption, this);
        b->setObjectName(name);
        b->setProperty("index", index);
        b->setToolTip(tip);
        b->setAutoDefault(false);
        return b;
    };
    cmdAction[0] = button(u"cmdAction"_s, 0, tr("&OK"), tr("Click to select highlighted agent"),
                          101, QStyle::SP_DialogOkButton);
    cmdAction[1] = button(u"cmdAction"_s, 1, tr("&Cancel"), tr("Click to cancel agent lookup"), 102,
                          QStyle::SP_DialogCancelButton);
    cmdEdits[1] = button(u"cmdEdits"_s, 1, tr("&Add"), tr("Click to add new agent"), 103,
                         QStyle::SP_FileDialogNewFolder);
    cmdEdits[2] = button(u"cmdEdits"_s, 2, tr("&Delete"),
                         tr("Click to delete the highlighted agent"), 105, QStyle::SP_TrashIcon);
    cmdEdits[1]->setIcon(orvane::ui::libraryIconPair(103, 153));
    cmdEdits[2]->setIcon(orvane::ui::libraryIconPair(105, 154));
    cmdAction[0]->setDefault(true);

    // szrPID: the grid takes the spare room, the buttons keep their row.
    auto *szrPID = new QGridLayout(this);
    szrPID->setObjectName(u"szrPID"_s);
    szrPID->setSizeConstraint(QLayout::SetNoConstraint);
    szrPID->addWidget(grdEdits, 0, 0, 1, 5);
    szrPID->addWidget(cmdEdits[1], 1, 0);
    szrPID->addWidget(cmdEdits[2], 1, 1);
    szrPID->setColumnStretch(2, 1);
    szrPID->addWidget(cmdAction[0], 1, 3);
    szrPID->addWidget(cmdAction[1], 1, 4);
    setTabOrder(grdEdits, cmdEdits[1]);
    setTabOrder(cmdEdits[1], cmdEdits[2]);
    setTabOrder(cmdEdits[2], cmdAction[0]);
    setTabOrder(cmdAction[0], cmdAction[1]);

    connect(cmdAction[0], &QPushButton::clicked, this, [this] { cmdAction_Click(0); });
    connect(cmdAction[1], &QPushButton::clicked, this, [this] { cmdAction_Click(1); });
    connect(cmdEdits[1], &QPushButton::clicked, this, [this] { cmdEdits_Click(1); });
    connect(cmdEdits[2], &QPushButton::clicked, this, [this] { cmdEdits_Click(2); });
    connect(grdEdits, &QTableView::doubleClicked, this, [this] { cmdAction_Click(0); });

    columns_ = {{tr("Retail PID"), u"PID"_s, 120}, {tr("PID Description"), u"PIDname"_s, -1}};
    resize(460, 320);
}

frmPIDList::~frmPIDList()
{
    Form_Unload();
}

QString frmPIDList::gridKey() const
{
    if (gridTag_.isEmpty())
        return objectName() % u".grdEdits.1"_s;
    return gridTag_ % u"."_s % objectName() % u".grdEdits"_s;
}

void frmPIDList::Form_Load()
{
    if (loaded_)
        return;
    loaded_ = true;
    registerView({{grdEdits, gridKey()}});
}

void frmPIDList::Form_Unload()
{
    if (loaded_)
        unloadView();
}

void frmPIDList::showEvent(QShowEvent *event)
{
    // Registered when first shown, when the caller has set the grid's tag.
    Form_Load();
    LibraryView::showEvent(event);
}

void frmPIDList::setList(std::shared_ptr<orvane::ext::ITableObject> list)
{
    list_ = std::move(list);
}

void frmPIDList::report(const orvane::Proc &p) const noexcept
{
    try {
        const orvane::VbError e = orvane::currentError();
        const auto env = env_ ? env_ : (list_ ? list_->Env() : nullptr);
        if (const auto errors = env ? env->ErrorClass() : nullptr)
            errors->ErrorHandle(0, p.name(), e.description(), e.number(), p.line());
    } catch (...) {
    }
}

void frmPIDList::clearColumns()
{
    columns_.clear();
    rebuildModel();
}

void frmPIDList::addColumn(const QString &caption, const QString &field, int width)
{
    columns_.push_back({caption, field, width});
    rebuildModel();
}

void frmPIDList::bindGrid(const orvane::Recordset &rows)
{
    rows_ = rows;
    rebuildModel();
}

void frmPIDList::rebuildModel()
{
    if (!rows_.isOpen())
        return;
    auto *model = new orvane::RecordsetModel(this);
    for (const Column &c : columns_) {
        auto column = orvane::RecordsetColumn::bound(c.field, c.caption);
        column.widthHint = c.width;
        model->addColumn(column);
    }
    model->setRecordset(rows_);
    grdEdits->setModel(model);
    delete model_;
    model_ = model;
    // A column is never narrower than its caption.
    for (int i = 0; i < int(columns_.size()); ++i)
        if (columns_[size_t(i)].width > 0)
            grdEdits->setColumnWidth(i, std::max(columns_[size_t(i)].width,
                                                 grdEdits->horizontalHeader()->sectionSizeHint(i)));
    connect(grdEdits->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    model_->setCurrentRow(current.row());
            });
    const int row = model_->currentRow();
    if (row >= 0)
        grdEdits->setCurrentIndex(model_->index(row, 0));
}

void frmPIDList::cmdAction_Click(int index)
{
    // Closing always closes: a list that cannot be saved keeps the rows it had.
    try {
        if (!keepUnsaved_ && list_ && rows_.isOpen() && rows_.recordCount() > 0)
            list_->Update();
    } catch (...) {
    }
    selected_ = index == 0;
    hide();
}

void frmPIDList::reject()
{
    cmdAction_Click(1);
}

void frmPIDList::cmdEdits_Click(int index)
{
    orvane::Proc p = proc(u"cmdEdits_Click"_s);
    try {
        p.at(10);
        if (!rows_.isOpen())
            return;
        if (index == 1) {
            p.at(20);
            rows_.addNew();
            p.at(30);
            model_->refresh();
            const int row = model_->currentRow();
            if (row >= 0) {
                grdEdits->setCurrentIndex(model_->index(row, 0));
                grdEdits->edit(model_->index(row, 0));
            }
        } else if (index == 2) {
            p.at(40);
            if (rows_.recordCount() == 0 || rows_.eof() || rows_.bof())
                return;
            p.at(50);
            const MsgResult answer = orvane::Ui::instance().msgBox(
                tr("Are you sure you want to delete the current record?\r\n\r\n"
                   "Press YES to delete this record \r\nPress NO to abort operation"),
                MsgButtons::YesNo, MsgIcon::Question, tr("Delete Record?"));
            if (answer != MsgResult::Yes)
                return;
            p.at(60);
            rows_.deleteRow();
            model_->refresh();
        }
    } catch (...) {
        report(p);
    }
}

} // namespace orvane::loss
