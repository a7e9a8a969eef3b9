#include "qorOrvaneUI/authorization/Authoriizewaitfrm.h"

#include "qorOrvaneUI/authorization/AuthorizationShowfrm.h"
#include "qorOrvaneUI/authorization/AuthorizationText.h"
#include "qorOrvaneUI/core/StagingWrites.h"
#include "qorOrvaneUI/core/WindowAPImod.h"
#include "qorOrvaneUI/core/modOrvane.h"
#include "qorOrvaneUI/core/widgets/PollTimer.h"
#include "runtime/vb.h"
#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/external/Ig_ackn.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/widgets/Ui.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvane::authorization {

using namespace Qt::StringLiterals;

namespace {

// The wait reports under the authorization view's name, as the host's logs know it.
orvane::Proc authProc(const QString &procedure)
{
    return orvane::Proc(u"qorOrvaneUI.Authorizationfrm."_s % procedure);
}

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

    tmrAuthResponse = orvane::ui::startPollTimer(this, &Authoriizewaitfrm::tmrAuthResponse_Timer);

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
    wait_.release();
}

void Authoriizewaitfrm::setInvoice(std::shared_ptr<orvane::ext::IInvoice> invoice)
{
    setErrorInvoice(invoice);
    wait_.setInvoice(std::move(invoice));
}

void Authoriizewaitfrm::ActivateMe()
{
    wait_.activate();
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

void Authoriizewaitfrm::tmrAuthResponse_Timer()
{
    using Outcome = orvane::authorization::AuthorizationWait::Outcome;
    const Outcome outcome = wait_.tick();
    if (outcome != Outcome::Waiting) {
        tmrAuthResponse->stop();
        orvane::Proc p = authProc(u"tmrAuthResponse_Timer"_s);
        try {
            p.at(50);
            if (outcome != Outcome::Elsewhere)
                orvane::Ui::instance().doEvents();
            p.at(90);
            if (outcome == Outcome::Answer)
                showResults();
            else
                hide();
        } catch (...) {
            reportTrapped(p);
        }
    } else if (wait_.poller().cancelDue() && !cmdCancel->isVisibleTo(this)) {
        // A wait that goes on can always be abandoned, even when the tick's poll failed.
        cmdCancel->show();
        lblWarning->show();
    }
}

void Authoriizewaitfrm::showResults()
{
    orvane::Proc p = authProc(u"showResults"_s);
    try {
        p.at(10);
        {
            AuthorizationShowfrm results(this);
            results.setAckObject(wait_.ackn());
            results.setInvoice(wait_.invoice());
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
