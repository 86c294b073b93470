#include "platform/foundation/services/CrashLog.h"

#include "platform/foundation/files/FileManager.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/files/Paths.h"

#include <array>
#include <atomic>
#include <csignal>
#include <cstring>
#include <ctime>
#include <execinfo.h>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace fnd::CrashLog {

namespace {

constexpr std::size_t KeptLines = 64;
constexpr std::size_t LineLength = 512;
constexpr std::size_t PathLength = 4096;
constexpr std::array FatalSignals { SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT };

// Everything the handler reads lives in fixed storage, filled before a crash.
struct State {
    char folder[PathLength] {};
    char processName[256] {};
    char lines[KeptLines][LineLength] {};
    std::atomic<std::size_t> nextLine { 0 };
    std::mutex linesMutex;
    struct sigaction previous[FatalSignals.size()] {};
    std::atomic<bool> installed { false };
};

State& state()
{
    static State s;
    return s;
}

void copyText(char* to, std::size_t size, const std::string& from)
{
    auto n = std::min(size - 1, from.size());
    std::memcpy(to, from.data(), n);
    to[n] = '\0';
}

// Writers that are safe in a signal handler.
void put(int fd, const char* text)
{
    auto length = std::strlen(text);
    while (length > 0) {
        auto written = ::write(fd, text, length);
        if (written <= 0)
            return;
        text += written;
        length -= static_cast<std::size_t>(written);
    }
}

// The decimal digits of a value, zero-padded to at least minimumDigits (at most 20).
struct DecimalText {
    char text[24];

