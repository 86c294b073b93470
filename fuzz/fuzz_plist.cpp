// Reads arbitrary bytes as an XML property list. Whatever reads must write, and the written form must be stable
// under a second read and write.
#include "platform/foundation/archiving/PropertyList.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    auto value = fnd::PropertyList::read(fnd::Data(bytes, size));
    if (!value)
        return 0;
    auto written = fnd::PropertyList::writeXML(*value);
    if (!written) {
        std::fprintf(stderr, "read but not written: %s\n", written.error().localizedDescription().utf8().c_str());
        std::abort();
    }
    auto reread = fnd::PropertyList::read(*written);
    if (!reread)
        std::abort();
    auto rewritten = fnd::PropertyList::writeXML(*reread);
    if (!rewritten || *rewritten != *written)
        std::abort();
    return 0;
}
