#pragma once

#include "platform/foundation/runtime/String.h"
#include "platform/foundation/runtime/Value.h"

namespace fnd {

// A dump of 16 bytes a line: "[offset]   hex column  characters\n". The offset of the line's first byte is four
// hex digits while the data is at most 64 KiB and eight beyond, so offsets never repeat. Every byte shows as "%02X "
// and as itself when an ASCII letter or digit, else "."; after the eighth byte of a line the hex column gets two
// more blanks and the characters one. The hex column is padded to 50 characters.
String hexDump(const Data& data);

}
