#pragma once

#include "platform/foundation/runtime/String.h"

#include <fmt/format.h>

#include <functional>
#include <source_location>

namespace fnd {

enum class LogLevel { Debug, Info, Warning, Error };

// The system log: standard error, one line per message. Tests may capture the lines through a sink.
void log(LogLevel level, const String& message);
inline void log(const String& message)
{
    log(LogLevel::Info, message);
}

template <typename... Args> void logf(LogLevel level, fmt::format_string<Args...> format, Args&&... args)
{
    log(level, String(fmt::format(format, std::forward<Args>(args)...)));
}

using LogSink = std::function<void(LogLevel, const String&)>;
// Replaces the sink (nullptr restores standard error); returns the previous one.
LogSink setLogSink(LogSink sink);
// Where a message goes without a sink: a line "[level] message" on standard error, debug lines only when the
// environment sets BARCODES_DEBUG. A sink that passes messages on falls back to it.
void logToStandardError(LogLevel level, const String& message);

// Where failed assertions go: logs with file, line and function, then raises an internal-inconsistency exception.
class AssertionHandler {
public:
    static AssertionHandler& current();
    static void setCurrent(AssertionHandler* handler);
    virtual ~AssertionHandler() = default;
    virtual void handleFailure(const String& description, const std::source_location& where);
};

inline void assertThat(
    bool condition, const String& description, const std::source_location& where = std::source_location::current())
{
    if (!condition)
        AssertionHandler::current().handleFailure(description, where);
}

}
