#include "qorOrvaneUI/dispatch/OrderComparison.h"

#include "qorOrvaneUI/core/LibraryView.h"
#include "qorOrvaneUI/core/WindowAPImod.h"
#include "qorOrvaneUI/core/modOrvane.h"
#include "qorOrvaneUI/dispatch/Comparersfrm.h"
#include "runtime/vb.h"
#include <qorOrvaneUI/external/IHostItem.h>
#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/runtime/VbError.h>

#include <array>

using namespace Qt::StringLiterals;
using orvane::Proc;
using orvane::Recordset;
using orvane::required;
using orvane::Value;
using orvane::ValueKind;
namespace ext = orvane::ext;

namespace orvane::dispatch {

namespace {

// Failures carry the linking view's name: hosts and logs know them by it.
Proc proc(const QString &procedure)
{
    return Proc(u"qorOrvaneUI.ChooseDispatchfrm."_s % procedure);
}

// The comparison's shown values hold this many characters: every text a
// dispatch carries, where the order's own fields may hold fewer.
constexpr int kShownSize = 1000;

bool isDateKind(const Value &v)
{
    return v.kind() == ValueKind::Date;
}

bool isNumberKind(const Value &v)
{
    switch (v.kind()) {
    case ValueKind::Int32:
    case ValueKind::Int64:
    case ValueKind::Double:
    case ValueKind::Currency:
    case ValueKind::Bool:
        return true;
    default:
        return false;
    }
}

// How a comparison shows its two values.
enum class Shown {
    Plain,        // the tested field's text
    Other,        // another field's text (the bill-to party's company)
    Date,         // the short date
    DiscountText, // the discount's text, trimmed
    Vehicle,      // year, make, model and body (model before make on the dispatch side)
};

enum class Test { Value, Text };

struct Comparison {
    Test test;
    const char16_t *tested;
    const char *caption; // the row's name; Comparersfrm shows it translated
    Shown shown;
    const char16_t *field;      // copied by a plain transfer; empty for the specials
    const char16_t *shownField; // Shown::Other
    bool keepMissingDate = false;
};

// In the order the user sees them.
const std::array<Comparison, 23> kComparisons{{
    {Test::Value, u"billto_id", QT_TRANSLATE_NOOP("orvane::dispatch::Comparersfrm", "BILL TO"),
     Shown::Other, u"billto_id", u"b_company"},
    {Test::Value, u"DiscountID", QT_TRANSLATE_NOOP("orvane::dispatch::Comparersfrm", "Discount"),
     Shown::DiscountText, u"discountid", nullptr},
    {Test::Value, u"LossDate", QT_TRANSLATE_NOOP("orvane::dispatch::Comparersfrm", "Date of Loss"),
     Shown::Date, u"LossDate", nullptr, true},
    {Test::Text, u"Dispatch", QT_TRANSLATE_NOOP("orvane::dispatch::Comparersfrm", "Dispatch #"),
     Shown::Plain, u"Dispatch", nullptr},
    {Test::Value, u"DispDate", QT_TRANSLATE_NOOP("orvane::dispatch::Comparersfrm", "Dispatch Date"),
     Shown::Date, u"DispDate", nullptr, true},
    {Test::Value, u"carid", QT_TRANSLATE_NOOP("orvane::dispatch::Comparersfrm", "Vehicle"),
     Shown::Vehicle, u"", nullptr},
    {Test::Text, u"S_first",
     QT_TRANSLATE_NOOP("orvane::dispatch::Comparersfrm", "Sold To First Name"), Shown::Plain,
     u"s_first", nullptr},
    {Test::Text, u"S_last",
     QT_TRANSLATE_NOOP("orvane::dispatch::Comparersfrm", "Sold To Last Name"), Shown::Plain,
     u"s_last", nullptr},
    {Test::Text, u"s_address",
     QT_TRANSLATE_NOOP("orvane::dispatch::Comparersfrm", "Sold To Address"), Shown::Plain,
     u"s_address", nullptr},
    {Test::Text, u"s_city", QT_TRANSLATE_NOOP("orvane::dispatch::Comparersfrm", "Sold To City"),
     Shown::Plain, u"s_city", nullptr},
    {Test::Text, u"s_State", QT_TRANSLATE_NOOP("orvane::dispatch::Comparersfrm", "Sold To State"),
     Shown::Plain, u"s_state", nullptr},
    {Test::Text, u"s_Zip", QT_TRANSLATE_NOOP("orvane::dispatch::Comparersfrm", "Sold To Zip"),
     Shown::Plain, u"s_zip", nullptr},
    {Test::Text, u"s_area1",
     QT_TRANSLATE_NOOP("orvane::dispatch::Comparersfrm", "Sold To Work Area Code"), Shown::Plain,
     u"s_area1", nullptr},
    {Test::Text, u"s_phone1",
     QT_TRANSLATE_NOOP("orvane::dispatch::Comparersfrm", "Sold To Work Phone #"), Shown::Plain,
     u"s_phone1", nullptr},
    {Test::Text, u"s_area2",
     QT_TRANSLATE_NOOP("orvane::dispatch::Comparersfrm", "Sold To Home Area Code"), Shown::Plain,
     u"s_area2", nullptr},
    {Test::Text, u"s_phone2",
     QT_TRANSLATE_NOOP("orvane::dispatch::Comparersfrm", "Sold To Home Phone #"), Shown::Plain,
     u"s_phone2", nullptr},
    {Test::Value, u"Deductible", QT_TRANSLATE_NOOP("orvane::dispatch::Comparersfrm", "Deductible"),
     Shown::Plain, u"Deductible", nullptr},
    {Test::Value, u"Installdat",
     QT_TRANSLATE_NOOP("orvane::dispatch::Comparersfrm", "Install Date"), Shown::Date,
     u"installdat", nullptr, true},
    {Test::Value, u"InShop", QT_TRANSLATE_NOOP("orvane::dispatch::Comparersfrm", "In Shop"),
     Shown::Plain, u"InShop", nullptr},
    {Test::Text, u"a_first",
     QT_TRANSLATE_NOOP("orvane::dispatch::Comparersfrm", "Agent First Name"), Shown::Plain,
     u"a_first", nullptr},
    {Test::Text, u"a_last", QT_TRANSLATE_NOOP("orvane::dispatch::Comparersfrm", "Agent Last Name"),
     Shown::Plain, u"A_last", nullptr},
    {Test::Text, u"a_area", QT_TRANSLATE_NOOP("orvane::dispatch::Comparersfrm", "Agent Area Code"),
     Shown::Plain, u"a_area", nullptr},
    {Test::Text, u"a_phone", QT_TRANSLATE_NOOP("orvane::dispatch::Comparersfrm", "Agent Phone #"),
     Shown::Plain, u"a_phone", nullptr},
}};

QString str(const char16_t *s)
{
    return s ? QString::fromUtf16(s) : QString();
}

QString vehicleText(const Recordset &rs, bool modelFirst)
{
    auto part = [&](const char16_t *name) { return vb::Trim(rs.value(str(name)).toText()); };
    const QString year = part(u"Year"), make = part(u"Make"), model = part(u"Model"),
                  body = part(u"Body");
    return modelFirst ? year % u"-"_s % model % u"-"_s % make % u"-"_s % body
                      : year % u"-"_s % make % u"-"_s % model % u"-"_s % body;
}

// Both orders carry a VIN (a host's order may not).
bool hasVin(const Recordset &mine, const Recordset &theirs)
{
    return modOrvane::FieldExists(mine, u"vin"_s) && modOrvane::FieldExists(theirs, u"vin"_s);
}

QString shownValue(const Comparison &c, const Recordset &rs, bool dispatchSide)
{
    switch (c.shown) {
    case Shown::Plain:
        return OrderComparison::shownText(rs.value(str(c.tested)));
    case Shown::Other:
        return OrderComparison::shownText(rs.value(str(c.shownField)));
    case Shown::Date:
        return OrderComparison::shownDate(rs.value(str(c.tested)));
    case Shown::DiscountText:
        return vb::Trim(OrderComparison::shownText(rs.value(u"DiscountText"_s)));
    case Shown::Vehicle: {
        QString text = vehicleText(rs, dispatchSide);
        if (modOrvane::FieldExists(rs, u"vin"_s)) {
            const QString vin = vb::Trim(rs.value(u"vin"_s).toText());
            if (!vin.isEmpty())
                text = text % u" VIN "_s % vin;
        }
        return text;
    }
    }
    return {};
}

// The vehicle shows its parts joined by "-": blank when every part is.
bool isBlankShown(const Comparison &c, QString shown)
{
    if (c.shown == Shown::Vehicle)
        shown.remove(u'-');
    return vb::Trim(shown).isEmpty();
}

// The host has the bill-to party or discount of this id (what getbillto or
// getdiscount finds has a current row); asking must not become a failure.
bool hostKnows(const std::shared_ptr<ext::IInvoice> &dispatchOrder, Shown shown, const Value &id)
{
    try {
        const auto party =
            shown == Shown::Other ? dispatchOrder->getbillto(id) : dispatchOrder->getdiscount(id);
        if (!party)
            return false;
        const Recordset item = party->Item();
        return !item.eof() && !item.bof();
    } catch (...) {
        return false;
    }
}

} // namespace

bool OrderComparison::valuesDiffer(const Value &a, const Value &b)
{
    if (a.isNull() || b.isNull())
        return false;
    if (a.isEmpty() && b.isEmpty())
        return false;
    // A value never given compares as the zero of the other side's kind.
    if (isDateKind(a) || isDateKind(b)) {
        auto date = [](const Value &v) { return v.isEmpty() ? orvane::DateValue{} : v.toDate(); };
        return date(a) != date(b);
    }
    if (isNumberKind(a) || isNumberKind(b)) {
        auto number = [](const Value &v) {
            if (const auto *c = v.get<orvane::Currency>())
                return double(c->scaled) / double(orvane::Currency::Scale);
            return v.isEmpty() ? 0.0 : v.toDouble();
        };
        // Currency on both sides compares exactly, without a trip through double.
        if (const auto *ca = a.get<orvane::Currency>())
            if (const auto *cb = b.get<orvane::Currency>())
                return ca->scaled != cb->scaled;
        return number(a) != number(b);
    }
    return a.toText() != b.toText();
}

bool OrderComparison::textsDiffer(const Value &a, const Value &b)
{
    return vb::UCase(vb::Trim(a.toText())) != vb::UCase(vb::Trim(b.toText()));
}

QString OrderComparison::shownText(const Value &v)
{
    return v.isNull() ? QString() : v.toText();
}

QString OrderComparison::shownDate(const Value &v)
{
    if (v.isNull() || v.isEmpty())
        return {};
    return vb::FormatShortDate(v.toDate());
}

bool OrderComparison::isMissingDate(const Value &dispatchDate)
{
    if (dispatchDate.isNull())
        return false;
    if (dispatchDate.isEmpty())
        return true; // the zero date, 30 December 1899
    return dispatchDate.toDate() < orvane::DateValue::fromDate(QDate(1900, 1, 1));
}

QString OrderComparison::orderName(const Recordset &order)
{
    // A host's order may lack some of these fields: they read as empty.
    auto field = [&](const QString &name) {
        return modOrvane::FieldExists(order, name) ? order.value(name).toText() : QString();
    };
    const QString type = vb::UCase(vb::Trim(field(u"type"_s)));
    if (type == u"QUOTE"_s)
        return u"Quote-"_s % field(u"quoteid"_s);
    if (type == u"INVOICE"_s)
        return u"Invoice-"_s % field(u"invoiceid"_s);
    if (type == u"WORKORDER"_s)
        return u"Workorder-"_s % field(u"workid"_s);
    if (type == u"CALLBACK"_s)
        return u"CallBack-"_s % field(u"CallBackID"_s);
    if (type == u"VOID"_s)
        return {};
    if (type == u"COPY"_s)
        return u"Copy-"_s % field(u"quoteid"_s);
    const QString id = field(u"idnumber"_s);
    return id.isEmpty() ? QString() : u"Dispatch-"_s % id;
}

Recordset OrderComparison::CreateCompareRecordset()
{
    Recordset rs;
    Proc p = proc(u"CreateCompareRecordset"_s);
    try {
        p.at(10);
        // The values are shown whole: a cut one would hide what differs.
        rs.appendField(u"FieldName"_s, orvane::ftype::Text, 30);
        rs.appendField(u"OriginalVal"_s, orvane::ftype::Text, kShownSize);
        rs.appendField(u"NewValue"_s, orvane::ftype::Text, kShownSize);
        rs.appendField(u"KeepValue"_s, orvane::ftype::Bool);
        rs.appendField(u"Field"_s, orvane::ftype::Text, 30);
        // False for a value the order cannot take over (kept whatever is ticked).
        rs.appendField(u"CanTransfer"_s, orvane::ftype::Bool);
        // Why a value cannot be taken over, or will be cut when it is.
        rs.appendField(u"Note"_s, orvane::ftype::Text, kShownSize);
        p.at(20);
        rs.open();
    } catch (...) {
        orvane::ui::reportTrapped(reportInvoice_, p);
    }
    return rs;
}

void OrderComparison::AddCompare(Recordset &rs, const QString &FieldName,
                                 const QString &OriginalVal, const QString &NewValue,
                                 const QString &Field)
{
    Proc p = proc(u"AddCompare"_s);
    try {
        p.at(10);
        rs.addNew();
        p.at(20);
        // Shown values are cut to the grid's fields; the transfer reads the
        // full value from the dispatch order, never from here.
        auto put = [&rs](const QString &name, const QString &text) {
            rs.setValue(name, rs.field(name).fitted(text));
        };
        put(u"FieldName"_s, FieldName);
        put(u"OriginalVal"_s, OriginalVal);
        put(u"NewValue"_s, NewValue);
        put(u"Field"_s, Field);
        rs.setValue(u"KeepValue"_s, false);
        if (rs.fieldIndex(u"CanTransfer"_s) >= 0)
            rs.setValue(u"CanTransfer"_s, true);
        p.at(30);
        rs.update();
    } catch (...) {
        orvane::ui::reportTrapped(reportInvoice_, p);
    }
}

bool OrderComparison::CompareOrders(const std::shared_ptr<ext::IInvoice> &invoice,
                                    const std::shared_ptr<ext::IInvoice> &dispatchOrder)
{
    bool answer = false;
    Proc p = proc(u"CompareOrders"_s);
    std::unique_ptr<Comparersfrm> view;
    try {
        p.at(10);
        Recordset rs = CreateCompareRecordset();

        p.at(20);
        const Recordset mine = required(invoice)->itemsrecordset();
        const Recordset theirs = required(dispatchOrder)->itemsrecordset();
        for (const Comparison &c : kComparisons) {
            const QString tested = str(c.tested);
            const Value old = mine.value(tested);
            const Value now = theirs.value(tested);
            // A text the order could not hold whole is compared whole.
            const auto cut = cutTexts_.constFind(str(c.field).toLower());
            const bool isCut = c.shown == Shown::Plain && cut != cutTexts_.constEnd();
            bool differs = c.test == Test::Value ? valuesDiffer(old, now)
                           : isCut               ? textsDiffer(old, Value(*cut))
                                                 : textsDiffer(old, now);
            // The VIN belongs to the vehicle: a different one is a different vehicle.
            if (c.shown == Shown::Vehicle && !differs && hasVin(mine, theirs))
                differs = !vb::Trim(theirs.value(u"vin"_s).toText()).isEmpty() &&
                          textsDiffer(mine.value(u"vin"_s), theirs.value(u"vin"_s));
            // A bill-to party or discount the host does not know cannot be
            // taken over: shown, when the dispatch names one, with the
            // dispatch's name for it, and kept.
            const bool party = c.shown == Shown::Other || c.shown == Shown::DiscountText;
            const bool transferable = !party || hostKnows(dispatchOrder, c.shown, now);
            const QString oldShown = shownValue(c, mine, false);
            QString newShown = shownValue(c, theirs, true);
            if (!transferable)
                differs = !isBlankShown(c, newShown) && textsDiffer(oldShown, newShown);
            if (!differs)
                continue;
            QString note;
            if (!transferable) {
                note = c.shown == Shown::Other
                           ? tr("The shop has no bill-to party for this insurer; it cannot be "
                                "taken over.")
                           : tr("The shop has no discount like this one; it cannot be taken "
                                "over.");
            } else if (isCut) {
                newShown = *cut;
                note = tr("The order holds only %n characters here; taking it over cuts the rest.",
                          nullptr, int(mine.field(str(c.field)).definedSize()));
            }
            AddCompare(rs, QString::fromUtf8(c.caption), oldShown, newShown, str(c.field));
            // Taking over a blank would erase the shop's value, so keeping it
            // is the default the user has to overrule. Re-attaching the
            // dispatch the order is linked to keeps what the user chose then.
            const bool blankOverValue = isBlankShown(c, newShown) && !isBlankShown(c, oldShown);
            if (!transferable || relinking_ || blankOverValue ||
                (c.keepMissingDate && isMissingDate(now)))
                rs.setValue(u"KeepValue"_s, true);
            rs.setValue(u"CanTransfer"_s, transferable);
            rs.setValue(u"Note"_s, note);
            rs.update();
        }

        p.at(30);
        if (rs.recordCount() == 0)
            return true;

        p.at(40);
        rs.moveFirst();
        view = std::make_unique<Comparersfrm>();
        view->rsCompare = rs;
        view->setOrders(orderName(mine), vb::Trim(theirs.value(u"dispatch"_s).toText()));
        WindowAPImod::CentreOverOwner(owner_, view.get());
        view->setCompareRecordset(rs);
        orvane::Ui::instance().showModal(view.get());

        p.at(50);
        if (view->accepted) {
            setNewValues(rs, invoice, dispatchOrder);
            answer = true;
        }
        p.at(60);
        view->Form_Unload();
    } catch (...) {
        orvane::ui::reportTrapped(reportTo(invoice), p);
        answer = false;
    }
    return answer;
}

void OrderComparison::setNewValues(Recordset &rs, const std::shared_ptr<ext::IInvoice> &invoice,
                                   const std::shared_ptr<ext::IInvoice> &dispatchOrder)
{
    Proc p = proc(u"setNewValues"_s);
    try {
        p.at(10);
        Recordset mine = required(invoice)->itemsrecordset();
        const Recordset theirs = required(dispatchOrder)->itemsrecordset();
        if (rs.recordCount() == 0)
            return;
        for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
            if (rs.value(u"KeepValue"_s).toBool())
                continue;
            if (rs.fieldIndex(u"CanTransfer"_s) >= 0 && !rs.value(u"CanTransfer"_s).toBool())
                continue;
            p.at(20);
            const QString name = vb::UCase(vb::Trim(rs.value(u"FieldName"_s).toText()));
            if (name == u"BILL TO"_s) {
                p.at(30);
                const auto party = dispatchOrder->getbillto(theirs.value(u"billto_id"_s));
                invoice->setbillto(required(party)->Item(), false, false, false, false);
            } else if (name == u"DISCOUNT"_s) {
                p.at(40);
                const auto discount = dispatchOrder->getdiscount(theirs.value(u"discountid"_s));
                invoice->setdiscount(required(discount)->Item());
            } else if (name == u"VEHICLE"_s) {
                p.at(50);
                for (const QString &field :
                     {u"carid"_s, u"year"_s, u"make"_s, u"model"_s, u"body"_s})
                    mine.setValue(field, theirs.value(field));
                // The VIN goes with its vehicle, even a blank one: the old
                // vehicle's VIN on the new vehicle would be wrong.
                if (hasVin(mine, theirs))
                    mine.setValue(u"vin"_s, theirs.value(u"vin"_s));
                mine.update();
            } else {
                p.at(60);
                const QString field = vb::Trim(rs.value(u"Field"_s).toText());
                mine.setValue(field, theirs.value(field));
                mine.update();
            }
        }
    } catch (...) {
        orvane::ui::reportTrapped(reportTo(invoice), p);
    }
}

} // namespace orvane::dispatch
