// Loads arbitrary bytes as an interface file: any outcome but a crash, a hang or a leak is fine, and a failure
// must carry a description.
#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/ui/interface/InterfaceFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    {
        auto loaded = ui::InterfaceFile::load(fnd::Data(bytes, size));
        if (!loaded && loaded.error().localizedDescription().isEmpty())
            std::abort();
    }
    // A frame's worth of time and one turn of the loop, as the application takes after loading: what the loaded
    // objects scheduled (displays, implicit transactions, animations; time moves only when a target moves it) runs or
    // lets go of them, so no input's leftovers are counted against the next one.
    if (auto clock = std::dynamic_pointer_cast<fnd::VirtualClock>(fnd::Clock::current()))
        clock->advance(1);
    fnd::RunLoop::current().runMode(fnd::RunLoopMode::Default, fnd::Date::distantPast());
    return 0;
}
