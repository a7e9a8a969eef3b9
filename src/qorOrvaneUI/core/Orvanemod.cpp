#include "core/Orvanemod.h"

#include "VbError.h"

using namespace Qt::StringLiterals;

namespace Orvanemod {

// --- authorization kinds --------------------------------------------------------

namespace {

struct AuthKind {
    const char16_t *code, *name, *description;
    bool rtAuth, eAuth;
};

// Order matters: look-ups by code take the first row, so "AUTH-MISC-LABOR"
// answers for code "1".
constexpr AuthKind kAuthKinds[] = {
    {u"2", u"Backlite Slider", u"Backlite Slider", false, true},
    {u"4", u"Motorhome/Bus/Non NAGS Vehicle Glass", u"Motorhome/Bus/Non NAGS Vehicle Glass", false,
     true},
    {u"6", u"OEM/Dealer Glass Part", u"Dealer Glass Part", true, true},
    {u"7", u"Obsolete Part", u"Obsolete Part", false, true},
    {u"8", u"Other", u"Other", false, true},
    {u"9", u"Premium Part", u"Premium Part", true, false},
    {u"10", u"Sunroof", u"Sunroof", false, true},
    {u"11", u"No Price on NAGS for NAGS", u"No Price on NAGS for NAGS Part", false, true},
    {u"14", u"Molding Not Required Per NAGS", u"Molding Not Required Per NAGS", false, true},
    {u"15", u"OEM/Dealer Moulding", u"Dealer Moulding", true, true},
    {u"17", u"OEM/Dealer Other Part", u"Dealer Other Part", true, true},
    {u"25", u"Net Priced NAGS Parts", u"Net Priced NAGS Parts", false, true},
    {u"1", u"AUTH-MISC-LABOR", u"Extraordinary Labor", false, true},
    {u"1", u"BACKTINT", u"BACKTINT", true, true},
    {u"1", u"CRATING", u"CRATING", false, true},
    {u"1", u"CUTSIZE", u"CUTSIZE", false, true},
    {u"1", u"DECALS", u"DECALS", true, true},
    {u"1", u"LICENSESTICKER", u"LICENSESTICKER", true, true},
    {u"1", u"MIRROR", u"MIRROR", false, true},
    {u"1", u"PEELBACK", u"PEELBACK", false, true},
    {u"1", u"SIDETINT", u"WINDSHIELD SUNSCREEN FILM", true, true},
    {u"1", u"TTOPS", u"VEHICLE T-TOPS", false, true},
    {u"1", u"VENTTINT", u"VENT TINTING", true, true},
    {u"1", u"MISCELLANEOUS", u"Miscellaneous", false, true},
};

} // namespace

orvane::Recordset AuthorizationTypes()
{
    try {
        orvane::Recordset table;
        table.appendField(u"Code"_s, orvane::ftype::Text, 10);
        table.appendField(u"Name"_s, orvane::ftype::Text, 50);
        table.appendField(u"Description"_s, orvane::ftype::Text, 50);
        table.appendField(u"RTAuth"_s, orvane::ftype::Bool);
        table.appendField(u"eAuth"_s, orvane::ftype::Bool);
        table.open();
        for (const AuthKind &k : kAuthKinds)
            AddRecords(QString::fromUtf16(k.code), QString::fromUtf16(k.name),
                       QString::fromUtf16(k.description), k.rtAuth, k.eAuth, table);
        // Positioned after the last row, as appending left it.
        if (table.recordCount() > 0) {
            table.moveLast();
            table.moveNext();
        }
        return table;
    } catch (...) {
        const orvane::VbError e = orvane::currentError();
        throw orvane::VbError(e.number(), u"Orvanemod.AuthorizationTypes"_s,
                              u"Orvanemod.authorizationTypes\r\n"_s % e.description());
    }
}

void AddRecords(const QString &code, const QString &name, const QString &description, bool rtAuth,
                bool eAuth, orvane::Recordset &table)
{
    try {
        table.addNew();
        auto fitted = [&table](const QString &field, const QString &text) {
            table.setValue(field, text.left(table.field(field).definedSize()));
        };
        fitted(u"Code"_s, code);
        fitted(u"Name"_s, name);
        fitted(u"Description"_s, description);
        table.setValue(u"RTAuth"_s, rtAuth);
        table.setValue(u"eAuth"_s, eAuth);
        table.update();
    } catch (...) {
        const orvane::VbError e = orvane::currentError();
        throw orvane::VbError(e.number(), u"Orvanemod.AddRecords"_s,
                              u"Orvanemod.AddRecords\r\n"_s % e.description());
    }
}



// --- loss and damage codes ------------------------------------------------------



} // namespace Orvanemod
