#pragma once

// Program identifiers of the outside objects the library creates through
// orvane::ObjectRegistry, and the kind numbers it hands the host's own creators.
// The registry compares identifiers without regard to case, so the spelling
// here is only the canonical one.
namespace orvane::ext::progid {

// Transport table objects.
inline constexpr const char16_t *g_trans = u"qorOrvaneOut.clsg_trans";
inline constexpr const char16_t *g_ackn = u"qorOrvaneOut.g_ackncls";
inline constexpr const char16_t *g_enol = u"qorOrvaneOut.g_enolcls";
inline constexpr const char16_t *g_enolline = u"qorOrvaneOut.g_enollinecls";
inline constexpr const char16_t *g_cover = u"qorOrvaneOut.g_cover";
inline constexpr const char16_t *g_lossack = u"qorOrvaneOut.g_lossackcls";
inline constexpr const char16_t *g_dispatch = u"qorOrvaneOut.g_dispatchcls";
inline constexpr const char16_t *g_pidList = u"qorOrvaneOut.g_pidListcls";
inline constexpr const char16_t *g_oidList = u"qorOrvaneOut.g_oidListcls";
inline constexpr const char16_t *g_inscoid = u"qorOrvaneOut.g_inscoidcls";
inline constexpr const char16_t *g_insid = u"qorOrvaneOut.g_insidcls";
// Groups table objects' saves into one transaction (ITransaction).
inline constexpr const char16_t *transaction = u"qorOrvaneOut.clsTransaction";
// Builds host orders from dispatch documents; has no table.
inline constexpr const char16_t *clsorvaneout = u"qororvaneout.clsorvaneout";

// Host objects.
inline constexpr const char16_t *ControlUI = u"ControlUI.ControlUIcls";
// The agent entry the loss notice view embeds (IAgentControl).
inline constexpr const char16_t *qorAgent = u"qorAgent.qorAgentctl";

} // namespace orvane::ext::progid

// Kind numbers for the environment's safecreateobj, SafeCreatenagsObj and SafeCreateUIObj.
namespace orvane::ext::objkind {

inline constexpr int Shop = 11;           // safecreateobj: IShop
inline constexpr int OrderList = 15;      // safecreateobj: IOrderList
inline constexpr int NagsCar = 1;         // SafeCreatenagsObj: IVehicle
inline constexpr int VehicleChooser = 16; // SafeCreateUIObj: IVehicleChooser

} // namespace orvane::ext::objkind
