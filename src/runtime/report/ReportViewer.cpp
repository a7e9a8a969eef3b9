#include "report/ReportViewer.h"

#include "report/Report.h"

#include <QScrollBar>

namespace orvane::report {

ReportViewer::ReportViewer(QWidget *parent) : QTextBrowser(parent)
{
    // A report is a document to read, never a page to navigate from.
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setReadOnly(true);
    document()->setDocumentMargin(24);
}

void ReportViewer::setReport(Report *report)
{
    report_ = report;
}

void ReportViewer::viewReport()
{
    if (!report_) {
        clear();
        shown_.clear();
        return;
    }
    // Callers refresh right after viewing; laying the same text out again
    // would double what opening a report costs.
    QString html = report_->toHtml();
    if (html == shown_ && !document()->isEmpty())
        return;
    setHtml(html);
    shown_ = std::move(html);
}

void ReportViewer::refresh()
{
    viewReport();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
}

} // namespace orvane::report
