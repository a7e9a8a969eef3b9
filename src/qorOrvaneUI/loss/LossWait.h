#pragma once

#include "qorOrvaneUI/core/Poller.h"
#include <qorOrvaneUI/widgets/Ui.h>

#include <QCoreApplication>
#include <QString>

#include <memory>

namespace orvane {
class Proc;
namespace ext {
class IInvoice;
class IRsTable;
} // namespace ext
} // namespace orvane

namespace orvane::loss {

// What the insurer's coverage request was answered with.
struct CoverageReply {
    bool sent = false; // false: left unanswered
    QString lossRef;
    bool declined = false;
};

// Where a loss wait shows itself: the five steps (0 the claim confirmation
// to 4 the work assignment), its two lines of text and its timer. A wait
// without one (a workstation without a screen) shows nothing and leaves a
// coverage request unanswered.
class LossWaitDisplay {
public:
    virtual ~LossWaitDisplay() = default;
    virtual void stepDone(int step) = 0;
    virtual void stepWaiting(int step) = 0;
    virtual void headline(const QString &text) = 0;
    virtual void detail(const QString &text) = 0;
    // The timer stops while an answer is handled, so polls never overlap.
    virtual void pause() = 0;
    virtual void resume() = 0;
    // The wait is over.
    virtual void end() = 0;
    virtual CoverageReply askCoverage(const std::shared_ptr<ext::IRsTable> &cover,
                                      const std::shared_ptr<ext::IRsTable> &notice,
                                      const std::shared_ptr<ext::IInvoice> &invoice) = 0;
    // The window a dispatch comparison opens over.
    virtual WindowHandle owner() const = 0;
};

// Follows a sent loss notice through the network's answers: the notice's
// confirmation (mode 0), the insurer's coverage request (mode 1), then the
// loss acknowledgement and the dispatch for the loss, which is linked to the
// order (mode 2). Each answer is claimed (marked read in one save) before it
// is followed, so of two workstations only one follows it. Failures report
// under the names the host's logs know ("qorOrvaneUI.Authorizationfrm.
// tmrAuthResponse_Timer", "qorOrvaneUI.eNolWait.CheckLossAck", ...).
class LossWait {
    // Its texts are translated as its view's.
    Q_DECLARE_TR_FUNCTIONS(orvane::loss::eNOLwaitfrm)

public:
    void setDisplay(LossWaitDisplay *display) { display_ = display; }
    void setNoticeTable(std::shared_ptr<ext::IRsTable> notice) { notice_ = std::move(notice); }
    void setInvoice(std::shared_ptr<ext::IInvoice> invoice) { invoice_ = std::move(invoice); }
    void setNoticeID(const QString &guid) { noticeID_ = guid; }
    void setLossRef(const QString &lossRef) { lossRef_ = lossRef; }
    void setMode(int mode) { mode_ = mode; }

    int mode() const { return mode_; }
    // 1: the notice was refused with an error the user must resolve; -1: the
    // claim ended without work (a notice error needing no action, a loss
    // error, an accepted decline, or coverage left unanswered); 0 otherwise.
    int result() const { return result_; }
    QString lossRef() const { return lossRef_; }
    bool declined() const { return declined_; }
    bool ended() const { return ended_; }
    const ui::Poller &poller() const { return poller_; }

    // One look for the answer the mode waits for.
    void tick();
    void checkNotice();
    void checkCoverage();
    void checkLossAck();
    // Writes the count of loss references with an unread message to Orvane.ini.
    void refreshENOLNUM();
    // Lets go of the tables and the order (the view unloading).
    void release();

    // The union of loss references that still have an unread message.
    static const QString &openMessagesQuery();

private:
    void end();
    void pause()
    {
        if (display_)
            display_->pause();
    }
    void resume()
    {
        if (display_ && !ended_)
            display_->resume();
    }
    void stepDone(int step)
    {
        if (display_)
            display_->stepDone(step);
    }
    void stepWaiting(int step)
    {
        if (display_)
            display_->stepWaiting(step);
    }
    void headline(const QString &text)
    {
        if (display_)
            display_->headline(text);
    }
    void detail(const QString &text)
    {
        if (display_)
            display_->detail(text);
    }
    void failed(const Proc &p) noexcept;
    void logNetworkError(const QString &procedure, const QString &text, int line) noexcept;
    std::shared_ptr<ext::IRsTable> table(std::shared_ptr<ext::IRsTable> &slot,
                                         const char16_t *progId);

    LossWaitDisplay *display_ = nullptr;
    std::shared_ptr<ext::IRsTable> notice_, cover_, lossAck_, dispatch_;
    std::shared_ptr<ext::IInvoice> invoice_;
    QString noticeID_, lossRef_;
    ui::Poller poller_;
    int mode_ = 0;
    int result_ = 0;
    bool declined_ = false;
    bool ended_ = false;
};

} // namespace orvane::loss
