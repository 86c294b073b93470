#pragma once

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/locale/Formatter.h"
#include "platform/foundation/locale/NumberFormatter.h"

#include <cstdint>
#include <memory>
#include <optional>

// Amounts of information with SI (powers of 1000) or IEC (powers of 1024) prefixes, in bits or bytes: "1.5 MB",
// "640 Kibit". Words and the format come from the main bundle's table "ZORFormatters".
class ZFMUnitOfInformationFormatter : public fnd::Formatter, public fnd::Coding {
    FND_OBJECT(ZFMUnitOfInformationFormatter)

public:
    // Units of the input, by their codes.
    enum Unit : int { Bit = 0, Nibble = 1, Byte = 2, Word = 3, DoubleWord = 4 };
    // Prefixes, by their codes.
    enum Prefix : int { Kilo = 0, Mega = 1, Giga = 2, Tera = 3, Peta = 4, Exa = 5 };

    // Decimal numbers rounded to 0.01, bytes shown, IEC factors with SI words.
    ZFMUnitOfInformationFormatter();
    ZFMUnitOfInformationFormatter(const ZFMUnitOfInformationFormatter& other);

    // The formatter of the numbers shown, owned and adjustable.
    const std::shared_ptr<fnd::NumberFormatter>& numberFormatter() const { return m_numberFormatter; }
    bool displaysInTermsOfBytes() const { return m_displaysBytes; }
    void setDisplaysInTermsOfBytes(bool bytes) { m_displaysBytes = bytes; }
    // The factors: 1024 (IEC) or 1000 (SI) per prefix step.
    bool usesIECBinaryPrefixesForCalculation() const { return m_iecCalculation; }
    void setUsesIECBinaryPrefixesForCalculation(bool iec) { m_iecCalculation = iec; }
    // The words only: "KiB" (IEC) or "KB" (SI).
    bool usesIECBinaryPrefixesForDisplay() const { return m_iecDisplay; }
    void setUsesIECBinaryPrefixesForDisplay(bool iec) { m_iecDisplay = iec; }

    fnd::String stringFromNumberOfBits(const fnd::Number& bits) const;
    // The number's integer value in the unit; nullopt for an unknown unit code.
    std::optional<fnd::String> stringFromNumber(const fnd::Number& number, int ofUnit) const;
    // The number's integer value times the prefix's factor, in the unit; nullopt for an unknown code.
    std::optional<fnd::String> stringFromNumber(const fnd::Number& number, int ofUnit, int withPrefix) const;
    // The factor of a prefix code, by the calculation setting; nullopt for an unknown code.
    std::optional<double> scaleFactorForPrefix(int prefix) const;
    // The largest prefix whose factor the value exceeds (kilo at least).
    int prefixForInteger(std::uint64_t value) const;

    std::optional<fnd::String> stringForObjectValue(const fnd::Value& value) const override;
    // Not offered: the answer is the reason.
    std::expected<fnd::Value, fnd::String> getObjectValue(const fnd::String& string) const override;
    std::shared_ptr<fnd::Formatter> copy() const override;

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    std::shared_ptr<fnd::NumberFormatter> m_numberFormatter;
    bool m_displaysBytes { true };
    bool m_iecCalculation { true };
    bool m_iecDisplay { false };
};
