#pragma once

#include <qorOrvaneUI/external/IDataCommand.h>

#include <functional>
#include <memory>

namespace orvane::host {

class ShopDatabase;

// Runs the library's fixed queries (counts, insurer list, catalogue tables, the
// union over the loss tables) on the database its connection text names. The
// query is parsed in the host's dialect and run with bound values; anything the
// dialect refuses, an unknown table or a database failure answers false.
class HostDataCommand : public ext::IDataCommand {
public:
    // Gives the open database for a connection text, or nullptr when the host
    // does not know it.
    using Resolver = std::function<std::shared_ptr<ShopDatabase>(const QString &connection)>;

    HostDataCommand(QString connection, Resolver resolver);

    QString constructstring() const override { return connection_; }
    void setconstructstring(const QString &connection) override { connection_ = connection; }
    bool Execute(const QString &token, const QString &query, Recordset &result,
                 const QList<Value> &options) override;

    // Why the last Execute answered false (empty after a success).
    QString lastError() const { return lastError_; }

private:
    QString connection_;
    Resolver resolver_;
    QString lastError_;
};

} // namespace orvane::host
