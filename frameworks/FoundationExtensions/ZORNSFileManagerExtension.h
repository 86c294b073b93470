#pragma once

#include "platform/foundation/runtime/String.h"

// The user's standard folders, from the XDG base and user folders: "" when there is none.
namespace ZORNSFileManagerExtension {

fnd::String documentsDirectory();
// The library folder, which holds the settings: the XDG config home.
fnd::String preferencesDirectory();
// The folder holding the users' home folders.
fnd::String usersDirectory();
// The XDG data home.
fnd::String applicationSupportDirectory();
fnd::String temporaryFolder();

}
