#include "storage/SqlTable.h"

#include "runtime/CrashPoint.h"
#include "storage/BoundText.h"

#include <qorOrvaneUI/runtime/VbError.h>

#include <QDateTime>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

#include <unordered_map>

using namespace Qt::StringLiterals;

namespace orvane::sql {

namespace {

using K = ColumnKind;

bool isTextKey(const TableDef &t)
{
    const ColumnDef *k = t.column(t.key);
    return k && k->kind == K::Text;
}

// An UPDATE of the columns that differ from `before`, guarded by their loaded
// values where a comparison is exact on both backends (flags, numbers, text).
void updateChanged(QSqlDatabase &db, const TableDef &t,
                   const std::vector<std::pair<int, const ColumnDef *>> &mapped, const Value &key,
                   const std::vector<Value> &before, const std::vector<Value> &values,
                   const QString &source)
{
    QStringList sets, guards;
    QVariantList setParams, guardParams;
    for (const auto &[i, c] : mapped) {
        const QVariant now = toSql(values[size_t(i)], c->kind);
        const QVariant was = toSql(before[size_t(i)], c->kind);
        if (now == was && now.isNull() == was.isNull())
            continue;
        sets << c->name % u" = ?"_s;
        setParams << now;
        if (c->kind == K::Bool || c->kind == K::Int || c->kind == K::Text) {
            if (was.isNull()) {
                guards << c->name % u" IS NULL"_s;
            } else {
                guards << c->name % u" = ?"_s;
                guardParams << was;
            }
        }
    }
    if (sets.isEmpty())
        return;
    QString text =
        u"UPDATE "_s % t.name % u" SET "_s % sets.join(u", "_s) % u" WHERE "_s % t.key % u" = ?"_s;
    for (const QString &g : guards)
        text += u" AND "_s % g;
    QSqlQuery q =
        exec(db, text, setParams + QVariantList{toSql(key, t.column(t.key)->kind)} + guardParams,
             source);
    if (q.numRowsAffected() == 0)
        throw VbError(WriteConflictNumber, source,
                      u"Row "_s % key.toText() % u" of "_s % t.name %
                          u" was changed or removed by another user since it was read."_s);
}

} // namespace

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

const ColumnDef *TableDef::column(const QString &n) const
{
    for (const ColumnDef &c : columns)
        if (c.name.compare(n, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

int recordsetType(ColumnKind kind)
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

QVariant toSql(const Value &v, ColumnKind kind)
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

Value fromSql(const QVariant &v, ColumnKind kind)
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

// --- Connections -----------------------------------------------------------------

QSqlDatabase openConnection(const QString &connection, const QString &connectionName,
                            const QString &source)
{
    QString rest = connection;
    const bool pg = backendOf(connection) == Backend::PostgreSQL;
    if (pg)
        rest = connection.mid(6);
    else if (connection.startsWith(u"QSQLITE:"_s, Qt::CaseInsensitive))
        rest = connection.mid(8);
    QSqlDatabase db = QSqlDatabase::addDatabase(pg ? u"QPSQL"_s : u"QSQLITE"_s, connectionName);
    if (pg) {
        QStringList options;
        for (const QString &part : rest.split(u';', Qt::SkipEmptyParts)) {
            const QString key = part.section(u'=', 0, 0).trimmed().toLower();
            const QString value = part.section(u'=', 1).trimmed();
            if (key == u"host"_s)
                db.setHostName(value);
            else if (key == u"port"_s)
                db.setPort(value.toInt());
            else if (key == u"dbname"_s)
                db.setDatabaseName(value);
            else if (key == u"user"_s)
                db.setUserName(value);
            else if (key == u"password"_s)
                db.setPassword(value);
            else
                options << part.trimmed();
        }
        // The server's notices ("... already exists, skipping") would go to stderr.
        if (!options.join(u';').contains(u"options="_s, Qt::CaseInsensitive))
            options << u"options=-cclient_min_messages=warning"_s;
        db.setConnectOptions(options.join(u';'));
    } else {
        const QStringList parts = rest.split(u';');
        QStringList options{u"QSQLITE_BUSY_TIMEOUT=1000"_s};
        for (int i = 1; i < parts.size(); ++i) {
            const QString p = parts[i].trimmed().toUpper();
            if (p == u"READONLY"_s)
                options << u"QSQLITE_OPEN_READONLY"_s;
            else if (p.startsWith(u"BUSY_TIMEOUT="_s))
                options[0] = u"QSQLITE_BUSY_TIMEOUT="_s % p.mid(13);
        }
        db.setDatabaseName(parts.value(0));
        db.setConnectOptions(options.join(u';'));
    }
    if (!db.open()) {
        const QString text = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        throw VbError(err::Unspecified, source, u"Cannot open the database: "_s % text);
    }
    if (!pg) {
        // In the default rollback journal one workstation's open reader keeps
        // every other connection's commit waiting; with a write-ahead log
        // readers and the writer no longer block each other. The mode is kept
        // in the file, so setting it again costs nothing. A read-only or
        // in-memory database keeps its own mode.
        const QString file = rest.section(u';', 0, 0).trimmed();
        if (!db.connectOptions().contains(u"QSQLITE_OPEN_READONLY"_s) && !file.isEmpty() &&
            file != u":memory:"_s) {
            QSqlQuery q(db);
            q.exec(u"PRAGMA journal_mode=WAL"_s); // a file that refuses keeps working as it is
        }
    }
    return db;
}

namespace {

// PostgreSQL cannot free a prepared statement it refused while the transaction
// it aborted is still open; such statements wait here for the rollback.
thread_local std::vector<QSqlQuery> refusedStatements;

} // namespace

void releaseRefusedStatements()
{
    refusedStatements.clear();
}

QSqlQuery exec(QSqlDatabase &db, const QString &sqlText, const QVariantList &params,
               const QString &source)
{
    QSqlQuery q(db);
    if (params.isEmpty()) {
        // PostgreSQL prepares no DDL or transaction statements; without values
        // there is nothing to bind anyway.
        if (!q.exec(sqlText))
            throw VbError(err::Unspecified, source, q.lastError().text());
        return q;
    }
    if (!q.prepare(sqlText))
        throw VbError(err::Unspecified, source, q.lastError().text());
    for (const QVariant &p : params)
        q.addBindValue(detail::boundValue(db, p));
    if (!q.exec()) {
        const QString text = q.lastError().text();
        if (db.driverName() == u"QPSQL"_s)
            refusedStatements.push_back(std::move(q));
        throw VbError(err::Unspecified, source, text);
    }
    return q;
}

// --- TableSchema -----------------------------------------------------------------------

std::optional<QString> TableSchema::table(const QString &name) const
{
    for (const TableDef &t : tables_)
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return t.name;
    return std::nullopt;
}

std::optional<ColumnInfo> TableSchema::column(const QString &tableName, const QString &name) const
{
    for (const TableDef &t : tables_) {
        if (t.name.compare(tableName, Qt::CaseInsensitive) != 0)
            continue;
        if (const ColumnDef *c = t.column(name))
            // The renderer quotes names; the tables were made with unquoted ones,
            // which PostgreSQL folds to lower case (SQLite ignores case anyway).
            return ColumnInfo{c->name.toLower(), dialectType(c->kind)};
        return std::nullopt;
    }
    return std::nullopt;
}

// --- Creating and migrating ---------------------------------------------------------

void createOrAddColumns(QSqlDatabase &db, const BackendDialect &dialect,
                        const std::vector<TableDef> &tables, int target, const QString &source)
{
    for (const TableDef &t : tables) {
        if (t.since > target)
            continue;
        const bool exists = db.tables().contains(t.name, Qt::CaseInsensitive);
        if (!exists) {
            QStringList defs;
            for (const ColumnDef &c : t.columns) {
                if (c.since > target)
                    continue;
                QString def = c.name % u' ' % dialect.columnType(c);
                if (c.name == t.key && c.kind != K::Key)
                    def += u" PRIMARY KEY"_s;
                else if (c.kind != K::Key)
                    def += u' ' % dialect.defaultFor(c);
                defs << def.trimmed();
            }
            exec(db, u"CREATE TABLE "_s % t.name % u" ("_s % defs.join(u", "_s) % u")"_s, {},
                 source);
        } else {
            const QSqlRecord have = db.record(t.name);
            for (const ColumnDef &c : t.columns) {
                if (c.since > target || have.contains(c.name))
                    continue;
                exec(db,
                     u"ALTER TABLE "_s % t.name % u" ADD COLUMN "_s % c.name % u' ' %
                         dialect.columnType(c) % u' ' % dialect.defaultFor(c),
                     {}, source);
            }
        }
        // The names of an index entry, or none while one of its columns is still to come.
        auto indexColumns = [&](const QString &index) {
            QStringList names = index.split(u',');
            for (QString &n : names) {
                n = n.trimmed();
                const ColumnDef *c = t.column(n);
                if (!c || c->since > target)
                    return QStringList();
            }
            return names;
        };
        for (const QString &index : t.indexes) {
            const QStringList names = indexColumns(index);
            if (names.isEmpty())
                continue;
            // Filters compare text without its trailing blanks (rtrim), so a text
            // column is indexed by that expression; an index of the plain column
            // from an older version would only cost writes.
            QString indexName = (t.name % u'_' % names.join(u'_')).toLower();
            QStringList keys;
            bool hasText = false;
            for (const QString &n : names) {
                const bool isText = t.column(n)->kind == K::Text;
                hasText = hasText || isText;
                keys << (isText ? u"rtrim("_s % n % u", ' ')"_s : n);
            }
            if (hasText) {
                exec(db, u"DROP INDEX IF EXISTS "_s % indexName, {}, source);
                indexName += u"_t"_s;
            }
            exec(db,
                 u"CREATE INDEX IF NOT EXISTS "_s % indexName % u" ON "_s % t.name % u" ("_s %
                     keys.join(u", "_s) % u")"_s,
                 {}, source);
        }
        // SQLite narrows `col LIKE 'abc%'` to a range only over an index of the
        // plain column in LIKE's own collation (NOCASE: LIKE ignores letter
        // case), never over the rtrim expression; the LIKE still checks every
        // row the range gives, so results do not change. PostgreSQL's ILIKE
        // cannot use a btree index at all, so it gets none.
        if (dialect.backend != Backend::SQLite)
            continue;
        for (const QString &index : t.prefixIndexes) {
            const QStringList names = indexColumns(index);
            if (names.isEmpty())
                continue;
            QStringList keys;
            for (const QString &n : names) {
                if (n == names.back())
                    keys << n % u" COLLATE NOCASE"_s;
                else
                    keys << (t.column(n)->kind == K::Text ? u"rtrim("_s % n % u", ' ')"_s : n);
            }
            exec(db,
                 u"CREATE INDEX IF NOT EXISTS "_s % (t.name % u'_' % names.join(u'_')).toLower() %
                     u"_p ON "_s % t.name % u" ("_s % keys.join(u", "_s) % u")"_s,
                 {}, source);
        }
    }
}

// --- Record sets ------------------------------------------------------------------------

Recordset emptyRecordset(const TableDef &t)
{
    // Every load of a table starts from this layout: built once per table (and
    // thread) and shared, since appending the fields hashes every name. A
    // table defined anew at the same address is told apart by its columns.
    struct Layout {
        std::vector<std::pair<QString, std::pair<K, int>>> columns;
        Recordset rows;
    };
    thread_local std::unordered_map<const TableDef *, Layout> layouts;
    Layout &layout = layouts[&t];
    const auto same = [&t, &layout] {
        if (layout.columns.size() != t.columns.size())
            return false;
        for (size_t i = 0; i < t.columns.size(); ++i) {
            const auto &[name, shape] = layout.columns[i];
            const ColumnDef &c = t.columns[i];
            if (shape.first != c.kind || shape.second != c.size || name != c.name)
                return false;
        }
        return true;
    };
    if (!layout.rows.isOpen() || !same()) {
        Recordset rs;
        std::vector<std::pair<QString, std::pair<K, int>>> columns;
        for (const ColumnDef &c : t.columns) {
            rs.appendField(c.name, recordsetType(c.kind), c.kind == K::Text ? c.size : 0);
            columns.push_back({c.name, {c.kind, c.size}});
        }
        rs.open();
        layout = Layout{std::move(columns), std::move(rs)};
    }
    return layout.rows.emptyCopy();
}

QString columnList(const TableDef &t)
{
    QStringList names;
    for (const ColumnDef &c : t.columns)
        names << c.name;
    return names.join(u", "_s);
}

Recordset readRows(QSqlQuery &q, const TableDef &t)
{
    Recordset rs = emptyRecordset(t);
    std::vector<Value> row(t.columns.size());
    while (q.next()) {
        for (size_t i = 0; i < t.columns.size(); ++i)
            row[i] = fromSql(q.value(int(i)), t.columns[i].kind);
        rs.loadRow(row);
    }
    q.finish();
    if (rs.recordCount() > 0)
        rs.moveFirst();
    return rs;
}

Recordset selectRows(QSqlDatabase &db, const TableDef &t, const QString &whereSql,
                     const QVariantList &params, const QString &orderBy, const QString &source)
{
    QString text = u"SELECT "_s % columnList(t) % u" FROM "_s % t.name;
    if (!whereSql.isEmpty())
        text += u" WHERE "_s % whereSql;
    if (!orderBy.isEmpty())
        text += u" ORDER BY "_s % orderBy;
    QSqlQuery q = exec(db, text, params, source);
    return readRows(q, t);
}

Written writeChanges(QSqlDatabase &db, const BackendDialect &dialect, const TableDef &t,
                     const Recordset &rows, const QHash<QString, Value> &newRowValues,
                     const QString &source, const OriginalRow &original)
{
    Written out;
    out.newRowValues = newRowValues;
    const int keyIndex = rows.fieldIndex(t.key);
    if (keyIndex < 0)
        throw itemNotFound(t.key, source);
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
            if (hasKey) {
                exec(db, u"DELETE FROM "_s % t.name % u" WHERE "_s % t.key % u" = ?"_s,
                     {toSql(key, t.column(t.key)->kind)}, source);
                crashPoint("write");
            }
            return;
        case RowStatus::Modified:
            if (hasKey && original) {
                if (const std::vector<Value> *before = original(key)) {
                    updateChanged(db, t, mapped, key, *before, values, source);
                    crashPoint("write");
                    return;
                }
            }
            if (hasKey) {
                QStringList sets;
                QVariantList params;
                for (const auto &[i, c] : mapped) {
                    sets << c->name % u" = ?"_s;
                    params << toSql(values[size_t(i)], c->kind);
                }
                params << toSql(key, t.column(t.key)->kind);
                exec(db,
                     u"UPDATE "_s % t.name % u" SET "_s % sets.join(u", "_s) % u" WHERE "_s %
                         t.key % u" = ?"_s,
                     params, source);
                crashPoint("write");
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
                exec(db,
                     u"INSERT INTO "_s % t.name % u" ("_s % names.join(u", "_s) % u") VALUES ("_s %
                         QStringList(names.size(), u"?"_s).join(u", "_s) % u")"_s,
                     params, source);
            } else {
                QSqlQuery q =
                    exec(db, dialect.insertReturning(t.name, names, t.key), params, source);
                if (q.next())
                    out.keys.emplace_back(live, Value(std::int32_t(q.value(0).toInt())));
                q.finish();
            }
            out.newRows.push_back(live);
            crashPoint("write");
            return;
        }
        }
    });
    return out;
}

void applyWritten(const TableDef &t, Recordset &rows, const Written &written)
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

} // namespace orvane::sql
