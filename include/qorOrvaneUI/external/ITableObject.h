#pragma once

#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/Recordset.h>

#include <memory>

namespace orvane::ext {

class IEnvironment;

// A transport table object: one per staging table, created by program
// identifier (ProgIds.h) for one operation. Used in this order: setEnv, the
// loader of the derived interface, itemsrecordset, Update.
//
// Loaders take a condition text in the host database's dialect (single-quoted
// text, ".F."/".T.", like, AND/OR). The transport parses it and binds its
// values; a filter outside the dialect fails with a VbError rather than
// reaching the database. A condition that matches nothing ("guid = '1' and
// guid <> '1'") gives an empty, updatable row set ready for AddNew.
class ITableObject : public ComObject {
public:
    // The host environment the object works in; loaders and Update fail with
    // 91 until it is set. The library also reports through its ErrorClass.
    virtual std::shared_ptr<IEnvironment> Env() const = 0;
    virtual void setEnv(std::shared_ptr<IEnvironment> env) = 0;
    // The rows of the last load, on the first; updatable (AddNew, field
    // assignment, Delete, moves, Clone). The same handle until the next load.
    virtual Recordset itemsrecordset() const = 0;
    // Saves the added, changed and deleted rows of itemsrecordset; raises a
    // VbError when they cannot be saved (nothing is then reported as saved).
    virtual void Update() = 0;
};

} // namespace orvane::ext
