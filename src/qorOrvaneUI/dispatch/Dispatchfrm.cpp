#include "dispatch/Dispatchfrm.h"

#include "ObjectRegistry.h"
#include "Ui.h"
#include "external/IControlUI.h"
#include "external/ProgIds.h"
#include "report/ReportViewer.h"

#include <QResizeEvent>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr double kTwipsPerPixel = 15.0;
constexpr double kViewerMarginTwips = 500.0;

// The host's layout service is optional: a host without it still shows the report.
template <class Call> void withControlUI(Call call)
{
    try {
        const auto controlUI = orvane::CreateObject<orvane::ext::IControlUI>(
            QString::fromUtf16(orvane::ext::progid::ControlUI));
        call(*controlUI);
    } catch (...) {
    }
}

} // namespace

Dispatchfrm::Dispatchfrm(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"Dispatchfrm"_s);
    setWindowTitle(u"Dispatch View"_s);
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
    withControlUI([this](orvane::ext::IControlUI &ui) { ui.Initialize(this, objectName()); });
}

void Dispatchfrm::Form_Resize()
{
    // A view shorter than the margin gives the viewer no height rather than a negative one.
    crvDispatch->setGeometry(0, 0, width(), std::max(0, height() - bottomMargin()));
}

void Dispatchfrm::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    withControlUI([this](orvane::ext::IControlUI &ui) { ui.Terminate(this, objectName()); });
}

void Dispatchfrm::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}
