#include "platform/foundation/files/FileHandle.h"

#include "platform/foundation/detail/PosixError.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace fnd {

using detail::posixError;

Expected<std::shared_ptr<FileHandle>> FileHandle::forWritingAtPath(const String& path)
{
    int fd = ::open(path.utf8().c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return std::unexpected(posixError(errno, "open for writing", path));
    return std::shared_ptr<FileHandle>(new FileHandle(fd, path));
}

Expected<std::shared_ptr<FileHandle>> FileHandle::createForWritingAtPath(const String& path)
{
    int fd = ::open(path.utf8().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return std::unexpected(posixError(errno, "create", path));
    return std::shared_ptr<FileHandle>(new FileHandle(fd, path));
}

FileHandle::~FileHandle()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

Expected<void> FileHandle::checkOpen() const
{
    if (m_fd < 0)
        return std::unexpected(posixError(EBADF, "use the closed file", m_path));
    return {};
}

Expected<void> FileHandle::writeData(const Data& data)
{
    if (auto open = checkOpen(); !open)
        return open;
    const auto* bytes = data.bytes();
    auto remaining = data.length();
    while (remaining > 0) {
        auto written = ::write(m_fd, bytes, remaining);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return std::unexpected(posixError(errno, "write", m_path));
        }
        bytes += written;
        remaining -= static_cast<std::size_t>(written);
    }
    return {};
}

Expected<std::uint64_t> FileHandle::seekToEndOfFile()
{
    if (auto open = checkOpen(); !open)
        return std::unexpected(open.error());
    auto offset = ::lseek(m_fd, 0, SEEK_END);
    if (offset < 0)
        return std::unexpected(posixError(errno, "seek in", m_path));
    return static_cast<std::uint64_t>(offset);
}

Expected<void> FileHandle::seekToFileOffset(std::uint64_t offset)
{
    if (auto open = checkOpen(); !open)
        return open;
    if (::lseek(m_fd, static_cast<off_t>(offset), SEEK_SET) < 0)
        return std::unexpected(posixError(errno, "seek in", m_path));
    return {};
}

Expected<std::uint64_t> FileHandle::offsetInFile() const
{
    if (auto open = checkOpen(); !open)
        return std::unexpected(open.error());
    auto offset = ::lseek(m_fd, 0, SEEK_CUR);
    if (offset < 0)
        return std::unexpected(posixError(errno, "seek in", m_path));
    return static_cast<std::uint64_t>(offset);
}

Expected<void> FileHandle::truncateFileAtOffset(std::uint64_t length)
{
    if (auto open = checkOpen(); !open)
        return open;
    if (::ftruncate(m_fd, static_cast<off_t>(length)) != 0)
        return std::unexpected(posixError(errno, "truncate", m_path));
    return seekToFileOffset(length);
}

Expected<void> FileHandle::synchronizeFile()
{
    if (auto open = checkOpen(); !open)
        return open;
    if (::fsync(m_fd) != 0)
        return std::unexpected(posixError(errno, "sync", m_path));
    return {};
}

Expected<void> FileHandle::closeFile()
{
    if (auto open = checkOpen(); !open)
        return open;
    int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        return std::unexpected(posixError(errno, "close", m_path));
    return {};
}

}
