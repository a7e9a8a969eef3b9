#pragma once

#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/Value.h>

#include <QList>
#include <QString>

namespace orvane::ext {

// The host's data-command object (Env.Options.dcobject): runs a query on the
// database its connection text names and hands back the rows.
class IDataCommand : public ComObject {
public:
    // Connection text; callers set it from Env.GetConnectString before Execute,
    // or leave it as the host set it (the shop database).
    virtual QString constructstring() const = 0;
    virtual void setconstructstring(const QString &connection) = 0;

    // Runs `query`. True on success with `result` holding the rows (an open,
    // possibly empty set); false when the query failed, leaving `result` as it
    // was. `token` is the fixed text "wqkd" or Env.SecurityToken. `options` are
    // passed through as the callers give them: {2} for the counting queries,
    // {2, 1, 2, n, false} for the calls made with the security token.
    virtual bool Execute(const QString &token, const QString &query, Recordset &result,
                         const QList<Value> &options) = 0;
};

} // namespace orvane::ext
