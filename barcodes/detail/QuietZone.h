#pragma once

#include "platform/foundation/runtime/String.h"

namespace QuietZone {

// 2.5 mm, the smallest automatic quiet zone however narrow the modules.
inline constexpr double Minimum = 7.0866142;

// The keys that change together when the quiet zone is recalculated.
inline const fnd::String Keys[] = { "quietZoneTop", "quietZoneBottom", "quietZoneRight", "quietZoneLeft" };

}
