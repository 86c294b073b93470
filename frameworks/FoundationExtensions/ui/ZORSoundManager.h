#pragma once

#include "platform/foundation/runtime/String.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace ui {
class Menu;
}

// One sound the manager offers: its name (the file name without extension) and its file name.
class ZORSoundManagerData {
public:
    fnd::String soundName;
    fnd::String soundFileName;
    // Where the file lies.
    fnd::String folder;
};

// The alert sounds of the desktop's sound theme and the user's own sounds folder, by name and index, with a menu of
// them. Index lookups answer -1 for a name that is not there, so an unknown name plays nothing.
class ZORSoundManager {
public:
    static constexpr std::int64_t NotFound = -1;

    // Made on first use with the theme's sounds, then the user's.
    static ZORSoundManager& getSharedSoundManager();
    ZORSoundManager() = default;

    // Adds every sound file of the folder (not its subfolders) in name order: extensions aiff, wav and snd, and the
    // Ogg files (oga, ogg) sound themes use, in any case. An unreadable folder adds nothing.
    void addSoundsFromPath(const fnd::String& folder);

    std::int64_t count() const;
    // "" out of range.
    fnd::String getSoundNameAtIndex(std::int64_t index) const;
    std::int64_t indexOfSound(const fnd::String& name) const;
    // Nothing for an index out of range; false when nothing was played.
    bool playSoundAtIndex(std::int64_t index);
    bool playSoundWithName(const fnd::String& name);
    // One item per sound: title its name, tag its index.
    std::shared_ptr<ui::Menu> getSoundMenu() const;

    std::vector<ZORSoundManagerData> dataArray() const;
    // The file of the sound last played; "" before.
    fnd::String sound() const;

private:
    mutable std::mutex m_mutex;
    std::vector<ZORSoundManagerData> m_dataArray;
    fnd::String m_sound;
};
