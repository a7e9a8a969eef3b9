#include "qorOrvaneUI/loss/eNOLwaitfrm.h"

#include "qorOrvaneUI/core/StagingWrites.h"
#include "qorOrvaneUI/core/WindowAPImod.h"
#include "qorOrvaneUI/core/modOrvane.h"
#include "qorOrvaneUI/dispatch/OrderComparison.h"
#include "qorOrvaneUI/loss/Coveragefrm.h"
#include "runtime/vb.h"
#include <qorOrvaneUI/external/IDataCommand.h>
#include <qorOrvaneUI/external/IEnvironment.h>
#include <qorOrvaneUI/external/IErrorClass.h>
#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/external/IOptions.h>
#include <qorOrvaneUI/external/IOrvaneOut.h>
#include <qorOrvaneUI/external/IRsTable.h>
#include <qorOrvaneUI/external/Ig_trans.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/Ui.h>
#include <qorOrvaneUI/runtime/VbError.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace orvane::loss {

using namespace Qt::StringLiterals;
using orvane::MsgButtons;
using orvane::MsgIcon;
using orvane::Proc;
using orvane::Recordset;
using orvane::Value;
namespace ext = orvane::ext;

namespace {

using modOrvane::CRLF;
const QColor kWaiting(255, 0, 0);
const QColor kDone(255, 255, 255);
const QColor kDoneBack(0, 0, 128);

// The host's logs know these polls under these names.
const QString kTimer = u"qorOrvaneUI.Authorizationfrm.tmrAuthResponse_Timer"_s;
const QString kCoverage = u"qorOrvaneUI.Authorizationfrm.CheckCoverage"_s;
const QString kLossAckLog = u"qorOrvaneUI.Authorizationfrm.CheckLossAck"_s;
const QString kLossAck = u"qorOrvaneUI.eNolWait.CheckLossAck"_s;
const QString kRefresh = u"qorOrvaneUI.eNolWait.refreshENOLNUM"_s;

QString text(const Recordset &rs, const QString &field)
{
    const Value v = rs.value(field);
    return v.isNull() ? QString() : v.toText();
}

// The network marks an error with a leading "e" or a code other than 0.
bool isNetworkError(const QString &code)
{
    return vb::Left(code, 1) == u"e"_s || vb::Val(code) != 0;
}

// Errors the notice's sender cannot resolve by correcting the notice.
bool needsNoAction(const QString &code)
{
    const double n = vb::Val(code);
    for (int c : {110, 111, 112, 114, 115, 117})
        if (n == c)
            return true;
    return false;
}

QString quoted(const QString &text)
{
    return u"'"_s % modOrvane::SQLSafeText(text) % u"'"_s;
}

// Marks every row from the current one on as read, saving each.
} // namespace

eNOLwaitfrm::eNOLwaitfrm(QWidget *parent)
    : LibraryView(u"eNOLwaitfrm"_s, tr("Waiting for Authorization"), parent)
{
    auto *layout = new QVBoxLayout(this);
    auto *steps = new QHBoxLayout;
    static constexpr const char *captions[] = {
        QT_TR_NOOP("Claim Confirmation"), QT_TR_NOOP("Coverage Response"),
        QT_TR_NOOP("Send Loss Acknowledgment"), QT_TR_NOOP("Loss Confirmation"),
        QT_TR_NOOP("Receive Work Assignment")};
    for (std::size_t i = 0; i < lblStatus.size(); ++i) {
        auto *l = new QLabel(tr(captions[i]), this);
        l->setObjectName(u"lblStatus_%1"_s.arg(i));
        l->setAlignment(Qt::AlignCenter);
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setMargin(4);
        l->setWordWrap(true);
        lblStatus[i] = l;
        steps->addWidget(l, 1);
    }
    layout->addLayout(steps);

    lblAuthConfirm = new QLabel(tr("Waiting on Authorization Confirmation for Claim Launch"), this);
    lblAuthConfirm->setObjectName(u"lblAuthConfirm"_s);
    QFont big = lblAuthConfirm->font();
    big.setPointSizeF(big.pointSizeF() * 1.2);
    big.setBold(true);
    lblAuthConfirm->setFont(big);
    lblAuthConfirm->setAlignment(Qt::AlignCenter);
    lblAuthConfirm->setWordWrap(true);
    layout->addWidget(lblAuthConfirm);

    lblConfirm = new QLabel(this);
    lblConfirm->setObjectName(u"lblConfirm"_s);
    lblConfirm->setAlignment(Qt::AlignCenter);
    lblConfirm->setWordWrap(true);
    layout->addWidget(lblConfirm);

    lblWarning =
        new QLabel(tr("If a long period elapses, you may want to cancel and retrieve your "
                      "eNOL messages at a later time.  If one comes in you will be notified "
                      "in your Dask Toolbar"),
                   this);
    lblWarning->setObjectName(u"lblWarning"_s);
    lblWarning->setWordWrap(true);
    layout->addWidget(lblWarning);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdCancel = new QPushButton(tr("&Cancel"), this);
    cmdCancel->setObjectName(u"cmdCancel"_s);
    cmdCancel->setMinimumWidth(96);
    cmdCancel->setDefault(true);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);
    connect(cmdCancel, &QPushButton::clicked, this, &eNOLwaitfrm::cmdCancel_Click);

    tmrAuthResponse = new QTimer(this);
    tmrAuthResponse->setObjectName(u"tmrAuthResponse"_s);
    tmrAuthResponse->setInterval(5000);
    connect(tmrAuthResponse, &QTimer::timeout, this, &eNOLwaitfrm::tmrAuthResponse_Timer);
    tmrAuthResponse->start();

    layout->setSizeConstraint(QLayout::SetNoConstraint);
    setMinimumSize(520, 200);
    resize(620, 230);
    setWindowIcon(orvane::ui::libraryIcon(111));
    registerView();
}

