#include "DispatchFixtures.h"
#include "ScriptedUi.h"
#include "dispatch/Dispatchfrm.h"
#include "dispatch/clsShowDispatch.h"
#include "report/Report.h"
#include "report/ReportPages.h"
#include "report/ReportViewer.h"

#include <QBuffer>
#include <QDialog>
#include <QFile>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace dispatchtest;
namespace rep = orvane::report;

namespace {

const QString kTemplate = QStringLiteral(ORVANE_SAMPLES_DIR "/reports/g_dispatch.rpt");
const QString kNumber = u"D-LONG/7"_s; // the slash must not reach the file name

// Enough discounts and damaged openings for both tables to run over pages.
QString longDispatch()
{
    QString discounts, damages;
    for (int i = 1; i <= 80; ++i)
        discounts += u"<DiscountType><DiscountTypeCode>D%1</DiscountTypeCode>"
                     u"<DiscountTypeDescription>Discount row %1</DiscountTypeDescription>"
                     u"</DiscountType>"_s.arg(i);
    for (int i = 1; i <= 70; ++i)
        damages += u"<DamageInformation><OpeningTypeCode>OPN%1</OpeningTypeCode>"
                   u"<PositionCode>F</PositionCode></DamageInformation>"_s.arg(i);
    return doc(u"<Dispatch><DispatchNumber>"_s % kNumber % u"</DispatchNumber>"_s % damages %
               u"</Dispatch><DiscountDetails>"_s % discounts % u"</DiscountDetails>"_s);
}

// A paint device that keeps the text each page draws, laid out like `like`.
class TextRecorder : public QPaintDevice {
public:
    explicit TextRecorder(const QPaintDevice &like) : like_(like) {}
    QPaintEngine *paintEngine() const override { return &engine_; }
    QStringList page() const { return engine_.items; }
    void clear() { engine_.items.clear(); }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth:
            return like_.width();
        case PdmHeight:
            return like_.height();
        case PdmWidthMM:
            return like_.widthMM();
        case PdmHeightMM:
            return like_.heightMM();
        case PdmNumColors:
            return like_.colorCount();
        case PdmDepth:
            return like_.depth();
        case PdmDpiX:
        case PdmPhysicalDpiX:
            return like_.logicalDpiX();
        case PdmDpiY:
        case PdmPhysicalDpiY:
            return like_.logicalDpiY();
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        }
        return 0;
    }

private:
    struct Engine : QPaintEngine {
        QStringList items;
        bool begin(QPaintDevice *) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState &) override {}
        void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
        void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
        void drawPath(const QPainterPath &) override {}
        void drawTextItem(const QPointF &, const QTextItem &item) override { items << item.text(); }
        Type type() const override { return User; }
    };
    const QPaintDevice &like_;
    mutable Engine engine_;
};

// The text of every page the PDF export lays out, painted through the same paginator.
std::vector<QString> pageTexts(const rep::Report &report)
{
    QBuffer sink;
    sink.open(QIODevice::WriteOnly);
    QPdfWriter writer(&sink);
    rep::ReportPages::preparePdfWriter(report, writer);
    const rep::ReportPages pages(report, writer);
    TextRecorder recorder(writer);
    std::vector<QString> texts;
    for (int i = 0; i < pages.pageCount(); ++i) {
        recorder.clear();
        QPainter painter(&recorder);
        pages.paintPage(painter, i);
        painter.end();
        texts.push_back(recorder.page().join(u'\n'));
    }
    return texts;
}

int pdfPageCount(const QString &path)
{
    QFile f(path);
    if (path.isEmpty() || !f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = f.readAll();
    if (!bytes.startsWith("%PDF-"))
        return -1;
    static const QRegularExpression page(u"/Type\\s*/Page(?![a-z])"_s);
    return int(QString::fromLatin1(bytes).count(page));
}

// Shows the long dispatch and plays the user in the view with `play`.
void withView(orvane::test::ScriptedUi &ui, const std::function<void(Dispatchfrm &)> &play)
{
    ui.onDialog([&](QDialog *dialog) {
        auto *view = dynamic_cast<Dispatchfrm *>(dialog);
        ASSERT_NE(view, nullptr);
        view->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view));
        play(*view);
        dialog->close();
    });
    clsShowDispatch d;
    QString xml = longDispatch();
    QString path = kTemplate;
    orvane::WindowHandle owner = 0;
    d.ShowDispatch(owner, xml, path);
}

} // namespace

