#include "ShopDatabase.h"

#include "VbError.h"

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

ColumnDef text(const char16_t *name, int size, int since = 1)
{
    return {QString::fromUtf16(name), K::Text, size, since};
}
ColumnDef nullableText(const char16_t *name, int size)
{
    return {QString::fromUtf16(name), K::Text, size, 1, true};
}
ColumnDef col(const char16_t *name, ColumnKind kind, int since = 1)
{
    return {QString::fromUtf16(name), kind, 0, since};
}

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
                  text(u"s_first", 30),
                  text(u"s_last", 30),
                  text(u"s_address", 50),
                  text(u"s_city", 30),
                  text(u"s_state", 2),
                  text(u"s_zip", 10),
                  text(u"s_area1", 3),
                  text(u"s_phone1", 8),
                  text(u"s_area2", 3),
                  text(u"s_phone2", 8),
                  col(u"agentid", K::Int),
                  text(u"a_company", 50),
                  text(u"a_first", 30),
                  text(u"a_last", 30),
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
          text(u"description", 60), text(u"conf", 20), col(u"net", K::Currency),
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
                 {col(u"agentid", K::Key), text(u"a_company", 50), text(u"a_first", 30),
                  text(u"a_last", 30), text(u"a_area", 3), text(u"a_phone", 8)},
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

bool isTextKey(const TableDef &t)
{
    const ColumnDef *k = t.column(t.key);
    return k && k->kind == K::Text;
}

sql::ColumnType dialectType(ColumnKind kind)
{
    switch (kind) {
    case K::Key:
    case K::Int:
        return sql::ColumnType::Integer;
    case K::Double:
    case K::Currency:
        return sql::ColumnType::Double;
    case K::Date:
        return sql::ColumnType::Date;
    case K::Bool:
        return sql::ColumnType::Boolean;
    case K::Text:
        break;
    }
    return sql::ColumnType::Text;
}

ColumnKind kindOfField(const QSqlField &f)
{
    switch (f.metaType().id()) {
    case QMetaType::Bool:
        return K::Bool;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
        return K::Int;
    case QMetaType::Double:
    case QMetaType::Float:
        return K::Double;
    case QMetaType::QDate:
    case QMetaType::QDateTime:
        return K::Date;
    default:
        return K::Text;
    }
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
                return sql::ColumnInfo{c->name, dialectType(c->kind)};
            return std::nullopt;
        }
        const QSqlRecord rec = db_->db().record(tableName);
        for (int i = 0; i < rec.count(); ++i)
            if (rec.fieldName(i).compare(name, Qt::CaseInsensitive) == 0)
                return sql::ColumnInfo{rec.fieldName(i), dialectType(kindOfField(rec.field(i)))};
        return std::nullopt;
    }

private:
    ShopDatabase *db_;
};

QAtomicInt connectionCounter;

} // namespace

