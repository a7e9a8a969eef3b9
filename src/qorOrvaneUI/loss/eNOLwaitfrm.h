#pragma once

#include "qorOrvaneUI/core/LibraryView.h"
#include "qorOrvaneUI/loss/LossWait.h"

#include <QString>

#include <array>
#include <memory>

class QLabel;
class QPushButton;
class QTimer;

namespace orvane::loss {

// Shows a loss wait (LossWait) and drives it every five seconds: the five
// step labels show where the claim stands, the coverage request is answered
// in Coveragefrm.
class eNOLwaitfrm : public orvane::ui::LibraryView, private orvane::loss::LossWaitDisplay {
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
    void setNoticeID(const QString &guid) { wait_.setNoticeID(guid); }
    void setLossRef(const QString &lossRef) { wait_.setLossRef(lossRef); }
    void setMode(int mode) { wait_.setMode(mode); }
    void setCheckAtOnce(bool atOnce) { checkAtOnce_ = atOnce; }

    int mode() const { return wait_.mode(); }
    // See LossWait::result.
    int waitResult() const { return wait_.result(); }
    QString lossRef() const { return wait_.lossRef(); }
    bool declined() const { return wait_.declined(); }
    // True once an answer has ended the wait (the view is then hidden).
    bool ended() const { return wait_.ended(); }

    void Form_Activate();
    void tmrAuthResponse_Timer();
    void CheckCoverage();
    void CheckLossAck();
    void refreshENOLNUM();
    void cmdCancel_Click();
    void Form_Unload();

    // The union of loss references that still have an unread message.
    static const QString &openMessagesQuery()
    {
        return orvane::loss::LossWait::openMessagesQuery();
    }

protected:
    void showEvent(QShowEvent *event) override;
    void reject() override { cmdCancel_Click(); }

private:
    void stepDone(int step) override;
    void stepWaiting(int step) override;
    void headline(const QString &text) override;
    void detail(const QString &text) override;
    void pause() override;
    void resume() override;
    void end() override;
    orvane::loss::CoverageReply
    askCoverage(const std::shared_ptr<orvane::ext::IRsTable> &cover,
                const std::shared_ptr<orvane::ext::IRsTable> &notice,
                const std::shared_ptr<orvane::ext::IInvoice> &invoice) override;
    orvane::WindowHandle owner() const override;

    orvane::loss::LossWait wait_;
    bool checkAtOnce_ = false;
    bool activated_ = false;
};

} // namespace orvane::loss
