#pragma once

#include "platform/foundation/runtime/String.h"

#include <cstddef>
#include <vector>

namespace fnd::Places {

// A place a file chooser offers: a name to show and the folder it stands for.
struct Place {
    String name;
    String path;
};

// The user's desktop folder (XDG_DESKTOP_DIR), else ~/Desktop.
String desktopDirectory();
// The mounted volumes that have a local folder (disks, memory sticks, mounted network shares), as the desktop's
// volume monitor lists them.
std::vector<Place> mountedVolumes();
// Local files the desktop's list of recently used files names, newest first, at most `limit`.
std::vector<String> recentFiles(std::size_t limit);

}
