#pragma once

#include <qorOrvaneUI/runtime/Recordset.h>

#include <QString>
#include <QStringList>

#include <vector>

namespace orvane {
class Proc;
class XmlDocument;
class XmlNode;
} // namespace orvane

namespace orvane::dispatch {

// A received dispatch as record sets: the dispatch, its discounts,
// authorizations and damage lines, and the copies the report shows (texts
// whole, and notes on a document that could not be read whole).
//
// Failures carry the public parser's names ("qorOrvaneUI.clsShowDispatch.
// FillRecordset()" and so on): hosts know them by those.
class DispatchRecords {
public:
    void CreateRecordset();
    void FillRecordset(const XmlDocument &document);
    void NodeValue(const XmlNode &node, const QString &name, Recordset &rs);
    // One group of the document, as a clone sharing the rows held here.
    Recordset GetDiscounts(const QString &dispatchXML);
    Recordset GetAuths(const QString &dispatchXML);
    Recordset GetDamages(const QString &dispatchXML);
    // What is read before a report: fresh record sets, the fill (a value that
    // cannot be read is named, not fatal) and the discount percentages in
    // percentage points. `p` is the caller's trap.
    void load(const QString &dispatchXML, Proc &p);

    const Recordset &dispatch() const { return rsDispatch; }
    const Recordset &discounts() const { return rsDiscount; }
    const Recordset &auths() const { return rsAuth; }
    const Recordset &damages() const { return rsDamage; }
    // The report's copies of the last dispatch loaded (empty before one was).
    const Recordset &reportDispatch() const { return rsReportDispatch_; }
    const Recordset &reportDiscounts() const { return rsReportDiscount_; }
    const QStringList &reportNotes() const { return reportNotes_; }

private:
    void CreateDisRecordset();
    void CreateAuthRecordset();
    void CreateDamageRecordset();
    void FillDisRecordset(const XmlDocument &document);
    void FillAuthRecordset(const XmlDocument &document);
    void FillDamageRecordset(const XmlDocument &document);
    // The fills proper, given where the document's groups stand.
    static std::vector<XmlNode> findGroup(const XmlDocument &document, const QString &container);
    void fillDiscounts(const XmlNode &container, const XmlNode &dispatchNumber);
    void fillAuths(const XmlNode &container, const XmlNode &dispatchNumber);
    void fillDamages(const XmlNode &container);
    // The report's copies of the dispatch and discount record sets, whose
    // texts are whole as the document carries them.
    void makeReportCopies(const XmlDocument &document);

    Recordset rsDispatch;
    Recordset rsDiscount;
    Recordset rsAuth;
    Recordset rsDamage;
    Recordset rsReportDispatch_;
    Recordset rsReportDiscount_;
    QStringList reportNotes_;
};

} // namespace orvane::dispatch
