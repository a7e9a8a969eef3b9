#include "host/ShopDatabase.h"

#include <qorOrvaneUI/runtime/VbError.h>

#include <QAtomicInt>
#include <QDateTime>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace orvane::host {

namespace {

using K = ColumnKind;

const QString Source = u"qorHost.ShopDatabase"_s;

using namespace sql::columns;

std::vector<TableDef> shopTables()
{
    std::vector<TableDef> t;
    t.push_back({u"invoice"_s,
                 {col(u"idnumber", K::Key),
                  col(u"location", K::Int),
                  col(u"shopid", K::Int),
                  text(u"type", 10),
                  col(u"quoteid", K::Int),
                  col(u"invoiceid", K::Int),
                  col(u"workid", K::Int),
                  col(u"callbackid", K::Int),
                  text(u"voidmsg", 50, 2),
                  col(u"orderdate", K::Date),
                  text(u"dispatch", 30),
                  col(u"dispdate", K::Date),
                  col(u"lossdate", K::Date),
                  col(u"installdat", K::Date, 2),
                  col(u"inshop", K::Bool),
                  col(u"deductible", K::Currency),
                  text(u"s_first", 60),
                  text(u"s_last", 100),
                  text(u"s_address", 200),
                  text(u"s_city", 100),
                  text(u"s_state", 2),
                  text(u"s_zip", 15),
                  text(u"s_area1", 3),
                  text(u"s_phone1", 8),
                  text(u"s_area2", 3),
                  text(u"s_phone2", 8),
                  col(u"agentid", K::Int),
                  text(u"a_company", 50),
                  text(u"a_first", 60),
                  text(u"a_last", 100),
                  text(u"a_area", 3),
                  text(u"a_phone", 8),
                  text(u"policy", 30),
                  text(u"claim", 30),
                  text(u"carid", 20),
                  text(u"year", 4),
                  text(u"make", 30),
                  text(u"model", 40),
                  text(u"body", 30),
                  text(u"vin", 20),
                  col(u"billto_id", K::Int),
                  text(u"b_company", 50),
                  text(u"b_address", 50),
                  text(u"b_city", 30),
                  text(u"b_state", 2),
                  text(u"b_zip", 10),
                  text(u"b_area", 3),
                  text(u"b_phone", 8),
                  col(u"discountid", K::Int),
                  text(u"discounttext", 50),
                  col(u"discountpct", K::Double),
                  col(u"taxrate", K::Double),
                  col(u"subtotal", K::Currency),
                  col(u"discount", K::Currency),
                  col(u"tax", K::Currency),
                  col(u"total", K::Currency)},
                 u"idnumber"_s});
    t.push_back(
        {u"invline"_s,
         {col(u"lineid", K::Key), col(u"idnumber", K::Int), col(u"lineno", K::Int),
          text(u"mfr_part", 30), text(u"part", 30), text(u"typeofpart", 10), text(u"mfr", 10),
          text(u"description", 60), text(u"conf", 30), col(u"net", K::Currency),
          col(u"kit", K::Currency), col(u"labor", K::Currency), col(u"list", K::Currency),
          col(u"price", K::Currency), col(u"discounted", K::Bool), col(u"quantity", K::Int),
          col(u"total", K::Currency)},
         u"lineid"_s});
    // Shops are customers of the kind "shop"; user2 holds the shop's network
    // participant ID, which the shop object also shows as OrvaneShopID.
    t.push_back({u"customer"_s,
                 {col(u"shopid", K::Key), text(u"name", 50), text(u"address", 50),
                  text(u"city", 30), text(u"state", 2), text(u"zip", 10), text(u"phone", 12),
                  nullableText(u"user1", 30), nullableText(u"user2", 30)},
                 u"shopid"_s});
    t.push_back({u"billto"_s,
                 {col(u"billto_id", K::Key), text(u"b_company", 50), text(u"b_address", 50),
                  text(u"b_city", 30), text(u"b_state", 2), text(u"b_zip", 10), text(u"b_area", 3),
                  text(u"b_phone", 8), text(u"orvaneid", 20)},
                 u"billto_id"_s});
    t.push_back(
        {u"discounts"_s,
         {col(u"discountid", K::Key), text(u"discounttext", 50), col(u"discountpct", K::Double)},
         u"discountid"_s});
    t.push_back({u"agents"_s,
                 {col(u"agentid", K::Key), text(u"a_company", 50), text(u"a_first", 60),
                  text(u"a_last", 100), text(u"a_area", 3), text(u"a_phone", 8)},
                 u"agentid"_s,
                 2});
    t.push_back({u"g_insurer"_s,
                 {col(u"insurerkey", K::Key), text(u"orvaneid", 20), text(u"insurer", 50)},
                 u"insurerkey"_s});
    return t;
}

std::vector<TableDef> catalogueTables()
{
    std::vector<TableDef> t;
    t.push_back({u"pos"_s, {text(u"pos_cd", 5), text(u"name", 30)}, u"pos_cd"_s});
    t.push_back({u"rel_loc"_s, {text(u"rel_loc_cd", 5), text(u"name", 30)}, u"rel_loc_cd"_s});
    t.push_back({u"side"_s, {text(u"side_cd", 5), text(u"name", 30)}, u"side_cd"_s});
    t.push_back({u"vehicles"_s,
                 {text(u"car_id", 20), col(u"year", K::Int), text(u"make", 30), text(u"model", 40),
                  text(u"body", 30), text(u"vin_prefix", 11)},
                 u"car_id"_s});
    return t;
}

// Known tables first; anything else the database holds by looking at it.
class LiveSchema : public sql::Schema {
public:
    LiveSchema(ShopDatabase *db) : db_(db) {}

