#include "transport/OrvaneOut.h"

#include "runtime/vb.h"
#include "transport/StagingDatabase.h"
#include "transport/TableObjects.h"
#include <qorOrvaneUI/external/IEnvironment.h>
#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>

#include <QDate>
#include <QSqlQuery>

#include <cmath>

using namespace Qt::StringLiterals;

namespace orvane::transport {

namespace {

const QString Source = u"qorOrvaneOut.clsorvaneout.returnorder"_s;

QString childText(const XmlNode &parent, const QString &name)
{
    const XmlNode n = parent.isNull() ? XmlNode() : parent.findFirst(XmlNameSet(name));
    return n.isNull() ? QString() : n.text().trimmed();
}

// Sets a field the order has; the host decides which fields an order
// carries, so a missing one is passed over. Text the field cannot hold is cut
// to it and noted whole in `cut`, so the comparison can say so.
void put(Recordset &rs, const QString &field, const Value &value,
         QHash<QString, QString> *cut = nullptr)
{
    if (rs.fieldIndex(field) < 0)
        return;
    if (value.kind() == ValueKind::Text) {
        const QString text = value.toText();
        const QString fitted = rs.field(field).fitted(text);
        if (cut && fitted != text)
            cut->insert(field.toLower(), text);
        rs.setValue(field, fitted);
        return;
    }
    rs.setValue(field, value);
}

// "YYYYMMDD" as a date; nothing for a missing or impossible one.
Value dateOf(const QString &text)
{
    const QDate d = QDate::fromString(text, u"yyyyMMdd"_s);
    return d.isValid() ? Value(d) : Value();
}

// A ten-digit number (or eleven with a leading 1) as area code and number.
std::pair<QString, QString> splitPhone(const QString &text)
{
    QString digits;
    for (QChar c : text)
        if (c.isDigit())
            digits += c;
    if (digits.size() == 11 && digits.startsWith(u'1'))
        digits.remove(0, 1);
    if (digits.size() == 10)
        return {digits.left(3), digits.mid(3)};
    return {QString(), digits};
}

// The first row of a parameterised query on the shop database, or nothing.
std::optional<std::vector<QVariant>> firstRow(StagingDatabase &db, const QString &text,
                                              const QVariantList &params, int columns)
{
    QSqlQuery q = sql::exec(db.db(), text, params, Source);
    if (!q.next())
        return std::nullopt;
    std::vector<QVariant> row;
    row.reserve(columns);
    for (int i = 0; i < columns; ++i)
        row.push_back(q.value(i));
    q.finish();
    return row;
}

} // namespace

void Clsorvaneout::returnorder(const QString &key, const QString &dispatchXml,
                               std::shared_ptr<ext::IInvoice> &order)
{
    XmlDocument doc;
    doc.loadXml(dispatchXml);
    const XmlNode dispatch = doc.asNode().findFirst(XmlNameSet(u"Dispatch"_s));
    if (dispatch.isNull())
        throw VbError(err::BadArguments, Source,
                      u"The document for "_s % key % u" holds no dispatch."_s);
    // Each value is the first element of its name in the document, wherever it
    // stands (some networks wrap the insured, the vehicle and the agent in
    // elements of their own, others do not), exactly as the dispatch report
    // reads it: the comparison must show what the user saw in the report.
    const XmlNode whole = doc.asNode();
    auto text = [&whole](const QString &name) { return childText(whole, name); };
    QString number = text(u"DispatchNumber"_s);
    if (number.isEmpty() && key.startsWith(u"DISPATCH"_s, Qt::CaseInsensitive))
        number = key.mid(8).trimmed();

    auto made = CreateObject<ext::IInvoice>(QString::fromUtf16(OrderProgId));
    std::shared_ptr<ext::IEnvironment> env = made->Env();
    if (!env)
        throw VbError(err::ObjectVariableNotSet, Source, u"The new order has no environment."_s);
    auto db = StagingDatabase::open(env->GetConnectString(env->data_path(), 0));
    Recordset rs = made->itemsrecordset();
    cut_.clear();
    auto putText = [&rs, this](const QString &field, const QString &value) {
        put(rs, field, value, &cut_);
    };

    put(rs, u"dispatch"_s, number);
    put(rs, u"dispdate"_s, dateOf(text(u"DispatchCreateDate"_s)));
    put(rs, u"lossdate"_s, dateOf(text(u"DateofLoss"_s)));
    putText(u"claim"_s, text(u"LossIdentificationNumbers"_s));

    putText(u"s_first"_s, text(u"InsuredOrClaimantFirstName"_s));
    putText(u"s_last"_s, text(u"InsuredOrClaimantLastName"_s));
    putText(u"s_address"_s, text(u"InsuredOrClaimantAddress"_s));
    putText(u"s_city"_s, text(u"InsuredOrClaimantCity"_s));
    putText(u"s_state"_s, text(u"InsuredOrClaimantStateProvince"_s));
    putText(u"s_zip"_s, text(u"InsuredOrClaimantPostalCode"_s));
    // The loss notice sends home as the main number and work as the other.
    const auto [homeArea, home] = splitPhone(text(u"InsuredOrClaimantTelephone"_s));
    put(rs, u"s_area2"_s, homeArea);
    put(rs, u"s_phone2"_s, home);
    const auto [workArea, work] = splitPhone(text(u"InsuredOrClaimantAlternateTelephone"_s));
    put(rs, u"s_area1"_s, workArea);
    put(rs, u"s_phone1"_s, work);

    putText(u"carid"_s, text(u"VehicleID"_s));
    putText(u"year"_s, text(u"VehicleYear"_s));
    putText(u"make"_s, text(u"VehicleMake"_s));
    putText(u"model"_s, text(u"VehicleModel"_s));
    putText(u"body"_s, text(u"VehicleStyle"_s));
    putText(u"vin"_s, text(u"VehicleIDNumber"_s));

    // No deductible in the dispatch is no value, not a deductible of 0. One
    // that cannot be read as an amount ("two hundred") is no value either, and
    // Null so that the comparison offers nothing: the order keeps its own.
    const QString deductible = text(u"Deductible"_s);
    Value amount;
    if (!deductible.isEmpty()) {
        try {
            amount = Value(deductible).convertedTo(ValueKind::Currency);
        } catch (const VbError &) {
            amount = Value::null();
        }
    }
    put(rs, u"deductible"_s, amount);

    // The agent: the host's own record when the name is known there.
    const QString agentFirst = text(u"AgentFirstName"_s);
    const QString agentLast = text(u"AgentLastName"_s);
    const auto [agentArea, agentPhone] = splitPhone(text(u"AgentTelephone"_s));
    putText(u"a_first"_s, agentFirst);
    putText(u"a_last"_s, agentLast);
    put(rs, u"a_area"_s, agentArea);
    put(rs, u"a_phone"_s, agentPhone);
    if (!agentFirst.isEmpty() || !agentLast.isEmpty()) {
        if (auto row = firstRow(*db,
                                u"SELECT agentid, a_company FROM agents WHERE LOWER(a_first) = ? "
                                u"AND LOWER(a_last) = ? ORDER BY agentid"_s,
                                {agentFirst.toLower(), agentLast.toLower()}, 2)) {
            put(rs, u"agentid"_s, Value(std::int32_t((*row)[0].toInt())));
            put(rs, u"a_company"_s, (*row)[1].toString());
        }
    }

    // The bill-to party is the insurer, known to the host by its network ID.
    // An insurer the host does not know leaves billto_id empty and names the
    // insurer in b_company, so the comparison can show whom the dispatch bills.
    const QString insurer = text(u"InsurerID"_s);
    if (!insurer.isEmpty()) {
        if (auto row = firstRow(*db,
                                u"SELECT billto_id, b_company FROM billto WHERE orvaneid = ? "
                                u"ORDER BY billto_id"_s,
                                {insurer}, 2)) {
            put(rs, u"billto_id"_s, Value(std::int32_t((*row)[0].toInt())));
            put(rs, u"b_company"_s, (*row)[1].toString());
        } else {
            const QString name = text(u"InsurerName"_s);
            putText(u"b_company"_s, name.isEmpty() ? insurer : name % u" ("_s % insurer % u")"_s);
        }
    }

    // The discount: the host's discount with the glass discount's percentage
    // (the one that is neither for kits nor hourly).
    for (const XmlNode &d : elementsNamed(doc.asNode(), u"DiscountType"_s)) {
        if (childText(d, u"KitIndicator"_s) == u"Y"_s ||
            childText(d, u"HourlyIndicator"_s) == u"Y"_s)
            continue;
        double pct = vb::Val(childText(d, u"DiscountPercentage"_s));
        if (pct > 0 && pct <= 1)
            pct *= 100; // sent as a fraction
        if (pct <= 0)
            break;
        if (auto row = firstRow(*db,
                                u"SELECT discountid, discounttext, discountpct FROM discounts "
                                u"WHERE discountpct BETWEEN ? AND ? ORDER BY discountid"_s,
                                {pct - 0.005, pct + 0.005}, 3)) {
            put(rs, u"discountid"_s, Value(std::int32_t((*row)[0].toInt())));
            put(rs, u"discounttext"_s, (*row)[1].toString());
            put(rs, u"discountpct"_s, (*row)[2].toDouble());
        } else {
            // A discount the host does not have: described, with no id.
            QString name = childText(d, u"DiscountTypeDescription"_s);
            if (name.isEmpty())
                name = childText(d, u"DiscountTypeCode"_s);
            putText(u"discounttext"_s, vb::Trim(name % u" "_s % vb::NumberText(pct) % u"%"_s));
        }
        break;
    }
    rs.update();
    order = std::move(made);
}

} // namespace orvane::transport