eNOLwaitfrm::~eNOLwaitfrm()
{
    Form_Unload();
}

void eNOLwaitfrm::Form_Unload()
{
    if (!unloadView())
        return;
    tmrAuthResponse->stop();
    notice_.reset();
    cover_.reset();
    lossAck_.reset();
    dispatch_.reset();
    invoice_.reset();
}

void eNOLwaitfrm::setNoticeTable(std::shared_ptr<ext::IRsTable> notice)
{
    notice_ = std::move(notice);
}

void eNOLwaitfrm::setInvoice(std::shared_ptr<ext::IInvoice> invoice)
{
    invoice_ = std::move(invoice);
    setErrorInvoice(invoice_);
}

const QString &eNOLwaitfrm::openMessagesQuery()
{
    static const QString q =
        u"select g_enol.lossrefnum as lossref from g_enol where ack = .F. union select "
        u"g_cover.lossref as lossref from g_cover where ack = .F. union select g_lossack.lossref "
        u"as lossref from g_lossack where ack = .F. union select g_dispatch.lossidnum as lossref "
        u"from g_dispatch where ack = .F."_s;
    return q;
}

void eNOLwaitfrm::showEvent(QShowEvent *event)
{
    LibraryView::showEvent(event);
    // After the window is up, so that a first answer's box stands over it.
    QTimer::singleShot(0, this, &eNOLwaitfrm::Form_Activate);
}

void eNOLwaitfrm::Form_Activate()
{
    if (activated_)
        return;
    activated_ = true;
    // A wait reopened further on shows the steps already behind it.
    const int waitingFor = mode_ == 0 ? 0 : mode_ == 1 ? 1 : 3;
    for (int i = 0; i < waitingFor; ++i)
        finish(i);
    highlight(waitingFor);
    if (checkAtOnce_)
        tmrAuthResponse_Timer();
}

void eNOLwaitfrm::highlight(int step)
{
    QLabel *l = lblStatus[std::size_t(step)];
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, kWaiting);
    l->setPalette(pal);
}

void eNOLwaitfrm::finish(int step)
{
    QLabel *l = lblStatus[std::size_t(step)];
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, kDone);
    pal.setColor(QPalette::Window, kDoneBack);
    l->setPalette(pal);
    l->setAutoFillBackground(true);
    l->setFrameShadow(QFrame::Plain);
}

void eNOLwaitfrm::end()
{
    ended_ = true;
    tmrAuthResponse->stop();
    hide();
}

void eNOLwaitfrm::restartTimer()
{
    if (!ended_)
        tmrAuthResponse->start();
}

void eNOLwaitfrm::cmdCancel_Click()
{
    tmrAuthResponse->stop();
    hide();
}

void eNOLwaitfrm::logNetworkError(const QString &procedure, const QString &message,
                                  int line) noexcept
{
    try {
        if (!notice_ || !notice_->Env())
            return;
        if (const auto errors = notice_->Env()->ErrorClass())
            errors->ErrorHandle(0, procedure, message, 0, line, 1);
    } catch (...) {
    }
}

std::shared_ptr<ext::IRsTable> eNOLwaitfrm::table(std::shared_ptr<ext::IRsTable> &slot,
                                                  const char16_t *progId)
{
    if (!slot) {
        auto t = orvane::CreateObject<ext::IRsTable>(QString::fromUtf16(progId));
        t->setEnv(orvane::required(notice_)->Env());
        slot = std::move(t);
    }
    return slot;
}

