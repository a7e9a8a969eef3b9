#pragma once

#include "qorOrvaneUI/core/LibraryView.h"

#include <QKeySequence>

namespace orvane::report {
class ReportViewer;
}

class QPushButton;

namespace orvane::dispatch {

// "Dispatch View": a received dispatch rendered as a report. The user reads
// it, prints it or saves it as PDF (buttons in the strip below the report,
// Ctrl+P and Ctrl+S) and closes the window.
class Dispatchfrm : public orvane::ui::LibraryView {
    Q_OBJECT
public:
    explicit Dispatchfrm(QWidget *parent = nullptr);
    ~Dispatchfrm() override;

    orvane::report::ReportViewer *crvDispatch = nullptr;
    QPushButton *cmdPrint = nullptr;
    QPushButton *cmdSavePdf = nullptr;

    void cmdPrint_Click();
    void cmdSavePdf_Click();
    // "Dispatch <number>", the name a print job or PDF file is offered under.
    QString documentName() const;

    // Registers the view with the host's layout service; failures are ignored.
    void Form_Load();
    // The viewer takes the view's width and its height less 500 twips.
    void Form_Resize();
    // Unregisters the view from the host's layout service (once); failures are ignored.
    void Form_Unload();

    // The strip left below the viewer, in pixels (500 twips).
    static int bottomMargin();
    // Where a window whose frame (title bar included) is `frame` goes so that
    // all of it, the button strip included, is inside `area`: moved in, and
    // made smaller where it is larger than the area.
    static QRect fittedFrame(const QRect &frame, const QRect &area);
    // Fits the shown view, title bar and buttons, into its screen's free area.
    void fitToScreen();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void addCommand(QPushButton *&button, const QString &name, const QString &caption,
                    QKeySequence::StandardKey key, void (Dispatchfrm::*handler)());
};

} // namespace orvane::dispatch
