#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/Value.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace fnd {

// The platform's stream status numbers.
enum class StreamStatus {
    NotOpen = 0,
    Opening = 1,
    Open = 2,
    Reading = 3,
    Writing = 4,
    AtEnd = 5,
    Closed = 6,
    Error = 7
};

// A source of bytes read in pieces: from a file, from memory, or from a subclass. A new stream is NotOpen; open()
// makes it Open (or Error, with streamError() telling why). A read that finds no more bytes returns 0 and leaves
// the stream AtEnd; a failed read returns -1 and leaves it in Error.
class InputStream {
public:
    static std::shared_ptr<InputStream> withFile(const String& path);
    static std::shared_ptr<InputStream> withData(Data data);

    virtual ~InputStream() = default;

    void open();
    void close();
    // Reads up to maxLength bytes into buffer: the count read, 0 at the end, -1 on failure (or when not open).
    std::int64_t read(std::uint8_t* buffer, std::size_t maxLength);
    // Whether a read may give bytes; true while the end has not been seen, as a file cannot tell beforehand.
    bool hasBytesAvailable() const;

    StreamStatus streamStatus() const { return m_status; }
    const std::optional<Error>& streamError() const { return m_error; }

protected:
    InputStream() = default;
    // Subclasses open their source (an error leaves the stream in Error), read from it (count, 0 at the end, or an
    // error) and release it.
    virtual Expected<void> openSource() = 0;
    virtual Expected<std::size_t> readSource(std::uint8_t* buffer, std::size_t maxLength) = 0;
    virtual void closeSource() { }

private:
    StreamStatus m_status { StreamStatus::NotOpen };
    std::optional<Error> m_error;
};

}
