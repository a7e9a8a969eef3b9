#pragma once

#include "storage/FilterDialect.h"
#include "storage/SqlTable.h"
#include "storage/TransactionGuard.h"
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/Value.h>

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <memory>
#include <utility>
#include <vector>

class QSqlQuery;

namespace orvane::host {

// The table descriptions, dialect and transaction guard are shared with the
// transport's staging tables (storage/SqlTable.h).
using ColumnKind = sql::ColumnKind;
using ColumnDef = sql::ColumnDef;
using TableDef = sql::TableDef;
using BackendDialect = sql::BackendDialect;
using TransactionGuard = sql::TransactionGuard;

// One of the host's databases: the shop database (orders, lines, shops, bill-to
// parties, discounts, agents, insurers) or the glass catalogue.
//
// Connection texts: "QSQLITE:<file>" with optional ";READONLY" and
// ";BUSY_TIMEOUT=<ms>", "QPSQL:host=..;port=..;dbname=..;user=..;password=..",
// or a bare file path (SQLite).
class ShopDatabase {
public:
    enum class Kind { Shop, Catalogue };
    static constexpr int CurrentVersion = 4;

    // Opens the database, creating its tables or adding what a newer version
    // brought (rows are kept). `version` exists so tests can make an old database.
    static std::shared_ptr<ShopDatabase> open(Kind kind, const QString &connection,
                                              int version = CurrentVersion);
    static QString sqliteConnection(const QString &file);
    ~ShopDatabase();
    ShopDatabase(const ShopDatabase &) = delete;
    ShopDatabase &operator=(const ShopDatabase &) = delete;

    Kind kind() const { return kind_; }
    QString connectionText() const { return connection_; }
    QSqlDatabase &db() { return db_; }
    const BackendDialect &dialect() const { return dialect_; }
    sql::Backend backend() const { return dialect_.backend; }
    int version() const { return version_; }
    // What filters and queries may name: the known tables, then whatever else
    // the database holds (the transport's staging tables).
    const sql::Schema &schema() const;

    static const std::vector<TableDef> &tables(Kind kind);
    const TableDef &table(const QString &name) const; // 3265 when unknown

    // Prepares, binds and runs; a refusal raises a VbError with the driver's text.
    QSqlQuery exec(const QString &sqlText, const QVariantList &params = {});

    // The rows of "SELECT * FROM table [WHERE ...] [ORDER BY ...]" as a record set
    // with the table's fields, on the first row.
    Recordset select(const TableDef &table, const QString &whereSql = {},
                     const QVariantList &params = {}, const QString &orderBy = {});
    Recordset emptyRecordset(const TableDef &table) const;

    // Writes the rows added, changed or deleted since loading. New rows take
    // `newRowValues` (column -> value) and a generated key; the keys are
    // handed back by position among live rows, to be set with applyWritten
    // once the surrounding transaction has committed.
    using Written = sql::Written;
    Written writeChanges(const TableDef &table, const Recordset &rows,
                         const QHash<QString, Value> &newRowValues = {});
    static void applyWritten(const TableDef &table, Recordset &rows, const Written &written);

    // Any query's result as a record set, types taken from the driver (and from
    // the known tables where a column's name is theirs).
    Recordset toRecordset(QSqlQuery &query) const;

    static QVariant toSql(const Value &value, ColumnKind kind) { return sql::toSql(value, kind); }
    static Value fromSql(const QVariant &value, ColumnKind kind)
    {
        return sql::fromSql(value, kind);
    }
    static int recordsetType(ColumnKind kind) { return sql::recordsetType(kind); }

private:
    ShopDatabase(Kind kind, QString connection);
    void migrate(int target);
    int storedVersion();

    Kind kind_;
    QString connection_;
    QString connectionName_;
    QSqlDatabase db_;
    BackendDialect dialect_;
    int version_ = 0;
    std::unique_ptr<sql::Schema> schema_;
};

} // namespace orvane::host
