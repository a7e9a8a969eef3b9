#include "runtime/RuntimeHelpers.h"
#include "runtime/vb.h"
#include "runtime/widgets/report/ReportViewer.h"
#include <qorOrvaneUI/widgets/report/Report.h>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using orvane::Recordset;
using orvane::test::openRecordset;
using orvane::test::raised;
namespace ftype = orvane::ftype;
namespace rep = orvane::report;

namespace {

const QByteArray kTemplate = R"(<report name="t" title="T" currency-symbol="$">
  <database><table name="MAIN"/><table name="LINES"/></database>
  <formulas><formula name="Greeting">'Hello ' + {MAIN.Name} + '!'</formula></formulas>
  <section name="Head"><p>Name: <field source="MAIN.Name"/>|<formula name="greeting"/></p>
    <field source="MAIN.Missing" prefix="[" suffix="]"/></section>
  <section name="Lines" kind="detail" table="lines" class="grid">
    <header><th>Code</th><th>Pct</th></header>
    <row><td><field source="LINES.Code"/></td><td><field source="{LINES.Pct}" format="percent"/></td></row>
    <empty>nothing</empty>
  </section>
  <section name="Subs"><div><subreport name="A"><database><table name="S"/></database></subreport></div>
    <text name="caption">static <field source="MAIN.Missing"/>!</text><line/>
  </section>
</report>)";

// A report of one section showing the formula F, whose text is `formula`.
QByteArray formulaReport(const QByteArray &formula)
{
    return "<report><formulas><formula name='F'>" + formula +
           "</formula></formulas><section><formula name='F'/></section></report>";
}

} // namespace

// The dispatch report tests carry the bindings, subreports and formulas end to
// end; here what a template of the sample does not reach.
TEST(ReportEngine, ObjectModelAndRenderingOfBoundDataFormulasAndRepeatingRows)
{
    auto report = rep::Report::fromText(kTemplate);
    EXPECT_EQ(raised([&] { report->table(0); }).number(), rep::err::SubscriptOutOfRange);
    const auto &objects = report->sections()[2].reportObjects();
    ASSERT_EQ(objects.size(), 4u); // subreport (nested in a div), text, its field, line
    EXPECT_EQ(raised([&] { objects[1].openSubreport(); }).number(), rep::err::NotASubreport);

    const QString unbound = report->toHtml();
    EXPECT_TRUE(unbound.contains(u"<td class=\"empty\" colspan=\"2\">nothing</td>"_s));
    EXPECT_TRUE(unbound.contains(u"Hello !"_s)); // an unbound table reads as empty
    EXPECT_FALSE(unbound.contains(u"["_s));      // prefixes only around a value

    Recordset head =
        openRecordset({{u"Name"_s, ftype::Text, 100}, {u"Missing"_s, ftype::Text, 100}});
    head.loadRow({u"O'Hare <b>"_s, u"x"_s});
    report->table(1).setDataSource(head);
    Recordset lines = openRecordset({{u"Code"_s, ftype::Text, 100}, {u"Pct"_s, ftype::Text, 100}});
    lines.loadRow({u"GLS"_s, 35.0});
    lines.loadRow({u"KIT"_s, 12.5});
    lines.moveLast(); // the caller's cursor is not the report's business
    report->table(2).setDataSource(lines);
    const QString html = report->toHtml();
    EXPECT_TRUE(html.contains(u"Name: O&#x27;Hare &lt;b&gt;|Hello O&#x27;Hare &lt;b&gt;!"_s) ||
                html.contains(u"Name: O'Hare &lt;b&gt;|Hello O'Hare &lt;b&gt;!"_s))
        << html.toStdString();
    EXPECT_TRUE(html.contains(u"[x]"_s));
    EXPECT_TRUE(html.contains(u"<td>KIT</td><td>12.5%</td>"_s)) << html.toStdString();
    EXPECT_FALSE(html.contains(u"nothing"_s));
    EXPECT_TRUE(html.contains(u"static x!"_s) && html.contains(u"<hr/>"_s));
    EXPECT_EQ(lines.absolutePosition(), 2);
}

TEST(ReportEngine, FormatsDatesMoneyPercentagesPhonesAndLineBreaks)
{
    const QByteArray text = R"(<report currency-symbol="$"><database><table name="T"/></database>
      <section><field source="T.D" format="date"/>|<field source="T.M" format="money"/>|<field
      source="T.N" format="money"/>|<field source="T.P" format="phone"/>|<field source="T.B"
      format="yesno"/>|<field source="T.C"/>|<field source="T.Q" format="percent"/></section></report>)";
    auto report = rep::Report::fromText(text);
    Recordset rs = openRecordset({{u"D"_s, ftype::Date},
                                  {u"M"_s, ftype::Currency},
                                  {u"N"_s, ftype::Double},
                                  {u"P"_s, ftype::Text, 20},
                                  {u"B"_s, ftype::Bool},
                                  {u"C"_s, ftype::Text, 100},
                                  {u"Q"_s, ftype::Double}});
    rs.loadRow({QDate(2024, 3, 15), u"1234567.5"_s, -12.0, u"2175550143"_s, true,
                u"one\r\ntwo\r\n"_s, 7.000000000000001});
    report->table(1).setDataSource(rs);
    const QString html = report->toHtml();
    const QString date = QLocale::system().toString(QDate(2024, 3, 15), QLocale::ShortFormat);
    EXPECT_TRUE(html.contains(date % u"|$1,234,567.50|-$12.00|(217) 555-0143|Yes|one<br/>two|7%"_s))
        << html.toStdString();
    // The zero date is how a missing date travels: it shows blank.
    rs.moveFirst();
    rs.setValue(u"D"_s, orvane::DateValue{});
    rs.update();
    const QString blank = report->toHtml();
    EXPECT_FALSE(blank.contains(vb::FormatShortDate(orvane::DateValue{}))) << blank.toStdString();
}

