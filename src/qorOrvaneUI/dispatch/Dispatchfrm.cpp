#include "qorOrvaneUI/dispatch/Dispatchfrm.h"

#include "runtime/widgets/report/ReportViewer.h"
#include <qorOrvaneUI/widgets/Ui.h>
#include <qorOrvaneUI/widgets/report/Report.h>

#include <QAction>
#include <QPushButton>
#include <QRegularExpression>
#include <QResizeEvent>
#include <QShowEvent>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace orvane::dispatch {

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
    addCommand(cmdPrint, u"cmdPrint"_s, tr("&Print..."), QKeySequence::Print,
               &Dispatchfrm::cmdPrint_Click);
    addCommand(cmdSavePdf, u"cmdSavePdf"_s, tr("&Save as PDF..."), QKeySequence::Save,
               &Dispatchfrm::cmdSavePdf_Click);

    // A page-wide report wants a tall window, but never taller than the screen.
    QSize size(880, 980);
    // The free area, so a task bar does not hide the button strip.
    const QSize screen = orvane::Ui::instance().screenArea().size();
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

void Dispatchfrm::addCommand(QPushButton *&button, const QString &name, const QString &caption,
                             QKeySequence::StandardKey key, void (Dispatchfrm::*handler)())
{
    button = new QPushButton(caption, this);
    button->setObjectName(name);
    // Enter belongs to the report, never to a button that opens a dialog.
    button->setAutoDefault(false);
    auto *action = new QAction(this);
    action->setShortcut(key);
    addAction(action);
    button->setToolTip(QString(caption).remove(u'&').remove(u"..."_s) % u" ("_s %
                       action->shortcut().toString(QKeySequence::NativeText) % u")"_s);
    connect(button, &QPushButton::clicked, this, handler);
    connect(action, &QAction::triggered, this, handler);
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
    const int viewerHeight = std::max(0, height() - bottomMargin());
    crvDispatch->setGeometry(0, 0, width(), viewerHeight);
    // The buttons sit right-aligned in the strip below the report.
    const int gap = 6;
    int right = width() - gap;
    for (QPushButton *button : {cmdSavePdf, cmdPrint}) {
        const QSize hint = button->sizeHint();
        const int h = std::min(hint.height(), bottomMargin() - 4);
        right -= hint.width();
        button->setGeometry(right, viewerHeight + (bottomMargin() - h) / 2, hint.width(), h);
        right -= gap;
    }
}

QString Dispatchfrm::documentName() const
{
    QString number;
    const orvane::report::Report *report = crvDispatch->report();
    try {
        if (report && report->tableCount() >= 1 && report->table(1).hasDataSource()) {
            const orvane::Recordset rs = report->table(1).dataSource().clone();
            if (rs.recordCount() > 0)
                number = rs.value(u"DispatchNumber"_s).toText().trimmed();
        }
    } catch (const orvane::VbError &) {
        // A dispatch without a readable number still prints, under a plain name.
    }
    // The number becomes part of a file name: no folder separators or
    // characters a file system refuses.
    static const QRegularExpression unsafe(uR"([\\/:*?"<>|\x00-\x1f])"_s);
    number.replace(unsafe, u"_"_s);
    return number.isEmpty() ? tr("Dispatch") : tr("Dispatch %1").arg(number);
}

void Dispatchfrm::cmdPrint_Click()
{
    orvane::Proc p = proc(u"cmdPrint_Click"_s);
    try {
        p.at(10);
        crvDispatch->printReport(documentName());
    } catch (...) {
        reportTrapped(p);
    }
}

void Dispatchfrm::cmdSavePdf_Click()
{
    orvane::Proc p = proc(u"cmdSavePdf_Click"_s);
    try {
        p.at(10);
        crvDispatch->saveAsPdf(documentName() % u".pdf"_s);
    } catch (...) {
        reportTrapped(p);
    }
}

void Dispatchfrm::Form_Unload()
{
    unloadView();
}

QRect Dispatchfrm::fittedFrame(const QRect &frame, const QRect &area)
{
    QRect fitted = frame;
    fitted.setWidth(std::min(frame.width(), area.width()));
    fitted.setHeight(std::min(frame.height(), area.height()));
    fitted.moveLeft(std::clamp(frame.left(), area.left(), area.right() - fitted.width() + 1));
    fitted.moveTop(std::clamp(frame.top(), area.top(), area.bottom() - fitted.height() + 1));
    return fitted;
}

void Dispatchfrm::fitToScreen()
{
    const QRect area = orvane::Ui::instance().screenArea();
    if (area.isEmpty() || isMaximized() || isFullScreen())
        return;
    // The window's size is without its title bar; a saved or page-tall size
    // would otherwise push the Print and Save as PDF strip below the screen.
    const QRect frame = frameGeometry();
    const QMargins decoration(geometry().left() - frame.left(), geometry().top() - frame.top(),
                              frame.right() - geometry().right(),
                              frame.bottom() - geometry().bottom());
    const QRect fitted = fittedFrame(frame, area);
    if (fitted == frame)
        return;
    resize(fitted.width() - decoration.left() - decoration.right(),
           fitted.height() - decoration.top() - decoration.bottom());
    move(fitted.topLeft());
}

void Dispatchfrm::showEvent(QShowEvent *event)
{
    LibraryView::showEvent(event);
    fitToScreen();
    // The window manager may add its frame only once the window is mapped.
    QTimer::singleShot(0, this, &Dispatchfrm::fitToScreen);
}

void Dispatchfrm::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

} // namespace orvane::dispatch
