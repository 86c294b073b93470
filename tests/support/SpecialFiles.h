#pragma once

#include "support/TemporaryFolder.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace testsupport {

// A named pipe and a bound socket in a fresh folder, watched for opens. Opening the pipe to read waits for a writer,
// so code that must not open it runs through runBounded: when the call is still running after the bound, the pipe is
// opened for writing and closed again until the call returns, which lets a reader waiting on it go on (and read the
// end of the data), so a fault fails the test instead of hanging it.
class WatchedSpecialFiles {
public:
    WatchedSpecialFiles(const char* pipeName = "pipe", const char* socketName = "socket")
        : m_pipe(m_folder / pipeName)
        , m_socket(m_folder / socketName)
    {
        m_watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (m_watch >= 0)
            inotify_add_watch(m_watch, m_folder.path().c_str(), IN_OPEN);
        const bool piped = mkfifo(m_pipe.c_str(), 0600) == 0;
        m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        const bool named = m_socket.size() < sizeof(address.sun_path);
        if (named)
            std::memcpy(address.sun_path, m_socket.c_str(), m_socket.size() + 1);
        const bool bound = m_listener >= 0 && named
            && ::bind(m_listener, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
        m_ready = m_watch >= 0 && piped && bound;
    }
    ~WatchedSpecialFiles()
    {
        if (m_listener >= 0)
            ::close(m_listener);
        if (m_watch >= 0)
            ::close(m_watch);
    }
    WatchedSpecialFiles(const WatchedSpecialFiles&) = delete;
    WatchedSpecialFiles& operator=(const WatchedSpecialFiles&) = delete;

    bool isReady() const { return m_ready; }
    const std::string& pipe() const { return m_pipe; }
    const std::string& socket() const { return m_socket; }

    // Runs the call on this thread; true when it returned within the bound without the pipe let go for it.
    template <typename Call> bool runBounded(Call&& call, std::chrono::seconds bound = std::chrono::seconds(30))
    {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        bool released = false;
        std::thread watchdog([&] {
            std::unique_lock lock(mutex);
            if (done.wait_for(lock, bound, [&] { return finished; }))
                return;
            released = true;
            // A writer that comes and goes wakes a reader waiting to open the pipe, and ends a read waiting on it.
            do {
                int writer = ::open(m_pipe.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
                if (writer >= 0)
                    ::close(writer);
            } while (!done.wait_for(lock, std::chrono::milliseconds(100), [&] { return finished; }));
        });
        call();
        {
            std::lock_guard lock(mutex);
            finished = true;
        }
        done.notify_all();
        watchdog.join();
        return !released;
    }

    // The names of the folder's files opened since the last look (a name for each open).
    std::vector<std::string> opened()
    {
        std::vector<std::string> names;
        alignas(inotify_event) char buffer[4096];
        for (;;) {
            const auto got = ::read(m_watch, buffer, sizeof(buffer));
            if (got <= 0)
                break;
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len > 0)
                    names.emplace_back(event->name);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return names;
    }

private:
    TemporaryFolder m_folder;
    std::string m_pipe;
    std::string m_socket;
    int m_watch { -1 };
    int m_listener { -1 };
    bool m_ready { false };
};

}
