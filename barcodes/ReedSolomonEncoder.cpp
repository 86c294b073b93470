#include "barcodes/ReedSolomonEncoder.h"

#include <algorithm>
#include <bit>

ReedSolomonEncoder& ReedSolomonEncoder::initWithPoly(int poly)
{
    m_logTable.clear();
    m_antilogTable.clear();
    m_generator.clear();
    m_generatorLogs.clear();
    m_eccLength = 0;
    m_fieldPolynomial = poly;
    m_symbolBits = poly > 1 ? std::bit_width(static_cast<unsigned>(poly)) - 1 : 0;
    if (m_symbolBits < 1 || m_symbolBits > 8) {
        m_symbolBits = m_fieldMax = 0;
        return *this;
    }
    m_fieldMax = (1 << m_symbolBits) - 1;
    // The logarithm of 0 is taken as 2 * fieldMax; the antilogarithm table is 0 from there on, so a product needs no
    // test for 0, and below it repeats the field twice, so a sum of two logarithms needs no reduction.
    const auto logOfZero = 2 * static_cast<std::size_t>(m_fieldMax);
    m_logTable.assign(static_cast<std::size_t>(m_fieldMax) + 1, static_cast<int>(logOfZero));
    m_antilogTable.assign(2 * logOfZero + 1, 0);
    int p = 1;
    for (int v = 0; v < m_fieldMax; ++v) {
        m_antilogTable[static_cast<std::size_t>(v)] = p;
        m_antilogTable[static_cast<std::size_t>(v + m_fieldMax)] = p;
        m_logTable[static_cast<std::size_t>(p)] = v;
        p <<= 1;
        if (p & (1 << m_symbolBits))
            p ^= poly;
    }
    return *this;
}

int ReedSolomonEncoder::multiply(int a, int b) const
{
    auto log = [&](int v) { return m_logTable[static_cast<std::size_t>(v)]; };
    return m_antilogTable[static_cast<std::size_t>(log(a) + log(b))];
}

void ReedSolomonEncoder::setNumberOfSymbols(int count, int index)
{
    m_generator.clear();
    m_generatorLogs.clear();
    m_eccLength = 0;
    if (m_fieldMax == 0 || count < 1)
        return;
    m_eccLength = count;
    m_generator.assign(static_cast<std::size_t>(count) + 1, 0);
    m_generator[0] = 1;
    // Multiplies the generator by (x - alpha^index) once per root.
    for (int i = 1; i <= count; ++i, ++index) {
        int root = m_antilogTable[static_cast<std::size_t>(((index % m_fieldMax) + m_fieldMax) % m_fieldMax)];
        m_generator[static_cast<std::size_t>(i)] = 1;
        for (int k = i - 1; k >= 1; --k) {
            auto uk = static_cast<std::size_t>(k);
            m_generator[uk] = multiply(m_generator[uk], root) ^ m_generator[uk - 1];
        }
        m_generator[0] = multiply(m_generator[0], root);
    }
    for (int coefficient : m_generator)
        m_generatorLogs.push_back(m_logTable[static_cast<std::size_t>(coefficient)]);
}

void ReedSolomonEncoder::encodeData(std::span<const std::uint8_t> data, std::span<std::uint8_t> result) const
{
    if (m_eccLength == 0 || result.size() < static_cast<std::size_t>(m_eccLength))
        return;
    auto n = static_cast<std::size_t>(m_eccLength);
    std::fill_n(result.begin(), n, std::uint8_t { 0 });
    // The remainder of data(x) * x^eccLength divided by the generator, highest term in result[n - 1]: per data
    // codeword one logarithm, then one table read per generator term.
    auto term = [&](int feedbackLog, std::size_t k) {
        return m_antilogTable[static_cast<std::size_t>(feedbackLog + m_generatorLogs[k])];
    };
    for (std::uint8_t d : data) {
        int feedbackLog = m_logTable[static_cast<std::size_t>((d ^ result[n - 1]) & m_fieldMax)];
        for (std::size_t k = n - 1; k >= 1; --k)
            result[k] = static_cast<std::uint8_t>(result[k - 1] ^ term(feedbackLog, k));
        result[0] = static_cast<std::uint8_t>(term(feedbackLog, 0));
    }
}
