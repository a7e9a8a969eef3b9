#pragma once

#include "Recordset.h"

#include <QString>

#include <vector>

namespace orvane {
class XmlDocument;
class XmlNode;
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
    orvane::Recordset GetDiscounts(QString &dispatchXML);
    orvane::Recordset GetAuths(QString &dispatchXML);
    orvane::Recordset GetDamages(QString &dispatchXML);

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

    orvane::Recordset rsDispatch;
    orvane::Recordset rsDiscount;
    orvane::Recordset rsAuth;
    orvane::Recordset rsDamage;
};
