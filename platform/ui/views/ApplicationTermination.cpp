// The ends of the program it cannot refuse: a signal from the system asking it to end, the display gone. Either way
// what the person did is written before the process goes.
#include "platform/ui/views/Application.h"

#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/ui/views/Window.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace ui {

namespace {

// Written by the handler, read by the watcher thread: the number of each signal received.
int applicationTerminationPipe[2] { -1, -1 };
std::atomic<bool> applicationTerminationSignalled { false };

// Async-signal-safe only: the first signal is handed over through the pipe, a second one ends the process at once.
void applicationTerminationSignalHandler(int signal)
{
    if (applicationTerminationSignalled.exchange(true)) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] auto written = ::write(applicationTerminationPipe[1], &byte, 1);
    errno = saved;
}

// How long the main thread has to write and end before the signal takes its usual course anyway: a program whose
// main thread hangs must still end when asked to.
constexpr auto TerminationGrace = std::chrono::seconds(10);

void applicationEndBySignal(int signal)
{
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}

void Application::endEditingInWindows()
{
    auto key = keyWindow();
    if (key)
        key->endEditingFor(nullptr);
    for (const auto& window : windows())
        if (window != key)
            window->endEditingFor(nullptr);
}

void Application::terminateImmediately()
{
    auto self = shared_from_this();
    // First what waits already, in case what follows cannot finish (the display being gone).
    fnd::UserDefaults::standardUserDefaults().synchronize();
    if (m_terminated)
        return;
    m_terminatePending = false;
    finishTermination();
}

void Application::handleTerminationSignals()
{
    static std::once_flag once;
    std::call_once(once, [] {
        if (::pipe2(applicationTerminationPipe, O_CLOEXEC) != 0) {
            fnd::logf(fnd::LogLevel::Error, "The end of the session cannot be awaited: {}", std::strerror(errno));
            return;
        }
        // The watcher is the handler's other half: it may post to the main run loop, which a handler may not.
        std::thread([] {
            unsigned char byte = 0;
            for (;;) {
                const auto got = ::read(applicationTerminationPipe[0], &byte, 1);
                if (got == 1)
                    break;
                if (got < 0 && errno == EINTR)
                    continue;
                return;
            }
            const int signal = byte;
            fnd::RunLoop::main().post([signal] {
                Application::shared().terminateImmediately();
                applicationEndBySignal(signal);
            });
            std::this_thread::sleep_for(TerminationGrace);
            applicationEndBySignal(signal);
        }).detach();
        struct sigaction action { };
        action.sa_handler = applicationTerminationSignalHandler;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int signal : { SIGTERM, SIGHUP })
            ::sigaction(signal, &action, nullptr);
    });
}

}
