#include "runtime/widgets/report/ReportViewer.h"

#include "runtime/widgets/report/ReportPages.h"
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/widgets/Ui.h>
#include <qorOrvaneUI/widgets/report/Report.h>

#include <QDir>
#include <QPrinter>
#include <QScrollBar>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

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

bool ReportViewer::printReport(const QString &documentName)
{
    if (!report_)
        return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(documentName);
    printer.setCreator(u"qorOrvaneUI"_s);
    printer.setPageLayout(report_->pageLayout());
    Ui &ui = Ui::instance();
    if (!ui.choosePrinter(window(), printer))
        return false;
    if (ReportPages::print(*report_, printer, printer.fromPage(), printer.toPage()))
        return true;
    ui.msgBox(tr("%1 could not be printed on %2.\n\nCheck that the printer is ready and "
                 "try again.")
                  .arg(documentName, printer.outputFileName().isEmpty()
                                         ? printer.printerName()
                                         : QDir::toNativeSeparators(printer.outputFileName())),
              MsgButtons::OK, MsgIcon::Critical);
    return false;
}

bool ReportViewer::saveAsPdf(const QString &suggestedFileName)
{
    if (!report_)
        return false;
    Ui &ui = Ui::instance();
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    const QString path =
        ui.saveFileName(window(), tr("Save as PDF"), QDir(folder).filePath(suggestedFileName),
                        tr("PDF files (*.pdf)"));
    if (path.isEmpty())
        return false;
    try {
        report_->exportPdf(path);
    } catch (const VbError &e) {
        if (e.number() != err::ExportFailed)
            throw;
        ui.msgBox(tr("The PDF file could not be written.\n\n%1\n\nNothing was saved. Choose "
                     "another folder or file name and save again.")
                      .arg(e.description()),
                  MsgButtons::OK, MsgIcon::Critical);
        return false;
    }
    return true;
}

} // namespace orvane::report
