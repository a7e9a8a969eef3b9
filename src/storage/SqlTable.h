#pragma once

#include "storage/BackendDialect.h"
#include "storage/FilterDialect.h"
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/Value.h>

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <utility>
#include <vector>

class QSqlField;
class QSqlQuery;

// Tables described in code, stored on SQLite or PostgreSQL, and moved to and
// from record sets. Shared by the host's shop database and the transport's
// staging tables, which live in the same database file or server.
namespace orvane::sql {

// How a column is stored and how it reaches a record set.
enum class ColumnKind { Key, Text, Int, Double, Currency, Date, Bool };

struct ColumnDef {
    // DDL and DML use the name unquoted, so PostgreSQL stores it folded to lower
    // case; record sets keep the spelling given here.
    QString name;
    ColumnKind kind = ColumnKind::Text;
    int size = 0;  // text: declared length
    int since = 1; // schema version that introduced the column
    // NULL allowed (and the default): for a column whose emptiness filters
    // test with "<> ' '", which only NULL fails on every backend.
    bool nullable = false;
};

// Builders for table definitions written in code.
namespace columns {
inline ColumnDef text(const char16_t *name, int size, int since = 1)
{
    return {QString::fromUtf16(name), ColumnKind::Text, size, since};
}
inline ColumnDef nullableText(const char16_t *name, int size, int since = 1)
{
    return {QString::fromUtf16(name), ColumnKind::Text, size, since, true};
}
inline ColumnDef col(const char16_t *name, ColumnKind kind, int since = 1)
{
    return {QString::fromUtf16(name), kind, 0, since};
}
} // namespace columns

struct TableDef {
    QString name;
    std::vector<ColumnDef> columns;
    QString key; // the Key column; empty for tables without one
    int since = 1;
    // Columns that polls and searches filter on; one index per entry
    // (comma-separated names make a composite index).
    QStringList indexes = {};
    // Searches by prefix (`col like 'abc%'`, the last name of an entry): an index
    // whose last column is kept as stored, which is what lets SQLite answer the
    // LIKE from a range of the index rather than reading the table.
    QStringList prefixIndexes = {};

    const ColumnDef *column(const QString &name) const; // ignores letter case
};

// Opens `connectionName` from a connection text: "QSQLITE:<file>" with optional
// ";READONLY" and ";BUSY_TIMEOUT=<ms>", "QPSQL:host=..;port=..;dbname=..;user=..;
// password=..", or a bare file path (SQLite). Raises a VbError when it cannot.
QSqlDatabase openConnection(const QString &connection, const QString &connectionName,
                            const QString &source);

// Prepares, binds and runs; a refusal raises a VbError with the driver's text.
QSqlQuery exec(QSqlDatabase &db, const QString &sqlText, const QVariantList &params,
               const QString &source);

// After a rollback (or before closing a connection): frees the statements
// PostgreSQL refused inside the transaction. TransactionGuard does it itself.
void releaseRefusedStatements();

ColumnType dialectType(ColumnKind kind);
ColumnKind kindOfField(const QSqlField &field);
int recordsetType(ColumnKind kind);
QVariant toSql(const Value &value, ColumnKind kind);
Value fromSql(const QVariant &value, ColumnKind kind);

// A schema for renderWhere/renderSelect over tables described in code; answers
// the names as the database stores them.
class TableSchema : public Schema {
public:
    explicit TableSchema(const std::vector<TableDef> &tables) : tables_(tables) {}
    std::optional<QString> table(const QString &name) const override;
    std::optional<ColumnInfo> column(const QString &table, const QString &name) const override;

private:
    const std::vector<TableDef> &tables_;
};

// Creates the tables of version <= target that are missing, adds their missing
// columns (rows are kept) and their indexes. Run inside a transaction.
void createOrAddColumns(QSqlDatabase &db, const BackendDialect &dialect,
                        const std::vector<TableDef> &tables, int target, const QString &source);

Recordset emptyRecordset(const TableDef &table);

// The table's columns, comma-separated in their order: what readRows reads.
QString columnList(const TableDef &table);

// Every row `query` gives (its columns those of columnList) as a record set with
// the table's fields, on the first row.
Recordset readRows(QSqlQuery &query, const TableDef &table);

// The rows of "SELECT columns FROM table [WHERE ...] [ORDER BY ...]" as a
// record set with the table's fields, on the first row.
Recordset selectRows(QSqlDatabase &db, const TableDef &table, const QString &whereSql,
                     const QVariantList &params, const QString &orderBy, const QString &source);

// Writes the rows added, changed or deleted since loading. New rows take
// `newRowValues` (column -> value) and a generated key; the keys are handed
// back by position among live rows, to be set with applyWritten once the
// surrounding transaction has committed.
struct Written {
    std::vector<std::pair<int, Value>> keys;
    QHash<QString, Value> newRowValues;
    std::vector<int> newRows;
};
//
// With `original` (the values a row had when it was loaded, by key), a changed
// row writes only the columns that changed, and only while the flag, number and
// text columns among them still hold their loaded values: a row another
// connection changed meanwhile fails with WriteConflictNumber and nothing is
// written (the caller's transaction rolls back). Two workstations marking the
// same unread row thus never both succeed.
inline constexpr long WriteConflictNumber = err::RowChangedByOther;
using OriginalRow = std::function<const std::vector<Value> *(const Value &key)>;
Written writeChanges(QSqlDatabase &db, const BackendDialect &dialect, const TableDef &table,
                     const Recordset &rows, const QHash<QString, Value> &newRowValues,
                     const QString &source, const OriginalRow &original = {});
void applyWritten(const TableDef &table, Recordset &rows, const Written &written);

} // namespace orvane::sql
