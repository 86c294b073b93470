// Numbers at the edges of what readers take, for the fuzz targets that read numbers written as text (keyed archives,
// interface files): in their dictionaries (fuzz/tools/MakeFuzzSeeds.cpp) and in a mutation that writes one of them
// over a number of the input. libFuzzer's own mutations change a number a step at a time and insert dictionary
// entries at random places, so a count of 2^48 in the one key that takes it is rarely reached without it.
#pragma once

#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <string_view>
#include <vector>

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

namespace edgenumbers {

// A count of -1, the ends of 32 bits, 2^48 (past any allocation), the ends of 64 bits and one past them.
inline constexpr std::array<std::string_view, 9> Integers = { "-1", "0", "2147483647", "2147483648", "4294967296",
    "281474976710656", "9223372036854775807", "9223372036854775808", "-9223372036854775808" };
// The same as reals, and the reals a size, an interval or a coordinate must refuse or bound.
inline constexpr std::array<double, 11> Reals = { -1.0, 0.0, 2147483648.0, 281474976710656.0, 9223372036854775808.0,
    1e300, -1e300, 1e-300, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
    -std::numeric_limits<double>::infinity() };

// How a format spells a real.
using RealSpelling = std::string (*)(double);

// The shortest text that reads back to the value, as std::from_chars reads it ("nan", "inf", "1e+300").
inline std::string shortestSpelling(double value)
{
    char buffer[64];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

namespace detail {

inline bool isNumberCharacter(std::uint8_t c)
{
    return (c >= '0' && c <= '9') || std::strchr("+-.eEnaifty", c) != nullptr;
}

// The name of the element whose start tag ends at `close` (the '>'), or empty.
inline std::string_view elementEndingAt(const std::uint8_t* data, std::size_t close)
{
    // Start tags of numbers are short: look back a little only.
    const std::size_t limit = close > 256 ? close - 256 : 0;
    for (std::size_t i = close; i > limit; --i) {
        if (data[i - 1] != '<')
            continue;
        std::size_t end = i;
        while (end < close && data[end] != ' ' && data[end] != '>' && data[end] != '/')
            ++end;
        return { reinterpret_cast<const char*>(data + i), end - i };
    }
    return {};
}

struct NumberText {
    std::size_t start;
    std::size_t length;
    // 'i' in an integer element, 'r' in a real one, 'a' elsewhere (an attribute, a string).
    char kind;
};

// Every run of number characters that fills an element's text or an attribute's value, holding a digit.
inline std::vector<NumberText> numbersIn(const std::uint8_t* data, std::size_t size)
{
    std::vector<NumberText> found;
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t open = data[i];
        if (open != '>' && open != '"')
            continue;
        std::size_t end = i + 1;
        bool digit = false;
        while (end < size && isNumberCharacter(data[end])) {
            digit = digit || (data[end] >= '0' && data[end] <= '9');
            ++end;
        }
        if (end == i + 1 || end == size || (data[end] != '<' && data[end] != '"') || !digit)
            continue;
        char kind = 'a';
        if (open == '>') {
            const auto element = elementEndingAt(data, i);
            kind = element == "integer" ? 'i' : element == "real" ? 'r' : 'a';
        }
        found.push_back({ i + 1, end - i - 1, kind });
        i = end - 1;
    }
    return found;
}

}

// Writes an edge number over one number of the input (an integer in an integer element, a real in a real one, either
// elsewhere); 0 when it holds no number or the result would not fit.
inline std::size_t replaceOneNumber(
    std::uint8_t* data, std::size_t size, std::size_t maxSize, std::minstd_rand& random, RealSpelling spellReal)
{
    const auto numbers = detail::numbersIn(data, size);
    if (numbers.empty())
        return 0;
    const auto& target = numbers[random() % numbers.size()];
    const bool integer = target.kind == 'i' || (target.kind == 'a' && random() % 2 == 0);
    const std::string text
        = integer ? std::string(Integers[random() % Integers.size()]) : spellReal(Reals[random() % Reals.size()]);
    if (size - target.length + text.size() > maxSize)
        return 0;
    std::memmove(
        data + target.start + text.size(), data + target.start + target.length, size - target.start - target.length);
    std::memcpy(data + target.start, text.data(), text.size());
    return size - target.length + text.size();
}

// A custom mutator's body: one time in four an edge number over a number of the input, else libFuzzer's own
// mutations (dictionary entries among them).
inline std::size_t mutate(
    std::uint8_t* data, std::size_t size, std::size_t maxSize, unsigned seed, RealSpelling spellReal)
{
    std::minstd_rand random(seed);
    if (random() % 4 == 0)
        if (std::size_t replaced = replaceOneNumber(data, size, maxSize, random, spellReal))
            return replaced;
    return LLVMFuzzerMutate(data, size, maxSize);
}

}
