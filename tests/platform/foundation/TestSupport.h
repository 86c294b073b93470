#pragma once

#include "support/TemporaryFolder.h"

#include "platform/foundation/runtime/Log.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Sets (or unsets, with nullopt) an environment variable for the scope and restores the old value after it.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::string name, std::optional<std::string> value)
        : m_name(std::move(name))
    {
        if (const char* old = std::getenv(m_name.c_str()))
            m_old = old;
        if (value)
            setenv(m_name.c_str(), value->c_str(), 1);
        else
            unsetenv(m_name.c_str());
    }
    ~ScopedEnvironment()
    {
        if (m_old)
            setenv(m_name.c_str(), m_old->c_str(), 1);
        else
            unsetenv(m_name.c_str());
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

// The user defaults of a test program in a folder of their own, removed when it ends, so autosaved settings never
// touch the person's and each run starts empty. One global instance per program.
struct PrivateConfigHome {
    TemporaryFolder folder;
    ScopedEnvironment config { "XDG_CONFIG_HOME", folder.path() };
};

// Collects log lines for the scope instead of printing them.
class CapturedLog {
public:
    CapturedLog()
    {
        m_previous = fnd::setLogSink([this](fnd::LogLevel level, const fnd::String& text) {
            std::lock_guard lock(m_mutex);
            m_lines.push_back({ level, text.utf8() });
        });
    }
    ~CapturedLog() { fnd::setLogSink(m_previous); }

    struct Line {
        fnd::LogLevel level;
        std::string text;
    };
    std::vector<Line> lines() const
    {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }
    bool contains(fnd::LogLevel level, const std::string& fragment) const
    {
        for (const auto& line : lines()) {
            if (line.level == level && line.text.find(fragment) != std::string::npos)
                return true;
        }
        return false;
    }

private:
    fnd::LogSink m_previous;
    mutable std::mutex m_mutex;
    std::vector<Line> m_lines;
};

}
