#include "barcodes/CheckDigits.h"

#include <algorithm>

namespace CheckDigits {

int gs1Mod10(std::string_view digits)
{
    int sum = 0;
    int weight = 3;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        sum += (*it - '0') * weight;
        weight = 4 - weight;
    }
    return (10 - sum % 10) % 10;
}

long weightedSumFromRight(std::span<const int> values, std::span<const int> weights)
{
    long sum = 0;
    std::size_t w = 0;
    for (auto it = values.rbegin(); it != values.rend(); ++it) {
        sum += static_cast<long>(*it) * weights[w];
        w = (w + 1) % weights.size();
    }
    return sum;
}

}

// Code 39, Code 93, Codabar, Code 11, Telepen and the 2 of 5 family.
namespace CheckDigits {

namespace {

// Weights 1, 2 ... maximumWeight (1 to 20), for weightedSumFromRight.
std::span<const int> risingWeights(int maximumWeight)
{
    static constexpr int weights[] = { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20 };
    return std::span<const int>(weights).first(static_cast<std::size_t>(std::clamp(maximumWeight, 1, 20)));
}

long plainSum(std::span<const int> values)
{
    long sum = 0;
    for (int v : values)
        sum += v;
    return sum;
}

}

int code39Mod43(std::span<const int> values)
{
    return static_cast<int>(plainSum(values) % 43);
}

int pznMod11(std::string_view digits)
{
    long sum = 0;
    for (std::size_t i = 0; i < digits.size(); ++i)
        sum += (digits[i] - '0') * static_cast<long>(i + 1);
    return static_cast<int>(sum % 11);
}

int code93Mod47(std::span<const int> values, int maximumWeight)
{
    return static_cast<int>(weightedSumFromRight(values, risingWeights(maximumWeight)) % 47);
}

int codabarMod16(std::span<const int> values)
{
    return static_cast<int>((16 - plainSum(values) % 16) % 16);
}

int code11Mod11(std::span<const int> values)
{
    return static_cast<int>(weightedSumFromRight(values, risingWeights(10)) % 11);
}

int telepenMod127(std::span<const int> values)
{
    return static_cast<int>((127 - plainSum(values) % 127) % 127);
}

int identcodeMod10(std::string_view digits)
{
    long sum = 0;
    for (std::size_t i = 0; i < digits.size(); ++i)
        sum += (digits[i] - '0') * (i % 2 == 0 ? 4 : 9);
    return static_cast<int>((10 - sum % 10) % 10);
}

int opcMod10(std::string_view digits)
{
    long sum = 0;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        int product = (digits[i] - '0') * (i % 2 == 0 ? 2 : 1);
        sum += product / 10 + product % 10;
    }
    return static_cast<int>((10 - sum % 10) % 10);
}

}
