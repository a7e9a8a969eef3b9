#pragma once

#include <qorOrvaneUI/Export.h>

#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/WindowHandle.h>

#include <QString>

#include <memory>
#include <optional>

namespace orvane::ext {
class IEnvironment;
class IInscoIdList;
class IInvoice;
class IOidList;
class IPidList;
} // namespace orvane::ext

namespace orvane::loss {

// The host's entry to the notice of loss: the loss notice view for an order,
// the check that an order carries what a notice needs, and the lists the
// network's identifiers are picked from. A list method hands back its list
// object on the row the user chose, or nothing when the list was closed
// without a choice. Failures reach the caller as errors named after the method.
class QORORVANEUI_EXPORT eNOLcls {
public:
    // Opens the loss notice view over `lngHwnd` for the order; true when a
    // notice was stored and queued for sending.
    bool SendeNOL(const std::shared_ptr<orvane::ext::IInvoice> &objInvoice,
                  orvane::WindowHandle lngHwnd = 0);

    // Reopens the follow-through of the order's loss notice in the wait view
    // for the loss `strRefNum`: "ENOL" waits for the notice's confirmation,
    // or, once it is confirmed, for the step the claim has reached (saying so
    // when nothing is left to wait for); "COVER" waits for the coverage
    // request (once the notice is confirmed); "LOSSACK" and "DISPATCH" mark
    // the notice and the loss's coverage rows read and wait for the loss
    // acknowledgement and the dispatch. True when an answer ended the wait,
    // false when the user left it or there was nothing to wait for.
    bool ShowResponses(const std::shared_ptr<orvane::ext::IInvoice> &objInvoice,
                       const QString &strRefNum, const QString &strType,
                       orvane::WindowHandle lngHwnd = 0);

    std::shared_ptr<orvane::ext::IPidList>
    PIDList(const std::shared_ptr<orvane::ext::IEnvironment> &objEnv,
            orvane::WindowHandle lngHwnd = 0);
    std::shared_ptr<orvane::ext::IOidList>
    NetIDList(const std::shared_ptr<orvane::ext::IEnvironment> &objEnv,
              orvane::WindowHandle lngHwnd = 0);
    std::shared_ptr<orvane::ext::IInscoIdList>
    INSCOIDList(const std::shared_ptr<orvane::ext::IEnvironment> &objEnv, const QString &DestPID,
                const QString &OrigPID, orvane::WindowHandle lngHwnd = 0);
    // The host's insurer table (orvaneid, insurer) on the chosen insurer.
    std::optional<orvane::Recordset>
    InsurerIDList(const std::shared_ptr<orvane::ext::IEnvironment> &objEnv,
                  orvane::WindowHandle lngHwnd = 0);

    // Raises -10000 listing the fields a loss notice needs that the order
    // lacks; returns false (and raises nothing) when none is missing.
    bool VerifyFields(const std::shared_ptr<orvane::ext::IInvoice> &objInvoice);

    // The filter the insurance-company list is loaded with.
    static QString inscoidFilter(const QString &DestPID, const QString &OrigPID);
};

} // namespace orvane::loss
