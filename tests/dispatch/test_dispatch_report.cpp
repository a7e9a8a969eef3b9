#include "dispatch/DispatchFixtures.h"
#include "qorOrvaneUI/dispatch/Dispatchfrm.h"
#include "runtime/widgets/report/ReportViewer.h"
#include <qorOrvaneUI/dispatch/clsShowDispatch.h>
#include <qorOrvaneUI/external/IControlUI.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/widgets/ScriptedUi.h>
#include <qorOrvaneUI/widgets/report/Report.h>

#include <QDialog>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using orvane::dispatch::clsShowDispatch;
using orvane::dispatch::Dispatchfrm;

using namespace Qt::StringLiterals;
using namespace dispatchtest;
using orvane::Recordset;
namespace rep = orvane::report;

namespace {

const QString kDefaultTemplate = QStringLiteral(ORVANE_SAMPLES_DIR "/reports/g_dispatch.rpt");

// What the view held while it was open.
struct Seen {
    QString caption;
    QStringList formulaTexts; // "NAME=text"
    QString text;             // the viewer's plain text
    std::vector<QString> discountPercentages;
    QRect viewer;
    QSize view;
    bool authBound = false;
    bool authSecondBound = false;
    int authRows = -1;
};

Seen showAndLook(clsShowDispatch &d, const QString &xml,
                 const QString &templatePath = kDefaultTemplate, orvane::WindowHandle owner = 0)
{
    orvane::test::ScopedScriptedUi ui;
    Seen seen;
    ui->onDialog([&](QDialog *dialog) {
        auto *view = dynamic_cast<Dispatchfrm *>(dialog);
        ASSERT_NE(view, nullptr);
        seen.caption = view->windowTitle();
        seen.viewer = view->crvDispatch->geometry();
        seen.view = view->size();
        seen.text = view->crvDispatch->toPlainText();
        rep::Report *report = view->crvDispatch->report();
        ASSERT_NE(report, nullptr);
        for (const auto &f : report->formulaFields())
            seen.formulaTexts << f.name() % u"="_s % f.formulaText();
        Recordset discounts = report->table(2).dataSource().clone();
        for (; !discounts.eof(); discounts.moveNext())
            seen.discountPercentages.push_back(discounts.value(u"DiscountPercentage"_s).toText());
        for (const auto &section : report->sections())
            for (const auto &object : section.reportObjects())
                if (object.kind() == rep::ObjectKind::Subreport &&
                    object.name() == u"Authorizations"_s) {
                    rep::Report &sub = object.openSubreport();
                    seen.authBound = sub.table(1).hasDataSource();
                    seen.authRows = seen.authBound ? sub.table(1).dataSource().recordCount() : -1;
                    if (sub.tableCount() > 1)
                        seen.authSecondBound = sub.table(2).hasDataSource();
                }
        dialog->close();
    });
    d.ShowDispatch(owner, xml, templatePath);
    EXPECT_EQ(ui->dialogsShown().size(), 1u);
    EXPECT_GE(ui->doEventsCalls(), 1);
    return seen;
}

QString writeTemplate(QTemporaryDir &dir, const QByteArray &text)
{
    QString path = dir.filePath(u"t.rpt"_s);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(text);
    return path;
}

QString formula(const Seen &seen, const QString &name)
{
    for (const QString &f : seen.formulaTexts)
        if (f.startsWith(name % u"="_s))
            return f.mid(name.size() + 1);
    return u"(absent)"_s;
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

struct RegisteredControlUI {
    explicit RegisteredControlUI(orvane::ObjectRegistry::Factory f)
    {
        orvane::ObjectRegistry::instance().registerClass(
            QString::fromUtf16(orvane::ext::progid::ControlUI), std::move(f));
    }
    ~RegisteredControlUI()
    {
        orvane::ObjectRegistry::instance().unregisterClass(
            QString::fromUtf16(orvane::ext::progid::ControlUI));
    }
};

} // namespace

TEST(DispatchReport, ShowsTheSampleWithEveryBindingAndPercentagesTimesOneHundred)
{
    clsShowDispatch d;
    const Seen seen = showAndLook(d, sample(u"glass-replacement.xml"_s));
    EXPECT_EQ(seen.caption, u"Dispatch View"_s);
    EXPECT_TRUE(seen.text.contains(u"Margaret O'Donnell"_s));
    EXPECT_TRUE(seen.text.contains(u"$412.50"_s));
    EXPECT_TRUE(seen.text.contains(u"Urethane kit authorization"_s)); // auth subreport
    EXPECT_TRUE(seen.text.contains(u"Door (DR)"_s));                  // damage subreport
    EXPECT_TRUE(seen.text.contains(u"35%"_s));
    EXPECT_EQ(seen.discountPercentages, (std::vector<QString>{u"35"_s, u"10"_s, u"0"_s}));
    EXPECT_TRUE(seen.authBound);
    EXPECT_EQ(seen.authRows, 4);
    EXPECT_EQ(formula(seen, u"ESCHEDULE"_s), u"''"_s); // no indicator: the template's own
    EXPECT_EQ(formula(seen, u"REQUESTTIME"_s), u"''"_s);

    // The record sets stay with the object after the view has closed.
    EXPECT_EQ(d.discountRecordset().recordCount(), 3);
    EXPECT_EQ(d.damageRecordset().recordCount(), 2);
    // The view fills its width and its height less 500 twips.
    EXPECT_EQ(seen.viewer, QRect(0, 0, seen.view.width(), seen.view.height() - 33));

    const Seen percent = showAndLook(
        d, doc(u"<DispatchNumber>D1</DispatchNumber><DiscountDetails>"
               u"<DiscountType><DiscountPercentage>0.1</DiscountPercentage></DiscountType>"
               u"<DiscountType><DiscountPercentage>0.25</DiscountPercentage></DiscountType>"
               u"<DiscountType><DiscountTypeCode>X</DiscountTypeCode></DiscountType>"
               u"</DiscountDetails>"_s));
    // A percentage the document left out is not invented as 0.
    EXPECT_EQ(percent.discountPercentages, (std::vector<QString>{u"10"_s, u"25"_s, u""_s}));
    EXPECT_EQ(d.discountRecordset().absolutePosition(), 1); // back on the first row
}

TEST(DispatchReport, AppointmentAndEscheduleFormulaTexts)
{
    struct Case {
        QString begin, end, expected;
    };
    const std::vector<Case> cases{
        {u"0800"_s, u"   "_s, u"'08:00'"_s},
        {u"0800"_s, QString(), u"'08:00'"_s},
        {u"0800"_s, u"1630"_s, u"'08:00-16:30'"_s},
        {u"8"_s, u"12"_s, u"'8:-12:'"_s},
        {QString(), QString(), u"''"_s}, // no requested time: nothing, not ":"
    };
    for (const Case &c : cases) {
        clsShowDispatch d;
        const Seen seen = showAndLook(d, doc(u"<DispatchNumber>D1</DispatchNumber>"_s %
                                             element(u"BeginRequestedTime"_s, c.begin) %
                                             element(u"EndRequestedTime"_s, c.end)));
        EXPECT_EQ(formula(seen, u"REQUESTTIME"_s), c.expected)
            << c.begin.toStdString() << "/" << c.end.toStdString();
    }

    clsShowDispatch d;
    const Seen mobile = showAndLook(d, sample(u"mobile-eschedule.xml"_s));
    EXPECT_EQ(formula(mobile, u"MOBILELOCATIONDESCRIPTION"_s),
              u"'Employee lot behind O''Hare Logistics, gate 4'"_s);
    EXPECT_TRUE(mobile.text.contains(u"Employee lot behind O'Hare Logistics, gate 4"_s));
    EXPECT_EQ(formula(mobile, u"WORKLOCATIONPOSTALCODE"_s), u"'62526'"_s);
    EXPECT_TRUE(mobile.text.contains(u"Orvane E-SCHEDULE"_s));
    EXPECT_TRUE(mobile.text.contains(u"08:00-12:00"_s));

    // The e-schedule formula follows the indicator only.
    QTemporaryDir dir;
    const QString path = writeTemplate(dir, R"(<report>
      <database><table name="D"/><table name="X"/></database>
      <formulas><formula name=" eschedule ">'from the template'</formula>
        <formula name="Other">'kept'</formula></formulas>
      <section><formula name="ESCHEDULE"/></section></report>)");
    for (const auto &[indicator, expected] :
         std::vector<std::pair<QString, QString>>{{u"Y"_s, u"'Orvane E-SCHEDULE'"_s},
                                                  {u"N"_s, u"'from the template'"_s},
                                                  {QString(), u"'from the template'"_s}}) {
        const Seen seen = showAndLook(d,
                                      doc(u"<DispatchNumber>D1</DispatchNumber>"_s %
                                          element(u"EscheduleIndicator"_s, indicator)),
                                      path);
        EXPECT_EQ(formula(seen, u" eschedule "_s), expected) << indicator.toStdString();
        EXPECT_EQ(formula(seen, u"Other"_s), u"'kept'"_s);
    }
}

TEST(DispatchReport, SubreportsBindByTheNameOfTheirFirstTableAndPlainTemplatesShow)
{
    QTemporaryDir dir;
    const QString path = writeTemplate(dir, R"(<report>
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
    clsShowDispatch d;
    const Seen seen = showAndLook(d, sample(u"glass-replacement.xml"_s), path);
    EXPECT_TRUE(seen.authBound);
    EXPECT_TRUE(seen.authSecondBound); // every table follows the first one's name
    EXPECT_TRUE(seen.text.contains(u"A:MOULDING"_s));
    EXPECT_TRUE(seen.text.contains(u"O:Driver"_s));
    EXPECT_FALSE(seen.text.contains(u"N:"_s)); // first table "Other": left unbound

    // A template without formulas or subreports, and a document that is no XML, still show.
    const QString plainPath = writeTemplate(dir, R"(<report>
      <database><table name="D"/><table name="X"/></database>
      <section><p>Dispatch <field source="D.DispatchNumber"/></p></section></report>)");
    const Seen plain = showAndLook(d, sample(u"glass-replacement.xml"_s), plainPath);
    EXPECT_TRUE(plain.formulaTexts.isEmpty());
    EXPECT_TRUE(plain.text.contains(u"Dispatch D-2026-118734"_s));

    const Seen junk = showAndLook(d, u"<<this is not xml"_s);
    EXPECT_TRUE(junk.text.contains(u"Glass Dispatch"_s));
    EXPECT_EQ(junk.authRows, 0);
    EXPECT_TRUE(junk.discountPercentages.empty());
}

TEST(DispatchReport, FailuresAreWrappedByEachProcedure)
{
    orvane::test::ScopedScriptedUi ui;
    clsShowDispatch d;
    QString xml = sample(u"glass-replacement.xml"_s);
    QTemporaryDir dir;
    orvane::WindowHandle owner = 0;

    QString missing = dir.filePath(u"none.rpt"_s);
    const orvane::VbError notFound = raised([&] { d.ShowDispatch(owner, xml, missing); });
    EXPECT_EQ(notFound.number(), 53);
    EXPECT_EQ(notFound.source(), u"qorOrvaneUI.clsShowDispatch.ShowDispatch()"_s);
    EXPECT_TRUE(notFound.description().startsWith(
        u"qorOrvaneUI.clsShowDispatch.ShowDispatch()\r\nLine : 50\r\n"
        u"qorOrvaneUI.clsShowDispatch.ShowReport()\r\nLine : 10\r\nFile not found"_s))
        << notFound.description().toStdString();

    QString oneTable =
        writeTemplate(dir, "<report><database><table name='D'/></database></report>");
    const orvane::VbError noSecond = raised([&] { d.ShowDispatch(owner, xml, oneTable); });
    EXPECT_EQ(noSecond.number(), 9);
    EXPECT_TRUE(noSecond.description().startsWith(
        u"qorOrvaneUI.clsShowDispatch.ShowDispatch()\r\nLine : 50\r\n"
        u"qorOrvaneUI.clsShowDispatch.ShowReport()\r\nLine : 20\r\n"_s));

    // ShowReport on its own wraps once.
    const orvane::VbError once = raised([&] { d.ShowReport(owner, oneTable); });
    EXPECT_EQ(once.source(), u"qorOrvaneUI.clsShowDispatch.ShowReport()"_s);
    EXPECT_TRUE(once.description().startsWith(
        u"qorOrvaneUI.clsShowDispatch.ShowReport()\r\nLine : 20\r\nSubscript out of range"_s));

    EXPECT_TRUE(ui->dialogsShown().empty());
}

TEST(DispatchReport, ADamagedDocumentShowsWhatCouldBeReadAndSaysWhatCouldNot)
{
    clsShowDispatch d;
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
    const QString comment(90, u'c');
    const QString description = u"Fleet glass discount for every windshield"_s; // 41
    const Seen whole = showAndLook(
        d, doc(u"<DispatchNumber>D2</DispatchNumber><InsurerComments><Comment>"_s % comment %
               u"</Comment><Comment>Call before noon</Comment></InsurerComments>"
               u"<DiscountDetails><DiscountType><DiscountTypeDescription>"_s %
               description % u"</DiscountTypeDescription></DiscountType></DiscountDetails>"_s));
    EXPECT_TRUE(whole.text.contains(u"Call before noon"_s)) << whole.text.toStdString();
    EXPECT_TRUE(whole.text.contains(description));
    EXPECT_EQ(d.dispatchRecordset().value(u"InsurerComments"_s).toText().size(), 100);
    EXPECT_FALSE(whole.text.contains(u"incomplete"_s));
}

TEST(DispatchReport, ViewRegistersWithTheHostLayoutServiceAndIgnoresItsFailures)
{
    {
        RegisteredControlUI reg([] { return std::make_shared<RecordingControlUI>(); });
        RecordingControlUI::calls.clear();
        clsShowDispatch d;
        showAndLook(d, sample(u"minimal.xml"_s));
        EXPECT_EQ(RecordingControlUI::calls,
                  (QStringList{u"Initialize Dispatchfrm"_s, u"Terminate Dispatchfrm"_s}));
        RecordingControlUI::failing = true;
        EXPECT_TRUE(showAndLook(d, sample(u"minimal.xml"_s)).text.contains(u"D-2026"_s));
        RecordingControlUI::failing = false;
    }
    clsShowDispatch d; // no layout service registered at all
    EXPECT_TRUE(showAndLook(d, sample(u"minimal.xml"_s)).text.contains(u"D-2026"_s));
}

TEST(DispatchReport, ViewerHeightIsNeverNegativeAndTheViewIsCentredOverItsOwner)
{
    orvane::test::ScopedScriptedUi ui;
    Dispatchfrm view;
    // A hidden view gets its resize event when shown; call the handler as that event would.
    view.resize(400, 20);
    view.Form_Resize();
    EXPECT_EQ(view.crvDispatch->height(), 0);
    view.resize(400, 300);
    view.Form_Resize();
    EXPECT_EQ(view.crvDispatch->geometry(), QRect(0, 0, 400, 267));

    ui->setWindowRect(4711, QRect(100, 50, 1600, 1000));
    clsShowDispatch d;
    QString xml = sample(u"minimal.xml"_s);
    QString path = kDefaultTemplate;
    orvane::WindowHandle owner = 4711;
    QPoint placed;
    QSize size;
    ui->onDialog([&](QDialog *dialog) {
        placed = dialog->pos();
        size = dialog->frameGeometry().size();
        dialog->close();
    });
    d.ShowDispatch(owner, xml, path);
    EXPECT_NEAR(placed.x() + size.width() / 2.0, 100 + 800, 2);
    EXPECT_NEAR(placed.y() + size.height() / 2.0, 50 + 500, 2);
}
