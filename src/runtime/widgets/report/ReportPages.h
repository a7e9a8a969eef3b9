#pragma once

#include <QFont>
#include <QSizeF>
#include <QString>

#include <memory>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;
class QPdfWriter;
class QTextDocument;

namespace orvane::report {

class Report;

// A report laid out on pages and painted one page at a time with QPainter, so
// a printer, a PDF file and a test's recording device all get the same
// pages with text kept as text. Each page has a band at the top for the
// running head (the template's page-header, from the second page on), the
// body, and a band at the foot for the template's page-footer ("page n of m").
// A table's header row is repeated at the top of every page the table runs
// onto.
class ReportPages {
public:
    // Lays the report out for `device`, whose width() and height() are the
    // printable area of one page. The device must outlive this object.
    ReportPages(const Report &report, QPaintDevice &device);
    ~ReportPages();
    ReportPages(const ReportPages &) = delete;
    ReportPages &operator=(const ReportPages &) = delete;

    int pageCount() const;
    // Paints page `index` (from 0), the painter's origin at the top left of
    // the printable area.
    void paintPage(QPainter &painter, int index) const;

    // Paints pages `from` to `to` (from 1; 0 and 0 for all) onto a printer or
    // PDF writer. False when the device cannot be painted on.
    static bool print(const Report &report, QPagedPaintDevice &device, int from = 0, int to = 0);
    // Gives a PDF writer the template's paper, margins and title; what
    // Report::exportPdf writes with.
    static void preparePdfWriter(const Report &report, QPdfWriter &writer);

private:
    const Report &report_;
    std::unique_ptr<QTextDocument> doc_;
    QString header_;
    QFont bandFont_;
    QSizeF page_;
    double headerHeight_ = 0;
    double footerHeight_ = 0;
    double bodyHeight_ = 0;
    int pages_ = 1;
};

} // namespace orvane::report
