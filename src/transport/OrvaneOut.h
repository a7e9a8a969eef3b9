#pragma once

#include <qorOrvaneUI/external/IOrvaneOut.h>

namespace orvane::transport {

// qororvaneout.clsorvaneout: turns a dispatch document into a new host order
// (created as "qorHost.Invoice" through the object registry) for the library
// to compare with the open order. The order is not saved.
class Clsorvaneout : public ext::IOrvaneOut {
public:
    // The host's identifier for a new, unsaved order.
    static constexpr const char16_t *OrderProgId = u"qorHost.Invoice";

    void returnorder(const QString &key, const QString &dispatchXml,
                     std::shared_ptr<ext::IInvoice> &order) override;
    QHash<QString, QString> cutTexts() const override { return cut_; }

private:
    QHash<QString, QString> cut_;
};

} // namespace orvane::transport
