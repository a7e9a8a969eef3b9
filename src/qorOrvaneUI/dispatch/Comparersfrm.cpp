#include "dispatch/Comparersfrm.h"

#include "RecordsetDelegate.h"
#include "RecordsetModel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using orvane::RecordsetColumn;

Comparersfrm::Comparersfrm(QWidget *parent)
    : LibraryView(u"Comparersfrm"_s, u"Compare dispatches"_s, parent)
{
    setSizeGripEnabled(true);

    auto *layout = new QVBoxLayout(this);
    auto *note = new QLabel(u"The dispatch differs from the open order. Tick \"Use Old Value\" "
                            u"for every value of the order to keep."_s,
                            this);
    note->setWordWrap(true);
    layout->addWidget(note);

    grdCompare = new QTableView(this);
    grdCompare->setObjectName(u"grdCompare"_s);
    grdCompare->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdCompare->setSelectionMode(QAbstractItemView::SingleSelection);
    grdCompare->setAlternatingRowColors(true);
    grdCompare->setWordWrap(false);
    grdCompare->verticalHeader()->hide();
    grdCompare->setItemDelegate(new orvane::RecordsetDelegate(grdCompare));
    grdCompare->setEditTriggers(QAbstractItemView::AllEditTriggers);
    layout->addWidget(grdCompare, 1);

    model_ = new orvane::RecordsetModel(this);
    grdCompare->setModel(model_);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    static constexpr const char16_t *captions[] = {u"&OK", u"&Cancel"};
    static constexpr const char16_t *tips[] = {u"Click to accept changes to agent and exit screen",
                                               u"Click to cancel agent edit"};
    for (int i = 0; i < 2; ++i) {
        auto *button = new QPushButton(QString::fromUtf16(captions[i]), this);
        button->setObjectName(u"cmdAction_"_s % QString::number(i));
        button->setToolTip(QString::fromUtf16(tips[i]));
        button->setMinimumWidth(96);
        cmdAction[std::size_t(i)] = button;
        buttons->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, i] { cmdAction_Click(i); });
    }
    cmdAction[0]->setDefault(true);
    layout->addLayout(buttons);
    // A fixed floor rather than one that follows the grid's contents, so the
    // window never changes its size limits while it is shown.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    setMinimumSize(420, 240);
    resize(760, 460);
    Form_Load();
}

Comparersfrm::~Comparersfrm()
{
    Form_Unload();
}

void Comparersfrm::setCompareRecordset(const orvane::Recordset &rs)
{
    rsCompare = rs;
    model_->setRecordset(rs);
    if (model_->columnCount() == 0) {
        auto readOnly = [](RecordsetColumn c) {
            c.readOnly = true;
            return c;
        };
        model_->addColumn(readOnly(RecordsetColumn::bound(u"FieldName"_s, u"Field Name"_s)));
        model_->addColumn(readOnly(RecordsetColumn::bound(u"OriginalVal"_s, u"Old Value"_s)));
        model_->addColumn(readOnly(RecordsetColumn::bound(u"NewValue"_s, u"New Value"_s)));
        RecordsetColumn keep = RecordsetColumn::bound(u"KeepValue"_s, u"Use Old Value"_s,
                                                      orvane::ColumnFormat::CheckBox);
        keep.alignment = Qt::AlignCenter;
        model_->addColumn(keep);
    }
    QHeaderView *header = grdCompare->horizontalHeader();
    for (int c = 0; c < 3; ++c)
        header->setSectionResizeMode(c, QHeaderView::Stretch);
    header->setSectionResizeMode(3, QHeaderView::ResizeToContents);
}

void Comparersfrm::Form_Load()
{
    using orvane::ui::libraryIcon;
    setWindowIcon(libraryIcon(111));
    cmdAction[0]->setIcon(libraryIcon(101, QStyle::SP_DialogOkButton));
    cmdAction[1]->setIcon(libraryIcon(102, QStyle::SP_DialogCancelButton));
    registerView({{grdCompare, u"Comparersfrm.grdCompare"_s}});
}

void Comparersfrm::Form_Unload()
{
    if (unloadView())
        rsCompare = orvane::Recordset();
}

void Comparersfrm::cmdAction_Click(int index)
{
    if (index == 0)
        accepted = true;
    hide();
}
