#pragma once

#include "platform/foundation/runtime/String.h"

#include <functional>

namespace ui {

// Short sounds for the user interface, played through the desktop's event-sound service (libcanberra), which uses
// the freedesktop sound theme and the sound server of the session.
namespace Sound {

// Plays the sound file without waiting for it; false when it could not be started (no sound server, no such file).
bool playFile(const fnd::String& path);

// Tests replace the player so that nothing is heard; nullptr restores the real one. Returns the previous player.
using Player = std::function<bool(const fnd::String& path)>;
Player setPlayer(Player player);

// Where the sound theme's sounds lie: the freedesktop theme's folder in the first XDG data folder that has it, and
// the user's own sounds in $XDG_DATA_HOME/sounds.
fnd::String systemSoundsFolder();
fnd::String userSoundsFolder();

}

}
