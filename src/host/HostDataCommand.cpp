#include "host/HostDataCommand.h"

#include "host/FieldUse.h"
#include "host/ShopDatabase.h"

#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace orvane::host {

HostDataCommand::HostDataCommand(QString connection, Resolver resolver)
    : connection_(std::move(connection)), resolver_(std::move(resolver))
{
}

bool HostDataCommand::Execute(const QString &, const QString &query, Recordset &result,
                              const QList<Value> &)
{
    // The token and options belong to a data layer with its own access control;
    // this host runs every caller's query under the same rules.
    lastError_.clear();
    fielduse::noteQuery(query);
    try {
        std::shared_ptr<ShopDatabase> db = resolver_ ? resolver_(connection_) : nullptr;
        if (!db) {
            lastError_ = u"No database for the connection \""_s % connection_ % u"\""_s;
            return false;
        }
        const sql::Rendered rendered =
            sql::renderSelect(sql::parseSelect(query), db->schema(), db->backend());
        QSqlQuery q = sql::run(db->db(), rendered);
        result = fielduse::watch(db->toRecordset(q), u"result"_s);
        return true;
    } catch (const VbError &e) {
        lastError_ = e.description();
    } catch (const std::exception &e) {
        lastError_ = QString::fromLocal8Bit(e.what());
    }
    return false;
}

} // namespace orvane::host
