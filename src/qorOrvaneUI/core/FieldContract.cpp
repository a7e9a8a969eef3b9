#include "qorOrvaneUI/core/FieldContract.h"

#include <QRegularExpression>
#include <QStringBuilder>

using namespace Qt::StringLiterals;

namespace orvane::contract {

namespace {

// clang-format off
const Field kFields[] = {
    {u"order", u"idnumber", u"integer", u"L A N C", u"read", u"the order's key; stored as daskid with outgoing rows"},
    {u"order", u"location", u"integer", u"L A N C", u"read", u"stored as daskloc with outgoing rows"},
    {u"order", u"shopid", u"integer", u"N", u"read", u"handed to the shop object's getshopbyid"},
    {u"order", u"type", u"text(10)", u"L", u"read", u"QUOTE, INVOICE, WORKORDER, CALLBACK, VOID or COPY; VOID asks before attaching"},
    {u"order", u"quoteid", u"integer", u"L", u"read", u"names a quote or copy (\"Quote-\" + quoteid)"},
    {u"order", u"invoiceid", u"integer", u"L", u"read", u"names an invoice"},
    {u"order", u"workid", u"integer", u"L", u"read", u"names a work order"},
    {u"order", u"callbackid", u"integer", u"L", u"read", u"names a call-back"},
    {u"order", u"voidmsg", u"text(50)", u"L", u"write", u"\"ORVANE ORDER REMOVED\" on the order a dispatch was linked to, when voided (order list)"},
    {u"order", u"dispatch", u"text(30)", u"L", u"read, write", u"the dispatch number; the search text of Choose Dispatch"},
    {u"order", u"dispdate", u"date", u"L", u"read, write", u""},
    {u"order", u"lossdate", u"date", u"L N", u"read, write", u""},
    {u"order", u"installdat", u"date", u"L C", u"read, write", u""},
    {u"order", u"inshop", u"flag", u"L", u"read, write", u""},
    {u"order", u"deductible", u"money", u"L", u"read, write", u"Null when the dispatch gives no amount"},
    {u"order", u"s_first", u"text(60)", u"L N", u"read, write", u"sold-to (insured); area 1 and phone 1 work, 2 home"},
    {u"order", u"s_last", u"text(100)", u"L N", u"read, write", u"sold-to (insured); area 1 and phone 1 work, 2 home"},
    {u"order", u"s_address", u"text(200)", u"L N", u"read, write", u"sold-to (insured); area 1 and phone 1 work, 2 home"},
    {u"order", u"s_city", u"text(100)", u"L N", u"read, write", u"sold-to (insured); area 1 and phone 1 work, 2 home"},
    {u"order", u"s_state", u"text(2)", u"L N", u"read, write", u"sold-to (insured); area 1 and phone 1 work, 2 home"},
    {u"order", u"s_zip", u"text(15)", u"L N", u"read, write", u"sold-to (insured); area 1 and phone 1 work, 2 home"},
    {u"order", u"s_area1", u"text(3)", u"L N", u"read, write", u"sold-to (insured); area 1 and phone 1 work, 2 home"},
    {u"order", u"s_phone1", u"text(8)", u"L N", u"read, write", u"sold-to (insured); area 1 and phone 1 work, 2 home"},
    {u"order", u"s_area2", u"text(3)", u"L N", u"read, write", u"sold-to (insured); area 1 and phone 1 work, 2 home"},
    {u"order", u"s_phone2", u"text(8)", u"L N", u"read, write", u"sold-to (insured); area 1 and phone 1 work, 2 home"},
    {u"order", u"agentid", u"integer", u"L", u"write", u"written by the transport's returnorder"},
    {u"order", u"a_company", u"text(50)", u"L N", u"read, write", u"agent"},
    {u"order", u"a_first", u"text(60)", u"L N", u"read, write", u"agent"},
    {u"order", u"a_last", u"text(100)", u"L N", u"read, write", u"agent"},
    {u"order", u"a_area", u"text(3)", u"L N", u"read, write", u"agent"},
    {u"order", u"a_phone", u"text(8)", u"L N", u"read, write", u"agent"},
    {u"order", u"policy", u"text(30)", u"N", u"read, write", u""},
    {u"order", u"claim", u"text(30)", u"L N", u"read, write", u""},
    {u"order", u"carid", u"text(20)", u"L N C", u"read, write", u"the vehicle; carid is the catalogue id"},
    {u"order", u"year", u"text(4)", u"L N C", u"read, write", u"the vehicle; carid is the catalogue id"},
    {u"order", u"make", u"text(30)", u"L N C", u"read, write", u"the vehicle; carid is the catalogue id"},
    {u"order", u"model", u"text(40)", u"L N C", u"read, write", u"the vehicle; carid is the catalogue id"},
    {u"order", u"body", u"text(30)", u"L N C", u"read, write", u"the vehicle; carid is the catalogue id"},
    {u"order", u"vin", u"text(20)", u"L N C", u"read, write", u"the vehicle; carid is the catalogue id"},
    {u"order", u"billto_id", u"integer", u"L N", u"read, write", u"the insurer (bill-to party); getbillto(billto_id)"},
    {u"order", u"b_company", u"text(50)", u"L", u"read", u"shown for the bill-to party"},
    {u"order", u"discountid", u"integer", u"L", u"read, write", u"getdiscount(discountid)"},
    {u"order", u"discounttext", u"text(50)", u"L", u"read, write", u"shown for the discount"},
    {u"order", u"discountpct", u"double", u"L", u"write", u"written by the transport's returnorder"},
    {u"line", u"mfr_part", u"text(30)", u"A", u"read", u"the part asked for; a kit sends its first 9 characters"},
    {u"line", u"part", u"text(30)", u"A", u"read", u"the catalogue part number; its prefix and 11th character choose the kind"},
    {u"line", u"typeofpart", u"text(10)", u"A", u"read", u"G glass, H hardware or moulding, K kit (see line codes)"},
    {u"line", u"mfr", u"text(10)", u"A", u"read", u"\"NAG\" for a catalogue glass part; a number for a maker's hardware"},
    {u"line", u"Conf", u"text(30)", u"A", u"read, write", u"confirmation code; a line that has one is not offered again"},
    {u"line", u"Net", u"money", u"A", u"read, write", u"accepted price"},
    {u"line", u"Kit", u"money", u"A", u"read, write", u"set to 0 when an answer is applied"},
    {u"line", u"Labor", u"money", u"A", u"read, write", u"set to 0 when an answer is applied"},
    {u"line", u"Discounted", u"flag", u"A", u"read", u"a NAGS glass line not discounted is asked as net priced"},
    {u"line", u"Quantity", u"integer", u"A", u"read, write", u"accepted quantity"},
    {u"shop", u"OrvaneShopID", u"text", u"N", u"read", u"the shop's participant ID"},
    {u"user", u"First", u"text", u"N", u"read", u"through currentuser()->Item"},
    {u"user", u"Last", u"text", u"N", u"read", u"through currentuser()->Item"},
    {u"result", u"cnt", u"integer", u"A", u"read", u"the unread-answers count"},
    {u"result", u"Name", u"text", u"N", u"read", u"POS, rel_loc and side: the names listed"},
    {u"result", u"pos_cd", u"text", u"N", u"read", u"POS: the position code sent"},
    {u"result", u"rel_loc_cd", u"text", u"N", u"read", u"rel_loc: the relative location code sent"},
    {u"result", u"side_cd", u"text", u"N", u"read", u"side: the side code sent"},
    {u"result", u"orvaneid", u"text", u"N", u"read", u"g_insurer: the insurer ID"},
    {u"result", u"insurer", u"text", u"N", u"read", u"g_insurer: the insurer's name"},
};

const Query kQueries[] = {
    {u"dcobject, as the host set it", u"Select count(*) as cnt from g_ackn where g_ackn.Ack = .F.", u"A", u"RecalcAuths; token \"wqkd\", options {2}"},
    {u"dcobject, as the host set it", u"select g_enol.lossrefnum as lossref from g_enol where ack = .F. union select g_cover.lossref as lossref from g_cover where ack = .F. union select g_lossack.lossref as lossref from g_lossack where ack = .F. union select g_dispatch.lossidnum as lossref from g_dispatch where ack = .F.", u"C", u"the loss wait's count of open notices (\"ENOL\"); token \"wqkd\", options {2}"},
    {u"dcobject, on GetConnectString(nags_path(), 0)", u"Select * from POS", u"N", u"the catalogue's positions; SecurityToken(), options {2, 1, 2, 0, false}; put back after"},
    {u"dcobject, on GetConnectString(nags_path(), 0)", u"Select * from rel_loc", u"N", u"relative locations; as above"},
    {u"dcobject, on GetConnectString(nags_path(), 0)", u"Select * from side", u"N", u"sides; as above"},
    {u"dcobject, on GetConnectString(data_path(), 0)", u"Select * from g_insurer", u"N", u"InsurerIDList; SecurityToken(), options {2, 1, 2, 0, false}; put back after"},
    {u"IOrderList::getinvoices", u"Invoice.idnumber = %1 AND invoice.location = %2", u"L", u"the order a dispatch was linked to, to void it"},
    {u"IShop::getshops", u"Customer.user2 <> ' ' ", u"N", u"any shop with a participant ID, when the order's shop has none"},
};

const LineCode kLineCodes[] = {
    {u"part starts \"DY\" or \"FY\"", u"backlite slider (kind 2), whatever typeofpart says"},
    {u"part starts \"DR\" or \"FR\"", u"sunroof (kind 10)"},
    {u"typeofpart starts \"G\", mfr not \"NAG\"", u"OEM/dealer glass part (kind 6)"},
    {u"typeofpart starts \"G\", mfr \"NAG\", 11th character of part \"Y\"", u"premium part (kind 9)"},
    {u"typeofpart starts \"G\", mfr \"NAG\", Net 0", u"no price on NAGS (kind 11)"},
    {u"typeofpart starts \"G\", mfr \"NAG\", not Discounted", u"net priced NAGS part (kind 25)"},
    {u"typeofpart starts \"G\", mfr \"NAG\", priced and Discounted", u"needs no request: listed only with \"show all\""},
    {u"typeofpart starts \"H\"", u"hardware, related to the nearest glass line above it; characters 3-4 ML, WS, PG, GS, ES, FL, BD, LP or M1 make it a moulding: OEM/dealer moulding (15) or not required (14) as mfr is a number or not, otherwise OEM/dealer other part (17) or other (8)"},
    {u"typeofpart \"K LU\" or \"K RS\"", u"kit, asked as other (kind 8) with the first 9 characters of mfr_part"},
    {u"typeofpart starts \"K\", anything else", u"not listed (only with \"show all\")"},
    {u"Conf not empty", u"already confirmed: not listed (only with \"show all\")"},
    {u"part found by name in the authorization kinds", u"that kind, before any rule above"},
};
// clang-format on

QString cell(const char16_t *text)
{
    return QString::fromUtf16(text).replace(u'|', u"\\|"_s);
}

} // namespace

std::span<const Field> fields()
{
    return kFields;
}

std::span<const Query> queries()
{
    return kQueries;
}

std::span<const LineCode> lineCodes()
{
    return kLineCodes;
}

bool knownField(const QString &record, const QString &name)
{
    for (const Field &f : kFields)
        if (record.compare(QString::fromUtf16(f.record), Qt::CaseInsensitive) == 0 &&
            name.trimmed().compare(QString::fromUtf16(f.name), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool knownQuery(const QString &text)
{
    static const std::vector<QRegularExpression> patterns = [] {
        std::vector<QRegularExpression> out;
        static const QRegularExpression place(u"%\\d"_s);
        for (const Query &q : kQueries) {
            QStringList parts = QString::fromUtf16(q.text).trimmed().split(place);
            for (QString &part : parts)
                part = QRegularExpression::escape(part);
            out.emplace_back(u"^"_s % parts.join(u".*"_s) % u"$"_s,
                             QRegularExpression::CaseInsensitiveOption |
                                 QRegularExpression::DotMatchesEverythingOption);
        }
        return out;
    }();
    for (const QRegularExpression &p : patterns)
        if (p.match(text.trimmed()).hasMatch())
            return true;
    return false;
}

QString markdown()
{
    QString out =
        u"| Record | Field | Type | Flows | Access | Note |\n|---|---|---|---|---|---|\n"_s;
    for (const Field &f : kFields)
        out += u"| "_s % cell(f.record) % u" | `"_s % cell(f.name) % u"` | "_s % cell(f.type) %
               u" | "_s % cell(f.flows) % u" | "_s % cell(f.access) % u" | "_s % cell(f.note) %
               u" |\n"_s;
    out += u"\n| Through | Query or filter | Flows | Note |\n|---|---|---|---|\n"_s;
    for (const Query &q : kQueries)
        out += u"| "_s % cell(q.through) % u" | `"_s % cell(q.text) % u"` | "_s % cell(q.flows) %
               u" | "_s % cell(q.note) % u" |\n"_s;
    out += u"\n| Line code | What it means |\n|---|---|\n"_s;
    for (const LineCode &c : kLineCodes)
        out += u"| "_s % cell(c.rule) % u" | "_s % cell(c.meaning) % u" |\n"_s;
    return out;
}

} // namespace orvane::contract
