#pragma once

#include <qorOrvaneUI/external/ITableObject.h>

#include <QString>

namespace orvane::ext {

// g_trans (qorOrvaneOut.clsg_trans): incoming dispatches and outgoing documents
// (rectype, recid, xml, processed, daskid, daskloc).
class Ig_trans : public ITableObject {
public:
    // Loads the transaction rows matching `filter`.
    virtual void get_g_trans(const QString &filter) = 0;
};

} // namespace orvane::ext
