#include <qorOrvaneUI/runtime/ObjectRegistry.h>

#include <QHash>
#include <QMutex>

using namespace Qt::StringLiterals;

namespace orvane {

ComObject::~ComObject() = default;

struct ObjectRegistry::Impl {
    mutable QMutex mutex;
    QHash<QString, Factory> factories; // keyed by the upper-cased identifier
};

ObjectRegistry::ObjectRegistry() : d(std::make_unique<Impl>()) {}
ObjectRegistry::~ObjectRegistry() = default;

ObjectRegistry &ObjectRegistry::instance()
{
    static ObjectRegistry registry;
    return registry;
}

void ObjectRegistry::registerClass(const QString &progId, Factory factory)
{
    QMutexLocker lock(&d->mutex);
    d->factories.emplace(progId.trimmed().toUpper(), std::move(factory));
}

void ObjectRegistry::unregisterClass(const QString &progId)
{
    QMutexLocker lock(&d->mutex);
    d->factories.remove(progId.trimmed().toUpper());
}

bool ObjectRegistry::isRegistered(const QString &progId) const
{
    QMutexLocker lock(&d->mutex);
    return d->factories.contains(progId.trimmed().toUpper());
}

std::shared_ptr<ComObject> ObjectRegistry::create(const QString &progId) const
{
    Factory factory;
    {
        QMutexLocker lock(&d->mutex);
        factory = d->factories.value(progId.trimmed().toUpper());
    }
    std::shared_ptr<ComObject> object = factory ? factory() : nullptr;
    if (!object)
        throw VbError(err::CantCreateObject, progId,
                      namingWhat(u"ActiveX component can't create object"_s, progId));
    return object;
}

} // namespace orvane
