#pragma once

#include <qorOrvaneUI/external/IDataCommand.h>

#include <QString>

namespace orvane::transport {

// A data command over QtSql for a host without a data layer of its own: runs
// the library's queries (the host-database dialect: single-quoted text, .F. and
// .T., unions) on the database its connection text names, in the form
// GetConnectString gives ("QSQLITE:/path/file.db", "QPSQL:host=...;dbname=...").
// The staging tables' columns are typed as the transport stores them; other
// tables are read as the database describes them. Execute gives false, with
// the cause in lastError(), when the database cannot be opened or the query
// fails (a table the database lacks, for example).
class SqlDataCommand : public ext::IDataCommand {
public:
    explicit SqlDataCommand(QString connection = QString());
    ~SqlDataCommand() override;
    SqlDataCommand(const SqlDataCommand &) = delete;
    SqlDataCommand &operator=(const SqlDataCommand &) = delete;

    QString constructstring() const override { return connection_; }
    void setconstructstring(const QString &connection) override { connection_ = connection; }
    bool Execute(const QString &token, const QString &query, Recordset &result,
                 const QList<Value> &options) override;
    QString lastError() const { return lastError_; }

private:
    void close();

    QString connection_;
    QString openFor_;        // the connection text the open database was opened with
    QString connectionName_; // QSqlDatabase's name for it; empty when none is open
    QString lastError_;
};

} // namespace orvane::transport
