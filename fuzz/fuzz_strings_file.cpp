#include "platform/foundation/files/StringsFile.h"

#include <cstddef>
#include <cstdint>

// String tables ship with the program but can be edited by anyone localizing it: no input may crash the parser.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto table = fnd::StringsFile::parse(fnd::Data(data, size));
    if (table) {
        for (const auto& [key, value] : *table)
            (void)(key.length() + value.length());
    }
    return 0;
}