void eNOLwaitfrm::tmrAuthResponse_Timer()
{
    failedNow_ = false;
    switch (mode_) {
    case 0:
        checkNotice();
        break;
    case 1:
        CheckCoverage();
        break;
    default:
        CheckLossAck();
        break;
    }
    if (!failedNow_)
        pollFailing_ = false;
}

void eNOLwaitfrm::pollFailed(const Proc &p) noexcept
{
    failedNow_ = true;
    if (pollFailing_)
        return;
    pollFailing_ = true;
    reportTrapped(p);
}

void eNOLwaitfrm::checkNotice()
{
    Proc p(kTimer);
    try {
        p.at(10);
        const QString byGuid = u"g_enol.guid = "_s % quoted(noticeID_);
        orvane::required(notice_)->get_rs(byGuid % u" AND ACK = .F."_s);
        Recordset rows = notice_->itemsrecordset();
        if (rows.recordCount() == 0)
            return;

        p.at(20);
        tmrAuthResponse->stop();
        // Marked read before it is shown: of two workstations polling the same
        // notice, only the one whose marking counts follows it further.
        if (!StagingWrites::claim(*notice_, rows.clone(), u"Ack"_s)) {
            end();
            return;
        }
        finish(0);
        highlight(1);
        rows.moveFirst();
        const QString code = text(rows, u"ErrCode"_s);
        if (isNetworkError(code)) {
            p.at(30);
            QString msg = tr("The Orvane eNOL Received an error") % CRLF % CRLF %
                          tr("Error Code : ") % code % CRLF % tr("Error Desc : ") %
                          text(rows, u"ErrText"_s) % CRLF % tr("Loss Reference : ") %
                          text(rows, u"Lossrefnum"_s) % CRLF % tr("Loss Contact : ") %
                          text(rows, u"Losscont"_s) % CRLF % CRLF;
            const bool noAction = needsNoAction(code);
            if (!noAction)
                msg += tr(" Please resolve the issue to try again");
            orvane::Ui::instance().msgBox(msg, MsgButtons::OK, MsgIcon::Critical,
                                          tr("eNOL Authorization Error"));
            logNetworkError(kTimer, msg, p.line());
            p.at(40);
            refreshENOLNUM();
            result_ = noAction ? -1 : 1;
            end();
            return;
        }

        p.at(60);
        refreshENOLNUM();
        mode_ = 1;
        lossRef_ = vb::Trim(text(rows, u"Lossrefnum"_s));
        restartTimer();
        lblAuthConfirm->setText(tr("Waiting on Confirmation Authorization for Loss Reference : ") %
                                lossRef_);
        lblConfirm->setText(vb::Trim(text(rows, u"ErrText"_s)));
    } catch (...) {
        pollFailed(p);
    }
}

void eNOLwaitfrm::CheckCoverage()
{
    Proc p(kCoverage);
    try {
        p.at(10);
        auto cover = table(cover_, ext::progid::g_cover);
        cover->get_rs(u"g_cover.lossref = "_s % quoted(lossRef_) % u" AND g_cover.ack = .F."_s);
        Recordset rows = cover->itemsrecordset();
        if (rows.recordCount() == 0)
            return;

        p.at(20);
        tmrAuthResponse->stop();
        finish(1);
        highlight(2);
        if (!StagingWrites::claim(*cover, rows.clone(), u"ack"_s)) {
            end(); // another workstation took this answer
            return;
        }
        refreshENOLNUM();
        rows.moveFirst();

        p.at(30);
        const QString code = text(rows, u"errorcode"_s);
        const QString errText = text(rows, u"errortext"_s);
        if (vb::Val(code) == 0 || vb::Trim(errText).isEmpty()) {
            lblConfirm->setText(errText);
            lblAuthConfirm->setText(tr("Coverage Response has been confirmed"));
            p.at(40);
            Coveragefrm coverage(this);
            WindowAPImod::CentreOverOwner(orvane::handleOf(this), &coverage);
            coverage.setCoverage(cover);
            coverage.setNotice(notice_);
            coverage.setInvoice(invoice_);
            orvane::Ui::instance().showModal(&coverage);
            p.at(50);
            if (coverage.sent()) {
                lossRef_ = coverage.lossRef();
                mode_ = 2;
                finish(2);
                highlight(3);
                declined_ = coverage.declined();
            } else {
                result_ = -1;
            }
            coverage.Form_Unload();
        } else {
            p.at(60);
            orvane::Ui::instance().msgBox(
                tr("Coverage Confirmation Error ") % CRLF % CRLF % tr("Error code : ") % code %
                    CRLF % tr("Error Text : ") % errText,
                MsgButtons::OK, MsgIcon::Critical, tr("Confirmation Error"));
            end();
        }
        restartTimer();
    } catch (...) {
        pollFailed(p);
    }
}

