#include "qorOrvaneUI/loss/LossWait.h"

#include "qorOrvaneUI/core/LibraryView.h"
#include "qorOrvaneUI/core/modOrvane.h"
#include "qorOrvaneUI/dispatch/OrderComparison.h"
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
#include <qorOrvaneUI/runtime/VbError.h>

using namespace Qt::StringLiterals;

namespace orvane::loss {

namespace {

using modOrvane::CRLF;
const auto text = modOrvane::FieldText;

// The host's logs know these polls under these names.
const QString kTimer = u"qorOrvaneUI.Authorizationfrm.tmrAuthResponse_Timer"_s;
const QString kCoverage = u"qorOrvaneUI.Authorizationfrm.CheckCoverage"_s;
const QString kLossAckLog = u"qorOrvaneUI.Authorizationfrm.CheckLossAck"_s;
const QString kLossAck = u"qorOrvaneUI.eNolWait.CheckLossAck"_s;
const QString kRefresh = u"qorOrvaneUI.eNolWait.refreshENOLNUM"_s;

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

QString quoted(const QString &value)
{
    return u"'"_s % modOrvane::SQLSafeText(value) % u"'"_s;
}

} // namespace

const QString &LossWait::openMessagesQuery()
{
    static const QString q =
        u"select g_enol.lossrefnum as lossref from g_enol where ack = .F. union select "
        u"g_cover.lossref as lossref from g_cover where ack = .F. union select g_lossack.lossref "
        u"as lossref from g_lossack where ack = .F. union select g_dispatch.lossidnum as lossref "
        u"from g_dispatch where ack = .F."_s;
    return q;
}

void LossWait::release()
{
    notice_.reset();
    cover_.reset();
    lossAck_.reset();
    dispatch_.reset();
    invoice_.reset();
}

void LossWait::end()
{
    ended_ = true;
    if (display_)
        display_->end();
}

void LossWait::tick()
{
    poller_.tick([this] {
        switch (mode_) {
        case 0:
            checkNotice();
            break;
        case 1:
            checkCoverage();
            break;
        default:
            checkLossAck();
            break;
        }
    });
}

void LossWait::failed(const Proc &p) noexcept
{
    poller_.failed([&] { ui::reportTrapped(invoice_, p); });
}

void LossWait::logNetworkError(const QString &procedure, const QString &message, int line) noexcept
{
    try {
        if (!notice_ || !notice_->Env())
            return;
        if (const auto errors = notice_->Env()->ErrorClass())
            errors->ErrorHandle(0, procedure, message, 0, line, 1);
    } catch (...) {
    }
}

std::shared_ptr<ext::IRsTable> LossWait::table(std::shared_ptr<ext::IRsTable> &slot,
                                               const char16_t *progId)
{
    if (!slot) {
        auto t = CreateObject<ext::IRsTable>(QString::fromUtf16(progId));
        t->setEnv(required(notice_)->Env());
        slot = std::move(t);
    }
    return slot;
}

void LossWait::checkNotice()
{
    Proc p(kTimer);
    try {
        p.at(10);
        const QString byGuid = u"g_enol.guid = "_s % quoted(noticeID_);
        required(notice_)->get_rs(byGuid % u" AND ACK = .F."_s);
        Recordset rows = notice_->itemsrecordset();
        if (rows.recordCount() == 0)
            return;

        p.at(20);
        pause();
        // Marked read before it is shown: of two workstations polling the same
        // notice, only the one whose marking counts follows it further.
        if (!ui::Poller::claim(*notice_, rows.clone(), u"Ack"_s)) {
            end();
            return;
        }
        stepDone(0);
        stepWaiting(1);
        rows.moveFirst();
        const QString code = text(rows, u"ErrCode"_s);
        if (isNetworkError(code)) {
            p.at(30);
            QString msg = tr("The Orvane eNOL Received an error\r\n\r\nError Code : %1\r\n"
                             "Error Desc : %2\r\nLoss Reference : %3\r\nLoss Contact : %4"
                             "\r\n\r\n")
                              .arg(code, text(rows, u"ErrText"_s), text(rows, u"Lossrefnum"_s),
                                   text(rows, u"Losscont"_s));
            const bool noAction = needsNoAction(code);
            if (!noAction)
                msg += tr(" Please resolve the issue to try again");
            Ui::instance().msgBox(msg, MsgButtons::OK, MsgIcon::Critical,
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
        resume();
        headline(tr("Waiting on Confirmation Authorization for Loss Reference : %1").arg(lossRef_));
        detail(vb::Trim(text(rows, u"ErrText"_s)));
    } catch (...) {
        failed(p);
    }
}

void LossWait::checkCoverage()
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
        pause();
        stepDone(1);
        stepWaiting(2);
        if (!ui::Poller::claim(*cover, rows.clone(), u"ack"_s)) {
            end(); // another workstation took this answer
            return;
        }
        refreshENOLNUM();
        rows.moveFirst();

        p.at(30);
        const QString code = text(rows, u"errorcode"_s);
        const QString errText = text(rows, u"errortext"_s);
        if (vb::Val(code) == 0 || vb::Trim(errText).isEmpty()) {
            detail(errText);
            headline(tr("Coverage Response has been confirmed"));
            p.at(40);
            const CoverageReply reply =
                display_ ? display_->askCoverage(cover, notice_, invoice_) : CoverageReply();
            p.at(50);
            if (reply.sent) {
                lossRef_ = reply.lossRef;
                mode_ = 2;
                stepDone(2);
                stepWaiting(3);
                declined_ = reply.declined;
            } else {
                result_ = -1;
            }
        } else {
            p.at(60);
            Ui::instance().msgBox(
                tr("Coverage Confirmation Error \r\n\r\nError code : %1\r\nError Text : %2")
                    .arg(code, errText),
                MsgButtons::OK, MsgIcon::Critical, tr("Confirmation Error"));
            end();
        }
        resume();
    } catch (...) {
        failed(p);
    }
}

void LossWait::checkLossAck()
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
            pause();
            stepDone(3);
            stepWaiting(4);
            detail(text(rows, u"errtext"_s));
            headline(tr("Loss Response has been received"));
            if (!ui::Poller::claim(*lossAck, rows.clone(), u"ack"_s)) {
                end(); // another workstation took this answer
                return;
            }
            refreshENOLNUM();
            rows.moveFirst();
            const QString code = text(rows, u"errcode"_s);
            const QString errText = text(rows, u"errtext"_s);
            if (isNetworkError(code)) {
                p.at(30);
                Ui::instance().msgBox(
                    tr("Your Coverage Response returned Errors \r\n\r\nError Code : %1\r\n"
                       "Error Text : %2")
                        .arg(code, errText),
                    MsgButtons::OK, MsgIcon::Critical, tr("Loss Response Error"));
                // No run-time error is pending here: the log line carries only the place.
                logNetworkError(kLossAckLog, QString(), p.line());
                result_ = -1;
                end();
            } else {
                p.at(40);
                detail(vb::Trim(errText));
                if (declined_ && vb::Val(errText) == 0) {
                    Ui::instance().msgBox(
                        tr("Your Decline of the work assignment has been accepted."),
                        MsgButtons::OK, MsgIcon::Critical, tr("Decline Accepted"));
                    result_ = -1;
                    end();
                }
            }
            resume();
            return;
        }

        p.at(50);
        dispatch->get_rs(u"g_dispatch.lossidnum = "_s % quoted(lossRef_) %
                         u" ANd g_dispatch.ack = .F."_s);
        Recordset arrived = dispatch->itemsrecordset();
        if (arrived.recordCount() == 0)
            return;

        p.at(60);
        pause();
        arrived.moveFirst();
        arrived.setValue(u"ack"_s, true);
        arrived.update();
        dispatch->Update();
        refreshENOLNUM();
        stepDone(3);
        stepWaiting(4);

        p.at(70);
        auto out = CreateObject<ext::IOrvaneOut>(QString::fromUtf16(ext::progid::clsorvaneout));
        auto trans = CreateObject<ext::Ig_trans>(QString::fromUtf16(ext::progid::g_trans));
        trans->setEnv(required(invoice_)->Env());
        const QString number = text(arrived, u"Dispatch"_s);
        trans->get_g_trans(u"g_trans.rectype= 'DISPATCH' and g_trans.recid = "_s % quoted(number));
        Recordset tx = trans->itemsrecordset();
        if (tx.recordCount() > 0) {
            p.at(80);
            std::shared_ptr<ext::IInvoice> order;
            out->returnorder(u"DISPATCH"_s % number, text(tx, u"xml"_s), order);
            p.at(90);
            dispatch::OrderComparison compare;
            compare.setOwner(display_ ? display_->owner() : 0);
            compare.setReportInvoice(invoice_);
            compare.setCutTexts(out->cutTexts());
            const bool link = compare.CompareOrders(invoice_, required(order));
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
        failed(p);
    }
}

void LossWait::refreshENOLNUM()
{
    Proc p(kRefresh);
    try {
        p.at(10);
        const auto env = required(required(notice_)->Env());
        const auto options = required(env->Options());
        Recordset open;
        if (!required(options->dcobject())
                 ->Execute(u"wqkd"_s, openMessagesQuery(), open, {Value(2)}))
            return;
        p.at(20);
        options->writeinistring(u"Orvane"_s, u"ENOL"_s, QString::number(open.recordCount()),
                                env->data_path() % u"Orvane.ini"_s);
    } catch (...) {
        failed(p);
    }
}

} // namespace orvane::loss
