#include "platform/foundation/services/Places.h"

#include "platform/foundation/files/Paths.h"

#include <gio/gio.h>

#include <algorithm>
#include <memory>

namespace fnd::Places {

namespace {

struct GObjectDeleter {
    void operator()(void* object) const { g_object_unref(object); }
};
template <typename T> using GObjectPtr = std::unique_ptr<T, GObjectDeleter>;

struct GFreeDeleter {
    void operator()(void* memory) const { g_free(memory); }
};
using GString = std::unique_ptr<char, GFreeDeleter>;

}

String desktopDirectory()
{
    // GLib reads user-dirs.dirs; without an entry it answers the home folder itself, which is no desktop.
    const char* desktop = g_get_user_special_dir(G_USER_DIRECTORY_DESKTOP);
    auto home = Paths::homeDirectory();
    if (desktop && String(desktop) != home)
        return String(desktop);
    return home.stringByAppendingPathComponent("Desktop");
}

std::vector<Place> mountedVolumes()
{
    std::vector<Place> places;
    GObjectPtr<GVolumeMonitor> monitor(g_volume_monitor_get());
    if (!monitor)
        return places;
    GList* mounts = g_volume_monitor_get_mounts(monitor.get());
    for (GList* node = mounts; node; node = node->next) {
        auto* mount = G_MOUNT(node->data);
        if (g_mount_is_shadowed(mount))
            continue;
        GObjectPtr<GFile> root(g_mount_get_root(mount));
        GString path(root ? g_file_get_path(root.get()) : nullptr);
        GString name(g_mount_get_name(mount));
        if (path)
            places.push_back({ String(name ? name.get() : path.get()), String(path.get()) });
    }
    g_list_free_full(mounts, g_object_unref);
    return places;
}

std::vector<String> recentFiles(std::size_t limit)
{
    std::vector<String> files;
    std::unique_ptr<GBookmarkFile, decltype(&g_bookmark_file_free)> bookmarks(
        g_bookmark_file_new(), g_bookmark_file_free);
    auto listPath = Paths::dataHome().stringByAppendingPathComponent("recently-used.xbel").utf8();
    if (!g_bookmark_file_load_from_file(bookmarks.get(), listPath.c_str(), nullptr))
        return files;
    gsize count = 0;
    std::unique_ptr<char*, decltype(&g_strfreev)> uris(g_bookmark_file_get_uris(bookmarks.get(), &count), g_strfreev);
    struct Entry {
        String path;
        gint64 when;
    };
    std::vector<Entry> entries;
    for (gsize i = 0; i < count; ++i) {
        GString path(g_filename_from_uri(uris.get()[i], nullptr, nullptr));
        if (!path || !g_file_test(path.get(), G_FILE_TEST_EXISTS))
            continue; // not a local file, or gone
        GDateTime* modified = g_bookmark_file_get_modified_date_time(bookmarks.get(), uris.get()[i], nullptr);
        entries.push_back({ String(path.get()), modified ? g_date_time_to_unix(modified) : 0 });
    }
    std::ranges::sort(entries,
        [](const Entry& a, const Entry& b) { return a.when != b.when ? a.when > b.when : a.path.compare(b.path) < 0; });
    for (const auto& e : entries) {
        if (files.size() >= limit)
            break;
        files.push_back(e.path);
    }
    return files;
}

}
