#include "platform/foundation/services/Process.h"

#include "platform/foundation/detail/PosixError.h"
#include "platform/foundation/files/FileManager.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fnd::Process {

namespace {

enum class Group { Ours, Own };

Expected<pid_t> spawn(const StringArray& arguments, Group group = Group::Ours)
{
    if (arguments.empty())
        return std::unexpected(Error::make(ErrorDomain::POSIX, EINVAL, "No program to start was given."));
    std::vector<std::string> storage;
    storage.reserve(arguments.size());
    for (const auto& argument : arguments)
        storage.push_back(argument.utf8());
    std::vector<char*> argv;
    for (auto& s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    if (group == Group::Own) {
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
    }
    pid_t pid = 0;
    int status = posix_spawnp(&pid, argv[0], nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (status != 0)
        return std::unexpected(detail::posixError(status, "start", arguments.front()));
    return pid;
}

int exitStatus(int waitStatus)
{
    if (WIFEXITED(waitStatus))
        return WEXITSTATUS(waitStatus);
    if (WIFSIGNALED(waitStatus))
        return 128 + WTERMSIG(waitStatus);
    return -1;
}

}

Expected<pid_t> launch(const StringArray& arguments)
{
    auto pid = spawn(arguments);
    if (pid) {
        // Reaped in the background so the child leaves no zombie behind.
        std::thread([child = *pid] {
            int ignored = 0;
            while (waitpid(child, &ignored, 0) < 0 && errno == EINTR) { }
        }).detach();
    }
    return pid;
}

Expected<int> run(const StringArray& arguments)
{
    auto pid = spawn(arguments);
    if (!pid)
        return std::unexpected(pid.error());
    int status = 0;
    while (waitpid(*pid, &status, 0) < 0) {
        if (errno != EINTR)
            return std::unexpected(detail::posixError(errno, "wait for", arguments.front()));
    }
    return exitStatus(status);
}

Expected<int> run(const StringArray& arguments, std::chrono::milliseconds timeout)
{
    // A process group of its own, so that an overrun stops what the program started too: a shell's or a
    // thumbnailer's children would otherwise run on, holding whatever they inherited (an output pipe a caller waits
    // on to close).
    auto pid = spawn(arguments, Group::Own);
    if (!pid)
        return std::unexpected(pid.error());
    // A process descriptor becomes readable when the child ends, so the wait needs no polling loop.
    int descriptor = int(syscall(SYS_pidfd_open, *pid, 0));
    auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    for (;;) {
        pid_t reaped = waitpid(*pid, &status, WNOHANG);
        if (reaped == *pid)
            break;
        if (reaped < 0 && errno != EINTR) {
            if (descriptor >= 0)
                close(descriptor);
            return std::unexpected(detail::posixError(errno, "wait for", arguments.front()));
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            kill(-*pid, SIGKILL);
            while (waitpid(*pid, &status, 0) < 0 && errno == EINTR) { }
            if (descriptor >= 0)
                close(descriptor);
            return std::unexpected(detail::posixError(ETIMEDOUT, "wait for", arguments.front()));
        }
        if (descriptor >= 0) {
            pollfd entry { descriptor, POLLIN, 0 };
            poll(&entry, 1, int(std::min<long long>(left.count(), 1000)));
        } else {
            // Kernels without process descriptors: look again shortly.
            std::this_thread::sleep_for(std::min(left, std::chrono::milliseconds(10)));
        }
    }
    if (descriptor >= 0)
        close(descriptor);
    return exitStatus(status);
}

String executablePath()
{
    char buffer[PATH_MAX];
    auto length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return length > 0 ? String(std::string_view(buffer, static_cast<std::size_t>(length))) : String();
}

StringArray commandLine()
{
    StringArray arguments;
    auto data = FileManager::defaultManager().contentsAtPath("/proc/self/cmdline");
    if (!data)
        return arguments;
    auto bytes = data->view();
    for (std::size_t start = 0; start < bytes.size();) {
        auto end = bytes.find('\0', start);
        if (end == std::string_view::npos)
            end = bytes.size();
        arguments.push_back(String(bytes.substr(start, end - start)));
        start = end + 1;
    }
    return arguments;
}

}
