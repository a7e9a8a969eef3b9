#pragma once

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

// "Waiting for Authorization": polls the answer rows of one request every
// five seconds until the network has answered or the user cancels. An error
// answer is reported; any other answer opens the results. Either way every
// row of the request is marked read and the view hides itself. Cancel and its
// warning appear from the fourth poll without an answer, whether or not that
// poll worked; a poll that keeps failing is reported once.
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
    void setSessionID(const QString &session) { sessionId_ = session; }

    // Creates the answer table object on the first call; later calls do nothing.
    void ActivateMe();
    void tmrAuthResponse_Timer();
    void showResults();
    void cmdCancel_Click();
    void Form_Unload();

    int pollCount() const { return polls_; }
    bool answered() const { return answered_; }

protected:
    void reject() override;

private:
    // Marks the session's answer read in one save; false when another
    // workstation marked it first (the answer is then that one's to show).
    bool markSessionRead();
    // One look at the answer rows, with its failure trapped.
    void poll();

    std::shared_ptr<orvane::ext::IInvoice> invoice_;
    std::shared_ptr<orvane::ext::Ig_ackn> ackn_;
    QString sessionId_;
    bool activated_ = false;
    bool answered_ = false;
    bool pollFailing_ = false; // the last poll failed and was reported
    std::int32_t polls_ = 0;
};

} // namespace orvane::authorization
