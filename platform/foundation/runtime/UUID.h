#pragma once

#include "platform/foundation/runtime/String.h"

#include <array>
#include <cstdint>

namespace fnd {

// A random (version 4) universally unique identifier, RFC 9562.
class UUID {
public:
    // A new identifier from the kernel's random source.
    UUID();

    const std::array<std::uint8_t, 16>& bytes() const { return m_bytes; }
    // The standard text form in upper case: "E621E1F8-C36C-495A-93FC-0C247A3E6E5F".
    String UUIDString() const;

    bool operator==(const UUID&) const = default;

private:
    std::array<std::uint8_t, 16> m_bytes {};
};

}
