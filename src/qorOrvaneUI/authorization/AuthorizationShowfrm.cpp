#include "qorOrvaneUI/authorization/AuthorizationShowfrm.h"

#include "qorOrvaneUI/authorization/AuthorizationText.h"
#include "qorOrvaneUI/core/modOrvane.h"
#include "runtime/RecordsetDelegate.h"
#include "runtime/RecordsetModel.h"
#include "runtime/vb.h"
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

namespace {

QString fieldText(const Recordset &row, const QString &field)
{
    return modOrvane::FieldExists(row, field) ? vb::Trim(authorization::textOf(row, field))
                                              : QString();
}

double fieldNumber(const Recordset &row, const QString &field)
{
    return modOrvane::FieldExists(row, field) ? authorization::numberOf(row, field) : 0.0;
}

// A request line the network has not answered keeps the row the shop stored
// when it sent the request: no answer date and nothing of an answer in it.
bool isAnswered(const Recordset &row)
{
    if (modOrvane::FieldExists(row, u"Respdate"_s)) {
        const Value date = row.value(u"Respdate"_s);
        if (!date.isNull() && !date.isEmpty())
            return true;
    }
    for (const QString &field : {u"ErrorCode"_s, u"ConfCode"_s, u"AuthPart"_s})
        if (!fieldText(row, field).isEmpty())
            return true;
    return fieldNumber(row, u"accPrice"_s) != 0 || fieldNumber(row, u"accQty"_s) != 0;
}

} // namespace

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
            return row >= 0 && size_t(row) < blnAccept.size() ? QVariant(bool(blnAccept[row]))
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
        return row >= 0 && size_t(row) < status_.size() ? QVariant(status_[size_t(row)])
                                                        : QVariant();
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
    invoice_ = std::move(invoice);
    setErrorInvoice(invoice_);
}

void AuthorizationShowfrm::Form_Unload()
{
    if (!unloadView())
        return;
    model_->setRecordset(Recordset());
    ackn_.reset();
    invoice_.reset();
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
        const Recordset answers = orvane::required(ackn_)->itemsrecordset();
        p.at(20);
        const size_t rows = size_t(std::max(0, answers.recordCount()));
        blnAccept.assign(rows, true);
        answered_.assign(rows, true);
        declined_.assign(rows, false);
        status_.assign(rows, QString());
        Recordset row = answers.clone();
        for (size_t i = 0; i < rows && !row.eof(); ++i, row.moveNext()) {
            const QString decision = fieldText(row, u"Decision"_s);
            answered_[i] = isAnswered(row);
            declined_[i] = decision.compare(QString::fromUtf16(Declined), Qt::CaseInsensitive) == 0;
            blnAccept[i] = answered_[i] && !declined_[i];
            if (!answered_[i])
                status_[i] = tr("Not answered");
            else if (declined_[i])
                status_[i] = tr("Declined");
            else if (decision.compare(QString::fromUtf16(Applied), Qt::CaseInsensitive) == 0)
                status_[i] = tr("Applied");
        }
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
    if (row < 0 || size_t(row) >= blnAccept.size())
        return;
    if (size_t(row) < answered_.size() && (!answered_[size_t(row)] || declined_[size_t(row)]))
        return;
    blnAccept[size_t(row)] = !blnAccept[size_t(row)];
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
    // What was written, so that a line that cannot take its answer takes
    // the lines written before it back with it.
    struct Written {
        Value bookmark;
        QString field;
        Value before;
    };
    std::vector<Written> written;
    Recordset lines;
    try {
        p.at(10);
        lines =
            orvane::required(orvane::required(invoice_)->getlineitems())->itemsrecordset().clone();
        Recordset answers = orvane::required(ackn_)->itemsrecordset();
        auto write = [&](const QString &field, const Value &value) {
            written.push_back({lines.bookmark(), field, lines.value(field)});
            lines.setValue(field, value);
            lines.update();
        };
        for (size_t i = 1; i <= blnAccept.size(); ++i) {
            // A line the network did not answer, or one the shop declined
            // before, never reaches the order.
            if (!blnAccept[i - 1] || (i <= answered_.size() && !answered_[i - 1]) ||
                (i <= declined_.size() && declined_[i - 1]))
                continue;
            p.at(20);
            answers.moveFirst();
            answers.move(int(i) - 1);
            const QString errorCode = vb::Trim(authorization::textOf(answers, u"ErrorCode"_s));
            if (errorCode != u"0"_s && !errorCode.isEmpty())
                continue;
            p.at(30);
            if (lines.recordCount() == 0)
                continue;
            lines.moveFirst();
            lines.find(u"mfr_part='"_s % modOrvane::SQLSafeText(answers.value(u"part"_s)) % u"'"_s);
            if (lines.eof())
                continue;
            p.at(40);
            const Value price = answers.value(u"accPrice"_s);
            if (!price.isNull() && price.toDouble() != 0) {
                QString target = u"net"_s;
                for (const QString &field : {u"net"_s, u"kit"_s, u"Labor"_s}) {
                    if (authorization::numberOf(lines, field) != 0) {
                        target = field;
                        break;
                    }
                }
                write(target, price);
            }
            p.at(50);
            const Value qty = answers.value(u"accQty"_s);
            if (!qty.isNull() && qty.toDouble() != 0)
                write(u"quantity"_s, qty);
            p.at(60);
            if (modOrvane::FieldExists(lines, u"Conf"_s))
                write(u"Conf"_s, authorization::textOf(answers, u"ConfCode"_s));
        }
        p.at(65);
        // Each answered line remembers what the shop did with it, so showing
        // the answer again does not offer a declined line once more.
        if (modOrvane::FieldExists(answers, u"Decision"_s)) {
            bool recorded = false;
            answers.moveFirst();
            for (size_t i = 0; i < blnAccept.size() && !answers.eof(); ++i, answers.moveNext()) {
                if (i >= answered_.size() || !answered_[i] || declined_[i])
                    continue;
                const QString errorCode = fieldText(answers, u"ErrorCode"_s);
                if (errorCode != u"0"_s && !errorCode.isEmpty())
                    continue;
                const QString decision = QString::fromUtf16(blnAccept[i] ? Applied : Declined);
                if (fieldText(answers, u"Decision"_s) == decision)
                    continue;
                answers.setValue(u"Decision"_s, decision);
                answers.update();
                recorded = true;
            }
            if (recorded)
                ackn_->Update();
        }
        p.at(70);
        invoice_->calculateinvoice(false, true);
        p.at(80);
        hide();
    } catch (...) {
        // Take back what was written, latest first; the order stays as it was.
        for (auto it = written.rbegin(); it != written.rend(); ++it) {
            try {
                lines.setBookmark(it->bookmark);
                lines.setValue(it->field, it->before);
                lines.update();
            } catch (...) {
            }
        }
        reportTrapped(p);
    }
}

} // namespace orvane::authorization
