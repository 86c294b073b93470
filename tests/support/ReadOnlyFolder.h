#pragma once

#include <linux/capability.h>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace testsupport {

// A folder nothing can be written into while the object lives, as a read-only settings folder is for its user: its
// mode loses the write bits and, where the test runs as root (who writes anyway), the calling thread gives up the
// capabilities that pass over file modes. Both come back at the end. Writes on other threads are not covered.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(std::string path)
        : m_path(std::move(path))
    {
        struct stat info { };
        m_valid = ::stat(m_path.c_str(), &info) == 0;
        m_mode = info.st_mode & 07777;
        if (m_valid)
            ::chmod(m_path.c_str(), m_mode & ~mode_t(0222));
        m_dropped = capget() && ((m_saved[0].effective & overridingCapabilities()) != 0);
        if (m_dropped) {
            __user_cap_data_struct lowered[2] = { m_saved[0], m_saved[1] };
            lowered[0].effective &= ~overridingCapabilities();
            m_dropped = capset(lowered);
        }
    }
    ~ReadOnlyFolder()
    {
        if (m_dropped)
            capset(m_saved);
        if (m_valid)
            ::chmod(m_path.c_str(), m_mode);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

private:
    static unsigned overridingCapabilities() { return (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH); }
    bool capget()
    {
        __user_cap_header_struct header { _LINUX_CAPABILITY_VERSION_3, 0 };
        return ::syscall(SYS_capget, &header, m_saved) == 0;
    }
    static bool capset(__user_cap_data_struct* data)
    {
        __user_cap_header_struct header { _LINUX_CAPABILITY_VERSION_3, 0 };
        return ::syscall(SYS_capset, &header, data) == 0;
    }

    std::string m_path;
    mode_t m_mode { 0 };
    bool m_valid { false };
    bool m_dropped { false };
    __user_cap_data_struct m_saved[2] {};
};

}
