#include "dispatch/Dispatchfrm.h"

#include "Ui.h"
#include "report/ReportViewer.h"

#include <QResizeEvent>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr double kTwipsPerPixel = 15.0;
constexpr double kViewerMarginTwips = 500.0;

} // namespace

Dispatchfrm::Dispatchfrm(QWidget *parent)
    : LibraryView(u"Dispatchfrm"_s, tr("Dispatch View"), parent)
{
    setSizeGripEnabled(true);
    crvDispatch = new orvane::report::ReportViewer(this);
    crvDispatch->setObjectName(u"crvDispatch"_s);

    // A page-wide report wants a tall window, but never taller than the screen.
    QSize size(880, 980);
    const QSize screen = orvane::Ui::instance().screenSize();
    if (screen.isValid() && !screen.isEmpty())
        size = size.boundedTo(
            QSize(std::max(320, screen.width() - 40), std::max(240, screen.height() - 80)));
    resize(size);
    Form_Load();
    Form_Resize();
}

Dispatchfrm::~Dispatchfrm()
{
    Form_Unload();
}

int Dispatchfrm::bottomMargin()
{
    return int(std::lround(kViewerMarginTwips / kTwipsPerPixel));
}

void Dispatchfrm::Form_Load()
{
    registerView();
}

void Dispatchfrm::Form_Resize()
{
    // A view shorter than the margin gives the viewer no height rather than a negative one.
    crvDispatch->setGeometry(0, 0, width(), std::max(0, height() - bottomMargin()));
}

void Dispatchfrm::Form_Unload()
{
    unloadView();
}

void Dispatchfrm::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}