const ColumnDef *TableDef::column(const QString &n) const
{
    for (const ColumnDef &c : columns)
        if (c.name.compare(n, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

// --- Dialect ---------------------------------------------------------------------

Dialect Dialect::forBackend(sql::Backend backend)
{
    Dialect d;
    d.backend = backend;
    return d;
}

QString Dialect::columnType(const ColumnDef &c) const
{
    const bool pg = backend == sql::Backend::PostgreSQL;
    switch (c.kind) {
    case K::Key:
        // SQLite's INTEGER PRIMARY KEY is the row id, which numbers itself.
        return pg ? u"SERIAL PRIMARY KEY"_s : u"INTEGER PRIMARY KEY"_s;
    case K::Text:
        return u"VARCHAR(%1)"_s.arg(c.size);
    case K::Int:
        return u"INTEGER"_s;
    case K::Double:
        return pg ? u"DOUBLE PRECISION"_s : u"DOUBLE"_s;
    case K::Currency:
        return pg ? u"NUMERIC(19,4)"_s : u"NUMERIC"_s;
    case K::Date:
        return pg ? u"TIMESTAMP"_s : u"DATE"_s;
    case K::Bool:
        return u"BOOLEAN"_s;
    }
    return u"VARCHAR(255)"_s;
}

QString Dialect::defaultFor(const ColumnDef &c) const
{
    // Text and numbers are never NULL: the library turns text fields into text,
    // and Null into text is an error. A date without a value stays NULL.
    if (c.nullable)
        return {};
    switch (c.kind) {
    case K::Text:
        return u"NOT NULL DEFAULT ''"_s;
    case K::Int:
    case K::Double:
    case K::Currency:
        return u"NOT NULL DEFAULT 0"_s;
    case K::Bool:
        return u"NOT NULL DEFAULT "_s % falseLiteral();
    case K::Key:
    case K::Date:
        break;
    }
    return {};
}

QString Dialect::trueLiteral() const
{
    return backend == sql::Backend::PostgreSQL ? u"TRUE"_s : u"1"_s;
}

QString Dialect::falseLiteral() const
{
    return backend == sql::Backend::PostgreSQL ? u"FALSE"_s : u"0"_s;
}

QString Dialect::insertIgnore(const QString &table, const QStringList &columns) const
{
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks << u"?"_s;
    // Both backends know ON CONFLICT (SQLite from 3.24).
    return u"INSERT INTO "_s % table % u" ("_s % columns.join(u", "_s) % u") VALUES ("_s %
           marks.join(u", "_s) % u") ON CONFLICT DO NOTHING"_s;
}

QString Dialect::insertReturning(const QString &table, const QStringList &columns,
                                 const QString &key) const
{
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks << u"?"_s;
    const QString values = columns.isEmpty() ? u" DEFAULT VALUES"_s
                                             : u" ("_s % columns.join(u", "_s) % u") VALUES ("_s %
                                                   marks.join(u", "_s) % u")"_s;
    // RETURNING: PostgreSQL always, SQLite from 3.35.
    return u"INSERT INTO "_s % table % values % u" RETURNING "_s % key;
}

QString Dialect::resyncKey(const QString &table, const QString &key) const
{
    if (backend != sql::Backend::PostgreSQL)
        return {};
    return u"SELECT setval(pg_get_serial_sequence('"_s % table % u"', '"_s % key %
           u"'), COALESCE((SELECT MAX("_s % key % u") FROM "_s % table % u"), 0) + 1, false)"_s;
}

// --- TransactionGuard ----------------------------------------------------------------

TransactionGuard::TransactionGuard(QSqlDatabase &db, const QString &source)
    : db_(db), source_(source)
{
    if (!db_.transaction())
        throw VbError(err::Unspecified, source_, db_.lastError().text());
    open_ = true;
}

TransactionGuard::~TransactionGuard()
{
    if (open_)
        db_.rollback();
}

void TransactionGuard::commit()
{
    if (!db_.commit()) {
        const QString text = db_.lastError().text();
        db_.rollback();
        open_ = false;
        throw VbError(err::Unspecified, source_, text);
    }
    open_ = false;
}

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
    schema_.reset();
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName_);
}

std::shared_ptr<ShopDatabase> ShopDatabase::open(Kind kind, const QString &connection, int version)
{
    std::shared_ptr<ShopDatabase> self(new ShopDatabase(kind, connection));
    QString driver = u"QSQLITE"_s;
    QString rest = connection;
    if (connection.startsWith(u"QPSQL:"_s, Qt::CaseInsensitive)) {
        driver = u"QPSQL"_s;
        rest = connection.mid(6);
    } else if (connection.startsWith(u"QSQLITE:"_s, Qt::CaseInsensitive)) {
        rest = connection.mid(8);
    }
    self->db_ = QSqlDatabase::addDatabase(driver, self->connectionName_);
    if (driver == u"QPSQL"_s) {
        self->dialect_ = Dialect::forBackend(sql::Backend::PostgreSQL);
        QStringList options;
        for (const QString &part : rest.split(u';', Qt::SkipEmptyParts)) {
            const QString key = part.section(u'=', 0, 0).trimmed().toLower();
            const QString value = part.section(u'=', 1).trimmed();
            if (key == u"host"_s)
                self->db_.setHostName(value);
            else if (key == u"port"_s)
                self->db_.setPort(value.toInt());
            else if (key == u"dbname"_s)
                self->db_.setDatabaseName(value);
            else if (key == u"user"_s)
                self->db_.setUserName(value);
            else if (key == u"password"_s)
                self->db_.setPassword(value);
            else
                options << part.trimmed();
        }
        self->db_.setConnectOptions(options.join(u';'));
    } else {
        self->dialect_ = Dialect::forBackend(sql::Backend::SQLite);
        const QStringList parts = rest.split(u';');
        QStringList options{u"QSQLITE_BUSY_TIMEOUT=1000"_s};
        for (int i = 1; i < parts.size(); ++i) {
            const QString p = parts[i].trimmed().toUpper();
            if (p == u"READONLY"_s)
                options << u"QSQLITE_OPEN_READONLY"_s;
            else if (p.startsWith(u"BUSY_TIMEOUT="_s))
                options[0] = u"QSQLITE_BUSY_TIMEOUT="_s % p.mid(13);
        }
        self->db_.setDatabaseName(parts.value(0));
        self->db_.setConnectOptions(options.join(u';'));
    }
    if (!self->db_.open())
        throw VbError(err::Unspecified, Source,
                      u"Cannot open the database: "_s % self->db_.lastError().text());
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
    return q.next() ? q.value(0).toInt() : 0;
}

void ShopDatabase::migrate(int target)
{
    const int stored = storedVersion();
    version_ = stored;
    if (stored >= target)
        return; // a newer database is used as it is; nothing of ours is missing
    TransactionGuard guard(db_, Source);
    if (stored == 0)
        exec(u"CREATE TABLE host_schema (version INTEGER NOT NULL)"_s);
    for (const TableDef &t : tables(kind_)) {
        if (t.since > target)
            continue;
        const bool exists = db_.tables().contains(t.name, Qt::CaseInsensitive);
        if (!exists) {
            QStringList defs;
            for (const ColumnDef &c : t.columns) {
                if (c.since > target)
                    continue;
                QString def = c.name % u' ' % dialect_.columnType(c);
                if (c.name == t.key && c.kind != K::Key)
                    def += u" PRIMARY KEY"_s;
                else if (c.kind != K::Key)
                    def += u' ' % dialect_.defaultFor(c);
                defs << def.trimmed();
            }
            exec(u"CREATE TABLE "_s % t.name % u" ("_s % defs.join(u", "_s) % u")"_s);
            continue;
        }
        const QSqlRecord have = db_.record(t.name);
        for (const ColumnDef &c : t.columns) {
            if (c.since > target || have.contains(c.name))
                continue;
            exec(u"ALTER TABLE "_s % t.name % u" ADD COLUMN "_s % c.name % u' ' %
                 dialect_.columnType(c) % u' ' % dialect_.defaultFor(c));
        }
    }
    if (kind_ == Kind::Shop) {
        exec(u"CREATE INDEX IF NOT EXISTS invline_order ON invline (idnumber)"_s);
        exec(u"CREATE INDEX IF NOT EXISTS invoice_dispatch ON invoice (dispatch)"_s);
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
    QSqlQuery q(db_);
    if (!q.prepare(sqlText))
        throw VbError(err::Unspecified, Source, q.lastError().text());
    for (const QVariant &p : params)
        q.addBindValue(p);
    if (!q.exec())
        throw VbError(err::Unspecified, Source, q.lastError().text());
    return q;
}

int ShopDatabase::recordsetType(ColumnKind kind)
{
    switch (kind) {
    case K::Key:
    case K::Int:
        return ftype::Int32;
    case K::Double:
        return ftype::Double;
    case K::Currency:
        return ftype::Currency;
    case K::Date:
        return ftype::Date;
    case K::Bool:
        return ftype::Bool;
    case K::Text:
        break;
    }
    return ftype::Text;
}

Recordset ShopDatabase::emptyRecordset(const TableDef &t) const
{
    Recordset rs;
    for (const ColumnDef &c : t.columns)
        rs.appendField(c.name, recordsetType(c.kind), c.kind == K::Text ? c.size : 0);
    rs.open();
    return rs;
}

QVariant ShopDatabase::toSql(const Value &v, ColumnKind kind)
{
    if (v.isNull())
        return {};
    switch (kind) {
    case K::Key:
        if (v.isEmpty())
            return {};
        return v.toInt32();
    case K::Int:
        return v.toInt32();
    case K::Double:
        return v.toDouble();
    case K::Currency:
        return v.toCurrency().toDouble();
    case K::Date: {
        if (v.isEmpty())
            return {};
        const DateValue d = v.toDate();
        // A date alone stays "YYYY-MM-DD", so it compares equal to a bound date.
        if (d.msecs == 0)
            return d.date();
        return d.toDateTime();
    }
    case K::Bool:
        return v.toBool();
    case K::Text:
        break;
    }
    // A null QString binds as NULL, which the text columns refuse.
    const QString t = v.toText();
    return t.isNull() ? u""_s : t;
}

Value ShopDatabase::fromSql(const QVariant &v, ColumnKind kind)
{
    if (v.isNull())
        // The host's "no date" is a field never assigned; other columns are NOT NULL.
        return kind == K::Date ? Value() : Value::null();
    switch (kind) {
    case K::Key:
    case K::Int: {
        const qint64 n = v.toLongLong();
        if (n >= INT32_MIN && n <= INT32_MAX)
            return Value(std::int32_t(n));
        return Value(std::int64_t(n));
    }
    case K::Double:
        return v.toDouble();
    case K::Currency:
        return Value(v.toDouble()).convertedTo(ValueKind::Currency);
    case K::Date: {
        if (v.metaType().id() == QMetaType::QDateTime) {
            const QDateTime dt = v.toDateTime();
            return dt.time() == QTime(0, 0) ? Value(dt.date()) : Value(DateValue::fromDateTime(dt));
        }
        if (v.metaType().id() == QMetaType::QDate)
            return v.toDate();
        const QString s = v.toString().trimmed();
        if (s.isEmpty())
            return Value();
        if (s.size() <= 10)
            return QDate::fromString(s, Qt::ISODate);
        QDateTime dt = QDateTime::fromString(s, Qt::ISODateWithMs);
        if (!dt.isValid())
            dt = QDateTime::fromString(s, Qt::ISODate);
        return Value(DateValue::fromDateTime(dt));
    }
    case K::Bool:
        if (v.metaType().id() == QMetaType::QString)
            return Value(v.toString().trimmed() == u"1"_s ||
                         v.toString().trimmed().compare(u"true"_s, Qt::CaseInsensitive) == 0);
        return v.toBool();
    case K::Text:
        break;
    }
    return v.toString();
}

Recordset ShopDatabase::select(const TableDef &t, const QString &whereSql,
                               const QVariantList &params, const QString &orderBy)
{
    QStringList names;
    for (const ColumnDef &c : t.columns)
        names << c.name;
    QString text = u"SELECT "_s % names.join(u", "_s) % u" FROM "_s % t.name;
    if (!whereSql.isEmpty())
        text += u" WHERE "_s % whereSql;
    if (!orderBy.isEmpty())
        text += u" ORDER BY "_s % orderBy;
    QSqlQuery q = exec(text, params);
    Recordset rs = emptyRecordset(t);
    std::vector<Value> row(t.columns.size());
    while (q.next()) {
        for (size_t i = 0; i < t.columns.size(); ++i)
            row[i] = fromSql(q.value(int(i)), t.columns[i].kind);
        rs.loadRow(row);
    }
    if (rs.recordCount() > 0)
        rs.moveFirst();
    return rs;
}

ShopDatabase::Written ShopDatabase::writeChanges(const TableDef &t, const Recordset &rows,
                                                 const QHash<QString, Value> &newRowValues)
{
    Written out;
    out.newRowValues = newRowValues;
    const int keyIndex = rows.fieldIndex(t.key);
    if (keyIndex < 0)
        throw itemNotFound(t.key, Source);
    // Only the record set's fields that are columns of the table are written.
    std::vector<std::pair<int, const ColumnDef *>> mapped;
    for (int i = 0; i < rows.fieldCount(); ++i)
        if (const ColumnDef *c = t.column(rows.fieldDef(i).name); c && c->kind != K::Key)
            mapped.emplace_back(i, c);
    const bool textKey = isTextKey(t);

    int live = -1;
    rows.forEachRow([&](RowStatus status, const std::vector<Value> &values) {
        if (status != RowStatus::Deleted)
            ++live;
        const Value &key = values[size_t(keyIndex)];
        const bool hasKey = !key.isEmpty() && !key.isNull() && (textKey || key.toInt64() != 0);
        switch (status) {
        case RowStatus::Unchanged:
            return;
        case RowStatus::Deleted:
            if (hasKey)
                exec(u"DELETE FROM "_s % t.name % u" WHERE "_s % t.key % u" = ?"_s,
                     {toSql(key, t.column(t.key)->kind)});
            return;
        case RowStatus::Modified:
            if (hasKey) {
                QStringList sets;
                QVariantList params;
                for (const auto &[i, c] : mapped) {
                    sets << c->name % u" = ?"_s;
                    params << toSql(values[size_t(i)], c->kind);
                }
                params << toSql(key, t.column(t.key)->kind);
                exec(u"UPDATE "_s % t.name % u" SET "_s % sets.join(u", "_s) % u" WHERE "_s %
                         t.key % u" = ?"_s,
                     params);
                return;
            }
            [[fallthrough]]; // a row that was never stored is added
        case RowStatus::New: {
            QStringList names;
            QVariantList params;
            if (textKey || hasKey) {
                names << t.key;
                params << toSql(key, t.column(t.key)->kind);
            }
            for (const auto &[i, c] : mapped) {
                names << c->name;
                const auto over = newRowValues.constFind(c->name);
                params << toSql(over != newRowValues.cend() ? *over : values[size_t(i)], c->kind);
            }
            if (textKey || hasKey) {
                exec(u"INSERT INTO "_s % t.name % u" ("_s % names.join(u", "_s) % u") VALUES ("_s %
                         QStringList(names.size(), u"?"_s).join(u", "_s) % u")"_s,
                     params);
            } else {
                QSqlQuery q = exec(dialect_.insertReturning(t.name, names, t.key), params);
                if (q.next())
                    out.keys.emplace_back(live, Value(std::int32_t(q.value(0).toInt())));
            }
            out.newRows.push_back(live);
            return;
        }
        }
    });
    return out;
}

void ShopDatabase::applyWritten(const TableDef &t, Recordset &rows, const Written &written)
{
    if (!written.keys.empty() || (!written.newRows.empty() && !written.newRowValues.isEmpty())) {
        Recordset cursor = rows.clone();
        cursor.setFilter(QString());
        auto moveTo = [&](int index) {
            cursor.moveFirst();
            if (index > 0)
                cursor.move(index);
        };
        for (const auto &[index, key] : written.keys) {
            moveTo(index);
            cursor.setValue(t.key, key);
            cursor.update();
        }
        for (int index : written.newRows) {
            moveTo(index);
            for (auto it = written.newRowValues.cbegin(); it != written.newRowValues.cend(); ++it)
                if (cursor.fieldIndex(it.key()) >= 0)
                    cursor.setValue(it.key(), it.value());
            cursor.update();
        }
    }
    rows.acceptChanges();
}

Recordset ShopDatabase::toRecordset(QSqlQuery &query) const
{
    const QSqlRecord rec = query.record();
    std::vector<ColumnKind> kinds;
    std::vector<std::vector<QVariant>> raw;
    while (query.next()) {
        std::vector<QVariant> row;
        for (int i = 0; i < rec.count(); ++i)
            row.push_back(query.value(i));
        raw.push_back(std::move(row));
    }
    // The driver knows a result's types only once rows were read.
    const QSqlRecord typed = query.record();
    Recordset rs;
    for (int i = 0; i < rec.count(); ++i) {
        ColumnKind kind = kindOfField(typed.field(i));
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
