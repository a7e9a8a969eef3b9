#pragma once

#include <qorOrvaneUI/Export.h>

#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/WindowHandle.h>

#include <QString>
#include <QStringList>

#include <memory>

namespace orvane {
namespace ext {
class IInvoice;
}
class XmlDocument;
class XmlNode;
namespace dispatch {
class DispatchRecords;
}
namespace report {
class Report;
} // namespace report
} // namespace orvane

namespace orvane::dispatch {

// Turns a received dispatch into record sets and shows it to the user.
//
// The object holds the dispatch, discount, authorization and damage record sets
// of the last parsed document; the getters hand the host clones that share
// their rows.
class QORORVANEUI_EXPORT clsShowDispatch {
public:
    clsShowDispatch();
    ~clsShowDispatch();
    clsShowDispatch(const clsShowDispatch &) = delete;
    clsShowDispatch &operator=(const clsShowDispatch &) = delete;

    // --- public interface (arguments by reference, as the host passes them) ---
    // Shows the dispatch as a report over the host's window; returns when the
    // user has closed it. Failures reach the host wrapped by each procedure
    // they passed through.
    void ShowDispatch(const orvane::WindowHandle &hWndOwner, const QString &dispatchXML,
                      const QString &ReportPath);
    // Shows the appointment the dispatch asks for; the owner and report path
    // are accepted and not used. Every one of the five e-schedule elements is
    // required.
    void ShowEschedule(const orvane::WindowHandle &hWndOwner, const QString &dispatchXML,
                       const QString &ReportPath);
    orvane::Recordset GetDiscounts(const QString &dispatchXML);
    orvane::Recordset GetAuths(const QString &dispatchXML);
    orvane::Recordset GetDamages(const QString &dispatchXML);
    // Lets the user find a received dispatch and link it to the open order,
    // taking over the values the user chooses; returns when the view closes.
    // The order's values change in objInvoice only: the host saves it.
    void ChooseDispatch(const orvane::WindowHandle &hWndOwner,
                        const std::shared_ptr<orvane::ext::IInvoice> &objInvoice);

    // --- the report, used by ShowDispatch and the tools ------------------------
    // Opens the template, binds the record sets held now and shows the view.
    void ShowReport(const orvane::WindowHandle &hWndOwner, const QString &ReportPath);
    // What ShowDispatch shows, without a view: the dispatch parsed and bound to
    // the template (for printing and export). Failures are wrapped as
    // "qorOrvaneUI.clsShowDispatch.BoundReport()".
    std::unique_ptr<orvane::report::Report> BoundReport(const QString &dispatchXML,
                                                        const QString &ReportPath);

    // --- parsing, used by the report and the tools ----------------------------
    void CreateRecordset();
    void FillRecordset(const orvane::XmlDocument &document);
    void NodeValue(const orvane::XmlNode &node, const QString &name, orvane::Recordset &rs);

    const orvane::Recordset &dispatchRecordset() const;
    const orvane::Recordset &discountRecordset() const;
    const orvane::Recordset &authRecordset() const;
    const orvane::Recordset &damageRecordset() const;

private:
    std::unique_ptr<orvane::dispatch::DispatchRecords> records_;
};

} // namespace orvane::dispatch
