#include "core/Orvanemod.h"

#include "VbError.h"

using namespace Qt::StringLiterals;

namespace Orvanemod {

// --- authorization kinds --------------------------------------------------------



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
    rs.setValue(field, text.left(rs.field(field).definedSize()));
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

} // namespace Orvanemod
