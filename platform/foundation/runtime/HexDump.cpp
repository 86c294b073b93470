#include "platform/foundation/runtime/HexDump.h"

#include <fmt/format.h>

namespace fnd {

namespace {

bool hexDumpShowsByte(std::uint8_t byte)
{
    return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

}

String hexDump(const Data& data)
{
    const int offsetDigits = data.length() <= 0x10000 ? 4 : 8;
    std::string dump;
    for (std::size_t line = 0; line < data.length(); line += 16) {
        std::string hex;
        std::string characters;
        for (std::size_t i = line; i < std::min(line + 16, data.length()); ++i) {
            const std::uint8_t byte = data.bytes()[i];
            hex += fmt::format("{:02X} ", byte);
            characters += hexDumpShowsByte(byte) ? static_cast<char>(byte) : '.';
            if (i - line == 7) {
                hex += "  ";
                characters += ' ';
            }
        }
        dump += fmt::format("[{:0{}x}]   {:<50}  {}\n", line, offsetDigits, hex, characters);
    }
    return String(dump);
}

}
