#include "qorOrvaneUI/core/Poller.h"

#include "qorOrvaneUI/core/StagingWrites.h"

namespace orvane::ui {

bool Poller::claim(ext::ITableObject &table, Recordset rows, const QString &flag)
{
    return StagingWrites::claim(table, std::move(rows), flag);
}

} // namespace orvane::ui
