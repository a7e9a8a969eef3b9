#pragma once

#include "storage/SqlTable.h"
#include "storage/TransactionGuard.h"
#include <qorOrvaneUI/runtime/Recordset.h>

#include <QSqlDatabase>
#include <QString>

#include <memory>

namespace orvane::transport {

// The transport's own connection to the shop database, holding the staging
// tables. Objects of one thread that name the same connection text share one
// connection (Qt's connections belong to the thread that opened them).
//
// Filters are condition texts in the host's dialect (FilterDialect.h): parsed,
// checked against the staging tables and run with bound values. Nothing of a
// filter's text reaches the SQL.
class StagingDatabase {
public:
    // Opens the connection and creates or upgrades the staging tables (rows are
    // kept). `version` exists so tests can make an older database.
    static std::shared_ptr<StagingDatabase> open(const QString &connection);
    static std::shared_ptr<StagingDatabase> open(const QString &connection, int version);
    ~StagingDatabase();
    StagingDatabase(const StagingDatabase &) = delete;
    StagingDatabase &operator=(const StagingDatabase &) = delete;

    QSqlDatabase &db() { return db_; }
    const sql::BackendDialect &dialect() const { return dialect_; }
    sql::Backend backend() const { return dialect_.backend; }
    int version() const { return version_; }
    const sql::Schema &schema() const;

    // The rows of `table` matching `filter` (empty: all), oldest first, on the
    // first row. A filter outside the dialect raises sql::SyntaxErrorNumber
    // before anything runs.
    Recordset load(const sql::TableDef &table, const QString &filter);

    // Writes every added, changed and deleted row of `rows` in one transaction
    // and then marks them saved; on failure nothing is written and `rows`
    // keeps its changes for another try. See sql::writeChanges for `original`.
    void save(const sql::TableDef &table, Recordset &rows, const sql::OriginalRow &original = {});

    // Takes the rows matching `filter` whose flag column is false and sets the
    // flag, in one statement: of several connections claiming at once, each row
    // goes to exactly one. Gives the rows this call claimed (flag now true).
    Recordset claim(const sql::TableDef &table, const QString &filter, const QString &flagColumn);

    // Runs `work` inside a sql::TransactionGuard: the write lock from its
    // start, rolled back when `work` throws. Inside an open outer transaction
    // (below) or another writeTransaction, `work` joins that one instead.
    void writeTransaction(const std::function<void()> &work);

    // One transaction around several table objects' saves (the library's
    // document and its rows): every save on this connection until commitOuter
    // or rollbackOuter joins it. Not nested: a second begin raises 3219.
    void beginOuter();
    void commitOuter();
    void rollbackOuter() noexcept;
    bool inOuter() const { return outer_ != nullptr; }

private:
    StagingDatabase() = default;
    void migrate(int target);

    QString connectionName_;
    QSqlDatabase db_;
    sql::BackendDialect dialect_;
    int version_ = 0;
    std::unique_ptr<sql::Schema> schema_;
    std::unique_ptr<sql::TransactionGuard> outer_;
    int depth_ = 0; // writeTransaction calls under way
};

} // namespace orvane::transport