    DecimalText(unsigned long value, int minimumDigits)
    {
        char digits[24];
        int count = 0;
        do {
            digits[count++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value > 0 || count < minimumDigits);
        for (int i = 0; i < count; ++i)
            text[i] = digits[count - 1 - i];
        text[count] = '\0';
    }
};

void putNumber(int fd, unsigned long value, int minimumDigits = 1)
{
    put(fd, DecimalText(value, minimumDigits).text);
}

void appendText(char* path, std::size_t size, const char* text)
{
    auto length = std::strlen(path);
    while (*text && length + 1 < size)
        path[length++] = *text++;
    path[length] = '\0';
}

void appendNumber(char* path, std::size_t size, unsigned long value, int minimumDigits)
{
    appendText(path, size, DecimalText(value, minimumDigits).text);
}

// Civil date from days since 1970 (H. Hinnant's algorithm), without the C library's non-reentrant calls.
void civilFromDays(long days, long& year, unsigned& month, unsigned& day)
{
    days += 719468;
    const long era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(days - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = doy - (153 * mp + 2) / 5 + 1;
    month = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<long>(yoe) + era * 400 + (month <= 2);
}

const char* signalName(int signal)
{
    switch (signal) {
    case SIGSEGV:
        return "SIGSEGV (invalid memory access)";
    case SIGBUS:
        return "SIGBUS (bus error)";
    case SIGILL:
        return "SIGILL (illegal instruction)";
    case SIGFPE:
        return "SIGFPE (arithmetic error)";
    case SIGABRT:
        return "SIGABRT (abort)";
    default:
        return "unknown signal";
    }
}

void writeCrashLog(int signal)
{
    auto& s = state();
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    long year = 0;
    unsigned month = 0, day = 0;
    civilFromDays(static_cast<long>(now.tv_sec / 86400), year, month, day);
    const unsigned long secondOfDay = static_cast<unsigned long>(now.tv_sec % 86400);

    char path[PathLength] {};
    appendText(path, sizeof path, s.folder);
    appendText(path, sizeof path, "/");
    appendText(path, sizeof path, s.processName);
    appendText(path, sizeof path, "_");
    appendNumber(path, sizeof path, static_cast<unsigned long>(year), 4);
    appendNumber(path, sizeof path, month, 2);
    appendNumber(path, sizeof path, day, 2);
    appendText(path, sizeof path, "T");
    appendNumber(path, sizeof path, secondOfDay / 3600, 2);
    appendNumber(path, sizeof path, secondOfDay / 60 % 60, 2);
    appendNumber(path, sizeof path, secondOfDay % 60, 2);
    appendText(path, sizeof path, "Z_");
    appendNumber(path, sizeof path, static_cast<unsigned long>(getpid()), 1);
    // The log lines go beside the report, as the console log of the crashed run.
    char logPath[PathLength] {};
    appendText(logPath, sizeof logPath, path);
    appendText(logPath, sizeof logPath, ".log");
    appendText(path, sizeof path, ".crash");

    int logFd = ::open(logPath, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (logFd >= 0) {
        const std::size_t next = s.nextLine.load();
        for (std::size_t i = next > KeptLines ? next - KeptLines : 0; i < next; ++i) {
            put(logFd, s.lines[i % KeptLines]);
            put(logFd, "\n");
        }
        ::close(logFd);
    }

    int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    put(fd, "Process:         ");
    put(fd, s.processName);
    put(fd, " [");
    putNumber(fd, static_cast<unsigned long>(getpid()));
    put(fd, "]\nTime:            ");
    putNumber(fd, static_cast<unsigned long>(now.tv_sec));
    put(fd, " (seconds since 1970, UTC)\nSignal:          ");
    putNumber(fd, static_cast<unsigned long>(signal));
    put(fd, " ");
    put(fd, signalName(signal));
    put(fd, "\n\nBacktrace:\n");
    void* frames[128];
    int count = backtrace(frames, 128);
    backtrace_symbols_fd(frames, count, fd);
    ::close(fd);
}

void handleFatalSignal(int signal)
{
    writeCrashLog(signal);
    // Deliver the signal as it would have been without us: restore the previous action and raise it again.
    auto& s = state();
    for (std::size_t i = 0; i < FatalSignals.size(); ++i) {
        if (FatalSignals[i] == signal)
            sigaction(signal, &s.previous[i], nullptr);
    }
    raise(signal);
}

void recordLine(const String& message)
{
    auto& s = state();
    std::string line = std::string(s.processName) + "[" + std::to_string(getpid()) + "]: " + message.utf8();
    std::lock_guard lock(s.linesMutex);
    auto index = s.nextLine.load();
    copyText(s.lines[index % KeptLines], LineLength, line);
    s.nextLine.store(index + 1);
}

}

void install(const String& folder, const String& processName)
{
    auto& s = state();
    if (auto made = FileManager::defaultManager().createDirectory(folder); !made)
        logf(LogLevel::Warning, "Crash logs cannot be written to {}: {}", folder.utf8(),
            made.error().localizedDescription().utf8());
    copyText(s.folder, sizeof s.folder, folder.utf8());
    copyText(s.processName, sizeof s.processName, processName.utf8());
    if (s.installed.exchange(true))
        return;

    // The first backtrace call loads the unwinder, which must not happen inside the handler.
    void* warmUp[1];
    backtrace(warmUp, 1);

    // Log lines are kept for the crash log and still go wherever they went before.
    auto forward = std::make_shared<LogSink>();
    *forward = setLogSink([forward](LogLevel level, const String& message) {
        recordLine(message);
        if (*forward)
            (*forward)(level, message);
        else
            logToStandardError(level, message);
    });

    struct sigaction action { };
    action.sa_handler = handleFatalSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_NODEFER;
    for (std::size_t i = 0; i < FatalSignals.size(); ++i)
        sigaction(FatalSignals[i], &action, &s.previous[i]);
}

String defaultFolder(const String& identifier)
{
    return Paths::stateHome().stringByAppendingPathComponent(identifier).stringByAppendingPathComponent("crashes");
}

StringArray recentLogLines()
{
    auto& s = state();
    std::lock_guard lock(s.linesMutex);
    StringArray lines;
    const std::size_t next = s.nextLine.load();
    for (std::size_t i = next > KeptLines ? next - KeptLines : 0; i < next; ++i)
        lines.push_back(String(s.lines[i % KeptLines]));
    return lines;
}

}
