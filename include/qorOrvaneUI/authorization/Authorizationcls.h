#pragma once

#include <qorOrvaneUI/Export.h>

#include <qorOrvaneUI/runtime/WindowHandle.h>

#include <memory>

namespace orvane {
class XmlDocument;
namespace ext {
class IEnvironment;
class IInvoice;
class Ig_ackn;
} // namespace ext
} // namespace orvane

namespace orvane::authorization {

// How the host asks for part authorizations: the request for the open order
// and the wait for its answer, an answer the host already holds, and the
// count of unread answers for the host's status line. The two views' results
// come back through the order and the answer table; PartAuthorization returns
// true when a request was sent, ShowAuth when the answers were written into
// the order's lines.
// Failures reach the host as errors named "qorOrvaneUI.Authorizationcls.<method>()".
class QORORVANEUI_EXPORT Authorizationcls {
public:
    bool PartAuthorization(const std::shared_ptr<orvane::ext::IInvoice> &objInvoice,
                           const orvane::XmlDocument &objDom, orvane::WindowHandle lngHwnd = 0);
    bool ShowAuth(const std::shared_ptr<orvane::ext::IInvoice> &objInvoice,
                  const std::shared_ptr<orvane::ext::Ig_ackn> &objAck,
                  orvane::WindowHandle lngHwnd = 0);
    // Writes the number of unread answers to "Acknowledgements" in section
    // "Orvane" of data_path + "Orvane.ini"; nothing when the count fails.
    void RecalcAuths(const std::shared_ptr<orvane::ext::IEnvironment> &objEnv);
};

} // namespace orvane::authorization
