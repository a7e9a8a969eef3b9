#include "qorOrvaneUI/dispatch/frmEscheduleInfo.h"

#include <qorOrvaneUI/widgets/Ui.h>

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace orvane::dispatch {

using namespace Qt::StringLiterals;

frmEscheduleInfo::frmEscheduleInfo(QWidget *parent)
    : LibraryView(u"frmEscheduleInfo"_s, tr("Orvane ESchedule Information"), parent)
{

    static constexpr const char *captions[] = {
        QT_TR_NOOP("Requested Appointment Date :"), QT_TR_NOOP("Begin Request Time :"),
        QT_TR_NOOP("End Request Time :"), QT_TR_NOOP("Mobile Location Description :"),
        QT_TR_NOOP("Mobile ? :")};
    auto *grid = new QGridLayout(this);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(8);
    for (int i = 0; i < 5; ++i) {
        auto *caption = new QLabel(tr(captions[i]), this);
        caption->setObjectName(u"lblEschedule_"_s % QString::number(i));
        caption->setAlignment(Qt::AlignRight | Qt::AlignTop);
        auto *value = new QLabel(this);
        value->setObjectName(u"lblEsched_"_s % QString::number(i));
        value->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        // A long location description wraps rather than widening the view off the screen.
        value->setWordWrap(true);
        value->setMinimumWidth(300);
        value->setTextFormat(Qt::PlainText);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        QFont bold = value->font();
        bold.setBold(true);
        value->setFont(bold);
        grid->addWidget(caption, i, 0);
        grid->addWidget(value, i, 1);
        lblEschedule[std::size_t(i)] = caption;
        lblEsched[std::size_t(i)] = value;
    }
    grid->setColumnStretch(1, 1);
    // Size limits are fixed before the view is shown (never changed while it is).
    grid->setSizeConstraint(QLayout::SetNoConstraint);

    auto *ok = new QPushButton(tr("&OK"), this);
    ok->setObjectName(u"cmdAction_0"_s);
    ok->setToolTip(tr("Click to accept changes to agent and exit screen"));
    ok->setDefault(true);
    cmdAction[0] = ok;
    grid->addWidget(ok, 5, 0, 1, 2, Qt::AlignRight);
    connect(ok, &QPushButton::clicked, this, [this] { cmdAction_Click(0); });
    setMinimumSize(grid->sizeHint());
}

void frmEscheduleInfo::Form_Load()
{
    try {
        setWindowIcon(orvane::ui::libraryIcon(164));
        cmdAction[0]->setIcon(orvane::ui::libraryIcon(101));
        adjustSize();
        const QSize screen = orvane::Ui::instance().screenSize();
        const QSize view = frameGeometry().size();
        move((screen.width() - view.width()) / 2, (screen.height() - view.height()) / 2);
    } catch (...) {
    }
}

void frmEscheduleInfo::cmdAction_Click(int index)
{
    if (index == 0)
        hide();
}

} // namespace orvane::dispatch