    std::optional<QString> table(const QString &name) const override
    {
        for (const TableDef &t : ShopDatabase::tables(db_->kind()))
            if (t.name.compare(name, Qt::CaseInsensitive) == 0)
                return t.name;
        for (const QString &t : db_->db().tables())
            if (t.compare(name, Qt::CaseInsensitive) == 0)
                return t;
        return std::nullopt;
    }

    std::optional<sql::ColumnInfo> column(const QString &tableName,
                                          const QString &name) const override
    {
        for (const TableDef &t : ShopDatabase::tables(db_->kind())) {
            if (t.name.compare(tableName, Qt::CaseInsensitive) != 0)
                continue;
            if (const ColumnDef *c = t.column(name))
                return sql::ColumnInfo{c->name, sql::dialectType(c->kind)};
            return std::nullopt;
        }
        const QSqlRecord rec = db_->db().record(tableName);
        for (int i = 0; i < rec.count(); ++i)
            if (rec.fieldName(i).compare(name, Qt::CaseInsensitive) == 0)
                return sql::ColumnInfo{rec.fieldName(i),
                                       sql::dialectType(sql::kindOfField(rec.field(i)))};
        return std::nullopt;
    }

private:
    ShopDatabase *db_;
};

QAtomicInt connectionCounter;

} // namespace

// --- ShopDatabase --------------------------------------------------------------------

const std::vector<TableDef> &ShopDatabase::tables(Kind kind)
{
    static const std::vector<TableDef> shop = shopTables();
    static const std::vector<TableDef> catalogue = catalogueTables();
    return kind == Kind::Shop ? shop : catalogue;
}

const TableDef &ShopDatabase::table(const QString &name) const
{
    for (const TableDef &t : tables(kind_))
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return t;
    throw itemNotFound(name, Source);
}

QString ShopDatabase::sqliteConnection(const QString &file)
{
    return u"QSQLITE:"_s % file;
}

ShopDatabase::ShopDatabase(Kind kind, QString connection)
    : kind_(kind), connection_(std::move(connection)),
      connectionName_(u"orvane-host-"_s % QString::number(connectionCounter.fetchAndAddRelaxed(1)))
{
}

ShopDatabase::~ShopDatabase()
{
    sql::releaseRefusedStatements();
    schema_.reset();
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName_);
}

std::shared_ptr<ShopDatabase> ShopDatabase::open(Kind kind, const QString &connection, int version)
{
    std::shared_ptr<ShopDatabase> self(new ShopDatabase(kind, connection));
    self->dialect_ = BackendDialect::forBackend(sql::backendOf(connection));
    self->db_ = sql::openConnection(connection, self->connectionName_, Source);
    self->schema_ = std::make_unique<LiveSchema>(self.get());
    self->migrate(version);
    return self;
}

const sql::Schema &ShopDatabase::schema() const
{
    return *schema_;
}

int ShopDatabase::storedVersion()
{
    if (!db_.tables().contains(u"host_schema"_s, Qt::CaseInsensitive))
        return 0;
    QSqlQuery q = exec(u"SELECT version FROM host_schema"_s);
    const int version = q.next() ? q.value(0).toInt() : 0;
    q.finish();
    return version;
}

