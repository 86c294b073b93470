#pragma once

#include "platform/foundation/runtime/String.h"

namespace fnd::detail {

// A text the platform layer shows to people, from a table of the "Foundation" bundle in the user's language. The
// key is the English text, which is also the answer when no table has the key.
String platformText(const String& key, const String& table);

}
