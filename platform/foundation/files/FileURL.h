#pragma once

#include "platform/foundation/runtime/String.h"

#include <optional>

namespace fnd {

// File URLs as strings ("file:///home/a%20b.png"), the form pasteboards and drags carry.
// An absolute path as a file URL, its bytes percent-encoded where URLs need it; a relative path is taken from the
// current folder.
String fileURLWithPath(const String& path);
// The path of a local file URL; nullopt for another scheme, a remote host or a malformed URL.
std::optional<String> pathOfFileURL(const String& url);
bool isFileURL(const String& string);

}
