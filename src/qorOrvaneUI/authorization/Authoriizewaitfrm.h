#pragma once

#include "qorOrvaneUI/authorization/AuthorizationWait.h"
#include "qorOrvaneUI/core/LibraryView.h"

#include <memory>

class QLabel;
class QPushButton;
class QTimer;

namespace orvane::ext {
class IInvoice;
class Ig_ackn;
} // namespace orvane::ext

namespace orvane::authorization {

// "Waiting for Authorization": drives the wait (AuthorizationWait) from its
// five-second timer until the network has answered or the user cancels. An
// error answer has been reported by the wait; any other answer opens the
// results. Either way the view hides itself. Cancel and its warning appear
// from the fourth poll without an answer, whether or not that poll worked.
class Authoriizewaitfrm : public orvane::ui::LibraryView {
    Q_OBJECT
public:
    explicit Authoriizewaitfrm(QWidget *parent = nullptr);
    ~Authoriizewaitfrm() override;

    QTimer *tmrAuthResponse = nullptr;
    QLabel *lblAuthConfirm = nullptr;
    QLabel *lblWarning = nullptr;
    QPushButton *cmdCancel = nullptr;

    void setInvoice(std::shared_ptr<orvane::ext::IInvoice> invoice);
    void setSessionID(const QString &session) { wait_.setSessionID(session); }

    // Creates the answer table object on the first call; later calls do nothing.
    void ActivateMe();
    void tmrAuthResponse_Timer();
    void showResults();
    void cmdCancel_Click();
    void Form_Unload();

    int pollCount() const { return wait_.poller().ticks(); }
    bool answered() const { return wait_.ended(); }

protected:
    void reject() override;

private:
    orvane::authorization::AuthorizationWait wait_;
};

} // namespace orvane::authorization
