#pragma once

#include <qorOrvaneUI/widgets/Ui.h>

#include <QString>

#include <memory>

namespace orvane {
class Proc;
namespace report {
class Report;
} // namespace report
} // namespace orvane

namespace orvane::dispatch {

class DispatchRecords;

// A received dispatch shown to staff as the dispatch report, from the record
// sets of `records`. Failures reach the caller wrapped by each procedure they
// passed through, under the public class's names
// ("qorOrvaneUI.clsShowDispatch.ShowDispatch()" and so on).
class DispatchReport {
public:
    explicit DispatchReport(DispatchRecords &records) : records_(records) {}

    // Reads the dispatch and shows its report over `hWndOwner` until the user closes it.
    void ShowDispatch(WindowHandle hWndOwner, const QString &dispatchXML,
                      const QString &ReportPath);
    // Opens the template, binds the record sets held now and shows the view.
    void ShowReport(WindowHandle hWndOwner, const QString &ReportPath);
    // What ShowDispatch shows, without a view (for printing and export).
    std::unique_ptr<report::Report> BoundReport(const QString &dispatchXML,
                                                const QString &ReportPath);

private:
    std::unique_ptr<report::Report> openBoundReport(const QString &ReportPath, Proc &p);
    void bindReport(report::Report &report, Proc &p) const;

    DispatchRecords &records_;
};

// Characters 1-2 ":" 3-4 of a time written as hhmm.
QString timeText(const QString &hhmm);

} // namespace orvane::dispatch
