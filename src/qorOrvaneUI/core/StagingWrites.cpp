#include "qorOrvaneUI/core/StagingWrites.h"

#include <qorOrvaneUI/external/ITableObject.h>
#include <qorOrvaneUI/external/ITransaction.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/VbError.h>

namespace orvane::StagingWrites {

Transaction::Transaction(const std::shared_ptr<orvane::ext::IEnvironment> &env)
{
    const QString id = QString::fromUtf16(orvane::ext::progid::transaction);
    if (!orvane::ObjectRegistry::instance().isRegistered(id))
        return;
    trans_ = orvane::CreateObject<orvane::ext::ITransaction>(id);
    trans_->setEnv(env);
    trans_->BeginTrans();
}

Transaction::~Transaction()
{
    if (!trans_)
        return;
    try {
        trans_->RollbackTrans();
    } catch (...) {
        // The failure that ended the step is the one worth reporting.
    }
}

void Transaction::commit()
{
    if (!trans_)
        return;
    const auto trans = std::move(trans_);
    trans->CommitTrans();
}

bool claim(orvane::ext::ITableObject &table, orvane::Recordset rows, const QString &flag)
{
    bool any = false;
    for (; !rows.eof(); rows.moveNext()) {
        const orvane::Value v = rows.value(flag);
        if (!v.isNull() && v.toBool())
            continue;
        rows.setValue(flag, true);
        rows.update();
        any = true;
    }
    if (!any)
        return false;
    try {
        table.Update();
    } catch (const orvane::VbError &e) {
        if (e.number() != orvane::err::RowChangedByOther)
            throw;
        return false;
    }
    return true;
}

} // namespace orvane::StagingWrites
