#pragma once

#include <qorOrvaneUI/runtime/ObjectRegistry.h>

#include <QHash>
#include <QString>

#include <memory>

namespace orvane::ext {

class IInvoice;

// Builds host orders from dispatch documents (qororvaneout.clsorvaneout).
class IOrvaneOut : public ComObject {
public:
    // Fills `order` with a new host order built from the dispatch document
    // `dispatchXml`; `key` is "DISPATCH" followed by the dispatch number. The
    // order offers every IInvoice member the comparison reads. Raises a VbError,
    // leaving `order` as it was, when no order can be built.
    virtual void returnorder(const QString &key, const QString &dispatchXml,
                             std::shared_ptr<IInvoice> &order) = 0;
    // The dispatch's texts that the last order built could not hold whole,
    // by the order's field name in lower case; the order holds them cut to
    // its field. A transport that never cuts gives none.
    virtual QHash<QString, QString> cutTexts() const { return {}; }
};

} // namespace orvane::ext
