#include "platform/foundation/runtime/Log.h"

#include "platform/foundation/runtime/Exception.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <utility>

namespace fnd {

namespace {

std::mutex& sinkMutex()
{
    // Never destroyed: objects a program keeps alive past main still reach it while they are destroyed.
    static auto& m = *new std::mutex;
    return m;
}

LogSink& sink()
{
    // Never destroyed: objects a program keeps alive past main still reach it while they are destroyed.
    static auto& s = *new LogSink;
    return s;
}

const char* levelName(LogLevel level)
{
    switch (level) {
    case LogLevel::Debug:
        return "debug";
    case LogLevel::Info:
        return "info";
    case LogLevel::Warning:
        return "warning";
    case LogLevel::Error:
        return "error";
    }
    return "?";
}

AssertionHandler* g_assertionHandler = nullptr;

}

void log(LogLevel level, const String& message)
{
    LogSink current;
    {
        std::lock_guard lock(sinkMutex());
        current = sink();
    }
    if (current) {
        current(level, message);
        return;
    }
    logToStandardError(level, message);
}

void logToStandardError(LogLevel level, const String& message)
{
    // Debug lines are for whoever looks into a problem, not for every run.
    static const bool debugShown = std::getenv("BARCODES_DEBUG") != nullptr;
    if (level == LogLevel::Debug && !debugShown)
        return;
    std::fprintf(stderr, "[%s] %s\n", levelName(level), message.utf8().c_str());
}

LogSink setLogSink(LogSink newSink)
{
    std::lock_guard lock(sinkMutex());
    return std::exchange(sink(), std::move(newSink));
}

AssertionHandler& AssertionHandler::current()
{
    static AssertionHandler fallback;
    return g_assertionHandler ? *g_assertionHandler : fallback;
}

void AssertionHandler::setCurrent(AssertionHandler* handler)
{
    g_assertionHandler = handler;
}

void AssertionHandler::handleFailure(const String& description, const std::source_location& where)
{
    auto text = fmt::format("Assertion failure in {}, {}:{}: {}", where.function_name(), where.file_name(),
        where.line(), description.utf8());
    log(LogLevel::Error, String(text));
    throw Exception::internalInconsistency(String(text));
}

}
