#pragma once

#include <qorOrvaneUI/external/ITableObject.h>

namespace orvane::ext {

// The shop's participant IDs (qorOrvaneOut.g_pidListcls): PID, PIDname; the
// list view edits the rows and saves them with Update.
class IPidList : public ITableObject {
public:
    // Loads every participant ID.
    virtual void get_g_pidlist() = 0;
};

} // namespace orvane::ext
