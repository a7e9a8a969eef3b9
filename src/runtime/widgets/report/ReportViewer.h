#pragma once

#include <QTextBrowser>

#include <memory>

namespace orvane::report {

class Report;

// Shows a bound report as one scrolling page. The caller keeps the report
// alive while the viewer shows it.
class ReportViewer : public QTextBrowser {
    Q_OBJECT
public:
    explicit ReportViewer(QWidget *parent = nullptr);

    void setReport(Report *report);
    Report *report() const { return report_; }
    // Renders the report's current data (its bindings and formulas as they are now).
    void viewReport();
    // Renders again and goes back to the top of the first page.
    void refresh();

    // Asks for a printer through the Ui service and prints the report's pages
    // as `documentName`. Cancelling does nothing; a printer that cannot be
    // painted on gets a message. True when the pages went to the printer.
    bool printReport(const QString &documentName);
    // Asks for a file name through the Ui service, offering `suggestedFileName`
    // in the user's documents folder, and writes the report as PDF there.
    // Cancelling does nothing; a file that cannot be written gets a message
    // and leaves the report open and any existing file untouched. True when
    // the file was written.
    bool saveAsPdf(const QString &suggestedFileName);

private:
    Report *report_ = nullptr;
    QString shown_; // the text last laid out
};

} // namespace orvane::report
