// Linked into every fuzz target and set up once, before the first input, so that no input pays for it and every
// run of the same inputs takes the same paths:
// - time moves only when a target moves it, so animations, timers and double-click intervals run alike on every run
//   and on every machine;
// - user defaults live in a private, empty folder, never the developer's own;
// - texts are the English ones, whatever the environment's language;
// - the log stays quiet: damaged input is the normal case here, and each complaint costs more to write than to find.
#include "FuzzEnvironment.h"

#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/RunLoop.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

struct FuzzEnvironment {
    char configHome[32] = "/tmp/fuzz-config-XXXXXX";

    FuzzEnvironment()
    {
        fnd::Clock::setCurrent(std::make_shared<fnd::VirtualClock>());
        if (mkdtemp(configHome))
            setenv("XDG_CONFIG_HOME", configHome, 1);
        setenv("LANGUAGE", "en", 1);
        fnd::setLogSink([](fnd::LogLevel, const fnd::String&) {});
    }
    ~FuzzEnvironment()
    {
        // Whatever a target stored there goes with it.
        std::error_code ignored;
        std::filesystem::remove_all(configHome, ignored);
    }
};

const FuzzEnvironment fuzzEnvironment;

}

void fuzzEndInputAsARunLoopPass()
{
    if (auto clock = std::dynamic_pointer_cast<fnd::VirtualClock>(fnd::Clock::current()))
        clock->advance(1);
    fnd::RunLoop::current().runMode(fnd::RunLoopMode::Default, fnd::Date::distantPast());
}
