#include "dispatch/DispatchFixtures.h"
#include "qorOrvaneUI/dispatch/Dispatchfrm.h"
#include "runtime/widgets/report/ReportViewer.h"
#include <qorOrvaneUI/dispatch/clsShowDispatch.h>
#include <qorOrvaneUI/widgets/ScriptedUi.h>

#include <QDialog>
#include <QDir>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using orvane::dispatch::clsShowDispatch;
using orvane::dispatch::Dispatchfrm;

using namespace Qt::StringLiterals;
using namespace dispatchtest;

namespace {

const QString kNumber = u"D-LONG/7"_s; // the slash must not reach the file name

// Shows a dispatch with enough discounts and damaged openings for both tables
// to run over pages, and plays the user in the view.
void withLongDispatch(orvane::test::ScriptedUi &ui, const std::function<void(Dispatchfrm &)> &play)
{
    QString discounts, damages;
    for (int i = 1; i <= 80; ++i)
        discounts += u"<DiscountType><DiscountTypeDescription>Discount row %1"
                     u"</DiscountTypeDescription></DiscountType>"_s.arg(i);
    for (int i = 1; i <= 70; ++i)
        damages += u"<DamageInformation><OpeningTypeCode>OPN%1</OpeningTypeCode>"
                   u"</DamageInformation>"_s.arg(i);
    QString xml = doc(u"<Dispatch><DispatchNumber>"_s % kNumber % u"</DispatchNumber>"_s % damages %
                      u"</Dispatch><DiscountDetails>"_s % discounts % u"</DiscountDetails>"_s);
    ui.onDialog([&](QDialog *dialog) {
        auto *view = dynamic_cast<Dispatchfrm *>(dialog);
        ASSERT_NE(view, nullptr);
        view->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view));
        play(*view);
        dialog->close();
    });
    clsShowDispatch d;
    orvane::WindowHandle owner = 0;
    QString report = QStringLiteral(ORVANE_SAMPLES_DIR "/reports/g_dispatch.rpt");
    d.ShowDispatch(owner, xml, report);
}

// The text of each page of a PDF (poppler's pdftotext); empty when there is no PDF.
QStringList pdfPages(const QString &path)
{
    const QString tool = QStandardPaths::findExecutable(u"pdftotext"_s);
    EXPECT_FALSE(tool.isEmpty()) << "pdftotext (poppler-utils) is missing: run ./dev setup";
    if (tool.isEmpty() || !QFile::exists(path))
        return {};
    QProcess p;
    p.start(tool, {path, u"-"_s});
    p.waitForFinished();
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(u'\f');
    pages.removeLast(); // after the last page's form feed
    return pages;
}

} // namespace

TEST(DispatchPrint, SaveAsPdfWritesPagesThatRepeatTheNumberAndTableHeads)
{
    struct Case {
        const char *name;
        QString answer; // in the temporary folder; empty cancels
        bool written;
    } const cases[] = {
        {"saved", u"out.pdf"_s, true},
        {"cancelled", QString(), false},
        {"unwritable folder", u"no/such/folder/out.pdf"_s, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = c.answer.isEmpty() ? QString() : dir.filePath(c.answer);
        orvane::test::ScopedScriptedUi ui;
        ui->answerFileName(path);
        withLongDispatch(*ui, [&](Dispatchfrm &view) {
            QTest::keyClick(&view, Qt::Key_S, Qt::ControlModifier);
            EXPECT_TRUE(view.isVisible()); // the report stays open whatever happened
        });
        ASSERT_EQ(ui->fileNamesAsked().size(), 1u);
        EXPECT_TRUE(ui->fileNamesAsked()[0].suggestedPath.endsWith(u"/Dispatch D-LONG_7.pdf"_s));
        // Nothing half-written is left behind.
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(),
                  c.written ? 1 : 0);
        const bool failed = !c.written && !path.isEmpty();
        ASSERT_EQ(ui->boxes().size(), failed ? 1u : 0u);
        if (failed) {
            EXPECT_EQ(ui->boxes()[0].icon, orvane::MsgIcon::Critical);
            EXPECT_TRUE(ui->boxes()[0].text.contains(u"could not be written"_s));
        }
        if (!c.written)
            continue;

        const QStringList pages = pdfPages(path);
        ASSERT_GE(pages.size(), 3);
        int discountPages = 0, openingPages = 0;
        for (qsizetype i = 0; i < pages.size(); ++i) {
            SCOPED_TRACE(i + 1);
            const QString &text = pages[i];
            EXPECT_TRUE(text.contains(u"page %1 of %2"_s.arg(i + 1).arg(pages.size())));
            EXPECT_TRUE(i == 0 || text.contains(u"Glass Dispatch No. "_s % kNumber));
            // A page with rows of a table shows that table's head.
            const bool discounts = text.contains(u"Discount row"_s);
            const bool openings = text.contains(u"(OPN"_s);
            discountPages += discounts;
            openingPages += openings;
            EXPECT_TRUE(!discounts || text.contains(u"Time above"_s));
            EXPECT_TRUE(!openings || text.contains(u"Position"_s));
        }
        // Both tables really ran over a page break.
        EXPECT_GE(discountPages, 2);
        EXPECT_GE(openingPages, 2);
    }
}

TEST(DispatchPrint, PrintsOnThePrinterAndPagesTheUserChose)
{
    struct Case {
        const char *name;
        bool chosen;
        int from, to;
    } const cases[] = {
        {"all pages", true, 0, 0}, {"pages 2 to 3", true, 2, 3}, {"cancelled", false, 0, 0}};
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
        withLongDispatch(*ui, [&](Dispatchfrm &view) {
            QTest::keyClick(&view, Qt::Key_P, Qt::ControlModifier);
        });
        EXPECT_EQ(jobName, u"Dispatch D-LONG_7"_s);
        const QStringList pages = pdfPages(out);
        if (c.chosen && c.from == 0) {
            EXPECT_GE(pages.size(), 3);
        } else {
            EXPECT_EQ(pages.size(), c.chosen ? c.to - c.from + 1 : 0);
        }
        EXPECT_TRUE(c.from == 0 || pages.value(0).contains(u"page 2 of"_s));
        EXPECT_TRUE(ui->boxes().empty());
    }
}

TEST(DispatchPrint, ButtonsSitBelowTheReportAndLeaveEnterAlone)
{
    orvane::test::ScopedScriptedUi ui;
    withLongDispatch(*ui, [&](Dispatchfrm &view) {
        for (QPushButton *b : {view.cmdPrint, view.cmdSavePdf})
            EXPECT_GT(b->geometry().top(), view.crvDispatch->geometry().bottom());
        view.crvDispatch->setFocus();
        QTest::keyClick(view.crvDispatch, Qt::Key_Return);
    });
    EXPECT_EQ(ui->printersAsked(), 0);
    EXPECT_TRUE(ui->fileNamesAsked().empty());

    // A window taller and wider than the screen (restored from a larger one)
    // is fitted in when shown: the button strip stays on the screen.
    Dispatchfrm tall;
    tall.resize(3000, 4000);
    tall.show();
    const QRect area = ui->screenArea();
    EXPECT_TRUE(area.contains(tall.frameGeometry())) << tall.frameGeometry().height();
    EXPECT_TRUE(area.contains(tall.mapToGlobal(tall.cmdPrint->geometry().bottomRight())));
    tall.hide();
}
