#pragma once

#include <QTextBrowser>

#include <memory>

namespace orvane::report {

class Report;

// Shows a bound report as one scrolling page. The caller keeps the report
// alive while the viewer shows it.
class ReportViewer : public QTextBrowser {
public:
    explicit ReportViewer(QWidget *parent = nullptr);

    void setReport(Report *report);
    Report *report() const { return report_; }
    // Renders the report's current data (its bindings and formulas as they are now).
    void viewReport();
    // Renders again and goes back to the top of the first page.
    void refresh();

private:
    Report *report_ = nullptr;
    QString shown_; // the text last laid out
};

} // namespace orvane::report
