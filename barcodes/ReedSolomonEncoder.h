#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Reed-Solomon check codewords over GF(2^m), the field given by its polynomial (0x11D for QR Code, 0x12D for
// Data Matrix). Made for one encoding and used for one or more blocks.
class ReedSolomonEncoder {
public:
    ReedSolomonEncoder() = default;

    // Builds the field tables; m is the position of the polynomial's highest set bit (1 to 8: codewords are bytes).
    ReedSolomonEncoder& initWithPoly(int poly);
    // Builds the generator polynomial of `count` check codewords whose roots are alpha^index ... alpha^(index+count-1).
    void setNumberOfSymbols(int count, int index);

    // Writes eccLength() check codewords for the data into result, the last one first: result[eccLength() - 1] is
    // the first to be sent. Without a field or generator nothing is written; result must hold eccLength() entries.
    void encodeData(std::span<const std::uint8_t> data, std::span<std::uint8_t> result) const;
    void encodeWideData(std::span<const std::uint8_t> data, std::span<std::uint8_t> result) const
    {
        encodeData(data, result);
    }

    int eccLength() const { return m_eccLength; }
    int symbolBits() const { return m_symbolBits; }
    // Constant term first.
    const std::vector<int>& generator() const { return m_generator; }

private:
    int multiply(int a, int b) const;

    int m_fieldPolynomial { 0 };
    int m_symbolBits { 0 };
    int m_fieldMax { 0 };
    std::vector<int> m_logTable;
    std::vector<int> m_antilogTable;
    std::vector<int> m_generator;
    // The logarithm of each generator coefficient.
    std::vector<int> m_generatorLogs;
    int m_eccLength { 0 };
};
