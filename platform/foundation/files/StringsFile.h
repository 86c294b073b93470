#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/Value.h"

#include <map>

namespace fnd {

// String tables: `"key" = "value";` entries, with /* */ and // comments, the escapes \" \\ \n \t \r \' and \Uxxxx
// (or \uxxxx; a surrogate pair may be written as two escapes), bare words as keys or values, and `"key";` for an
// entry whose value is its key. UTF-8, or UTF-16 with a byte-order mark.
namespace StringsFile {

using Table = std::map<String, String>;

// A malformed table gives an error naming the line; nothing of it is used.
Expected<Table> parse(const Data& bytes);

}

}
