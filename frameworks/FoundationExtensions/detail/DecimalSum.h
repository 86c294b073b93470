#pragma once

#include "platform/foundation/runtime/Value.h"

#include <cstdint>
#include <vector>

// Adds numbers as the decimals they are written as (each double by its shortest round-trip text), so 0.1 + 0.2 is
// exactly 0.3 and long columns of amounts do not drift.
class ZORDecimalSum {
public:
    void add(const fnd::Number& number);
    // An integer when the sum is whole and fits 64 bits, else the double nearest to the exact sum: an infinity beyond
    // the largest double.
    fnd::Number result() const;

private:
    // Magnitude as decimal digits, least significant first, with m_scale of them after the point.
    std::vector<std::uint8_t> m_digits;
    int m_scale { 0 };
    bool m_negative { false };
    // Infinities and NaN have no decimal form; they are summed as doubles and win.
    bool m_nonFinite { false };
    double m_nonFiniteSum { 0 };
};
