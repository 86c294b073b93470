#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/Value.h"

#include <cstdint>
#include <memory>

namespace fnd {

// An open file for writing. Closed when the last reference goes away; after closeFile every call reports an error.
class FileHandle {
public:
    // An existing file, positioned at its start (as the platform's handle for writing is).
    static Expected<std::shared_ptr<FileHandle>> forWritingAtPath(const String& path);
    // Creates the file, or empties an existing one.
    static Expected<std::shared_ptr<FileHandle>> createForWritingAtPath(const String& path);

    ~FileHandle();
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    Expected<void> writeData(const Data& data);
    // Moves to the end so that later writes append; the new offset.
    Expected<std::uint64_t> seekToEndOfFile();
    Expected<void> seekToFileOffset(std::uint64_t offset);
    Expected<std::uint64_t> offsetInFile() const;
    // Cuts (or extends) the file to `length` bytes and moves there.
    Expected<void> truncateFileAtOffset(std::uint64_t length);
    Expected<void> synchronizeFile();
    Expected<void> closeFile();

    const String& path() const { return m_path; }

private:
    FileHandle(int fd, String path)
        : m_fd(fd)
        , m_path(std::move(path))
    {
    }
    Expected<void> checkOpen() const;

    int m_fd { -1 };
    String m_path;
};

}
