// Loads arbitrary bytes as an interface file: any outcome but a crash, a hang or a leak is fine, and a failure
// must carry a description.
#include "EdgeNumbers.h"
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

// Interface files read numbers as std::from_chars does.
extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize, unsigned seed)
{
    return edgenumbers::mutate(data, size, maxSize, seed, edgenumbers::shortestSpelling);
}
