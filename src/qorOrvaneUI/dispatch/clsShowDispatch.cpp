#include <qorOrvaneUI/dispatch/clsShowDispatch.h>

#include "qorOrvaneUI/core/WindowAPImod.h"
#include "qorOrvaneUI/core/XMLUtilmod.h"
#include "qorOrvaneUI/dispatch/ChooseDispatchfrm.h"
#include "qorOrvaneUI/dispatch/DispatchRecords.h"
#include "qorOrvaneUI/dispatch/DispatchReport.h"
#include "qorOrvaneUI/dispatch/frmEscheduleInfo.h"
#include "runtime/vb.h"
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>
#include <qorOrvaneUI/widgets/Ui.h>
#include <qorOrvaneUI/widgets/report/Report.h>

#include <QLabel>

namespace orvane::dispatch {

using namespace Qt::StringLiterals;
using orvane::Proc;
using orvane::Recordset;
using orvane::Value;
using orvane::XmlDocument;
using orvane::XmlNode;
using orvane::dispatch::DispatchReport;

clsShowDispatch::clsShowDispatch() : records_(std::make_unique<orvane::dispatch::DispatchRecords>())
{
}

clsShowDispatch::~clsShowDispatch() = default;

// --- parsing ---------------------------------------------------------------------

void clsShowDispatch::CreateRecordset()
{
    records_->CreateRecordset();
}

void clsShowDispatch::FillRecordset(const XmlDocument &document)
{
    records_->FillRecordset(document);
}

void clsShowDispatch::NodeValue(const XmlNode &node, const QString &name, Recordset &rs)
{
    records_->NodeValue(node, name, rs);
}

Recordset clsShowDispatch::GetDiscounts(const QString &dispatchXML)
{
    return records_->GetDiscounts(dispatchXML);
}

Recordset clsShowDispatch::GetAuths(const QString &dispatchXML)
{
    return records_->GetAuths(dispatchXML);
}

Recordset clsShowDispatch::GetDamages(const QString &dispatchXML)
{
    return records_->GetDamages(dispatchXML);
}

const Recordset &clsShowDispatch::dispatchRecordset() const
{
    return records_->dispatch();
}

const Recordset &clsShowDispatch::discountRecordset() const
{
    return records_->discounts();
}

const Recordset &clsShowDispatch::authRecordset() const
{
    return records_->auths();
}

const Recordset &clsShowDispatch::damageRecordset() const
{
    return records_->damages();
}

// --- the report ------------------------------------------------------------------

void clsShowDispatch::ShowDispatch(const orvane::WindowHandle &hWndOwner,
                                   const QString &dispatchXML, const QString &ReportPath)
{
    DispatchReport(*records_).ShowDispatch(hWndOwner, dispatchXML, ReportPath);
}

void clsShowDispatch::ShowReport(const orvane::WindowHandle &hWndOwner, const QString &ReportPath)
{
    DispatchReport(*records_).ShowReport(hWndOwner, ReportPath);
}

std::unique_ptr<orvane::report::Report> clsShowDispatch::BoundReport(const QString &dispatchXML,
                                                                     const QString &ReportPath)
{
    return DispatchReport(*records_).BoundReport(dispatchXML, ReportPath);
}

// --- the e-schedule ------------------------------------------------------------------

namespace {

// The text of the first child of the first element of that name: an element
// that is missing or empty has no first child to read (91), and one that holds
// elements has no text (94).
QString firstChildText(const XmlDocument &document, const QString &name)
{
    const XmlNode element = XMLUtilmod::FindNode(document.asNode(), name);
    const XmlNode first = element.isNull() ? XmlNode() : element.firstChild();
    if (first.isNull())
        throw orvane::objectVariableNotSet();
    return first.nodeValue().toText();
}

// The same, with a missing or empty element read as empty text: an
// appointment is shown with what it has (a mobile job often has no end time).
QString optionalChildText(const XmlDocument &document, const QString &name, int &found)
{
    const XmlNode element = XMLUtilmod::FindNode(document.asNode(), name);
    if (element.isNull() || element.firstChild().isNull())
        return {};
    ++found;
    return firstChildText(document, name);
}

} // namespace

void clsShowDispatch::ShowEschedule(const orvane::WindowHandle &hWndOwner,
                                    const QString &dispatchXML, const QString &ReportPath)
{
    Q_UNUSED(hWndOwner)
    Q_UNUSED(ReportPath)
    Proc p(u"qorOrvaneUI.clsShowDispatch.ShowESchedule()"_s);
    try {
        p.at(10);
        XmlDocument document;
        document.loadXml(dispatchXML);
        int found = 0;
        p.at(20);
        const QString date = optionalChildText(document, u"RequestedAppointmentDate"_s, found);
        p.at(30);
        const QString begin = optionalChildText(document, u"BeginRequestedTime"_s, found);
        p.at(40);
        const QString end = optionalChildText(document, u"EndRequestedTime"_s, found);
        p.at(50);
        const QString location = optionalChildText(document, u"MobileLocationDescription"_s, found);
        p.at(60);
        const QString mobile = optionalChildText(document, u"MobileIndicator"_s, found);
        // A dispatch without any appointment has nothing to show.
        if (found == 0)
            throw orvane::objectVariableNotSet();

        p.at(70);
        frmEscheduleInfo view;
        p.at(80);
        try {
            if (vb::Trim(date).isEmpty())
                throw orvane::objectVariableNotSet(); // no date: the value stays empty
            // Lenient: "2024abcd" is month 0 and day 0, which carry back to 30 Nov 2023.
            const int year = Value(vb::Val(vb::Mid(date, 1, 4))).toInt32();
            const int month = Value(vb::Val(vb::Mid(date, 5, 2))).toInt32();
            const int day = Value(vb::Val(vb::Mid(date, 7, 2))).toInt32();
            view.lblEsched[0]->setText(vb::FormatShortDate(vb::DateSerial(year, month, day)));
        } catch (...) {
            // A date that cannot be made leaves the value empty; the view still shows.
        }
        p.at(90);
        // A time the dispatch does not give shows empty, not a lone ":".
        view.lblEsched[1]->setText(vb::Trim(begin).isEmpty() ? QString()
                                                             : orvane::dispatch::timeText(begin));
        view.lblEsched[2]->setText(vb::Trim(end).isEmpty() ? QString()
                                                           : orvane::dispatch::timeText(end));
        view.lblEsched[3]->setText(location);
        view.lblEsched[4]->setText(vb::UCase(vb::Trim(mobile)) == u"Y"_s ? u"MOBILE"_s
                                                                         : u"In-Shop"_s);
        p.at(100);
        view.Form_Load();
        orvane::Ui::instance().showModal(&view);
    } catch (...) {
        p.rethrow();
    }
}

// --- dispatch linking ------------------------------------------------------------------

void clsShowDispatch::ChooseDispatch(const orvane::WindowHandle &hWndOwner,
                                     const std::shared_ptr<orvane::ext::IInvoice> &objInvoice)
{
    Proc p(u"qorOrvaneUI.clsShowDispatch.ChooseDispatch()"_s);
    try {
        p.at(10);
        // Unloaded by its destructor however the procedure ends.
        ChooseDispatchfrm view;
        view.setInvoice(objInvoice);
        p.at(20);
        WindowAPImod::CentreOverOwner(hWndOwner, &view);
        p.at(30);
        orvane::Ui::instance().showModal(&view);
        p.at(40);
        view.Form_Unload();
    } catch (...) {
        p.rethrow();
    }
}

} // namespace orvane::dispatch
