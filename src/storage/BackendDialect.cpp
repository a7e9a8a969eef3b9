#include "storage/BackendDialect.h"

#include "storage/SqlTable.h"

#include <QSqlDatabase>
#include <QSqlDriver>

using namespace Qt::StringLiterals;

namespace orvane::sql {

using K = ColumnKind;

Backend backendOf(const QString &connection)
{
    return connection.startsWith(u"QPSQL:"_s, Qt::CaseInsensitive) ? Backend::PostgreSQL
                                                                   : Backend::SQLite;
}

Backend backendOf(const QSqlDatabase &db)
{
    return db.driverName() == u"QPSQL"_s ? Backend::PostgreSQL : Backend::SQLite;
}

BackendDialect BackendDialect::forBackend(sql::Backend backend)
{
    BackendDialect d;
    d.backend = backend;
    return d;
}

QString BackendDialect::columnType(const ColumnDef &c) const
{
    const bool pg = backend == sql::Backend::PostgreSQL;
    switch (c.kind) {
    case K::Key:
        // SQLite's INTEGER PRIMARY KEY is the row id, which numbers itself.
        return pg ? u"SERIAL PRIMARY KEY"_s : u"INTEGER PRIMARY KEY"_s;
    case K::Text:
        // Size 0: documents and other text of any length.
        return c.size > 0 ? u"VARCHAR(%1)"_s.arg(c.size) : u"TEXT"_s;
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

QString BackendDialect::defaultFor(const ColumnDef &c) const
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

QString BackendDialect::trueLiteral() const
{
    return backend == sql::Backend::PostgreSQL ? u"TRUE"_s : u"1"_s;
}

QString BackendDialect::falseLiteral() const
{
    return backend == sql::Backend::PostgreSQL ? u"FALSE"_s : u"0"_s;
}

QString BackendDialect::insertIgnore(const QString &table, const QStringList &columns) const
{
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks << u"?"_s;
    // Both backends know ON CONFLICT (SQLite from 3.24).
    return u"INSERT INTO "_s % table % u" ("_s % columns.join(u", "_s) % u") VALUES ("_s %
           marks.join(u", "_s) % u") ON CONFLICT DO NOTHING"_s;
}

QString BackendDialect::insertReturning(const QString &table, const QStringList &columns,
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

QString BackendDialect::beginWrite() const
{
    return backend == Backend::PostgreSQL ? u"BEGIN"_s : u"BEGIN IMMEDIATE"_s;
}

QString BackendDialect::resyncKey(const QString &table, const QString &key) const
{
    if (backend != sql::Backend::PostgreSQL)
        return {};
    return u"SELECT setval(pg_get_serial_sequence('"_s % table % u"', '"_s % key %
           u"'), COALESCE((SELECT MAX("_s % key % u") FROM "_s % table % u"), 0) + 1, false)"_s;
}

} // namespace orvane::sql
