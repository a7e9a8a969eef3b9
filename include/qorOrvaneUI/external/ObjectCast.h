#pragma once

#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/VbError.h>

#include <QString>

#include <memory>

namespace orvane::ext {

// The host's creators (safecreateobj and its kin) answer "nothing" rather than
// fail. Callers go through this so that nothing, or an object of the wrong
// kind, reaches their error trap as 91 or 13 instead of a null dereference
// further on. `source` names the call for the report.
template <class T>
std::shared_ptr<T> objectAs(const std::shared_ptr<ComObject> &object, const QString &source)
{
    if (!object)
        throw objectVariableNotSet(source);
    auto typed = std::dynamic_pointer_cast<T>(object);
    if (!typed)
        throw typeMismatch(source);
    return typed;
}

} // namespace orvane::ext
