#pragma once

#include "core/LibraryView.h"

namespace orvane::report {
class ReportViewer;
}

// "Dispatch View": a received dispatch rendered as a report. The user reads
// it and closes the window; the view has no buttons of its own.
class Dispatchfrm : public orvane::ui::LibraryView {
    Q_OBJECT
public:
    explicit Dispatchfrm(QWidget *parent = nullptr);
    ~Dispatchfrm() override;

    orvane::report::ReportViewer *crvDispatch = nullptr;

    // Registers the view with the host's layout service; failures are ignored.
    void Form_Load();
    // The viewer takes the view's width and its height less 500 twips.
    void Form_Resize();
    // Unregisters the view from the host's layout service (once); failures are ignored.
    void Form_Unload();

    // The strip left below the viewer, in pixels (500 twips).
    static int bottomMargin();

protected:
    void resizeEvent(QResizeEvent *event) override;
};
