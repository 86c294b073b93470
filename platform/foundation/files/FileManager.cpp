#include "platform/foundation/files/FileManager.h"

#include "platform/foundation/detail/AtomicWriteTemporaryName.h"
#include "platform/foundation/detail/PosixError.h"
#include "platform/foundation/files/Paths.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fnd {

namespace {

using detail::posixError;

struct FdCloser {
    int fd { -1 };
    ~FdCloser()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

FileAttributes attributesFrom(const struct stat& info)
{
    FileAttributes a;
    if (S_ISREG(info.st_mode))
        a.type = FileType::Regular;
    else if (S_ISDIR(info.st_mode))
        a.type = FileType::Directory;
    else if (S_ISLNK(info.st_mode))
        a.type = FileType::SymbolicLink;
    else if (S_ISFIFO(info.st_mode))
        a.type = FileType::Pipe;
    else if (S_ISSOCK(info.st_mode))
        a.type = FileType::Socket;
    else if (S_ISCHR(info.st_mode))
        a.type = FileType::CharacterDevice;
    else if (S_ISBLK(info.st_mode))
        a.type = FileType::BlockDevice;
    a.size = static_cast<std::uint64_t>(info.st_size);
    a.permissions = info.st_mode & 07777;
    a.modificationDate
        = Date::fromUnixTime(static_cast<double>(info.st_mtim.tv_sec) + info.st_mtim.tv_nsec / 1'000'000'000.0);
    return a;
}

Expected<std::vector<std::string>> listNames(const std::string& path)
{
    DirHandle dir(opendir(path.c_str()));
    if (!dir)
        return std::unexpected(posixError(errno, "list the folder", String(path)));
    std::vector<std::string> names;
    errno = 0;
    while (dirent* entry = readdir(dir.get())) {
        std::string_view name(entry->d_name);
        if (name != "." && name != "..")
            names.emplace_back(name);
        errno = 0;
    }
    if (errno != 0)
        return std::unexpected(posixError(errno, "list the folder", String(path)));
    std::sort(names.begin(), names.end());
    return names;
}

void walk(const std::string& root, const std::string& relative, std::vector<DirectoryEntry>& out)
{
    auto folder = relative.empty() ? root : root + "/" + relative;
    auto names = listNames(folder);
    if (!names)
        return;
    for (const auto& name : *names) {
        auto childRelative = relative.empty() ? name : relative + "/" + name;
        auto childPath = root + "/" + childRelative;
        struct stat linkInfo { };
        if (lstat(childPath.c_str(), &linkInfo) != 0)
            continue;
        struct stat info = linkInfo;
        bool isLink = S_ISLNK(linkInfo.st_mode);
        // A dangling link is still an entry; it keeps the link's own attributes.
        if (isLink && stat(childPath.c_str(), &info) != 0)
            info = linkInfo;
        out.push_back({ String(childRelative), attributesFrom(info) });
        if (S_ISDIR(info.st_mode) && !isLink)
            walk(root, childRelative, out);
    }
}

std::string stripTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

Expected<void> readFrom(int fd, const String& path, std::size_t maxLength, Data& out)
{
    constexpr std::size_t ChunkSize = 65536;
    auto& bytes = out.vector();
    while (bytes.size() < maxLength) {
        // Into the room reserved for the size the file reports (one byte more sees its end), else a chunk at a
        // time: a chunk made ready for a small file costs more than the read.
        const auto room = bytes.capacity() > bytes.size() ? bytes.capacity() - bytes.size() : ChunkSize;
        auto want = std::min({ ChunkSize, maxLength - bytes.size(), room });
        auto oldSize = bytes.size();
        bytes.resize(oldSize + want);
        auto got = ::read(fd, bytes.data() + oldSize, want);
        if (got < 0) {
            if (errno == EINTR) {
                bytes.resize(oldSize);
                continue;
            }
            return std::unexpected(posixError(errno, "read", path));
        }
        bytes.resize(oldSize + static_cast<std::size_t>(got));
        if (got == 0)
            break;
    }
    return {};
}

bool writeAll(int fd, const std::uint8_t* bytes, std::size_t length)
{
    while (length > 0) {
        auto written = ::write(fd, bytes, length);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes += written;
        length -= static_cast<std::size_t>(written);
    }
    return true;
}

mode_t currentUmask()
{
    // umask can only be read by setting it; done once, before threads are likely to create files.
    static const mode_t mask = [] {
        mode_t m = ::umask(022);
        ::umask(m);
        return m;
    }();
    return mask;
}

}

FileManager& FileManager::defaultManager()
{
    static FileManager manager;
    return manager;
}

bool FileManager::fileExists(const String& path) const
{
    struct stat info { };
    return stat(path.utf8().c_str(), &info) == 0;
}

bool FileManager::fileExists(const String& path, bool& isDirectory) const
{
    struct stat info { };
    if (stat(path.utf8().c_str(), &info) != 0) {
        isDirectory = false;
        return false;
    }
    isDirectory = S_ISDIR(info.st_mode);
    return true;
}

std::optional<FileType> FileManager::typeOfItem(const String& path) const
{
    auto attributes = attributesOfItem(path);
    if (!attributes)
        return std::nullopt;
    return attributes->type;
}

Expected<FileAttributes> FileManager::attributesOfItem(const String& path, FollowLinks follow) const
{
    struct stat info { };
    auto text = path.utf8();
    int result = follow == FollowLinks::Yes ? stat(text.c_str(), &info) : lstat(text.c_str(), &info);
    if (result != 0)
        return std::unexpected(posixError(errno, "read the attributes of", path));
    return attributesFrom(info);
}

Expected<StringArray> FileManager::contentsOfDirectory(const String& path) const
{
    auto names = listNames(path.utf8());
    if (!names)
        return std::unexpected(names.error());
    StringArray result;
    result.reserve(names->size());
    for (const auto& name : *names)
        result.emplace_back(name);
    return result;
}

Expected<std::vector<DirectoryEntry>> FileManager::enumerateDirectory(const String& path) const
{
    auto root = stripTrailingSlashes(path.utf8());
    struct stat info { };
    if (stat(root.c_str(), &info) != 0)
        return std::unexpected(posixError(errno, "list the folder", path));
    if (!S_ISDIR(info.st_mode))
        return std::unexpected(posixError(ENOTDIR, "list the folder", path));
    std::vector<DirectoryEntry> entries;
    walk(root, {}, entries);
    return entries;
}

Expected<StringArray> FileManager::subpathsOfDirectory(const String& path) const
{
    auto entries = enumerateDirectory(path);
    if (!entries)
        return std::unexpected(entries.error());
    StringArray result;
    result.reserve(entries->size());
    for (auto& entry : *entries)
        result.push_back(std::move(entry.relativePath));
    return result;
}

Expected<Data> FileManager::contentsAtPath(const String& path) const
{
    return contentsAtPath(path, SIZE_MAX);
}

Expected<Data> FileManager::contentsAtPath(const String& path, std::size_t maxLength) const
{
    FdCloser file { ::open(path.utf8().c_str(), O_RDONLY | O_CLOEXEC) };
    if (file.fd < 0)
        return std::unexpected(posixError(errno, "open", path));
    struct stat info { };
    if (fstat(file.fd, &info) == 0 && S_ISDIR(info.st_mode))
        return std::unexpected(posixError(EISDIR, "read", path));
    Data data;
    if (info.st_size > 0)
        data.vector().reserve(std::min<std::size_t>(static_cast<std::size_t>(info.st_size) + 1, maxLength));
    if (auto read = readFrom(file.fd, path, maxLength, data); !read)
        return std::unexpected(read.error());
    return data;
}

Expected<Data> FileManager::contentsOfRegularFileAtPath(const String& path, std::size_t maxLength) const
{
    FdCloser file { ::open(path.utf8().c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY) };
    if (file.fd < 0)
        return std::unexpected(posixError(errno, "open", path));
    struct stat info { };
    if (fstat(file.fd, &info) != 0)
        return std::unexpected(posixError(errno, "read the attributes of", path));
    if (!S_ISREG(info.st_mode))
        return std::unexpected(posixError(S_ISDIR(info.st_mode) ? EISDIR : EINVAL, "read", path));
    Data data;
    if (info.st_size > 0)
        data.vector().reserve(std::min<std::size_t>(static_cast<std::size_t>(info.st_size) + 1, maxLength));
    if (auto read = readFrom(file.fd, path, maxLength, data); !read)
        return std::unexpected(read.error());
    return data;
}

Expected<void> FileManager::writeAtomically(const String& path, const Data& data) const
{
    auto target = path.utf8();
    auto parent = path.stringByDeletingLastPathComponent();
    const std::string folder = parent.isEmpty() ? std::string(".") : parent.utf8();
    const long nameMax = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    const auto prefix = folder == "/" ? std::string("/") : folder + "/";
    std::string temporary
        = prefix + detail::atomicWriteCreationName(path.lastPathComponent().utf8(), nameMax > 0 ? nameMax : NAME_MAX);
    int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return std::unexpected(posixError(errno, "create a temporary file beside", path));
    // Locked while it lives, so that removeStaleTemporaryFiles (another export to this folder, from this process or
    // another) passes it by. A file system without locks writes unlocked.
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR)
        continue;
    // Only now, locked, does it take the tagged name that the clean-up looks for. Where it cannot be renamed without
    // the risk of replacing a file, it keeps the name it was made under, which no clean-up ever takes.
    if (const auto made = detail::fileIdentity(fd)) {
        const auto madeName = temporary.substr(prefix.size());
        const auto tagged = prefix + detail::atomicWriteTaggedName(madeName, *made);
        if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, tagged.c_str(), RENAME_NOREPLACE) == 0)
            temporary = tagged;
        else if ((errno == EINVAL || errno == ENOSYS) && ::link(temporary.c_str(), tagged.c_str()) == 0) {
            ::unlink(temporary.c_str());
            temporary = tagged;
        }
    }

    auto fail = [&](const char* doing) -> Expected<void> {
        int code = errno;
        ::close(fd);
        ::unlink(temporary.c_str());
        return std::unexpected(posixError(code, doing, path));
    };

    // Keep the mode of a file being replaced; a new file gets the usual 0666 less the umask (mkstemp made it 0600).
    struct stat existing { };
    mode_t mode = stat(target.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : (0666 & ~currentUmask());
    if (fchmod(fd, mode) != 0)
        return fail("set the permissions of");
    if (!writeAll(fd, data.bytes(), data.length()))
        return fail("write");
    if (fsync(fd) != 0)
        return fail("sync");
    // Renamed while still locked; closing after the sync loses nothing, and lets go of the lock.
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        return fail("replace");
    ::close(fd);
    // Make the rename itself durable.
    FdCloser dir { ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) };
    if (dir.fd >= 0)
        fsync(dir.fd);
    return {};
}

