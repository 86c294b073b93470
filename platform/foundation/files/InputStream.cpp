#include "platform/foundation/files/InputStream.h"

#include "platform/foundation/detail/PosixError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace fnd {

namespace {

class FileInputStream final : public InputStream {
public:
    explicit FileInputStream(String path)
        : m_path(std::move(path))
    {
    }
    ~FileInputStream() override { closeSource(); }

protected:
    Expected<void> openSource() override
    {
        m_fd = ::open(m_path.utf8().c_str(), O_RDONLY | O_CLOEXEC);
        if (m_fd < 0)
            return std::unexpected(detail::posixError(errno, "open", m_path));
        return {};
    }

    Expected<std::size_t> readSource(std::uint8_t* buffer, std::size_t maxLength) override
    {
        for (;;) {
            auto got = ::read(m_fd, buffer, maxLength);
            if (got >= 0)
                return static_cast<std::size_t>(got);
            if (errno != EINTR)
                return std::unexpected(detail::posixError(errno, "read", m_path));
        }
    }

    void closeSource() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    String m_path;
    int m_fd { -1 };
};

class DataInputStream final : public InputStream {
public:
    explicit DataInputStream(Data data)
        : m_data(std::move(data))
    {
    }

protected:
    Expected<void> openSource() override
    {
        m_position = 0;
        return {};
    }

    Expected<std::size_t> readSource(std::uint8_t* buffer, std::size_t maxLength) override
    {
        auto count = std::min(maxLength, m_data.length() - m_position);
        if (count > 0)
            std::memcpy(buffer, m_data.bytes() + m_position, count);
        m_position += count;
        return count;
    }

private:
    Data m_data;
    std::size_t m_position { 0 };
};

}

std::shared_ptr<InputStream> InputStream::withFile(const String& path)
{
    return std::make_shared<FileInputStream>(path);
}

std::shared_ptr<InputStream> InputStream::withData(Data data)
{
    return std::make_shared<DataInputStream>(std::move(data));
}

void InputStream::open()
{
    if (m_status != StreamStatus::NotOpen)
        return;
    m_status = StreamStatus::Opening;
    if (auto opened = openSource(); !opened) {
        m_error = opened.error();
        m_status = StreamStatus::Error;
        return;
    }
    m_status = StreamStatus::Open;
}

void InputStream::close()
{
    if (m_status == StreamStatus::NotOpen || m_status == StreamStatus::Closed)
        return;
    closeSource();
    m_status = StreamStatus::Closed;
}

std::int64_t InputStream::read(std::uint8_t* buffer, std::size_t maxLength)
{
    if (m_status == StreamStatus::AtEnd)
        return 0;
    if (m_status != StreamStatus::Open)
        return -1;
    if (maxLength == 0)
        return 0;
    m_status = StreamStatus::Reading;
    auto got = readSource(buffer, maxLength);
    if (!got) {
        m_error = got.error();
        m_status = StreamStatus::Error;
        return -1;
    }
    m_status = *got == 0 ? StreamStatus::AtEnd : StreamStatus::Open;
    return static_cast<std::int64_t>(*got);
}

bool InputStream::hasBytesAvailable() const
{
    return m_status == StreamStatus::Open || m_status == StreamStatus::Reading;
}

}
