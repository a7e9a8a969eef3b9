#pragma once

#include "storage/SqlTable.h"

#include <QString>

#include <vector>

// The network staging tables the transport owns in the shop database. Every
// table has its own integer key `id` (generated on insert). Column names keep
// the spelling the library uses; record sets and filters match them without
// regard to case. A text column of size 0 holds text of any length (TEXT).
//
// Booleans: false until set. Dates: NULL until set. Other columns: '' or 0.
namespace orvane::transport {

// Stored in transport_schema; bump it with every column or table added, and
// give the addition `since` = the new version, so older databases are
// brought up to date with their rows kept.
inline constexpr int SchemaVersion = 7;

// Version 7 widened the loss notice's names and addresses to what the shop's
// order holds, so a notice never cuts what the order carries. SQLite does not
// enforce a text's declared length; PostgreSQL's columns are altered.
inline constexpr int NoticeWidenedIn = 7;
inline constexpr const char16_t *NoticeWidened[] = {u"s_first", u"s_last",  u"s_address", u"s_city",
                                                    u"s_zip",   u"a_first", u"a_last"};
inline constexpr const char16_t *SchemaVersionTable = u"transport_schema";

namespace staging_detail {

using sql::ColumnDef;
using sql::ColumnKind;
using sql::TableDef;

inline ColumnDef key()
{
    return {QStringLiteral("id"), ColumnKind::Key};
}
using namespace sql::columns;

inline std::vector<TableDef> makeTables()
{
    using namespace Qt::StringLiterals;
    using K = ColumnKind;
    const QString id = QStringLiteral("id");
    std::vector<TableDef> t;

    // Outgoing documents (rectype AUTHREQ, ENOL, LOSSAH; processed once sent)
    // and incoming dispatches (rectype DISPATCH, recid = dispatch number, linked
    // to an order through daskid/daskloc).
    t.push_back(
        {u"g_trans"_s,
         {key(), text(u"guid", 32), text(u"rectype", 10), text(u"recid", 50), text(u"xml", 0),
          col(u"processed", K::Bool), col(u"daskid", K::Int), col(u"daskloc", K::Int),
          col(u"transdate", K::Date), col(u"procdate", K::Date, 2), text(u"errortext", 255, 2)},
         id,
         1,
         {u"guid"_s, u"rectype,recid"_s, u"daskid,daskloc"_s, u"processed"_s},
         {u"rectype,recid"_s}}); // dispatches are looked up by the number's first characters

    // Authorization lines: one row per requested line of a sent request
    // (recorded by the library with Ack true), and the network's answer rows
    // (Ack false until the shop has seen them). ErrorCode starting with "e"
    // marks a refused line. Decision: what the shop did with an answered line,
    // "Applied" to the order or "Declined"; empty until the answer was taken.
    t.push_back({u"g_ackn"_s,
                 {key(),
                  text(u"sessionid", 32),
                  col(u"daskid", K::Int),
                  col(u"daskloc", K::Int),
                  col(u"Ack", K::Bool),
                  text(u"authtype", 10),
                  col(u"linenumber", K::Int),
                  text(u"part", 30),
                  text(u"relatedpart", 30),
                  col(u"reqqty", K::Double),
                  col(u"reqprice", K::Currency),
                  text(u"reasoncode", 10),
                  col(u"manualreq", K::Bool),
                  text(u"reqdesc", 255),
                  text(u"reqexplain", 255),
                  col(u"faxingpop", K::Bool),
                  text(u"AuthPart", 30),
                  col(u"accPrice", K::Currency),
                  col(u"accQty", K::Double),
                  text(u"ConfCode", 30),
                  text(u"ErrorCode", 10),
                  text(u"ErrorText", 255),
                  col(u"Respdate", K::Date),
                  text(u"RespTime", 8),
                  text(u"Decision", 10, 5)},
                 id,
                 1,
                 {u"sessionid"_s, u"Ack"_s, u"daskid,daskloc"_s}});

    // Loss notices: written by the library with ACK true; the network's
    // confirmation sets ErrCode/ErrText/Lossrefnum/Losscont and ACK false.
    // guid is filled by the table object when a row is added.
    t.push_back({u"g_enol"_s,
                 {key(),
                  text(u"guid", 32),
                  text(u"origpid", 20),
                  text(u"orgcoid", 20),
                  text(u"destpid", 20),
                  text(u"insurerid", 20),
                  col(u"daskid", K::Int),
                  col(u"daskloc", K::Int),
                  text(u"s_first", 60),
                  text(u"s_last", 100),
                  text(u"s_phone", 20),
                  text(u"s_altphone", 20),
                  text(u"s_address", 200),
                  text(u"s_city", 100),
                  text(u"s_state", 10),
                  text(u"s_zip", 15),
                  text(u"policy", 30),
                  text(u"policyst", 10),
                  text(u"a_company", 50),
                  text(u"a_first", 60),
                  text(u"a_last", 100),
                  text(u"a_phone", 20),
                  text(u"lossid", 30),
                  col(u"lossdate", K::Date),
                  text(u"vehicleid", 20),
                  text(u"year", 4),
                  text(u"make", 30),
                  text(u"model", 40),
                  text(u"body", 30),
                  text(u"owner", 20),
                  text(u"vehiclesrc", 20),
                  text(u"vehtype", 20),
                  text(u"vin", 20),
                  text(u"vehiclenum", 20),
                  col(u"glassonly", K::Bool),
                  text(u"causeloss", 10),
                  text(u"lossdesc", 60),
                  text(u"subname", 50),
                  text(u"subdata", 255),
                  text(u"contact", 60),
                  col(u"bodilyinj", K::Bool),
                  col(u"ACK", K::Bool),
                  text(u"ErrCode", 10),
                  text(u"ErrText", 255),
                  text(u"Lossrefnum", 30),
                  text(u"Losscont", 60),
                  col(u"senddate", K::Date)},
                 id,
                 1,
                 {u"guid"_s, u"ACK"_s, u"daskid,daskloc"_s, u"Lossrefnum"_s}});

    // Damage lines of a loss notice (nolguid = g_enol.guid). A line has a guid
    // of its own too: the library opens the table with "guid = 'A' and
    // guid <> 'A'", as it does the notices.
    t.push_back({u"g_enolline"_s,
                 {key(), text(u"nolguid", 32), text(u"opentype", 10), text(u"opendesc", 60),
                  text(u"poscode", 10), text(u"relloc", 10), text(u"sidecode", 10),
                  col(u"qty", K::Int), col(u"notrepair", K::Bool), text(u"guid", 32, 3)},
                 id,
                 1,
                 {u"nolguid"_s}});

    // Coverage answers: one row per vehicle on the customer's policy.
    t.push_back({u"g_cover"_s,
                 {key(), text(u"lossref", 30), text(u"VehicleID", 20), text(u"Vehiclesrc", 20),
                  text(u"vehline", 10), col(u"Deductible", K::Currency), text(u"VehNum", 20),
                  text(u"VehDesc", 100), text(u"errorcode", 10), text(u"ErrorText", 255),
                  text(u"veherr", 10), text(u"veherrtext", 255), col(u"ack", K::Bool),
                  col(u"recvdate", K::Date, 2)},
                 id,
                 1,
                 {u"lossref"_s, u"ack"_s}});

    // Loss acknowledgements: the shop's answer to a coverage request (ack
    // true) and the network's confirmation of it (ack false, errcode/errtext).
    t.push_back(
        {u"g_lossack"_s,
         {key(), text(u"guid", 32), text(u"lossref", 30), col(u"Accept", K::Bool),
          text(u"vehid", 20), text(u"vehsrc", 20), text(u"vehline", 10),
          col(u"installdat", K::Date), text(u"installtim", 8), col(u"Mobile", K::Bool),
          text(u"zip", 10, 2), col(u"ack", K::Bool), text(u"errcode", 10), text(u"errtext", 255)},
         id,
         1,
         {u"lossref"_s, u"ack"_s, u"guid"_s}});

    // Dispatches announced for a loss reference; the document itself arrives
    // in g_trans (rectype DISPATCH, recid = Dispatch).
    t.push_back({u"g_dispatch"_s,
                 {key(), text(u"lossidnum", 30), text(u"Dispatch", 30), col(u"ack", K::Bool),
                  col(u"recvdate", K::Date, 2)},
                 id,
                 1,
                 {u"lossidnum"_s, u"ack"_s, u"Dispatch"_s}});

    // The transport service's bookkeeping, one row per outgoing document
    // (msgid = g_trans.guid, the message identifier): where it stands
    // (pending, retry, answered, refused), how often it was resent, the
    // network's receipt and the last error. The library never reads it.
    t.push_back({u"g_sendstate"_s,
                 {key(), text(u"msgid", 32), col(u"transid", K::Int), text(u"state", 10),
                  col(u"resends", K::Int), text(u"receipt", 60), text(u"lasterror", 255),
                  text(u"stamp", 19)},
                 id,
                 6,
                 {u"msgid"_s}});

    // The shop's participant IDs.
    t.push_back({u"g_pidlist"_s, {key(), text(u"PID", 20), text(u"PIDname", 60)}, id, 1, {}});

    // Network (origination) IDs.
    t.push_back({u"g_oidlist"_s,
                 {key(), text(u"Origid", 20), text(u"Company", 60), text(u"Address", 60),
                  text(u"City", 30), text(u"State", 10), text(u"Zip", 10)},
                 id,
                 1,
                 {}});

    // Insurance-company IDs per participant (destpid) and network (origpid).
    t.push_back({u"g_inscoid"_s,
                 {key(), text(u"destpid", 20), text(u"origpid", 20), text(u"INScoid", 20),
                  text(u"Company", 60), text(u"Address", 60), text(u"City", 30), text(u"State", 10),
                  text(u"Zip", 10), text(u"PhoneArea", 5), text(u"Phone", 10), text(u"FaxArea", 5),
                  text(u"FaxPhone", 10)},
                 id,
                 1,
                 {u"destpid,origpid"_s}});

    // Insurer IDs per bill-to party, participant and network.
    t.push_back({u"g_insid"_s,
                 {key(), col(u"billtoid", K::Int), text(u"Origpid", 20), text(u"destpid", 20),
                  text(u"Insurerid", 20), text(u"Insurer", 60)},
                 id,
                 1,
                 {u"billtoid,Origpid,destpid"_s}});
    return t;
}

} // namespace staging_detail

// The staging tables, in creation order.
inline const std::vector<sql::TableDef> &stagingTables()
{
    static const std::vector<sql::TableDef> tables = staging_detail::makeTables();
    return tables;
}

// The table of that name (any letter case), or nullptr.
inline const sql::TableDef *stagingTable(const QString &name)
{
    for (const sql::TableDef &t : stagingTables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

} // namespace orvane::transport
