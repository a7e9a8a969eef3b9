#pragma once

#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/widgets/Ui.h>

#include <QString>

#include <memory>
#include <optional>

namespace orvane::ext {
class IEnvironment;
class IInscoIdList;
class IOidList;
class IPidList;
} // namespace orvane::ext

// The lists the network's identifiers are picked from. Each hands back its
// list object on the row the user chose, or nothing when the list was closed
// without a choice; failures reach the caller as errors named after the host's
// entry (eNOLcls) that offers them.
namespace orvane::loss {

// The four network identifiers a notice is addressed with, in the order the
// loss notice view shows them.
enum class IdKind { Retail, Network, Company, Insurer };

std::shared_ptr<ext::IPidList> pidList(const std::shared_ptr<ext::IEnvironment> &objEnv,
                                       WindowHandle lngHwnd = 0);
std::shared_ptr<ext::IOidList> netIdList(const std::shared_ptr<ext::IEnvironment> &objEnv,
                                         WindowHandle lngHwnd = 0);
std::shared_ptr<ext::IInscoIdList> inscoIdList(const std::shared_ptr<ext::IEnvironment> &objEnv,
                                               const QString &DestPID, const QString &OrigPID,
                                               WindowHandle lngHwnd = 0);
// The host's insurer table (orvaneid, insurer) on the chosen insurer.
std::optional<Recordset> insurerIdList(const std::shared_ptr<ext::IEnvironment> &objEnv,
                                       WindowHandle lngHwnd = 0);

// Shows the list of `kind` (the insurance companies of the retail and network
// PIDs `pid` and `oid`); the row the user chose, or none.
std::optional<Recordset> chooseId(IdKind kind, const std::shared_ptr<ext::IEnvironment> &env,
                                  const QString &pid, const QString &oid, WindowHandle owner);

// The filter the insurance-company list is loaded with.
QString inscoidFilter(const QString &DestPID, const QString &OrigPID);

} // namespace orvane::loss