TEST(DispatchPrint, EveryPageRepeatsTheDispatchNumberAndTheHeadOfTheTablesOnIt)
{
    orvane::test::ScopedScriptedUi ui;
    std::vector<QString> pages;
    withView(*ui, [&](Dispatchfrm &view) { pages = pageTexts(*view.crvDispatch->report()); });
    ASSERT_GE(pages.size(), 3u);

    int discountPages = 0, openingPages = 0;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        SCOPED_TRACE(i + 1);
        const QString &text = pages[i];
        EXPECT_TRUE(text.contains(u"page %1 of %2"_s.arg(i + 1).arg(pages.size())));
        if (i > 0) {
            EXPECT_TRUE(text.contains(u"Glass Dispatch No. "_s % kNumber));
        }
        if (text.contains(u"Discount row"_s)) {
            ++discountPages;
            EXPECT_TRUE(text.contains(u"Time above"_s));
        }
        if (text.contains(u"(OPN"_s)) {
            ++openingPages;
            EXPECT_TRUE(text.contains(u"Position"_s));
        }
    }
    // Both tables really ran over a page break.
    EXPECT_GE(discountPages, 2);
    EXPECT_GE(openingPages, 2);
}

TEST(DispatchPrint, SaveAsPdfWritesEveryPageOrSaysWhyNot)
{
    struct Case {
        const char *name;
        QString answer; // relative to the temporary folder; empty cancels
        bool written;
        bool message;
    } const cases[] = {
        {"saved", u"out.pdf"_s, true, false},
        {"cancelled", QString(), false, false},
        {"unwritable folder", u"no/such/folder/out.pdf"_s, false, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = c.answer.isEmpty() ? QString() : dir.filePath(c.answer);
        orvane::test::ScopedScriptedUi ui;
        ui->answerFileName(path);
        int expectedPages = 0;
        withView(*ui, [&](Dispatchfrm &view) {
            expectedPages = int(pageTexts(*view.crvDispatch->report()).size());
            QTest::keyClick(&view, Qt::Key_S, Qt::ControlModifier);
            EXPECT_TRUE(view.isVisible()); // the report stays open whatever happened
        });
        ASSERT_EQ(ui->fileNamesAsked().size(), 1u);
        EXPECT_TRUE(ui->fileNamesAsked()[0].suggestedPath.endsWith(u"/Dispatch D-LONG_7.pdf"_s));
        EXPECT_EQ(ui->fileNamesAsked()[0].filter, u"PDF files (*.pdf)"_s);
        EXPECT_EQ(pdfPageCount(path), c.written ? expectedPages : -1);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(),
                  c.written ? 1 : 0); // nothing half-written is left behind
        ASSERT_EQ(ui->boxes().size(), c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(ui->boxes()[0].icon, orvane::MsgIcon::Critical);
            EXPECT_TRUE(ui->boxes()[0].text.contains(u"could not be written"_s));
            EXPECT_TRUE(ui->boxes()[0].text.contains(u"no/such/folder"_s));
        }
    }
}

TEST(DispatchPrint, PrintGoesThroughThePrinterTheUserChose)
{
    struct Case {
        const char *name;
        bool chosen;
        int from, to;
        int pages; // -1: nothing printed; 0: all
    } const cases[] = {
        {"all pages", true, 0, 0, 0},
        {"pages 2 to 3", true, 2, 3, 2},
        {"cancelled", false, 0, 0, -1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString out = dir.filePath(u"printed.pdf"_s);
        orvane::test::ScopedScriptedUi ui;
        QString jobName;
        ui->onPrinter([&](QPrinter &printer) {
            jobName = printer.docName();
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(out);
            printer.setFromTo(c.from, c.to);
            return c.chosen;
        });
        int allPages = 0;
        withView(*ui, [&](Dispatchfrm &view) {
            allPages = int(pageTexts(*view.crvDispatch->report()).size());
            QTest::keyClick(&view, Qt::Key_P, Qt::ControlModifier);
        });
        EXPECT_EQ(ui->printersAsked(), 1);
        EXPECT_EQ(jobName, u"Dispatch D-LONG_7"_s);
        EXPECT_EQ(pdfPageCount(out), c.pages == 0 ? allPages : c.pages);
        EXPECT_TRUE(ui->boxes().empty());
    }
}

TEST(DispatchPrint, ButtonsSitBelowTheReportAndLeaveEnterAlone)
{
    orvane::test::ScopedScriptedUi ui;
    withView(*ui, [&](Dispatchfrm &view) {
        for (QPushButton *b : {view.cmdPrint, view.cmdSavePdf}) {
            EXPECT_GE(b->geometry().top(), view.crvDispatch->geometry().bottom());
            EXPECT_LE(b->geometry().bottom(), view.height());
            EXPECT_FALSE(b->autoDefault());
        }
        view.crvDispatch->setFocus();
        QTest::keyClick(view.crvDispatch, Qt::Key_Return);
    });
    EXPECT_EQ(ui->printersAsked(), 0);
    EXPECT_TRUE(ui->fileNamesAsked().empty());
}
