#include <qorOrvaneUI/transport/SqlDataCommand.h>

#include "storage/BackendDialect.h"
#include "storage/FilterDialect.h"
#include "storage/SqlTable.h"
#include "transport/StagingSchema.h"
#include <qorOrvaneUI/runtime/VbError.h>

#include <QAtomicInt>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringBuilder>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace orvane::transport {

namespace {

const QString Source = u"qorOrvaneOut.SqlDataCommand"_s;
QAtomicInt counter;

// The staging tables as the transport defines them, any other table as the
// database describes it.
class LiveSchema : public sql::Schema {
public:
    explicit LiveSchema(const QSqlDatabase &db) : db_(db) {}

    std::optional<QString> table(const QString &name) const override
    {
        if (const sql::TableDef *t = stagingTable(name))
            return t->name;
        for (const QString &t : db_.tables())
            if (t.compare(name, Qt::CaseInsensitive) == 0)
                return t;
        return std::nullopt;
    }

    std::optional<sql::ColumnInfo> column(const QString &tableName,
                                          const QString &name) const override
    {
        if (const sql::TableDef *t = stagingTable(tableName)) {
            if (const sql::ColumnDef *c = t->column(name))
                return sql::ColumnInfo{c->name, sql::dialectType(c->kind)};
            return std::nullopt;
        }
        const QSqlRecord rec = db_.record(tableName);
        for (int i = 0; i < rec.count(); ++i)
            if (rec.fieldName(i).compare(name, Qt::CaseInsensitive) == 0)
                return sql::ColumnInfo{rec.fieldName(i),
                                       sql::dialectType(sql::kindOfField(rec.field(i)))};
        return std::nullopt;
    }

private:
    QSqlDatabase db_;
};

Recordset toRecordset(QSqlQuery &q)
{
    const QSqlRecord rec = q.record();
    std::vector<std::vector<QVariant>> raw;
    while (q.next()) {
        std::vector<QVariant> row;
        row.reserve(rec.count());
        for (int i = 0; i < rec.count(); ++i)
            row.push_back(q.value(i));
        raw.push_back(std::move(row));
    }
    Recordset rs;
    std::vector<sql::ColumnKind> kinds;
    for (int i = 0; i < rec.count(); ++i) {
        const sql::ColumnKind kind = sql::kindOfField(rec.field(i));
        kinds.push_back(kind);
        int size = 255;
        if (kind == sql::ColumnKind::Text)
            for (const auto &r : raw)
                size = std::max<int>(size, int(r[size_t(i)].toString().size()));
        rs.appendField(rec.fieldName(i), sql::recordsetType(kind),
                       kind == sql::ColumnKind::Text ? size : 0);
    }
    rs.open();
    std::vector<Value> values(kinds.size());
    for (const auto &r : raw) {
        for (size_t i = 0; i < kinds.size(); ++i)
            values[i] = sql::fromSql(r[i], kinds[i]);
        rs.loadRow(values);
    }
    if (rs.recordCount() > 0)
        rs.moveFirst();
    return rs;
}

} // namespace

SqlDataCommand::SqlDataCommand(QString connection) : connection_(std::move(connection)) {}

SqlDataCommand::~SqlDataCommand()
{
    close();
}

void SqlDataCommand::close()
{
    if (connectionName_.isEmpty())
        return;
    QSqlDatabase::database(connectionName_, false).close();
    QSqlDatabase::removeDatabase(connectionName_);
    connectionName_.clear();
    openFor_.clear();
}

bool SqlDataCommand::Execute(const QString &, const QString &query, Recordset &result,
                             const QList<Value> &)
{
    // The token and options belong to a data layer with access control of its
    // own; every query here runs with the rights of the connection.
    lastError_.clear();
    try {
        if (connectionName_.isEmpty() || openFor_ != connection_) {
            close();
            const QString name =
                u"orvane-datacommand-"_s % QString::number(counter.fetchAndAddRelaxed(1));
            sql::openConnection(connection_, name, Source);
            connectionName_ = name;
            openFor_ = connection_;
        }
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        const LiveSchema schema(db);
        const sql::Rendered rendered =
            sql::renderSelect(sql::parseSelect(query), schema, sql::backendOf(db));
        QSqlQuery q = sql::run(db, rendered);
        result = toRecordset(q);
        return true;
    } catch (const VbError &e) {
        lastError_ = e.description();
    } catch (const std::exception &e) {
        lastError_ = QString::fromLocal8Bit(e.what());
    }
    return false;
}

} // namespace orvane::transport
