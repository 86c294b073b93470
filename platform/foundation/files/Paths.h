#pragma once

#include "platform/foundation/runtime/String.h"

#include <cstdint>

namespace fnd::Paths {

// The user's home folder: $HOME when set and absolute, else the password database's entry.
String homeDirectory();
// The process's temporary folder: $TMPDIR when it names an existing folder, else /tmp. No trailing slash.
String temporaryDirectory();
std::uint32_t userID();
String userName();

// The XDG base folders: the variable when it holds an absolute path (relative values are ignored, as the XDG base
// directory rules say), else ~/.config, ~/.local/share, ~/.local/state and ~/.cache.
String configHome();
String dataHome();
String stateHome();
String cacheHome();
// The shared data folders after dataHome, in order of preference: the absolute entries of $XDG_DATA_DIRS, else
// /usr/local/share and /usr/share.
StringArray dataDirectories();
// The user's documents folder from user-dirs.dirs (XDG_DOCUMENTS_DIR), else ~/Documents.
String documentsDirectory();

}
