#include "dispatch/DispatchFixtures.h"
#include "qorOrvaneUI/dispatch/Dispatchfrm.h"
#include "qorOrvaneUI/dispatch/frmEscheduleInfo.h"
#include "runtime/vb.h"
#include "runtime/widgets/report/ReportViewer.h"
#include <qorOrvaneUI/dispatch/clsShowDispatch.h>
#include <qorOrvaneUI/external/IControlUI.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/widgets/ScriptedUi.h>
#include <qorOrvaneUI/widgets/report/Report.h>

#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using orvane::dispatch::clsShowDispatch;
using orvane::dispatch::Dispatchfrm;
using orvane::dispatch::frmEscheduleInfo;

using namespace Qt::StringLiterals;
using namespace dispatchtest;
using orvane::Recordset;
namespace rep = orvane::report;

namespace {

const QString kDefaultTemplate = QStringLiteral(ORVANE_SAMPLES_DIR "/reports/g_dispatch.rpt");

// What the view held while it was open.
struct Seen {
    QMap<QString, QString> formulas; // the text by name
    QString text;                    // the viewer's plain text
    std::vector<QString> discountPercentages;
    bool authSecondBound = false;
    int authRows = -1;
};

Seen showAndLook(clsShowDispatch &d, const QString &xml,
                 const QString &templatePath = kDefaultTemplate)
{
    orvane::test::ScopedScriptedUi ui;
    Seen seen;
    ui->onDialog([&](QDialog *dialog) {
        auto *view = dynamic_cast<Dispatchfrm *>(dialog);
        EXPECT_EQ(view->windowTitle(), u"Dispatch View"_s);
        seen.text = view->crvDispatch->toPlainText();
        rep::Report *report = view->crvDispatch->report();
        for (const auto &f : report->formulaFields())
            seen.formulas.insert(f.name(), f.formulaText());
        Recordset discounts = report->table(2).dataSource().clone();
        for (; !discounts.eof(); discounts.moveNext())
            seen.discountPercentages.push_back(discounts.value(u"DiscountPercentage"_s).toText());
        for (const auto &section : report->sections())
            for (const auto &object : section.reportObjects())
                if (object.kind() == rep::ObjectKind::Subreport &&
                    object.name() == u"Authorizations"_s) {
                    rep::Report &sub = object.openSubreport();
                    if (sub.table(1).hasDataSource())
                        seen.authRows = sub.table(1).dataSource().recordCount();
                    if (sub.tableCount() > 1)
                        seen.authSecondBound = sub.table(2).hasDataSource();
                }
        dialog->close();
    });
    d.ShowDispatch(0, xml, templatePath);
    EXPECT_EQ(ui->dialogsShown().size(), 1u);
    EXPECT_GE(ui->doEventsCalls(), 1);
    return seen;
}

QString writeTemplate(QTemporaryDir &dir, const QByteArray &text)
{
    QFile f(dir.filePath(u"t.rpt"_s));
    f.open(QIODevice::WriteOnly);
    f.write(text);
    return f.fileName();
}

// Records the calls of the view, or fails each one when told to.
class RecordingControlUI : public orvane::ext::IControlUI {
public:
    static inline QStringList calls;
    static inline bool failing = false;
    void Initialize(QWidget *, const QString &key) override { call(u"Initialize "_s % key); }
    void Terminate(QWidget *, const QString &key) override { call(u"Terminate "_s % key); }
    static void call(const QString &what)
    {
        if (failing)
            throw orvane::VbError(5, u"ControlUI"_s, u"boom"_s);
        calls << what;
    }
};

QString escheduleDoc(const QString &date, const QString &begin, const QString &end,
                     const QString &location, const QString &mobile)
{
    return doc(
        u"<DispatchNumber>D1</DispatchNumber>"_s % element(u"RequestedAppointmentDate"_s, date) %
        element(u"BeginRequestedTime"_s, begin) % element(u"EndRequestedTime"_s, end) %
        element(u"MobileLocationDescription"_s, location) % element(u"MobileIndicator"_s, mobile));
}

struct Shown {
    QStringList values;
    QRect frame;
};

Shown show(const QString &xml)
{
    orvane::test::ScopedScriptedUi ui;
    ui->setScreenSize(QSize(1600, 900));
    Shown shown;
    ui->onDialog([&](QDialog *dialog) {
        auto *view = dynamic_cast<frmEscheduleInfo *>(dialog);
        for (int i = 0; i < 5; ++i)
            shown.values << view->lblEsched[std::size_t(i)]->text();
        shown.frame = view->frameGeometry();
        view->cmdAction[0]->click();
        EXPECT_FALSE(view->isVisible());
    });
    clsShowDispatch().ShowEschedule(99, xml, u"ignored.rpt"_s);
    EXPECT_EQ(ui->dialogsShown(), (std::vector<QString>{u"frmEscheduleInfo"_s}));
    return shown;
}

QString shortDate(int y, int m, int d)
{
    return vb::FormatShortDate(orvane::DateValue::fromDate(QDate(y, m, d)));
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

// Also shows the view with no layout service, a working one and a failing one.
TEST(DispatchReport, ShowsEveryBindingAndWhatADamagedDocumentHeld)
{
    clsShowDispatch d;
    const Seen seen = showAndLook(d, sample(u"glass-replacement.xml"_s));
    // The last two come from the authorization and damage subreports.
    for (const QString &shown : {u"Margaret O'Donnell"_s, u"$412.50"_s, u"35%"_s,
                                 u"Urethane kit authorization"_s, u"Door (DR)"_s})
        EXPECT_TRUE(seen.text.contains(shown)) << shown.toStdString();

    const QString layoutService = QString::fromUtf16(orvane::ext::progid::ControlUI);
    orvane::ObjectRegistry::instance().registerClass(
        layoutService, [] { return std::make_shared<RecordingControlUI>(); });
    const Seen percent = showAndLook(
        d, doc(u"<DispatchNumber>D1</DispatchNumber><DiscountDetails>"
               u"<DiscountType><DiscountPercentage>0.1</DiscountPercentage></DiscountType>"
               u"<DiscountType><DiscountPercentage>0.25</DiscountPercentage></DiscountType>"
               u"<DiscountType><DiscountTypeCode>X</DiscountTypeCode></DiscountType>"
               u"</DiscountDetails>"_s));
    // A percentage the document left out is not invented as 0.
    EXPECT_EQ(percent.discountPercentages, (std::vector<QString>{u"10"_s, u"25"_s, u""_s}));
    // The record sets stay with the object after the view has closed, on the first row.
    EXPECT_EQ(d.discountRecordset().absolutePosition(), 1);
    EXPECT_EQ(RecordingControlUI::calls,
              (QStringList{u"Initialize Dispatchfrm"_s, u"Terminate Dispatchfrm"_s}));
    RecordingControlUI::failing = true;
    EXPECT_TRUE(showAndLook(d, sample(u"minimal.xml"_s)).text.contains(u"D-2026"_s));
    orvane::ObjectRegistry::instance().unregisterClass(layoutService);

    // A value that cannot be read is named with its text; the rest shows.
    const Seen bad = showAndLook(
        d, doc(u"<DispatchNumber>D1</DispatchNumber><Deductible>two hundred</Deductible>"
               u"<InsuredOrClaimantLastName>Kim</InsuredOrClaimantLastName>"_s));
    EXPECT_TRUE(bad.text.contains(u"Deductible \"two hundred\""_s)) << bad.text.toStdString();
    EXPECT_TRUE(bad.text.contains(u"Kim"_s));
    // A cut-off document says so instead of passing for an empty dispatch.
    const Seen cut = showAndLook(d, sample(u"glass-replacement.xml"_s).left(400));
    EXPECT_TRUE(cut.text.contains(u"incomplete or damaged"_s)) << cut.text.toStdString();

    // Comments and descriptions are shown whole, though the record sets keep their sizes.
    const QString description = u"Fleet glass discount for every windshield"_s; // 41
    const Seen whole = showAndLook(
        d,
        doc(u"<DispatchNumber>D2</DispatchNumber><InsurerComments><Comment>"_s % QString(90, u'c') %
            u"</Comment><Comment>Call before noon</Comment></InsurerComments>"
            u"<DiscountDetails><DiscountType><DiscountTypeDescription>"_s %
            description % u"</DiscountTypeDescription></DiscountType></DiscountDetails>"_s));
    EXPECT_TRUE(whole.text.contains(u"Call before noon"_s)) << whole.text.toStdString();
    EXPECT_TRUE(whole.text.contains(description));
    EXPECT_EQ(d.dispatchRecordset().value(u"InsurerComments"_s).toText().size(), 100);
    EXPECT_FALSE(whole.text.contains(u"incomplete"_s));
}

TEST(DispatchReport, FormulaTextsAndSubreportsBoundByTheNameOfTheirFirstTable)
{
    clsShowDispatch d;
    // The last: no requested time shows nothing, not ":".
    for (const auto &[begin, end, expected] :
         std::vector<std::array<QString, 3>>{{u"0800"_s, u"   "_s, u"'08:00'"_s},
                                             {u"0800"_s, u"1630"_s, u"'08:00-16:30'"_s},
                                             {u"8"_s, u"12"_s, u"'8:-12:'"_s},
                                             {QString(), QString(), u"''"_s}}) {
        const Seen seen = showAndLook(d, doc(u"<DispatchNumber>D1</DispatchNumber>"_s %
                                             element(u"BeginRequestedTime"_s, begin) %
                                             element(u"EndRequestedTime"_s, end)));
        EXPECT_EQ(seen.formulas.value(u"REQUESTTIME"_s), expected)
            << begin.toStdString() << "/" << end.toStdString();
    }

    const Seen mobile = showAndLook(d, sample(u"mobile-eschedule.xml"_s));
    EXPECT_EQ(mobile.formulas.value(u"MOBILELOCATIONDESCRIPTION"_s),
              u"'Employee lot behind O''Hare Logistics, gate 4'"_s);

    // The e-schedule formula follows the indicator only.
    QTemporaryDir dir;
    const QString path = writeTemplate(dir, R"(<report>
      <database><table name="D"/><table name="X"/></database>
      <formulas><formula name=" eschedule ">'from the template'</formula>
        <formula name="Other">'kept'</formula></formulas>
      <section><formula name="ESCHEDULE"/></section></report>)");
    for (const auto &[indicator, expected] : std::vector<std::pair<QString, QString>>{
             {u"Y"_s, u"'Orvane E-SCHEDULE'"_s}, {u"N"_s, u"'from the template'"_s}}) {
        const Seen seen = showAndLook(d,
                                      doc(u"<DispatchNumber>D1</DispatchNumber>"_s %
                                          element(u"EscheduleIndicator"_s, indicator)),
                                      path);
        EXPECT_EQ(seen.formulas.value(u" eschedule "_s), expected) << indicator.toStdString();
        EXPECT_EQ(seen.formulas.value(u"Other"_s), u"'kept'"_s);
    }

    writeTemplate(dir, R"(<report>
      <database><table name="D"/><table name="X"/></database>
      <section><subreport name="Authorizations">
        <database><table name="  auth_ttx "/><table name="Anything"/></database>
        <section kind="detail" table="auth_ttx"><row><td>A:<field source="AUTH_TTX.Name"/></td></row></section>
      </subreport></section>
      <section><subreport name="Openings">
        <database><table name="OpeningTypes_TTX"/></database>
        <section kind="detail" table="OPENINGTYPES_TTX"><row><td>O:<field source="OPENINGTYPES_TTX.Side"/></td></row></section>
      </subreport><subreport name="Neither">
        <database><table name="Other"/><table name="AUTH_TTX"/></database>
        <section kind="detail" table="AUTH_TTX"><row><td>N:<field source="AUTH_TTX.Name"/></td></row></section>
      </subreport></section></report>)");
    const Seen seen = showAndLook(d, sample(u"glass-replacement.xml"_s), path);
    EXPECT_TRUE(seen.authSecondBound); // every table follows the first one's name
    EXPECT_TRUE(seen.text.contains(u"A:MOULDING"_s));
    EXPECT_TRUE(seen.text.contains(u"O:Driver"_s));
    EXPECT_FALSE(seen.text.contains(u"N:"_s)); // first table "Other": left unbound

    // A template without formulas or subreports, and a document that is no XML, still show.
    const QString plainPath = writeTemplate(dir, R"(<report>
      <database><table name="D"/><table name="X"/></database>
      <section><p>Dispatch <field source="D.DispatchNumber"/></p></section></report>)");
    const Seen plain = showAndLook(d, sample(u"glass-replacement.xml"_s), plainPath);
    EXPECT_TRUE(plain.text.contains(u"Dispatch D-2026-118734"_s));

    const Seen junk = showAndLook(d, u"<<this is not xml"_s);
    EXPECT_TRUE(junk.text.contains(u"Glass Dispatch"_s));
    EXPECT_EQ(junk.authRows, 0);
}

TEST(DispatchReport, FailuresAreWrappedAndTheViewIsSizedAndCentredOverItsOwner)
{
    orvane::test::ScopedScriptedUi ui;
    clsShowDispatch d;
    QString xml = sample(u"glass-replacement.xml"_s);
    QTemporaryDir dir;

    const orvane::VbError notFound =
        raised([&] { d.ShowDispatch(0, xml, dir.filePath(u"none.rpt"_s)); });
    EXPECT_EQ(errorOf(notFound), "53|qorOrvaneUI.clsShowDispatch.ShowDispatch()|"
                                 "qorOrvaneUI.clsShowDispatch.ShowDispatch()\r\nLine : 50\r\n"
                                 "qorOrvaneUI.clsShowDispatch.ShowReport()\r\nLine : 10\r\n"
                                 "File not found: report template '" +
                                     dir.filePath(u"none.rpt"_s).toStdString() + "'");

    QString oneTable =
        writeTemplate(dir, "<report><database><table name='D'/></database></report>");
    // ShowReport on its own wraps once.
    const orvane::VbError once = raised([&] { d.ShowReport(0, oneTable); });
    EXPECT_EQ(once.source(), u"qorOrvaneUI.clsShowDispatch.ShowReport()"_s);
    EXPECT_TRUE(once.description().startsWith(
        u"qorOrvaneUI.clsShowDispatch.ShowReport()\r\nLine : 20\r\nSubscript out of range"_s));

    EXPECT_TRUE(ui->dialogsShown().empty());

    Dispatchfrm view;
    // A hidden view gets its resize event when shown; call the handler as that event would.
    view.resize(400, 20);
    view.Form_Resize();
    EXPECT_EQ(view.crvDispatch->height(), 0);
    view.resize(400, 300);
    view.Form_Resize();
    EXPECT_EQ(view.crvDispatch->geometry(), QRect(0, 0, 400, 267)); // less 500 twips

    ui->setWindowRect(4711, QRect(100, 50, 1600, 1000));
    QRect placed;
    ui->onDialog([&](QDialog *dialog) {
        placed = dialog->frameGeometry();
        dialog->close();
    });
    clsShowDispatch().ShowDispatch(4711, sample(u"minimal.xml"_s), kDefaultTemplate);
    EXPECT_LE((placed.center() - QPoint(100 + 800, 50 + 500)).manhattanLength(), 4);
}

TEST(Eschedule, ShowsTheFiveValuesReadLenientlyAndOnlyNoneIsAnError)
{
    const Shown mobile = show(sample(u"mobile-eschedule.xml"_s));
    EXPECT_EQ(mobile.values,
              (QStringList{shortDate(2026, 12, 8), u"08:00"_s, u"12:00"_s,
                           u"Employee lot behind O'Hare Logistics, gate 4"_s, u"MOBILE"_s}));
    // Centred on the screen (1600 x 900 here); the window frame, added when
    // shown, may shift it by its own width.
    EXPECT_LE((mobile.frame.center() - QPoint(800, 450)).manhattanLength(), 8);

    // "abcd": month 0 and day 0, the day before 1 December 2023. A date that
    // cannot be made, or none, leaves the value empty; the view still shows.
    for (const auto &[text, date] : {std::pair{u"2024abcd"_s, shortDate(2023, 11, 30)},
                                     {u"99999999"_s, QString()},
                                     {QString(), QString()}})
        EXPECT_EQ(show(escheduleDoc(text, u"0800"_s, u"1200"_s, u"x"_s, u"N"_s)).values[0], date);

    const QString longText = QString(u"Mobile bay "_s).repeated(28).left(300);
    const Shown shown = show(escheduleDoc(u"20240315"_s, u"07"_s, u"163000"_s, longText, u" y "_s));
    EXPECT_EQ(shown.values.mid(1), (QStringList{u"07:"_s, u"16:30"_s, longText, u"MOBILE"_s}));
    EXPECT_EQ(show(escheduleDoc(u"20240315"_s, u"0800"_s, u"1200"_s, u"x"_s, u"Yes"_s)).values[4],
              u"In-Shop"_s);

    // A mobile job without an end time, a date or a location still shows.
    EXPECT_EQ(show(escheduleDoc(u"20240315"_s, u"0800"_s, QString(), u""_s, u"Y"_s)).values,
              (QStringList{shortDate(2024, 3, 15), u"08:00"_s, QString(), QString(), u"MOBILE"_s}));

    orvane::test::ScopedScriptedUi ui;
    auto fail = [](const QString &xml) {
        return raised([&] { clsShowDispatch().ShowEschedule(0, xml, QString()); });
    };
    // A first child that is an element has no text.
    EXPECT_EQ(
        fail(escheduleDoc(u"20240315"_s, u"0800"_s, u"1200"_s, u"x"_s, u"<b>Y</b>"_s)).number(),
        94);
    const orvane::VbError none = fail(u"not xml at all"_s);
    EXPECT_EQ(none.number(), 91);
    EXPECT_EQ(none.source(), u"qorOrvaneUI.clsShowDispatch.ShowESchedule()"_s);
    EXPECT_TRUE(ui->dialogsShown().empty());
}

// One view of a long dispatch is saved three times and printed three times.
TEST(DispatchPrint, SavesAndPrintsPagesThatRepeatTheNumberAndTableHeads)
{
    QTemporaryDir dir;
    const QString saved = dir.filePath(u"out.pdf"_s);
    orvane::test::ScopedScriptedUi ui;
    ui->answerFileName(saved);
    ui->answerFileName(QString()); // cancelled
    ui->answerFileName(dir.filePath(u"no/such/folder/out.pdf"_s));
    QStringList jobNames;
    const struct {
        const char *file;
        bool chosen;
        int from, to;
    } printings[] = {{"all.pdf", true, 0, 0}, {"part.pdf", true, 2, 3}, {"none.pdf", false, 0, 0}};
    for (const auto &p : printings)
        ui->onPrinter([&jobNames, &dir, &p](QPrinter &printer) {
            jobNames << printer.docName();
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(dir.filePath(QString::fromLatin1(p.file)));
            printer.setFromTo(p.from, p.to);
            return p.chosen;
        });
    // Enough discounts and damaged openings for both tables to run over pages.
    const QString number = u"D-LONG/7"_s; // the slash must not reach the file name
    QString discountRows, openingRows;
    for (int i = 1; i <= 80; ++i)
        discountRows += u"<DiscountType><DiscountTypeDescription>Discount row %1"
                        u"</DiscountTypeDescription></DiscountType>"_s.arg(i);
    for (int i = 1; i <= 70; ++i)
        openingRows += u"<DamageInformation><OpeningTypeCode>OPN%1</OpeningTypeCode>"
                       u"</DamageInformation>"_s.arg(i);
    const QString xml =
        doc(u"<Dispatch><DispatchNumber>"_s % number % u"</DispatchNumber>"_s % openingRows %
            u"</Dispatch><DiscountDetails>"_s % discountRows % u"</DiscountDetails>"_s);
    ui->onDialog([&](QDialog *dialog) {
        auto *view = dynamic_cast<Dispatchfrm *>(dialog);
        view->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view));
        for (QPushButton *b : {view->cmdPrint, view->cmdSavePdf})
            EXPECT_GT(b->geometry().top(), view->crvDispatch->geometry().bottom());
        // Enter in the report presses no button.
        view->crvDispatch->setFocus();
        QTest::keyClick(view->crvDispatch, Qt::Key_Return);
        EXPECT_EQ(ui->printersAsked(), 0);
        EXPECT_TRUE(ui->fileNamesAsked().empty());
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(view, Qt::Key_S, Qt::ControlModifier);
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(view, Qt::Key_P, Qt::ControlModifier);
        EXPECT_TRUE(view->isVisible()); // the report stays open whatever happened
        dialog->close();
    });
    clsShowDispatch().ShowDispatch(0, xml, kDefaultTemplate);
    ASSERT_EQ(ui->fileNamesAsked().size(), 3u);
    EXPECT_TRUE(ui->fileNamesAsked()[0].suggestedPath.endsWith(u"/Dispatch D-LONG_7.pdf"_s));
    EXPECT_EQ(jobNames, QStringList(3, u"Dispatch D-LONG_7"_s));
    // Only the unwritable folder is reported, and nothing half-written is left behind.
    ASSERT_EQ(ui->boxes().size(), 1u);
    EXPECT_EQ(ui->boxes()[0].icon, orvane::MsgIcon::Critical);
    EXPECT_TRUE(ui->boxes()[0].text.contains(u"could not be written"_s));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries, QDir::Name),
              (QStringList{u"all.pdf"_s, u"out.pdf"_s, u"part.pdf"_s}));

    const QStringList pages = pdfPages(saved);
    ASSERT_GE(pages.size(), 3);
    EXPECT_EQ(pdfPages(dir.filePath(u"all.pdf"_s)).size(), pages.size());
    const QStringList part = pdfPages(dir.filePath(u"part.pdf"_s));
    ASSERT_EQ(part.size(), 2);
    EXPECT_TRUE(part[0].contains(u"page 2 of"_s));
    int discountPages = 0, openingPages = 0;
    for (qsizetype i = 0; i < pages.size(); ++i) {
        SCOPED_TRACE(i + 1);
        const QString &text = pages[i];
        EXPECT_TRUE(text.contains(u"page %1 of %2"_s.arg(i + 1).arg(pages.size())));
        EXPECT_TRUE(i == 0 || text.contains(u"Glass Dispatch No. "_s % number));
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
