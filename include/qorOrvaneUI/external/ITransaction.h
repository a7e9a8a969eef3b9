#pragma once

#include <qorOrvaneUI/runtime/ObjectRegistry.h>

#include <memory>

namespace orvane::ext {

class IEnvironment;

// One transaction over the staging tables (qorOrvaneOut.clsTransaction): the
// saves of every table object of the same environment between BeginTrans and
// CommitTrans are stored together or not at all, so a document and the rows
// it stands for never part, whatever stops the program in between.
class ITransaction : public ComObject {
public:
    virtual void setEnv(std::shared_ptr<IEnvironment> env) = 0; // before BeginTrans
    virtual void BeginTrans() = 0;
    // Raises a VbError when the rows cannot be stored; nothing is then stored.
    virtual void CommitTrans() = 0;
    // Also what releasing an object whose transaction is open does.
    virtual void RollbackTrans() = 0;
};

} // namespace orvane::ext
