// Loads arbitrary bytes as an interface file: any outcome but a crash, a hang or a leak is fine, and a failure
// must carry a description.
#include "EdgeNumbers.h"
#include "FuzzEnvironment.h"
#include "RegisteredClasses.h"

#include "platform/ui/interface/InterfaceFile.h"

#include <cstdlib>
#include <string>

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

// Now and then a file of one object of a class drawn from the registry; else a mutation. Interface files read numbers
// as std::from_chars does.
extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize, unsigned seed)
{
    if (const auto* cls = registeredclasses::drawn(seed)) {
        const std::string file
            = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<interface version=\"1\">\n  <object id=\"drawn\" class=\""
            + fuzznames::xmlEscaped(cls->name.utf8()) + "\"/>\n</interface>\n";
        if (std::size_t length = registeredclasses::replaceInput(data, maxSize, file))
            return length;
    }
    return edgenumbers::mutate(data, size, maxSize, seed, edgenumbers::shortestSpelling);
}