void eNOLwaitfrm::CheckLossAck()
{
    Proc p(kLossAck);
    try {
        p.at(10);
        auto lossAck = table(lossAck_, ext::progid::g_lossack);
        auto dispatch = table(dispatch_, ext::progid::g_dispatch);
        lossAck->get_rs(u"g_lossack.lossref = "_s % quoted(lossRef_) %
                        u" AND g_lossack.ack = .F."_s);
        Recordset rows = lossAck->itemsrecordset();
        if (rows.recordCount() > 0) {
            p.at(20);
            tmrAuthResponse->stop();
            finish(3);
            highlight(4);
            lblConfirm->setText(text(rows, u"errtext"_s));
            lblAuthConfirm->setText(tr("Loss Response has been received"));
            if (!StagingWrites::claim(*lossAck, rows.clone(), u"ack"_s)) {
                end(); // another workstation took this answer
                return;
            }
            refreshENOLNUM();
            rows.moveFirst();
            const QString code = text(rows, u"errcode"_s);
            const QString errText = text(rows, u"errtext"_s);
            if (isNetworkError(code)) {
                p.at(30);
                orvane::Ui::instance().msgBox(
                    tr("Your Coverage Response returned Errors ") % CRLF % CRLF %
                        tr("Error Code : ") % code % CRLF % tr("Error Text : ") % errText,
                    MsgButtons::OK, MsgIcon::Critical, tr("Loss Response Error"));
                // No run-time error is pending here: the log line carries only the place.
                logNetworkError(kLossAckLog, QString(), p.line());
                result_ = -1;
                end();
            } else {
                p.at(40);
                lblConfirm->setText(vb::Trim(errText));
                if (declined_ && vb::Val(errText) == 0) {
                    orvane::Ui::instance().msgBox(
                        tr("Your Decline of the work assignment has been accepted."),
                        MsgButtons::OK, MsgIcon::Critical, tr("Decline Accepted"));
                    result_ = -1;
                    end();
                }
            }
            restartTimer();
            return;
        }

        p.at(50);
        dispatch->get_rs(u"g_dispatch.lossidnum = "_s % quoted(lossRef_) %
                         u" ANd g_dispatch.ack = .F."_s);
        Recordset arrived = dispatch->itemsrecordset();
        if (arrived.recordCount() == 0)
            return;

        p.at(60);
        tmrAuthResponse->stop();
        arrived.moveFirst();
        arrived.setValue(u"ack"_s, true);
        arrived.update();
        dispatch->Update();
        refreshENOLNUM();
        finish(3);
        highlight(4);

        p.at(70);
        auto out =
            orvane::CreateObject<ext::IOrvaneOut>(QString::fromUtf16(ext::progid::clsorvaneout));
        auto trans = orvane::CreateObject<ext::Ig_trans>(QString::fromUtf16(ext::progid::g_trans));
        trans->setEnv(orvane::required(invoice_)->Env());
        const QString number = text(arrived, u"Dispatch"_s);
        trans->get_g_trans(u"g_trans.rectype= 'DISPATCH' and g_trans.recid = "_s % quoted(number));
        Recordset tx = trans->itemsrecordset();
        if (tx.recordCount() > 0) {
            p.at(80);
            std::shared_ptr<ext::IInvoice> order;
            out->returnorder(u"DISPATCH"_s % number, text(tx, u"xml"_s), order);
            p.at(90);
            orvane::dispatch::OrderComparison compare;
            compare.setOwner(orvane::handleOf(this));
            compare.setReportInvoice(invoice_);
            compare.setCutTexts(out->cutTexts());
            const bool link = compare.CompareOrders(invoice_, orvane::required(order));
            if (link) {
                p.at(100);
                const Recordset inv = invoice_->itemsrecordset();
                tx.setValue(u"daskid"_s, inv.value(u"idnumber"_s));
                tx.setValue(u"daskloc"_s, inv.value(u"location"_s));
                tx.update();
                trans->Update();
            }
        }
        result_ = 0;
        end();
    } catch (...) {
        pollFailed(p);
    }
}

void eNOLwaitfrm::refreshENOLNUM()
{
    Proc p(kRefresh);
    try {
        p.at(10);
        const auto env = orvane::required(orvane::required(notice_)->Env());
        const auto options = orvane::required(env->Options());
        Recordset open;
        if (!orvane::required(options->dcobject())
                 ->Execute(u"wqkd"_s, openMessagesQuery(), open, {Value(2)}))
            return;
        p.at(20);
        options->writeinistring(u"Orvane"_s, u"ENOL"_s, QString::number(open.recordCount()),
                                env->data_path() % u"Orvane.ini"_s);
    } catch (...) {
        pollFailed(p);
    }
}

} // namespace orvane::loss
