#include "qorOrvaneUI/dispatch/Comparersfrm.h"

#include "runtime/widgets/RecordsetDelegate.h"
#include "runtime/widgets/RecordsetModel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace orvane::dispatch {

using namespace Qt::StringLiterals;
using orvane::RecordsetColumn;

Comparersfrm::Comparersfrm(QWidget *parent)
    : LibraryView(u"Comparersfrm"_s, tr("Compare dispatches"), parent)
{
    setSizeGripEnabled(true);

    auto *layout = new QVBoxLayout(this);
    auto *note = new QLabel(tr("The dispatch differs from the open order. Tick \"Use Old Value\" "
                               "for every value of the order to keep."),
                            this);
    note->setWordWrap(true);
    layout->addWidget(note);
    lblOrders = new QLabel(this);
    lblOrders->setObjectName(u"lblOrders"_s);
    lblOrders->setTextFormat(Qt::PlainText);
    lblOrders->setWordWrap(true);
    QFont bold = lblOrders->font();
    bold.setBold(true);
    lblOrders->setFont(bold);
    layout->addWidget(lblOrders);

    grdCompare = new QTableView(this);
    grdCompare->setObjectName(u"grdCompare"_s);
    // Tab leaves the grid for the buttons instead of walking its cells.
    grdCompare->setTabKeyNavigation(false);
    grdCompare->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdCompare->setSelectionMode(QAbstractItemView::SingleSelection);
    grdCompare->setAlternatingRowColors(true);
    // Values are shown whole: long ones wrap onto more lines of their row.
    grdCompare->setWordWrap(true);
    grdCompare->verticalHeader()->hide();
    grdCompare->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grdCompare->setItemDelegate(new orvane::RecordsetDelegate(grdCompare));
    grdCompare->setEditTriggers(QAbstractItemView::AllEditTriggers);
    layout->addWidget(grdCompare, 1);

    model_ = new orvane::RecordsetModel(this);
    grdCompare->setModel(model_);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    static constexpr const char *captions[] = {QT_TR_NOOP("&OK"), QT_TR_NOOP("&Cancel")};
    static constexpr const char *tips[] = {
        QT_TR_NOOP("Click to accept changes to agent and exit screen"),
        QT_TR_NOOP("Click to cancel agent edit")};
    for (int i = 0; i < 2; ++i) {
        auto *button = new QPushButton(tr(captions[i]), this);
        button->setObjectName(u"cmdAction_"_s % QString::number(i));
        button->setToolTip(tr(tips[i]));
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
    resize(900, 480);
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
        model_->addColumn(readOnly(RecordsetColumn::bound(u"FieldName"_s, tr("Field Name"))));
        model_->addColumn(readOnly(RecordsetColumn::bound(u"OriginalVal"_s, tr("Old Value"))));
        model_->addColumn(readOnly(RecordsetColumn::bound(u"NewValue"_s, tr("New Value"))));
        // Through a cursor of its own, so a row that cannot be taken over
        // refuses to be unticked.
        orvane::Recordset rows = rs.clone();
        const bool lockable = rs.fieldIndex(u"CanTransfer"_s) >= 0;
        RecordsetColumn keep = RecordsetColumn::unbound(
            tr("Use Old Value"),
            [rows](int, const orvane::Value &bookmark) mutable -> QVariant {
                rows.setBookmark(bookmark);
                return rows.value(u"KeepValue"_s).toBool();
            },
            [rows, lockable](int, const orvane::Value &bookmark, const QVariant &value) mutable {
                rows.setBookmark(bookmark);
                if (lockable && !rows.value(u"CanTransfer"_s).toBool() && !value.toBool())
                    return false;
                rows.setValue(u"KeepValue"_s, value.toBool());
                rows.update();
                return true;
            },
            orvane::ColumnFormat::CheckBox);
        keep.alignment = Qt::AlignCenter;
        model_->addColumn(keep);
        if (rs.fieldIndex(u"Note"_s) >= 0)
            model_->addColumn(readOnly(RecordsetColumn::bound(u"Note"_s, tr("Note"))));
    }
    // The rows keep the system's field names (the transfer matches on them);
    // the grid shows them in the user's language.
    QList<orvane::ValueListEntry> names;
    orvane::Recordset rows = rs.clone();
    // MoveFirst on an empty set raises 3021; an empty comparison is still shown.
    if (rows.recordCount() > 0) {
        for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
            const QString name = rows.value(u"FieldName"_s).toText();
            names.append({name, tr(name.toUtf8().constData())});
        }
    }
    model_->setValueList(model_->findColumn(u"FieldName"_s), names);
    QHeaderView *header = grdCompare->horizontalHeader();
    header->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    for (int c = 1; c < 3; ++c)
        header->setSectionResizeMode(c, QHeaderView::Stretch);
    header->setSectionResizeMode(3, QHeaderView::ResizeToContents);
    if (model_->columnCount() > 4)
        header->setSectionResizeMode(4, QHeaderView::Stretch);
}

void Comparersfrm::setOrders(const QString &orderName, const QString &dispatchNumber)
{
    lblOrders->setText(tr("Order %1 compared with dispatch %2")
                           .arg(orderName.isEmpty() ? tr("(not named)") : orderName,
                                dispatchNumber.isEmpty() ? tr("(no number)") : dispatchNumber));
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

} // namespace orvane::dispatch
