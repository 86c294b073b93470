#include "frameworks/FoundationExtensions/detail/DecimalSum.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

struct Decimal {
    std::vector<std::uint8_t> digits; // least significant first
    int scale { 0 };
    bool negative { false };
};

Decimal parse(const std::string& text)
{
    Decimal d;
    std::size_t start = 0;
    if (!text.empty() && text[0] == '-') {
        d.negative = true;
        start = 1;
    }
    auto point = text.find('.', start);
    if (point != std::string::npos)
        d.scale = static_cast<int>(text.size() - point - 1);
    for (auto i = text.size(); i-- > start;) {
        if (text[i] != '.')
            d.digits.push_back(static_cast<std::uint8_t>(text[i] - '0'));
    }
    return d;
}

std::string textOf(const fnd::Number& number)
{
    char buffer[512];
    std::to_chars_result written;
    switch (number.kind()) {
    case fnd::Number::Kind::Unsigned:
        return std::to_string(number.unsignedValue());
    case fnd::Number::Kind::Float:
        written = std::to_chars(buffer, buffer + sizeof buffer, number.floatValue(), std::chars_format::fixed);
        break;
    case fnd::Number::Kind::Double:
        written = std::to_chars(buffer, buffer + sizeof buffer, number.doubleValue(), std::chars_format::fixed);
        break;
    default:
        return std::to_string(number.integerValue());
    }
    return written.ec == std::errc() ? std::string(buffer, written.ptr) : std::string("0");
}

void rescale(Decimal& d, int scale)
{
    d.digits.insert(d.digits.begin(), static_cast<std::size_t>(scale - d.scale), 0);
    d.scale = scale;
}

// a - b for magnitudes with a >= b.
std::vector<std::uint8_t> subtract(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b)
{
    std::vector<std::uint8_t> result(a.size());
    int borrow = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        int digit = a[i] - borrow - (i < b.size() ? b[i] : 0);
        borrow = digit < 0;
        result[i] = static_cast<std::uint8_t>(digit + (borrow ? 10 : 0));
    }
    return result;
}

std::vector<std::uint8_t> addMagnitudes(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b)
{
    std::vector<std::uint8_t> result;
    int carry = 0;
    for (std::size_t i = 0; i < std::max(a.size(), b.size()) || carry; ++i) {
        int digit = carry + (i < a.size() ? a[i] : 0) + (i < b.size() ? b[i] : 0);
        carry = digit / 10;
        result.push_back(static_cast<std::uint8_t>(digit % 10));
    }
    return result;
}

void trim(std::vector<std::uint8_t>& digits)
{
    while (!digits.empty() && digits.back() == 0)
        digits.pop_back();
}

bool lessMagnitude(std::vector<std::uint8_t> a, std::vector<std::uint8_t> b)
{
    trim(a);
    trim(b);
    if (a.size() != b.size())
        return a.size() < b.size();
    return std::lexicographical_compare(a.rbegin(), a.rend(), b.rbegin(), b.rend());
}

}

void ZORDecimalSum::add(const fnd::Number& number)
{
    if (number.isReal() && !std::isfinite(number.doubleValue())) {
        m_nonFinite = true;
        m_nonFiniteSum += number.doubleValue();
        return;
    }
    Decimal term = parse(textOf(number));
    Decimal sum { m_digits, m_scale, m_negative };
    const int scale = std::max(sum.scale, term.scale);
    rescale(sum, scale);
    rescale(term, scale);
    if (sum.negative == term.negative) {
        sum.digits = addMagnitudes(sum.digits, term.digits);
    } else if (lessMagnitude(sum.digits, term.digits)) {
        sum.digits = subtract(term.digits, sum.digits);
        sum.negative = term.negative;
    } else {
        sum.digits = subtract(sum.digits, term.digits);
    }
    trim(sum.digits);
    m_digits = std::move(sum.digits);
    m_scale = scale;
    m_negative = sum.negative && !m_digits.empty();
}

fnd::Number ZORDecimalSum::result() const
{
    if (m_nonFinite)
        return fnd::Number(m_nonFiniteSum);
    std::string text;
    for (std::size_t i = m_digits.size(); i-- > 0;) {
        if (static_cast<int>(i) == m_scale - 1)
            text += text.empty() ? "0." : ".";
        text += static_cast<char>('0' + m_digits[i]);
    }
    if (static_cast<int>(m_digits.size()) < m_scale) {
        text = "0." + std::string(static_cast<std::size_t>(m_scale) - m_digits.size(), '0') + text;
    }
    if (text.empty())
        return fnd::Number(0);
    bool whole = true;
    for (int i = 0; i < m_scale && i < static_cast<int>(m_digits.size()); ++i)
        whole = whole && m_digits[static_cast<std::size_t>(i)] == 0;
    if (m_negative)
        text.insert(text.begin(), '-');
    if (whole) {
        auto integral = m_scale > 0 && text.find('.') != std::string::npos ? text.substr(0, text.find('.')) : text;
        long long value = 0;
        auto [end, ec] = std::from_chars(integral.data(), integral.data() + integral.size(), value);
        if (ec == std::errc() && end == integral.data() + integral.size())
            return fnd::Number(value);
    }
    double nearest = 0;
    if (std::from_chars(text.data(), text.data() + text.size(), nearest).ec == std::errc::result_out_of_range) {
        // Past the largest double the nearest is an infinity; below the smallest, a zero (digits before the point
        // tell the two apart).
        const bool overflow = static_cast<int>(m_digits.size()) > m_scale;
        nearest = std::copysign(overflow ? std::numeric_limits<double>::infinity() : 0.0, m_negative ? -1.0 : 1.0);
    }
    return fnd::Number(nearest);
}
