#pragma once

#include "Recordset.h"
#include "Ui.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace orvane {
namespace ext {
class IInvoice;
}
class Proc;
class XmlDocument;
class XmlNode;
namespace report {
class Report;
class ReportEngine;
} // namespace report
} // namespace orvane

// Turns a received dispatch into record sets and shows it to the user.
//
// The object holds the dispatch, discount, authorization and damage record sets
// of the last parsed document; the getters hand the host clones that share
// their rows.
class clsShowDispatch {
public:
    clsShowDispatch();
    ~clsShowDispatch();
    clsShowDispatch(const clsShowDispatch &) = delete;
    clsShowDispatch &operator=(const clsShowDispatch &) = delete;

    // --- public interface (arguments by reference, as the host passes them) ---
    // Shows the dispatch as a report over the host's window; returns when the
    // user has closed it. Failures reach the host wrapped by each procedure
    // they passed through.
    void ShowDispatch(orvane::WindowHandle &hWndOwner, QString &dispatchXML, QString &ReportPath);
    // Shows the appointment the dispatch asks for; the owner and report path
    // are accepted and not used. Every one of the five e-schedule elements is
    // required.
    void ShowEschedule(orvane::WindowHandle &hWndOwner, QString &dispatchXML, QString &ReportPath);
    orvane::Recordset GetDiscounts(QString &dispatchXML);
    orvane::Recordset GetAuths(QString &dispatchXML);
    orvane::Recordset GetDamages(QString &dispatchXML);
    // Lets the user find a received dispatch and link it to the open order,
    // taking over the values the user chooses; returns when the view closes.
    // The order's values change in objInvoice only: the host saves it.
    void ChooseDispatch(orvane::WindowHandle &hWndOwner,
                        std::shared_ptr<orvane::ext::IInvoice> &objInvoice);

    // --- the report, used by ShowDispatch and the tools ------------------------
    // Opens the template, binds the record sets held now and shows the view.
    void ShowReport(orvane::WindowHandle &hWndOwner, QString &ReportPath);
    // What ShowDispatch shows, without a view: the dispatch parsed and bound to
    // the template (for printing and export). Failures are wrapped as
    // "qorOrvaneUI.clsShowDispatch.BoundReport()".
    std::unique_ptr<orvane::report::Report> BoundReport(const QString &dispatchXML,
                                                        const QString &ReportPath);

    // --- parsing, used by the report and the tools ----------------------------
    void CreateRecordset();
    void FillRecordset(const orvane::XmlDocument &document);
    void NodeValue(const orvane::XmlNode &node, const QString &name, orvane::Recordset &rs);

    const orvane::Recordset &dispatchRecordset() const { return rsDispatch; }
    const orvane::Recordset &discountRecordset() const { return rsDiscount; }
    const orvane::Recordset &authRecordset() const { return rsAuth; }
    const orvane::Recordset &damageRecordset() const { return rsDamage; }

private:
    void CreateDisRecordset();
    void CreateAuthRecordset();
    void CreateDamageRecordset();
    void FillDisRecordset(const orvane::XmlDocument &document);
    void FillAuthRecordset(const orvane::XmlDocument &document);
    void FillDamageRecordset(const orvane::XmlDocument &document);
    // The fills proper, given where the document's groups stand.
    static std::vector<orvane::XmlNode> findGroup(const orvane::XmlDocument &document,
                                                  const QString &container);
    void fillDiscounts(const orvane::XmlNode &container, const orvane::XmlNode &dispatchNumber);
    void fillAuths(const orvane::XmlNode &container, const orvane::XmlNode &dispatchNumber);
    void fillDamages(const orvane::XmlNode &container);
    // ShowDispatch's steps before the report: fresh record sets, the fill and
    // the discount percentages in percentage points.
    void loadDispatch(const QString &dispatchXML, orvane::Proc &p);
    // ShowReport's steps before the view: open the template and bind it.
    std::unique_ptr<orvane::report::Report> openBoundReport(const QString &ReportPath,
                                                            orvane::Proc &p);
    void bindReport(orvane::report::Report &report, orvane::Proc &p) const;
    // The report's copies of the dispatch and discount record sets, whose
    // texts are whole as the document carries them.
    void makeReportCopies(const orvane::XmlDocument &document);

    orvane::Recordset rsDispatch;
    orvane::Recordset rsDiscount;
    orvane::Recordset rsAuth;
    orvane::Recordset rsDamage;
    // What the report shows of the last dispatch read for it: texts whole,
    // and notes on a document that could not be read whole (DOCUMENTNOTE).
    orvane::Recordset rsReportDispatch_;
    orvane::Recordset rsReportDiscount_;
    QStringList reportNotes_;
    // Held only while ShowReport runs.
    std::unique_ptr<orvane::report::ReportEngine> crxApplication;
    std::unique_ptr<orvane::report::Report> crxReport;
};
