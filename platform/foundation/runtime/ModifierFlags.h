#pragma once

namespace fnd {

// Modifier-key bits of events, with the platform's values; also stored in defaults and named in key equivalents.
namespace ModifierFlags {
constexpr unsigned AlphaShift = 1u << 16;
constexpr unsigned Shift = 1u << 17;
constexpr unsigned Control = 1u << 18;
constexpr unsigned Alternate = 1u << 19;
constexpr unsigned Command = 1u << 20;
constexpr unsigned NumericPad = 1u << 21;
constexpr unsigned Help = 1u << 22;
constexpr unsigned Function = 1u << 23;
constexpr unsigned DeviceIndependentMask = 0xffff0000u;
}

}
