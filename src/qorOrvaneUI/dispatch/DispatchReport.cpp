#include "qorOrvaneUI/dispatch/DispatchReport.h"

#include "qorOrvaneUI/core/WindowAPImod.h"
#include "qorOrvaneUI/dispatch/DispatchRecords.h"
#include "qorOrvaneUI/dispatch/Dispatchfrm.h"
#include "runtime/vb.h"
#include "runtime/widgets/report/ReportViewer.h"
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/widgets/Ui.h>
#include <qorOrvaneUI/widgets/report/Report.h>

using namespace Qt::StringLiterals;
using orvane::Proc;

namespace orvane::dispatch {

QString timeText(const QString &hhmm)
{
    return vb::Mid(hhmm, 1, 2) % u":"_s % vb::Mid(hhmm, 3, 2);
}

namespace {

QString requestTime(const QString &begin, const QString &end)
{
    // A dispatch without a requested time shows none, not a lone ":".
    if (vb::Trim(begin).isEmpty() && vb::Trim(end).isEmpty())
        return {};
    QString text = timeText(begin);
    if (!vb::Trim(end).isEmpty())
        text = text % u"-"_s % timeText(end);
    return text;
}

} // namespace

void DispatchReport::bindReport(orvane::report::Report &report, Proc &p) const
{
    using orvane::report::quoteFormulaText;
    p.at(20);
    // The report's copies when the dispatch was read for it (whole texts).
    report.table(1).setDataSource(records_.reportDispatch().fieldCount() > 0
                                      ? records_.reportDispatch()
                                      : records_.dispatch());
    report.table(2).setDataSource(records_.reportDiscounts().fieldCount() > 0
                                      ? records_.reportDiscounts()
                                      : records_.discounts());

    p.at(30);
    for (orvane::report::FormulaField &formula : report.formulaFields()) {
        const QString name = vb::UCase(vb::Trim(formula.name()));
        if (name == u"MOBILELOCATIONDESCRIPTION"_s) {
            formula.setFormulaText(quoteFormulaText(
                records_.dispatch().value(u"MobileLocationDescription"_s).toText()));
        } else if (name == u"REQUESTTIME"_s) {
            formula.setFormulaText(quoteFormulaText(
                requestTime(records_.dispatch().value(u"BeginRequestedTime"_s).toText(),
                            records_.dispatch().value(u"EndRequestedTime"_s).toText())));
        } else if (name == u"ESCHEDULE"_s) {
            if (records_.dispatch().value(u"EscheduleIndicator"_s).toBool())
                formula.setFormulaText(u"'Orvane E-SCHEDULE'"_s);
        } else if (name == u"WORKLOCATIONPOSTALCODE"_s) {
            formula.setFormulaText(
                quoteFormulaText(records_.dispatch().value(u"WorkLocationPostalCode"_s).toText()));
        } else if (name == u"DOCUMENTNOTE"_s) {
            formula.setFormulaText(quoteFormulaText(records_.reportNotes().join(u' ')));
        }
    }

    p.at(40);
    for (const orvane::report::ReportSection &section : report.sections()) {
        for (const orvane::report::ReportObject &object : section.reportObjects()) {
            if (object.kind() != orvane::report::ObjectKind::Subreport)
                continue;
            orvane::report::Report &sub = object.openSubreport();
            // Every table of a subreport follows the name of its first one.
            for (int i = 1; i <= sub.tableCount(); ++i) {
                const QString first = vb::UCase(vb::Trim(sub.table(1).name()));
                if (first == u"AUTH_TTX"_s)
                    sub.table(i).setDataSource(records_.auths());
                else if (first == u"OPENINGTYPES_TTX"_s)
                    sub.table(i).setDataSource(records_.damages());
            }
        }
    }
}

std::unique_ptr<orvane::report::Report> DispatchReport::openBoundReport(const QString &ReportPath,
                                                                        Proc &p)
{
    p.at(10);
    orvane::report::ReportEngine engine;
    std::unique_ptr<orvane::report::Report> report = engine.OpenReport(ReportPath);
    bindReport(*report, p);
    return report;
}

void DispatchReport::ShowDispatch(orvane::WindowHandle hWndOwner, const QString &dispatchXML,
                                  const QString &ReportPath)
{
    Proc p(u"qorOrvaneUI.clsShowDispatch.ShowDispatch()"_s);
    try {
        records_.load(dispatchXML, p);
        p.at(50);
        ShowReport(hWndOwner, ReportPath);
    } catch (...) {
        p.rethrow();
    }
}

void DispatchReport::ShowReport(orvane::WindowHandle hWndOwner, const QString &ReportPath)
{
    Proc p(u"qorOrvaneUI.clsShowDispatch.ShowReport()"_s);
    // The engine and the report live only as long as the view shows them
    // (declared so that the view goes first).
    std::unique_ptr<orvane::report::ReportEngine> crxApplication;
    std::unique_ptr<orvane::report::Report> crxReport;
    std::unique_ptr<Dispatchfrm> view;
    try {
        p.at(10);
        crxApplication = std::make_unique<orvane::report::ReportEngine>();
        crxReport = crxApplication->OpenReport(ReportPath);
        bindReport(*crxReport, p);

        p.at(50);
        view = std::make_unique<Dispatchfrm>();
        view->crvDispatch->setReport(crxReport.get());
        view->crvDispatch->viewReport();
        orvane::Ui::instance().doEvents();
        view->crvDispatch->refresh();

        p.at(60);
        WindowAPImod::CentreOverOwner(hWndOwner, view.get());

        p.at(70);
        orvane::Ui::instance().showModal(view.get());
        p.at(80);
        view->Form_Unload();
    } catch (...) {
        p.rethrow();
    }
}

std::unique_ptr<orvane::report::Report> DispatchReport::BoundReport(const QString &dispatchXML,
                                                                    const QString &ReportPath)
{
    Proc p(u"qorOrvaneUI.clsShowDispatch.BoundReport()"_s);
    try {
        records_.load(dispatchXML, p);
        p.at(50);
        return openBoundReport(ReportPath, p);
    } catch (...) {
        p.rethrow();
    }
}

} // namespace orvane::dispatch
