#include "qorOrvaneUI/authorization/Authoriizewaitfrm.h"

#include "qorOrvaneUI/authorization/AuthorizationShowfrm.h"
#include "qorOrvaneUI/authorization/AuthorizationText.h"
#include "qorOrvaneUI/core/StagingWrites.h"
#include "qorOrvaneUI/core/WindowAPImod.h"
#include "qorOrvaneUI/core/modOrvane.h"
#include "runtime/vb.h"
#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/external/Ig_ackn.h>
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

namespace orvane::authorization {

using namespace Qt::StringLiterals;

namespace {

// The wait reports under the authorization view's name, as the host's logs know it.
orvane::Proc authProc(const QString &procedure)
{
    return orvane::Proc(u"qorOrvaneUI.Authorizationfrm."_s % procedure);
}

using modOrvane::CRLF;

} // namespace

Authoriizewaitfrm::Authoriizewaitfrm(QWidget *parent)
    : LibraryView(u"Authoriizewaitfrm"_s, tr("Waiting for Authorization"), parent)
{
    auto *layout = new QVBoxLayout(this);
    lblAuthConfirm = new QLabel(tr("Waiting on Authorization Confirmation"), this);
    lblAuthConfirm->setObjectName(u"lblAuthConfirm"_s);
    QFont big = lblAuthConfirm->font();
    big.setPointSizeF(big.pointSizeF() * 1.25);
    big.setBold(true);
    lblAuthConfirm->setFont(big);
    lblAuthConfirm->setAlignment(Qt::AlignCenter);
    layout->addWidget(lblAuthConfirm);

    lblWarning = new QLabel(tr("If a long period has passed without a response, the Orvane program "
                               "may not be running, or the Orvane Servers may have timed out. "),
                            this);
    lblWarning->setObjectName(u"lblWarning"_s);
    lblWarning->setWordWrap(true);
    lblWarning->hide();
    layout->addWidget(lblWarning);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdCancel = new QPushButton(tr("&Cancel"), this);
    cmdCancel->setObjectName(u"cmdCancel"_s);
    cmdCancel->setMinimumWidth(96);
    cmdCancel->hide();
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);
    connect(cmdCancel, &QPushButton::clicked, this, &Authoriizewaitfrm::cmdCancel_Click);

    tmrAuthResponse = new QTimer(this);
    tmrAuthResponse->setObjectName(u"tmrAuthResponse"_s);
    tmrAuthResponse->setInterval(5000);
    connect(tmrAuthResponse, &QTimer::timeout, this, &Authoriizewaitfrm::tmrAuthResponse_Timer);
    tmrAuthResponse->start();

    // A fixed floor rather than one that follows the contents, so the window
    // never changes its size limits while it is shown.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    setMinimumSize(380, 150);
    resize(460, 170);
    setWindowIcon(orvane::ui::libraryIcon(111));
    registerView();
}

Authoriizewaitfrm::~Authoriizewaitfrm()
{
    Form_Unload();
}

void Authoriizewaitfrm::Form_Unload()
{
    if (!unloadView())
        return;
    tmrAuthResponse->stop();
    ackn_.reset();
    invoice_.reset();
}

void Authoriizewaitfrm::setInvoice(std::shared_ptr<orvane::ext::IInvoice> invoice)
{
    invoice_ = std::move(invoice);
    setErrorInvoice(invoice_);
}

void Authoriizewaitfrm::ActivateMe()
{
    if (activated_)
        return;
    orvane::Proc p = authProc(u"Form_Activate"_s);
    try {
        p.at(10);
        activated_ = true;
        ackn_ = orvane::CreateObject<orvane::ext::Ig_ackn>(
            QString::fromUtf16(orvane::ext::progid::g_ackn));
        p.at(20);
        ackn_->setEnv(orvane::required(invoice_)->Env());
    } catch (...) {
        reportTrapped(p);
    }
}

void Authoriizewaitfrm::reject()
{
    // Until Cancel is offered the wait cannot be abandoned.
    if (cmdCancel->isVisibleTo(this))
        cmdCancel_Click();
}

void Authoriizewaitfrm::cmdCancel_Click()
{
    tmrAuthResponse->stop();
    hide();
}

bool Authoriizewaitfrm::markSessionRead()
{
    ackn_->Get_g_ACKN(u"g_ackn.sessionid = '"_s % modOrvane::SQLSafeText(sessionId_) % u"'"_s);
    return StagingWrites::claim(*ackn_, ackn_->itemsrecordset(), u"Ack"_s);
}

void Authoriizewaitfrm::tmrAuthResponse_Timer()
{
    ++polls_;
    poll();
    // A wait that goes on can always be abandoned from the fourth tick, even
    // when that tick's poll failed; an answer ends the wait instead.
    if (polls_ >= 4 && !answered_ && !cmdCancel->isVisibleTo(this)) {
        cmdCancel->show();
        lblWarning->show();
    }
}

void Authoriizewaitfrm::poll()
{
    orvane::Proc p = authProc(u"tmrAuthResponse_Timer"_s);
    try {
        p.at(10);
        orvane::required(ackn_)->Get_g_ACKN(
            u"g_ackn.sessionid = '"_s % modOrvane::SQLSafeText(sessionId_) % u"' AND ACK = .F."_s);
        p.at(20);
        orvane::Recordset rows = ackn_->itemsrecordset();
        if (rows.recordCount() > 0) {
            p.at(30);
            tmrAuthResponse->stop();
            answered_ = true;
            rows.moveFirst();
            const QString errorCode = authorization::textOf(rows, u"ErrorCode"_s);
            const QString errorText = authorization::textOf(rows, u"ErrorText"_s);
            // Marked read before it is shown: of two workstations polling the
            // same session, only the one whose marking counts shows the answer.
            if (!markSessionRead()) {
                hide();
            } else if (vb::Left(errorCode, 1) == u"e"_s) {
                p.at(40);
                orvane::ui::reportMessage(
                    invoice_, p.name(),
                    tr("The Orvane Transmission Received an error") % CRLF % CRLF %
                        tr("Error Code : ") % vb::Trim(errorCode) % CRLF % tr("Error Desc : ") %
                        vb::Trim(errorText) % CRLF % CRLF %
                        tr("You may want to try your authorization again later"),
                    p.line());
                p.at(50);
                orvane::Ui::instance().doEvents();
                hide();
            } else {
                p.at(70);
                orvane::Ui::instance().doEvents();
                p.at(90);
                showResults();
            }
        }
        p.at(100);
        pollFailing_ = false;
    } catch (...) {
        // A lasting failure is told once, not every five seconds; the next
        // failure after a poll that worked is told again.
        if (!pollFailing_)
            reportTrapped(p);
        pollFailing_ = true;
    }
}

void Authoriizewaitfrm::showResults()
{
    orvane::Proc p = authProc(u"showResults"_s);
    try {
        p.at(10);
        {
            AuthorizationShowfrm results(this);
            results.setAckObject(ackn_);
            results.setInvoice(invoice_);
            p.at(20);
            WindowAPImod::CentreOverOwner(orvane::handleOf(this), &results);
            orvane::Ui::instance().showModal(&results);
            p.at(30);
            results.Form_Unload();
        }
        hide();
    } catch (...) {
        reportTrapped(p);
    }
}

} // namespace orvane::authorization
