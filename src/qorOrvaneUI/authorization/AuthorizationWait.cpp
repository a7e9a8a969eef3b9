#include "qorOrvaneUI/authorization/AuthorizationWait.h"

#include "qorOrvaneUI/authorization/AuthorizationText.h"
#include "qorOrvaneUI/core/LibraryView.h"
#include "qorOrvaneUI/core/modOrvane.h"
#include "runtime/vb.h"
#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/external/Ig_ackn.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/VbError.h>

using namespace Qt::StringLiterals;
using orvane::authorization::textOf;

namespace orvane::authorization {

namespace {

Proc authProc(const QString &procedure)
{
    return Proc(u"qorOrvaneUI.Authorizationfrm."_s % procedure);
}

using modOrvane::CRLF;

} // namespace

void AuthorizationWait::activate()
{
    if (activated_)
        return;
    Proc p = authProc(u"Form_Activate"_s);
    try {
        p.at(10);
        activated_ = true;
        ackn_ = CreateObject<ext::Ig_ackn>(QString::fromUtf16(ext::progid::g_ackn));
        p.at(20);
        ackn_->setEnv(required(invoice_)->Env());
    } catch (...) {
        ui::reportTrapped(invoice_, p);
    }
}

AuthorizationWait::Outcome AuthorizationWait::tick()
{
    Outcome outcome = Outcome::Waiting;
    poller_.tick([&] { outcome = look(); });
    if (outcome != Outcome::Waiting)
        ended_ = true;
    return outcome;
}

AuthorizationWait::Outcome AuthorizationWait::look()
{
    Proc p = authProc(u"tmrAuthResponse_Timer"_s);
    try {
        p.at(10);
        const QString bySession =
            u"g_ackn.sessionid = '"_s % modOrvane::SQLSafeText(session_) % u"'"_s;
        required(ackn_)->Get_g_ACKN(bySession % u" AND ACK = .F."_s);
        p.at(20);
        Recordset rows = ackn_->itemsrecordset();
        if (rows.recordCount() == 0)
            return Outcome::Waiting;
        p.at(30);
        rows.moveFirst();
        const QString errorCode = textOf(rows, u"ErrorCode"_s);
        const QString errorText = textOf(rows, u"ErrorText"_s);
        // Claimed before it is shown, over every row of the session.
        ackn_->Get_g_ACKN(bySession);
        if (!ui::Poller::claim(*ackn_, ackn_->itemsrecordset(), u"Ack"_s))
            return Outcome::Elsewhere;
        if (vb::Left(errorCode, 1) != u"e"_s)
            return Outcome::Answer;
        p.at(40);
        ui::reportMessage(invoice_, p.name(),
                          tr("The Orvane Transmission Received an error\r\n\r\nError Code : %1\r\n"
                             "Error Desc : %2\r\n\r\nYou may want to try your authorization again "
                             "later")
                              .arg(vb::Trim(errorCode), vb::Trim(errorText)),
                          p.line());
        return Outcome::Error;
    } catch (...) {
        poller_.failed([&] { ui::reportTrapped(invoice_, p); });
        return Outcome::Waiting;
    }
}

} // namespace orvane::authorization
