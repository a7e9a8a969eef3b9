#pragma once

#include <qorOrvaneUI/runtime/VbError.h>

#include <QString>

#include <functional>
#include <memory>

namespace orvane {

// Base of every object the library creates by program identifier.
class ComObject {
public:
    virtual ~ComObject();
};

// Maps program identifiers (compared without regard to case) to factories.
// The transport and the host register their classes; tests register fakes.
class ObjectRegistry {
public:
    using Factory = std::function<std::shared_ptr<ComObject>()>;

    static ObjectRegistry &instance();

    void registerClass(const QString &progId, Factory factory);
    void unregisterClass(const QString &progId);
    bool isRegistered(const QString &progId) const;

    // Fails with 429 ("ActiveX component can't create object") when nothing is
    // registered under the identifier or the factory gives nothing.
    std::shared_ptr<ComObject> create(const QString &progId) const;

    // Creates and casts; an object without the wanted interface fails with 13.
    template <class T> std::shared_ptr<T> create(const QString &progId) const
    {
        auto object = std::dynamic_pointer_cast<T>(create(progId));
        if (!object)
            throw typeMismatch(progId);
        return object;
    }

private:
    ObjectRegistry();
    struct Impl;
    std::unique_ptr<Impl> d;

public:
    ~ObjectRegistry();
};

// The "CreateObject" of the callers: ObjectRegistry::instance().create<T>(progId).
template <class T> std::shared_ptr<T> CreateObject(const QString &progId)
{
    return ObjectRegistry::instance().create<T>(progId);
}

} // namespace orvane
