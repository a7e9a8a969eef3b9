#pragma once

#include <qorOrvaneUI/runtime/Ui.h>

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
// come back through the order and the answer table; the methods return false.
// Failures reach the host as errors named "qorOrvaneUI.Authorizationcls.<method>()".
class Authorizationcls {
public:
    bool PartAuthorization(std::shared_ptr<orvane::ext::IInvoice> &objInvoice,
                           orvane::XmlDocument &objDom, orvane::WindowHandle lngHwnd = 0);
    bool ShowAuth(std::shared_ptr<orvane::ext::IInvoice> &objInvoice,
                  std::shared_ptr<orvane::ext::Ig_ackn> &objAck, orvane::WindowHandle lngHwnd = 0);
    // Writes the number of unread answers to "Acknowledgements" in section
    // "Orvane" of data_path + "Orvane.ini"; nothing when the count fails.
    void RecalcAuths(std::shared_ptr<orvane::ext::IEnvironment> &objEnv);
};

} // namespace orvane::authorization
