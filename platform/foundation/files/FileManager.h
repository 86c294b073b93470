#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/Value.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace fnd {

// Pipes, sockets and devices are told apart: opening one may wait for a writer or act on the device.
enum class FileType { Regular, Directory, SymbolicLink, Pipe, Socket, CharacterDevice, BlockDevice, Other };

struct FileAttributes {
    FileType type { FileType::Other };
    std::uint64_t size { 0 };
    Date modificationDate;
    std::uint32_t permissions { 0 };
};

// One item found by a deep walk: its path relative to the walked folder and its attributes (links followed).
struct DirectoryEntry {
    String relativePath;
    FileAttributes attributes;
};

// The standard folders a user has, mapped to the XDG folders (see searchPathForDirectory).
enum class SearchPathDirectory { Documents, Library, Users, ApplicationSupport, Caches };

enum class Intermediates { No, Yes };
enum class FollowLinks { No, Yes };

// File-system access by path. Paths are UTF-8 on disk. Failures come back as POSIX-domain errors that name the path.
class FileManager {
public:
    static FileManager& defaultManager();

    // Links are followed: a dangling link does not exist.
    bool fileExists(const String& path) const;
    bool fileExists(const String& path, bool& isDirectory) const;
    std::optional<FileType> typeOfItem(const String& path) const;
    Expected<FileAttributes> attributesOfItem(const String& path, FollowLinks follow = FollowLinks::Yes) const;

    // Names of the folder's entries (no "." or ".."), sorted by byte order so that results are stable.
    Expected<StringArray> contentsOfDirectory(const String& path) const;
    // Every item below the folder, parents before children, siblings sorted. Links to folders are reported but not
    // entered, so a link cycle cannot loop. Unreadable subfolders are skipped.
    Expected<std::vector<DirectoryEntry>> enumerateDirectory(const String& path) const;
    Expected<StringArray> subpathsOfDirectory(const String& path) const;

    Expected<Data> contentsAtPath(const String& path) const;
    // At most maxLength bytes from the start.
    Expected<Data> contentsAtPath(const String& path, std::size_t maxLength) const;
    // At most maxLength bytes from the start of a regular file. Anything else is refused (EINVAL) without waiting: the
    // path is opened without blocking and checked before a byte is read, so one that became a pipe or a device since
    // the caller looked cannot keep it waiting.
    Expected<Data> contentsOfRegularFileAtPath(const String& path, std::size_t maxLength) const;

    // Writes through a temporary file in the same folder that is synced and renamed over the target, so readers see
    // the old or the new content, never a part. On failure the temporary file is removed and the target untouched.
    // The temporary file is locked (flock) from its making until it is renamed; once locked it takes a name that ties
    // it to itself (detail/AtomicWriteTemporaryName.h), ".<name>.partial-XXXXXX-<tag>", the name cut to fit.
    Expected<void> writeAtomically(const String& path, const Data& data) const;
    // Seconds a temporary file of writeAtomically must have gone unwritten before it counts as left behind.
    static constexpr double StaleTemporaryFileAge = 60;
    // Removes from the folder the temporary files writeAtomically left when its process was killed mid-write: files
    // it made and tagged itself (the tag in the name is that of the very file, so no one else's file matches,
    // whatever its name), regular, of this user, with one link, unwritten for minimumAge seconds and not locked, so a
    // write still at work (in this process or another, a second copy of the program exporting to the same folder)
    // keeps its file. Returns how many went.
    Expected<std::size_t> removeStaleTemporaryFiles(
        const String& folder, double minimumAge = StaleTemporaryFileAge) const;

    Expected<void> createDirectory(const String& path, Intermediates intermediates = Intermediates::Yes) const;
    // Removes a file, or a folder with everything in it.
    Expected<void> removeItem(const String& path) const;
    Expected<void> moveItem(const String& from, const String& to) const;

    String currentDirectoryPath() const;

    // The user's folders of that kind, first the one to use. Documents: XDG_DOCUMENTS_DIR; Library and
    // ApplicationSupport: the XDG config and data homes; Users: the folder holding the home folder; Caches: the XDG
    // cache home.
    StringArray searchPathForDirectory(SearchPathDirectory directory) const;
};

}
