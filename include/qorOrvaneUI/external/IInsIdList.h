#pragma once

#include <qorOrvaneUI/external/ITableObject.h>

#include <QString>

namespace orvane::ext {

// Insurer IDs by bill-to party (qorOrvaneOut.g_insidcls): Insurerid, Insurer.
class IInsIdList : public ITableObject {
public:
    // Loads the rows matching `filter` (on billtoid, Origpid and destpid).
    virtual void get_g_insid(const QString &filter) = 0;
};

} // namespace orvane::ext