void ShopDatabase::migrate(int target)
{
    version_ = storedVersion();
    if (version_ >= target)
        return; // a newer database is used as it is; nothing of ours is missing
    TransactionGuard guard(db_, Source);
    // Another workstation may have upgraded it while this one waited for the lock.
    const int stored = storedVersion();
    version_ = stored;
    if (stored >= target)
        return;
    if (stored == 0)
        exec(u"CREATE TABLE host_schema (version INTEGER NOT NULL)"_s);
    sql::createOrAddColumns(db_, dialect_, tables(kind_), target, Source);
    // Version 3 widened invline.conf to hold a whole network confirmation code;
    // SQLite does not enforce text lengths, PostgreSQL must be told.
    if (kind_ == Kind::Shop && stored > 0 && stored < 3 && target >= 3 &&
        dialect_.backend == sql::Backend::PostgreSQL)
        exec(u"ALTER TABLE invline ALTER COLUMN conf TYPE varchar(30)"_s);
    // Version 4 widened the names and addresses to hold what dispatches carry.
    if (kind_ == Kind::Shop && stored > 0 && stored < 4 && target >= 4 &&
        dialect_.backend == sql::Backend::PostgreSQL) {
        for (const char16_t *name : {u"invoice", u"agents"}) {
            const TableDef &t = table(QString::fromUtf16(name));
            for (const ColumnDef &c : t.columns)
                if (c.kind == K::Text && c.size > 30 && c.since < 4)
                    exec(u"ALTER TABLE "_s % t.name % u" ALTER COLUMN "_s % c.name %
                         u" TYPE varchar("_s % QString::number(c.size) % u")"_s);
        }
    }
    if (kind_ == Kind::Shop) {
        exec(u"CREATE INDEX IF NOT EXISTS invline_order ON invline (idnumber)"_s);
        // Filters compare text without trailing blanks; see createOrAddColumns.
        exec(u"DROP INDEX IF EXISTS invoice_dispatch"_s);
        exec(u"CREATE INDEX IF NOT EXISTS invoice_dispatch_t ON invoice (rtrim(dispatch, ' '))"_s);
    }
    if (stored == 0)
        exec(u"INSERT INTO host_schema (version) VALUES (?)"_s, {target});
    else
        exec(u"UPDATE host_schema SET version = ?"_s, {target});
    guard.commit();
    version_ = target;
}

QSqlQuery ShopDatabase::exec(const QString &sqlText, const QVariantList &params)
{
    return sql::exec(db_, sqlText, params, Source);
}

Recordset ShopDatabase::emptyRecordset(const TableDef &t) const
{
    return sql::emptyRecordset(t);
}

Recordset ShopDatabase::select(const TableDef &t, const QString &whereSql,
                               const QVariantList &params, const QString &orderBy)
{
    return sql::selectRows(db_, t, whereSql, params, orderBy, Source);
}

ShopDatabase::Written ShopDatabase::writeChanges(const TableDef &t, const Recordset &rows,
                                                 const QHash<QString, Value> &newRowValues)
{
    return sql::writeChanges(db_, dialect_, t, rows, newRowValues, Source);
}

void ShopDatabase::applyWritten(const TableDef &t, Recordset &rows, const Written &written)
{
    sql::applyWritten(t, rows, written);
}

Recordset ShopDatabase::toRecordset(QSqlQuery &query) const
{
    const QSqlRecord rec = query.record();
    std::vector<ColumnKind> kinds;
    std::vector<std::vector<QVariant>> raw;
    while (query.next()) {
        std::vector<QVariant> row;
        row.reserve(rec.count());
        for (int i = 0; i < rec.count(); ++i)
            row.push_back(query.value(i));
        raw.push_back(std::move(row));
    }
    // The driver knows a result's types only once rows were read.
    const QSqlRecord typed = query.record();
    // Done reading: an active statement would hold the file against other
    // connections' writes.
    query.finish();
    Recordset rs;
    for (int i = 0; i < rec.count(); ++i) {
        ColumnKind kind = sql::kindOfField(typed.field(i));
        for (const TableDef &t : tables(kind_))
            if (const ColumnDef *c = t.column(rec.fieldName(i)); c && c->kind != K::Text) {
                if (c->kind == K::Date || c->kind == K::Currency || c->kind == K::Bool)
                    kind = c->kind;
                break;
            }
        if (kind == K::Int) {
            // Counts and 64-bit columns: keep them whole.
            const bool wide = std::any_of(raw.begin(), raw.end(), [&](const auto &r) {
                const qint64 n = r[size_t(i)].toLongLong();
                return n > INT32_MAX || n < INT32_MIN;
            });
            if (wide)
                kind = K::Double;
        }
        kinds.push_back(kind);
        int size = 255;
        if (kind == K::Text)
            for (const auto &r : raw)
                size = std::max<int>(size, int(r[size_t(i)].toString().size()));
        rs.appendField(rec.fieldName(i), recordsetType(kind), kind == K::Text ? size : 0);
    }
    rs.open();
    std::vector<Value> values(kinds.size());
    for (const auto &r : raw) {
        for (size_t i = 0; i < kinds.size(); ++i)
            values[i] = fromSql(r[i], kinds[i]);
        rs.loadRow(values);
    }
    if (rs.recordCount() > 0)
        rs.moveFirst();
    return rs;
}

} // namespace orvane::host
