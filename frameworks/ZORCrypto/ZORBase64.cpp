#include "frameworks/ZORCrypto/ZORBase64.h"

#include <array>
#include <cstdint>

namespace ZORBase64 {

namespace {

constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<std::int8_t, 256> decodingTable()
{
    std::array<std::int8_t, 256> table {};
    table.fill(-1);
    for (int i = 0; i < 64; ++i)
        table[static_cast<unsigned char>(Alphabet[i])] = static_cast<std::int8_t>(i);
    return table;
}
constexpr auto Decoding = decodingTable();

}

fnd::Data encode(const fnd::Data& bytes)
{
    std::vector<std::uint8_t> out;
    out.reserve((bytes.length() + 2) / 3 * 4);
    const auto* in = bytes.bytes();
    std::size_t i = 0;
    for (; i + 3 <= bytes.length(); i += 3) {
        std::uint32_t group = (in[i] << 16) | (in[i + 1] << 8) | in[i + 2];
        for (int shift = 18; shift >= 0; shift -= 6)
            out.push_back(Alphabet[(group >> shift) & 0x3F]);
    }
    if (auto rest = bytes.length() - i) {
        std::uint32_t group = (in[i] << 16) | (rest == 2 ? in[i + 1] << 8 : 0);
        out.push_back(Alphabet[(group >> 18) & 0x3F]);
        out.push_back(Alphabet[(group >> 12) & 0x3F]);
        out.push_back(rest == 2 ? Alphabet[(group >> 6) & 0x3F] : '=');
        out.push_back('=');
    }
    return fnd::Data(std::move(out));
}

std::optional<fnd::Data> decode(const fnd::Data& text)
{
    const auto length = text.length();
    if (length % 4 != 0)
        return std::nullopt;
    const auto* in = text.bytes();
    std::size_t padding = 0;
    if (length > 0 && in[length - 1] == '=')
        padding = (length > 1 && in[length - 2] == '=') ? 2 : 1;

    std::vector<std::uint8_t> out;
    out.reserve(length / 4 * 3);
    for (std::size_t i = 0; i < length; i += 4) {
        const bool last = i + 4 == length;
        const std::size_t significant = last ? 4 - padding : 4;
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            std::int8_t value = 0;
            if (k < significant) {
                value = Decoding[in[i + k]];
                if (value < 0)
                    return std::nullopt;
            }
            group = (group << 6) | static_cast<std::uint32_t>(value);
        }
        // Bits below the last whole byte must be zero, else two texts would decode to the same bytes.
        if ((significant == 2 && (group & 0xFFFF)) || (significant == 3 && (group & 0xFF)))
            return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(group >> 16));
        if (significant > 2)
            out.push_back(static_cast<std::uint8_t>(group >> 8));
        if (significant > 3)
            out.push_back(static_cast<std::uint8_t>(group));
    }
    return fnd::Data(std::move(out));
}

}
