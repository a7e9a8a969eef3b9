#pragma once

#include "qorOrvaneUI/core/Poller.h"

#include <QCoreApplication>
#include <QString>

#include <memory>

namespace orvane::ext {
class IInvoice;
class Ig_ackn;
} // namespace orvane::ext

namespace orvane::authorization {

// The wait for the network's answer to one authorization request: each tick
// reads the session's unread answer rows; an answer is claimed (marked read
// in one save) before anything is shown, so of two workstations polling one
// session only one takes it. A network error is reported here; the answer
// itself is for the caller to show. Failures report under
// "qorOrvaneUI.Authorizationfrm.<procedure>", the names the host's logs know.
class AuthorizationWait {
    // Its texts are translated as its view's.
    Q_DECLARE_TR_FUNCTIONS(orvane::authorization::Authoriizewaitfrm)

public:
    enum class Outcome {
        Waiting,  // no answer yet, or the look failed (reported once)
        Error,    // the network refused the request; reported
        Answer,   // the answer is this workstation's to show
        Elsewhere // another workstation claimed the answer
    };

    void setInvoice(std::shared_ptr<ext::IInvoice> invoice) { invoice_ = std::move(invoice); }
    const std::shared_ptr<ext::IInvoice> &invoice() const { return invoice_; }
    void setSessionID(const QString &session) { session_ = session; }
    // The answer table object; its rows are the claimed answer after Answer.
    const std::shared_ptr<ext::Ig_ackn> &ackn() const { return ackn_; }

    // Creates the answer table object on the first call; later calls do nothing.
    void activate();
    Outcome tick();
    bool ended() const { return ended_; }
    // Lets go of the order and the table object (the view unloading).
    void release()
    {
        ackn_.reset();
        invoice_.reset();
    }
    const ui::Poller &poller() const { return poller_; }

private:
    Outcome look();

    std::shared_ptr<ext::IInvoice> invoice_;
    std::shared_ptr<ext::Ig_ackn> ackn_;
    QString session_;
    ui::Poller poller_;
    bool activated_ = false;
    bool ended_ = false;
};

} // namespace orvane::authorization
