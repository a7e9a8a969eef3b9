#pragma once

namespace orvane::transport {

// Registers every transport class under its program identifier
// (external/ProgIds.h): the eleven table objects, qorOrvaneOut.clsTransaction
// and qororvaneout.clsorvaneout. A host calls it once at start, after creating
// its application object, unless it brings a transport of its own.
void registerTransportClasses();

} // namespace orvane::transport
