#include "frameworks/FoundationExtensions/ZORNSNumberExtensions.h"

#include "platform/foundation/runtime/StringFormat.h"

#include <array>
#include <string>

namespace ZORNSNumberExtensions {

namespace {

// Bijective base 26: 1 is A, 26 is Z, 27 is AA.
fnd::String letters(std::uint64_t n, char first)
{
    std::string text;
    while (n > 0) {
        --n;
        text.insert(text.begin(), static_cast<char>(first + n % 26));
        n /= 26;
    }
    return fnd::String(text);
}

// One decimal place written with its one, five and ten symbols.
std::string romanDigit(unsigned digit, char one, char five, char ten)
{
    switch (digit) {
    case 0:
        return {};
    case 4:
        return { one, five };
    case 9:
        return { one, ten };
    default:
        return (digit >= 5 ? std::string(1, five) : std::string()) + std::string(digit % 5, one);
    }
}

fnd::String roman(std::uint64_t n, bool lower)
{
    if (n >= 5000)
        return "NUL";
    // The thousands place has no five symbol: 4000 is written MMMM.
    std::string text(n / 1000, 'M');
    auto value = static_cast<unsigned>(n % 1000);
    text += romanDigit(value / 100, 'C', 'D', 'M');
    text += romanDigit(value / 10 % 10, 'X', 'L', 'C');
    text += romanDigit(value % 10, 'I', 'V', 'X');
    if (lower) {
        for (auto& c : text)
            c = static_cast<char>(c - 'A' + 'a');
    }
    return fnd::String(text);
}

}

std::optional<fnd::String> numberToStringWithType(const fnd::Number& number, std::int32_t type)
{
    // Zero has no written form in any system, whatever the type asked for.
    auto value = number.unsignedValue();
    if (value == 0)
        return fnd::String("NUL");
    if (type < Decimal || type > LowercaseRoman)
        return std::nullopt;
    switch (type) {
    case Decimal:
        return fnd::stringWithFormat("%lu", value);
    case UppercaseLetters:
        return letters(value, 'A');
    case LowercaseLetters:
        return letters(value, 'a');
    case UppercaseRoman:
        return roman(value, false);
    default:
        return roman(value, true);
    }
}

}
