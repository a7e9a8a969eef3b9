#pragma once

#include "qorOrvaneUI/core/LibraryView.h"

#include <QString>

#include <array>
#include <memory>

class QLabel;
class QPushButton;
class QTimer;

namespace orvane {
class Proc;
namespace ext {
class IInvoice;
class IRsTable;
} // namespace ext
} // namespace orvane

namespace orvane::loss {

// Follows a sent loss notice through the network's answers, polling every five
// seconds: the notice's confirmation (mode 0), the insurer's coverage request,
// answered in Coveragefrm (mode 1), then the loss acknowledgement and the
// dispatch for the loss, which is linked to the order (mode 2). The five step
// labels show where the claim stands. The timer is stopped while an answer is
// handled, so polls never overlap.
class eNOLwaitfrm : public orvane::ui::LibraryView {
    Q_OBJECT
public:
    explicit eNOLwaitfrm(QWidget *parent = nullptr);
    ~eNOLwaitfrm() override;

    std::array<QLabel *, 5> lblStatus{};
    QLabel *lblAuthConfirm = nullptr;
    QLabel *lblConfirm = nullptr;
    QLabel *lblWarning = nullptr;
    QPushButton *cmdCancel = nullptr;
    QTimer *tmrAuthResponse = nullptr;

    void setNoticeTable(std::shared_ptr<orvane::ext::IRsTable> notice);
    void setInvoice(std::shared_ptr<orvane::ext::IInvoice> invoice);
    void setNoticeID(const QString &guid) { noticeID_ = guid; }
    void setLossRef(const QString &lossRef) { lossRef_ = lossRef; }
    void setMode(int mode) { mode_ = mode; }
    void setCheckAtOnce(bool atOnce) { checkAtOnce_ = atOnce; }

    int mode() const { return mode_; }
    // 1: the notice was refused with an error the user must resolve; -1: the
    // claim ended without work (a notice error needing no action, a loss
    // error, an accepted decline, or coverage left unanswered); 0 otherwise.
    int waitResult() const { return result_; }
    QString lossRef() const { return lossRef_; }
    bool declined() const { return declined_; }
    // True once an answer has ended the wait (the view is then hidden).
    bool ended() const { return ended_; }

    void Form_Activate();
    void tmrAuthResponse_Timer();
    void CheckCoverage();
    void CheckLossAck();
    void refreshENOLNUM();
    void cmdCancel_Click();
    void Form_Unload();

    // The union of loss references that still have an unread message.
    static const QString &openMessagesQuery();

protected:
    void showEvent(QShowEvent *event) override;
    void reject() override { cmdCancel_Click(); }

private:
    void checkNotice();
    void highlight(int step);
    void finish(int step);
    void end();
    void restartTimer();
    // A poll's failure, told once: a lasting failure (the database gone, a
    // broken row) would otherwise bring a box every five seconds.
    void pollFailed(const orvane::Proc &p) noexcept;
    // Logs a network error through the host without showing it again.
    void logNetworkError(const QString &procedure, const QString &text, int line) noexcept;
    std::shared_ptr<orvane::ext::IRsTable> table(std::shared_ptr<orvane::ext::IRsTable> &slot,
                                                 const char16_t *progId);

    std::shared_ptr<orvane::ext::IRsTable> notice_, cover_, lossAck_, dispatch_;
    std::shared_ptr<orvane::ext::IInvoice> invoice_;
    QString noticeID_, lossRef_;
    int mode_ = 0;
    int result_ = 0;
    bool declined_ = false;
    bool checkAtOnce_ = false;
    bool activated_ = false;
    bool ended_ = false;
    bool pollFailing_ = false; // the last poll failed, and that was told
    bool failedNow_ = false;   // the poll under way failed
};

} // namespace orvane::loss
