#include "transport/StagingDatabase.h"

#include "transport/StagingSchema.h"
#include <qorOrvaneUI/runtime/VbError.h>

#include <QAtomicInt>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

using namespace Qt::StringLiterals;

namespace orvane::transport {

namespace {

const QString Source = u"qorOrvaneOut.StagingDatabase"_s;

QAtomicInt connectionCounter;

// Per thread: connection text -> open connection, while any object uses it.
thread_local QHash<QString, std::weak_ptr<StagingDatabase>> openConnections;

QString withBusyTimeout(const QString &connection)
{
    // Several workstations write the same file; wait for each other's short
    // transactions instead of failing at once.
    if (sql::backendOf(connection) == sql::Backend::SQLite &&
        !connection.contains(u"BUSY_TIMEOUT="_s, Qt::CaseInsensitive))
        return connection % u";BUSY_TIMEOUT=10000"_s;
    return connection;
}

} // namespace

std::shared_ptr<StagingDatabase> StagingDatabase::open(const QString &connection)
{
    if (auto existing = openConnections.value(connection).lock())
        return existing;
    auto self = open(connection, SchemaVersion);
    openConnections.insert(connection, self);
    return self;
}

std::shared_ptr<StagingDatabase> StagingDatabase::open(const QString &connection, int version)
{
    if (connection.trimmed().isEmpty())
        throw VbError(err::Unspecified, Source, u"The host gave no database connection."_s);
    std::shared_ptr<StagingDatabase> self(new StagingDatabase);
    self->connectionName_ =
        u"orvane-transport-"_s % QString::number(connectionCounter.fetchAndAddRelaxed(1));
    self->dialect_ = sql::BackendDialect::forBackend(sql::backendOf(connection));
    self->db_ = sql::openConnection(withBusyTimeout(connection), self->connectionName_, Source);
    self->schema_ = std::make_unique<sql::TableSchema>(stagingTables());
    self->migrate(version);
    return self;
}

StagingDatabase::~StagingDatabase()
{
    outer_.reset();
    sql::releaseRefusedStatements();
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName_);
}

const sql::Schema &StagingDatabase::schema() const
{
    return *schema_;
}

void StagingDatabase::writeTransaction(const std::function<void()> &work)
{
    if (outer_ || depth_ > 0) {
        work();
        return;
    }
    sql::TransactionGuard guard(db_, Source);
    ++depth_;
    try {
        work();
    } catch (...) {
        --depth_;
        throw;
    }
    --depth_;
    guard.commit();
}

void StagingDatabase::beginOuter()
{
    if (outer_ || depth_ > 0)
        throw VbError(err::OperationNotAllowed, Source,
                      u"A transaction is already open on this connection."_s);
    outer_ = std::make_unique<sql::TransactionGuard>(db_, Source);
}

void StagingDatabase::commitOuter()
{
    if (!outer_)
        throw VbError(err::OperationNotAllowed, Source, u"No transaction is open."_s);
    // Ended whatever the commit gives: a refused commit has rolled back.
    const std::unique_ptr<sql::TransactionGuard> guard = std::move(outer_);
    guard->commit();
}

void StagingDatabase::rollbackOuter() noexcept
{
    outer_.reset();
}

void StagingDatabase::migrate(int target)
{
    const QString versionTable = QString::fromUtf16(SchemaVersionTable);
    // Up to date, as nearly always: no write lock, no transaction.
    if (db_.tables().contains(versionTable, Qt::CaseInsensitive)) {
        QSqlQuery q = sql::exec(db_, u"SELECT version FROM "_s % versionTable, {}, Source);
        version_ = q.next() ? q.value(0).toInt() : 0;
        q.finish();
        if (version_ >= target)
            return;
    }
    writeTransaction([&] {
        if (backend() == sql::Backend::PostgreSQL)
            // Two workstations starting at once must not both create the tables.
            sql::exec(db_, u"SELECT pg_advisory_xact_lock(4711)"_s, {}, Source);
        int stored = 0;
        const bool hasVersion = db_.tables().contains(versionTable, Qt::CaseInsensitive);
        if (hasVersion) {
            QSqlQuery q = sql::exec(db_, u"SELECT version FROM "_s % versionTable, {}, Source);
            stored = q.next() ? q.value(0).toInt() : 0;
            q.finish();
        }
        version_ = stored;
        if (stored >= target)
            return; // a newer database is used as it is; nothing of ours is missing
        if (!hasVersion)
            sql::exec(db_, u"CREATE TABLE "_s % versionTable % u" (version INTEGER NOT NULL)"_s, {},
                      Source);
        sql::createOrAddColumns(db_, dialect_, stagingTables(), target, Source);
        if (stored > 0 && stored < NoticeWidenedIn && target >= NoticeWidenedIn &&
            backend() == sql::Backend::PostgreSQL) {
            const sql::TableDef &notice = *stagingTable(u"g_enol"_s);
            for (const char16_t *name : NoticeWidened) {
                const sql::ColumnDef *c = notice.column(QString::fromUtf16(name));
                sql::exec(db_,
                          u"ALTER TABLE g_enol ALTER COLUMN "_s % c->name % u" TYPE varchar("_s %
                              QString::number(c->size) % u")"_s,
                          {}, Source);
            }
        }
        if (hasVersion && stored > 0)
            sql::exec(db_, u"UPDATE "_s % versionTable % u" SET version = ?"_s, {target}, Source);
        else
            sql::exec(db_, u"INSERT INTO "_s % versionTable % u" (version) VALUES (?)"_s, {target},
                      Source);
        version_ = target;
    });
}

Recordset StagingDatabase::load(const sql::TableDef &table, const QString &filter)
{
    const sql::Rendered where =
        sql::renderWhere(sql::parseCondition(filter), *schema_, table.name, backend());
    return sql::selectRows(db_, table, where.sql, where.params, table.key, Source);
}

void StagingDatabase::save(const sql::TableDef &table, Recordset &rows,
                           const sql::OriginalRow &original)
{
    sql::Written written;
    writeTransaction(
        [&] { written = sql::writeChanges(db_, dialect_, table, rows, {}, Source, original); });
    sql::applyWritten(table, rows, written);
}

Recordset StagingDatabase::claim(const sql::TableDef &table, const QString &filter,
                                 const QString &flagColumn)
{
    const sql::ColumnDef *flag = table.column(flagColumn);
    if (!flag || flag->kind != sql::ColumnKind::Bool)
        throw itemNotFound(flagColumn, Source);
    const sql::Rendered where =
        sql::renderWhere(sql::parseCondition(filter), *schema_, table.name, backend());
    // One statement: SQLite runs it under the database's write lock; PostgreSQL
    // re-checks "flag = false" on a row another transaction changed meanwhile
    // and leaves it out. Either way no row is claimed twice.
    QString text = u"UPDATE "_s % table.name % u" SET "_s % flag->name % u" = ? WHERE "_s %
                   flag->name % u" = ?"_s;
    if (!where.sql.isEmpty())
        text += u" AND ("_s % where.sql % u")"_s;
    text += u" RETURNING "_s % sql::columnList(table);
    QVariantList params{sql::toSql(Value(true), sql::ColumnKind::Bool),
                        sql::toSql(Value(false), sql::ColumnKind::Bool)};
    params += where.params;
    Recordset rs;
    writeTransaction([&] {
        QSqlQuery q = sql::exec(db_, text, params, Source);
        rs = sql::readRows(q, table);
    });
    return rs;
}

} // namespace orvane::transport
