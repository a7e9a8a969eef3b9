#pragma once

#include <QString>
#include <QStringList>

class QSqlDatabase;

namespace orvane::sql {

enum class Backend { SQLite, PostgreSQL };

struct ColumnDef;

// The backend a connection text names ("QPSQL:..." or SQLite), and the one an
// open connection runs on.
Backend backendOf(const QString &connection);
Backend backendOf(const QSqlDatabase &db);

// Everything that differs between SQLite and PostgreSQL, in one place.
struct BackendDialect {
    Backend backend = Backend::SQLite;

    static BackendDialect forBackend(Backend backend);
    QString columnType(const ColumnDef &column) const;
    QString defaultFor(const ColumnDef &column) const; // DEFAULT clause, empty for none
    QString trueLiteral() const;
    QString falseLiteral() const;
    // INSERT that leaves an existing row with the same key alone (idempotent seeding).
    QString insertIgnore(const QString &table, const QStringList &columns) const;
    // INSERT that hands back the generated key as the query's only column.
    QString insertReturning(const QString &table, const QStringList &columns,
                            const QString &key) const;
    // After rows were stored with explicit keys: brings the key generator past
    // them (PostgreSQL's sequences do not look at the table). Empty when not needed.
    QString resyncKey(const QString &table, const QString &key) const;
    // Starts a transaction that takes the write lock at once, so two writers
    // never both read a row as unclaimed (SQLite's BEGIN IMMEDIATE; PostgreSQL
    // locks rows as they are updated and needs nothing extra).
    QString beginWrite() const;
};

} // namespace orvane::sql