TEST(ReportEngine, TemplatesFormulasAndTheirFailures)
{
    QTemporaryDir dir;
    EXPECT_EQ(raised([&] { rep::Report::open(dir.filePath(u"none.rpt"_s)); }).number(),
              rep::err::FileNotFound);
    EXPECT_EQ(raised([&] { rep::Report::open(dir.path()); }).number(), rep::err::FileAccess);

    // One literal on two lines, not two entries.
    const char *unknownFormat = "<report><database><table name='T'/></database><section>"
                                "<field source='T.X' format='roman'/></section></report>";
    for (const char *text :
         {"<report><unclosed></report>", "<html/>",
          "<report><section><field source='NOPE.X'/></section></report>", unknownFormat,
          "<report><section><formula name='X'/></section></report>",
          "<report><formulas><formula name='F'>'open</formula></formulas></report>"})
        EXPECT_EQ(raised([&] { rep::Report::fromText(QByteArray(text)); }).number(),
                  rep::err::InvalidTemplate)
            << text;
    EXPECT_TRUE(raised([] { rep::Report::fromText(formulaReport("'open")); })
                    .description()
                    .contains(u"not closed"_s));

    auto nested = [](const QByteArray &open, const QByteArray &close, int levels) -> QByteArray {
        return "<report><section>" + open.repeated(levels) + close.repeated(levels) +
               "</section></report>";
    };
    EXPECT_NO_THROW(rep::Report::fromText(nested("<div>", "</div>", 250)));
    EXPECT_NO_THROW(
        rep::Report::fromText(nested("<subreport><section>", "</section></subreport>", 4)));
    for (const QByteArray &deep : {nested("<div>", "</div>", 100000),
                                   nested("<subreport><section>", "</section></subreport>", 5)})
        EXPECT_EQ(raised([&] { rep::Report::fromText(deep); }).number(), rep::err::InvalidTemplate);

    EXPECT_EQ(rep::evaluateLiteralFormula(rep::quoteFormulaText(u"O'Hare ''x"_s)), u"O'Hare ''x"_s);
    EXPECT_EQ(rep::evaluateLiteralFormula(u" 'a' +'b'+ '' "_s), u"ab"_s);
    for (const QString &bad : {u"'a' 'b'"_s, u"'a' +"_s, u"abc"_s, u"{T}"_s, u"'a''"_s})
        EXPECT_EQ(raised([&] { rep::evaluateLiteralFormula(bad); }).number(),
                  rep::err::FormulaError)
            << bad.toStdString();

    // A formula text set by a caller is checked when the report renders.
    auto checked = rep::Report::fromText(formulaReport("''"));
    checked->formulaFields()[0].setFormulaText(u"'unclosed"_s);
    EXPECT_EQ(raised([&] { checked->toHtml(); }).number(), rep::err::FormulaError);
}

// Callers view and then refresh at once: the second lays nothing out again,
// while a refresh after the data changed shows the change.
TEST(ReportViewer, RefreshLaysOutAgainOnlyWhatChanged)
{
    auto report = rep::Report::fromText(formulaReport("'first'"));
    rep::ReportViewer viewer;
    int layouts = 0;
    QObject::connect(&viewer, &QTextEdit::textChanged, [&] { ++layouts; });
    viewer.setReport(report.get());
    viewer.viewReport();
    const int first = layouts;
    viewer.refresh();
    EXPECT_EQ(layouts, first);
    EXPECT_TRUE(viewer.toPlainText().contains(u"first"_s));

    report->formulaFields()[0].setFormulaText(u"'second'"_s);
    viewer.refresh();
    EXPECT_GT(layouts, first);
    EXPECT_TRUE(viewer.toPlainText().contains(u"second"_s));

    viewer.setReport(nullptr);
    viewer.viewReport();
    EXPECT_TRUE(viewer.toPlainText().isEmpty());
}

// A template opened again comes from the last parse: each caller still gets a
// report of its own, and an edited file is read afresh.
TEST(ReportEngine, TemplateOpenedAgainIsAReportOfItsOwn)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"t.rpt"_s);
    auto write = [&](const QByteArray &text) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    };
    write(kTemplate);
    auto first = rep::Report::open(path);
    first->formulaFields()[0].setFormulaText(u"'changed'"_s);
    Recordset main =
        openRecordset({{u"Name"_s, ftype::Text, 100}, {u"Missing"_s, ftype::Text, 100}});
    main.loadRow({u"Ann"_s, u""_s});
    first->table(1).setDataSource(main);
    rep::Report &firstSub = first->sections()[2].reportObjects()[0].openSubreport();
    firstSub.table(1).setDataSource(main);

    auto second = rep::Report::open(path);
    EXPECT_EQ(second->formulaFields()[0].formulaText(), u"'Hello ' + {MAIN.Name} + '!'"_s);
    EXPECT_FALSE(second->table(1).hasDataSource());
    rep::Report &secondSub = second->sections()[2].reportObjects()[0].openSubreport();
    EXPECT_NE(&secondSub, &firstSub);
    EXPECT_FALSE(secondSub.table(1).hasDataSource());
    EXPECT_TRUE(first->toHtml().contains(u"Ann"_s));

    write(QByteArray(kTemplate).replace("title=\"T\"", "title=\"Edited\""));
    EXPECT_EQ(rep::Report::open(path)->title(), u"Edited"_s);
}
