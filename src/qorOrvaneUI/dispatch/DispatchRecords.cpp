#include "qorOrvaneUI/dispatch/DispatchRecords.h"

#include "qorOrvaneUI/core/XMLUtilmod.h"
#include "runtime/vb.h"
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>
#include <qorOrvaneUI/widgets/Ui.h>

#include <QCoreApplication>

#include <array>
#include <optional>
#include <string_view>

using namespace Qt::StringLiterals;
using orvane::Proc;
using orvane::Recordset;
using orvane::Value;
using orvane::XmlDocument;
using orvane::XmlNode;
namespace ftype = orvane::ftype;

namespace orvane::dispatch {

namespace {

struct FieldSpec {
    const char16_t *name;
    int type;
    int size;
};

// The dispatch record: every field in order. Fields the dispatch never fills
// (the discount and authorization columns) stay so that templates bound to
// the full layout keep working.
constexpr std::array<FieldSpec, 78> kDispatchFields{{
    {u"EnvironmentID", ftype::Text, 50},
    {u"OriginationPID", ftype::Text, 50},
    {u"DestinationPID", ftype::Text, 50},
    {u"ReceivingCOmpanyID", ftype::Text, 50},
    {u"ReturnCode", ftype::Text, 10},
    {u"ReturnText", ftype::Text, 200},
    {u"TransactionDate", ftype::Date, 0},
    {u"TransactionTime", ftype::Text, 20},
    {u"VersionNumber", ftype::Text, 20},
    {u"DateofLoss", ftype::Date, 0},
    {u"LossIdentificationNumbers", ftype::Text, 50},
    {u"DispatchNumber", ftype::Text, 30},
    {u"DispatchCreateDate", ftype::Date, 0},
    {u"DispatchCreateTime", ftype::Text, 20},
    {u"VehicleID", ftype::Text, 50},
    {u"VehicleIDSource", ftype::Text, 20},
    {u"VehicleYear", ftype::Text, 4},
    {u"VehicleMake", ftype::Text, 50},
    {u"VehicleModel", ftype::Text, 50},
    {u"VehicleStyle", ftype::Text, 50},
    {u"InsuredOrClaimantFirstName", ftype::Text, 30},
    {u"InsuredOrClaimantLastName", ftype::Text, 50},
    {u"InsuredOrClaimantAddress", ftype::Text, 100},
    {u"InsuredOrClaimantCity", ftype::Text, 30},
    {u"InsuredOrClaimantStateProvince", ftype::Text, 10},
    {u"InsuredOrClaimantPostalCode", ftype::Text, 15},
    {u"InsuredOrClaimantTelephone", ftype::Text, 15},
    {u"InsuredOrClaimantAlternateTelephone", ftype::Text, 15},
    {u"Deductible", ftype::Currency, 0},
    {u"LossReferenceNumber", ftype::Text, 50},
    {u"GlassVendorName", ftype::Text, 30},
    {u"GlassVendorAddress", ftype::Text, 50},
    {u"GlassVendorCity", ftype::Text, 30},
    {u"GlassVendorStateProvince", ftype::Text, 10},
    {u"GlassVendorPostalCode", ftype::Text, 15},
    {u"GlassVendorTelephone", ftype::Text, 15},
    {u"GlassVendorFax", ftype::Text, 15},
    {u"MaxRepairs", ftype::Int32, 0},
    {u"Alert", ftype::Text, 200},
    {u"VehicleIDNumber", ftype::Text, 20},
    {u"InsurerComments", ftype::Text, 100},
    {u"ClaimType", ftype::Text, 15},
    {u"ClaimTypeDescription", ftype::Text, 100},
    {u"RequestedAppointmentDate", ftype::Date, 0},
    {u"MobileIndicator", ftype::Bool, 0},
    {u"InsurerID", ftype::Text, 30},
    {u"InsurerName", ftype::Text, 40},
    {u"OriginationCompanyName", ftype::Text, 40},
    {u"OriginationAddress", ftype::Text, 40},
    {u"OriginationCity", ftype::Text, 40},
    {u"OriginationStateProvince", ftype::Text, 15},
    {u"OriginationPostalCode", ftype::Text, 15},
    {u"OriginationTelephone", ftype::Text, 15},
    {u"OriginationFax", ftype::Text, 15},
    {u"OriginationEmail", ftype::Text, 20},
    {u"OriginationURL", ftype::Text, 30},
    {u"AgentFirstName", ftype::Text, 25},
    {u"AgentLastName", ftype::Text, 30},
    {u"AgentTelephone", ftype::Text, 15},
    {u"FixedBidAmount", ftype::Currency, 0},
    {u"DiscountTypeCode", ftype::Text, 10},
    {u"DiscountTypeDescription", ftype::Text, 30},
    {u"KitIndicator", ftype::Bool, 0},
    {u"DiscountPercentage", ftype::Double, 0},
    {u"HourlyIndicator", ftype::Bool, 0},
    {u"Rate", ftype::Double, 0},
    {u"TimeAbove", ftype::Bool, 0},
    {u"TimeAboveRate", ftype::Double, 0},
    {u"TimeAboveHourlyIndicator", ftype::Bool, 0},
    {u"Type", ftype::Text, 5},
    {u"Name", ftype::Text, 25},
    {u"Description", ftype::Text, 50},
    {u"OnlineEnabled", ftype::Bool, 0},
    {u"EscheduleIndicator", ftype::Bool, 0},
    {u"BeginRequestedTime", ftype::Text, 5},
    {u"EndRequestedTime", ftype::Text, 5},
    {u"MobileLocationDescription", ftype::Text, 120},
    {u"WorkLocationPostalCode", ftype::Text, 9},
}};

constexpr int kInsurerComments = 40; // index of InsurerComments
constexpr int kGlassVendorFax = 36;
constexpr int kAlert = 38;
constexpr int kFixedBidAmount = 59;
constexpr int kFirstNeverFilled = 60; // DiscountTypeCode .. OnlineEnabled stay empty
constexpr int kEscheduleIndicator = 73;

constexpr std::array<FieldSpec, 10> kDiscountFields{{
    {u"DispatchNumber", ftype::Text, 30},
    {u"DiscountTypeCode", ftype::Text, 10},
    {u"DiscountTypeDescription", ftype::Text, 30},
    {u"KitIndicator", ftype::Bool, 0},
    {u"DiscountPercentage", ftype::Double, 0},
    {u"HourlyIndicator", ftype::Bool, 0},
    {u"Rate", ftype::Double, 0},
    {u"TimeAbove", ftype::Double, 0},
    {u"TimeAboveRate", ftype::Double, 0},
    {u"TimeAboveHourlyIndicator", ftype::Bool, 0},
}};

constexpr std::array<FieldSpec, 5> kAuthFields{{
    {u"DispatchNumber", ftype::Text, 30},
    {u"Type", ftype::Text, 5},
    {u"Name", ftype::Text, 25},
    {u"Description", ftype::Text, 50},
    {u"OnlineEnabled", ftype::Bool, 0},
}};

constexpr std::array<FieldSpec, 7> kDamageFields{{
    {u"OpeningTypeCode", ftype::Text, 4},
    {u"OpeningType", ftype::Text, 30},
    {u"PositionCode", ftype::Text, 4},
    {u"Position", ftype::Text, 30},
    {u"SideCode", ftype::Text, 4},
    {u"Side", ftype::Text, 30},
    {u"Qty", ftype::Int64, 0},
}};

struct CodeText {
    const char16_t *code;
    const char16_t *text;
};

constexpr std::array<CodeText, 10> kOpeningTypes{{
    {u"WR", u"Windshield Repair"},
    {u"WS", u"Windshield"},
    {u"DR", u"Door"},
    {u"SI", u"Side"},
    {u"VN", u"Vent"},
    {u"QT", u"Quarter"},
    {u"PT", u"Partition"},
    {u"OT", u"Other"},
    {u"BK", u"Back Window"},
    {u"RF", u"Roof"},
}};

constexpr std::array<CodeText, 4> kPositions{{
    {u"B", u"Back"},
    {u"F", u"Front"},
    {u"M", u"Middle"},
    {u"R", u"Rear"},
}};

constexpr std::array<CodeText, 3> kSides{{
    {u"C", u"Center"},
    {u"L", u"Driver"},
    {u"R", u"Passenger"},
}};

// Each layout is built once; every new record set of it shares the field list.
template <const auto &Fields> Recordset makeRecordset()
{
    static const Recordset prototype = [] {
        Recordset rs;
        for (const FieldSpec &f : Fields)
            rs.appendField(QString::fromUtf16(f.name), f.type, f.size);
        rs.open();
        return rs;
    }();
    return prototype.emptyCopy();
}

template <std::size_t N>
QString translate(const std::array<CodeText, N> &table, const QString &code)
{
    const QString key = vb::UCase(vb::Trim(code));
    for (const CodeText &row : table)
        if (key == QStringView(row.code))
            return QString::fromUtf16(row.text);
    return {};
}

// The element names one walk over the document looks for: the dispatch
// fields. A per-field search from the top would walk the whole tree sixty-odd
// times; this finds the same first-in-document-order element for every name in
// one pass.
// The group containers ride along in the same walk.
constexpr int kDiscountDetailsSlot = int(kDispatchFields.size());
constexpr int kAuthorizationDetailsSlot = kDiscountDetailsSlot + 1;
constexpr int kDispatchSlot = kDiscountDetailsSlot + 2;
constexpr int kDispatchNumber = 11;

const orvane::XmlNameSet &dispatchNames()
{
    static const orvane::XmlNameSet names = [] {
        QStringList list;
        for (const FieldSpec &f : kDispatchFields)
            list << QString::fromUtf16(f.name);
        list << u"DiscountDetails"_s << u"AuthorizationDetails"_s << u"Dispatch"_s;
        return orvane::XmlNameSet(list);
    }();
    return names;
}

struct MemberNames {
    static const orvane::XmlNameSet &discount()
    {
        static const orvane::XmlNameSet s(
            QStringList{u"DiscountTypeCode"_s, u"DiscountTypeDescription"_s, u"KitIndicator"_s,
                        u"DiscountPercentage"_s, u"HourlyIndicator"_s, u"Rate"_s, u"TimeAbove"_s,
                        u"TimeAboveRate"_s, u"TimeaboveHourlyIndicator"_s});
        return s;
    }
    static const orvane::XmlNameSet &auth()
    {
        static const orvane::XmlNameSet s(
            QStringList{u"Type"_s, u"Name"_s, u"Description"_s, u"OnlineEnabled"_s});
        return s;
    }
    static const orvane::XmlNameSet &damage()
    {
        static const orvane::XmlNameSet s(
            QStringList{u"OpeningTypeCode"_s, u"PositionCode"_s, u"SideCode"_s});
        return s;
    }
};

// The width the text for a field of a fixed type is cut to before the record
// set converts it.
int definedWidth(const Recordset &rs, int index)
{
    return rs.fieldDef(index).definedSize;
}

// Stores the text of `element`'s first child into field `index` of the current
// row by the field's type. An absent element or one without children leaves
// the field untouched.
void storeElement(const XmlNode &element, Recordset &rs, int index)
{
    if (element.isNull())
        return;
    const XmlNode first = element.firstChild();
    if (first.isNull())
        return;
    const char *raw = first.nodeValueUtf8();
    if (!raw) // an element holding elements: no text to read
        throw orvane::invalidUseOfNull();
    const QString text = orvane::xmlTextFromUtf8(raw);
    const int type = rs.fieldDef(index).type;
    if (type == ftype::Date) {
        const int year = Value(vb::Mid(text, 1, 4)).toInt32();
        const int month = Value(vb::Mid(text, 5, 2)).toInt32();
        const int day = Value(vb::Mid(text, 7, 2)).toInt32();
        rs.field(index).setValue(vb::DateSerial(year, month, day));
    } else if (type == ftype::Bool) {
        rs.field(index).setValue(text == u"Y"_s);
    } else if (orvane::isTextType(type)) {
        rs.field(index).setValue(rs.field(index).fitted(text));
    } else {
        rs.field(index).setValue(vb::Left(text, definedWidth(rs, index)));
    }
}

// While the report reads a dispatch, a field that cannot be read is left
// empty and named here instead of ending the read (see load).
QStringList *unreadable = nullptr;

// NodeValue once its element is found: stores it and reports a failure as
// NodeValue does, at the statement that stores.
void nodeValue(const XmlNode &element, Recordset &rs, int index)
{
    try {
        storeElement(element, rs, index);
    } catch (const orvane::VbError &e) {
        // The element and the text it holds, so staff can tell the insurer
        // what is wrong: Deductible "two hundred".
        const XmlNode first = element.firstChild();
        const char *raw = first.isNull() ? nullptr : first.nodeValueUtf8();
        const QString named =
            QCoreApplication::translate("orvane::dispatch::clsShowDispatch", "%1 \"%2\"")
                .arg(QString::fromUtf8(element.nodeNameUtf8()),
                     raw ? orvane::xmlTextFromUtf8(raw) : QString());
        if (unreadable) {
            *unreadable << named;
            return;
        }
        Proc p(u"qorOrvaneUI.clsShowDispatch.NodeValue()"_s);
        p.at(20);
        try {
            throw orvane::VbError(e.number(), e.source(), named % u": "_s % e.description());
        } catch (...) {
            p.rethrow();
        }
    } catch (...) {
        Proc p(u"qorOrvaneUI.clsShowDispatch.NodeValue()"_s);
        p.at(20);
        p.rethrow();
    }
}

// Group members are matched by their exact name, trimmed of spaces.
bool isMember(const XmlNode &child, std::string_view name)
{
    std::string_view n(child.nodeNameUtf8());
    while (!n.empty() && n.front() == ' ')
        n.remove_prefix(1);
    while (!n.empty() && n.back() == ' ')
        n.remove_suffix(1);
    return n == name;
}

} // namespace

void DispatchRecords::NodeValue(const XmlNode &node, const QString &name, Recordset &rs)
{
    Proc p(u"qorOrvaneUI.clsShowDispatch.NodeValue()"_s);
    try {
        p.at(10);
        const XmlNode element = XMLUtilmod::FindNode(node, name);
        p.at(20);
        storeElement(element, rs, rs.field(name).index());
    } catch (...) {
        p.rethrow();
    }
}

void DispatchRecords::CreateRecordset()
{
    orvane::Proc p(u"CreateRecordset"_s);
    try {
        p.at(10);
        rsDispatch = makeRecordset<kDispatchFields>();
        rsReportDispatch_ = Recordset();
        reportNotes_.clear();
        p.at(20);
        CreateDisRecordset();
        p.at(30);
        CreateAuthRecordset();
        p.at(40);
        CreateDamageRecordset();
    } catch (...) {
        const orvane::VbError e = orvane::currentError();
        orvane::Ui::instance().msgBox(
            QCoreApplication::translate("orvane::dispatch::clsShowDispatch",
                                        "Error occurred in CreateRecordset\r\n%1\r\n%2\r\n%3")
                .arg(QString::number(e.number()), e.description(), QString::number(p.line())),
            orvane::MsgButtons::OK);
    }
}

void DispatchRecords::CreateDisRecordset()
{
    rsDiscount = makeRecordset<kDiscountFields>();
    rsReportDiscount_ = Recordset();
}

void DispatchRecords::CreateAuthRecordset()
{
    rsAuth = makeRecordset<kAuthFields>();
}

void DispatchRecords::CreateDamageRecordset()
{
    rsDamage = makeRecordset<kDamageFields>();
}

void DispatchRecords::FillRecordset(const XmlDocument &document)
{
    std::vector<XmlNode> found;
    Proc p(u"qorOrvaneUI.clsShowDispatch.FillRecordset()"_s);
    try {
        p.at(10);
        found = document.asNode().findEach(dispatchNames());
        rsDispatch.addNew();

        // Reading order: table order, Alert after FixedBidAmount, the comments
        // by their own rule, the never-filled fields not at all.
        auto read = [&](int index) { nodeValue(found[std::size_t(index)], rsDispatch, index); };
        p.at(20);
        for (int i = 0; i < kFirstNeverFilled; ++i) {
            if (i == kAlert || i == kInsurerComments)
                continue;
            read(i);
            if (i == kGlassVendorFax) {
                p.at(30);
                // Numbers written with the long-distance prefix lose it.
                const QString fax = rsDispatch.field(i).value().toText();
                if (vb::Trim(fax).size() == 11 && vb::Left(fax, 1) == u"1"_s)
                    rsDispatch.field(i).setValue(vb::Mid(fax, 2));
                p.at(20);
            }
            if (i == kFixedBidAmount)
                read(kAlert);
        }
        for (int i = kEscheduleIndicator; i < int(kDispatchFields.size()); ++i)
            read(i);

        p.at(40);
        const XmlNode comments = found[std::size_t(kInsurerComments)];
        if (!comments.isNull()) {
            for (XmlNode child = comments.firstChild(); !child.isNull();
                 child = child.nextSibling()) {
                if (!isMember(child, "Comment"))
                    continue;
                const XmlNode text = child.firstChild();
                if (text.isNull())
                    continue;
                p.at(50);
                const QString current = rsDispatch.field(kInsurerComments).value().toText();
                const orvane::Field field = rsDispatch.field(kInsurerComments);
                field.setValue(field.fitted(vb::Trim(current) %
                                            vb::Trim(text.nodeValue().toText()) % u"\r\n"_s));
                p.at(40);
            }
        }
        p.at(60);
        rsDispatch.update();
    } catch (...) {
        rsDispatch.cancelUpdate();
        p.rethrow();
    }

    // The groups report their own failures under their own names.
    Proc p2(u"qorOrvaneUI.clsShowDispatch.FillRecordset()"_s);
    try {
        const XmlNode dispatchNumber = found[kDispatchNumber];
        p2.at(70);
        fillDiscounts(found[kDiscountDetailsSlot], dispatchNumber);
        p2.at(80);
        fillAuths(found[kAuthorizationDetailsSlot], dispatchNumber);
        p2.at(90);
        fillDamages(found[kDispatchSlot]);
    } catch (...) {
        p2.rethrow();
    }
}

namespace {

// Shared walk of the discount and authorization groups: one row per member of
// the first container, each carrying the document's first DispatchNumber.
void fillGroup(Recordset &rs, const XmlNode &container, const XmlNode &dispatchNumber,
               std::string_view memberName, const orvane::XmlNameSet &memberFields, Proc &p)
{
    p.at(10);
    if (container.isNull())
        return;
    for (XmlNode child = container.firstChild(); !child.isNull(); child = child.nextSibling()) {
        if (!isMember(child, memberName))
            continue;
        p.at(20);
        rs.addNew();
        try {
            nodeValue(dispatchNumber, rs, 0);
            p.at(30);
            const std::vector<XmlNode> fields = child.findEach(memberFields);
            for (int i = 0; i < memberFields.size(); ++i)
                nodeValue(fields[std::size_t(i)], rs, i + 1);
            p.at(40);
            rs.update();
        } catch (...) {
            rs.cancelUpdate();
            throw;
        }
    }
}

} // namespace

// The group fills find their container and the dispatch number in one walk
// that stops as soon as both are found.
std::vector<XmlNode> DispatchRecords::findGroup(const XmlDocument &document,
                                                const QString &container)
{
    return document.asNode().findEach(
        orvane::XmlNameSet(QStringList{u"DispatchNumber"_s, container}));
}

void DispatchRecords::FillDisRecordset(const XmlDocument &document)
{
    const auto found = findGroup(document, u"DiscountDetails"_s);
    fillDiscounts(found[1], found[0]);
}

void DispatchRecords::FillAuthRecordset(const XmlDocument &document)
{
    const auto found = findGroup(document, u"AuthorizationDetails"_s);
    fillAuths(found[1], found[0]);
}

void DispatchRecords::FillDamageRecordset(const XmlDocument &document)
{
    fillDamages(XMLUtilmod::FindNode(document.asNode(), u"Dispatch"_s));
}

void DispatchRecords::fillDiscounts(const XmlNode &container, const XmlNode &dispatchNumber)
{
    Proc p(u"qorOrvaneUI.clsShowDispatch.FillDisRecordset()"_s);
    try {
        fillGroup(rsDiscount, container, dispatchNumber, "DiscountType", MemberNames::discount(),
                  p);
    } catch (...) {
        p.rethrow();
    }
}

void DispatchRecords::fillAuths(const XmlNode &container, const XmlNode &dispatchNumber)
{
    Proc p(u"qorOrvaneUI.clsShowDispatch.FillAuthRecordset()"_s);
    try {
        fillGroup(rsAuth, container, dispatchNumber, "AuthorizationType", MemberNames::auth(), p);
    } catch (...) {
        p.rethrow();
    }
}

void DispatchRecords::fillDamages(const XmlNode &container)
{
    Proc p(u"qorOrvaneUI.clsShowDispatch.FillDamageRecordset()"_s);
    try {
        p.at(10);
        if (container.isNull())
            return;
        for (XmlNode child = container.firstChild(); !child.isNull(); child = child.nextSibling()) {
            if (!isMember(child, "DamageInformation"))
                continue;
            p.at(20);
            rsDamage.addNew();
            try {
                p.at(30);
                const std::vector<XmlNode> fields = child.findEach(MemberNames::damage());
                // OpeningTypeCode, PositionCode and SideCode sit at 0, 2 and 4.
                for (int i = 0; i < 3; ++i)
                    nodeValue(fields[std::size_t(i)], rsDamage, i * 2);
                p.at(40);
                const QString qty = XMLUtilmod::ReturnNormValue(child, u"GlassDamageQuantity"_s);
                // No quantity given: Qty stays empty instead of failing the row.
                if (!qty.isEmpty())
                    rsDamage.field(6).setValue(qty);
                p.at(50);
                rsDamage.field(1).setValue(
                    translate(kOpeningTypes, rsDamage.field(0).value().toText()));
                rsDamage.field(3).setValue(
                    translate(kPositions, rsDamage.field(2).value().toText()));
                rsDamage.field(5).setValue(translate(kSides, rsDamage.field(4).value().toText()));
                p.at(60);
                rsDamage.update();
            } catch (...) {
                rsDamage.cancelUpdate();
                throw;
            }
        }
    } catch (...) {
        p.rethrow();
    }
}

namespace {

// The three getters differ only in their record set and names.
template <class Create, class Fill>
Recordset getGroup(Recordset &rs, const QString &dispatchXML, Proc p, Create create, Fill fill)
{
    try {
        p.at(10);
        create();
        p.at(20);
        XmlDocument document;
        document.loadXml(dispatchXML); // text that is not XML simply gives no rows
        p.at(30);
        fill(document);
        p.at(40);
        Recordset copy = rs.clone();
        return copy;
    } catch (...) {
        p.rethrow();
    }
}

} // namespace

Recordset DispatchRecords::GetDiscounts(const QString &dispatchXML)
{
    return getGroup(
        rsDiscount, dispatchXML, Proc(u"qorOrvaneUI.clsShowDispatch.GetDiscounts()"_s),
        [this] { CreateDisRecordset(); }, [this](const XmlDocument &d) { FillDisRecordset(d); });
}

Recordset DispatchRecords::GetAuths(const QString &dispatchXML)
{
    return getGroup(
        rsAuth, dispatchXML, Proc(u"qorOrvaneUI.clsShowDispatch.GetAuths()"_s),
        [this] { CreateAuthRecordset(); }, [this](const XmlDocument &d) { FillAuthRecordset(d); });
}

Recordset DispatchRecords::GetDamages(const QString &dispatchXML)
{
    return getGroup(
        rsDamage, dispatchXML,
        Proc(u"qorOrvaneUI.clsShowDispatch.GetDamages()"_s, orvane::WrapStyle::Method,
             u"qorOrvaneUI.clsShowDispatch.Getdamages()"_s),
        [this] { CreateDamageRecordset(); },
        [this](const XmlDocument &d) { FillDamageRecordset(d); });
}

void DispatchRecords::load(const QString &dispatchXML, Proc &p)
{
    p.at(10);
    CreateRecordset();
    reportNotes_.clear();
    p.at(20);
    XmlDocument document;
    // Text that is not XML gives a report with empty fields, which must not
    // pass for a dispatch that carried nothing.
    if (!document.loadXml(dispatchXML) && !vb::Trim(dispatchXML).isEmpty())
        reportNotes_ << QCoreApplication::translate(
                            "orvane::dispatch::clsShowDispatch",
                            "This dispatch document is incomplete or damaged (%1): what the "
                            "insurer sent cannot be shown. Ask the insurer to send it again.")
                            .arg(document.parseError());
    p.at(30);
    {
        // Staff read what the dispatch holds; a value that cannot be read is
        // named rather than hiding everything else.
        QStringList bad;
        struct Lenient {
            explicit Lenient(QStringList *list) { unreadable = list; }
            ~Lenient() { unreadable = nullptr; }
        } lenient(&bad);
        FillRecordset(document);
        if (!bad.isEmpty())
            reportNotes_ << QCoreApplication::translate(
                                "orvane::dispatch::clsShowDispatch",
                                "Some values of this dispatch could not be read and are left "
                                "empty: %1.")
                                .arg(bad.join(u", "_s));
    }
    p.at(40);
    if (rsDiscount.recordCount() > 0) {
        // The template shows percentages as percentage points (0.15 as 15).
        rsDiscount.moveFirst();
        for (; !rsDiscount.eof(); rsDiscount.moveNext()) {
            const orvane::Field percentage = rsDiscount.field(u"DiscountPercentage"_s);
            const Value v = percentage.value();
            // A percentage the document left out stays out rather than becoming 0.
            if (v.isEmpty() || v.isNull())
                continue;
            percentage.setValue(v.toDouble() * 100.0);
        }
        rsDiscount.moveFirst();
    }
    p.at(45);
    makeReportCopies(document);
}

namespace {

// A copy of `rs` (a record set of layout `Fields`) whose text fields hold any
// length, for the report only.
template <const auto &Fields> Recordset wideCopy(const Recordset &rs)
{
    static const Recordset prototype = [] {
        Recordset wide;
        for (const FieldSpec &f : Fields)
            wide.appendField(QString::fromUtf16(f.name), f.type,
                             orvane::isTextType(f.type) ? 0 : f.size);
        wide.open();
        return wide;
    }();
    Recordset wide = prototype.emptyCopy();
    // Row by row as stored: these record sets are never filtered or deleted from.
    rs.forEachRow([&](orvane::RowStatus status, const std::vector<Value> &values) {
        if (status != orvane::RowStatus::Deleted)
            wide.loadRow(values);
    });
    if (wide.recordCount() > 0)
        wide.moveFirst();
    return wide;
}

// The element's text as sent, or nothing when it has none.
std::optional<QString> wholeText(const XmlNode &element)
{
    if (element.isNull())
        return std::nullopt;
    const XmlNode first = element.firstChild();
    const char *raw = first.isNull() ? nullptr : first.nodeValueUtf8();
    if (!raw)
        return std::nullopt;
    return orvane::xmlTextFromUtf8(raw);
}

} // namespace

void DispatchRecords::makeReportCopies(const XmlDocument &document)
{
    // The record sets keep the network's field sizes for the host; the
    // report shows staff every text whole (names, comments, descriptions).
    const std::vector<XmlNode> found = document.asNode().findEach(dispatchNames());
    rsReportDispatch_ = wideCopy<kDispatchFields>(rsDispatch);
    if (rsReportDispatch_.recordCount() > 0) {
        for (int i = 0; i < int(kDispatchFields.size()); ++i) {
            if (!orvane::isTextType(kDispatchFields[std::size_t(i)].type) ||
                (i >= kFirstNeverFilled && i < kEscheduleIndicator) || i == kInsurerComments ||
                i == kGlassVendorFax)
                continue;
            const Value now = rsReportDispatch_.field(i).value();
            if (const auto text = wholeText(found[std::size_t(i)]);
                text && text->size() > now.toText().size() && text->startsWith(now.toText()))
                rsReportDispatch_.field(i).setValue(*text);
        }
        QString comments;
        if (const XmlNode &list = found[std::size_t(kInsurerComments)]; !list.isNull())
            for (XmlNode child = list.firstChild(); !child.isNull(); child = child.nextSibling())
                if (isMember(child, "Comment"))
                    if (const auto text = wholeText(child))
                        comments = vb::Trim(comments) % vb::Trim(*text) % u"\r\n"_s;
        if (!comments.isEmpty())
            rsReportDispatch_.field(kInsurerComments).setValue(comments);
        rsReportDispatch_.update();
    }
    rsReportDiscount_ = wideCopy<kDiscountFields>(rsDiscount);
    if (rsReportDiscount_.recordCount() > 0) {
        const XmlNode &container = found[std::size_t(kDiscountDetailsSlot)];
        rsReportDiscount_.moveFirst();
        for (XmlNode child = container.isNull() ? XmlNode() : container.firstChild();
             !child.isNull() && !rsReportDiscount_.eof(); child = child.nextSibling()) {
            if (!isMember(child, "DiscountType"))
                continue;
            const std::vector<XmlNode> fields = child.findEach(MemberNames::discount());
            if (const auto text = wholeText(fields[1]))
                rsReportDiscount_.setValue(u"DiscountTypeDescription"_s, *text);
            rsReportDiscount_.update();
            rsReportDiscount_.moveNext();
        }
        rsReportDiscount_.moveFirst();
    }
}

} // namespace orvane::dispatch