Expected<std::size_t> FileManager::removeStaleTemporaryFiles(const String& folder, double minimumAge) const
{
    const auto text = folder.isEmpty() ? std::string(".") : folder.utf8();
    FdCloser dir { ::open(text.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) };
    if (dir.fd < 0)
        return std::unexpected(posixError(errno, "open the folder", folder));
    auto names = listNames(text);
    if (!names)
        return std::unexpected(names.error());
    struct timespec now { };
    clock_gettime(CLOCK_REALTIME, &now);
    std::size_t removed = 0;
    for (const auto& name : *names) {
        if (!detail::hasAtomicWriteTemporaryForm(name))
            continue;
        FdCloser file { ::openat(dir.fd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC) };
        struct stat opened { };
        if (file.fd < 0 || fstat(file.fd, &opened) != 0)
            continue;
        // Only a file the writer made and named itself: the name's tag must be that of this very file.
        const auto identity = detail::fileIdentity(file.fd);
        if (!identity || !detail::isAtomicWriteTemporaryFile(name, *identity))
            continue;
        const double unwritten = static_cast<double>(now.tv_sec - opened.st_mtim.tv_sec)
            + static_cast<double>(now.tv_nsec - opened.st_mtim.tv_nsec) / 1e9;
        if (!S_ISREG(opened.st_mode) || opened.st_uid != geteuid() || opened.st_nlink != 1
            || !(unwritten >= minimumAge))
            continue;
        // A writer at work holds the lock; a file system without locks keeps its files (nothing tells who writes).
        if (::flock(file.fd, LOCK_EX | LOCK_NB) != 0)
            continue;
        // Still the file opened under that name: a writer that finished renamed it away.
        struct stat named { };
        if (fstatat(dir.fd, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 || named.st_dev != opened.st_dev
            || named.st_ino != opened.st_ino)
            continue;
        if (::unlinkat(dir.fd, name.c_str(), 0) == 0)
            ++removed;
    }
    return removed;
}

Expected<void> FileManager::createDirectory(const String& path, Intermediates intermediates) const
{
    auto text = stripTrailingSlashes(path.utf8());
    if (intermediates == Intermediates::No) {
        if (::mkdir(text.c_str(), 0777) != 0)
            return std::unexpected(posixError(errno, "create the folder", path));
        return {};
    }
    std::size_t position = 0;
    while (position != std::string::npos) {
        position = text.find('/', position + 1);
        auto prefix = text.substr(0, position);
        if (prefix.empty())
            continue;
        if (::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST)
            return std::unexpected(posixError(errno, "create the folder", String(prefix)));
    }
    struct stat info { };
    if (stat(text.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return std::unexpected(posixError(EEXIST, "create the folder", path));
    return {};
}

Expected<void> FileManager::removeItem(const String& path) const
{
    auto text = path.utf8();
    struct stat info { };
    if (lstat(text.c_str(), &info) != 0)
        return std::unexpected(posixError(errno, "remove", path));
    if (S_ISDIR(info.st_mode)) {
        auto names = listNames(text);
        if (!names)
            return std::unexpected(names.error());
        for (const auto& name : *names) {
            if (auto removed = removeItem(String(text + "/" + name)); !removed)
                return removed;
        }
        if (::rmdir(text.c_str()) != 0)
            return std::unexpected(posixError(errno, "remove", path));
        return {};
    }
    if (::unlink(text.c_str()) != 0)
        return std::unexpected(posixError(errno, "remove", path));
    return {};
}

Expected<void> FileManager::moveItem(const String& from, const String& to) const
{
    if (::rename(from.utf8().c_str(), to.utf8().c_str()) != 0)
        return std::unexpected(posixError(errno, "move", from));
    return {};
}

String FileManager::currentDirectoryPath() const
{
    std::string buffer(PATH_MAX, '\0');
    if (!getcwd(buffer.data(), buffer.size()))
        return String();
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return String(buffer);
}

StringArray FileManager::searchPathForDirectory(SearchPathDirectory directory) const
{
    using namespace Paths;
    switch (directory) {
    case SearchPathDirectory::Documents:
        return { documentsDirectory() };
    case SearchPathDirectory::Library:
        return { configHome() };
    case SearchPathDirectory::Users:
        return { homeDirectory().stringByDeletingLastPathComponent() };
    case SearchPathDirectory::ApplicationSupport:
        return { dataHome() };
    case SearchPathDirectory::Caches:
        return { cacheHome() };
    }
    return {};
}

}
