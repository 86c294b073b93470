#include "barcodes/CheckDigits.h"

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
