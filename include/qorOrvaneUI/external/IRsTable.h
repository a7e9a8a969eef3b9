#pragma once

#include <qorOrvaneUI/external/ITableObject.h>

#include <QString>

namespace orvane::ext {

// The loss notice tables, loaded through get_rs: g_enol (qorOrvaneOut.g_enolcls,
// which fills a new row's guid when it is saved), g_enolline, g_cover,
// g_lossack and g_dispatch.
class IRsTable : public ITableObject {
public:
    // Loads the rows matching `filter`.
    virtual void get_rs(const QString &filter) = 0;
};

} // namespace orvane::ext
