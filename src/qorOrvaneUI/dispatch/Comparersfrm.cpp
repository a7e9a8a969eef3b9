#include "dispatch/Comparersfrm.h"

#include "ObjectRegistry.h"
#include "RecordsetDelegate.h"
#include "RecordsetModel.h"
#include "core/LibraryView.h"
#include "external/IControlUI.h"
#include "external/ProgIds.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using orvane::RecordsetColumn;

namespace {

const QString kGridKey = u"Comparersfrm.grdCompare"_s;

// The host's layout service is optional: without one the view still works.
template <class Call> void withControlUI(Call call)
{
    try {
        const auto controlUI = orvane::CreateObject<orvane::ext::IControlUI>(
            QString::fromUtf16(orvane::ext::progid::ControlUI));
        call(*controlUI);
    } catch (...) {
    }
}

// The library's picture, or the desktop's own where the library has none.
QIcon iconOr(int id, QStyle::StandardPixmap fallback)
{
    QIcon icon = orvane::ui::libraryIcon(id);
    return icon.isNull() ? QApplication::style()->standardIcon(fallback) : icon;
}

} // namespace

Comparersfrm::Comparersfrm(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"Comparersfrm"_s);
    setWindowTitle(u"Compare dispatches"_s);
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
    try {
        setWindowIcon(orvane::ui::libraryIcon(111));
        cmdAction[0]->setIcon(iconOr(101, QStyle::SP_DialogOkButton));
        cmdAction[1]->setIcon(iconOr(102, QStyle::SP_DialogCancelButton));
    } catch (...) {
    }
    withControlUI([this](orvane::ext::IControlUI &ui) {
        ui.Initialize(this, objectName());
        ui.Initialize(grdCompare, kGridKey);
    });
}

void Comparersfrm::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    withControlUI([this](orvane::ext::IControlUI &ui) {
        ui.Terminate(this, objectName());
        ui.Terminate(grdCompare, kGridKey);
    });
    rsCompare = orvane::Recordset();
}

void Comparersfrm::cmdAction_Click(int index)
{
    if (index == 0)
        accepted = true;
    hide();
}
