#include "qorOrvaneUI/core/Orvanemod.h"

#include <qorOrvaneUI/runtime/VbError.h>

using namespace Qt::StringLiterals;

namespace orvane::Orvanemod {

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
            table.setValue(field, table.field(field).fitted(text));
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

namespace {

// The builders pass failures up under their own name, number unchanged.
template <class Build> auto lossTable(const QString &name, Build build)
{
    try {
        return build();
    } catch (...) {
        const orvane::VbError e = orvane::currentError();
        throw orvane::VbError(e.number(), name, name % u"\r\n"_s % e.description());
    }
}

struct LossCause {
    qint64 code;
    const char16_t *description;
    bool subreq;
    const char16_t *subdata;
    const char16_t *subname;
    const char16_t *expl;
};

// The 199 explanation is longer than its field; the table keeps what fits.
const LossCause kCauses[] = {
    {101, u"Rock from Road - No One at Fault", false, u"", u"", u""},
    {105, u"Rock from Road - 3rd Part Fault License #", true, u"License #", u"Driver Name", u""},
    {111, u"Animal", true, u"Type of Animal", u"", u""},
    {121, u"Tree Branch", false, u"", u"", u""},
    {131, u"Garage Door", false, u"", u"", u""},
    {199, u"Other Object", true, u"Object", u"Person's Name",
     u"Provide Description of Object and person's name if available"},
    {201, u"Collision", true, u"Contact", u"Driver's Name",
     u"Provide Claim # if available as well"},
    {301, u"Vandalism - 3rd Party Known", true, u"Contact Info", u"Name",
     u"Provide contact info and name if avail."},
    {311, u"Vandalism - 3rd Party Unknown", false, u"", u"", u""},
    {321, u"Terrorism", false, u"", u"", u""},
    {331, u"Attempted Theft", false, u"", u"", u""},
    {341, u"Theft", true, u"Contact Info", u"Person's Name", u""},
    {401, u"Extreme Heat or Cold", false, u"", u"", u""},
    {411, u"Hail Storm", false, u"", u"", u""},
    {421, u"Hurricane", false, u"", u"", u""},
    {431, u"Earthquake", false, u"", u"", u""},
    {499, u"Other Storm", true, u"Type of Storm", u"", u""},
    {901, u"Unknown", false, u"", u"", u""},
};

const std::pair<const char16_t *, const char16_t *> kOpenings[] = {
    {u"WR", u"Windshield Repair"},
    {u"WS", u"Windshield"},
    {u"DR", u"Door"},
    {u"SI", u"Side"},
    {u"VN", u"Vent"},
    {u"QT", u"Quarter"},
    {u"PT", u"Partition"},
    {u"BK", u"Back Window"},
    {u"RF", u"Roof"},
};

void storeFitted(orvane::Recordset &rs, const QString &field, const QString &text)
{
    rs.setValue(field, rs.field(field).fitted(text));
}

} // namespace

orvane::Recordset CauseOfLoss()
{
    return lossTable(u"Orvanemod.CauseOfLoss"_s, [] {
        orvane::Recordset rs;
        rs.appendField(u"LossCode"_s, orvane::ftype::Int64);
        rs.appendField(u"Description"_s, orvane::ftype::Text, 100);
        rs.appendField(u"subreq"_s, orvane::ftype::Bool);
        rs.appendField(u"subdatafield"_s, orvane::ftype::Text, 30);
        rs.appendField(u"subnamefield"_s, orvane::ftype::Text, 30);
        rs.appendField(u"subExpl"_s, orvane::ftype::Text, 40);
        rs.appendField(u"subnamereq"_s, orvane::ftype::Bool);
        rs.open();
        for (const LossCause &c : kCauses)
            AddLossrecords(c.code, QString::fromUtf16(c.description), c.subreq,
                           QString::fromUtf16(c.subdata), QString::fromUtf16(c.subname),
                           QString::fromUtf16(c.expl), false, rs);
        return rs;
    });
}

void AddLossrecords(qint64 lossCode, const QString &description, bool subreq,
                    const QString &subdatafield, const QString &subnamefield,
                    const QString &subExpl, bool subnamereq, orvane::Recordset &table)
{
    lossTable(u"Orvanemod.AddLossrecords"_s, [&] {
        table.addNew();
        table.setValue(u"LossCode"_s, lossCode);
        storeFitted(table, u"Description"_s, description);
        storeFitted(table, u"subdatafield"_s, subdatafield);
        storeFitted(table, u"subnamefield"_s, subnamefield);
        storeFitted(table, u"subExpl"_s, subExpl);
        table.setValue(u"subreq"_s, subreq);
        table.setValue(u"subnamereq"_s, subnamereq);
        table.update();
        return 0;
    });
}

orvane::Recordset OpeningType()
{
    return lossTable(u"Orvanemod.OpeningType"_s, [] {
        orvane::Recordset rs;
        rs.appendField(u"OpeningType"_s, orvane::ftype::Text, 15);
        rs.appendField(u"Opening"_s, orvane::ftype::Text, 50);
        rs.open();
        for (const auto &[code, text] : kOpenings) {
            rs.addNew();
            rs.setValue(u"OpeningType"_s, QString::fromUtf16(code));
            rs.setValue(u"Opening"_s, QString::fromUtf16(text));
            rs.update();
        }
        return rs;
    });
}

orvane::Recordset DamageInformationRS()
{
    return lossTable(u"Orvanemod.DamageInformationRS"_s, [] {
        orvane::Recordset rs;
        const std::pair<const char16_t *, int> texts[] = {
            {u"OpeningCode", 15},      {u"OpeningCodeDesc", 50}, {u"PositionCode", 20},
            {u"PositionCodeText", 30}, {u"LocationCode", 20},    {u"LocationCodeText", 20},
            {u"SideCode", 20},         {u"SideCodeText", 20}};
        for (const auto &[name, size] : texts)
            rs.appendField(QString::fromUtf16(name), orvane::ftype::Text, size);
        rs.appendField(u"GlassQuantity"_s, orvane::ftype::Int64);
        rs.appendField(u"notrepairable"_s, orvane::ftype::Bool);
        rs.open();
        return rs;
    });
}

} // namespace orvane::Orvanemod
