#pragma once

#include <qorOrvaneUI/runtime/ObjectRegistry.h>

#include <QString>

#include <optional>

namespace orvane::ext {

// The host's error reporter (Env.ErrorClass). Views hand it every failure they
// trap, and the authorization views their validation messages (number 0).
class IErrorClass : public ComObject {
public:
    // Shows or logs the report and returns; the library then carries on, so
    // this must not throw. `zero` is always 0; `procedure` the full procedure
    // name; `text` the error description or message; `number` the error number
    // (0 for a message). The named arguments: `ErrorLine`, the statement
    // number; `Mode`, given only by the loss wait view (1: a network error).
    // Implementations should not repeat the default: it is bound here.
    virtual void ErrorHandle(int zero, const QString &procedure, const QString &text, long number,
                             int ErrorLine, std::optional<int> Mode = std::nullopt) = 0;
};

} // namespace orvane::ext
