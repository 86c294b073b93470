#pragma once

#include "platform/foundation/runtime/StringEncoding.h"

#include <span>

namespace fnd::detail {

// What we know of one encoding. A null converter name means ICU has no converter for it (or, for non-lossy
// ASCII, that we convert it ourselves).
struct StringEncodingEntry {
    StringEncoding encoding;
    const char* converter;
    const char* ianaName;
    const char* name;
    CFStringEncoding mostCompatibleMac;
};

std::span<const StringEncodingEntry> stringEncodingTable();
const StringEncodingEntry* findStringEncoding(StringEncoding encoding);

}
