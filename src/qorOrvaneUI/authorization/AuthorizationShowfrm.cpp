#include "qorOrvaneUI/authorization/AuthorizationShowfrm.h"

#include "qorOrvaneUI/authorization/AuthorizationText.h"
#include "qorOrvaneUI/core/modOrvane.h"
#include "runtime/vb.h"
#include "runtime/widgets/RecordsetDelegate.h"
#include "runtime/widgets/RecordsetModel.h"
#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/external/ILineItems.h>
#include <qorOrvaneUI/external/Ig_ackn.h>
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/VbError.h>

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace orvane::authorization {

using namespace Qt::StringLiterals;
using orvane::ColumnFormat;
using orvane::Recordset;
using orvane::RecordsetColumn;
using orvane::Value;

AuthorizationShowfrm::AuthorizationShowfrm(QWidget *parent)
    : LibraryView(u"AuthorizationShowfrm"_s, tr("Authorization Response"), parent)
{
    setSizeGripEnabled(true);
    auto *layout = new QVBoxLayout(this);

    grdAuthorize = new QTableView(this);
    grdAuthorize->setObjectName(u"grdAuthorize"_s);
    // Tab leaves the grid for the buttons instead of walking its cells.
    grdAuthorize->setTabKeyNavigation(false);
    grdAuthorize->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdAuthorize->setSelectionMode(QAbstractItemView::SingleSelection);
    grdAuthorize->setAlternatingRowColors(true);
    grdAuthorize->setWordWrap(false);
    grdAuthorize->verticalHeader()->hide();
    grdAuthorize->setItemDelegate(new orvane::RecordsetDelegate(grdAuthorize));
    grdAuthorize->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(grdAuthorize, 1);

    model_ = new orvane::RecordsetModel(this);
    RecordsetColumn accept = RecordsetColumn::unbound(
        tr("A"),
        [this](int row, const Value &) {
            const std::vector<bool> &accepted = answer_.accepted();
            return row >= 0 && size_t(row) < accepted.size() ? QVariant(bool(accepted[row]))
                                                             : QVariant(false);
        },
        {}, ColumnFormat::CheckBox);
    accept.alignment = Qt::AlignCenter;
    model_->addColumn(accept);
    auto readOnly = [](const QString &field, const QString &caption,
                       ColumnFormat format = ColumnFormat::None) {
        RecordsetColumn c = RecordsetColumn::bound(field, caption, format);
        c.readOnly = true;
        return c;
    };
    model_->addColumn(readOnly(u"Part"_s, tr("Part")));
    model_->addColumn(readOnly(u"AuthPart"_s, tr("Authorized Part")));
    auto number = [&readOnly](const QString &field, const QString &caption, ColumnFormat f) {
        RecordsetColumn c = readOnly(field, caption, f);
        c.alignment = Qt::AlignRight | Qt::AlignVCenter;
        return c;
    };
    model_->addColumn(number(u"Accprice"_s, tr("Accept Price"), ColumnFormat::Currency));
    model_->addColumn(number(u"Accqty"_s, tr("Accept QTY"), ColumnFormat::None));
    model_->addColumn(readOnly(u"ConfCode"_s, tr("Confirmation")));
    model_->addColumn(readOnly(u"ErrorText"_s, tr("Error Desc")));
    model_->addColumn(readOnly(u"ErrorCode"_s, tr("Error Code")));
    model_->addColumn(readOnly(u"Respdate"_s, tr("Response Date"), ColumnFormat::ShortDate));
    model_->addColumn(readOnly(u"RespTime"_s, tr("Response Time")));
    // What became of each line: not answered, or applied or declined when the
    // answer was shown before.
    model_->addColumn(RecordsetColumn::unbound(tr("Status"), [this](int row, const Value &) {
        return row >= 0 ? QVariant(answer_.status(size_t(row))) : QVariant();
    }));
    grdAuthorize->setModel(model_);
    QHeaderView *header = grdAuthorize->horizontalHeader();
    header->setStretchLastSection(true);
    // Narrow enough for the status to show whole on a 1280-pixel screen.
    const int widths[] = {28, 100, 110, 90, 80, 100, 126, 84, 110, 104};
    for (int c = 0; c < int(std::size(widths)); ++c)
        header->resizeSection(c, widths[c]);
    connect(grdAuthorize, &QTableView::clicked, this,
            [this](const QModelIndex &index) { grdAuthorize_Click(index.row(), index.column()); });
    grdAuthorize->installEventFilter(this);

    static constexpr const char *warnings[] = {
        QT_TR_NOOP("If the error is that the part # cannot be found, try resubmitting the "
                   "Authorization as an Authoriztion Type 'OTHER'"),
        QT_TR_NOOP("If the authorized part is a different part than the one you have selected, "
                   "you will need to manually remove the old part and add the new one.")};
    for (size_t i = 0; i < lblWarning.size(); ++i) {
        auto *label = new QLabel(tr(warnings[i]), this);
        label->setObjectName(u"lblWarning_"_s % QString::number(i));
        label->setWordWrap(true);
        label->setStyleSheet(u"color: #c00000; font-weight: bold;"_s);
        lblWarning[i] = label;
        layout->addWidget(label);
    }

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdAction = new QPushButton(tr("&OK"), this);
    cmdAction->setObjectName(u"cmdAction"_s);
    cmdAction->setToolTip(tr("Click to accept changes to agent and exit screen"));
    cmdAction->setMinimumWidth(96);
    cmdAction->setIcon(orvane::ui::libraryIcon(101, QStyle::SP_DialogOkButton));
    cmdAction->setDefault(true);
    buttons->addWidget(cmdAction);
    layout->addLayout(buttons);
    connect(cmdAction, &QPushButton::clicked, this, &AuthorizationShowfrm::cmdAction_Click);

    // A fixed floor rather than one that follows the contents, so the window
    // never changes its size limits while it is shown.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    setMinimumSize(640, 260);
    resize(1080, 380);
    setWindowIcon(orvane::ui::libraryIcon(111));
    registerView({{grdAuthorize, u"AuthorizationShowfrm.grdAuthorize"_s}});
}

AuthorizationShowfrm::~AuthorizationShowfrm()
{
    Form_Unload();
}

void AuthorizationShowfrm::setInvoice(std::shared_ptr<orvane::ext::IInvoice> invoice)
{
    setErrorInvoice(invoice);
    answer_.setInvoice(std::move(invoice));
}

void AuthorizationShowfrm::Form_Unload()
{
    if (!unloadView())
        return;
    model_->setRecordset(Recordset());
    answer_.release();
}

void AuthorizationShowfrm::showEvent(QShowEvent *event)
{
    LibraryView::showEvent(event);
    Form_Activate();
}

void AuthorizationShowfrm::Form_Activate()
{
    if (activated_)
        return;
    orvane::Proc p = proc(u"Form_Activate"_s);
    try {
        p.at(10);
        activated_ = true;
        answer_.load();
        p.at(20);
        const Recordset answers = answer_.ackObject()->itemsrecordset();
        model_->setRecordset(answers);
        if (model_->rowCount() > 0)
            grdAuthorize->setCurrentIndex(model_->index(0, 1));
    } catch (...) {
        reportTrapped(p);
    }
}

void AuthorizationShowfrm::grdAuthorize_Click(int row, int column)
{
    if (row < 0 || column < 0 || column >= model_->columnCount())
        return;
    if (vb::UCase(vb::Trim(model_->column(column).caption)) != u"A"_s)
        return;
    toggleAccept(row);
}

void AuthorizationShowfrm::toggleAccept(int row)
{
    if (answer_.toggle(row))
        model_->refreshRow(row);
}

bool AuthorizationShowfrm::eventFilter(QObject *watched, QEvent *event)
{
    // Space turns the current line's "A" over, as a click in the column does.
    if (watched == grdAuthorize && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            toggleAccept(grdAuthorize->currentIndex().row());
            return true;
        }
    }
    return LibraryView::eventFilter(watched, event);
}

void AuthorizationShowfrm::cmdAction_Click()
{
    orvane::Proc p = proc(u"cmdAction_Click"_s);
    try {
        answer_.apply(p);
        applied_ = true;
        p.at(80);
        hide();
    } catch (...) {
        reportTrapped(p);
    }
}

} // namespace orvane::authorization
