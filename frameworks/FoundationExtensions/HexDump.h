#pragma once

#include "platform/foundation/runtime/HexDump.h"

namespace HexDump {

// The platform's dump of 16 bytes a line (fnd::hexDump).
inline fnd::String hexdump(const fnd::Data& data)
{
    return fnd::hexDump(data);
}

}
