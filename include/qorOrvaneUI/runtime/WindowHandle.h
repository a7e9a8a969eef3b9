#pragma once

#include <cstdint>

namespace orvane {

// Window handles cross the host boundary as 32-bit integers; the interfaces a
// host implements carry them without reaching the widgets layer.
using WindowHandle = std::int32_t;

} // namespace orvane
