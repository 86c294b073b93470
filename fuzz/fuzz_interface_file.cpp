// Loads arbitrary bytes as an interface file: any outcome but a crash, a hang or a leak is fine, and a failure
// must carry a description.
#include "FuzzEnvironment.h"

#include "platform/ui/interface/InterfaceFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    {
        auto loaded = ui::InterfaceFile::load(fnd::Data(bytes, size));
        if (!loaded && loaded.error().localizedDescription().isEmpty())
            std::abort();
    }
    fuzzEndInputAsARunLoopPass();
    return 0;
}
