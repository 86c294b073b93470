#include "platform/ui/desktop/Sound.h"

#include "platform/foundation/files/FileManager.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/files/Paths.h"

#include <canberra.h>

#include <mutex>
#include <utility>

namespace ui::Sound {

namespace {

std::mutex& playerMutex()
{
    static std::mutex mutex;
    return mutex;
}

Player& currentPlayer()
{
    static Player player;
    return player;
}

bool playWithCanberra(const fnd::String& path)
{
    // One context for the process: it keeps the connection to the sound server.
    static ca_context* context = [] {
        ca_context* made = nullptr;
        if (ca_context_create(&made) != CA_SUCCESS)
            return static_cast<ca_context*>(nullptr);
        return made;
    }();
    if (!context)
        return false;
    int result = ca_context_play(context, 0, CA_PROP_MEDIA_FILENAME, path.utf8().c_str(), CA_PROP_EVENT_DESCRIPTION,
        path.lastPathComponent().utf8().c_str(), nullptr);
    if (result != CA_SUCCESS) {
        fnd::logf(fnd::LogLevel::Warning, "The sound {} could not be played: {}.", path.utf8(), ca_strerror(result));
        return false;
    }
    return true;
}

}

bool playFile(const fnd::String& path)
{
    Player player;
    {
        std::lock_guard lock(playerMutex());
        player = currentPlayer();
    }
    return player ? player(path) : playWithCanberra(path);
}

Player setPlayer(Player player)
{
    std::lock_guard lock(playerMutex());
    return std::exchange(currentPlayer(), std::move(player));
}

fnd::String systemSoundsFolder()
{
    for (const auto& data : fnd::Paths::dataDirectories()) {
        auto folder = data.stringByAppendingPathComponent("sounds/freedesktop/stereo");
        bool isDirectory = false;
        if (fnd::FileManager::defaultManager().fileExists(folder, isDirectory) && isDirectory)
            return folder;
    }
    return "/usr/share/sounds/freedesktop/stereo";
}

fnd::String userSoundsFolder()
{
    return fnd::Paths::dataHome().stringByAppendingPathComponent("sounds");
}

}
