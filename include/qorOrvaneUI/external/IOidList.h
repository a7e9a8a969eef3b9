#pragma once

#include <qorOrvaneUI/external/ITableObject.h>

namespace orvane::ext {

// Network (origination) IDs (qorOrvaneOut.g_oidListcls): Origid, Company,
// Address, City, State, Zip.
class IOidList : public ITableObject {
public:
    // Loads every network ID.
    virtual void Get_g_oidList() = 0;
};

} // namespace orvane::ext
