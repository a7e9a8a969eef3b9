#include "runtime/widgets/report/ReportPages.h"

#include <qorOrvaneUI/widgets/report/Report.h>

#include <QAbstractTextDocumentLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace orvane::report {

namespace {

// Height of the running head and of the footer band, in inches.
constexpr double kBandInches = 0.3;
const QColor kBandInk(0x60, 0x60, 0x60);

} // namespace

ReportPages::ReportPages(const Report &report, QPaintDevice &device)
    : report_(report), doc_(std::make_unique<QTextDocument>()), header_(report.pageHeaderText())
{
    // Laid out on the device itself, so sizes in points and pixels come out
    // the same whatever screen the program runs on.
    doc_->documentLayout()->setPaintDevice(&device);
    doc_->setDocumentMargin(0);
    doc_->setHtml(report.toHtml());
    bandFont_ = doc_->defaultFont();
    bandFont_.setPointSizeF(7.5);

    page_ = QSizeF(device.width(), device.height());
    const double band = device.logicalDpiY() * kBandInches;
    headerHeight_ = header_.isEmpty() ? 0 : band;
    footerHeight_ = report.pageFooterText(1, 1).isEmpty() ? 0 : band;
    bodyHeight_ = std::max(1.0, page_.height() - headerHeight_ - footerHeight_);
    doc_->setPageSize(QSizeF(page_.width(), bodyHeight_));
    pages_ = std::max(1, doc_->pageCount());
}

ReportPages::~ReportPages() = default;

int ReportPages::pageCount() const
{
    return pages_;
}

void ReportPages::paintPage(QPainter &painter, int index) const
{
    const double width = page_.width();
    painter.save();
    painter.translate(0, headerHeight_ - index * bodyHeight_);
    doc_->drawContents(&painter, QRectF(0, index * bodyHeight_, width, bodyHeight_));
    painter.restore();

    painter.save();
    painter.setFont(bandFont_);
    painter.setPen(kBandInk);
    // The first page opens with the report's own heading.
    if (index > 0 && !header_.isEmpty()) {
        const QRectF band(0, 0, width, headerHeight_ * 0.7);
        painter.drawText(band, Qt::AlignLeft | Qt::AlignBottom, header_);
        painter.drawLine(QPointF(0, band.bottom() + 1), QPointF(width, band.bottom() + 1));
    }
    const QString footer = report_.pageFooterText(index + 1, pages_);
    if (!footer.isEmpty())
        painter.drawText(QRectF(0, headerHeight_ + bodyHeight_, width, footerHeight_),
                         Qt::AlignRight | Qt::AlignBottom, footer);
    painter.restore();
}

bool ReportPages::print(const Report &report, QPagedPaintDevice &device, int from, int to)
{
    const ReportPages pages(report, device);
    const int first = std::clamp(from < 1 ? 1 : from, 1, pages.pageCount());
    const int last = std::clamp(to < 1 ? pages.pageCount() : to, first, pages.pageCount());
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    for (int page = first; page <= last; ++page) {
        if (page > first && !device.newPage()) {
            painter.end();
            return false;
        }
        pages.paintPage(painter, page - 1);
    }
    return painter.end();
}

void ReportPages::preparePdfWriter(const Report &report, QPdfWriter &writer)
{
    writer.setTitle(report.title());
    writer.setCreator(u"qorOrvaneUI"_s);
    writer.setPageLayout(report.pageLayout());
    writer.setResolution(300);
}

} // namespace orvane::report
