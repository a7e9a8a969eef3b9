#include "qorOrvaneUI/loss/eNOLwaitfrm.h"

#include "qorOrvaneUI/core/StagingWrites.h"
#include "qorOrvaneUI/core/WindowAPImod.h"
#include "qorOrvaneUI/core/modOrvane.h"
#include "qorOrvaneUI/core/widgets/PollTimer.h"
#include "qorOrvaneUI/dispatch/OrderComparison.h"
#include "qorOrvaneUI/loss/Coveragefrm.h"
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
#include <qorOrvaneUI/widgets/Ui.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace orvane::loss {

using namespace Qt::StringLiterals;

namespace {

const QColor kWaiting(255, 0, 0);
const QColor kDone(255, 255, 255);
const QColor kDoneBack(0, 0, 128);

} // namespace

eNOLwaitfrm::eNOLwaitfrm(QWidget *parent)
    : LibraryView(u"eNOLwaitfrm"_s, tr("Waiting for Authorization"), parent)
{
    auto *layout = new QVBoxLayout(this);
    auto *steps = new QHBoxLayout;
    static constexpr const char *captions[] = {
        QT_TR_NOOP("Claim Confirmation"), QT_TR_NOOP("Coverage Response"),
        QT_TR_NOOP("Send Loss Acknowledgment"), QT_TR_NOOP("Loss Confirmation"),
        QT_TR_NOOP("Receive Work Assignment")};
    for (std::size_t i = 0; i < lblStatus.size(); ++i) {
        auto *l = new QLabel(tr(captions[i]), this);
        l->setObjectName(u"lblStatus_%1"_s.arg(i));
        l->setAlignment(Qt::AlignCenter);
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setMargin(4);
        l->setWordWrap(true);
        lblStatus[i] = l;
        steps->addWidget(l, 1);
    }
    layout->addLayout(steps);

    lblAuthConfirm = new QLabel(tr("Waiting on Authorization Confirmation for Claim Launch"), this);
    lblAuthConfirm->setObjectName(u"lblAuthConfirm"_s);
    QFont big = lblAuthConfirm->font();
    big.setPointSizeF(big.pointSizeF() * 1.2);
    big.setBold(true);
    lblAuthConfirm->setFont(big);
    lblAuthConfirm->setAlignment(Qt::AlignCenter);
    lblAuthConfirm->setWordWrap(true);
    layout->addWidget(lblAuthConfirm);

    lblConfirm = new QLabel(this);
    lblConfirm->setObjectName(u"lblConfirm"_s);
    lblConfirm->setAlignment(Qt::AlignCenter);
    lblConfirm->setWordWrap(true);
    layout->addWidget(lblConfirm);

    lblWarning =
        new QLabel(tr("If a long period elapses, you may want to cancel and retrieve your "
                      "eNOL messages at a later time.  If one comes in you will be notified "
                      "in your Dask Toolbar"),
                   this);
    lblWarning->setObjectName(u"lblWarning"_s);
    lblWarning->setWordWrap(true);
    layout->addWidget(lblWarning);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdCancel = new QPushButton(tr("&Cancel"), this);
    cmdCancel->setObjectName(u"cmdCancel"_s);
    cmdCancel->setMinimumWidth(96);
    cmdCancel->setDefault(true);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);
    connect(cmdCancel, &QPushButton::clicked, this, &eNOLwaitfrm::cmdCancel_Click);

    tmrAuthResponse = orvane::ui::startPollTimer(this, &eNOLwaitfrm::tmrAuthResponse_Timer);
    wait_.setDisplay(this);

    layout->setSizeConstraint(QLayout::SetNoConstraint);
    setMinimumSize(520, 200);
    resize(620, 230);
    setWindowIcon(orvane::ui::libraryIcon(111));
    registerView();
}

eNOLwaitfrm::~eNOLwaitfrm()
{
    Form_Unload();
}

void eNOLwaitfrm::Form_Unload()
{
    if (!unloadView())
        return;
    tmrAuthResponse->stop();
    wait_.release();
}

void eNOLwaitfrm::setNoticeTable(std::shared_ptr<orvane::ext::IRsTable> notice)
{
    wait_.setNoticeTable(std::move(notice));
}

void eNOLwaitfrm::setInvoice(std::shared_ptr<orvane::ext::IInvoice> invoice)
{
    setErrorInvoice(invoice);
    wait_.setInvoice(std::move(invoice));
}

void eNOLwaitfrm::showEvent(QShowEvent *event)
{
    LibraryView::showEvent(event);
    // After the window is up, so that a first answer's box stands over it.
    QTimer::singleShot(0, this, &eNOLwaitfrm::Form_Activate);
}

void eNOLwaitfrm::Form_Activate()
{
    if (activated_)
        return;
    activated_ = true;
    // A wait reopened further on shows the steps already behind it.
    const int mode = wait_.mode();
    const int waitingFor = mode == 0 ? 0 : mode == 1 ? 1 : 3;
    for (int i = 0; i < waitingFor; ++i)
        stepDone(i);
    stepWaiting(waitingFor);
    if (checkAtOnce_)
        tmrAuthResponse_Timer();
}

void eNOLwaitfrm::stepWaiting(int step)
{
    QLabel *l = lblStatus[std::size_t(step)];
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, kWaiting);
    l->setPalette(pal);
}

void eNOLwaitfrm::stepDone(int step)
{
    QLabel *l = lblStatus[std::size_t(step)];
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, kDone);
    pal.setColor(QPalette::Window, kDoneBack);
    l->setPalette(pal);
    l->setAutoFillBackground(true);
    l->setFrameShadow(QFrame::Plain);
}

void eNOLwaitfrm::headline(const QString &text)
{
    lblAuthConfirm->setText(text);
}

void eNOLwaitfrm::detail(const QString &text)
{
    lblConfirm->setText(text);
}

void eNOLwaitfrm::pause()
{
    tmrAuthResponse->stop();
}

void eNOLwaitfrm::resume()
{
    tmrAuthResponse->start();
}

void eNOLwaitfrm::end()
{
    tmrAuthResponse->stop();
    hide();
}

void eNOLwaitfrm::cmdCancel_Click()
{
    tmrAuthResponse->stop();
    hide();
}

orvane::WindowHandle eNOLwaitfrm::owner() const
{
    return orvane::handleOf(this);
}

orvane::loss::CoverageReply
eNOLwaitfrm::askCoverage(const std::shared_ptr<orvane::ext::IRsTable> &cover,
                         const std::shared_ptr<orvane::ext::IRsTable> &notice,
                         const std::shared_ptr<orvane::ext::IInvoice> &invoice)
{
    Coveragefrm coverage(this);
    WindowAPImod::CentreOverOwner(orvane::handleOf(this), &coverage);
    coverage.setCoverage(cover);
    coverage.setNotice(notice);
    coverage.setInvoice(invoice);
    orvane::Ui::instance().showModal(&coverage);
    orvane::loss::CoverageReply reply;
    reply.sent = coverage.sent();
    if (reply.sent) {
        reply.lossRef = coverage.lossRef();
        reply.declined = coverage.declined();
    }
    coverage.Form_Unload();
    return reply;
}

void eNOLwaitfrm::tmrAuthResponse_Timer()
{
    wait_.tick();
}

void eNOLwaitfrm::CheckCoverage()
{
    wait_.checkCoverage();
}

void eNOLwaitfrm::CheckLossAck()
{
    wait_.checkLossAck();
}

void eNOLwaitfrm::refreshENOLNUM()
{
    wait_.refreshENOLNUM();
}

} // namespace orvane::loss
